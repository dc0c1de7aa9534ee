#!/usr/bin/env bash
# Sets up, builds and runs Vellum.
#   ./build.sh run     install what is missing, build, start the editor
#   ./build.sh test    install what is missing, build, run every test
#   ./build.sh asan    build and run the core tests under AddressSanitizer + UBSan
#   ./build.sh bench   build and run the benchmarks on a synthetic 80 MB master
#   ./build.sh fuzz    replay the fuzz corpora (and regression inputs) under sanitizers
#   ./build.sh package build the Debian package (Release, stripped) into build-release/
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

packages=(cmake ninja-build g++ python3 libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev clang libclang-rt-14-dev xdg-utils
          # what the install test checks the installed files with
          appstream desktop-file-utils shared-mime-info libglib2.0-bin man-db)

install_missing() { # extra packages...
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

configure() { # dir, extra cmake args...
    local dir=$1; shift
    local launcher=()
    # Worktrees and clean rebuilds share objects where ccache is installed.
    command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
}

build() { # dir, targets...
    local dir=$1; shift
    cmake --build "$root/$dir" -j "$jobs" ${1:+--target "$@"}
}

cmd=${1:-run}
shift || true
case "$cmd" in
run)
    install_missing
    configure build
    build build
    if [ -x build/bin/vellum ]; then
        exec build/bin/vellum "$@"
    else
        exec build/bin/vellum-cli --help
    fi
    ;;
test)
    install_missing
    configure build
    build build
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs" "$@"
    ;;
asan)
    install_missing
    configure build-asan -DVELLUM_SANITIZE=ON -DVELLUM_BUILD_UI=OFF -DVELLUM_BUILD_BENCH=OFF
    build build-asan
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs" "$@"
    ;;
bench)
    install_missing
    configure build
    build build vellum_bench $( [ -f build/build.ninja ] && grep -q vellum_ui_bench build/build.ninja && echo vellum_ui_bench )
    [ -f build/big.esm ] || python3 ../shared/bench/make_big_master.py -o build/big.esm ../shared/testdata/plugins
    build/bin/vellum_bench --big build/big.esm "$@"
    if [ -x build/bin/vellum_ui_bench ]; then
        QT_QPA_PLATFORM=offscreen build/bin/vellum_ui_bench --big build/big.esm "$@"
    fi
    ;;
fuzz)
    install_missing
    CC=clang CXX=clang++ configure build-fuzz -DVELLUM_FUZZ=ON -DVELLUM_BUILD_UI=OFF -DVELLUM_BUILD_BENCH=OFF -DVELLUM_BUILD_TESTS=OFF
    build build-fuzz
    ctest --test-dir build-fuzz --output-on-failure -L fuzz "$@"
    ;;
package)
    install_missing dpkg-dev file
    configure build-release -DCMAKE_BUILD_TYPE=Release -DVELLUM_BUILD_TESTS=OFF -DVELLUM_BUILD_BENCH=OFF
    build build-release
    (cd build-release && cpack -G DEB)
    ls build-release/vellum_*.deb
    ;;
*)
    echo "usage: $0 run|test|asan|bench|fuzz|package" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed copy as a user would: with
# the build and source trees hidden, a fresh home folder and a prefix it could write to, the
# programs must find their data in <prefix>/share/vellum, keep what they write in the XDG
# folders (or in --home DIR) and leave the prefix as it was.
#   InstallTest.sh BUILD_DIR SOURCE_DIR PLUGINS_DIR VERSION_TEXT WITH_EDITOR(0|1)
set -euo pipefail
build=$1 source=$2 plugins=$3 version=$4 editor=$5

if [ ! -d "$plugins" ]; then
    echo "shared test data not found at $plugins: skipped"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_file() { [ -e "$prefix/$1" ] || fail "not installed: $1"; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# --- The tree ---------------------------------------------------------------------------------
expect_file bin/vellum-cli
for f in ESTemplate.ini ESTemplate.def Signatures.ini; do expect_file "share/vellum/$f"; done
(cd "$source/data" && find . -type f) | while read -r f; do
    cmp -s "$source/data/$f" "$prefix/share/vellum/$f" || fail "data file not installed as it is: $f"
done
[ -n "$(ls -A "$prefix/share/vellum/Templates")" ] || fail "no Templates"
expect_file share/mime/packages/vellum.xml
expect_file share/man/man1/vellum-cli.1.gz
expect_file share/bash-completion/completions/vellum-cli
[ -z "$(find "$prefix" -name vellum.portable)" ] || fail "the portable marker was installed"
if [ "$editor" = 1 ]; then
    expect_file bin/vellum
    expect_file share/applications/vellum.desktop
    expect_file share/icons/hicolor/scalable/apps/vellum.svg
    for n in 16 22 24 32 48 64 128 256; do
        # The PNG header's width and height, two big-endian 32-bit numbers at offset 16.
        read -r -a b < <(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${n}x$n/apps/vellum.png" 2>/dev/null)
        [ "$(((b[2] << 8 | b[3])))x$(((b[6] << 8 | b[7])))" = "${n}x$n" ] || fail "icon $n is ${b[*]}"
    done
    metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml)
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1 || { cat "$work/appstream.txt"; fail "appstreamcli validate"; }
    fi
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$prefix/share/applications/vellum.desktop" || fail "desktop-file-validate"
    fi
    # Every file type the entry offers to open is one the installed MIME package defines.
    for type in $(sed -n 's/^MimeType=//p' "$prefix/share/applications/vellum.desktop" | tr ';' ' '); do
        grep -q "<mime-type type=\"$type\">" "$prefix/share/mime/packages/vellum.xml" || fail "undefined type $type"
    done
fi

# The MIME package, compiled as the desktop compiles it: names and the leading TES3 decide.
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
    mkdir -p "$work/mime/mime/packages"
    cp "$prefix/share/mime/packages/vellum.xml" "$work/mime/mime/packages/"
    update-mime-database "$work/mime/mime" >/dev/null 2>&1 || fail "update-mime-database"
    mkdir "$work/types"
    cp "$plugins/blank.esm" "$work/types/BLANK.ESM"
    cp "$plugins/blank.esp" "$work/types/renamed.dat"
    printf 'TES3 is just text here\n' >"$work/types/words.txt"
    for pair in BLANK.ESM:application/x-morrowind-master renamed.dat:application/x-tes3 words.txt:text/plain; do
        got=$(XDG_DATA_HOME=$work/mime XDG_DATA_DIRS=$work/mime:/usr/share \
              gio info -a standard::content-type "$work/types/${pair%%:*}" | sed -n 's/.*content-type: //p')
        [ "$got" = "${pair#*:}" ] || fail "${pair%%:*} is $got, not ${pair#*:}"
    done
fi

# The manual page: every command of the tool, and no complaint from man.
for c in $("$prefix/bin/vellum-cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p'); do
    zcat "$prefix/share/man/man1/vellum-cli.1.gz" | grep -qx "\.SS $c" || fail "command $c missing from the manual page"
done
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/vellum-cli.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man: $warnings"
fi

# --- Running it -------------------------------------------------------------------------------
# The build and source trees are covered by empty folders where the system lets us, so that
# nothing of them can be found by accident.
hide="unshare --map-root-user --mount"
if ! $hide true 2>/dev/null; then
    echo "note: no user namespaces here; the build tree stays visible"
    hide=""
fi
run() { # env... -- command...
    local envs=()
    while [ "$1" != -- ]; do envs+=("$1"); shift; done
    shift
    env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "${envs[@]}" $hide bash -c \
        '[ -z "$HIDE" ] || { mount -t tmpfs none "$BUILD" && mount -t tmpfs none "$SOURCE"; } || exit 99; exec "$@"' \
        run "$@"
}
user=(HIDE="$hide" BUILD="$build" SOURCE="$source" HOME="$work/home")
# A reference index carries the title and a hash of the full path: <title>.<hash>.rdx.
has_rdx() { compgen -G "$1/$2.*.rdx" >/dev/null; }
snapshot() { find "$prefix" -printf '%P %s %T@ %m\n' | sort; }
snapshot >"$work/before"
mkdir -p "$work/home" "$work/cwd"
cd "$work/cwd"
plugin=$plugins/animal_tamer.esp

[ "$(run "${user[@]}" -- "$prefix/bin/vellum-cli" --version)" = "vellum-cli $version" ] || fail "vellum-cli --version"
out=$(run "${user[@]}" -- "$prefix/bin/vellum-cli" check "$plugin" 2>"$work/err") || fail "check: $(cat "$work/err")"
[[ $out == "$plugin: records="[1-9]*" unknown=0 "* ]] || fail "check printed: $out"
cmp -s "$work/home/.local/share/vellum/ESTemplate.ini" "$prefix/share/vellum/ESTemplate.ini" ||
    fail "the user's template was not seeded from the installed one"
[ -n "$(ls -A "$work/home/.local/share/vellum/Templates" 2>/dev/null)" ] || fail "Templates not seeded"

run "${user[@]}" -- "$prefix/bin/vellum-cli" index "$plugin" >/dev/null || fail "index"
[ -f "$work/home/.cache/vellum/Indices/animal_tamer.esp.idx" ] || fail "no .idx in ~/.cache/vellum/Indices"
written=$(run "${user[@]}" -- "$prefix/bin/vellum-cli" dump "$plugin") || fail "dump"
[ "$written" = "$work/home/.local/share/vellum/Dumps/animal_tamer.esp.txt" ] || fail "dump wrote $written"

# The XDG variables move each kind of file; --home keeps them all in one folder.
xdg=(XDG_CONFIG_HOME="$work/xdg/config" XDG_DATA_HOME="$work/xdg/data" XDG_CACHE_HOME="$work/xdg/cache")
run "${user[@]}" "${xdg[@]}" -- "$prefix/bin/vellum-cli" index "$plugin" >/dev/null || fail "index with XDG"
has_rdx "$work/xdg/cache/vellum/Indices" animal_tamer.esp || fail "XDG_CACHE_HOME not followed"
[ -f "$work/xdg/data/vellum/ESTemplate.ini" ] || fail "XDG_DATA_HOME not followed"
[ -d "$work/xdg/config/vellum" ] || fail "XDG_CONFIG_HOME not followed"
run "${user[@]}" -- "$prefix/bin/vellum-cli" index --home "$work/own" "$plugin" >/dev/null || fail "index --home"
has_rdx "$work/own/Indices" animal_tamer.esp && [ -f "$work/own/ESTemplate.ini" ] || fail "--home not followed"

if [ "$editor" = 1 ]; then
    [ "$(run "${user[@]}" -- "$prefix/bin/vellum" --version)" = "vellum $version" ] || fail "vellum --version"
    help=$(run "${user[@]}" -- "$prefix/bin/vellum" --help)
    [[ $help == *"[FILE...]"*".esp"*"$work/home/.config/vellum/Vellum.ini"* ]] || fail "vellum --help: $help"
    # The editor opens a file named on its command line: its reference index appears in the
    # user's cache once the file has loaded.
    run "${user[@]}" QT_QPA_PLATFORM=offscreen XDG_CACHE_HOME="$work/editor-cache" -- \
        "$prefix/bin/vellum" "$plugins/gr_keys.esp" >"$work/editor.txt" 2>&1 &
    pid=$!
    for _ in $(seq 600); do
        has_rdx "$work/editor-cache/vellum/Indices" gr_keys.esp && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    has_rdx "$work/editor-cache/vellum/Indices" gr_keys.esp || fail "the editor did not index the file it opened: $(cat "$work/editor.txt")"
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
fi

# The shell completion, through the installed tool.
complete_words() { # words... : what completing the last word offers
    run "${user[@]}" PATH="$prefix/bin:/usr/bin:/bin" -- bash -c \
        'source "$0"; COMP_WORDS=("${@}"); COMP_CWORD=$(($# - 1)); _vellum_cli; printf "%s\n" "${COMPREPLY[@]}"' \
        "$prefix/share/bash-completion/completions/vellum-cli" "$@"
}
[ "$(complete_words vellum-cli che)" = check ] || fail "completing a command: $(complete_words vellum-cli che)"
[ "$(complete_words vellum-cli dump --mode '' | tr '\n' ' ')" = "0 1 2 " ] || fail "completing --mode"
[[ $(complete_words vellum-cli dump --he) == *--headers* ]] || fail "completing an option"
mkdir "$work/cwd/files" && touch "$work/cwd/files/"{a.esp,b.ESM,c.txt,d.json}
completes_files() { # expected words... -- words...
    local want=() got
    while [ "$1" != -- ]; do want+=("$1"); shift; done
    shift
    got=$(complete_words "$@" | sort | tr '\n' ' ')
    [ "$got" = "$(printf '%s ' "${want[@]}")" ] || fail "completing '$*' gave: $got"
}
completes_files files/a.esp files/b.ESM -- vellum-cli check files/
completes_files files/d.json -- vellum-cli import files/
completes_files files/a.esp files/b.ESM -- vellum-cli import files/d.json --out files/
completes_files files/d.json -- vellum-cli export files/a.esp --out files/
completes_files files/a.esp files/b.ESM -- vellum-cli clean files/a.esp --with files/

snapshot >"$work/after"
diff "$work/before" "$work/after" >&2 || fail "something was written under the prefix"

[ $failures -eq 0 ] || exit 1
echo "installed copy: all checks passed"

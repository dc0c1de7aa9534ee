#include <cstdio>
#include <cstring>

// The command set grows with the core; see --help.
int main(int argc, char** argv) {
    std::puts("vellum-cli: command-line companion of the Vellum editor\n"
              "usage: vellum-cli COMMAND [options] FILE...\n"
              "  --help   this text");
    return (argc > 1 && std::strcmp(argv[1], "--help") != 0) ? 2 : 0;
}

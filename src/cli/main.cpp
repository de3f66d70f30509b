// fermalux-cli: the program's calculations without windows (see cli.h).
#include "cli.h"

int main(int argc, char** argv) {
    return fmx::cli::run(argc, argv);
}

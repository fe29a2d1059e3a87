#include <iostream>

#include "base/interruption.h"
#include "cli/cli_app.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Ctrl-C or a kill ends dot with the program and leaves no half-written file.
    vesk::install_interruption_handler("vesk-cli");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = vesk::cli::run_cli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}

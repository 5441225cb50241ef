#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    vostrel::cli::CliContext context{std::cout, std::cerr, vostrel::cli::makeHardwareTransport};
    return vostrel::cli::runCli(arguments, context);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#if defined(_WIN32)
#include <windows.h>
// windows.h first.
#include <shellapi.h>

#include "files/utf8_path.h"

namespace {

// main()'s arguments come in the local code page, which turns every other character
// into '?': take the wide command line and carry it on as UTF-8, as everywhere else.
std::vector<std::string> commandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int index = 1; wide != nullptr && index < count; ++index) {
        arguments.push_back(vostrel::files::utf8Name(wide[index]));
    }
    ::LocalFree(wide);
    // Texts and file names go out as UTF-8 too.
    ::SetConsoleOutputCP(CP_UTF8);
    return arguments;
}

}  // namespace
#else
namespace {

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = commandLineArguments(argc, argv);
    vostrel::cli::CliContext context{std::cout, std::cerr, vostrel::cli::makeHardwareTransport};
    return vostrel::cli::runCli(arguments, context);
}

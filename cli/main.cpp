// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#if defined(_WIN32)
#include <windows.h>
// windows.h first.
#include <shellapi.h>
// For _isatty.
#include <io.h>

#include <cstdio>

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

bool outputIsTerminal() { return ::_isatty(::_fileno(stdout)) != 0; }

std::filesystem::path programDirectory() {
    std::wstring path(32768, L'\0');  // the longest path Windows has
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

}  // namespace
#else
#include <unistd.h>

namespace {

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

bool outputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

// Empty when the link cannot be read (no /proc): the language file is then looked for
// in the configuration directories only.
std::filesystem::path programDirectory() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

}  // namespace
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = commandLineArguments(argc, argv);
    vostrel::cli::CliContext context{std::cout, std::cerr, vostrel::cli::makeHardwareTransport, programDirectory(),
                                     outputIsTerminal()};
    return vostrel::cli::runCli(arguments, context);
}

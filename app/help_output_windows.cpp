// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "app/help_box_text.h"
#include "app/help_output.h"

#include <windows.h>

#include <string>

namespace vostrel::app {
namespace {

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring text(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), static_cast<int>(text.size()));
    return text;
}

}  // namespace

bool showHelpText(std::string_view title, std::string_view text) {
    // Redirected into a file or a pipe (`vostrel-programmer --help > help.txt`), the
    // program has a standard output, and the text goes there as on every system. A
    // window program started otherwise has none, or a handle that names no file.
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE && ::GetFileType(output) != FILE_TYPE_UNKNOWN) {
        return printHelpText(text);
    }
    return ::MessageBoxW(nullptr, wide(helpForBox(text)).c_str(), wide(title).c_str(), MB_OK | MB_ICONINFORMATION) != 0;
}

}  // namespace vostrel::app

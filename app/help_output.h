// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// How the window programs answer --help and --version. One file per system:
// help_output_windows.cpp, help_output_console.cpp.

#include <iostream>
#include <string_view>

namespace vostrel::app {

// Shows `text` on standard output; on Windows, where a window program started from
// Explorer or from cmd has no standard output (cmd gives it no console, and the text
// would go nowhere), in a message box titled `title` instead. False when it could not
// be shown.
bool showHelpText(std::string_view title, std::string_view text);

// The standard output half, the same on every system.
inline bool printHelpText(std::string_view text) {
    std::cout << text;
    std::cout.flush();
    return static_cast<bool>(std::cout);
}

}  // namespace vostrel::app

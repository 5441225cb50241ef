// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Command lines, configuration texts and messages are UTF-8; a file name must keep
// every character on every system. Converting through these (and never through a
// plain std::string) does that on Windows too, where a narrow string would be taken
// in the local code page and lose every character outside it.

#include <filesystem>
#include <string>
#include <string_view>

namespace vostrel::files {

std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Name(const std::filesystem::path& path);

}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What a test finds on disk: a file's bytes, and every name under a folder.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace vostrel::files::test {

inline std::string contentOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every name under `directory`, relative to it, subfolders' included.
inline std::set<std::string> namesIn(const std::filesystem::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
        names.insert(std::filesystem::relative(entry.path(), directory).string());
    }
    return names;
}

}  // namespace vostrel::files::test

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/recent_files.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <algorithm>
#include <system_error>

#include "files/utf8_path.h"

namespace vostrel::files {
namespace {

bool isAbsoluteName(std::string_view name) { return pathFromUtf8(name).is_absolute(); }

// Whether two names are one file's, as the system compares names: on Windows whatever
// the case of their letters and whichever slash (the file system's own case-insensitive
// comparison, CompareStringOrdinal's), elsewhere byte for byte.
bool sameFile(std::string_view name, std::string_view other) {
#if defined(_WIN32)
    const std::wstring first = pathFromUtf8(name).make_preferred().wstring();
    const std::wstring second = pathFromUtf8(other).make_preferred().wstring();
    return ::CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                  static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
#else
    return name == other;
#endif
}

bool listed(const std::vector<std::string>& names, std::string_view name) {
    return std::ranges::any_of(names, [name](const std::string& listedName) { return sameFile(listedName, name); });
}

}  // namespace

RecentFiles::RecentFiles(const std::vector<std::string>& remembered) {
    for (const std::string& name : remembered) {
        if (names_.size() == kRecentFilesKept) break;
        if (!name.empty() && isAbsoluteName(name) && !listed(names_, name)) names_.push_back(name);
    }
}

void RecentFiles::add(std::string_view name) {
    if (name.empty() || !isAbsoluteName(name)) return;
    remove(name);
    names_.insert(names_.begin(), std::string(name));
    if (names_.size() > kRecentFilesKept) names_.resize(kRecentFilesKept);
}

void RecentFiles::remove(std::string_view name) {
    std::erase_if(names_, [name](const std::string& listedName) { return sameFile(listedName, name); });
}

bool isGone(const std::filesystem::path& name) {
    std::error_code error;
    return std::filesystem::status(name, error).type() == std::filesystem::file_type::not_found;
}

bool isNoFile(const std::filesystem::path& name) {
    std::error_code error;
    const auto type = std::filesystem::status(name, error).type();
    return type != std::filesystem::file_type::regular && type != std::filesystem::file_type::unknown &&
           type != std::filesystem::file_type::none;
}

}  // namespace vostrel::files

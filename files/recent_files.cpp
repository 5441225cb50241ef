// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/recent_files.h"

#include <algorithm>
#include <system_error>

#include "files/utf8_path.h"

namespace vostrel::files {
namespace {

bool isAbsoluteName(std::string_view name) { return pathFromUtf8(name).is_absolute(); }

}  // namespace

RecentFiles::RecentFiles(const std::vector<std::string>& remembered) {
    for (const std::string& name : remembered) {
        if (names_.size() == kRecentFilesKept) break;
        const bool listed = std::find(names_.begin(), names_.end(), name) != names_.end();
        if (!name.empty() && isAbsoluteName(name) && !listed) names_.push_back(name);
    }
}

void RecentFiles::add(std::string_view name) {
    if (name.empty() || !isAbsoluteName(name)) return;
    remove(name);
    names_.insert(names_.begin(), std::string(name));
    if (names_.size() > kRecentFilesKept) names_.resize(kRecentFilesKept);
}

void RecentFiles::remove(std::string_view name) { std::erase(names_, name); }

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

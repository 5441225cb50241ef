// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A temporary file beside the one being written, removed on every way out unless it
// was put in place.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace vostrel::files::detail {

// The short hidden name a new file has for as long as it is written or renamed:
// ".vostrel-" and eight lower-case hex digits, then ".tmp". Fixed in length, so that
// the file's own name can be as long as a name may be.
inline std::string temporaryName(unsigned random) {
    char name[32];
    std::snprintf(name, sizeof name, ".vostrel-%08x.tmp", random);
    return name;
}

inline bool isTemporaryName(std::string_view name) {
    constexpr std::string_view kPrefix = ".vostrel-";
    constexpr std::string_view kSuffix = ".tmp";
    constexpr std::size_t kDigits = 8;
    if (name.size() != kPrefix.size() + kDigits + kSuffix.size()) return false;
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    const std::string_view digits = name.substr(kPrefix.size(), kDigits);
    return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A writer killed between naming its new file and renaming it leaves that name
// behind. No writer takes this long over its file, so a temporary name last written
// this long ago is such a leftover, and the next write into the folder removes it.
inline constexpr std::chrono::seconds kStaleTemporaryAge{60};

class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    std::filesystem::path path_;
};

}  // namespace vostrel::files::detail

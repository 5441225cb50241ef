// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A temporary file beside the one being written, removed on every way out unless it
// was put in place.

#include <filesystem>
#include <system_error>
#include <utility>

namespace vostrel::files::detail {

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

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// How the file functions word their errors: the file as the user named it, what was
// being done, and the system's reason.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/file_error.h"
#include "files/utf8_path.h"

namespace vostrel::files::detail {

inline FileError failure(const std::filesystem::path& path, std::string_view what) {
    return {utf8Name(path) + ": " + std::string(what)};
}

// `error` is an errno value.
inline FileError systemFailure(const std::filesystem::path& path, std::string_view doing, int error = errno) {
    return failure(path, std::string(doing) + ": " + std::strerror(error));
}

}  // namespace vostrel::files::detail

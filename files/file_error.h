// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What every file function of this library gives when it fails: the user's file and
// the system's reason, in words (files/error_text.h words them).

#include <string>

namespace vostrel::files {

struct FileError {
    std::string what;
    // Set when a file that had to be new already exists.
    bool alreadyExists = false;
};

}  // namespace vostrel::files

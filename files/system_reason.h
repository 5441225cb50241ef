// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The system's reason for a failure, as the system words it for its user, in UTF-8 like
// every text the programs show. On Windows an error of the system's own category
// (GetLastError's codes) is worded by Windows in the language of its messages, taken as
// UTF-16: the narrow text would be in the local code page, and a German reason such
// as "Der Datenträger ist schreibgeschützt" would lose its umlauts. Any other error
// is worded by its category (the C library's text). One file per system:
// system_reason_windows.cpp, system_reason_posix.cpp.

#include <string>
#include <system_error>

namespace vostrel::files {

// Without a full stop or line break at its end, to follow "cannot replace: ".
std::string systemReason(const std::error_code& error);

}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/system_reason.h"

namespace vostrel::files {

std::string systemReason(const std::error_code& error) { return error.message(); }

}  // namespace vostrel::files

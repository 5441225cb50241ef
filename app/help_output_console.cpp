// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "app/help_output.h"

namespace vostrel::app {

bool showHelpText(std::string_view, std::string_view text) { return printHelpText(text); }

}  // namespace vostrel::app

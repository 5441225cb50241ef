// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The help as a message box shows it best (app/help_output_windows.cpp): the text is
// broken for a terminal's 80 columns and lined up in its fixed-width letters, and a
// box, which breaks its lines itself in a proportional font, would break those again
// and show the columns askew.

#include <string>
#include <string_view>

namespace vostrel::app {

// `text` with each paragraph (lines up to an empty one) on one line, for the box to
// break; an indented line (a usage line's "or:", an option) on a line of its own,
// without its indent, and with a tab where the columns were lined up by blanks.
std::string helpForBox(std::string_view text);

}  // namespace vostrel::app

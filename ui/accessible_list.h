// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Drop-down lists named for screen readers by their accessible name on every system.
// On Linux and macOS Qt names a list by its current choice and leaves its name to a
// label beside it; the window's thirty-two row lists share four column headings, so
// each would be heard as "A" or "Numeric". A list without an accessible name is named
// as Qt names it.

namespace vostrel::ui {

// Puts the naming in place for every list made from now on. Call it before the
// window's controls are made; calling it again does nothing.
void nameListsByTheirAccessibleName();

}  // namespace vostrel::ui

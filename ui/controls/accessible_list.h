// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Controls as screen readers hear them. Drop-down lists are named by their accessible
// name on every system.
// On Linux and macOS Qt names a list by its current choice and leaves its name to a
// label beside it; the window's thirty-two row lists share four column headings, so
// each would be heard as "A" or "Numeric". A list without an accessible name is named
// as Qt names it.

class QLabel;

namespace vostrel::ui {

// Puts the naming in place for every list made from now on. Call it before the
// window's controls are made; calling it again does nothing.
void nameListsByTheirAccessibleName();

// Makes a screen reader tell the label's new text without being asked, as a live
// region. Qt before 6.8 sends only the label's name change, which screen readers read
// out for the focused control alone.
void announce(QLabel& label);

}  // namespace vostrel::ui

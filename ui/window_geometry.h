// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's font and the fitting of its fixed layout around the texts it shows.
// The controls keep the places the design gives them; when a text needs more room
// (a translation, a wider font) every control and the window widen by one common
// factor, so the arrangement stays as designed.

#include <QFont>
#include <vector>

class QLineEdit;
class QWidget;

namespace vostrel::ui {

QFont windowFont();

// Widens the window's direct children and the window itself so that every label,
// button, list and box shows its text whole. `messageBoxes` must show a whole
// alphanumeric message; any other box shows as many characters as it takes.
void widenForTexts(QWidget& window, const std::vector<const QLineEdit*>& messageBoxes);

// Moves the window back onto its screen when it would reach beyond it.
void keepOnScreen(QWidget& window);

}  // namespace vostrel::ui

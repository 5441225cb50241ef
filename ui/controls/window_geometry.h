// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's font and the fitting of its fixed layout around the texts it shows.
// The controls keep the places the design gives them, in pixels at 96 dots per inch.
// Qt scales those pixels with the display (QT_SCALE_FACTOR, the desktop's scaling);
// where it does not (high-DPI scaling switched off on a dense screen), the font and
// every place grow together with the screen's logical density. When a text still
// needs more room (a long translation), the column of the window it is in widens and
// the columns right of it move over, so the arrangement stays as designed and the
// window grows only by what its texts need (a German window fits a 1,024-pixel screen).

#include <QFont>
#include <QString>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QScreen;
class QWidget;

namespace vostrel::ui {

// How many times the design the window is drawn on `screen`: 1 where Qt scales the
// pixels itself, more where only the font would grow.
double layoutScale(const QScreen& screen);

// The design's font (13 pixels), `scale` times as large.
QFont windowFont(double scale);

struct TextsToFit {
    // Boxes that must show a whole alphanumeric message; any other box shows as many
    // characters as it takes.
    std::vector<const QLineEdit*> messageBoxes;
    // Boxes that must show only so many characters whole, however many they take: a
    // label scrolls past its first 20.
    std::vector<std::pair<const QLineEdit*, int>> shownCharacters;
    // Labels whose text changes while the window is open, each with the widest text it
    // can come to show.
    std::vector<std::pair<const QLabel*, QString>> widestTexts;
};

// Gives the window its font and lays its direct children out at their design places,
// scaled for the screen and widened so that every label, button, list and box shows
// its text whole. Call it once, after the texts are set.
void fitWindow(QWidget& window, const TextsToFit& texts);

// Moves the window back onto its screen when it would reach beyond it.
void keepOnScreen(QWidget& window);

}  // namespace vostrel::ui

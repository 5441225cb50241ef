// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The choices that outlive the window, in the user's configuration directory
// (vostrel-programmer/vostrel-programmer.ini there), apart from any configuration
// file: the pager alphabet, transliteration, and whether a Write asks before it
// overwrites calls.

#include <QObject>

class QAbstractButton;
class QComboBox;

namespace vostrel::ui {

class RememberedChoices : public QObject {
    Q_OBJECT

public:
    // Sets the controls as remembered and remembers every later change of them.
    RememberedChoices(QComboBox& alphabet, QAbstractButton& transliterate, QAbstractButton& confirmWrite);
};

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The choices that outlive the window, in its settings file (ui/workings/settings_file.h):
// the pager alphabet, transliteration, and whether a Write asks before it overwrites
// calls; the window's other features keep theirs there too (the recent files, the file
// dialogs' folder).

#include <QObject>

#include "ui/workings/settings_file.h"

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

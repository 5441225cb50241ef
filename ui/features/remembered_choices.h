// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The choices that outlive the window, in the settings file vostrel-programmer.ini (in
// the user's configuration folder, or beside a portable copy: files/program_folders.h),
// apart from any configuration file: the pager alphabet, transliteration, and whether
// a Write asks before it overwrites calls; the window's other features keep theirs
// there too (the recent files, the file dialogs' folder).

#include <QLatin1StringView>
#include <QObject>
#include <QVariant>

class QAbstractButton;
class QComboBox;

namespace vostrel::ui {

class RememberedChoices : public QObject {
    Q_OBJECT

public:
    // Sets the controls as remembered and remembers every later change of them.
    RememberedChoices(QComboBox& alphabet, QAbstractButton& transliterate, QAbstractButton& confirmWrite);
};

// The value remembered under `key`, or `fallback` when there is none or the settings
// file must be left alone (it is no regular file, or far too large).
QVariant rememberedValue(QLatin1StringView key, const QVariant& fallback = {});
// Remembers `value` under `key`, unless the settings file must be left alone: false
// when it was not remembered (left alone, not writable, a full disk).
bool rememberValue(QLatin1StringView key, const QVariant& value);

}  // namespace vostrel::ui

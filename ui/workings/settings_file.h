// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's settings file, vostrel-programmer.ini (in the user's configuration
// folder, or beside a portable copy: files/program_folders.h), where what outlives the
// window is kept apart from any configuration file: the remembered choices
// (ui/features/remembered_choices.h), the recent files, the file dialogs' folder.

#include <QLatin1StringView>
#include <QSettings>
#include <QVariant>
#include <memory>

namespace vostrel::ui {

// The window's group of the settings file, or nothing when the file must be left
// alone (it is no regular file, or far too large) or no folder for it is known.
std::unique_ptr<QSettings> windowSettings();

// The value remembered under `key`, or `fallback` when there is none or the settings
// file must be left alone.
QVariant rememberedValue(QLatin1StringView key, const QVariant& fallback = {});
// Remembers `value` under `key`, unless the settings file must be left alone: false
// when it was not remembered (left alone, not writable, a full disk).
bool rememberValue(QLatin1StringView key, const QVariant& value);

}  // namespace vostrel::ui

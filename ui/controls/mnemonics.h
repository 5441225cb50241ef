// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Alt shortcut letters ("&" before a letter of a caption) that stay distinct when
// captions come from a translation. Two captions with the same letter would make
// Alt+letter only move the focus between their buttons instead of pressing one.
// "&&" is a literal ampersand, as Qt reads it.

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace vostrel::ui {

// The caption's shortcut letter in upper case, if it has one.
std::optional<QChar> mnemonic(const QString& caption);

// The caption as read aloud or shown without its shortcut mark.
QString withoutMnemonic(const QString& caption);

// The captions in order, each later caption whose letter an earlier one has already
// taken moved to the first free letter or digit of its own text, or left without a
// shortcut when none is free. Captions without a letter are left as they are.
QStringList distinctMnemonics(const QStringList& captions);

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The text of the box that asks before a Write overwrites calls the transmitter holds:
// first what changes (rows changed from old to new, new and cleared, then each setting
// that changes), then after a blank line the rows in use that stay unchanged.

#include <QString>

#include "image/image_changes.h"
#include "ui/workings/language_texts.h"

namespace vostrel::ui {

QString writeConfirmationText(const image::ImageChanges& changes, const LanguageTexts& texts);

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/controls/masked_edit.h"

#include <QFocusEvent>
#include <QMouseEvent>

void MaskedEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Entered from the keyboard, the whole number is selected so that typing replaces
    // it; Qt would otherwise overwrite digit by digit from the left.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        selectAll();
        return;
    }
    keepCursorWithinText();
}

void MaskedEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    keepCursorWithinText();
}

void MaskedEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    keepCursorWithinText();
}

void MaskedEdit::keepCursorWithinText() {
    if (hasSelectedText()) return;
    const QString shown = displayText();
    const qsizetype firstBlank = shown.indexOf(QLatin1Char(' '));
    if (firstBlank >= 0 && cursorPosition() > firstBlank) setCursorPosition(static_cast<int>(firstBlank));
}

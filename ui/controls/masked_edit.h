// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A line edit with an input mask whose blanks stand for missing characters. Qt
// leaves the cursor where the user clicked, which in an empty or short field is
// after the blanks, where every typed digit is dropped. The cursor is brought back
// to the first blank so that typing goes where the user expects, and entering the
// field from the keyboard selects it whole so that a new number replaces the old.

#include <QLineEdit>

class MaskedEdit : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Moves the cursor to the first blank when it stands beyond it.
    void keepCursorWithinText();
};

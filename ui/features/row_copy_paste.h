// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A selection of rows (Shift+Up, Shift+Down, Shift and a click, shown on the row
// numbers) copied and pasted as tab-separated text, as a spreadsheet takes it, and a
// paste into one box refused rather than cut. The text is ui/workings/row_clipboard.h's.

#include <QObject>
#include <QString>
#include <cstddef>

#include "ui/workings/message_presenter.h"
#include "ui/features/rows_view.h"

class QLineEdit;
class QWidget;

namespace vostrel::ui {

class RowCopyPaste : public QObject {
    Q_OBJECT

public:
    // A paste waits, as Open does, while `heldWith` (the Open button) is disabled: a
    // Write waiting behind its box would send the rows it built before the paste.
    RowCopyPaste(RowsView& rows, const MessageReporter& reporter, const QWidget& heldWith);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool filterRowEvent(std::size_t row, QWidget& control, QEvent& event);
    void selectRows(std::size_t anchor, std::size_t end);
    void copyRows();
    // Whether the paste key was taken; a list's own paste of one line goes on.
    bool paste(QLineEdit* box);
    void pasteRows(const QString& text);
    void pasteIntoBox(QLineEdit& box, const QString& text);

    RowsView& rows_;
    const MessageReporter& reporter_;
    const QWidget& heldWith_;
    // The rows selected for copying: from the anchor to the end, either way round.
    std::size_t selectionAnchor_ = 0;
    std::size_t selectionEnd_ = 0;
};

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/row_copy_paste.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>
#include <algorithm>

#include "image/pager_text.h"
#include "ui/workings/row_clipboard.h"

namespace vostrel::ui {
namespace {

bool isShiftArrow(const QKeyEvent& key, Qt::Key arrow) {
    return key.key() == arrow && key.modifiers() == Qt::ShiftModifier;
}

// The row selection shown on the row numbers, in the colours of selected text.
void showSelected(QLabel& number, bool selected) {
    number.setAutoFillBackground(selected);
    if (!selected) {
        number.setPalette(QPalette());
        return;
    }
    QPalette palette = number.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    number.setPalette(palette);
}

}  // namespace

RowCopyPaste::RowCopyPaste(RowsView& rows, const MessageReporter& reporter, const QWidget& heldWith)
    : rows_(rows), reporter_(reporter), heldWith_(heldWith) {
    for (const RowControls& row : rows_.rows()) {
        for (QWidget* control : std::initializer_list<QWidget*>{row.capCode, row.tone, row.type, row.message, row.label}) {
            control->installEventFilter(this);
        }
    }
}

bool RowCopyPaste::eventFilter(QObject* watched, QEvent* event) {
    const auto row = rows_.rowOf(watched);
    return row && filterRowEvent(*row, *static_cast<QWidget*>(watched), *event);
}

bool RowCopyPaste::filterRowEvent(std::size_t row, QWidget& control, QEvent& event) {
    if (event.type() == QEvent::FocusIn) {
        // Shift and a click extend the selection as in a spreadsheet; any other way
        // into a row selects that row alone.
        const bool extend = static_cast<QFocusEvent&>(event).reason() == Qt::MouseFocusReason &&
                            QApplication::keyboardModifiers() == Qt::ShiftModifier;
        selectRows(extend ? selectionAnchor_ : row, row);
        return false;
    }
    if (event.type() != QEvent::KeyPress) return false;
    const auto& key = static_cast<const QKeyEvent&>(event);
    const RowControlArray& rows = rows_.rows();
    for (const auto& [arrow, step] : {std::pair{Qt::Key_Up, -1}, std::pair{Qt::Key_Down, 1}}) {
        if (!isShiftArrow(key, arrow)) continue;
        // Shift+Up and Shift+Down select rows, moving to the same column of the next one.
        const auto next = static_cast<std::ptrdiff_t>(row) + step;
        if (next < 0 || next >= static_cast<std::ptrdiff_t>(rows.size())) return true;
        const RowControls& from = rows[row];
        const RowControls& to = rows[static_cast<std::size_t>(next)];
        QWidget* target = &control == from.capCode ? static_cast<QWidget*>(to.capCode)
                          : &control == from.tone  ? static_cast<QWidget*>(to.tone)
                          : &control == from.type  ? static_cast<QWidget*>(to.type)
                          : &control == from.label ? static_cast<QWidget*>(to.label)
                                                   : static_cast<QWidget*>(to.message);
        const std::size_t anchor = selectionAnchor_;
        target->setFocus(Qt::OtherFocusReason);
        selectRows(anchor, static_cast<std::size_t>(next));
        return true;
    }
    auto* box = qobject_cast<QLineEdit*>(&control);
    if (key.matches(QKeySequence::Copy)) {
        // Selected text in one row is copied as text; otherwise the rows are.
        if (selectionAnchor_ == selectionEnd_ && box != nullptr && box->hasSelectedText()) return false;
        copyRows();
        return true;
    }
    if (key.matches(QKeySequence::Paste)) return paste(box);
    return false;
}

bool RowCopyPaste::paste(QLineEdit* box) {
    // Taken from every control while held, so that no box pastes on its own either.
    if (!heldWith_.isEnabled()) return true;
    // A letter copied as its base letter and a combining mark (macOS, many web pages)
    // is pasted as the one letter, as every limit counts it.
    const QString text = QString::fromStdString(image::composedText(QApplication::clipboard()->text().toStdString()));
    if (text.size() > kMaxPastedCharacters) {
        reporter_.report({texts::keys::kClipboardTooLarge, texts::Title::Error, {static_cast<int>(text.size())}});
        return true;
    }
    if (holdsRows(text)) {
        pasteRows(text);
        return true;
    }
    if (box == nullptr) return false;
    pasteIntoBox(*box, withoutFinalLineBreak(text));
    return true;
}

void RowCopyPaste::pasteIntoBox(QLineEdit& box, const QString& text) {
    // The box would cut a text longer than its limit, silently drop one it does not
    // take and take characters no key types; a capcode cut short pages another pager.
    // Such a paste is refused and said.
    QString result = box.text();
    const int from = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    result.replace(from, box.selectedText().size(), text);
    int position = 0;
    const bool valid = box.validator() == nullptr || box.validator()->validate(result, position) != QValidator::Invalid;
    if (!box.isReadOnly() && result.size() <= box.maxLength() && valid && typeable(text)) {
        box.insert(text);
        return;
    }
    const auto row = rows_.rowOf(&box);
    const int column = !row ? kMessageColumn
                       : &box == rows_.rows()[*row].capCode ? 1
                       : &box == rows_.rows()[*row].label  ? kLabelColumn
                                                           : kMessageColumn;
    reporter_.report({texts::keys::kCannotPasteCell, texts::Title::Error, {1, column}});
}

void RowCopyPaste::selectRows(std::size_t anchor, std::size_t end) {
    selectionAnchor_ = anchor;
    selectionEnd_ = end;
    const std::size_t first = std::min(anchor, end);
    const std::size_t last = std::max(anchor, end);
    // One row is where the focus is anyway; only more are shown.
    const RowControlArray& rows = rows_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) showSelected(*rows[i].number, first != last && i >= first && i <= last);
}

void RowCopyPaste::copyRows() {
    std::vector<QStringList> cells;
    const std::size_t last = std::max(selectionAnchor_, selectionEnd_);
    for (std::size_t i = std::min(selectionAnchor_, selectionEnd_); i <= last; ++i) {
        const RowControls& row = rows_.rows()[i];
        cells.push_back({row.capCode->text(), row.tone->currentText(), row.type->currentText(), row.message->text(),
                         row.label->text()});
    }
    QApplication::clipboard()->setText(rowsAsText(cells));
}

void RowCopyPaste::pasteRows(const QString& text) {
    std::vector<image::RowState> current;
    for (std::size_t i = 0; i < image::kRowCount; ++i) current.push_back(rows_.rowState(i));
    // The pager types by the names shown and by the names configuration files use.
    const RowControls& first = rows_.rows().front();
    const RowPasteRules rules{
        first.capCode->maxLength(),
        {QStringList{first.type->itemText(0), QStringLiteral("Numeric")},
         QStringList{first.type->itemText(1), QStringLiteral("Alphnumeric"), QStringLiteral("Alphanumeric")}}};
    const std::size_t start = std::min(selectionAnchor_, selectionEnd_);
    if (const qsizetype lines = lineCount(text); lines > static_cast<qsizetype>(image::kRowCount)) {
        reporter_.report({texts::keys::kTooManyRowsToPaste, texts::Title::Error,
                          {static_cast<int>(lines), static_cast<int>(start) + 1}});
        return;
    }
    const auto pasted = pastedRows(tableCells(text), start, current, rules);
    if (const auto* refusal = std::get_if<texts::Message>(&pasted)) {
        reporter_.report(*refusal);
        return;
    }
    const auto& rows = std::get<std::vector<PastedRow>>(pasted);
    rows_.change([&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const RowControls& row = rows_.rows()[start + i];
            rows_.setRowState(start + i, rows[i].state);
            if (rows[i].capCode) row.capCode->setText(*rows[i].capCode);
            if (rows[i].message) row.message->setText(*rows[i].message);
            if (rows[i].label) row.label->setText(*rows[i].label);
        }
    });
    selectRows(start, start + rows.size() - 1);
}

}  // namespace vostrel::ui

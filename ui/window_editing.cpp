// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The window's editing commands: undo and redo of every change to its entries, a
// selection of rows copied and pasted as tab-separated text, and the keyboard
// shortcuts beside the buttons' Alt letters.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include "ui/Unit1.h"
#include "ui/row_clipboard.h"

namespace {

const QKeySequence kShiftCtrlZ(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);

QList<QKeySequence> redoKeys() {
    // Ctrl+Shift+Z everywhere, beside what the platform uses (Ctrl+Y on Windows).
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!keys.contains(kShiftCtrlZ)) keys << kShiftCtrlZ;
    return keys;
}

bool isUndoOrRedo(const QKeyEvent& key) {
    const QKeySequence pressed(key.keyCombination());
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) || pressed == kShiftCtrlZ;
}

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

void TForm1::setUpEditing() {
    // Whether to ask before a Write is the program's preference, kept apart from the
    // rows and settings; undoing a row must not turn it.
    windowEntries_.emplace(*this, std::vector<const QWidget*>{ConfirmWrite});
    history_.emplace(windowEntries_->snapshot());
    windowEntries_->onChange(this, [this] { recordLater(); });
    for (const RowControls& row : rows_) {
        row.tone->installEventFilter(this);
        row.type->installEventFilter(this);
    }
    for (QWidget* control : {static_cast<QWidget*>(DataRate), static_cast<QWidget*>(Repeater)}) {
        control->installEventFilter(this);
    }
    addShortcuts();
    // Focus frames from the start, not only once the keyboard has moved the focus
    // (some styles hide them until then).
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void TForm1::addShortcuts() {
    const auto add = [this](const QList<QKeySequence>& keys, auto slot) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add(QKeySequence::keyBindings(QKeySequence::Open), [this] { BtnOpen->click(); });
    add(QKeySequence::keyBindings(QKeySequence::Save), [this] { BtnSave->click(); });
    add(QKeySequence::keyBindings(QKeySequence::Undo), [this] { undo(); });
    add(redoKeys(), [this] { redo(); });
}

void TForm1::recordLater() {
    // One step for all that one event changes: a choice and the rules it runs over
    // every row, a Read, an Open, a paste.
    if (recordPending_) return;
    recordPending_ = true;
    QMetaObject::invokeMethod(this, &TForm1::recordChange, Qt::QueuedConnection);
}

void TForm1::recordChange() {
    recordPending_ = false;
    history_->record(windowEntries_->snapshot());
}

void TForm1::undo() {
    recordChange();
    if (const auto snapshot = history_->undo()) showSnapshot(*snapshot);
}

void TForm1::redo() {
    recordChange();
    if (const auto snapshot = history_->redo()) showSnapshot(*snapshot);
}

void TForm1::showSnapshot(const vostrel::ui::EntrySnapshot& snapshot) {
    changeRows([&] { windowEntries_->restore(snapshot); });
}

std::optional<std::size_t> TForm1::rowOf(const QObject* control) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowControls& row = rows_[i];
        if (control == row.capCode || control == row.tone || control == row.type || control == row.message) return i;
    }
    return std::nullopt;
}

bool TForm1::filterEditingEvent(QWidget& control, QEvent& event) {
    if (history_ && event.type() == QEvent::FocusIn) {
        // Typing after the focus came back is a step of its own.
        recordChange();
        history_->endTyping();
    }
    // Undo and redo belong to the window, not to the one box's own history.
    if (event.type() == QEvent::ShortcutOverride && isUndoOrRedo(static_cast<const QKeyEvent&>(event))) return true;
    const auto row = rowOf(&control);
    return row && filterRowEvent(*row, control, event);
}

bool TForm1::filterRowEvent(std::size_t row, QWidget& control, QEvent& event) {
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
    for (const auto& [arrow, step] : {std::pair{Qt::Key_Up, -1}, std::pair{Qt::Key_Down, 1}}) {
        if (!isShiftArrow(key, arrow)) continue;
        // Shift+Up and Shift+Down select rows, moving to the same column of the next one.
        const auto next = static_cast<std::ptrdiff_t>(row) + step;
        if (next < 0 || next >= static_cast<std::ptrdiff_t>(rows_.size())) return true;
        const RowControls& from = rows_[row];
        const RowControls& to = rows_[static_cast<std::size_t>(next)];
        QWidget* target = &control == from.capCode ? static_cast<QWidget*>(to.capCode)
                          : &control == from.tone  ? static_cast<QWidget*>(to.tone)
                          : &control == from.type  ? static_cast<QWidget*>(to.type)
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
    if (key.matches(QKeySequence::Paste)) {
        const QString text = QApplication::clipboard()->text();
        if (vostrel::ui::holdsRows(text)) {
            pasteRows(text);
            return true;
        }
        if (box != nullptr) pasteIntoBox(*box, vostrel::ui::withoutFinalLineBreak(text));
        return box != nullptr;
    }
    return false;
}

void TForm1::pasteIntoBox(QLineEdit& box, const QString& text) {
    // The box would cut a text longer than its limit, silently drop one it does not
    // take and take characters no key types; a capcode cut short pages another pager.
    // Such a paste is refused and said.
    QString result = box.text();
    const int from = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    result.replace(from, box.selectedText().size(), text);
    int position = 0;
    const bool valid = box.validator() == nullptr || box.validator()->validate(result, position) != QValidator::Invalid;
    if (!box.isReadOnly() && result.size() <= box.maxLength() && valid && vostrel::ui::typeable(text)) {
        box.insert(text);
        return;
    }
    const auto row = rowOf(&box);
    const int column = row && &box == rows_[*row].capCode ? 1 : vostrel::ui::kRowColumns;
    reporter_.report({vostrel::texts::keys::kCannotPasteCell, vostrel::texts::Title::Error, {1, column}});
}

void TForm1::selectRows(std::size_t anchor, std::size_t end) {
    selectionAnchor_ = anchor;
    selectionEnd_ = end;
    const std::size_t first = std::min(anchor, end);
    const std::size_t last = std::max(anchor, end);
    // One row is where the focus is anyway; only more are shown.
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        showSelected(*rows_[i].number, first != last && i >= first && i <= last);
    }
}

void TForm1::copyRows() {
    std::vector<QStringList> cells;
    const std::size_t last = std::max(selectionAnchor_, selectionEnd_);
    for (std::size_t i = std::min(selectionAnchor_, selectionEnd_); i <= last; ++i) {
        const RowControls& row = rows_[i];
        cells.push_back({row.capCode->text(), row.tone->currentText(), row.type->currentText(), row.message->text()});
    }
    QApplication::clipboard()->setText(vostrel::ui::rowsAsText(cells));
}

void TForm1::pasteRows(const QString& text) {
    std::vector<vostrel::image::RowState> current;
    for (const RowControls& row : rows_) {
        current.push_back({rowChoice(row), row.message->isReadOnly() ? 0 : row.message->maxLength()});
    }
    // The pager types by the names shown and by the names configuration files use.
    const RowControls& first = rows_.front();
    const vostrel::ui::RowPasteRules rules{
        first.capCode->maxLength(),
        {QStringList{first.type->itemText(0), QStringLiteral("Numeric")},
         QStringList{first.type->itemText(1), QStringLiteral("Alphnumeric"), QStringLiteral("Alphanumeric")}}};
    const std::size_t start = std::min(selectionAnchor_, selectionEnd_);
    const auto pasted = vostrel::ui::pastedRows(vostrel::ui::tableCells(text), start, current, rules);
    if (const auto* refusal = std::get_if<vostrel::texts::Message>(&pasted)) {
        reporter_.report(*refusal);
        return;
    }
    const auto& rows = std::get<std::vector<vostrel::ui::PastedRow>>(pasted);
    changeRows([&] {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const RowControls& row = rows_[start + i];
            setRowState(row, rows[i].state);
            if (rows[i].capCode) row.capCode->setText(*rows[i].capCode);
            if (rows[i].message) row.message->setText(*rows[i].message);
        }
    });
    selectRows(start, start + rows.size() - 1);
}

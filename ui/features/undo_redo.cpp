// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/undo_redo.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace vostrel::ui {
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

}  // namespace

UndoRedo::UndoRedo(QWidget& window, RowsView& rows, const std::vector<const QWidget*>& leftOut)
    : rows_(rows), entries_(window, leftOut), history_(snapshot()) {
    entries_.onChange(this, [this] { recordLater(); });
    // A command is a step of its own, even when it changes only the box typed into
    // last (what was typed is recorded by then: keys and commands come one event at a
    // time); an Open may change the rows' own alphabets alone.
    connect(&rows_, &RowsView::aboutToChange, this, [this] { history_.endTyping(); });
    connect(&rows_, &RowsView::changed, this, [this] { recordLater(); });
    // Every box and list: their focus ends a step of typing, and a box's own undo gives
    // way to the window's.
    for (QLineEdit* box : window.findChildren<QLineEdit*>()) box->installEventFilter(this);
    for (QComboBox* list : window.findChildren<QComboBox*>()) list->installEventFilter(this);
    addShortcuts(window);
}

void UndoRedo::addShortcuts(QWidget& window) {
    const auto add = [&](const QList<QKeySequence>& keys, void (UndoRedo::*slot)()) {
        auto* action = new QAction(&window);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        window.addAction(action);
    };
    add(QKeySequence::keyBindings(QKeySequence::Undo), &UndoRedo::undo);
    add(redoKeys(), &UndoRedo::redo);
}

void UndoRedo::recordLater() {
    // One step for all that one event changes: a choice and the rules it runs over
    // every row, a Read, an Open, a paste.
    if (recordPending_) return;
    recordPending_ = true;
    QMetaObject::invokeMethod(this, &UndoRedo::recordChange, Qt::QueuedConnection);
}

void UndoRedo::recordChange() {
    recordPending_ = false;
    history_.record(snapshot());
}

EntrySnapshot UndoRedo::snapshot() const {
    EntrySnapshot snapshot = entries_.snapshot();
    snapshot.emplace_back(RowAlphabetsEntry{rows_.textSettings().rowAlphabets});
    return snapshot;
}

void UndoRedo::undo() {
    recordChange();
    if (const auto snapshot = history_.undo()) show(*snapshot);
}

void UndoRedo::redo() {
    recordChange();
    if (const auto snapshot = history_.redo()) show(*snapshot);
}

void UndoRedo::show(const EntrySnapshot& snapshot) {
    rows_.change([&] {
        entries_.restore(snapshot);
        rows_.setRowAlphabets(std::get<RowAlphabetsEntry>(snapshot.back()).alphabets);
    });
}

bool UndoRedo::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Typing after the focus came back is a step of its own.
        recordChange();
        history_.endTyping();
    }
    // Undo and redo belong to the window, not to the one box's own history.
    return event->type() == QEvent::ShortcutOverride && isUndoOrRedo(static_cast<const QKeyEvent&>(*event));
}

}  // namespace vostrel::ui

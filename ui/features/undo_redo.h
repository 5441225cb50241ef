// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Undo and redo of every change to the window's entries (ui/workings/entry_history.h), by the
// platform's keys and Ctrl+Shift+Z, for the whole window rather than one box.

#include <QObject>
#include <optional>
#include <vector>

#include "ui/workings/entry_history.h"
#include "ui/features/rows_view.h"

class QWidget;

namespace vostrel::ui {

class UndoRedo : public QObject {
    Q_OBJECT

public:
    // Takes every entry control of `window` but those `leftOut` (preferences, not
    // entries); make it once the window's controls are all there.
    UndoRedo(QWidget& window, RowsView& rows, const std::vector<const QWidget*>& leftOut);

    void undo();
    void redo();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addShortcuts(QWidget& window);
    void recordLater();
    void recordChange();
    // The controls' values and, after them, the rows' own alphabets.
    EntrySnapshot snapshot() const;
    void show(const EntrySnapshot& snapshot);

    RowsView& rows_;
    WindowEntries entries_;
    EntryHistory history_;
    bool recordPending_ = false;
};

}  // namespace vostrel::ui

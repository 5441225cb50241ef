// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Undo and redo over everything the user can enter in the window. A step is a
// snapshot of the values of every box, list and check box, so a command that changes
// many of them (Read, Open, a paste, the row rules) is undone as one step, and a
// control added to the window takes part without further code.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "image/eeprom_image.h"
#include "paging/alphabets.h"

namespace vostrel::ui {

// A box's text with the limit and read-only state the row rules gave it.
struct BoxEntry {
    QString text;
    int limit = 0;
    bool readOnly = false;

    friend bool operator==(const BoxEntry&, const BoxEntry&) = default;
};

struct ChoiceEntry {
    int index = -1;

    friend bool operator==(const ChoiceEntry&, const ChoiceEntry&) = default;
};

struct CheckEntry {
    bool checked = false;

    friend bool operator==(const CheckEntry&, const CheckEntry&) = default;
};

// What no control shows: the rows' own pager alphabets a configuration file brought.
// Undone with the rows, or a row would be checked and saved with another row's alphabet.
struct RowAlphabetsEntry {
    std::array<std::optional<paging::Alphabet>, image::kRowCount> alphabets;

    friend bool operator==(const RowAlphabetsEntry&, const RowAlphabetsEntry&) = default;
};

using EntryValue = std::variant<BoxEntry, ChoiceEntry, CheckEntry, RowAlphabetsEntry>;
using EntrySnapshot = std::vector<EntryValue>;

// The entry controls among a window's direct children (boxes, lists, check boxes), in
// the order they were made, but for those `leftOut`.
class WindowEntries {
public:
    explicit WindowEntries(const QWidget& window, const std::vector<const QWidget*>& leftOut = {});

    EntrySnapshot snapshot() const;
    // Sets every control as the snapshot holds it; values after the controls' are not
    // theirs. Selections set this way do not run the row rules, as they come from code.
    void restore(const EntrySnapshot& snapshot) const;
    // Any change of a control's value calls `changed`, for as long as `context` lives.
    template <typename Function>
    void onChange(const QObject* context, const Function& changed) const {
        for (QWidget* control : controls_) {
            if (auto* box = qobject_cast<QLineEdit*>(control)) {
                QObject::connect(box, &QLineEdit::textChanged, context, changed);
            } else if (auto* list = qobject_cast<QComboBox*>(control)) {
                QObject::connect(list, &QComboBox::currentIndexChanged, context, changed);
            } else if (auto* check = qobject_cast<QAbstractButton*>(control)) {
                QObject::connect(check, &QAbstractButton::toggled, context, changed);
            }
        }
    }

private:
    std::vector<QWidget*> controls_;
};

class EntryHistory {
public:
    explicit EntryHistory(EntrySnapshot initial);

    // The entries are now `now`. Typing on in the one box typed into last joins that
    // step, so that a word is undone at once rather than letter by letter.
    void record(const EntrySnapshot& now);
    // The next change is a step of its own, even in the same box (the focus moved).
    void endTyping();

    // The snapshot to show, or nothing when there is no step to go.
    std::optional<EntrySnapshot> undo();
    std::optional<EntrySnapshot> redo();

private:
    // Shows the last snapshot of `from`, keeping the one shown now in `to`.
    std::optional<EntrySnapshot> step(std::vector<EntrySnapshot>& from, std::vector<EntrySnapshot>& to);

    std::vector<EntrySnapshot> undo_;
    std::vector<EntrySnapshot> redo_;
    EntrySnapshot current_;
    std::optional<std::size_t> typingIn_;
};

}  // namespace vostrel::ui


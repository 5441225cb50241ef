// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/entry_history.h"

#include <algorithm>

namespace vostrel::ui {
namespace {

// Enough for a long session; the oldest steps go first.
constexpr std::size_t kMaxSteps = 1000;

bool isEntry(const QWidget& control) {
    if (qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QComboBox*>(&control)) return true;
    const auto* button = qobject_cast<const QAbstractButton*>(&control);
    return button != nullptr && button->isCheckable();
}

// The one box whose text alone differs between two snapshots of the same controls.
std::optional<std::size_t> onlyTextChanged(const EntrySnapshot& before, const EntrySnapshot& after) {
    std::optional<std::size_t> changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        const auto* old = std::get_if<BoxEntry>(&before[i]);
        const auto* now = std::get_if<BoxEntry>(&after[i]);
        if (changed || old == nullptr || now == nullptr || old->limit != now->limit || old->readOnly != now->readOnly) {
            return std::nullopt;
        }
        changed = i;
    }
    return changed;
}

}  // namespace

WindowEntries::WindowEntries(const QWidget& window, const std::vector<const QWidget*>& leftOut) {
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const bool left = std::find(leftOut.begin(), leftOut.end(), control) != leftOut.end();
        if (isEntry(*control) && !left) controls_.push_back(control);
    }
}

EntrySnapshot WindowEntries::snapshot() const {
    EntrySnapshot snapshot;
    snapshot.reserve(controls_.size());
    for (const QWidget* control : controls_) {
        if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
            // A masked box's text as shown, its blanks included, so that it comes back
            // exactly as it was.
            snapshot.emplace_back(BoxEntry{box->displayText(), box->maxLength(), box->isReadOnly()});
        } else if (const auto* list = qobject_cast<const QComboBox*>(control)) {
            snapshot.emplace_back(ChoiceEntry{list->currentIndex()});
        } else {
            snapshot.emplace_back(CheckEntry{qobject_cast<const QAbstractButton*>(control)->isChecked()});
        }
    }
    return snapshot;
}

void WindowEntries::restore(const EntrySnapshot& snapshot) const {
    for (std::size_t i = 0; i < controls_.size() && i < snapshot.size(); ++i) {
        QWidget* control = controls_[i];
        if (const auto* entry = std::get_if<BoxEntry>(&snapshot[i])) {
            auto* box = qobject_cast<QLineEdit*>(control);
            // The limit first: a lower limit would cut the text set before it.
            box->setMaxLength(entry->limit);
            box->setReadOnly(entry->readOnly);
            box->setText(entry->text);
        } else if (const auto* choice = std::get_if<ChoiceEntry>(&snapshot[i])) {
            qobject_cast<QComboBox*>(control)->setCurrentIndex(choice->index);
        } else {
            qobject_cast<QAbstractButton*>(control)->setChecked(std::get<CheckEntry>(snapshot[i]).checked);
        }
    }
}

EntryHistory::EntryHistory(EntrySnapshot initial) : current_(std::move(initial)) {}

void EntryHistory::record(const EntrySnapshot& now) {
    if (now == current_) return;
    const std::optional<std::size_t> typed = onlyTextChanged(current_, now);
    if (!typed || typed != typingIn_) {
        undo_.push_back(std::move(current_));
        if (undo_.size() > kMaxSteps) undo_.erase(undo_.begin());
    }
    redo_.clear();
    current_ = now;
    typingIn_ = typed;
}

void EntryHistory::endTyping() { typingIn_.reset(); }

std::optional<EntrySnapshot> EntryHistory::undo() { return step(undo_, redo_); }

std::optional<EntrySnapshot> EntryHistory::redo() { return step(redo_, undo_); }

std::optional<EntrySnapshot> EntryHistory::step(std::vector<EntrySnapshot>& from, std::vector<EntrySnapshot>& to) {
    if (from.empty()) return std::nullopt;
    to.push_back(std::move(current_));
    current_ = std::move(from.back());
    from.pop_back();
    typingIn_.reset();
    return current_;
}

}  // namespace vostrel::ui

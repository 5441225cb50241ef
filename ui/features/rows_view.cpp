// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/rows_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace vostrel::ui {
namespace {

using image::PagerItem;
using image::RowState;
using paging::PagerType;

// Shows a text read from a device or a file whole: the box's limit bounds only what
// the user types. A text longer than the box shows its start, as it is read, unless the
// user is typing in it.
void showWhole(QLineEdit& box, const QString& text) {
    if (text.size() > box.maxLength()) box.setMaxLength(static_cast<int>(text.size()));
    box.setText(text);
    if (!box.hasFocus()) box.setCursorPosition(0);
}

// The place in `text` (UTF-16) of its character number `index`, and that character's length.
std::pair<qsizetype, qsizetype> characterSpan(const QString& text, std::size_t index) {
    const auto lengthAt = [&](qsizetype at) -> qsizetype {
        const bool pair = at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate();
        return pair ? 2 : 1;
    };
    qsizetype at = 0;
    for (std::size_t i = 0; i < index && at < text.size(); ++i) at += lengthAt(at);
    return {at, at < text.size() ? lengthAt(at) : 0};
}

}  // namespace

RowsView::RowsView(const RowControlArray& rows, const SettingControls& settings)
    : rows_(rows), settings_(settings) {
    const auto tell = [this] { tellOfChanges(); };
    for (const RowControls& row : rows_) {
        connect(row.capCode, &QLineEdit::textChanged, this, tell);
        connect(row.message, &QLineEdit::textChanged, this, tell);
        connect(row.label, &QLineEdit::textChanged, this, tell);
        connect(row.tone, &QComboBox::currentIndexChanged, this, tell);
        connect(row.type, &QComboBox::currentIndexChanged, this, tell);
    }
    connect(settings_.preamble, &QLineEdit::textChanged, this, tell);
    connect(settings_.repeater, &QComboBox::currentIndexChanged, this, tell);
    connect(settings_.dataRate, &QComboBox::currentIndexChanged, this, tell);
    connect(settings_.alphabet, &QComboBox::currentIndexChanged, this, tell);
    connect(settings_.transliterate, &QCheckBox::toggled, this, tell);
}

std::optional<std::size_t> RowsView::rowOf(const QObject* control) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowControls& row = rows_[i];
        if (control == row.capCode || control == row.tone || control == row.type || control == row.message ||
            control == row.label) {
            return i;
        }
    }
    return std::nullopt;
}

image::ProgrammerEntries RowsView::entries() const {
    image::ProgrammerEntries entries;
    // The blanks of the masked box stay in the text, as shown.
    entries.preambleText = settings_.preamble->displayText().toStdString();
    entries.repeatIndex = settings_.repeater->currentIndex();
    entries.dataRateIndex = settings_.dataRate->currentIndex();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowControls& row = rows_[i];
        const image::RowChoice choice = rowState(i).choice;
        // Every character as typed: the builder refuses what the pager cannot show, and
        // Save keeps it.
        entries.rows[i] = {row.capCode->text().toStdString(), choice.tone, choice.type,
                           row.message->text().toStdString()};
        entries.labels[i] = row.label->text().toStdString();
    }
    entries.text = textSettings();
    entries.site = site_;
    return entries;
}

image::PagerTextSettings RowsView::textSettings() const {
    image::PagerTextSettings text;
    text.alphabet = static_cast<paging::Alphabet>(std::max(settings_.alphabet->currentIndex(), 0));
    text.rowAlphabets = rowAlphabets_;
    text.transliterate = settings_.transliterate->isChecked();
    return text;
}

void RowsView::setRowAlphabets(const RowAlphabets& alphabets) {
    change([&] { rowAlphabets_ = alphabets; });
}

void RowsView::show(const image::ProgrammerEntries& entries) {
    change([&] {
        settings_.preamble->setText(QString::fromStdString(entries.preambleText));
        settings_.repeater->setCurrentIndex(entries.repeatIndex);
        settings_.dataRate->setCurrentIndex(entries.dataRateIndex);
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            showRow(rows_[i], entries.rows[i]);
            showWhole(*rows_[i].label, QString::fromStdString(entries.labels[i]));
        }
        rowAlphabets_ = entries.text.rowAlphabets;
        settings_.alphabet->setCurrentIndex(static_cast<int>(entries.text.alphabet));
        settings_.transliterate->setChecked(entries.text.transliterate);
        site_ = entries.site;
    });
}

void RowsView::setSite(std::string site) {
    change([&] { site_ = std::move(site); });
}

image::ProgrammerEntries RowsView::withSettings(image::ProgrammerEntries read) const {
    const image::ProgrammerEntries shown = entries();
    read.preambleText = shown.preambleText;
    read.repeatIndex = shown.repeatIndex;
    read.dataRateIndex = shown.dataRateIndex;
    return read;
}

void RowsView::showRow(const RowControls& row, const PagerItem& item) {
    showWhole(*row.capCode, QString::fromStdString(item.capcode));
    row.tone->setCurrentIndex(static_cast<int>(item.tone));
    row.type->setCurrentIndex(static_cast<int>(item.type));
    showWhole(*row.message, QString::fromStdString(item.message));
}

RowState RowsView::rowState(std::size_t row) const {
    const RowControls& controls = rows_[row];
    const PagerType type = controls.type->currentIndex() == 1 ? PagerType::Alphanumeric : PagerType::Numeric;
    const int limit = controls.message->isReadOnly() ? 0 : controls.message->maxLength();
    return {{static_cast<unsigned>(controls.tone->currentIndex()), type}, limit};
}

void RowsView::setRowState(std::size_t row, const RowState& state) {
    const RowControls& controls = rows_[row];
    controls.tone->setCurrentIndex(static_cast<int>(state.choice.tone));
    controls.type->setCurrentIndex(static_cast<int>(state.choice.type));
    // A lower limit cuts a longer text to its first characters, to nothing at 0.
    controls.message->setMaxLength(state.messageLimit);
    controls.message->setReadOnly(state.messageLimit == 0);
}

void RowsView::applyTypeRule() {
    change([this] {
        for (std::size_t i = 0; i < rows_.size(); ++i) setRowState(i, image::applyTypeRule(rowState(i).choice));
    });
}

void RowsView::applyToneRule() {
    change([this] {
        for (std::size_t i = 0; i < rows_.size(); ++i) setRowState(i, image::applyToneRule(rowState(i).choice));
    });
}

void RowsView::selectCharacter(const image::CharacterPosition& position) {
    if (position.row >= rows_.size()) return;
    QLineEdit& box = *rows_[position.row].message;
    const auto [at, length] = characterSpan(box.text(), position.index);
    box.setFocus(Qt::OtherFocusReason);
    box.setSelection(static_cast<int>(at), static_cast<int>(length));
}

void RowsView::change(const std::function<void()>& change) {
    // Nested: the outermost change tells.
    const bool outermost = !changing_;
    if (outermost) emit aboutToChange();
    changing_ = true;
    change();
    if (!outermost) return;
    changing_ = false;
    emit changed();
}

void RowsView::tellOfChanges() {
    if (!changing_) emit changed();
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's entries as data: its sixteen rows and its settings, read as
// ProgrammerEntries and shown from them. Whatever takes the window's contents out
// (Write, Save, an export) or puts contents in (Read, Open, an import) goes through
// here, and `changed` tells of every change, once for a whole command.

#include <QObject>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "image/image_builder.h"
#include "image/row_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace vostrel::ui {

struct RowControls {
    QLabel* number;
    QLineEdit* capCode;
    QComboBox* tone;
    QComboBox* type;
    QLineEdit* message;
    QLineEdit* label;  // what the row is for; never sent
};
using RowControlArray = std::array<RowControls, image::kRowCount>;

struct SettingControls {
    QLineEdit* preamble;
    QComboBox* repeater;
    QComboBox* dataRate;
    QComboBox* alphabet;
    QCheckBox* transliterate;
};

class RowsView : public QObject {
    Q_OBJECT

public:
    RowsView(const RowControlArray& rows, const SettingControls& settings);

    const RowControlArray& rows() const { return rows_; }
    // The row (0-based) that `control` belongs to, if any.
    std::optional<std::size_t> rowOf(const QObject* control) const;

    image::ProgrammerEntries entries() const;
    image::PagerTextSettings textSettings() const;
    // The rows' own alphabets, which no control shows.
    using RowAlphabets = decltype(image::PagerTextSettings::rowAlphabets);
    void setRowAlphabets(const RowAlphabets& alphabets);
    // Every text as it stands, even one longer than its box takes from the keyboard;
    // the row rules do not run.
    void show(const image::ProgrammerEntries& entries);
    // `read` with the window's settings in place of its own: for what an erased
    // transmitter or image gives, which holds no settings.
    image::ProgrammerEntries withSettings(image::ProgrammerEntries read) const;
    // The site's name, which no box shows: it comes from a configuration, goes into the
    // next one and onto the site sheet.
    void setSite(std::string site);

    // A row's choices and its message box's limit as the window shows them.
    image::RowState rowState(std::size_t row) const;
    void setRowState(std::size_t row, const image::RowState& state);
    // The user changed a type or a tone: the rule runs over all sixteen rows.
    void applyTypeRule();
    void applyToneRule();

    // Shows the user a character of a message: its box focused, the character selected.
    void selectCharacter(const image::CharacterPosition& position);

    // Runs `change`, which may touch many controls, and tells of it once.
    void change(const std::function<void()>& change);

signals:
    // A change by code (Read, Open, a paste, the row rules) begins: what it changes is
    // no longer typing.
    void aboutToChange();
    // Any change of a row or a setting, the user's or the code's.
    void changed();

private:
    void tellOfChanges();
    void showRow(const RowControls& row, const image::PagerItem& item);

    RowControlArray rows_;
    SettingControls settings_;
    // Alphabets of single rows, from a configuration file; the Alphabet choice holds
    // every other row's.
    std::array<std::optional<paging::Alphabet>, image::kRowCount> rowAlphabets_;
    std::string site_;
    bool changing_ = false;
};

}  // namespace vostrel::ui

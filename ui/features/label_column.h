// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Label column beside the rows: what each row is for ("Küche", "Vollalarm"), kept in
// configuration files and site lists, never in the transmitter. It is made in code
// between the message boxes and the settings, which move right to make room, with the
// site list's buttons beneath it. Its boxes take their place in the Tab order after
// their row's message.

#include <QString>
#include <array>

#include "image/eeprom_image.h"
#include "ui/workings/language_texts.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vostrel::ui {

class LabelColumn {
public:
    // What a label box shows whole; a longer label scrolls in it.
    static constexpr int kShownCharacters = 20;

    // Call before the window's layout is fitted: the column is part of its design.
    explicit LabelColumn(QWidget& window);

    QLineEdit* box(std::size_t row) const { return boxes_[row]; }
    QLabel& heading() const { return *heading_; }
    QPushButton& importButton() const { return *import_; }
    QPushButton& exportButton() const { return *export_; }
    QPushButton& labelsButton() const { return *labels_; }

    void applyTexts(const LanguageTexts& texts);

private:
    std::array<QLineEdit*, image::kRowCount> boxes_{};
    QLabel* heading_;
    QPushButton* import_;
    QPushButton* export_;
    QPushButton* labels_;
};

}  // namespace vostrel::ui

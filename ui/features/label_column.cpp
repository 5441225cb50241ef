// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/label_column.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "config/row_fields.h"

namespace vostrel::ui {
namespace {

using texts::keys;

// The design's places, in pixels at 96 dots per inch, as Unit1.ui gives the others:
// the column starts where the settings did, and they move right by its width.
constexpr int kLeft = 544;
constexpr int kWidth = 140;
// A multiple of 4, so that the moved controls keep whole pixels at 125 and 150 %: a
// text that fits them there by a pixel still does.
constexpr int kShift = kWidth + 8;
static_assert(kShift % 4 == 0);
constexpr int kFirstRowTop = 32;
constexpr int kRowHeight = 24;
constexpr int kButtonsTop = 418;
constexpr int kButtonHeight = 20;

void makeRoom(QWidget& window) {
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->x() >= kLeft) child->move(child->x() + kShift, child->y());
    }
    window.resize(window.width() + kShift, window.height());
}

QPushButton* button(QWidget& window, const char* name, int row) {
    auto* made = new QPushButton(&window);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(kLeft, kButtonsTop + row * (kButtonHeight + 1), kWidth, kButtonHeight);
    return made;
}

}  // namespace

LabelColumn::LabelColumn(QWidget& window) {
    makeRoom(window);
    heading_ = new QLabel(&window);
    heading_->setObjectName(QStringLiteral("LabelHeading"));
    heading_->setTextFormat(Qt::PlainText);
    heading_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    heading_->setGeometry(kLeft, 16, kWidth, 16);
    for (std::size_t row = 0; row < boxes_.size(); ++row) {
        auto* box = new QLineEdit(&window);
        box->setObjectName(QStringLiteral("RowLabel%1").arg(row + 1, 2, 10, QLatin1Char('0')));
        box->setGeometry(kLeft, kFirstRowTop + static_cast<int>(row) * kRowHeight, kWidth, kRowHeight);
        box->setMaxLength(static_cast<int>(config::kMaxLabelCharacters));
        // A label longer than its box shows its start once it is typed, as one read from
        // a file does (RowsView), not the end the cursor left it at.
        QObject::connect(box, &QLineEdit::editingFinished, box, [box] { box->setCursorPosition(0); });
        boxes_[row] = box;
    }
    import_ = button(window, "BtnImportCsv", 0);
    export_ = button(window, "BtnExportCsv", 1);
    labels_ = button(window, "BtnLabelsFromList", 2);
}

void LabelColumn::applyTexts(const LanguageTexts& texts) {
    heading_->setText(texts.text(keys::kLabelHeading));
    import_->setText(texts.text(keys::kImportCsvButton));
    export_->setText(texts.text(keys::kExportCsvButton));
    labels_->setText(texts.text(keys::kLabelsFromListButton));
}

}  // namespace vostrel::ui

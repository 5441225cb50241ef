// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/controls/plain_text.h"

#include <QLabel>
#include <QMessageBox>

namespace vostrel::ui {

QString literalWindowTitle(const QString& title) {
    // The window systems show the program's name in place of an empty title; a blank
    // shows as the empty title it stands for.
    if (title.isEmpty()) return QStringLiteral(" ");
    // "[*]" marks where a title shows its window's modified state; doubled, it stands
    // for itself.
    const QString placeholder = QStringLiteral("[*]");
    return QString(title).replace(placeholder, placeholder + placeholder);
}

void showLabelsAsPlainText(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
}

void setLiteralTexts(QMessageBox& box, const QString& title, const QString& text) {
    box.setWindowTitle(literalWindowTitle(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

QString plainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped());
}

QString oneLineToolTip(const QStringList& lines) {
    QStringList escaped;
    for (const QString& line : lines) escaped << line.toHtmlEscaped();
    return QStringLiteral("<p style=\"white-space:nowrap\">%1</p>").arg(escaped.join(QStringLiteral("<br>")));
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Texts from the language file or from a row are shown exactly as written. Qt would
// otherwise draw a text that looks like markup as rich text (a message box would even
// load the images it names) and drop "[*]" from window titles.

#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace vostrel::ui {

// `title` in the form that Qt shows literally as a window title, an empty one too.
QString literalWindowTitle(const QString& title);

// Makes every label inside `window` show its text as plain text.
void showLabelsAsPlainText(QWidget& window);

// Gives `box` its title and text, both shown literally.
void setLiteralTexts(QMessageBox& box, const QString& title, const QString& text);

// A tooltip that shows `text` as it stands, never as markup; none for an empty text.
QString plainToolTip(const QString& text);
// A tooltip of lines each kept on one line: a rich-text tooltip is wrapped narrowly,
// which tears a figure from its unit.
QString oneLineToolTip(const QStringList& lines);

}  // namespace vostrel::ui

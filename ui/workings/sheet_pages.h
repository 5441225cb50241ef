// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The site sheet's HTML page (sheet/sheet_html.h) on paper: laid out by Qt's
// rich-text engine on A4 portrait, for a PDF file or a printer.

#include <QByteArray>
#include <QString>
#include <QTextDocument>

class QPagedPaintDevice;

namespace vostrel::ui {

// The margins the sheet's own print styles give a browser (@page).
inline constexpr double kSheetMarginMillimetres = 15;

class SheetPages {
public:
    explicit SheetPages(const QString& html);

    // The page's title, as its HTML names it.
    QString title() const;
    // Sets `device` to A4 portrait and paints the sheet on it; the number of pages.
    int paint(QPagedPaintDevice& device);
    // The sheet as a PDF document.
    QByteArray pdf();

private:
    QString html_;
};

}  // namespace vostrel::ui

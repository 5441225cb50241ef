// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/sheet_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include "sheet/sheet_html.h"
#include "version.h"

namespace vostrel::ui {
namespace {

// The page's lengths in px are CSS pixels, 96 to the inch, as a browser takes them.
// Laid out at that density and then scaled to the device (a printer's 600 dots per
// inch, the PDF writer's 1200), the page is the same on every device; laid out at the
// device's own, its paddings would shrink to nothing.
constexpr double kCssPixelsPerInch = 96;
constexpr int kCssDotsPerMetre = 3780;  // 96 per inch

}  // namespace

SheetPages::SheetPages(const QString& html) : html_(html) {}

QString SheetPages::title() const {
    QTextDocument document;
    document.setHtml(html_);
    return document.metaInformation(QTextDocument::DocumentTitle);
}

int SheetPages::paint(QPagedPaintDevice& device) {
    const QMarginsF margins(kSheetMarginMillimetres, kSheetMarginMillimetres, kSheetMarginMillimetres,
                            kSheetMarginMillimetres);
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margins, QPageLayout::Millimeter));
    QImage cssPixels(1, 1, QImage::Format_Mono);
    cssPixels.setDotsPerMeterX(kCssDotsPerMetre);
    cssPixels.setDotsPerMeterY(kCssDotsPerMetre);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&cssPixels);
    document.setHtml(html_);
    document.setPageSize(device.pageLayout().paintRect(QPageLayout::Inch).size() * kCssPixelsPerInch);
    document.print(&device);
    return document.pageCount();
}

QByteArray SheetPages::pdf() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title());
    writer.setCreator(QString::fromUtf8(sheet::kToolName.data(), static_cast<qsizetype>(sheet::kToolName.size())) +
                      QLatin1Char(' ') + QLatin1String(kVersion));
    paint(writer);
    return bytes;
}

}  // namespace vostrel::ui

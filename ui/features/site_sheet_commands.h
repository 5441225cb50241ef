// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The site sheet button: its menu exports the sheet of what a Write would store as a
// PDF file (Export PDF...) and, where Qt has its print support (Linux), prints it
// (Print...). Both ask for the site's name first, which the window keeps for Save.
// The page is sheet/sheet_html.h's, on paper as ui/workings/sheet_pages.h lays it out.

#include <QObject>
#include <QString>
#include <optional>

#include "sheet/site_sheet.h"
#include "ui/workings/message_presenter.h"
#include "ui/features/rows_view.h"

class QPagedPaintDevice;
class QPushButton;
class QWidget;

namespace vostrel::ui {

class SiteSheetCommands : public QObject {
    Q_OBJECT

public:
    SiteSheetCommands(QWidget& window, QPushButton& button, RowsView& rows, const MessageReporter& reporter);

    // Without the dialogs: the sheet with the window's site name, as a PDF file at `path`.
    void exportPdf(const QString& path);
    // Without the dialogs: the sheet painted on `device`; the number of pages.
    std::optional<int> paint(QPagedPaintDevice& device);

private:
    void askAndExportPdf();
#if VOSTREL_PRINT_SUPPORT
    void askAndPrint();
#endif
    // The sheet of what a Write of the window's rows would store; a refusal is
    // reported, with its character shown, and gives nothing.
    std::optional<sheet::SiteSheet> storedSheet();
    // False when the user cancels.
    bool askSiteName();
    // The file is written as every file the tool writes; a failure is reported.
    void writePdf(sheet::SiteSheet sheet, const QString& path);
    QString choosePdfFile();
    QString html(sheet::SiteSheet sheet) const;

    QWidget& window_;
    RowsView& rows_;
    const MessageReporter& reporter_;
};

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The window's half of sheet_pdf_test.py, which reads what it writes with poppler's
// pdfinfo and pdftotext: the window, in the example translation's German, opens the
// configuration VOSTREL_SHEET_CONFIG names and exports its site sheet to
// VOSTREL_SHEET_PDF, and where it can print, prints it to VOSTREL_SHEET_PRINTED as a
// PDF printer would. And the sheet at its fullest still takes one A4 page. Both need
// the system's fonts, which Qt's offscreen platform does not find under wine: there
// the script runs this program on the windows platform, on an X display. The record of
// Writes VOSTREL_SHEET_WRITES names is the one beside the backups meanwhile, so that the
// sheet lists where the site went.

#include <gtest/gtest.h>

#include <QBuffer>
#include <filesystem>
#include <QPdfWriter>
#if VOSTREL_PRINT_SUPPORT
#include <QPrinter>
#endif

#include "files/backups.h"
#include "files/utf8_path.h"
#include "files/write_history.h"
#include "sheet/sheet_html.h"
#include "tests/ui/window_driver.h"
#include "texts/language_file.h"
#include "ui/workings/sheet_pages.h"

namespace vostrel::test {
namespace {

QString environmentPath(const char* name) {
    const QString path = qEnvironmentVariable(name);
    if (path.isEmpty()) ADD_FAILURE() << name << " names no file (run by sheet_pdf_test.py)";
    return path;
}

TEST(SiteSheetPdf, TheWindowExportsAndPrintsTheSiteItOpened) {
    const LanguageFileForTest german(exampleTranslation());
    const auto backups = std::get<std::filesystem::path>(files::backupFolder());
    std::filesystem::create_directories(backups);
    std::filesystem::copy_file(files::pathFromUtf8(environmentPath("VOSTREL_SHEET_WRITES").toStdString()),
                               backups / files::kWriteHistoryName, std::filesystem::copy_options::overwrite_existing);
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    driver.window().openFile(environmentPath("VOSTREL_SHEET_CONFIG"));
    driver.window().exportSheet(environmentPath("VOSTREL_SHEET_PDF"));
#if VOSTREL_PRINT_SUPPORT
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(environmentPath("VOSTREL_SHEET_PRINTED"));
    driver.window().printSheet(printer);
#endif
    EXPECT_EQ(driver.messages(), std::vector<ShownMessage>());
}

// Sixteen rows of forty of the widest characters, each with a long label, and six
// transmitters with the longest names, in the example translation's German, whose words
// are longer than the English ones.
TEST(SheetPages, SixteenRowsOfFortyCharactersFitOnePage) {
    sheet::SiteSheet sheet;
    sheet.site = std::string(80, 'W');
    sheet.date = sheet::SheetDate{2026, 3, 14};
    sheet.settings = {0, 1023, 3};
    sheet.fingerprint = std::string(40, 'F');
    sheet.totalSeconds = 255.875;
    for (unsigned row = 0; row < 16; ++row) {
        const bool wide = row % 2 == 0;
        sheet.rows.push_back({row, "Küche, Tisch " + std::to_string(row) + " und Saal", 2097151 - row, 3,
                              paging::PagerType::Alphanumeric, paging::Alphabet::SE,
                              wide ? std::string(40, 'W') : "Grüße aus Köln! Die Küche ist geöffnet.", 15.992});
    }
    // As many transmitters as it lists, with the longest names and Windows' long ports.
    for (unsigned n = 0; n < sheet::kSheetTransmittersShown; ++n) {
        sheet.transmitters.push_back({std::string(40, 'W'), "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(1)#USB(" +
                                      std::to_string(n) + ")", "2026-03-14", "1A2B3C4D"});
    }
    const QByteArray german = exampleTranslation();
    const std::string html = sheet::sheetHtml(sheet, [&](texts::TextKey key) {
        return texts::lookUpText(std::string_view(german.constData(), static_cast<std::size_t>(german.size())), key.text());
    });
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    EXPECT_EQ(ui::SheetPages(QString::fromStdString(html)).paint(writer), 1);
    EXPECT_EQ(writer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(writer.pageLayout().orientation(), QPageLayout::Portrait);
}

}  // namespace
}  // namespace vostrel::test

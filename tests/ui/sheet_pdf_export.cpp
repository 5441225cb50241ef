// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The window's half of sheet_pdf_test.py, which reads what it writes with poppler's
// pdfinfo and pdftotext: the window, in the example translation's German, opens the
// configuration VOSTREL_SHEET_CONFIG names and exports its site sheet to
// VOSTREL_SHEET_PDF, and where it can print, prints it to VOSTREL_SHEET_PRINTED as a
// PDF printer would.

#include <gtest/gtest.h>

#if VOSTREL_PRINT_SUPPORT
#include <QPrinter>
#endif

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

QString environmentPath(const char* name) {
    const QString path = qEnvironmentVariable(name);
    if (path.isEmpty()) ADD_FAILURE() << name << " names no file (run by sheet_pdf_test.py)";
    return path;
}

TEST(SiteSheetPdf, TheWindowExportsAndPrintsTheSiteItOpened) {
    const LanguageFileForTest german(exampleTranslation());
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

}  // namespace
}  // namespace vostrel::test

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/site_sheet_commands.h"

#include <QInputDialog>
#include <QMenu>
#include <QPushButton>
#include <algorithm>
#include <ctime>
#include <string>
#if VOSTREL_PRINT_SUPPORT
#include <QPrintDialog>
#include <QPrinter>
#endif

#include "config/config_file.h"
#include "files/whole_file.h"
#include "sheet/sheet_html.h"
#include "ui/dialogs/file_dialog.h"
#include "ui/workings/local_path.h"
#include "ui/controls/mnemonics.h"
#include "ui/workings/sheet_pages.h"

namespace vostrel::ui {
namespace {

using texts::keys;

// The name as a configuration takes it, so that Save writes a file that reads back:
// blanks run together, no control character (a pasted line break or tab), at most
// kMaxSiteCharacters characters.
std::string siteName(const QString& typed) {
    std::u32string name;
    for (const char32_t character : typed.simplified().toUcs4()) {
        if (QChar::category(character) != QChar::Other_Control) name += character;
    }
    name.resize(std::min(name.size(), config::kMaxSiteCharacters));
    return QString::fromUcs4(name.data(), static_cast<qsizetype>(name.size())).trimmed().toStdString();
}

}  // namespace

SiteSheetCommands::SiteSheetCommands(QWidget& window, QPushButton& button, RowsView& rows,
                                     const MessageReporter& reporter)
    : window_(window), rows_(rows), reporter_(reporter) {
    auto* menu = new QMenu(&button);
    menu->addAction(reporter_.texts().text(keys::kExportPdf), this, &SiteSheetCommands::askAndExportPdf);
#if VOSTREL_PRINT_SUPPORT
    menu->addAction(reporter_.texts().text(keys::kPrint), this, &SiteSheetCommands::askAndPrint);
#endif
    button.setMenu(menu);
}

void SiteSheetCommands::exportPdf(const QString& path) {
    if (auto sheet = storedSheet()) writePdf(std::move(*sheet), path);
}

std::optional<int> SiteSheetCommands::paint(QPagedPaintDevice& device) {
    auto sheet = storedSheet();
    if (!sheet) return std::nullopt;
    return SheetPages(html(std::move(*sheet))).paint(device);
}

void SiteSheetCommands::askAndExportPdf() {
    auto sheet = storedSheet();
    if (!sheet || !askSiteName()) return;
    if (const QString path = choosePdfFile(); !path.isEmpty()) writePdf(std::move(*sheet), path);
}

#if VOSTREL_PRINT_SUPPORT
void SiteSheetCommands::askAndPrint() {
    auto sheet = storedSheet();
    if (!sheet || !askSiteName()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, &window_);
    if (dialog.exec() == QDialog::Accepted) SheetPages(html(std::move(*sheet))).paint(printer);
}
#endif

void SiteSheetCommands::writePdf(sheet::SiteSheet sheet, const QString& path) {
    const QByteArray pdf = SheetPages(html(std::move(sheet))).pdf();
    if (auto error = files::writeWholeFile(localPath(path), std::string_view(pdf.constData(), pdf.size()))) {
        reporter_.report({keys::kCannotSaveFile, texts::Title::Error, {}}, QString::fromStdString(error->what));
    }
}

std::optional<sheet::SiteSheet> SiteSheetCommands::storedSheet() {
    const image::ProgrammerEntries entries = rows_.entries();
    const image::BuildOutcome built = image::buildImage(entries);
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&built)) {
        reporter_.report(refusal->message);
        if (refusal->at) rows_.selectCharacter(*refusal->at);
        return std::nullopt;
    }
    const auto& image = std::get<image::BuiltImage>(built);
    sheet::SiteSheet sheet = sheet::siteSheet(image.image, entries.text, entries.labels);
    // The rows left out are on it, marked: it must not pass for a record of all.
    sheet::addRowsNotStored(sheet, entries);
    sheet.date = sheet::sheetDate(std::time(nullptr));
    return sheet;
}

bool SiteSheetCommands::askSiteName() {
    const LanguageTexts& texts = reporter_.texts();
    QInputDialog dialog(&window_);
    dialog.setWindowTitle(texts.text(keys::kSheetTitle));
    dialog.setLabelText(texts.text(keys::kSiteNameQuestion));
    dialog.setTextValue(QString::fromStdString(rows_.entries().site));
    if (dialog.exec() != QDialog::Accepted) return false;
    rows_.setSite(siteName(dialog.textValue()));
    return true;
}

QString SiteSheetCommands::choosePdfFile() {
    const LanguageTexts& texts = reporter_.texts();
    return chooseFileName(window_, reporter_,
                          {withoutMnemonic(texts.text(keys::kExportPdf)),
                           {texts.text(keys::kPdfFiles), texts.text(keys::kAllFiles)}, true, QStringLiteral("pdf")});
}

QString SiteSheetCommands::html(sheet::SiteSheet sheet) const {
    sheet.site = rows_.entries().site;
    sheet.transmitters = sheet::writtenTo(sheet.site, sheet.fingerprint);
    const LanguageTexts& texts = reporter_.texts();
    return QString::fromStdString(
        sheet::sheetHtml(sheet, [&texts](texts::TextKey key) { return texts.text(key).toStdString(); }));
}

}  // namespace vostrel::ui

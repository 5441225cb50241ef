// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/site_list_commands.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <array>

#include "ui/dialogs/file_dialog.h"
#include "ui/workings/local_path.h"
#include "ui/controls/mnemonics.h"
#include "ui/workings/window_files.h"

namespace vostrel::ui {
namespace {

using texts::keys;

// The heading of each site-list column, in the order of config::SiteColumn.
constexpr std::array kHeadingKeys = {keys::kRowHeading,  keys::kLabelHeading,   keys::kCapCodeHeading,
                                     keys::kToneHeading, keys::kTypeHeading,    keys::kMessageHeading,
                                     keys::kAlphabetHeading};
static_assert(kHeadingKeys.size() == config::kSiteColumnCount);

}  // namespace

SiteListCommands::SiteListCommands(QWidget& window, const LabelColumn& column, RowsView& rows,
                                   const MessageReporter& reporter)
    : window_(window), column_(column), rows_(rows), reporter_(reporter) {
    connect(&column.importButton(), &QPushButton::clicked, this, [this] {
        const QString path = chooseFile(column_.importButton().text(), keys::kCsvFiles, false);
        if (!path.isEmpty()) importList(path);
    });
    connect(&column.exportButton(), &QPushButton::clicked, this, [this] {
        const QString path = chooseFile(column_.exportButton().text(), keys::kCsvFiles, true);
        if (!path.isEmpty()) exportList(path);
    });
    connect(&column.labelsButton(), &QPushButton::clicked, this, [this] {
        const QString path = chooseFile(column_.labelsButton().text(), keys::kLabelListFiles, false);
        if (!path.isEmpty()) labelsFromList(path);
    });
}

config::SiteHeadings SiteListCommands::headings() const {
    config::SiteHeadings headings;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const QString text = reporter_.texts().text(kHeadingKeys[i]).trimmed();
        headings[i] = text.isEmpty() ? std::string(kHeadingKeys[i].text()) : text.toStdString();
    }
    return headings;
}

void SiteListCommands::importList(const QString& path) {
    // The window's own names read back what its exports wrote, in any language.
    config::SiteListReading reading;
    const config::SiteHeadings shown = headings();
    for (std::size_t i = 0; i < shown.size(); ++i) reading.names.headings[i] = {shown[i]};
    const QComboBox& type = *rows_.rows().front().type;
    reading.names.types = {{{type.itemText(0).toStdString()}, {type.itemText(1).toStdString()}}};
    const image::ProgrammerEntries entries = rows_.entries();
    reading.alphabet = entries.text.alphabet;
    reading.transliterate = entries.text.transliterate;
    const auto imported = importSiteListFile(localPath(path), entries, reading, reporter_.texts());
    if (const auto* problem = std::get_if<FileProblem>(&imported)) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return;
    }
    const auto& list = std::get<config::EntriesRead>(imported);
    rows_.show(list.entries);
    for (const texts::Message& note : list.notes) reporter_.report(note);
    if (list.unusedColumns.empty()) return;
    const LanguageTexts& texts = reporter_.texts();
    QStringList notes;
    for (const config::UnusedColumn& column : list.unusedColumns) notes << texts.messageText(config::unusedColumnNote(column));
    notes << texts.messageText(config::knownHeadingsNote(shown));
    reporter_.report({keys::kColumnsNotUsed, texts::Title::Warn, {}}, notes.join(QLatin1Char('\n')));
}

void SiteListCommands::exportList(const QString& path) {
    if (const auto problem = exportSiteListFile(localPath(path), rows_.entries(), headings())) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
    }
}

void SiteListCommands::labelsFromList(const QString& path) {
    const auto labelled = labelsFromListFile(localPath(path), rows_.entries(), reporter_.texts());
    if (const auto* problem = std::get_if<FileProblem>(&labelled)) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return;
    }
    const auto& result = std::get<config::EntriesRead>(labelled);
    rows_.show(result.entries);
    for (const texts::Message& note : result.notes) reporter_.report(note);
    reporter_.report({keys::kLabelsFromList, texts::Title::Success, {static_cast<int>(result.labelledRows.size())}});
}

QString SiteListCommands::chooseFile(const QString& title, texts::TextKey filter, bool toSave) {
    const LanguageTexts& texts = reporter_.texts();
    return chooseFileName(window_, reporter_,
                          {withoutMnemonic(title), {texts.text(filter), texts.text(keys::kAllFiles)}, toSave,
                           QStringLiteral("csv")});
}

}  // namespace vostrel::ui

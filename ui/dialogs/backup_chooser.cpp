// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/dialogs/backup_chooser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "files/utf8_path.h"
#include "image/fingerprint.h"
#include "image/image_reader.h"
#include "ui/controls/mnemonics.h"
#include "ui/controls/plain_text.h"

namespace vostrel::ui {
namespace {

using texts::keys;

enum Column { kTaken, kTransmitter, kRows, kFingerprint, kColumns };

QString utf8(const std::string& text) { return QString::fromStdString(text); }

QString transmitterOf(const files::BackupFile& backup, const LanguageTexts& texts) {
    if (backup.port.empty()) return utf8(backup.called);
    if (backup.name.empty()) return texts.messageText({keys::kTransmitterPort, texts::Title::Warn, {texts::Text{backup.port}}});
    return texts.messageText({keys::kNamedTransmitter, texts::Title::Warn, {texts::Text{backup.name}, texts::Text{backup.port}}});
}

QString rowsOf(const image::EepromImage& contents, const LanguageTexts& texts) {
    const image::ImageContents read = image::decodeImage(contents);
    if (read.erased) return texts.text(keys::kTransmitterErased);
    const auto rows = std::ranges::count_if(read.rows, [](const image::PagerItem& row) { return row != image::PagerItem{}; });
    QString text = QString::number(rows);
    if (read.readErrorRow) text += QStringLiteral(" (") + texts.text(keys::kEepromReadError) + QLatin1Char(')');
    return text;
}

// A line of the list, which keeps the place of its backup among them all: the times of
// two backups may be the wrong way round (a clock set wrong), their places never are.
class BackupLine final : public QTreeWidgetItem {
public:
    explicit BackupLine(std::size_t index) : index_(index) {}
    std::size_t index() const { return index_; }

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : kTaken;
        // Newer backups come earlier in the list of them all.
        if (column == kTaken) return index_ > static_cast<const BackupLine&>(other).index_;
        return QTreeWidgetItem::operator<(other);
    }

private:
    std::size_t index_;
};

BackupLine* lineOf(const files::BackupFile& backup, std::size_t index, const LanguageTexts& texts) {
    auto* line = new BackupLine(index);
    line->setText(kTaken, utf8(backup.time));
    line->setText(kTransmitter, transmitterOf(backup, texts));
    line->setText(kRows, backup.contents ? rowsOf(*backup.contents, texts) : texts.text(keys::kBackupNotImage));
    if (backup.contents) {
        line->setText(kFingerprint, utf8(image::fingerprintText(image::contentsFingerprint(*backup.contents))));
    }
    return line;
}

}  // namespace

BackupChooser::BackupChooser(QWidget& window, const MessageReporter& reporter) : window_(window), reporter_(reporter) {}

std::optional<files::BackupFile> BackupChooser::choose() const {
    const auto folder = files::backupFolder();
    if (const auto* error = std::get_if<files::FileError>(&folder)) {
        reporter_.report({keys::kNoBackups, texts::Title::Warn, {texts::Text{"-"}}}, utf8(error->what));
        return std::nullopt;
    }
    const std::vector<files::BackupFile> backups = files::listBackups(std::get<std::filesystem::path>(folder));
    if (backups.empty()) {
        reporter_.report({keys::kNoBackups, texts::Title::Warn,
                          {texts::Text{files::utf8Name(std::get<std::filesystem::path>(folder))}}});
        return std::nullopt;
    }
    return ask(backups);
}

std::optional<files::BackupFile> BackupChooser::ask(const std::vector<files::BackupFile>& backups) const {
    const LanguageTexts& texts = reporter_.texts();
    QDialog dialog(&window_);
    dialog.setWindowTitle(literalWindowTitle(texts.text(keys::kBackupsTitle)));
    auto* question = new QLabel(texts.text(keys::kBackupsQuestion), &dialog);
    auto* list = new QTreeWidget(&dialog);
    // The question names the list for a screen reader, and its Alt letter leads to it.
    question->setBuddy(list);
    list->setAccessibleName(withoutMnemonic(question->text()));
    list->setRootIsDecorated(false);
    list->setColumnCount(kColumns);
    list->setHeaderLabels({texts.text(keys::kBackupTaken), texts.text(keys::kChooseTransmitterTitle),
                           texts.text(keys::kBackupRows), texts.text(keys::kSheetFingerprint)});
    for (std::size_t index = 0; index < backups.size(); ++index) {
        BackupLine* line = lineOf(backups[index], index, texts);
        line->setToolTip(kTaken, plainToolTip(utf8(files::utf8Name(backups[index].file))));
        list->addTopLevelItem(line);
    }
    list->setSortingEnabled(true);
    list->sortByColumn(kTaken, Qt::DescendingOrder);
    for (int column = 0; column < kColumns; ++column) list->resizeColumnToContents(column);
    list->setCurrentItem(list->topLevelItem(0));
    list->setMinimumWidth(list->header()->length() + 2 * list->frameWidth() + 24);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* restore = buttons->addButton(texts.text(keys::kRestoreButton), QDialogButtonBox::AcceptRole);
    buttons->addButton(texts.text(keys::kCancel), QDialogButtonBox::RejectRole);
    restore->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(question);
    layout->addWidget(list);
    layout->addWidget(buttons);
    showLabelsAsPlainText(dialog);
    list->setFocus();
    if (dialog.exec() != QDialog::Accepted || list->currentItem() == nullptr) return std::nullopt;
    return backups[static_cast<const BackupLine*>(list->currentItem())->index()];
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/unsaved_work.h"

#include <QFileInfo>
#include <QWidget>

#include "config/config_file.h"
#include "ui/controls/plain_text.h"

namespace vostrel::ui {
namespace {

using texts::keys;

// Where Qt shows the window's changed mark ('*'), or nothing.
const QString kChangedMark = QStringLiteral("[*]");
const QString kTitleSeparator = QStringLiteral(" \u2013 ");

std::string savedForm(const RowsView& rows) { return config::writeConfig(rows.entries()); }

}  // namespace

UnsavedWork::UnsavedWork(QWidget& window, RowsView& rows, OpenAndSave& files, const MessageReporter& reporter)
    : window_(window),
      rows_(rows),
      files_(files),
      reporter_(reporter),
      programTitle_(window.windowTitle()),
      saved_(savedForm(rows)) {
    connect(&rows_, &RowsView::changed, this, &UnsavedWork::markChanges);
    connect(&files_, &OpenAndSave::windowMatchesFile, this, &UnsavedWork::takeAsSaved);
    showTitle();
}

bool UnsavedWork::mayDiscard() {
    if (!window_.isWindowModified()) return true;
    const QString text = saveTo_.isEmpty()
                             ? reporter_.texts().text(keys::kUnsavedChanges)
                             : reporter_.texts().messageText(
                                   {keys::kUnsavedChangesTo, texts::Title::Warn, {texts::Text{fileName_.toStdString()}}});
    switch (reporter_.askToSave(text)) {
        case SaveAnswer::Save: return save();
        case SaveAnswer::Discard: return true;
        case SaveAnswer::Cancel: break;
    }
    return false;
}

void UnsavedWork::sayEmulated(const QString& eepromFile) {
    emulatedNote_ = reporter_.texts().messageText(
        {keys::kEmulatedTitle, texts::Title::Warn, {texts::Text{eepromFile.toStdString()}}});
    showTitle();
}

void UnsavedWork::takeAsSaved(const QString& path, bool configuration) {
    saved_ = savedForm(rows_);
    fileName_ = QFileInfo(path).fileName();
    saveTo_ = configuration ? path : QString();
    showTitle();
    markChanges();
}

void UnsavedWork::markChanges() { window_.setWindowModified(savedForm(rows_) != saved_); }

void UnsavedWork::showTitle() {
    QStringList parts;
    if (fileName_.isEmpty()) {
        parts << programTitle_ + kChangedMark;
    } else {
        parts << literalWindowTitle(fileName_) + kChangedMark << programTitle_;
    }
    if (!emulatedNote_.isEmpty()) parts << literalWindowTitle(emulatedNote_);
    window_.setWindowTitle(parts.join(kTitleSeparator));
}

bool UnsavedWork::save() {
    const QString path = saveTo_.isEmpty() ? files_.chooseFileToSave() : saveTo_;
    return !path.isEmpty() && files_.save(path);
}

}  // namespace vostrel::ui

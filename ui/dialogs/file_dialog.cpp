// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/dialogs/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "files/program_folders.h"
#include "ui/dialogs/file_dialog_traces.h"
#include "ui/workings/settings_file.h"

namespace vostrel::ui {
namespace {

constexpr QLatin1StringView kLastFolderKey("LastFolder");

// Beside the folders, as Explorer shows them: the drives, then the user's home,
// Desktop, Documents and Downloads, each once and only where it is there.
QList<QUrl> usersPlaces() {
    QList<QUrl> places{QUrl(QStringLiteral("file:"))};
    QStringList folders{QDir::homePath()};
    for (const auto place : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation,
                             QStandardPaths::DownloadLocation}) {
        const QString folder = QStandardPaths::writableLocation(place);
        if (!folder.isEmpty() && !folders.contains(folder) && QFileInfo(folder).isDir()) folders << folder;
    }
    for (const QString& folder : folders) places << QUrl::fromLocalFile(folder);
    return places;
}

}  // namespace

QString startingFolder() {
    // Given a folder that is not there, Qt's dialogs take its name for the file's and
    // put it in the name box, where a name the user types is added to it.
    const QString remembered = rememberedValue(kLastFolderKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFolderOf(const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    if (folder != rememberedValue(kLastFolderKey).toString()) rememberValue(kLastFolderKey, folder);
}

QString chooseFileName(QWidget& parent, const MessageReporter& reporter, const FileDialogRequest& request) {
    const FileDialogTraces traces(files::programPlaces().portableFolder);  // made first, so that it goes after the dialog
    QFileDialog dialog(&parent, request.title, startingFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setSidebarUrls(usersPlaces());
    dialog.setNameFilters(request.nameFilters);
    dialog.setAcceptMode(request.toSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.toSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().front();
    rememberFolderOf(chosen);
    return request.toSave ? nameToSave(chosen, request.defaultSuffix, reporter) : chosen;
}

QString nameToSave(const QString& chosen, const QString& suffix, const MessageReporter& reporter) {
    const bool typedWithout = !suffix.isEmpty() && QFileInfo(chosen).suffix().isEmpty();
    const QString named = typedWithout ? chosen + QLatin1Char('.') + suffix : chosen;
    if (!QFileInfo::exists(named)) return named;
    const texts::Text shown{QDir::toNativeSeparators(named).toStdString()};
    const QString question =
        reporter.texts().messageText({texts::keys::kReplaceFileQuestion, texts::Title::Warn, {shown}});
    return reporter.ask(question, texts::keys::kReplaceButton) ? named : QString();
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/dialogs/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "files/program_folders.h"
#include "ui/dialogs/file_dialog_traces.h"

namespace vostrel::ui {

QString chooseFileName(QWidget& parent, const MessageReporter& reporter, const FileDialogRequest& request) {
    const std::optional<std::filesystem::path> portableFolder = files::programPlaces().portableFolder;
    const FileDialogTraces traces(portableFolder);  // made first, so that it goes after the dialog
    // Given a folder that is not there, Qt's dialogs take its name for the file's and
    // put it in the name box, where a name the user types is added to it.
    const QString folder = QFileInfo(request.folder).isDir() ? request.folder : QString();
    QFileDialog dialog(&parent, request.title, folder);
    dialog.setNameFilters(request.nameFilters);
    dialog.setAcceptMode(request.toSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.toSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Windows' own dialog keeps the folders each program used in the registry, which a
    // portable copy must leave as it was. And saving, it adds the file type's extension
    // to any extension Windows has not registered (site.conf became site.conf.vostrel):
    // Qt's own dialog keeps the name typed, nameToSave adds the extension and asks.
    if (portableFolder || request.toSave) dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().front();
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

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/restore_backup.h"

#include <QAction>
#include <QWidget>

#include "files/utf8_path.h"

namespace vostrel::ui {

RestoreBackup::RestoreBackup(QWidget& window, RecentFilesMenu& menu, const QWidget& open, OpenAndSave& files,
                             TransmitterCommands& transmitter, const MessageReporter& reporter)
    : open_(open),
      files_(files),
      transmitter_(transmitter),
      chooser_(window, reporter),
      action_(new QAction(reporter.texts().text(texts::keys::kRestoreBackup), this)) {
    connect(action_, &QAction::triggered, this, &RestoreBackup::restore);
    menu.addCommand(*action_);
}

void RestoreBackup::restore() {
    // As Open, it waits while a Write waits behind one of its boxes.
    if (!open_.isEnabled()) return;
    const std::optional<files::BackupFile> backup = chooser_.choose();
    if (!backup) return;
    files_.open(QString::fromStdString(files::utf8Name(backup->file)));
    if (!backup->port.empty()) transmitter_.preferTransmitter(backup->port);
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Restore backup..., in the menu of recent files beside Open: the backup chosen from the
// list of them (ui/dialogs/backup_chooser.h) is opened as Open opens a file, and the
// transmitter it came from is offered first by the next command's choice of
// transmitter, so that a Write puts it back where it came from, asking as any Write
// does. The backup folder is never a place the user has to find.

#include <QObject>

#include "ui/dialogs/backup_chooser.h"
#include "ui/features/open_and_save.h"
#include "ui/features/recent_files_menu.h"
#include "ui/features/transmitter_commands.h"

class QAction;
class QWidget;

namespace vostrel::ui {

class RestoreBackup : public QObject {
    Q_OBJECT

public:
    // The command joins `menu`; it holds back while `open` does (a Write waiting behind
    // one of its boxes).
    RestoreBackup(QWidget& window, RecentFilesMenu& menu, const QWidget& open, OpenAndSave& files,
                  TransmitterCommands& transmitter, const MessageReporter& reporter);

private:
    void restore();

    const QWidget& open_;
    OpenAndSave& files_;
    TransmitterCommands& transmitter_;
    BackupChooser chooser_;
    QAction* action_;
};

}  // namespace vostrel::ui

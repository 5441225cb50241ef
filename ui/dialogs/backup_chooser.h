// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The list of backups that Restore backup... shows (files/backups.h): one line each,
// newest first, with the time it was taken, its transmitter (name and port, as the
// record of its Write has them), the rows it holds ("empty (erased)" for a new
// transmitter's) and its contents fingerprint, in the window's language. A click on a
// heading sorts by that column (by time, by transmitter); Enter or a double-click takes
// the one selected. With no backup saved yet, it says so and where they go.

#include <optional>

#include "files/backups.h"
#include "ui/workings/message_presenter.h"

class QWidget;

namespace vostrel::ui {

class BackupChooser {
public:
    // The dialog is a child of `window`.
    BackupChooser(QWidget& window, const MessageReporter& reporter);

    // The backup chosen from this process's backup folder; nothing when the user
    // cancelled or there is none.
    std::optional<files::BackupFile> choose() const;

private:
    std::optional<files::BackupFile> ask(const std::vector<files::BackupFile>& backups) const;

    QWidget& window_;
    const MessageReporter& reporter_;
};

}  // namespace vostrel::ui

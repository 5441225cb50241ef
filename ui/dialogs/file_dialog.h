// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's file dialogs (Open, Save, the site lists, the site sheet), made alike:
// they start in a folder that is still there, a name typed without an extension gets
// the file type's, a file that is there is asked about in the user's language, and a
// portable copy's leave nothing in the profile (ui/dialogs/file_dialog_traces.h).

#include <QString>
#include <QStringList>

#include "ui/workings/message_presenter.h"

class QWidget;

namespace vostrel::ui {

struct FileDialogRequest {
    QString title;        // without its mnemonic
    QString folder;       // where it starts; one that has gone since (a USB stick) is not used
    QStringList nameFilters;
    bool toSave = false;
    QString defaultSuffix;  // what Save gives a name typed without an extension
};

// The file chosen, or nothing when the user cancelled.
QString chooseFileName(QWidget& parent, const MessageReporter& reporter, const FileDialogRequest& request);

// The name to save under: `chosen` with `suffix` added when it has no extension. A file
// that is there under that name is asked about first; nothing when the user keeps it.
QString nameToSave(const QString& chosen, const QString& suffix, const MessageReporter& reporter);

}  // namespace vostrel::ui

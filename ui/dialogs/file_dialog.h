// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's file dialogs (Open, Save, the site lists, the site sheet), made alike:
// all of them Qt's own, in the window's language (Qt's translations), with the user's
// places beside the folders; they start in the one folder the window remembers (the
// folder of the file opened or saved last, in this run or an earlier one), else in the
// user's Documents folder, never in the working folder (for the installer's shortcuts
// the program's own, which a standard user may not write and the uninstaller empties);
// a name typed without an extension gets the file type's, a file that is there is
// asked about in the user's language, and a portable copy's leave nothing in the
// profile (ui/dialogs/file_dialog_traces.h).
//
// Qt's dialog and not Windows' own, on every system: a portable copy may not use
// Windows' (it keeps the folders each program used in the registry), and saving,
// Windows' adds the file type's extension to any extension Windows has not registered
// (site.conf became site.conf.vostrel). One kind of dialog for every file, installed
// or portable, rather than Windows' for some and Qt's for others.

#include <QString>
#include <QStringList>

#include "ui/workings/message_presenter.h"

class QWidget;

namespace vostrel::ui {

struct FileDialogRequest {
    QString title;  // without its mnemonic
    QStringList nameFilters;
    bool toSave = false;
    QString defaultSuffix;  // what Save gives a name typed without an extension
};

// The file chosen, or nothing when the user cancelled. Its folder is remembered.
QString chooseFileName(QWidget& parent, const MessageReporter& reporter, const FileDialogRequest& request);

// Where the next file dialog starts: the remembered folder while it is there (a USB
// stick may have gone since), else the user's Documents folder, else the home folder.
QString startingFolder();
// Remembers the folder of `file`, opened or saved without a dialog too (dropped, named
// on the command line, chosen from the recent files).
void rememberFolderOf(const QString& file);

// The name to save under: `chosen` with `suffix` added when it has no extension. A file
// that is there under that name is asked about first; nothing when the user keeps it.
QString nameToSave(const QString& chosen, const QString& suffix, const MessageReporter& reporter);

}  // namespace vostrel::ui

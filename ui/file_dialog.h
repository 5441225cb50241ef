// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The window's file dialogs (Open, Save, the site lists, the site sheet), made alike:
// they start in a folder that is still there, and a portable copy's leave nothing in
// the profile (ui/file_dialog_traces.h).

#include <QString>
#include <QStringList>

class QWidget;

namespace vostrel::ui {

struct FileDialogRequest {
    QString title;        // without its mnemonic
    QString folder;       // where it starts; one that has gone since (a USB stick) is not used
    QStringList nameFilters;
    bool toSave = false;
    QString defaultSuffix;  // what Save gives a name typed without one
};

// The file chosen, or nothing when the user cancelled.
QString chooseFileName(QWidget& parent, const FileDialogRequest& request);

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <QSettings>
#include <QString>

#include "files/utf8_path.h"
#include "ui/dialogs/file_dialog_traces.h"

namespace vostrel::ui {

// Here Qt's own settings are files, which may go beside the portable copy.
struct FileDialogTraces::Noted {};

FileDialogTraces::FileDialogTraces(const std::optional<std::filesystem::path>& portableFolder) {
    if (!portableFolder) return;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(files::utf8Name(*portableFolder)));
}

FileDialogTraces::~FileDialogTraces() = default;

}  // namespace vostrel::ui

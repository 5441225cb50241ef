// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A file name from Qt as the Qt-free libraries take it, every character kept on every
// system (on Windows a narrow name would lose whatever the local code page lacks), and
// with the system's separators, as their messages then show it ("C:\Users\...", where
// Qt writes "C:/Users/...").

#include <QDir>
#include <QString>
#include <filesystem>

#include "files/utf8_path.h"

namespace vostrel::ui {

inline std::filesystem::path localPath(const QString& name) {
    return files::pathFromUtf8(QDir::toNativeSeparators(name).toStdString());
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/settings_file.h"

#include <QFileInfo>

#include "files/program_folders.h"
#include "files/utf8_path.h"

namespace vostrel::ui {
namespace {

constexpr QLatin1StringView kSettingsGroup("Window");
constexpr qint64 kMaxSettingsBytes = 1 << 20;

// A file nobody may write stays as it is, as every file the tool writes does: run as
// root, QSettings would replace it with a writable one.
bool nobodyMayWrite(const QFileInfo& file) {
    const auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return file.exists() && (file.permissions() & writable) == 0;
}

}  // namespace

// QSettings reads its file as soon as it is made, and a FIFO or a link to a device
// there would hold the window for ever; such a file, or one far larger than any
// settings, leaves the choices unremembered. The file is the one the programs' rule
// names (files/program_folders.h): beside a portable copy, else the user's.
std::unique_ptr<QSettings> windowSettings() {
    const auto path = files::programPlaces().settingsFile();
    if (!path) return nullptr;
    const QString name = QString::fromStdString(files::utf8Name(*path));
    const QFileInfo file(name);
    if (file.exists() && (!file.isFile() || file.size() > kMaxSettingsBytes)) return nullptr;
    auto settings = std::make_unique<QSettings>(name, QSettings::IniFormat);
    settings->beginGroup(kSettingsGroup);
    return settings;
}

QVariant rememberedValue(QLatin1StringView key, const QVariant& fallback) {
    const auto remembered = windowSettings();
    return remembered ? remembered->value(key, fallback) : fallback;
}

bool rememberValue(QLatin1StringView key, const QVariant& value) {
    const auto remembered = windowSettings();
    if (!remembered || !remembered->isWritable() || nobodyMayWrite(QFileInfo(remembered->fileName()))) return false;
    remembered->setValue(key, value);
    remembered->sync();
    return remembered->status() == QSettings::NoError;
}

}  // namespace vostrel::ui

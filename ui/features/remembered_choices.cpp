// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/remembered_choices.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <memory>

#include "files/program_folders.h"
#include "files/utf8_path.h"
#include "paging/alphabets.h"

namespace vostrel::ui {
namespace {

constexpr QLatin1StringView kSettingsGroup("Window");
constexpr QLatin1StringView kConfirmWriteKey("ConfirmWrite");
constexpr QLatin1StringView kAlphabetKey("Alphabet");
constexpr QLatin1StringView kTransliterateKey("Transliterate");

constexpr qint64 kMaxSettingsBytes = 1 << 20;

// QSettings reads its file as soon as it is made, and a FIFO or a link to a device
// there would hold the window for ever; such a file, or one far larger than any
// settings, leaves the choices unremembered. The file is the one the programs' rule
// names (files/program_folders.h): beside a portable copy, else the user's.
std::unique_ptr<QSettings> rememberedChoices() {
    const auto path = files::programPlaces().settingsFile();
    if (!path) return nullptr;
    const QString name = QString::fromStdString(files::utf8Name(*path));
    const QFileInfo file(name);
    if (file.exists() && (!file.isFile() || file.size() > kMaxSettingsBytes)) return nullptr;
    auto settings = std::make_unique<QSettings>(name, QSettings::IniFormat);
    settings->beginGroup(kSettingsGroup);
    return settings;
}

// A file nobody may write stays as it is, as every file the tool writes does: run as
// root, QSettings would replace it with a writable one.
bool nobodyMayWrite(const QFileInfo& file) {
    const auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return file.exists() && (file.permissions() & writable) == 0;
}

QString alphabetName(int index) {
    const std::string_view name = paging::alphabetTable(static_cast<paging::Alphabet>(std::max(index, 0))).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QVariant rememberedValue(QLatin1StringView key, const QVariant& fallback) {
    const auto remembered = rememberedChoices();
    return remembered ? remembered->value(key, fallback) : fallback;
}

bool rememberValue(QLatin1StringView key, const QVariant& value) {
    const auto remembered = rememberedChoices();
    if (!remembered || !remembered->isWritable() || nobodyMayWrite(QFileInfo(remembered->fileName()))) return false;
    remembered->setValue(key, value);
    remembered->sync();
    return remembered->status() == QSettings::NoError;
}

RememberedChoices::RememberedChoices(QComboBox& alphabet, QAbstractButton& transliterate,
                                     QAbstractButton& confirmWrite) {
    if (const auto remembered = rememberedChoices()) {
        const std::string name = remembered->value(kAlphabetKey).toString().toStdString();
        alphabet.setCurrentIndex(static_cast<int>(paging::alphabetNamed(name).value_or(paging::Alphabet::US)));
        transliterate.setChecked(remembered->value(kTransliterateKey, false).toBool());
        // On unless the user turned it off; the backup and the read-back do not depend on it.
        confirmWrite.setChecked(remembered->value(kConfirmWriteKey, true).toBool());
    }
    connect(&alphabet, &QComboBox::currentIndexChanged, this,
            [](int index) { rememberValue(kAlphabetKey, alphabetName(index)); });
    connect(&transliterate, &QAbstractButton::toggled, this, [](bool on) { rememberValue(kTransliterateKey, on); });
    connect(&confirmWrite, &QAbstractButton::toggled, this, [](bool on) { rememberValue(kConfirmWriteKey, on); });
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/remembered_choices.h"

#include <QAbstractButton>
#include <QComboBox>
#include <algorithm>

#include "paging/alphabets.h"

namespace vostrel::ui {
namespace {

constexpr QLatin1StringView kConfirmWriteKey("ConfirmWrite");
constexpr QLatin1StringView kAlphabetKey("Alphabet");
constexpr QLatin1StringView kTransliterateKey("Transliterate");

QString alphabetName(int index) {
    const std::string_view name = paging::alphabetTable(static_cast<paging::Alphabet>(std::max(index, 0))).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

RememberedChoices::RememberedChoices(QComboBox& alphabet, QAbstractButton& transliterate,
                                     QAbstractButton& confirmWrite) {
    if (const auto remembered = windowSettings()) {
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

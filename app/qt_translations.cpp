// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <algorithm>

namespace vostrel::app {

QtTranslations::QtTranslations(const QString& languageCode) {
    // A code from a language file is the user's text: only a plain code names a file,
    // never a path.
    const bool plainCode = !languageCode.isEmpty() && languageCode.size() <= 8 &&
                           std::all_of(languageCode.begin(), languageCode.end(), [](QChar c) {
                               return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
                           });
    if (!plainCode || languageCode == QLatin1String("en")) return;
    const QString name = QStringLiteral("qtbase_") + languageCode;
    for (const QString& folder : {QString::fromLatin1(kEmbeddedQtTranslations),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (translator_.load(name, folder)) {
            installed_ = QCoreApplication::installTranslator(&translator_);
            return;
        }
    }
}

QtTranslations::~QtTranslations() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace vostrel::app

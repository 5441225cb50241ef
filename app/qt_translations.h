// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Qt's own texts (its file dialogs, the standard buttons of boxes and dialogs, the edit
// boxes' context menus) in the window's language: Qt's translation of that language,
// qtbase_<code>.qm, installed for as long as the object lives. It is taken from
// :/qt_translations/, where the Windows build compiles the files in (app/CMakeLists.txt),
// else from the Qt installation's translations (Debian's qt6-translations-l10n). A
// language Qt has no translation for, or English, leaves Qt's English texts.

#include <QString>
#include <QTranslator>

namespace vostrel::app {

// Where a build that carries Qt's translations has them.
inline constexpr const char* kEmbeddedQtTranslations = ":/qt_translations";

class QtTranslations {
public:
    explicit QtTranslations(const QString& languageCode);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Whether a translation of Qt's texts is installed.
    bool installed() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace vostrel::app

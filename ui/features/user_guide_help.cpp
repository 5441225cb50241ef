// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/user_guide_help.h"

#include <QDesktopServices>
#include <QDir>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include "files/user_guide.h"
#include "files/utf8_path.h"
#include "ui/controls/plain_text.h"

namespace vostrel::ui {

using keys = texts::keys;

UserGuideHelp::UserGuideHelp(QWidget& window, QPushButton& button, const MessageReporter& reporter,
                             std::filesystem::path programFolder)
    : reporter_(reporter), programFolder_(std::move(programFolder)) {
    const LanguageTexts& texts = reporter.texts();
    button.setText(texts.text(keys::kHelpButton));
    button.setToolTip(plainToolTip(texts.text(keys::kHelpTip)));
    // F1 wherever the focus is in the window, a box or a list included.
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), &window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &window, [this] { open(); });
    QObject::connect(&button, &QPushButton::clicked, &window, [this] { open(); });
}

void UserGuideHelp::open() const {
    const auto page = files::userGuidePage(programFolder_, reporter_.texts().languageCode());
    if (!page) {
        reporter_.report({keys::kUserGuideMissing, texts::Title::Error,
                          {texts::Text{files::utf8Name(files::installedUserGuidePage(programFolder_))}}});
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(files::utf8Name(*page))))) {
        reporter_.report({keys::kUserGuideNotOpened, texts::Title::Error, {texts::Text{files::utf8Name(*page)}}});
    }
}

}  // namespace vostrel::ui

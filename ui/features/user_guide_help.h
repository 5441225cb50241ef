// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Help: F1 anywhere in the window and the Help button open the user guide in the
// window's language (LanguageTexts::languageCode) in the user's web browser, through
// QDesktopServices::openUrl. A guide that is not there, or that no browser opened, is
// reported with its place, so that the user can open the file by hand.

#include <filesystem>

#include "ui/workings/message_presenter.h"

class QPushButton;
class QWidget;

namespace vostrel::ui {

class UserGuideHelp {
public:
    // The guide is looked for from `programFolder` as files/user_guide.h says.
    UserGuideHelp(QWidget& window, QPushButton& button, const MessageReporter& reporter,
                  std::filesystem::path programFolder);

    // What F1 and the button do.
    void open() const;

private:
    const MessageReporter& reporter_;
    std::filesystem::path programFolder_;
};

}  // namespace vostrel::ui

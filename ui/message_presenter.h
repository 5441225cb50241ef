// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Where the window's messages go: message boxes for the user, a record for tests.

#include <QString>

#include "texts/message.h"
#include "ui/language_texts.h"

namespace vostrel::ui {

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows one message and returns once it is gone: true when the user dismissed it,
    // false when the program is ending and took it away, so the command that showed it
    // must go no further.
    virtual bool show(const QString& title, const QString& text) = 0;
};

// A message box with no owner window, no icon and one OK button, its title and text
// shown literally. It does not block the main window: only the command that shows it
// waits until it is dismissed. When the program ends meanwhile, the box goes with it.
class MessageBoxPresenter final : public MessagePresenter {
public:
    bool show(const QString& title, const QString& text) override;
};

// Turns a message into its text and title in the user's language and shows it.
class MessageReporter {
public:
    // The titles are taken from `texts` now; the message texts at each report.
    MessageReporter(LanguageTexts texts, MessagePresenter& presenter);

    // Both return what the presenter's show returned.
    bool report(const texts::Message& message) const;
    // The message with the system's own details on a line of their own beneath it.
    bool report(const texts::Message& message, const QString& detail) const;

private:
    LanguageTexts texts_;
    MessageTitles titles_;
    MessagePresenter& presenter_;
};

}  // namespace vostrel::ui

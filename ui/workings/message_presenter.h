// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Where the window's messages go: message boxes for the user, a record for tests.

#include <QString>

#include "texts/message.h"
#include "ui/workings/language_texts.h"

namespace vostrel::ui {

// The answers to the question before unsaved work would be lost.
enum class SaveAnswer { Save, Discard, Cancel };

struct SaveQuestionButtons {
    QString save;
    QString discard;
    QString cancel;
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows one message and returns once it is gone: true when the user dismissed it,
    // false when the program is ending and took it away, so the command that showed it
    // must go no further.
    virtual bool show(const QString& title, const QString& text) = 0;
    // Asks the user to confirm: true only when the `confirm` button was pressed; false for
    // the `cancel` button, for closing the box, and when the program is ending.
    virtual bool confirm(const QString& title, const QString& text, const QString& confirm, const QString& cancel) = 0;
    // Asks whether to save the window's unsaved work before it goes; Cancel also for
    // closing the box.
    virtual SaveAnswer askToSave(const QString& title, const QString& text, const SaveQuestionButtons& buttons) = 0;
};

// A message box with no owner window, no icon and one OK button, its title and text
// shown literally. It does not block the main window: only the command that shows it
// waits until it is dismissed. When the program ends meanwhile, the box goes with it.
class MessageBoxPresenter final : public MessagePresenter {
public:
    bool show(const QString& title, const QString& text) override;
    // A box with two buttons, Cancel the default, whose text wraps anywhere and scrolls
    // when it is long (the list of calls a Write overwrites).
    bool confirm(const QString& title, const QString& text, const QString& confirm, const QString& cancel) override;
    // Unlike the others, this box must be answered before the window goes on: Save is
    // the default, Escape cancels.
    SaveAnswer askToSave(const QString& title, const QString& text, const SaveQuestionButtons& buttons) override;
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
    // Asks under the Warn title, with the buttons `confirmKey` and Cancel: true only when
    // confirmed.
    bool ask(const QString& text, texts::TextKey confirmKey) const;
    // Asks under the Warn title whether to save unsaved work: Save, Discard or Cancel.
    SaveAnswer askToSave(const QString& text) const;

    const LanguageTexts& texts() const { return texts_; }

private:
    LanguageTexts texts_;
    MessageTitles titles_;
    MessagePresenter& presenter_;
};

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Drives the programmer window in tests as a user would: typing into boxes, choosing
// from lists, clicking buttons; messages are recorded instead of shown.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "app/program_start.h"
#include "device/emulator/emulated_transmitter.h"
#include "ui/Unit1.h"
#include "ui/workings/message_presenter.h"

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace vostrel::test {

// Exceptions the application caught around event delivery, in order.
std::vector<QString>& shownExceptions();

using ShownMessage = std::pair<QString, QString>;  // title, text

// Positions in the tone and pager-type lists.
constexpr int kToneA = 0, kToneB = 1, kToneC = 2, kToneD = 3;
constexpr int kAlphnumeric = 1;

class RecordingPresenter final : public ui::MessagePresenter {
public:
    bool show(const QString& title, const QString& text) override {
        shown.emplace_back(title, text);
        if (whenShown) whenShown(shown.back());
        return true;
    }
    // Recorded as a message; its buttons in `buttons`.
    bool confirm(const QString& title, const QString& text, const QString& confirm, const QString& cancel) override {
        buttons = {confirm, cancel};
        shown.emplace_back(title, text);
        if (whenShown) whenShown(shown.back());
        return confirmAnswer;
    }
    // Recorded apart from the messages, with its buttons; answered with `saveAnswer`.
    ui::SaveAnswer askToSave(const QString& title, const QString& text, const ui::SaveQuestionButtons& buttons) override {
        saveQuestions.emplace_back(title, text);
        saveButtons = {buttons.save, buttons.discard, buttons.cancel};
        return saveAnswer;
    }
    std::vector<ShownMessage> shown;
    std::pair<QString, QString> buttons;
    bool confirmAnswer = true;
    std::vector<ShownMessage> saveQuestions;
    QStringList saveButtons;
    ui::SaveAnswer saveAnswer = ui::SaveAnswer::Discard;
    // Runs while the message is "on screen", before the command goes on.
    std::function<void(const ShownMessage&)> whenShown;
};

// Everything a user can see of one row.
struct RowView {
    QString capCode;
    int tone = 0;
    int type = 0;
    QString message;
    int messageLimit = 0;
    bool messageReadOnly = false;

    friend bool operator==(const RowView&, const RowView&) = default;
};

struct WindowView {
    QString preamble;
    int dataRate = 0;
    int repeater = 0;
    int alphabet = 0;
    bool transliterate = false;
    std::array<RowView, 16> rows;
    std::array<QString, 16> labels;

    friend bool operator==(const WindowView&, const WindowView&) = default;
};

void PrintTo(const RowView& row, std::ostream* out);
void PrintTo(const WindowView& view, std::ostream* out);

// What a user types into one row; empty texts are left untouched.
struct RowInput {
    QString capCode;
    int tone = 0;  // 0..3 for A..D, chosen only when not A
    int type = 0;  // 1 chooses Alphnumeric
    QString message;
};

class WindowDriver {
public:
    explicit WindowDriver(device::HidTransport& transport);

    TForm1& window() { return window_; }
    // Makes the window the active one again, as a popup list may have taken that away
    // once pending events are handled.
    void activate();
    std::vector<ShownMessage>& messages() { return presenter_.shown; }
    RecordingPresenter& presenter() { return presenter_; }

    template <typename Control>
    Control& control(const QString& name) {
        auto* found = window_.findChild<Control*>(name);
        if (found == nullptr) throw std::logic_error("no control " + name.toStdString());
        return *found;
    }
    QLineEdit& capCode(int row);
    QComboBox& tone(int row);
    QComboBox& type(int row);
    QLineEdit& message(int row);

    // The user's actions.
    void choose(QComboBox& list, int index);
    void typeInto(QLineEdit& box, const QString& text);
    void setPreamble(const QString& digits);
    void enterRow(int row, const RowInput& input);
    void clickRead();
    void clickWrite();
    void clickExit();

    WindowView view();
    // The title as the window system shows it: the changed mark as '*' or nothing.
    QString shownTitle();

private:
    void click(QPushButton& button);

    RecordingPresenter presenter_;
    TForm1 window_;
};

// Each message with its first line alone: what a result says it did, without the lines
// beneath naming the transmitter and the backup (checked in transmitter_chooser_test).
std::vector<ShownMessage> headlines(const std::vector<ShownMessage>& messages);

// What the choice of a transmitter showed (ui/dialogs/transmitter_chooser.h).
struct SeenChoice {
    bool shown = false;
    QString title;
    QString question;
    QString listName;
    QStringList lines;
    int selected = -1;
    QStringList buttons;
};

// Answers the choice of a transmitter that the next command shows with `keys`, pressed
// in its list (Alt+N names the one selected), and records what it showed; a command
// that shows none leaves `shown` false. Checks that the keyboard starts in the list and
// that the question leads to it.
class ChoiceAnswer {
public:
    explicit ChoiceAnswer(std::vector<QKeyCombination> keys);
    const SeenChoice& seen() const { return seen_; }

private:
    void answer();

    std::vector<QKeyCombination> keys_;
    QTimer timer_;
    SeenChoice seen_;
};

// A language file in a configuration directory of its own for as long as it lives,
// so that no file of the user's or the system's takes part. Nothing may lie beside
// the test program.
class LanguageFileForTest {
public:
    explicit LanguageFileForTest(const QByteArray& contents);
    ~LanguageFileForTest();
    LanguageFileForTest(const LanguageFileForTest&) = delete;
    LanguageFileForTest& operator=(const LanguageFileForTest&) = delete;

private:
    QTemporaryDir directory_;
    std::array<std::pair<const char*, std::optional<QByteArray>>, 3> saved_;
};

// A translation shipped in docs/: by default the German one.
QByteArray exampleTranslation(const char* file = "kdx20Lang.example.ini");

// Types `text` into the focused `box`, key by key.
void typeCharacters(QWidget& box, const QString& text);

// "%02d" of a row number, as the controls are named.
QString rowSuffix(int row);

}  // namespace vostrel::test

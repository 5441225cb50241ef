// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "tests/ui/window_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace vostrel::test {

std::vector<QString>& shownExceptions() {
    static std::vector<QString> exceptions;
    return exceptions;
}

void PrintTo(const RowView& row, std::ostream* out) {
    *out << "{capcode \"" << row.capCode.toStdString() << "\", tone " << row.tone << ", type " << row.type
         << ", message \"" << row.message.toStdString() << "\", limit " << row.messageLimit
         << (row.messageReadOnly ? ", read-only}" : "}");
}

void PrintTo(const WindowView& view, std::ostream* out) {
    *out << "{preamble \"" << view.preamble.toStdString() << "\", rate " << view.dataRate << ", repeat "
         << view.repeater << ", alphabet " << view.alphabet << (view.transliterate ? ", transliterated" : "");
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        *out << "\n  ";
        PrintTo(view.rows[i], out);
        if (!view.labels[i].isEmpty()) *out << " label \"" << view.labels[i].toStdString() << '"';
    }
    *out << "}";
}

QString rowSuffix(int row) { return QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0')); }

WindowDriver::WindowDriver(device::HidTransport& transport) : window_(transport, presenter_) {
    window_.show();
    activate();
}

void WindowDriver::activate() {
    // Focus changes reach the controls only in the active window.
    window_.activateWindow();
    if (!QTest::qWaitForWindowActive(&window_)) throw std::runtime_error("the window did not become active");
}

std::vector<ShownMessage> headlines(const std::vector<ShownMessage>& messages) {
    std::vector<ShownMessage> firstLines;
    for (const auto& [title, text] : messages) firstLines.emplace_back(title, text.section(QLatin1Char('\n'), 0, 0));
    return firstLines;
}

ChoiceAnswer::ChoiceAnswer(std::vector<QKeyCombination> keys) : keys_(std::move(keys)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start();
}

void ChoiceAnswer::answer() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    timer_.stop();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    auto* list = dialog->findChild<QListWidget*>();
    auto* question = dialog->findChild<QLabel*>();
    if (list == nullptr || question == nullptr) {
        // Another dialog: a failure of the test, not a crash of the whole suite.
        ADD_FAILURE() << "a dialog other than the choice of a transmitter: " << dialog->windowTitle().toStdString();
        dialog->reject();
        return;
    }
    seen_ = {true, dialog->windowTitle(), question->text(), list->accessibleName(), {}, list->currentRow(), {}};
    for (int row = 0; row < list->count(); ++row) seen_.lines << list->item(row)->text();
    for (const QPushButton* button : dialog->findChildren<QPushButton*>()) seen_.buttons << button->text();
    EXPECT_EQ(question->buddy(), list) << "the question leads to the list";
    EXPECT_EQ(dialog->focusWidget(), list) << "the keyboard starts in the list";
    // A button's letter clicks it once it has shown itself pressed for a moment. On a
    // busy machine the letter may reach the dialog before the system has made it the
    // window the keyboard types into: then it is typed again.
    bool clicked = false;
    std::vector<QMetaObject::Connection> watches;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        watches.push_back(QObject::connect(button, &QPushButton::clicked, dialog, [&clicked] { clicked = true; }));
    }
    for (const QKeyCombination key : keys_) {
        const bool letter = key.keyboardModifiers() & Qt::AltModifier;
        clicked = false;
        for (int tries = 0; tries < (letter ? 10 : 1) && !clicked; ++tries) {
            QTest::keyClick(list, key.key(), key.keyboardModifiers());
            if (letter) (void)QTest::qWaitFor([&clicked] { return clicked; }, 500);
        }
        if (letter) EXPECT_TRUE(clicked) << "no button took the letter";
    }
    for (const QMetaObject::Connection& watch : watches) QObject::disconnect(watch);
}

LanguageFileForTest::LanguageFileForTest(const QByteArray& contents)
    : saved_{{{"XDG_CONFIG_HOME", std::nullopt}, {"XDG_CONFIG_DIRS", std::nullopt}, {"APPDATA", std::nullopt}}} {
    for (auto& [name, value] : saved_) {
        if (qEnvironmentVariableIsSet(name)) value = qgetenv(name);
    }
    const QString place = directory_.filePath(QStringLiteral("vostrel-programmer"));
    QFile file(place + QStringLiteral("/kdx20Lang.ini"));
    if (!QDir().mkpath(place) || !file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        throw std::runtime_error("cannot write the language file");
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(directory_.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(directory_.filePath(QStringLiteral("none"))));
    // Windows' counterpart of XDG_CONFIG_HOME.
    qputenv("APPDATA", QFile::encodeName(QDir::toNativeSeparators(directory_.path())));
}

LanguageFileForTest::~LanguageFileForTest() {
    for (const auto& [name, value] : saved_) {
        if (value) {
            qputenv(name, *value);
        } else {
            qunsetenv(name);
        }
    }
}

QByteArray exampleTranslation(const char* name) {
    QFile file(QStringLiteral(VOSTREL_SOURCE_DIR "/docs/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("no example translation");
    return file.readAll();
}

void typeCharacters(QWidget& box, const QString& text) {
    // One key per character, with its text: QTest's key names cover ASCII only.
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

QLineEdit& WindowDriver::capCode(int row) { return control<QLineEdit>(QStringLiteral("CapCode") + rowSuffix(row)); }
QComboBox& WindowDriver::tone(int row) { return control<QComboBox>(QStringLiteral("ToneType") + rowSuffix(row)); }
QComboBox& WindowDriver::type(int row) { return control<QComboBox>(QStringLiteral("PagerType") + rowSuffix(row)); }
QLineEdit& WindowDriver::message(int row) { return control<QLineEdit>(QStringLiteral("MsgData") + rowSuffix(row)); }

void WindowDriver::choose(QComboBox& list, int index) {
    // Open the list, walk to the entry with the keyboard and take it with Return.
    list.showPopup();
    QAbstractItemView* items = list.view();
    QTest::keyClick(items, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(items, Qt::Key_Down);
    QTest::keyClick(items, Qt::Key_Return);
}

void WindowDriver::typeInto(QLineEdit& box, const QString& text) {
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_End);
    typeCharacters(box, text);
}

void WindowDriver::setPreamble(const QString& digits) {
    QLineEdit& preamble = control<QLineEdit>(QStringLiteral("Preamble"));
    preamble.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&preamble, Qt::Key_Delete);
    QTest::keyClick(&preamble, Qt::Key_Home);
    typeCharacters(preamble, digits);
}

void WindowDriver::enterRow(int row, const RowInput& input) {
    if (!input.capCode.isEmpty()) typeInto(capCode(row), input.capCode);
    if (input.type != 0) choose(type(row), input.type);
    if (input.tone != 0) choose(tone(row), input.tone);
    if (!input.message.isEmpty()) typeInto(message(row), input.message);
}

void WindowDriver::click(QPushButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }
void WindowDriver::clickRead() { click(control<QPushButton>(QStringLiteral("BtnRead"))); }
void WindowDriver::clickWrite() { click(control<QPushButton>(QStringLiteral("BtnWrite"))); }
void WindowDriver::clickExit() { click(control<QPushButton>(QStringLiteral("BtnExit"))); }

QString WindowDriver::shownTitle() {
    window_.winId();
    return window_.windowHandle()->title();
}

WindowView WindowDriver::view() {
    WindowView view;
    view.preamble = control<QLineEdit>(QStringLiteral("Preamble")).displayText();
    view.dataRate = control<QComboBox>(QStringLiteral("DataRate")).currentIndex();
    view.repeater = control<QComboBox>(QStringLiteral("Repeater")).currentIndex();
    view.alphabet = control<QComboBox>(QStringLiteral("Alphabet")).currentIndex();
    view.transliterate = control<QCheckBox>(QStringLiteral("Transliterate")).isChecked();
    for (int row = 1; row <= 16; ++row) {
        const QLineEdit& text = message(row);
        view.rows[static_cast<std::size_t>(row - 1)] = {capCode(row).text(), tone(row).currentIndex(),
                                                        type(row).currentIndex(), text.text(),
                                                        text.maxLength(), text.isReadOnly()};
        view.labels[static_cast<std::size_t>(row - 1)] = control<QLineEdit>(QStringLiteral("RowLabel") + rowSuffix(row)).text();
    }
    return view;
}

}  // namespace vostrel::test

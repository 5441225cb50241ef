// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Exceptions that escape an event handler are shown and the event loop goes on; the
// real message boxes show their texts literally and go when the program ends.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "app/emulated_eeprom.h"
#include "app/help_box_text.h"
#include "app/program_start.h"
#include "ui/workings/local_path.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

class ThrowingReceiver : public QObject {
public:
    int delivered = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        if (++delivered == 1) throw std::runtime_error("first delivery fails");
        return true;
    }
};

template <typename Box = QMessageBox>
Box* openBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<Box*>(widget);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

class ProgramStart : public testing::Test {
protected:
    void SetUp() override {
        shownExceptions().clear();
        boxWatch_.setInterval(10);
    }

    // Runs `act` from the event loop once a message box (or another dialog) is open.
    template <typename Box = QMessageBox>
    void whenBoxOpens(std::type_identity_t<std::function<void(Box&)>> act) {
        QObject::disconnect(&boxWatch_, nullptr, nullptr, nullptr);
        QObject::connect(&boxWatch_, &QTimer::timeout, [this, act] {
            if (Box* box = openBox<Box>()) {
                boxWatch_.stop();
                act(*box);
            }
        });
        boxWatch_.start();
    }

    QTimer boxWatch_;
};

TEST_F(ProgramStart, ExceptionFromAPostedEventIsShownAndLaterEventsStillArrive) {
    ThrowingReceiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(shownExceptions(), std::vector<QString>{QStringLiteral("first delivery fails")});
    EXPECT_EQ(receiver.delivered, 2);
}

TEST_F(ProgramStart, MessageBoxShowsItsTitleAndTextLiterally) {
    const QString title = QStringLiteral("[*] <b>Fehler</b>");
    const QString text = QStringLiteral("<img src=\"/nonexistent.png\"> '<' in Item[03]");
    QString shownTitle;
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    whenBoxOpens([&](QMessageBox& box) {
        shownTitle = box.windowHandle()->title();
        shownText = box.text();
        format = box.textFormat();
        box.button(QMessageBox::Ok)->click();
    });
    ui::MessageBoxPresenter presenter;
    presenter.show(title, text);
    EXPECT_EQ(shownTitle, title);
    EXPECT_EQ(shownText, text);
    EXPECT_EQ(format, Qt::PlainText);
}

// The question before a Write lists sixteen rows, each with its old and new message
// of up to 129 characters: every character can be read, wrapped or scrolled to, and
// the box still fits the screen.
TEST_F(ProgramStart, TheQuestionBeforeAWriteShowsEveryCharacterOfItsLongLines) {
    QStringList lines{QStringLiteral("The transmitter holds calls that this Write changes or clears:")};
    for (int row = 1; row <= 16; ++row) {
        lines << QStringLiteral("Item[%1]: changed 1234567 D Alphnumeric \"%2\" \u2192 1234567 D Alphnumeric \"%3\"")
                     .arg(row, 2, 10, QLatin1Char('0'))
                     .arg(QString(129, QLatin1Char('o')), QString(129, QLatin1Char('n')));
    }
    const QString text = lines.join(QLatin1Char('\n'));
    QWidget* shown = nullptr;
    QString shownText;
    bool wholeWidthVisible = false;
    bool fitsTheScreen = false;
    QString copied;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            watch.stop();
            shown = dialog;
            if (auto* view = dialog->findChild<QPlainTextEdit*>()) {
                shownText = view->toPlainText();
                wholeWidthVisible = view->horizontalScrollBar()->maximum() == 0 && view->isReadOnly();
            }
            fitsTheScreen = dialog->frameGeometry().height() <= dialog->screen()->availableGeometry().height();
            // Copied whole, as Windows message boxes copy themselves.
            QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
            QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : dialog, &copy);
            copied = QApplication::clipboard()->text();
            dialog->reject();
            return;
        }
    });
    watch.start();
    ui::MessageBoxPresenter presenter;
    EXPECT_FALSE(presenter.confirm(QStringLiteral("Warn"), text, QStringLiteral("&Write"), QStringLiteral("Cancel")));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shownText, text);
    EXPECT_TRUE(wholeWidthVisible);
    EXPECT_TRUE(fitsTheScreen);
    const QString separator = QStringLiteral("---------------------------\n");
    EXPECT_EQ(copied, separator + QStringLiteral("Warn\n") + separator + text + QStringLiteral("\n") + separator +
                          QStringLiteral("&Write   Cancel   \n") + separator);
}

// Answers the question about unsaved work, once it is asked, with the button `answer`,
// and records what it showed: its text, its default button, then its buttons sorted.
void answerSaveQuestion(QTimer& watch, const QString& answer, QStringList& seen) {
    QObject::disconnect(&watch, nullptr, nullptr, nullptr);
    QObject::connect(&watch, &QTimer::timeout, [&watch, answer, &seen] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (question == nullptr) return;
        watch.stop();
        QStringList buttons;
        for (QAbstractButton* button : question->buttons()) buttons << button->text();
        buttons.sort();
        seen = QStringList{question->text(), question->defaultButton()->text()} + buttons;
        for (QAbstractButton* button : question->buttons()) {
            if (button->text() == answer) button->click();
        }
    });
    watch.start(10);
}

// Exit and the close box end the program even while the Write command's Warn box is
// open: the box goes with the window and the Write goes no further. The rows typed
// are not saved, so the question about them comes first (it is the one box that
// must be answered): Discard.
TEST_F(ProgramStart, ClosingTheWindowWithABoxOpenEndsTheProgramAndTheCommand) {
    const struct {
        const char* what;
        std::function<void(TForm1&)> close;
    } cases[] = {
        {"Exit button", [](TForm1& window) { window.findChild<QPushButton*>(QStringLiteral("BtnExit"))->click(); }},
        {"close box", [](TForm1& window) { window.close(); }},
    };
    for (const auto& c : cases) {
        device::EmulatedTransmitter transmitter;
        ui::MessageBoxPresenter presenter;
        TForm1 window(transmitter, presenter);
        app::endProgramOnClose(window);
        // Twelve rows of ten codewords each: the twelfth does not fit, so Write warns.
        for (int row = 1; row <= 12; ++row) {
            window.findChild<QLineEdit*>(QStringLiteral("CapCode") + rowSuffix(row))->setText(QString::number(1000 + 8 * row + 3));
            window.findChild<QLineEdit*>(QStringLiteral("MsgData") + rowSuffix(row))->setText(QStringLiteral("12345"));
        }
        window.show();
        QString boxTitle;
        QTimer questionWatch;
        QStringList question;
        whenBoxOpens<QDialog>([&](QDialog& box) {
            boxTitle = box.windowTitle();
            answerSaveQuestion(questionWatch, QStringLiteral("&Discard"), question);
            c.close(window);
        });
        QTimer::singleShot(0, [&] { window.findChild<QPushButton*>(QStringLiteral("BtnWrite"))->click(); });
        QTimer hang;
        hang.callOnTimeout([] { QCoreApplication::exit(-1); });
        hang.start(10000);

        EXPECT_EQ(QApplication::exec(), app::kExitNormal) << c.what;
        EXPECT_EQ(boxTitle, QStringLiteral("Warn")) << c.what;
        EXPECT_EQ(question, (QStringList{QStringLiteral("The rows, settings and labels in the window are not saved. "
                                                        "Save them?"),
                                         QStringLiteral("&Save"), QStringLiteral("&Discard"), QStringLiteral("&Save"),
                                         QStringLiteral("Cancel")}))
            << c.what;
        EXPECT_EQ(openBox<QDialog>(), nullptr) << c.what;
        EXPECT_FALSE(window.isVisible()) << c.what;
        EXPECT_TRUE(transmitter.receivedReports().empty()) << c.what;
        EXPECT_TRUE(shownExceptions().empty()) << c.what;
    }
}

// Without EEPROM-FILE the emulated transmitter keeps its EEPROM in the user's data
// folder (the tests' own, from qt_test_main.cpp), never in the working folder, which a
// Start-menu or desktop entry makes one the user may not write. A file where that
// folder belongs ends the program with the reason, not with a transmitter that fails.
TEST(EmulatedEeprom, DefaultFileIsInTheUsersDataFolderMadeWhenMissing) {
    namespace fs = std::filesystem;
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_FALSE(dataHome.isEmpty());
    const fs::path programFolder = fs::path(dataHome.toStdWString()) / "vostrel-programmer";
    fs::remove_all(programFolder);
    const fs::path file = app::defaultEmulatedEepromFile();
    EXPECT_EQ(file.filename(), fs::path("emulated-eeprom.bin"));
    ASSERT_TRUE(fs::is_directory(programFolder));
    EXPECT_TRUE(fs::equivalent(file.parent_path(), programFolder));

    fs::remove_all(programFolder);
    std::ofstream(programFolder) << "not a folder";
    try {
        app::defaultEmulatedEepromFile();
        ADD_FAILURE() << "a file in place of the folder was taken for it";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("vostrel-programmer: cannot make the folder"), std::string::npos)
            << error.what();
    }
    fs::remove(programFolder);
}

// The help in a message box (Windows without a standard output): paragraphs flow, an
// indented line stays on its own with a tab for its lined-up blanks.
TEST(HelpBox, ParagraphsFlowIndentedLinesStayWithATabForTheirColumn) {
    const struct {
        const char* what;
        const char* help;
        const char* box;
    } cases[] = {
        {"a usage line and its alternative", "Usage: p [FILE]\n  or:  p --help\nDoes it.\n",
         "Usage: p [FILE]\nor:\tp --help\nDoes it."},
        {"a paragraph broken for a terminal, whatever its lines end with",
         "One line ends.\nThis one with a colon:\nand this (one\nnot).\n\nNext.\n",
         "One line ends. This one with a colon: and this (one not).\n\nNext."},
        {"options lined up by blanks", "Options:\n  --help       print this help\n  --           what follows\n",
         "Options:\n--help\tprint this help\n--\twhat follows"},
        {"a paragraph after an indented line", "  -x   an option\nText\ngoes on.\n", "-x\tan option\nText goes on."},
        {"nothing", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(app::helpForBox(c.help), c.box) << c.what;
}

TEST(WindowArguments, TheTransportTakesItsOwnTheRestAreFilesAnUnknownOptionIsRefused) {
    const QString program = QStringLiteral("vostrel-programmer");
    const struct {
        QStringList arguments;
        qsizetype transportArguments;
        QStringList transport;  // after the program's name
        QStringList files;
    } cases[] = {
        {{}, 0, {}, {}},
        {{QStringLiteral("site.vostrel")}, 0, {}, {QStringLiteral("site.vostrel")}},
        {{QStringLiteral("a"), QStringLiteral("b")}, 0, {}, {QStringLiteral("a"), QStringLiteral("b")}},
        {{QStringLiteral("eeprom.bin")}, 1, {QStringLiteral("eeprom.bin")}, {}},
        {{QStringLiteral("eeprom.bin"), QStringLiteral("site.conf")}, 1, {QStringLiteral("eeprom.bin")},
         {QStringLiteral("site.conf")}},
        // "--" ends the options: a name may then start with '-', and "--" itself is no file.
        {{QStringLiteral("--"), QStringLiteral("-x.vostrel"), QStringLiteral("--")}, 0, {},
         {QStringLiteral("-x.vostrel"), QStringLiteral("--")}},
        {{QStringLiteral("C:\\Sites\\Gasthaus Süd.vostrel")}, 0, {}, {QStringLiteral("C:\\Sites\\Gasthaus Süd.vostrel")}},
    };
    for (const auto& c : cases) {
        const app::WindowArguments split = app::splitWindowArguments(QStringList{program} + c.arguments, c.transportArguments);
        EXPECT_EQ(split.transport, QStringList{program} + c.transport) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(split.files, c.files) << c.arguments.join(' ').toStdString();
    }
    for (const char* option : {"--foo", "-", "-x.vostrel", "--language", "--language=", "--language=nl"}) {
        EXPECT_THROW(app::splitWindowArguments({program, QString::fromLatin1(option)}, 0), std::runtime_error) << option;
    }
}

#ifndef _WIN32
// A Linux name is bytes: one that is not UTF-8 comes through the window's command line
// whole, and opens as vostrel-cli opens it. Windows gives its names as UTF-16.
TEST(WindowArguments, NamesThatAreNotUtf8ComeThroughWhole) {
    const QTemporaryDir folder;
    const std::string directory = QFile::encodeName(folder.path()).toStdString();
    const std::vector<std::string> names = {directory + "/caf\xE9.vostrel", directory + "/\xFF\x80\xC3",
                                            directory + "/K\xC3\xBC" "che \xF0\x9F\x93\x9F.vostrel"};
    std::vector<char*> argv = {const_cast<char*>("vostrel-programmer")};
    for (const std::string& name : names) argv.push_back(const_cast<char*>(name.c_str()));
    const QStringList arguments = app::windowArguments(static_cast<int>(argv.size()), argv.data());
    ASSERT_EQ(arguments.size(), 4);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(ui::localPath(arguments[static_cast<qsizetype>(i) + 1]).native(), names[i]);
    }

    std::ofstream(names[0]) << "[Item01]\nCapCode = 3333\n";
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    driver.window().openGivenFiles({arguments[1]});
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("3333"));
    EXPECT_TRUE(driver.messages().empty());
    std::filesystem::remove(names[0]);  // Qt would not see it to remove it
}
#endif

TEST(WindowArguments, LanguageTakesABuiltInLanguageWhereverItStandsBeforeTheEndOfOptions) {
    const QString program = QStringLiteral("vostrel-programmer-emulated");
    const app::WindowArguments split = app::splitWindowArguments(
        {program, QStringLiteral("eeprom.bin"), QStringLiteral("--language"), QStringLiteral("de"),
         QStringLiteral("site.vostrel")},
        1);
    EXPECT_EQ(split.language, texts::Language::German);
    EXPECT_EQ(split.transport, (QStringList{program, QStringLiteral("eeprom.bin")}));
    EXPECT_EQ(split.files, QStringList{QStringLiteral("site.vostrel")});
    EXPECT_EQ(app::splitWindowArguments({program, QStringLiteral("--language=FR")}, 0).language, texts::Language::French);
    EXPECT_EQ(app::splitWindowArguments({program, QStringLiteral("--"), QStringLiteral("--language")}, 0).files,
              QStringList{QStringLiteral("--language")});
    try {
        app::splitWindowArguments({program, QStringLiteral("--language"), QStringLiteral("nl")}, 0);
        ADD_FAILURE() << "--language nl was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "--language must be de, en or fr, not 'nl'");
    }
}

}  // namespace
}  // namespace vostrel::test

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The language file beside the executable, as the window applies it: at creation for
// headings, captions, choices and titles, at each message for the message texts.

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWindow>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

#include "app/qt_translations.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using Messages = std::vector<ShownMessage>;

const QString kBuiltInTitle = QStringLiteral("Vostrel programmer rev  V2.01");

class WindowLanguageFile : public testing::Test {
protected:
    // The configuration directories are the test's own, so that no file of the user's
    // or the system's takes part.
    // On Windows the user's place is %APPDATA%, and there is no system's.
    void SetUp() override {
        QFile::remove(path());
#ifdef Q_OS_WIN
        savedAppData_ = qgetenv("APPDATA");
        qputenv("APPDATA", QDir::toNativeSeparators(configDirectories_.filePath(QStringLiteral("user"))).toLocal8Bit());
#else
        qputenv("XDG_CONFIG_HOME", configDirectories_.filePath(QStringLiteral("user")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", (configDirectories_.filePath(QStringLiteral("system1")) + QLatin1Char(':') +
                                    configDirectories_.filePath(QStringLiteral("system2")))
                                       .toLocal8Bit());
#endif
    }
    void TearDown() override {
        qputenv("LANG", "C.UTF-8");
        qunsetenv("VOSTREL_LANGUAGE");
        QFile::remove(path());
#ifdef Q_OS_WIN
        qputenv("APPDATA", savedAppData_);
#else
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CONFIG_DIRS");
#endif
    }

    static QString path() { return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kdx20Lang.ini")); }

    static void writeFile(const QByteArray& contents) { writeFileAt(path(), contents); }

    // The language file in configuration directory `name`.
    QString configPath(const QString& name) const {
        return configDirectories_.filePath(name + QStringLiteral("/vostrel-programmer/kdx20Lang.ini"));
    }

    static void writeFileAt(const QString& path, const QByteArray& contents) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    std::unique_ptr<WindowDriver> openWindow() { return std::make_unique<WindowDriver>(transmitter_); }

    static QStringList headings(WindowDriver& driver) {
        QStringList texts;
        for (int n = 17; n <= 26; ++n) texts << driver.control<QLabel>(QStringLiteral("Label%1").arg(n)).text();
        for (const char* button : {"BtnRead", "BtnWrite", "BtnExit"}) {
            texts << driver.control<QPushButton>(QString::fromLatin1(button)).text();
        }
        return texts;
    }

    static QStringList pagerTypeChoices(WindowDriver& driver, int row) {
        QComboBox& list = driver.type(row);
        QStringList choices;
        for (int i = 0; i < list.count(); ++i) choices << list.itemText(i);
        return choices;
    }

    // A Write refused for its preamble shows one message without touching the device.
    static ShownMessage preambleMessage(WindowDriver& driver) {
        driver.messages().clear();
        driver.setPreamble(QStringLiteral("100"));
        driver.clickWrite();
        return driver.messages().at(0);
    }

    static ShownMessage invalidCodeMessage(WindowDriver& driver) {
        driver.messages().clear();
        driver.enterRow(3, {QStringLiteral("9"), 0, 0, QStringLiteral("1a")});
        driver.clickWrite();
        return driver.messages().at(0);
    }

    device::EmulatedTransmitter transmitter_;
    QTemporaryDir configDirectories_;
    QByteArray savedAppData_;
};

const QStringList kBuiltInHeadings = {
    QStringLiteral("CapCode"), QStringLiteral("Tone"),  QStringLiteral("Type"),  QStringLiteral("Message"),
    QStringLiteral("Data Rate"), QStringLiteral("Preamble"), QStringLiteral("Reapter"), QStringLiteral("bps"),
    QStringLiteral("bits"),    QStringLiteral("times"), QStringLiteral("&Read"), QStringLiteral("&Write"),
    QStringLiteral("&Exit")};

// What Qt's own Open dialog shows, read from its object tree: the labels of its
// folder, name and type boxes, and its buttons, a no-break space read as a space (Qt
// 6.8's French puts one before a colon, Qt 6.4's a plain space).
QStringList openDialogTexts(WindowDriver& driver) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
            texts << dialog->findChild<QLabel*>(QLatin1String(name))->text();
        }
        for (const QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons()) texts << button->text();
        dialog->reject();
    });
    QTest::mouseClick(&driver.control<QPushButton>(QStringLiteral("BtnOpen")), Qt::LeftButton);
    for (QString& text : texts) text.replace(QChar(0x00A0), QLatin1Char(' ')).replace(QChar(0x202F), QLatin1Char(' '));
    return texts;
}

// Without a language file the window, and Qt's own file dialog with it, speak the
// language of the user's locale: German and French built in, English for any other.
// Windows takes the display language, not the locale: there the language is asked for.
TEST_F(WindowLanguageFile, TheLocaleChoosesTheLanguageOfTheWindowAndOfQtsOwnDialogs) {
    const struct {
        QByteArray locale;
        QByteArray language;  // the same asked for, on Windows
        QString title;
        QStringList buttons;  // Read, Write, Exit
        QStringList dialog;   // folder, name and type labels, then the buttons
    } cases[] = {
        {"de_DE.UTF-8", "de", QStringLiteral("Vostrel Programmiergerät V2.01"),
         {QStringLiteral("&Lesen"), QStringLiteral("&Schreiben"), QStringLiteral("&Beenden")},
         {QStringLiteral("Suchen in:"), QStringLiteral("Datei&name:"), QStringLiteral("Dateien des Typs:"),
          QStringLiteral("&Öffnen"), QStringLiteral("Abbrechen")}},
        {"fr_CH.UTF-8", "fr", QStringLiteral("Programmateur Vostrel V2.01"),
         {QStringLiteral("&Lire"), QStringLiteral("É&crire"), QStringLiteral("&Quitter")},
         {QStringLiteral("Voir dans :"), QStringLiteral("&Nom de fichier :"), QStringLiteral("Fichiers de type :"),
          QStringLiteral("&Ouvrir"), QStringLiteral("Annuler")}},
        {"sv_SE.UTF-8", "en", kBuiltInTitle, {QStringLiteral("&Read"), QStringLiteral("&Write"), QStringLiteral("&Exit")},
         {QStringLiteral("Look in:"), QStringLiteral("File &name:"), QStringLiteral("Files of type:"),
          QStringLiteral("&Open"), QStringLiteral("Cancel")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.toStdString());
#ifdef Q_OS_WIN
        qputenv("VOSTREL_LANGUAGE", c.language);
#else
        qputenv("LANG", c.locale);
#endif
        const app::QtTranslations qtTexts(QString::fromStdString(ui::LanguageTexts::ofThisProgram().languageCode()));
        auto driver = openWindow();
        EXPECT_EQ(driver->shownTitle(), c.title);
        EXPECT_EQ(headings(*driver).mid(10), c.buttons);
        EXPECT_EQ(openDialogTexts(*driver), c.dialog);
    }
}

// A language file still wins over the built-in language, text by text; a language asked
// for a run stands alone.
TEST_F(WindowLanguageFile, TheLanguageFileWinsOverTheLocaleAndALanguageAskedForOverBoth) {
    writeFile("[Message]\nCapCode=Rufnummer (eigene)\n");
#ifndef Q_OS_WIN
    qputenv("LANG", "de_DE.UTF-8");
    auto driver = openWindow();
    EXPECT_EQ(headings(*driver).mid(0, 2), (QStringList{QStringLiteral("Rufnummer (eigene)"), QStringLiteral("Ton")}));
    EXPECT_EQ(preambleMessage(*driver).first, QStringLiteral("Fehler"));
#endif
    qputenv("VOSTREL_LANGUAGE", "en");
    EXPECT_EQ(headings(*openWindow()), kBuiltInHeadings);
    qputenv("VOSTREL_LANGUAGE", "fr");
    EXPECT_EQ(headings(*openWindow()).mid(0, 2), (QStringList{QStringLiteral("Adresse RIC"), QStringLiteral("Fonction")}));
}

TEST_F(WindowLanguageFile, MissingFileShowsTheKeysAndTheBuiltInTitles) {
    auto driver = openWindow();
    EXPECT_EQ(headings(*driver), kBuiltInHeadings);
    EXPECT_EQ(pagerTypeChoices(*driver, 16), (QStringList{QStringLiteral("Numeric"), QStringLiteral("Alphnumeric")}));
    EXPECT_EQ(driver->shownTitle(), kBuiltInTitle);
    EXPECT_EQ(preambleMessage(*driver), (ShownMessage{QStringLiteral("Error"), QStringLiteral("Preamble value out of range")}));

    driver->messages().clear();
    driver->setPreamble(QStringLiteral("1000"));
    driver->enterRow(1, {QStringLiteral("12"), 0, 0, QStringLiteral("12345")});
    driver->clickWrite();
    EXPECT_EQ(headlines(driver->messages()), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));
}

// The texts the window had before Open and Save: "&Schreiben" meets Alt+S of the
// untranslated "&Save..." and moves to its next free letter.
TEST_F(WindowLanguageFile, FullTranslationInUtf8ReplacesEveryText) {
    writeFile(
        "; Deutsch\n"
        "[Message]\n"
        "CapCode=Rufnummer\nTone=Ton\nType=Typ\nMessage=Nachricht\nData Rate=Datenrate\n"
        "Preamble=Präambel\nReapter=Wiederholung\nbps=Bit/s\nbits=Bit\ntimes=mal\n"
        "&Read=&Lesen\n&Write=&Schreiben\n&Exit=&Beenden\nNumeric=Numerisch\nAlphnumeric=Alphanumerisch\n"
        "Error=Fehler\nWarn=Warnung\nSuccess=Erfolg\nProgramTitle=Programmiergerät\n"
        "Preamble value out of range=Präambel außerhalb des Bereichs\n"
        "Invalid code '%c' in Item[%02d]=Ungültiges Zeichen '%c' in Zeile %02d\n");
    auto driver = openWindow();
    EXPECT_EQ(headings(*driver),
              (QStringList{QStringLiteral("Rufnummer"), QStringLiteral("Ton"), QStringLiteral("Typ"),
                           QStringLiteral("Nachricht"), QStringLiteral("Datenrate"), QStringLiteral("Präambel"),
                           QStringLiteral("Wiederholung"), QStringLiteral("Bit/s"), QStringLiteral("Bit"),
                           QStringLiteral("mal"), QStringLiteral("&Lesen"), QStringLiteral("S&chreiben"),
                           QStringLiteral("&Beenden")}));
    EXPECT_EQ(pagerTypeChoices(*driver, 1), (QStringList{QStringLiteral("Numerisch"), QStringLiteral("Alphanumerisch")}));
    EXPECT_EQ(driver->shownTitle(), QStringLiteral("Programmiergerät"));
    EXPECT_EQ(preambleMessage(*driver),
              (ShownMessage{QStringLiteral("Fehler"), QStringLiteral("Präambel außerhalb des Bereichs")}));
    driver->setPreamble(QStringLiteral("1000"));
    EXPECT_EQ(invalidCodeMessage(*driver),
              (ShownMessage{QStringLiteral("Fehler"), QStringLiteral("Ungültiges Zeichen 'a' in Zeile 03")}));
}

TEST_F(WindowLanguageFile, PartialFileTranslatesOnlyWhatItLists) {
    writeFile("[MESSAGE]\r\nnumeric = \"Numérique\"\r\n");
    auto driver = openWindow();
    EXPECT_EQ(pagerTypeChoices(*driver, 7), (QStringList{QStringLiteral("Numérique"), QStringLiteral("Alphnumeric")}));
    EXPECT_EQ(headings(*driver), kBuiltInHeadings);
    EXPECT_EQ(driver->shownTitle(), kBuiltInTitle);
}

TEST_F(WindowLanguageFile, Windows1252FileIsReadAsWindows1252) {
    writeFile("[Message]\nPreamble=Pr\xE4" "ambel \x84" "a\x93\nError=Erreur \xE0 corriger \x96 \x80\n");
    auto driver = openWindow();
    EXPECT_EQ(driver->control<QLabel>(QStringLiteral("Label22")).text(), QStringLiteral("Präambel „a“"));
    EXPECT_EQ(preambleMessage(*driver).first, QStringLiteral("Erreur à corriger – €"));
}

TEST_F(WindowLanguageFile, FileBesideTheProgramComesFirstThenTheUsersThenTheSystems) {
    const struct {
        QStringList placesWithAFile;
        QString heading;
    } cases[] = {
#ifndef Q_OS_WIN
        {{QStringLiteral("system2")}, QStringLiteral("system2")},
        {{QStringLiteral("system1"), QStringLiteral("system2")}, QStringLiteral("system1")},
        {{QStringLiteral("user"), QStringLiteral("system1")}, QStringLiteral("user")},
#endif
        {{QStringLiteral("user")}, QStringLiteral("user")},
        {{QStringLiteral("beside"), QStringLiteral("user")}, QStringLiteral("beside")},
    };
    for (const auto& c : cases) {
        for (const QString& place : {QStringLiteral("user"), QStringLiteral("system1"), QStringLiteral("system2")}) {
            QFile::remove(configPath(place));
        }
        QFile::remove(path());
        for (const QString& place : c.placesWithAFile) {
            writeFileAt(place == QLatin1String("beside") ? path() : configPath(place),
                        "[Message]\nCapCode=" + place.toUtf8() + "\n");
        }
        EXPECT_EQ(openWindow()->control<QLabel>(QStringLiteral("Label17")).text(), c.heading) << c.heading.toStdString();
    }
}

TEST_F(WindowLanguageFile, TextsAreShownExactlyAsWritten) {
    writeFile("[Message]\nTone=Typ <b>\nCapCode=<img src=\"/nonexistent.png\">\nbps=<i>bps</i>\n"
              "ProgramTitle=Station [*] <b>7</b> [*][*]\n");
    auto driver = openWindow();
    for (const QLabel* label : driver->window().findChildren<QLabel*>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
    EXPECT_EQ(driver->control<QLabel>(QStringLiteral("Label18")).text(), QStringLiteral("Typ <b>"));
    EXPECT_EQ(driver->shownTitle(), QStringLiteral("Station [*] <b>7</b> [*][*]"));
}

TEST_F(WindowLanguageFile, EmptyValuesGiveEmptyTexts) {
    writeFile("[Message]\nCapCode=\n&Exit=\nAlphnumeric=\nProgramTitle=\nError=\n");
    auto driver = openWindow();
    EXPECT_EQ(driver->control<QLabel>(QStringLiteral("Label17")).text(), QString());
    EXPECT_EQ(driver->control<QPushButton>(QStringLiteral("BtnExit")).text(), QString());
    EXPECT_EQ(pagerTypeChoices(*driver, 2), (QStringList{QStringLiteral("Numeric"), QString()}));
    // The window system puts the program's name in a title it is given empty: it gets
    // a blank, which shows as the empty title.
    EXPECT_EQ(driver->shownTitle(), QStringLiteral(" "));
    EXPECT_EQ(preambleMessage(*driver).first, QString());
}

TEST_F(WindowLanguageFile, ProgramTitleReplacesTheTitleOnlyWhenItNamesAnother) {
    const struct {
        QByteArray line;
        QString title;
    } cases[] = {
        {"ProgramTitle=ProgramTitle", kBuiltInTitle},
        {"PROGRAMTITLE = \"ProgramTitle\"", kBuiltInTitle},
        {"ProgramTitle=programtitle", QStringLiteral("programtitle")},
        {"ProgramTitle=  Station 7 pager  ", QStringLiteral("Station 7 pager")},
        {"; ProgramTitle=commented out", kBuiltInTitle},
    };
    for (const auto& c : cases) {
        writeFile("[Message]\n" + c.line + "\n");
        EXPECT_EQ(openWindow()->shownTitle(), c.title) << c.line.toStdString();
    }
}

TEST_F(WindowLanguageFile, ChangedFileChangesLaterMessagesButNotWhatWasSetAtCreation) {
    writeFile("[Message]\nCapCode=Before\nNumeric=Before\nError=Before\nProgramTitle=Before\n"
              "Preamble value out of range=Before\n");
    auto driver = openWindow();
    writeFile("[Message]\nCapCode=After\nNumeric=After\nError=After\nProgramTitle=After\n"
              "Preamble value out of range=After\n");
    EXPECT_EQ(preambleMessage(*driver), (ShownMessage{QStringLiteral("Before"), QStringLiteral("After")}));
    EXPECT_EQ(driver->control<QLabel>(QStringLiteral("Label17")).text(), QStringLiteral("Before"));
    EXPECT_EQ(driver->type(1).itemText(0), QStringLiteral("Before"));
    // Marked changed by the preamble typed above.
    EXPECT_EQ(driver->shownTitle(), QStringLiteral("Before*"));

    QFile::remove(path());
    EXPECT_EQ(preambleMessage(*driver).second, QStringLiteral("Preamble value out of range"));
}

TEST_F(WindowLanguageFile, TranslationsThatDoNotFitTheirPlaceholdersFallBackToTheBuiltInText) {
    const QString builtIn = QStringLiteral("Invalid code 'a' in Item[03]");
    const struct {
        QByteArray translation;
        QString shown;
    } cases[] = {
        {"%s%s%s%s", builtIn},
        {"Code %c in %n", builtIn},
        {"Code %x %02d", builtIn},
        {"Code %c", builtIn},
        {"Code %c row %02d of %d", builtIn},
        {"Row %02d code %c", builtIn},
        {"Code %5c row %02d", builtIn},
        {"Code %c row %02d %", builtIn},
        {"100%% sure: '%c' in row %02d", QStringLiteral("100% sure: 'a' in row 03")},
        {"Row %d: '%c'", builtIn},
    };
    for (const auto& c : cases) {
        writeFile("[Message]\nInvalid code '%c' in Item[%02d]=" + c.translation + "\n");
        auto driver = openWindow();
        EXPECT_EQ(invalidCodeMessage(*driver).second, c.shown) << c.translation.toStdString();
    }
}

TEST_F(WindowLanguageFile, TextsWithoutPlaceholdersAreShownAsTheyStand) {
    writeFile("[Message]\nPreamble value out of range=Preamble must be 576..1023 (100% = 1023) %s\n");
    auto driver = openWindow();
    EXPECT_EQ(preambleMessage(*driver).second, QStringLiteral("Preamble must be 576..1023 (100% = 1023) %s"));
}

// A portable copy (portable.ini beside the program) reads its language file from there
// alone, and keeps its settings and its backups there too: nothing in the user's folders.
TEST_F(WindowLanguageFile, APortableCopyKeepsItsLanguageFileSettingsAndBackupsBesideTheProgram) {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString marker = program.filePath(QStringLiteral("portable.ini"));
    const QString settings = program.filePath(QStringLiteral("vostrel-programmer.ini"));
    QDir backups(program.filePath(QStringLiteral("backups")));
    const auto cleanUp = [&] {
        QFile::remove(marker);
        QFile::remove(settings);
        backups.removeRecursively();
    };
    // Even when an assertion ends the test: a marker left behind would make every later
    // test's window a portable copy.
    const auto cleanedUpAtTheEnd = qScopeGuard(cleanUp);
    cleanUp();
    // Earlier tests of this process (all of them, under wine) may have saved backups
    // in the user's data folder.
    const QDir userData(qEnvironmentVariable("XDG_DATA_HOME", qEnvironmentVariable("LOCALAPPDATA")));
    ASSERT_TRUE(QDir(userData.filePath(QStringLiteral("vostrel-programmer"))).removeRecursively());
    writeFileAt(marker, "");
    writeFileAt(configPath(QStringLiteral("user")), "[Message]\nCapCode=Rufnummer\n");
    EXPECT_EQ(headings(*openWindow()).front(), QStringLiteral("CapCode"));
    writeFile("[Message]\nCapCode=Rufnummer beside\n");
    auto driver = openWindow();
    EXPECT_EQ(headings(*driver).front(), QStringLiteral("Rufnummer beside"));

    driver->control<QCheckBox>(QStringLiteral("Transliterate")).click();
    driver->enterRow(1, {QStringLiteral("1234567"), 0, 0, QStringLiteral("12345")});
    driver->clickWrite();
    ASSERT_EQ(driver->messages().size(), 1U);
    EXPECT_EQ(driver->messages()[0].first, QStringLiteral("Success"));
    EXPECT_TRUE(QFile(settings).exists());
    EXPECT_EQ(backups.entryList({QStringLiteral("*.bin")}, QDir::Files).size(), 1);  // beside the record of Writes
    EXPECT_FALSE(userData.exists(QStringLiteral("vostrel-programmer")));
    EXPECT_FALSE(QFile(configDirectories_.filePath(QStringLiteral("user/vostrel-programmer/vostrel-programmer.ini"))).exists());
    driver.reset();
}

}  // namespace
}  // namespace vostrel::test

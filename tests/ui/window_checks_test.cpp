// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What the window checks while the user types, before any Write, and its own files:
// Open, Save and a dropped file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#include "config/config_file.h"
#include "files/program_folders.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "image/image_builder.h"
#include "texts/language_file.h"
#include "texts/message_format.h"
#include "tests/ui/window_driver.h"
#include "ui/workings/on_air_figures.h"
#include "ui/workings/row_checks.h"

namespace vostrel::test {
namespace {

using Messages = std::vector<ShownMessage>;

const QColor kProblemTint{255, 214, 214};

class WindowChecks : public testing::Test {
protected:
    QString line() { return driver_.control<QLabel>(QStringLiteral("EepromUse")).text(); }
    bool marked(const QLineEdit& box) const {
        return box.palette().color(QPalette::Base) == kProblemTint && !box.toolTip().isEmpty();
    }

    device::EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
};

TEST(EepromUseLine, CountsTheTransmissionAreaAndNamesTheRowsInUseThatDoNotFit) {
    image::ProgrammerEntries rows;
    for (unsigned row = 0; row < 12; ++row) rows.rows[row].capcode = std::to_string(8 * row + 8);
    image::ProgrammerEntries laterRowInUse = rows;
    laterRowInUse.rows[13].capcode = "9";
    laterRowInUse.rows[15].capcode = "0";  // not in use
    image::ProgrammerEntries labelled = laterRowInUse;
    labelled.labels[11] = "Küche";
    labelled.labels[13] = "Bar";
    labelled.labels[15] = "Reserve";
    const struct {
        image::RowLayout layout;
        image::ProgrammerEntries entries;
        std::vector<std::string> expected;
    } cases[] = {
        {{17, {}, {}, {}, {}}, {}, {"EEPROM: 0 of 238 words used"}},
        {{237, 11, {}, {}, {}}, rows, {"EEPROM: 220 of 238 words used", "row 12 will not fit"}},
        {{237, 11, {}, {}, {}}, laterRowInUse, {"EEPROM: 220 of 238 words used", "rows 12-14 will not fit"}},
        {{237, 11, {}, {}, {}}, labelled, {"EEPROM: 220 of 238 words used", "rows 12-14 will not fit: 12 Küche, 14 Bar"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> line;
        for (const auto& message : ui::eepromUseLine(c.layout, c.entries)) line.push_back(texts::formatMessage(message));
        EXPECT_EQ(line, c.expected);
    }
}

TEST_F(WindowChecks, TypingUpdatesTheLineAndMarksWhatWriteWouldRefuse) {
    EXPECT_EQ(line(), QStringLiteral("EEPROM: 0 of 238 words used"));
    driver_.enterRow(1, {QStringLiteral("8"), 0, 0, QStringLiteral("123")});
    EXPECT_EQ(line(), QStringLiteral("EEPROM: 8 of 238 words used"));

    // Twelve rows of ten words each: eleven fill the image, the twelfth does not fit.
    for (int row = 1; row <= 12; ++row) {
        QLineEdit& capcode = driver_.capCode(row);
        capcode.clear();
        driver_.enterRow(row, {QString::number(1000 + 8 * row + 3), 0, 0, QStringLiteral("45")});
    }
    EXPECT_EQ(line(), QStringLiteral("EEPROM: 220 of 238 words used; row 12 will not fit"));
    driver_.enterRow(14, {QStringLiteral("2097152"), 0, 0, QString()});
    EXPECT_EQ(line(), QStringLiteral("EEPROM: 220 of 238 words used; rows 12-14 will not fit"));
    // Write never looks at a row after the one that does not fit: nothing marks it
    // refused; it is left out.
    EXPECT_FALSE(marked(driver_.capCode(14)));
    EXPECT_EQ(driver_.capCode(14).toolTip(),
              QStringLiteral("<qt>Not stored: rows are stored in order, and row 12 does not fit</qt>"));
    EXPECT_FALSE(marked(driver_.message(14)));

    driver_.typeInto(driver_.message(3), QStringLiteral("<b>"));
    EXPECT_TRUE(marked(driver_.message(3)));
    EXPECT_EQ(driver_.message(3).toolTip(), QStringLiteral("<qt>Invalid code '&lt;' in Item[03]</qt>"));
    EXPECT_FALSE(marked(driver_.capCode(3)));
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"), QStringLiteral("Invalid code '<' in Item[03]")}}));

    // Fixed, the row is unmarked and Write warns as the line said.
    driver_.message(3).setText(QStringLiteral("45"));
    EXPECT_FALSE(marked(driver_.message(3)));
    // Its tooltip is what its pager shows and its time on air again, as that of every
    // stored row; the blanks the pager adds do not run together.
    EXPECT_EQ(driver_.message(3).toolTip(),
              QStringLiteral("<p style=\"white-space:nowrap\">Pager\u00A0shows:\u00A0&quot;45\u00A0\u00A0\u00A0&quot;<br>"
                             "1.119 s × 2 is 2.2 s at 1200 bit/s; preamble 0.9 s; frame 3 adds 0.160 s</p>"));
    driver_.messages().clear();
    transmitter_.setPresence(device::EmulatorPresence::Absent);
    driver_.clickWrite();
    EXPECT_TRUE(driver_.messages().front().second.startsWith(
        QStringLiteral("out of EEPROM size, only 11 items data can be save\nNot stored:\nrow 12 (capcode 1099 A)\n")));
}

// The pager alphabet decides what Write refuses, what transliteration replaces and
// what Read shows; the choice outlives the window.
TEST_F(WindowChecks, ThePagerAlphabetDecidesWhatIsSentAndWhatReadShows) {
    QComboBox& alphabet = driver_.control<QComboBox>(QStringLiteral("Alphabet"));
    QCheckBox& transliterate = driver_.control<QCheckBox>(QStringLiteral("Transliterate"));
    QLineEdit& message = driver_.message(1);
    const QString shownAsU = QStringLiteral("'}' in Item[01] would show as 'ü' on a DE pager");
    driver_.choose(alphabet, 1);  // DE
    driver_.enterRow(1, {QStringLiteral("8"), kToneD, 0, QStringLiteral("Grüße}")});
    EXPECT_TRUE(marked(message));
    EXPECT_EQ(message.toolTip(), QStringLiteral("<qt>%1</qt>").arg(shownAsU.toHtmlEscaped()));
    const image::EepromImage before = transmitter_.eeprom();
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"), shownAsU}}));
    EXPECT_TRUE(message.hasFocus());
    EXPECT_EQ(message.selectedText(), QStringLiteral("}"));
    EXPECT_EQ(transmitter_.eeprom(), before);

    message.setText(QStringLiteral("Grüße"));
    driver_.messages().clear();
    driver_.clickWrite();
    EXPECT_EQ(headlines(driver_.messages()), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));
    const struct {
        int alphabet;
        QString shown;
    } reads[] = {{0, QStringLiteral("Gr}~e")}, {1, QStringLiteral("Grüße")}};
    for (const auto& read : reads) {
        driver_.choose(alphabet, read.alphabet);
        driver_.clickRead();
        EXPECT_EQ(message.text(), read.shown);
    }

    // On a US row ü and ß are refused, or sent replaced; the box says what is sent.
    driver_.choose(alphabet, 0);
    message.setText(QStringLiteral("Grüße"));
    EXPECT_TRUE(marked(message));
    transliterate.click();
    EXPECT_FALSE(marked(message));
    EXPECT_TRUE(message.toolTip().contains(QStringLiteral("Sent as: Gruesse"))) << message.toolTip().toStdString();
    EXPECT_NE(message.palette().color(QPalette::Base), QPalette().color(QPalette::Base));
    driver_.choose(alphabet, 4);  // SE

    WindowDriver next(transmitter_);
    EXPECT_EQ(next.control<QComboBox>(QStringLiteral("Alphabet")).currentText(), QStringLiteral("SE"));
    EXPECT_TRUE(next.control<QCheckBox>(QStringLiteral("Transliterate")).isChecked());
}

std::vector<std::string> formatted(const std::vector<texts::Message>& messages, const std::string& translation) {
    std::vector<std::string> texts;
    for (const auto& message : messages) {
        // A translation whose placeholders do not fit would be dropped for the English text.
        const std::string pattern = texts::lookUpText(translation, message.key.text());
        EXPECT_TRUE(texts::formatPattern(pattern, message.arguments)) << pattern;
        // A key the file cannot hold (one with '=') would never be translated.
        if (!translation.empty()) {
            EXPECT_NE(pattern, message.key.text());
        }
        texts.push_back(texts::formatMessage(pattern, message));
    }
    return texts;
}

// Each row that a Write stores tells, in its message box's tooltip and to a screen
// reader, what its pager will show, in the user's language and as the user types.
TEST(WindowPreview, EachStoredRowTellsWhatItsPagerWillShow) {
    const LanguageFileForTest german(exampleTranslation());
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    const auto described = [&](int row) {
        return QAccessible::queryAccessibleInterface(&driver.message(row))->text(QAccessible::Description);
    };
    driver.enterRow(1, {QStringLiteral("8000"), 0, 0, QStringLiteral("12")});
    EXPECT_EQ(described(1), QStringLiteral("Pager zeigt: „12   “"));
    driver.typeInto(driver.message(1), QStringLiteral("3"));
    EXPECT_EQ(described(1), QStringLiteral("Pager zeigt: „123  “"));

    driver.control<QCheckBox>(QStringLiteral("Transliterate")).click();
    driver.enterRow(2, {QStringLiteral("16"), kToneD, kAlphnumeric, QString()});
    driver.message(2).insert(QStringLiteral("Grüße\a"));  // as pasted
    EXPECT_EQ(described(2), QStringLiteral("Pager zeigt: „Gruesse<BEL>“\nGesendet als: Gruesse\a"));
    EXPECT_TRUE(driver.message(2).toolTip().startsWith(QStringLiteral("<p style=\"white-space:nowrap\">Pager\u00A0zeigt:")));

    driver.enterRow(3, {QStringLiteral("24"), kToneB, 0, QString()});
    EXPECT_EQ(described(3), QStringLiteral("Pager zeigt: „“"));
    // A row a Write refuses shows nothing on a pager: its box tells why.
    driver.message(2).insert(QStringLiteral("°"));
    EXPECT_EQ(described(2), QStringLiteral("Ungültiges Zeichen '°' in Zeile 02; Pager-Alphabete mit diesem Zeichen: FR, ES, IT"));
}

TEST(OnAirFigures, FiguresTheRowsOverFiveSecondsAndWhatBringsThemUnder) {
    const auto alphanumeric = [](const char* capcode, std::size_t length) {
        return image::PagerItem{capcode, 3, paging::PagerType::Alphanumeric, std::string(length, 'A')};
    };
    const struct {
        int rate;
        const char* preamble;
        int repeat;
        image::PagerItem row1;
        unsigned focused;
        std::vector<std::string> line;  // figures, over the limit, remedies
        std::vector<std::string> breakdown;
    } cases[] = {
        // 40 characters at frame 7, 32 codewords: the worked 16 s example.
        {0, "1023", 3, alphanumeric("1234567", 40), 0,
         {"On air: row 1 15.99 s, all rows 16.0 s", "over 5 s, under it with", "2400 bit/s", "repeat 1"},
         {"3.998 s × 4 is 16.0 s at 512 bit/s", "preamble 2.0 s", "frame 7 adds 0.875 s"}},
        {0, "1023", 3, alphanumeric("1234567", 40), 2,
         {"On air: all rows 16.0 s", "row 1 over 5 s, under it with", "2400 bit/s", "repeat 1"}, {}},
        // 6141 bits at 1200 bit/s: each setting alone brings it under.
        {1, "1023", 2, alphanumeric("1234567", 40), 0,
         {"On air: row 1 5.12 s, all rows 5.1 s", "over 5 s, under it with", "2400 bit/s", "repeat 2",
          "preamble 976 bits"},
         {"1.706 s × 3 is 5.1 s at 1200 bit/s", "preamble 0.9 s", "frame 7 adds 0.373 s"}},
        // 129 characters read from a device, 66 codewords: no setting alone is enough.
        {0, "1023", 3, alphanumeric("1234567", 129), 0,
         {"On air: row 1 24.49 s, all rows 24.5 s", "over 5 s, under it with", "2400 bit/s and repeat 3"}, {}},
        // 120 characters at frame 7, 62 codewords: 5 s exactly is not over; one bit more is.
        {0, "576", 0, alphanumeric("15", 120), 0, {"On air: row 1 5.00 s, all rows 5.0 s"},
         {"5.000 s × 1 is 5.0 s at 512 bit/s", "preamble 1.1 s", "frame 7 adds 0.875 s"}},
        {0, "577", 0, alphanumeric("15", 120), 0,
         {"On air: row 1 5.00 s, all rows 5.0 s", "over 5 s, under it with", "1200 bit/s", "preamble 576 bits"}, {}},
        {0, "575", 0, alphanumeric("15", 120), 0, {"Preamble value out of range"}, {}},
    };
    const std::string german = exampleTranslation().toStdString();
    for (const auto& c : cases) {
        image::ProgrammerEntries entries;
        entries.dataRateIndex = c.rate;
        entries.preambleText = c.preamble;
        entries.repeatIndex = c.repeat;
        entries.rows[0] = c.row1;
        const auto planned = image::plannedAirTime(entries, image::layOutRows(entries));
        const ui::OnAirFigures line = ui::onAirFigures(planned, c.focused);
        std::vector<texts::Message> parts = {line.figures};
        if (line.overLimit) parts.push_back(*line.overLimit);
        parts.insert(parts.end(), line.remedies.begin(), line.remedies.end());
        EXPECT_EQ(formatted(parts, ""), c.line) << c.preamble << " " << c.row1.message.size();
        if (!c.breakdown.empty()) {
            const auto& air = std::get<image::AirTime>(planned);
            const auto breakdown = ui::rowBreakdown(air, air.rows.front());
            EXPECT_EQ(formatted(breakdown, ""), c.breakdown);
            const auto breakdownInGerman = formatted(breakdown, german);
            if (&c == &cases[0]) {
                EXPECT_EQ(breakdownInGerman, (std::vector<std::string>{"3,998 s × 4 ergibt 16,0 s bei 512 Bit/s",
                                                                       "Präambel 2,0 s", "Rahmen 7 kostet 0,875 s"}));
            }
        }
        const auto inGerman = formatted(parts, german);
        if (&c == &cases[0]) {
            EXPECT_EQ(inGerman, (std::vector<std::string>{"Sendezeit: Zeile 1 15,99 s, alle Zeilen 16,0 s",
                                                          "über 5 s, darunter mit", "2400 Bit/s", "1-mal"}));
        }
    }
}

TEST_F(WindowChecks, TheLineShowsTheTimeOnAirOfTheRowBeingEditedAndFollowsTheSettings) {
    QLabel& onAir = driver_.control<QLabel>(QStringLiteral("OnAir"));
    EXPECT_EQ(onAir.text(), QStringLiteral("On air: all rows 0.0 s"));
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("DataRate")), 0);
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("Repeater")), 3);
    driver_.setPreamble(QStringLiteral("1023"));
    driver_.enterRow(1, {QStringLiteral("1234567"), 0, kAlphnumeric, QStringLiteral("The quick brown fox jumps over 13 dogs..")});
    EXPECT_EQ(onAir.text(),
              QStringLiteral("On air: row 1 15.99 s, all rows 16.0 s; over 5 s, under it with 2400 bit/s or repeat 1"));
    EXPECT_EQ(driver_.message(1).toolTip(),
              QStringLiteral("<p style=\"white-space:nowrap\">Pager\u00A0shows:\u00A0&quot;The\u00A0quick\u00A0brown\u00A0fox\u00A0"
                             "jumps\u00A0over\u00A013\u00A0dogs..&quot;<br>"
                             "3.998 s × 4 is 16.0 s at 512 bit/s; preamble 2.0 s; frame 7 adds 0.875 s</p>"));

    driver_.choose(driver_.control<QComboBox>(QStringLiteral("DataRate")), 2);
    EXPECT_EQ(onAir.text(), QStringLiteral("On air: row 1 3.41 s, all rows 3.4 s"));
    driver_.typeInto(driver_.capCode(2), QStringLiteral("8"));
    EXPECT_EQ(onAir.text(), QStringLiteral("On air: row 2 1.86 s, all rows 5.3 s"));
    driver_.message(2).setFocus();
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("Repeater")), 0);
    EXPECT_EQ(onAir.text(), QStringLiteral("On air: row 2 0.47 s, all rows 1.3 s"));
    driver_.capCode(3).setFocus();
    EXPECT_EQ(onAir.text(), QStringLiteral("On air: all rows 1.3 s"));
}

TEST_F(WindowChecks, CapcodeBoxesTakeOnlyDigitsTypedOrPasted) {
    const struct {
        QString typed;
        QString pasted;
        QString expected;
    } cases[] = {
        {QStringLiteral("12345G7"), QString(), QStringLiteral("123457")},
        {QStringLiteral("0x10"), QString(), QStringLiteral("010")},
        {QStringLiteral("12"), QStringLiteral("34"), QStringLiteral("1234")},
        {QStringLiteral("12"), QStringLiteral(" 34"), QStringLiteral("12")},
        {QString(), QStringLiteral("abc"), QString()},
    };
    for (const auto& c : cases) {
        QLineEdit& box = driver_.capCode(5);
        box.clear();
        driver_.typeInto(box, c.typed);
        if (!c.pasted.isEmpty()) {
            QApplication::clipboard()->setText(c.pasted);
            box.paste();
        }
        EXPECT_EQ(box.text(), c.expected) << c.typed.toStdString() << " + " << c.pasted.toStdString();
    }
}

// The window's texts and choices; the message boxes' limits are left to the row rules.
WindowView contentsOf(WindowView view) {
    for (RowView& row : view.rows) row.messageLimit = 0, row.messageReadOnly = false;
    return view;
}

void writeFile(const QString& path, const std::string& bytes) {
    ASSERT_FALSE(files::writeWholeFile(QFile::encodeName(path).toStdString(), bytes));
}

class WindowFiles : public WindowChecks {
protected:
    QString path(const char* name) const { return directory_.filePath(QString::fromLatin1(name)); }
    // As messages name it: with the system's separators.
    QString named(const char* name) const { return QDir::toNativeSeparators(path(name)); }
    void enterEveryKindOfRow() {
        driver_.enterRow(1, {QStringLiteral("1234"), 0, 0, QStringLiteral("0123456789")});
        driver_.enterRow(2, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("Cafe \"12\" \\ # ; ~")});
        driver_.enterRow(5, {QStringLiteral("2097151"), kToneB, 0, QString()});
        driver_.enterRow(7, {QString(), 0, 0, QStringLiteral("99")});
        driver_.choose(driver_.control<QComboBox>(QStringLiteral("DataRate")), 2);
        driver_.choose(driver_.control<QComboBox>(QStringLiteral("Repeater")), 3);
        driver_.setPreamble(QStringLiteral("600"));
    }

    QTemporaryDir directory_;
};

TEST_F(WindowFiles, SaveThenOpenGivesBackTheWindowAndBuildsWhatWriteSends) {
    enterEveryKindOfRow();
    const WindowView saved = driver_.view();
    driver_.window().saveFile(path("pages.conf"));
    driver_.clickWrite();
    EXPECT_EQ(headlines(driver_.messages()), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));

    WindowDriver opened(transmitter_);
    opened.window().openFile(path("pages.conf"));
    EXPECT_TRUE(opened.messages().empty());
    EXPECT_EQ(contentsOf(opened.view()), contentsOf(saved));

    const auto text = files::readWholeFile(QFile::encodeName(path("pages.conf")).toStdString(), files::kMaxFileBytes);
    const auto entries = config::parseConfig(std::get<std::string>(text));
    const auto built = std::get<image::BuiltImage>(image::buildImage(std::get<image::ProgrammerEntries>(entries)));
    for (unsigned word = 0; word < built.usedWords; ++word) {
        EXPECT_EQ(built.image.word(word), transmitter_.eeprom().word(word)) << "word " << word;
    }
}

// A restaurant's sixteen guest pagers as the vendor delivers them: the rows a Write
// leaves out are tinted, each with why and what alone would make it fit, and the line
// names them with their labels; its tooltip has what the site could do.
TEST_F(WindowFiles, RowsThatDoNotFitSayWhyAndWhatWouldFit) {
    QString site = QStringLiteral("[Settings]\nDataRate = 1200\n");
    for (int row = 1; row <= 16; ++row) {
        site += QStringLiteral("[Item%1]\nLabel = \"Tisch %2%4\"\nCapCode = %3\nMessage = \"%2\"\n")
                    .arg(rowSuffix(row))
                    .arg(row)
                    .arg(100000 + row)
                    .arg(row == 16 ? QStringLiteral(" am Fenster, hinten links") : QString());
    }
    writeFile(path("restaurant.conf"), site.toStdString());
    driver_.window().openFile(path("restaurant.conf"));
    ASSERT_TRUE(driver_.messages().empty());
    const QLabel& use = driver_.control<QLabel>(QStringLiteral("EepromUse"));
    const QString whole = QStringLiteral("EEPROM: 226 of 238 words used; rows 12-16 will not fit: 12 Tisch 12, 13 Tisch "
                                         "13, 14 Tisch 14, 15 Tisch 15, 16 Tisch 16 am Fenster, hinten links");
    EXPECT_TRUE(whole.startsWith(line().chopped(1))) << line().toStdString();
    EXPECT_TRUE(use.toolTip().contains(whole.toHtmlEscaped())) << use.toolTip().toStdString();
    EXPECT_TRUE(use.toolTip().contains(QStringLiteral("all 16 rows fit on 2 transmitters<br>transmitter 1: rows 1-11<br>"
                                                      "transmitter 2: rows 12-16<br>The data rate, preamble and repeat "
                                                      "do not change what fits")))
        << use.toolTip().toStdString();

    const QColor leftOutTint{255, 222, 173};
    for (int row = 11; row <= 16; ++row) {
        for (const QLineEdit* box : {&driver_.capCode(row), &driver_.message(row)}) {
            EXPECT_EQ(box->palette().color(QPalette::Base) == leftOutTint, row > 11) << row;
        }
    }
    const QString why = QStringLiteral(
        "<p style=\"white-space:nowrap\">Not stored: this call takes 24 words, 12 are left<br>"
        "24 words: 16 wait for the pager's frame 4 (capcode mod 8), 2 carry the message, 6 are sync, address and "
        "end<br>row 12 fits with a capcode that leaves 1 or less when divided by 8, where its pager's capcode can be "
        "chosen</p>");
    EXPECT_EQ(driver_.capCode(12).toolTip(), why);
    EXPECT_EQ(driver_.message(12).toolTip(), why);
    EXPECT_TRUE(driver_.capCode(13).toolTip().contains(QStringLiteral("row 12 does not fit")));

    // A label longer than its box shows its start.
    EXPECT_EQ(driver_.control<QLineEdit>(QStringLiteral("RowLabel16")).cursorPosition(), 0);
}

// A site list replaces every row and label or, when a cell fails, nothing; Ctrl+Z takes
// an import back; labels from a list fill only empty labels; an export is what the
// command-line tool reads back.
TEST_F(WindowFiles, SiteListsImportWholeOrNotAtAllAndLabelsComeFromLists) {
    driver_.enterRow(1, {QStringLiteral("99"), 0, 0, QStringLiteral("1")});
    QCoreApplication::processEvents();  // each change is a step of its own once handled
    const WindowView before = driver_.view();
    // As German Excel saves it: ';' and Windows-1252.
    writeFile(path("bad.csv"), "Rufnummer;Ton;Nachricht;Bezeichnung\r\n8;;12;K\xFC" "che\r\n1234567A;B;;Tor\r\n");
    driver_.window().importList(path("bad.csv"));
    EXPECT_EQ(driver_.view(), before);
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"),
                                             QStringLiteral("The list cannot be imported; the rows are as they were\n") +
                                                 named("bad.csv") +
                                                 QStringLiteral(": line 3, column 2 (row 2): CapCode 1234567A names "
                                                                "Tone A, but Tone is B")}}));
    driver_.messages().clear();

    writeFile(path("site.csv"), "Rufnummer;Ton;Nachricht;Bezeichnung;Notiz\r\n8;;12;K\xFC" "che;x\r\n0200208 d;;Hallo;;\r\n");
    driver_.window().importList(path("site.csv"));
    QCoreApplication::processEvents();
    std::array<QString, 16> labels;
    labels[0] = QStringLiteral("K\u00FCche");
    const WindowView shown = driver_.view();
    EXPECT_EQ(shown.labels, labels);
    EXPECT_EQ(shown.rows[0].capCode, QStringLiteral("8"));
    EXPECT_EQ(shown.rows[0].message, QStringLiteral("12"));
    EXPECT_EQ(shown.rows[1].capCode, QStringLiteral("0200208"));
    EXPECT_EQ(shown.rows[1].tone, kToneD);
    EXPECT_EQ(shown.rows[1].type, kAlphnumeric);
    EXPECT_EQ(shown.rows[2].capCode, QString());
    EXPECT_EQ(driver_.messages(),
              (Messages{{QStringLiteral("Warn"), named("site.csv") + QStringLiteral(" is not UTF-8 and was read as Windows-1252")},
                        {QStringLiteral("Warn"), QStringLiteral("Some columns of the list are not used\n"
                                                                "column 5 'Notiz' is not used\n"
                                                                "Headings read: Row, Label, CapCode, Tone, Type, "
                                                                "Message, Alphabet")}}));
    QTest::keyClick(&driver_.window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(driver_.view(), before);
    QTest::keyClick(&driver_.window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(driver_.view(), shown);
    driver_.messages().clear();

    writeFile(path("filters.ini"), "[Filter]\n2,\"0000008\",\"Schon da\",\"\",0\n2,\"0200208\",\"RFS - Blayney\",\"\",0\n");
    driver_.window().labelsFromList(path("filters.ini"));
    EXPECT_EQ(driver_.view().labels[0], QStringLiteral("K\u00FCche"));
    EXPECT_EQ(driver_.view().labels[1], QStringLiteral("RFS - Blayney"));
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Success"), QStringLiteral("Labels for 1 rows from the list")}}));

    driver_.window().exportList(path("out.csv"));
    const auto exported = files::readWholeFile(QFile::encodeName(path("out.csv")).toStdString(), files::kMaxFileBytes);
    EXPECT_EQ(std::get<std::string>(exported),
              "\xEF\xBB\xBFRow;Label;CapCode;Tone;Type;Message\r\n1;K\xC3\xBC" "che;8;A;Numeric;12\r\n"
              "2;RFS - Blayney;0200208;D;Alphanumeric;Hallo\r\n");
}

// Save writes every character as typed, even one Write refuses, with the alphabets;
// Open gives back the same window, a row's own alphabet included.
TEST_F(WindowFiles, SaveKeepsEveryCharacterAndOpenGivesBackTheAlphabets) {
    writeFile(path("site.conf"),
              "[Settings]\nAlphabet = DE\nTransliterate = yes\n"
              "[Item02]\nCapCode = 16\nTone = D\nAlphabet = SE\nMessage = \"Hej p\xC3\xA5 dig, \xC3\x85sa\"\n");
    driver_.window().openFile(path("site.conf"));
    EXPECT_EQ(driver_.control<QComboBox>(QStringLiteral("Alphabet")).currentText(), QStringLiteral("DE"));
    EXPECT_FALSE(marked(driver_.message(2)));
    EXPECT_TRUE(driver_.message(2).toolTip().contains(QStringLiteral("Pager alphabet of this row: SE")));
    driver_.enterRow(3, {QStringLiteral("24"), kToneD, 0, QStringLiteral("ab")});
    driver_.message(3).insert(QStringLiteral("😀 € Grüße"));  // as pasted: keys carry no character beyond U+FFFF
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"), QStringLiteral("Invalid code '😀' in Item[03]")}}));
    EXPECT_EQ(driver_.message(3).selectedText(), QStringLiteral("😀"));

    driver_.window().saveFile(path("saved.conf"));
    const auto saved = files::readWholeFile(QFile::encodeName(path("saved.conf")).toStdString(), files::kMaxFileBytes);
    EXPECT_NE(std::get<std::string>(saved).find("Repeat = 2\nAlphabet = DE\nTransliterate = yes\n"), std::string::npos);
    EXPECT_NE(std::get<std::string>(saved).find("Alphabet = SE\nMessage = \"Hej p\xC3\xA5 dig, \xC3\x85sa\"\n"),
              std::string::npos);
    EXPECT_NE(std::get<std::string>(saved).find("Message = \"ab\xF0\x9F\x98\x80 \xE2\x82\xAC Gr\xC3\xBC\xC3\x9F" "e\"\n"),
              std::string::npos);
    WindowDriver opened(transmitter_);
    opened.window().openFile(path("saved.conf"));
    EXPECT_EQ(contentsOf(opened.view()), contentsOf(driver_.view()));
    EXPECT_EQ(opened.message(2).toolTip(), driver_.message(2).toolTip());
}

// The site's name, which no box shows, stays through a Read (the transmitter does not
// hold it) and goes into the next file the window saves.
TEST_F(WindowFiles, TheSiteNameOfAConfigurationStaysForSave) {
    writeFile(path("site.conf"), "[Settings]\nSite = \"Gasthof \\\"Zur Post\\\"\"\n[Item01]\nCapCode = 8\n");
    driver_.window().openFile(path("site.conf"));
    driver_.clickWrite();
    driver_.clickRead();
    driver_.window().saveFile(path("saved.conf"));
    const auto saved = files::readWholeFile(QFile::encodeName(path("saved.conf")).toStdString(), files::kMaxFileBytes);
    EXPECT_NE(std::get<std::string>(saved).find("Repeat = 2\nSite = \"Gasthof \\\"Zur Post\\\"\"\n"), std::string::npos);
}

// A configuration saved in Windows-1252 opens as its UTF-8 twin would, and the window
// says once that it guessed.
TEST_F(WindowFiles, AWindows1252ConfigurationOpensAndTheGuessIsSaid) {
    writeFile(path("utf8.conf"), "[Settings]\nAlphabet = DE\n[Item01]\nCapCode = 8\nMessage = \"Gr\xC3\xBC\xC3\x9F" "e\"\n");
    writeFile(path("cp1252.conf"), "[Settings]\nAlphabet = DE\n[Item01]\nCapCode = 8\nMessage = \"Gr\xFC\xDF" "e\"\n");
    driver_.window().openFile(path("utf8.conf"));
    const WindowView fromUtf8 = driver_.view();
    EXPECT_TRUE(driver_.messages().empty());
    WindowDriver opener(transmitter_);
    opener.window().openFile(path("cp1252.conf"));
    EXPECT_EQ(opener.view(), fromUtf8);
    EXPECT_EQ(opener.messages(), (Messages{{QStringLiteral("Warn"), named("cp1252.conf") +
                                                                         QStringLiteral(" is not UTF-8 and was read as Windows-1252")}}));
}

TEST_F(WindowFiles, OpenShowsAnImageFileAsReadShowsTheTransmitter) {
    enterEveryKindOfRow();
    driver_.clickWrite();
    image::EepromImage erased;
    erased.bytes.fill(0xFF);
    for (const image::EepromImage& contents : {transmitter_.eeprom(), erased}) {
        transmitter_.setEeprom(contents);
        WindowDriver reader(transmitter_);
        reader.clickRead();
        writeFile(path("eeprom.bin"), std::string(contents.bytes.begin(), contents.bytes.end()));
        WindowDriver opener(transmitter_);
        opener.window().openFile(path("eeprom.bin"));
        EXPECT_EQ(opener.view(), reader.view());
        // A Read names its transmitter beneath; an Open, the file it opened.
        EXPECT_EQ(headlines(opener.messages()), headlines(reader.messages()));
    }
}

TEST_F(WindowFiles, FilesThatCannotBeOpenedOrSavedAreReportedAndTheWindowStaysAsItWas) {
    enterEveryKindOfRow();
    const WindowView typed = driver_.view();
    writeFile(path("bad.conf"), "[Item01]\nCapCode = 12345G7\n");
    writeFile(path("mixed.conf"), "# Gr\xC3\xBC\xC3\x9F" "e\n# \x96\n");
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.conf")).constData(), 0600), 0);
#endif
    const struct {
        const char* what;
        std::function<void(TForm1&)> act;
        QString expected;
    } cases[] = {
        {"missing file", [&](TForm1& w) { w.openFile(path("missing.conf")); },
         QStringLiteral("The file cannot be read\n") + named("missing.conf")},
        {"configuration error", [&](TForm1& w) { w.openFile(path("bad.conf")); },
         QStringLiteral("The file is no configuration or EEPROM image\n") + named("bad.conf") +
             QStringLiteral(":2: CapCode must be decimal digits, or empty for a row not in use, not '12345G7'")},
#ifndef _WIN32  // Windows has no FIFOs in its file system
        {"FIFO, which would keep the window waiting", [&](TForm1& w) { w.openFile(path("fifo.conf")); },
         QStringLiteral("The file cannot be read\n") + named("fifo.conf") + QStringLiteral(": not a regular file")},
#endif
        {"a file of UTF-8 text with one Windows-1252 byte", [&](TForm1& w) { w.openFile(path("mixed.conf")); },
         QStringLiteral("The file is no configuration or EEPROM image\n") + named("mixed.conf") +
             QStringLiteral(": line 2, column 3: byte 0x96 is not UTF-8, while line 1, column 5 holds the UTF-8 "
                            "character 'ü' (U+00FC); save the file as UTF-8")},
        {"save into a missing directory", [&](TForm1& w) { w.saveFile(path("none/pages.conf")); },
         QStringLiteral("The file cannot be saved\n") + named("none/pages.conf")},
        {"site sheet into a missing directory", [&](TForm1& w) { w.exportSheet(path("none/sheet.pdf")); },
         QStringLiteral("The file cannot be saved\n") + named("none/sheet.pdf")},
    };
    for (const auto& c : cases) {
        driver_.messages().clear();
        c.act(driver_.window());
        ASSERT_EQ(driver_.messages().size(), 1U) << c.what;
        EXPECT_EQ(driver_.messages().front().first, QStringLiteral("Error")) << c.what;
        EXPECT_TRUE(driver_.messages().front().second.startsWith(c.expected))
            << c.what << ": " << driver_.messages().front().second.toStdString();
        EXPECT_EQ(driver_.view(), typed) << c.what;
    }
}

// The site sheet records what a Write stores: rows a Write refuses give no sheet.
TEST_F(WindowFiles, NoSiteSheetOfRowsAWriteRefuses) {
    driver_.enterRow(1, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("5 €")});
    driver_.window().exportSheet(path("sheet.pdf"));
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"), QStringLiteral("Invalid code '€' in Item[01]; replacing special characters sends it as 'EUR'")}}));
    EXPECT_FALSE(QFile::exists(path("sheet.pdf")));
}

// A settings file nobody may write, even root, stays as it is, as every other file
// the tool writes does: the choices made are then not remembered.
TEST(RememberedChoices, ASettingsFileNobodyMayWriteStaysAsItIs) {
    const auto settingsFile = files::programPlaces().settingsFile();
    ASSERT_TRUE(settingsFile);
    const QString path = QString::fromStdString(files::utf8Name(*settingsFile));
    const QByteArray kept = "[Window]\nAlphabet=DE\n";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kept);
    }
    // The tests after this one in the same program (all of them, on Windows) remember
    // their choices in this file.
    const auto removeFile = qScopeGuard([&] {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(path);
    });
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly));
    {
        device::EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        EXPECT_EQ(driver.control<QComboBox>(QStringLiteral("Alphabet")).currentText(), QStringLiteral("DE"));
        driver.choose(driver.control<QComboBox>(QStringLiteral("Alphabet")), 4);
        driver.control<QCheckBox>(QStringLiteral("Transliterate")).click();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kept);
    const auto userPermissions = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    EXPECT_EQ(QFile::permissions(path) & ~userPermissions, readOnly);
}

// Drops the file on `target` as a file manager would.
void dropFile(QWidget& target, const QString& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    data.setText(file);
    const QPoint middle = target.rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted()) << file.toStdString();
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
}

TEST_F(WindowFiles, AFileDroppedOnTheWindowOrIntoABoxIsOpened) {
    writeFile(path("a.conf"), "[Item01]\nCapCode = 11\n");
    writeFile(path("b.conf"), "[Item01]\nCapCode = 22\n");
    const struct {
        QWidget* target;
        const char* file;
        QString expected;
    } cases[] = {
        {&driver_.window(), "a.conf", QStringLiteral("11")},
        {&driver_.message(4), "b.conf", QStringLiteral("22")},
    };
    for (const auto& c : cases) {
        dropFile(*c.target, path(c.file));
        EXPECT_EQ(driver_.capCode(1).text(), c.expected) << c.file;
    }
    EXPECT_TRUE(driver_.message(4).text().isEmpty());
}

// Images whose header bytes read as text a configuration skips: byte 0, the
// preamble's low byte, is '#' (803) or ';' (827), a comment whatever byte 1 holds; or
// a tab (777), a newline (778) or a blank (800), and byte 1 is '#' (2400 bit/s, repeat
// 1). Opened or dropped, each shows what Read shows of it, never an empty window.
TEST_F(WindowFiles, AnImageWhoseHeaderReadsAsACommentOpensAsAnImage) {
    struct Header {
        const char* preamble;
        int rateIndex;
        int repeatIndex;
    };
    std::vector<Header> headers;
    for (const char* preamble : {"803", "827"}) {
        for (int rate = 0; rate < 3; ++rate) {
            for (int repeat = 0; repeat < 4; ++repeat) headers.push_back({preamble, rate, repeat});
        }
    }
    for (const char* preamble : {"777", "778", "800"}) headers.push_back({preamble, 2, 0});
    for (const Header& header : headers) {
        SCOPED_TRACE(std::string("preamble ") + header.preamble + ", rate " + std::to_string(header.rateIndex) +
                     ", repeat " + std::to_string(header.repeatIndex));
        image::ProgrammerEntries entries;
        entries.preambleText = header.preamble;
        entries.dataRateIndex = header.rateIndex;
        entries.repeatIndex = header.repeatIndex;
        entries.rows[1] = {"1234567", 0, paging::PagerType::Numeric, "12 34-5U"};
        entries.rows[4] = {"8", 3, paging::PagerType::Alphanumeric, "Gruss"};
        const image::EepromImage image = std::get<image::BuiltImage>(image::buildImage(entries)).image;
        transmitter_.setEeprom(image);
        WindowDriver reader(transmitter_);
        reader.clickRead();
        ASSERT_EQ(reader.capCode(5).text(), QStringLiteral("8"));
        writeFile(path("eeprom.bin"), std::string(image.bytes.begin(), image.bytes.end()));

        WindowDriver opener(transmitter_);
        opener.window().openFile(path("eeprom.bin"));
        EXPECT_EQ(opener.view(), reader.view());
        EXPECT_TRUE(opener.messages().empty());
        WindowDriver dropper(transmitter_);
        dropFile(dropper.window(), path("eeprom.bin"));
        EXPECT_EQ(dropper.view(), reader.view());
        EXPECT_TRUE(dropper.messages().empty());
    }
}

}  // namespace
}  // namespace vostrel::test

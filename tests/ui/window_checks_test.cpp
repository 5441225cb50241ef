// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What the window checks while the user types, before any Write, and its own files:
// Open, Save and a dropped file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "config/config_file.h"
#include "files/whole_file.h"
#include "image/image_builder.h"
#include "texts/message_format.h"
#include "tests/ui/window_driver.h"
#include "ui/row_checks.h"

namespace vostrel::test {
namespace {

using Messages = std::vector<ShownMessage>;

constexpr int kToneD = 3, kToneB = 1;
constexpr int kAlphnumeric = 1;
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
    image::PagerRows rows;
    for (unsigned row = 0; row < 12; ++row) rows[row].capcode = std::to_string(8 * row + 8);
    image::PagerRows laterRowInUse = rows;
    laterRowInUse[13].capcode = "9";
    laterRowInUse[15].capcode = "0";  // not in use
    const struct {
        image::RowLayout layout;
        image::PagerRows rows;
        std::vector<std::string> expected;
    } cases[] = {
        {{17, {}, {}, {}, {}}, {}, {"EEPROM: 0 of 238 words used"}},
        {{237, 11, {}, {}, {}}, rows, {"EEPROM: 220 of 238 words used", "row 12 will not fit"}},
        {{237, 11, {}, {}, {}}, laterRowInUse, {"EEPROM: 220 of 238 words used", "rows 12-14 will not fit"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> line;
        for (const auto& message : ui::eepromUseLine(c.layout, c.rows)) line.push_back(texts::formatMessage(message));
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
    EXPECT_TRUE(marked(driver_.capCode(14)));
    EXPECT_EQ(driver_.capCode(14).toolTip(), QStringLiteral("<qt>CapCode out of range in Item[14]</qt>"));
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
    EXPECT_TRUE(driver_.message(3).toolTip().isEmpty());
    driver_.messages().clear();
    transmitter_.setPresence(device::EmulatorPresence::Absent);
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages().front().second, QStringLiteral("out of EEPROM size, only 11 items data can be save"));
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
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));
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
    EXPECT_EQ(message.toolTip(), QStringLiteral("<qt>Sent as: Gruesse</qt>"));
    EXPECT_NE(message.palette().color(QPalette::Base), QPalette().color(QPalette::Base));
    driver_.choose(alphabet, 4);  // SE

    WindowDriver next(transmitter_);
    EXPECT_EQ(next.control<QComboBox>(QStringLiteral("Alphabet")).currentText(), QStringLiteral("SE"));
    EXPECT_TRUE(next.control<QCheckBox>(QStringLiteral("Transliterate")).isChecked());
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
    EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));

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

// Save writes every character as typed, even one Write refuses, with the alphabets;
// Open gives back the same window, a row's own alphabet included.
TEST_F(WindowFiles, SaveKeepsEveryCharacterAndOpenGivesBackTheAlphabets) {
    writeFile(path("site.conf"),
              "[Settings]\nAlphabet = DE\nTransliterate = yes\n"
              "[Item02]\nCapCode = 16\nTone = D\nAlphabet = SE\nMessage = \"Hej p\xC3\xA5 dig, \xC3\x85sa\"\n");
    driver_.window().openFile(path("site.conf"));
    EXPECT_EQ(driver_.control<QComboBox>(QStringLiteral("Alphabet")).currentText(), QStringLiteral("DE"));
    EXPECT_FALSE(marked(driver_.message(2)));
    EXPECT_EQ(driver_.message(2).toolTip(), QStringLiteral("<qt>Pager alphabet of this row: SE</qt>"));
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
        EXPECT_EQ(opener.messages(), reader.messages());
    }
}

TEST_F(WindowFiles, FilesThatCannotBeOpenedOrSavedAreReportedAndTheWindowStaysAsItWas) {
    enterEveryKindOfRow();
    const WindowView typed = driver_.view();
    writeFile(path("bad.conf"), "[Item01]\nCapCode = 12345G7\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.conf")).constData(), 0600), 0);
    const struct {
        const char* what;
        std::function<void(TForm1&)> act;
        QString expected;
    } cases[] = {
        {"missing file", [&](TForm1& w) { w.openFile(path("missing.conf")); },
         QStringLiteral("The file cannot be read\n") + path("missing.conf")},
        {"configuration error", [&](TForm1& w) { w.openFile(path("bad.conf")); },
         QStringLiteral("The file is no configuration or EEPROM image\n") + path("bad.conf") +
             QStringLiteral(":2: CapCode must be decimal digits, or empty for a row not in use, not '12345G7'")},
        {"FIFO, which would keep the window waiting", [&](TForm1& w) { w.openFile(path("fifo.conf")); },
         QStringLiteral("The file cannot be read\n") + path("fifo.conf") + QStringLiteral(": not a regular file")},
        {"save into a missing directory", [&](TForm1& w) { w.saveFile(path("none/pages.conf")); },
         QStringLiteral("The file cannot be saved\n") + path("none/pages.conf")},
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
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path(c.file))});
        data.setText(path(c.file));
        const QPoint middle = c.target->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &enter);
        EXPECT_TRUE(enter.isAccepted()) << c.file;
        QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.target, &drop);
        EXPECT_EQ(driver_.capCode(1).text(), c.expected) << c.file;
    }
    EXPECT_TRUE(driver_.message(4).text().isEmpty());
}

}  // namespace
}  // namespace vostrel::test

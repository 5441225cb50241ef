// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// What the user typed is not lost: labels stay with their pagers through a Read and an
// opened image, and closing or opening over unsaved work asks first.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "image/image_builder.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using Messages = std::vector<ShownMessage>;
using ui::SaveAnswer;

const QString kProgramTitle = QStringLiteral("Vostrel programmer rev  V2.01");

// A site of four labelled rows, the third without a pager.
const QByteArray kSite =
    "[Settings]\nSite = \"Haus am See\"\n"
    "[Item01]\nLabel = \"T\xC3\xBCr\"\nCapCode = 1234\nMessage = \"1\"\n"
    "[Item02]\nLabel = \"Nachtdienst\"\nCapCode = 8\nTone = D\nType = Alphanumeric\nMessage = \"Hallo\"\n"
    "[Item03]\nLabel = \"Reserve\"\n"
    "[Item04]\nLabel = \"Alt\"\nCapCode = 555\nMessage = \"2\"\n";

void writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WorkKept : public testing::Test {
protected:
    void SetUp() override { writeFile(path("site.conf"), kSite); }

    QString path(const char* name) const { return directory_.filePath(QString::fromLatin1(name)); }
    static QLineEdit& label(WindowDriver& driver, int row) {
        return driver.control<QLineEdit>(QStringLiteral("RowLabel") + rowSuffix(row));
    }
    static std::map<int, QString> labels(WindowDriver& driver) {
        std::map<int, QString> shown;
        for (int row = 1; row <= 16; ++row) {
            if (!label(driver, row).text().isEmpty()) shown[row] = label(driver, row).text();
        }
        return shown;
    }
    // Keys go where the focus is, as the user's do.
    static void press(WindowDriver& driver, const QKeySequence& keys) {
        driver.activate();
        driver.capCode(1).setFocus(Qt::TabFocusReason);
        QTest::keySequence(QApplication::focusWidget(), keys);
    }

    device::EmulatedTransmitter transmitter_;
    QTemporaryDir directory_;
};

// The transmitter holds the night pager in row 1 and the door in row 6; the pager of
// "Alt" is gone.
TEST_F(WorkKept, LabelsStayWithTheirPagersThroughAReadAndAnOpenedImage) {
    image::ProgrammerEntries held;
    held.rows[0] = {"8", 3, paging::PagerType::Alphanumeric, "Hallo"};
    held.rows[5] = {"1234", 0, paging::PagerType::Numeric, "1"};
    const image::EepromImage heldImage = std::get<image::BuiltImage>(image::buildImage(held)).image;
    transmitter_.setEeprom(heldImage);
    writeFile(path("held.bin"), QByteArray(reinterpret_cast<const char*>(heldImage.bytes.data()),
                                           static_cast<qsizetype>(heldImage.bytes.size())));
    const struct {
        const char* what;
        std::function<void(WindowDriver&)> replace;
    } cases[] = {
        {"Read", [](WindowDriver& driver) { driver.clickRead(); }},
        {"opened image", [this](WindowDriver& driver) { driver.window().openFile(path("held.bin")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WindowDriver driver(transmitter_);
        driver.window().openFile(path("site.conf"));
        QApplication::processEvents();  // the Open is a step of its own, as between two clicks
        const WindowView before = driver.view();
        c.replace(driver);
        EXPECT_EQ(labels(driver), (std::map<int, QString>{
                                      {1, QStringLiteral("Nachtdienst")}, {3, QStringLiteral("Reserve")}, {6, QStringLiteral("Tür")}}));
        EXPECT_EQ(driver.capCode(6).text(), QStringLiteral("1234"));
        EXPECT_EQ(driver.messages(),
                  (Messages{{QStringLiteral("Warn"),
                             QStringLiteral("No row calls the pager of these labels any more, so they were left out "
                                            "(Ctrl+Z brings them back): \"Alt\" (555 A)")}}));
        // The site's name stays too, for the next Save.
        driver.window().saveFile(path("saved.conf"));
        EXPECT_TRUE(contentsOf(path("saved.conf")).contains("Site = \"Haus am See\"\n"));
        press(driver, QKeySequence::Undo);
        EXPECT_EQ(driver.view(), before);
    }
}

// Exit, the close box and Open ask Save, Discard or Cancel when the window holds what
// was not saved, and only then.
TEST_F(WorkKept, LeavingUnsavedWorkAsksFirst) {
    const QString unnamed = QStringLiteral("The rows, settings and labels in the window are not saved. Save them?");
    const QString named = QStringLiteral("The changes to site.conf are not saved. Save them?");
    writeFile(path("other.conf"), "[Item01]\nCapCode = 4711\n");
    const auto closeBox = [](WindowDriver& driver) { driver.window().close(); };
    const auto exitButton = [](WindowDriver& driver) {
        driver.clickExit();
        QApplication::processEvents();
    };
    const auto open = [this](WindowDriver& driver) { driver.window().openFile(path("other.conf")); };
    const auto typed = [](WindowDriver& driver) { driver.typeInto(driver.capCode(2), QStringLiteral("99")); };
    const auto labelledSite = [this](WindowDriver& driver) {
        driver.window().openFile(path("site.conf"));
        driver.typeInto(label(driver, 5), QStringLiteral("Küche"));
    };
    const struct {
        const char* what;
        std::function<void(WindowDriver&)> work;
        std::function<void(WindowDriver&)> leave;
        SaveAnswer answer;
        QString question;  // empty: none asked
        bool left;         // the window closed, or the other file is open
    } cases[] = {
        {"nothing changed, close box", [](WindowDriver&) {}, closeBox, SaveAnswer::Cancel, {}, true},
        {"typed, close box, Cancel", typed, closeBox, SaveAnswer::Cancel, unnamed, false},
        {"typed, Exit, Discard", typed, exitButton, SaveAnswer::Discard, unnamed, true},
        {"typed, Open, Cancel", typed, open, SaveAnswer::Cancel, unnamed, false},
        {"typed, Open, Discard", typed, open, SaveAnswer::Discard, unnamed, true},
        {"typed and undone, close box",
         [&](WindowDriver& driver) {
             typed(driver);
             press(driver, QKeySequence::Undo);
         },
         closeBox, SaveAnswer::Cancel, {}, true},
        {"typed and saved, Open",
         [&](WindowDriver& driver) {
             typed(driver);
             driver.window().saveFile(path("typed.conf"));
         },
         open, SaveAnswer::Cancel, {}, true},
        {"a label typed into an opened site, close box, Save", labelledSite, closeBox, SaveAnswer::Save, named, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path("site.conf"), kSite);
        WindowDriver driver(transmitter_);
        driver.window().show();
        c.work(driver);
        const WindowView worked = driver.view();
        driver.presenter().saveAnswer = c.answer;
        c.leave(driver);
        if (c.question.isEmpty()) {
            EXPECT_TRUE(driver.presenter().saveQuestions.empty());
        } else {
            EXPECT_EQ(driver.presenter().saveQuestions, (Messages{{QStringLiteral("Warn"), c.question}}));
            EXPECT_EQ(driver.presenter().saveButtons,
                      (QStringList{QStringLiteral("&Save"), QStringLiteral("&Discard"), QStringLiteral("Cancel")}));
        }
        const bool opened = driver.capCode(1).text() == QStringLiteral("4711");
        EXPECT_EQ(!driver.window().isVisible() || opened, c.left);
        if (!c.left) {
            EXPECT_EQ(driver.view(), worked);
        }
        EXPECT_TRUE(driver.messages().empty());
    }
    // The answer Save wrote the label into the file the window had open.
    EXPECT_TRUE(contentsOf(path("site.conf")).contains("[Item05]\nLabel = \"K\xC3\xBC" "che\"\n"));
}

TEST_F(WorkKept, TheTitleNamesTheFileAndMarksChanges) {
    WindowDriver driver(transmitter_);
    EXPECT_EQ(driver.shownTitle(), kProgramTitle);
    driver.typeInto(driver.capCode(1), QStringLiteral("8"));
    EXPECT_EQ(driver.shownTitle(), kProgramTitle + QStringLiteral("*"));
    driver.window().openFile(path("site.conf"));  // the question answered Discard
    EXPECT_EQ(driver.shownTitle(), QStringLiteral("site.conf \u2013 ") + kProgramTitle);
    driver.window().sayTransmitterIsEmulated(QStringLiteral("/data/eeprom [*].bin"));
    driver.typeInto(label(driver, 1), QStringLiteral("!"));
    EXPECT_EQ(driver.shownTitle(), QStringLiteral("site.conf* \u2013 ") + kProgramTitle +
                                       QStringLiteral(" \u2013 emulated transmitter, EEPROM in /data/eeprom [*].bin"));
    driver.window().saveFile(path("copy.conf"));
    EXPECT_TRUE(driver.shownTitle().startsWith(QStringLiteral("copy.conf \u2013 ")));
}

}  // namespace
}  // namespace vostrel::test

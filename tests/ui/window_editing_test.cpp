// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Undo and redo of every kind of change, and rows copied and pasted as tab-separated
// text, all through the keys a user presses.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using Messages = std::vector<ShownMessage>;

const QKeySequence kRedo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);

class WindowEditing : public testing::Test {
protected:
    // Keys go where the focus is, as the user's do.
    void press(const QKeySequence& keys) {
        driver_.activate();
        QTest::keySequence(QApplication::focusWidget(), keys);
    }
    void paste(QLineEdit& box, const QString& text) {
        QApplication::clipboard()->setText(text);
        box.setFocus(Qt::TabFocusReason);
        press(QKeySequence::Paste);
    }
    RowView& row(WindowView& view, int number) { return view.rows[static_cast<std::size_t>(number - 1)]; }

    device::EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
    QTemporaryDir directory_;
};

TEST_F(WindowEditing, EveryChangeIsUndoneAndRedoneAsOneStep) {
    // The transmitter holds rows for Read, a file others for Open.
    driver_.enterRow(5, {QStringLiteral("55"), kToneD, kAlphnumeric, QStringLiteral("READ BACK")});
    driver_.clickWrite();
    const QString file = directory_.filePath(QStringLiteral("rows.conf"));
    driver_.window().saveFile(file);
    {
        QFile config(file);
        ASSERT_TRUE(config.open(QIODevice::Append));
        config.write("[Item09]\nCapCode = 99\n");
    }
    driver_.capCode(5).clear();
    driver_.message(5).clear();
    driver_.messages().clear();

    const struct {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        {"typing a capcode", [&] { driver_.typeInto(driver_.capCode(1), QStringLiteral("1234")); }},
        {"typing a message", [&] { driver_.typeInto(driver_.message(1), QStringLiteral("5678")); }},
        {"a type, with the rules over every row", [&] { driver_.choose(driver_.type(1), kAlphnumeric); }},
        {"tone B, which empties the message", [&] { driver_.choose(driver_.tone(1), kToneB); }},
        {"the preamble", [&] { driver_.setPreamble(QStringLiteral("600")); }},
        {"the data rate", [&] { driver_.choose(driver_.control<QComboBox>(QStringLiteral("DataRate")), 0); }},
        {"Read, over every row", [&] { driver_.clickRead(); }},
        {"Open, over every row", [&] { driver_.window().openFile(file); }},
        {"a paste of two rows", [&] { paste(driver_.capCode(3), QStringLiteral("7\tD\tAlphnumeric\tHI\n8\n")); }},
    };
    std::vector<WindowView> views = {driver_.view()};
    for (const auto& step : steps) {
        step.change();
        QCoreApplication::processEvents();
        views.push_back(driver_.view());
        ASSERT_NE(views.back(), views[views.size() - 2]) << step.what;
        press(QKeySequence::Undo);
        EXPECT_EQ(driver_.view(), views[views.size() - 2]) << step.what;
        press(kRedo);
        EXPECT_EQ(driver_.view(), views.back()) << step.what;
    }
    EXPECT_TRUE(driver_.messages().empty());
    // All the way back, and forward again.
    for (std::size_t step = views.size() - 1; step > 0; --step) {
        press(QKeySequence::Undo);
        EXPECT_EQ(driver_.view(), views[step - 1]) << steps[step - 1].what;
    }
    for (std::size_t step = 1; step < views.size(); ++step) press(QKeySequence::Redo);
    EXPECT_EQ(driver_.view(), views.back());
}

// An Open brings a row's own pager alphabet from the file; its Undo takes it back
// with the rows, so that the row as it was is checked and saved as before.
TEST_F(WindowEditing, UndoOfAnOpenBringsBackTheRowsOwnAlphabets) {
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("Alphabet")), 1);  // DE
    driver_.enterRow(1, {QStringLiteral("8"), kToneD, kAlphnumeric, QString()});
    driver_.message(1).insert(QStringLiteral("Grüße"));
    QCoreApplication::processEvents();
    const QString file = directory_.filePath(QStringLiteral("site.conf"));
    {
        QFile config(file);
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("[Settings]\nAlphabet = DE\n[Item01]\nCapCode = 8\nTone = D\nAlphabet = US\nMessage = \"Hi}\"\n");
    }
    const auto saved = [&] {
        const QString path = directory_.filePath(QStringLiteral("saved.conf"));
        driver_.window().saveFile(path);
        QFile config(path);
        return config.open(QIODevice::ReadOnly) ? QString::fromUtf8(config.readAll()) : QString();
    };
    driver_.window().openFile(file);
    QCoreApplication::processEvents();
    ASSERT_TRUE(saved().contains(QStringLiteral("Alphabet = US")));
    press(QKeySequence::Undo);
    EXPECT_EQ(driver_.message(1).text(), QStringLiteral("Grüße"));
    EXPECT_FALSE(saved().contains(QStringLiteral("Alphabet = US")));
    driver_.clickWrite();
    EXPECT_EQ(headlines(driver_.messages()), (Messages{{QStringLiteral("Success"), QStringLiteral("Data write completed")}}));
    press(kRedo);
    EXPECT_EQ(driver_.message(1).text(), QStringLiteral("Hi}"));
    EXPECT_TRUE(saved().contains(QStringLiteral("Alphabet = US")));

    // An Open that changes only the box typed into last is a step of its own all the same.
    driver_.typeInto(driver_.message(1), QStringLiteral("!"));
    QCoreApplication::processEvents();
    {
        QFile config(file);
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("[Settings]\nAlphabet = DE\n[Item01]\nCapCode = 8\nTone = D\nAlphabet = US\nMessage = \"Hi} 2\"\n");
    }
    driver_.window().openFile(file);
    QCoreApplication::processEvents();
    press(QKeySequence::Undo);
    EXPECT_EQ(driver_.message(1).text(), QStringLiteral("Hi}!"));
}

TEST_F(WindowEditing, PastedRowsAreCheckedCellByCellAsTypingWouldBe) {
    const auto refused = [](int line, int column) {
        return QStringLiteral("Line %1, column %2 of the clipboard does not fit its box").arg(line).arg(column);
    };
    const struct {
        const char* what;
        QString clipboard;
        int firstRow;
        std::function<void(WindowView&)> expected;  // none when refused
        QString message;
    } cases[] = {
        {"two rows from a spreadsheet, Windows line ends",
         QStringLiteral("1234\tA\tNumeric\t0123\r\n8\tD\tAlphnumeric\tHELLO\r\n"), 3,
         [&](WindowView& v) {
             row(v, 3) = {QStringLiteral("1234"), 0, 0, QStringLiteral("0123"), 20, false};
             row(v, 4) = {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("HELLO"), 40, false};
         },
         {}},
        {"the type as configuration files name it, a tone in lower case, the other following",
         QStringLiteral("5\td\t\tx\n6\t\talphanumeric\n"), 1,
         [&](WindowView& v) {
             row(v, 1) = {QStringLiteral("5"), kToneD, kAlphnumeric, QStringLiteral("x"), 40, false};
             row(v, 2) = {QStringLiteral("6"), kToneD, kAlphnumeric, QString(), 40, false};
         },
         {}},
        {"a quoted message with quotation marks", QStringLiteral("9\tD\tAlphnumeric\t\"\"\"a\"\" b\"\n"), 16,
         [&](WindowView& v) {
             row(v, 16) = {QStringLiteral("9"), kToneD, kAlphnumeric, QStringLiteral("\"a\" b"), 40, false};
         },
         {}},
        {"capcodes alone: the other cells stay", QStringLiteral("11\n\n"), 7,
         [&](WindowView& v) { row(v, 7).capCode = QStringLiteral("11"); }, {}},
        {"a tone-only row", QStringLiteral("7\tB\tNumeric\t\n"), 2,
         [&](WindowView& v) { row(v, 2) = {QStringLiteral("7"), kToneB, 0, QString(), 0, true}; }, {}},
        {"two rows, classic Mac OS line ends", QStringLiteral("21\tA\tNumeric\t5\r22\tA\r"), 5,
         [&](WindowView& v) {
             row(v, 5) = {QStringLiteral("21"), 0, 0, QStringLiteral("5"), 20, false};
             row(v, 6) = {QStringLiteral("22"), 0, 0, QString(), 20, false};
         },
         {}},
        {"a letter copied as its base letter and a combining mark, which counts once",
         QStringLiteral("8\tD\tAlphnumeric\t") + QString(39, QLatin1Char('x')) + QStringLiteral("A\u0308\n"), 1,
         [&](WindowView& v) {
             row(v, 1) = {QStringLiteral("8"), kToneD, kAlphnumeric, QString(39, QLatin1Char('x')) + QStringLiteral("\u00C4"),
                          40, false};
         },
         {}},
        {"a capcode with a letter", QStringLiteral("1\tA\n12a4\tA\n"), 1, nullptr, refused(2, 1)},
        {"a capcode of eight digits", QStringLiteral("12345678\tA\n"), 1, nullptr, refused(1, 1)},
        {"one cell of eight digits, which the box would cut short", QStringLiteral("12345678\n"), 1, nullptr,
         refused(1, 1)},
        {"an unknown tone", QStringLiteral("7\tE\n"), 1, nullptr, refused(1, 2)},
        {"tone D in a numeric row", QStringLiteral("7\tD\tNumeric\n"), 1, nullptr, refused(1, 3)},
        {"a tab in a quoted message, which no key types", QStringLiteral("9\tD\tAlphnumeric\t\"a\tb\"\n"), 1,
         nullptr, refused(1, 4)},
        {"a numeric message of 21 characters", QStringLiteral("7\tA\tNumeric\t123456789012345678901\n"), 1, nullptr,
         refused(1, 4)},
        {"a message in a tone-only row", QStringLiteral("7\tC\t\t1\n"), 1, nullptr, refused(1, 4)},
        {"a label as the fifth cell", QStringLiteral("7\tA\tNumeric\t1\tK\u00FCche\n"), 2,
         [&](WindowView& v) {
             row(v, 2) = {QStringLiteral("7"), 0, 0, QStringLiteral("1"), 20, false};
             v.labels[1] = QStringLiteral("K\u00FCche");
         },
         {}},
        {"a label of 41 characters", QStringLiteral("7\tA\tNumeric\t1\t") + QString(41, QLatin1Char('L')) +
                                          QStringLiteral("\n"), 1, nullptr, refused(1, 5)},
        {"a sixth cell", QStringLiteral("7\tA\tNumeric\t1\tK\u00FCche\tX\n"), 1, nullptr, refused(1, 6)},
        {"more lines than rows below", QStringLiteral("1\n2\n3\n"), 15, nullptr,
         QStringLiteral("3 rows do not fit from row 15 on")},
        // Far more than sixteen rows could hold is refused before it is read cell by
        // cell (42 MB once held the window for 13 s).
        {"more lines than the window has rows", QStringLiteral("1\n").repeated(100000), 1, nullptr,
         QStringLiteral("100000 rows do not fit from row 01 on")},
        {"one line far longer than a row", QString(300000, QLatin1Char('7')), 1, nullptr,
         QStringLiteral("The clipboard holds 300000 characters, too many to paste")},
    };
    for (const auto& c : cases) {
        driver_.messages().clear();
        const WindowView before = driver_.view();
        paste(driver_.capCode(c.firstRow), c.clipboard);
        QCoreApplication::processEvents();
        WindowView expected = before;
        if (c.expected) {
            c.expected(expected);
            EXPECT_TRUE(driver_.messages().empty()) << c.what;
        } else {
            EXPECT_EQ(driver_.messages(), (Messages{{QStringLiteral("Error"), c.message}})) << c.what;
        }
        EXPECT_EQ(driver_.view(), expected) << c.what;
        if (!c.expected) continue;
        press(QKeySequence::Undo);
        EXPECT_EQ(driver_.view(), before) << c.what;
        press(kRedo);
        EXPECT_EQ(driver_.view(), expected) << c.what;
    }
}

TEST_F(WindowEditing, RowsSelectedWithShiftCopyAsTextAndPasteBack) {
    driver_.enterRow(2, {QStringLiteral("1234"), kToneB, 0, QString()});
    driver_.enterRow(3, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("\"Quoted\" here")});
    driver_.capCode(2).setFocus(Qt::TabFocusReason);
    QTest::keyClick(&driver_.capCode(2), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), &driver_.capCode(3));
    press(QKeySequence::Copy);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, QStringLiteral("1234\tB\tNumeric\t\t\n8\tD\tAlphnumeric\t\"\"\"Quoted\"\" here\"\t\n"));

    // Selected text in one box is copied as text.
    driver_.message(3).setFocus(Qt::TabFocusReason);
    driver_.message(3).setSelection(0, 3);
    press(QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\"Qu"));

    QApplication::clipboard()->setText(copied);
    driver_.tone(10).setFocus(Qt::TabFocusReason);
    press(QKeySequence::Paste);
    WindowView view = driver_.view();
    EXPECT_EQ(row(view, 10), row(view, 2));
    EXPECT_EQ(row(view, 11), row(view, 3));
}

}  // namespace
}  // namespace vostrel::test

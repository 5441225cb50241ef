// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The preamble box takes digits where the user expects, however it was entered.

#include <QTest>
#include <gtest/gtest.h>

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

class PreambleBox : public testing::Test {
protected:
    device::EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
    QLineEdit& preamble_ = driver_.control<QLineEdit>(QStringLiteral("Preamble"));
};

TEST_F(PreambleBox, ClickBehindTheBlanksOfAnEmptyBoxStillTakesTheDigits) {
    preamble_.clear();
    QTest::mouseClick(&preamble_, Qt::LeftButton, {}, QPoint(preamble_.width() - 4, preamble_.height() / 2));
    QTest::keyClicks(&preamble_, QStringLiteral("600"));
    EXPECT_EQ(preamble_.displayText(), QStringLiteral("600 "));
}

TEST_F(PreambleBox, ClickBetweenTheDigitsKeepsTheCursorThere) {
    preamble_.setText(QStringLiteral("60"));
    constexpr int kTextStart = 4;  // frame and margin before the first character
    const int afterFirstDigit = kTextStart + preamble_.fontMetrics().horizontalAdvance(QLatin1Char('6'));
    QTest::mouseClick(&preamble_, Qt::LeftButton, {}, QPoint(afterFirstDigit, preamble_.height() / 2));
    EXPECT_EQ(preamble_.cursorPosition(), 1);
    QTest::keyClicks(&preamble_, QStringLiteral("5"));
    EXPECT_EQ(preamble_.displayText(), QStringLiteral("65  "));
}

TEST_F(PreambleBox, EnteringItFromTheKeyboardReplacesTheWholeNumber) {
    driver_.control<QComboBox>(QStringLiteral("DataRate")).setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &preamble_);
    QTest::keyClicks(&preamble_, QStringLiteral("576"));
    EXPECT_EQ(preamble_.displayText(), QStringLiteral("576 "));
}

// A digit of another script would reach the image as '?' and the number be read up to
// it: "600\u0663" would be written as 600.
TEST_F(PreambleBox, DigitBoxesTakeAsciiDigitsOnly) {
    const struct {
        QLineEdit& box;
        QString typed;
        QString shown;
    } cases[] = {
        {preamble_, QStringLiteral("9x87654"), QStringLiteral("9876")},
        {preamble_, QStringLiteral("600\u0663"), QStringLiteral("600 ")},
        {preamble_, QStringLiteral("\uFF16\u0967\u0660"), QStringLiteral("    ")},
        {driver_.capCode(1), QStringLiteral("12\u06634"), QStringLiteral("124")},
        {driver_.capCode(2), QStringLiteral("\uFF11\uFF12x7"), QStringLiteral("7")},
    };
    for (const auto& c : cases) {
        c.box.clear();
        c.box.setFocus();
        QTest::keyClick(&c.box, Qt::Key_Home);
        typeCharacters(c.box, c.typed);
        EXPECT_EQ(c.box.displayText(), c.shown) << c.typed.toStdString();
    }
}

}  // namespace
}  // namespace vostrel::test

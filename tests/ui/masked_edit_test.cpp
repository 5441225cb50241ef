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

TEST_F(PreambleBox, TakesNoMoreThanFourDigitsAndNoLetters) {
    preamble_.clear();
    preamble_.setFocus();
    QTest::keyClick(&preamble_, Qt::Key_Home);
    QTest::keyClicks(&preamble_, QStringLiteral("9x87654"));
    EXPECT_EQ(preamble_.displayText(), QStringLiteral("9876"));
}

}  // namespace
}  // namespace vostrel::test

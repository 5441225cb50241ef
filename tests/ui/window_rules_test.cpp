// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The row rules as the user triggers them in the window, in every row.

#include <gtest/gtest.h>

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

const QString kFortyCharacters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");

class WindowRowRules : public testing::TestWithParam<int> {
protected:
    int row() const { return GetParam(); }
    // The window as it starts, with this row changed as `change` says.
    WindowView startingViewWith(const std::function<void(RowView&)>& change) {
        WindowView view = initial_;
        change(view.rows[static_cast<std::size_t>(row() - 1)]);
        return view;
    }

    device::EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
    const WindowView initial_ = driver_.view();
};

TEST_P(WindowRowRules, AlphnumericForcesToneDAndFortyCharactersNumericCutsToTwenty) {
    driver_.choose(driver_.type(row()), kAlphnumeric);
    driver_.typeInto(driver_.message(row()), kFortyCharacters + QStringLiteral("overflow"));
    EXPECT_EQ(driver_.view(), startingViewWith([&](RowView& r) {
                  r = {QString(), kToneD, kAlphnumeric, kFortyCharacters, 40, false};
              }));

    driver_.choose(driver_.type(row()), 0);
    EXPECT_EQ(driver_.view(), startingViewWith([&](RowView& r) {
                  r = {QString(), kToneA, 0, kFortyCharacters.left(20), 20, false};
              }));
}

TEST_P(WindowRowRules, ToneBEmptiesTheMessageAndToneAMakesItEditableAgain) {
    driver_.typeInto(driver_.message(row()), QStringLiteral("12345"));
    driver_.choose(driver_.tone(row()), kToneB);
    EXPECT_EQ(driver_.view(), startingViewWith([](RowView& r) { r = {QString(), kToneB, 0, QString(), 0, true}; }));

    driver_.typeInto(driver_.message(row()), QStringLiteral("9"));
    EXPECT_EQ(driver_.message(row()).text(), QString());

    driver_.choose(driver_.tone(row()), kToneA);
    EXPECT_EQ(driver_.view(), initial_);
}

TEST_P(WindowRowRules, ToneDMakesANumericRowAlphanumeric) {
    driver_.typeInto(driver_.message(row()), QStringLiteral("123"));
    driver_.choose(driver_.tone(row()), kToneD);
    EXPECT_EQ(driver_.view(), startingViewWith([](RowView& r) {
                  r = {QString(), kToneD, kAlphnumeric, QStringLiteral("123"), 40, false};
              }));
}

TEST_P(WindowRowRules, AChangeInOneRowAppliesTheRulesToEveryOtherRow) {
    // Rows set from code (as a Read does) keep states the rules would not give.
    const int other = row() % 16 + 1;
    driver_.message(other).setText(QStringLiteral("777"));
    driver_.tone(other).setCurrentIndex(kToneB);
    driver_.type(row()).setCurrentIndex(kAlphnumeric);
    EXPECT_EQ(driver_.tone(row()).currentIndex(), kToneA) << "a selection from code ran the rules";
    EXPECT_EQ(driver_.message(row()).maxLength(), 20);
    EXPECT_EQ(driver_.type(other).currentIndex(), 0);
    EXPECT_FALSE(driver_.message(other).isReadOnly());

    driver_.choose(driver_.type(row()), kAlphnumeric);
    const WindowView after = driver_.view();
    EXPECT_EQ(after.rows[static_cast<std::size_t>(other - 1)], (RowView{QString(), kToneB, 0, QString(), 0, true}));
    EXPECT_EQ(after.rows[static_cast<std::size_t>(row() - 1)], (RowView{QString(), kToneD, kAlphnumeric, QString(), 40, false}));
}

INSTANTIATE_TEST_SUITE_P(EveryRow, WindowRowRules, testing::Range(1, 17));

TEST(WindowRowRules, ToneChangeInOneRowRestoresTheStateOfAnAlphanumericRowReadWithToneA) {
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    driver.type(7).setCurrentIndex(kAlphnumeric);
    driver.message(7).setText(QStringLiteral("HELLO"));
    driver.choose(driver.tone(2), kToneB);
    EXPECT_EQ(driver.view().rows[6], (RowView{QString(), kToneA, 0, QStringLiteral("HELLO"), 20, false}));
}

}  // namespace
}  // namespace vostrel::test

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The row rules as the window runs them: the user's choice in any row's type or tone
// list runs them over all sixteen rows, a selection made from code never does. What
// the rules decide is tested with them (tests/image/row_rules_test.cpp).

#include <gtest/gtest.h>

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

const QString kFortyCharacters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");

class WindowRowRules : public testing::TestWithParam<int> {
protected:
    int row() const { return GetParam(); }
    RowView& shown(WindowView& view, int row) { return view.rows[static_cast<std::size_t>(row - 1)]; }

    // Every other row set from code, as a Read sets it, to a state the rules would
    // change; the window then shows it as set.
    void setOtherRowsFromCode(int tone, int type, const QString& message) {
        WindowView expected = driver_.view();
        for (int other = 1; other <= 16; ++other) {
            if (other == row()) continue;
            driver_.message(other).setText(message);
            driver_.type(other).setCurrentIndex(type);
            driver_.tone(other).setCurrentIndex(tone);
            shown(expected, other) = {QString(), tone, type, message, 20, false};
        }
        ASSERT_EQ(driver_.view(), expected) << "a selection from code ran the rules";
    }
    // The window with every other row as `others` and this row as `mine`.
    WindowView viewWith(const RowView& others, const RowView& mine) {
        WindowView view = initial_;
        for (RowView& each : view.rows) each = others;
        shown(view, row()) = mine;
        return view;
    }

    device::EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
    const WindowView initial_ = driver_.view();
};

TEST_P(WindowRowRules, ChoosingATypeRunsTheTypeRuleOverEveryRow) {
    setOtherRowsFromCode(kToneB, 0, QStringLiteral("777"));
    const RowView toneOnly{QString(), kToneB, 0, QString(), 0, true};

    driver_.choose(driver_.type(row()), kAlphnumeric);
    driver_.typeInto(driver_.message(row()), kFortyCharacters + QStringLiteral("overflow"));
    EXPECT_EQ(driver_.view(), viewWith(toneOnly, {QString(), kToneD, kAlphnumeric, kFortyCharacters, 40, false}));

    driver_.choose(driver_.type(row()), 0);
    EXPECT_EQ(driver_.view(), viewWith(toneOnly, {QString(), kToneA, 0, kFortyCharacters.left(20), 20, false}));
}

TEST_P(WindowRowRules, ChoosingAToneRunsTheToneRuleOverEveryRow) {
    setOtherRowsFromCode(kToneA, kAlphnumeric, QStringLiteral("HELLO"));
    const RowView numeric{QString(), kToneA, 0, QStringLiteral("HELLO"), 20, false};
    driver_.typeInto(driver_.message(row()), QStringLiteral("123"));

    driver_.choose(driver_.tone(row()), kToneD);
    EXPECT_EQ(driver_.view(), viewWith(numeric, {QString(), kToneD, kAlphnumeric, QStringLiteral("123"), 40, false}));

    driver_.choose(driver_.tone(row()), kToneC);
    driver_.typeInto(driver_.message(row()), QStringLiteral("9"));
    EXPECT_EQ(driver_.view(), viewWith(numeric, {QString(), kToneC, 0, QString(), 0, true}));
}

INSTANTIATE_TEST_SUITE_P(EveryRow, WindowRowRules, testing::Range(1, 17));

}  // namespace
}  // namespace vostrel::test

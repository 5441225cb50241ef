// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/row_rules.h"

#include <gtest/gtest.h>

namespace vostrel::ui {
namespace {

using paging::PagerType;
constexpr PagerType N = PagerType::Numeric;
constexpr PagerType X = PagerType::Alphanumeric;

// One row before a change, and the row after the type rule and after the tone rule.
struct RuleCase {
    RowChoice before;
    RowState afterTypeRule;
    RowState afterToneRule;
};

TEST(RowRules, TypeRuleForcesToneDOnAlphanumericAndToneRuleLetsTheToneDecideTheType) {
    const RuleCase cases[] = {
        {{ToneA, N}, {{ToneA, N}, 20}, {{ToneA, N}, 20}},
        {{ToneB, N}, {{ToneB, N}, 0}, {{ToneB, N}, 0}},
        {{ToneC, N}, {{ToneC, N}, 0}, {{ToneC, N}, 0}},
        {{ToneD, N}, {{ToneA, N}, 20}, {{ToneD, X}, 40}},
        {{ToneA, X}, {{ToneD, X}, 40}, {{ToneA, N}, 20}},
        {{ToneB, X}, {{ToneD, X}, 40}, {{ToneB, N}, 0}},
        {{ToneC, X}, {{ToneD, X}, 40}, {{ToneC, N}, 0}},
        {{ToneD, X}, {{ToneD, X}, 40}, {{ToneD, X}, 40}},
    };
    for (const RuleCase& c : cases) {
        const auto row = testing::Message() << "tone " << c.before.tone << " type " << int(c.before.type);
        EXPECT_EQ(applyTypeRule(c.before), c.afterTypeRule) << row;
        EXPECT_EQ(applyToneRule(c.before), c.afterToneRule) << row;
    }
}

}  // namespace
}  // namespace vostrel::ui

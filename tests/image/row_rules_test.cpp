// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/row_rules.h"

#include <gtest/gtest.h>

namespace vostrel::image {
namespace {

using paging::PagerType;
constexpr PagerType N = PagerType::Numeric;
constexpr PagerType X = PagerType::Alphanumeric;
constexpr auto kAlphaWithoutD = RowBreach::AlphanumericWithoutToneD;
constexpr auto kDWithoutAlpha = RowBreach::ToneDWithoutAlphanumeric;

// Every tone and type: the row after the window's type rule and tone rule, and what a
// reader of rows makes of it when the source gives both, the tone alone (the type
// follows it) or the type alone (the tone follows it, from A).
struct RuleCase {
    RowChoice row;
    RowState afterTypeRule;
    RowState afterToneRule;
    std::optional<RowBreach> bothGiven;
    RowChoice toneGiven;
    RowChoice typeGiven;
};

TEST(RowRules, TheWindowsRulesAndTheCheckOfARowReadFromASource) {
    const RuleCase cases[] = {
        {{ToneA, N}, {{ToneA, N}, 20}, {{ToneA, N}, 20}, std::nullopt, {ToneA, N}, {ToneA, N}},
        {{ToneB, N}, {{ToneB, N}, 0}, {{ToneB, N}, 0}, std::nullopt, {ToneB, N}, {ToneA, N}},
        {{ToneC, N}, {{ToneC, N}, 0}, {{ToneC, N}, 0}, std::nullopt, {ToneC, N}, {ToneA, N}},
        {{ToneD, N}, {{ToneA, N}, 20}, {{ToneD, X}, 40}, kDWithoutAlpha, {ToneD, X}, {ToneA, N}},
        {{ToneA, X}, {{ToneD, X}, 40}, {{ToneA, N}, 20}, kAlphaWithoutD, {ToneA, N}, {ToneD, X}},
        {{ToneB, X}, {{ToneD, X}, 40}, {{ToneB, N}, 0}, kAlphaWithoutD, {ToneB, N}, {ToneD, X}},
        {{ToneC, X}, {{ToneD, X}, 40}, {{ToneC, N}, 0}, kAlphaWithoutD, {ToneC, N}, {ToneD, X}},
        {{ToneD, X}, {{ToneD, X}, 40}, {{ToneD, X}, 40}, std::nullopt, {ToneD, X}, {ToneD, X}},
    };
    using Completed = std::variant<PagerItem, RowBreach>;
    const auto choiceOf = [](const Completed& completed) -> std::optional<RowChoice> {
        const auto* item = std::get_if<PagerItem>(&completed);
        if (item == nullptr) return std::nullopt;
        return RowChoice{item->tone, item->type};
    };
    for (const RuleCase& c : cases) {
        const auto row = testing::Message() << "tone " << c.row.tone << " type " << int(c.row.type);
        EXPECT_EQ(applyTypeRule(c.row), c.afterTypeRule) << row;
        EXPECT_EQ(applyToneRule(c.row), c.afterToneRule) << row;

        const PagerItem item{"8", c.row.tone, c.row.type, ""};
        EXPECT_EQ(completeRow(item, {}), c.bothGiven ? Completed{*c.bothGiven} : Completed{item}) << row;
        EXPECT_EQ(choiceOf(completeRow(item, {.tone = true, .type = false})), c.toneGiven) << row;
        EXPECT_EQ(choiceOf(completeRow(item, {.tone = false, .type = true})), c.typeGiven) << row;

        // Tones B and C are tone-only calls: a message there is refused.
        const PagerItem withMessage{"8", c.toneGiven.tone, c.toneGiven.type, "1"};
        const auto completed = completeRow(withMessage, {});
        const bool toneOnly = c.row.tone == ToneB || c.row.tone == ToneC;
        EXPECT_EQ(completed, toneOnly ? Completed{RowBreach::MessageOnToneOnlyCall} : Completed{withMessage}) << row;
    }
}

}  // namespace
}  // namespace vostrel::image

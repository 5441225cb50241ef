// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/row_rules.h"

namespace vostrel::image {
namespace {

using paging::PagerType;

// A numeric row carries a message under tone A only; B and C are tone-only calls.
RowState numericRow(unsigned tone) {
    return {{tone, PagerType::Numeric}, tone == ToneA ? kNumericMessageLimit : 0};
}

RowState alphanumericRow() {
    return {{ToneD, PagerType::Alphanumeric}, kAlphanumericMessageLimit};
}

}  // namespace

RowState applyTypeRule(RowChoice row) {
    if (row.type == PagerType::Alphanumeric) return alphanumericRow();
    return numericRow(row.tone == ToneD ? ToneA : row.tone);
}

RowState applyToneRule(RowChoice row) {
    if (row.tone == ToneD) return alphanumericRow();
    return numericRow(row.tone);
}

std::variant<PagerItem, RowBreach> completeRow(PagerItem row, GivenChoices given) {
    // A type alone chooses its tone as a fresh row's type list would: from tone A.
    if (given.type && !given.tone) row.tone = applyTypeRule({ToneA, row.type}).choice.tone;
    if (given.tone && !given.type) row.type = applyToneRule({row.tone, row.type}).choice.type;
    const RowState ruled = applyToneRule({row.tone, row.type});
    if (ruled.choice.type != row.type) {
        return row.type == PagerType::Alphanumeric ? RowBreach::AlphanumericWithoutToneD
                                                   : RowBreach::ToneDWithoutAlphanumeric;
    }
    if (ruled.messageLimit == 0 && !row.message.empty()) return RowBreach::MessageOnToneOnlyCall;
    return row;
}

}  // namespace vostrel::image

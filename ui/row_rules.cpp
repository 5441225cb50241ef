// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/row_rules.h"

namespace vostrel::ui {
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

}  // namespace vostrel::ui

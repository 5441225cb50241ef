// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The rules that keep a row's pager type, tone and message box consistent. They run
// only when the user changes a type or a tone, and then over all sixteen rows.

#include "paging/transmission.h"

namespace vostrel::ui {

enum Tone : unsigned { ToneA = 0, ToneB = 1, ToneC = 2, ToneD = 3 };

inline constexpr int kNumericMessageLimit = 20;
inline constexpr int kAlphanumericMessageLimit = 40;

struct RowChoice {
    unsigned tone = ToneA;
    paging::PagerType type = paging::PagerType::Numeric;

    friend bool operator==(const RowChoice&, const RowChoice&) = default;
};

// A row after a rule: its choices and its message box's limit. A limit of 0 means a
// tone-only call: the box is read-only and empty.
struct RowState {
    RowChoice choice;
    int messageLimit = kNumericMessageLimit;

    friend bool operator==(const RowState&, const RowState&) = default;
};

// After a type change: alphanumeric forces tone D; numeric turns D back into A.
RowState applyTypeRule(RowChoice row);

// After a tone change: D makes the row alphanumeric, any other tone numeric.
RowState applyToneRule(RowChoice row);

}  // namespace vostrel::ui

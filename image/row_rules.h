// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The rules that keep a call item's tone, pager type and message together, written
// once for the window, the configuration reader, encode and every import of rows. The
// tone is the POCSAG function a pager is called with: tone D, and only tone D, carries
// an alphanumeric message, tone A a numeric one, and B and C none (a tone-only call).
// The window applies them when the user changes a type or a tone, over all sixteen
// rows; the readers of rows check each row against them.

#include <variant>

#include "image/pager_item.h"
#include "paging/transmission.h"

namespace vostrel::image {

enum Tone : unsigned { ToneA = 0, ToneB = 1, ToneC = 2, ToneD = 3 };

// What the window's message box takes while the user types. A message read from a
// transmitter or a file may be longer: these bound typing, not rows.
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

// Which of a row's tone and type its source named. The one left out follows the
// other, as the window's choice of either sets both.
struct GivenChoices {
    bool tone = true;
    bool type = true;
};

// Why a row read from a file, a command line or a table breaks the rules. Each front
// end words it its own way (a configuration file adds the line).
enum class RowBreach {
    AlphanumericWithoutToneD,  // type alphanumeric with tone A, B or C
    ToneDWithoutAlphanumeric,  // tone D with type numeric
    MessageOnToneOnlyCall,     // tone B or C with a message
};

// The row with the choice that was left out filled in, or why it breaks the rules. A
// pair that breaks them is refused rather than mended: the row would page with
// something else than its source says. The message's length is not checked here.
std::variant<PagerItem, RowBreach> completeRow(PagerItem row, GivenChoices given);

}  // namespace vostrel::image

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The 5 s limit as data: the rows whose one trigger is longer, and the settings that
// bring every row under it. The window and vostrel-cli only word them.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "image/air_time.h"
#include "texts/message_format.h"

namespace vostrel::image {
namespace {

PagerItem alphanumeric(const char* capcode, std::size_t length) {
    return {capcode, 3, paging::PagerType::Alphanumeric, std::string(length, 'A')};
}

TEST(TriggerLimit, NamesTheRowsOverItAndTheSettingsThatBringEveryRowUnder) {
    using Change = Remedy::Change;
    const struct {
        const char* name;
        int rate;
        const char* preamble;
        int repeat;
        std::vector<PagerItem> rows;  // rows 1, 2, ...
        std::vector<unsigned> over;   // 0-based
        unsigned longest;
        std::vector<Remedy> remedies;
    } cases[] = {
        {"all within", 2, "576", 0, {alphanumeric("8", 40), {"16", 1, paging::PagerType::Numeric, ""}}, {}, 0, {}},
        // 120 characters at frame 7 are 2561 bits with a 577-bit preamble: one bit over
        // at 512 bit/s, while a tone-only call and 40 characters stay under.
        {"one of three, one bit over",
         0,
         "577",
         0,
         {{"16", 1, paging::PagerType::Numeric, ""}, alphanumeric("15", 120), alphanumeric("1234567", 40)},
         {1},
         1,
         {{Change::Rate, 1200, 577, 1}, {Change::Preamble, 512, 576, 1}}},
        // 129 characters, as read from a device: no setting alone is enough.
        {"no setting alone",
         0,
         "1023",
         3,
         {alphanumeric("1234567", 129), alphanumeric("1234568", 40)},
         {0, 1},
         0,
         {{Change::RateAndRepeat, 2400, 1023, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgrammerEntries entries;
        entries.dataRateIndex = c.rate;
        entries.preambleText = c.preamble;
        entries.repeatIndex = c.repeat;
        std::copy(c.rows.begin(), c.rows.end(), entries.rows.begin());
        const auto planned = plannedAirTime(entries, layOutRows(entries));
        const TriggerLimitCheck limit = checkTriggerLimit(std::get<AirTime>(planned));
        EXPECT_EQ(limit.rowsOver, c.over);
        EXPECT_EQ(limit.over(), !c.over.empty());
        if (limit.over()) {
            EXPECT_EQ(limit.longestRow, c.longest);
        }
        EXPECT_EQ(limit.remedies, c.remedies);
    }
}

// The hint names every row over the limit, as --json lists them; only the row being
// edited, when it is the one over, goes without its number.
TEST(TriggerLimit, TheHintNamesEveryRowOverIt) {
    const struct {
        std::vector<unsigned> over;
        std::optional<unsigned> focused;
        const char* hint;
    } cases[] = {
        {{6}, std::nullopt, "row 7 over 5 s, under it with"},
        {{6}, 6, "over 5 s, under it with"},
        {{6}, 2, "row 7 over 5 s, under it with"},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, std::nullopt, "rows 1-11 over 5 s, under it with"},
        {{0, 2, 3}, 0, "rows 1, 3-4 over 5 s, under it with"},
    };
    for (const auto& c : cases) {
        TriggerLimitCheck check;
        check.rowsOver = c.over;
        EXPECT_EQ(texts::formatMessage(overLimitMessage(check, c.focused)), c.hint);
    }
}

}  // namespace
}  // namespace vostrel::image

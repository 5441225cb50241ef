// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/read_entries.h"

#include <gtest/gtest.h>

#include <functional>

#include "texts/message_format.h"

namespace vostrel {
namespace {

using config::EntriesRead;
using config::ReadProblem;
using Reader = std::function<std::variant<EntriesRead, ReadProblem>(std::string_view bytes)>;

const Reader kConfigOrImage = [](std::string_view bytes) { return config::readConfigOrImage(bytes, "f"); };
const Reader kConfiguration = [](std::string_view bytes) { return config::readConfiguration(bytes, "f"); };
const Reader kSiteList = [](std::string_view bytes) { return config::readSiteListInto(bytes, "f", {}, {}); };
const Reader kLabelList = [](std::string_view bytes) {
    image::ProgrammerEntries entries;
    entries.rows[0].capcode = "8";
    return config::readLabelListInto(bytes, "f", entries);
};

// Every reader says once that it read a file as Windows-1252, and nothing of a UTF-8
// one; every problem is located as the front ends show it.
TEST(ReadEntries, EachReaderNotesAGuessedEncodingOnceAndLocatesItsProblem) {
    const std::string imageFile(image::EepromImage{}.bytes.size(), '\xFF');  // erased
    struct Case {
        const char* what;
        Reader reader;
        std::string bytes;
        std::size_t notes;                  // when read
        std::optional<std::string> problem;  // as located for the file "f"
    };
    const std::vector<Case> cases = {
        {"UTF-8 configuration", kConfigOrImage, "[Item01]\nLabel = \"K\xC3\xBC" "che\"\n", 0, {}},
        {"Windows-1252 configuration", kConfigOrImage, "[Item01]\nLabel = \"K\xFC" "che\"\n", 1, {}},
        {"image", kConfigOrImage, imageFile, 0, {}},
        {"configuration's mistake", kConfigOrImage, "[Settings]\n\nRepeat = 9\n", 0,
         "f:3: Repeat must be 1 to 4, not '9'"},
        {"image where a configuration belongs", kConfiguration, imageFile, 0, "f: an EEPROM image, not a configuration"},
        {"Windows-1252 site list", kSiteList, "CapCode;Label\n8;K\xFC" "che\n", 1, {}},
        {"site list's cell", kSiteList, "CapCode;Tone\n8;E\n", 0, "f: line 2, column 2: Tone must be A, B, C or D, not 'E'"},
        {"Windows-1252 label list", kLabelList, "ric,description\n8,K\xFC" "che\n", 1, {}},
        {"label list's line", kLabelList, "ric,description\n8,\"a\x01\"\n", 0,
         "f:2: the label for 8: Label cannot hold the control character \\x01"},
    };
    for (const Case& c : cases) {
        const auto read = c.reader(c.bytes);
        if (const auto* problem = std::get_if<ReadProblem>(&read)) {
            EXPECT_EQ(config::locatedProblemText("f", *problem), c.problem.value_or("(read)")) << c.what;
            continue;
        }
        EXPECT_FALSE(c.problem) << c.what << " was read";
        const auto& entries = std::get<EntriesRead>(read);
        ASSERT_EQ(entries.notes.size(), c.notes) << c.what;
        for (const texts::Message& note : entries.notes) EXPECT_EQ(note, texts::readAsWindows1252Note("f")) << c.what;
    }
}

TEST(ReadEntries, AListReadWithoutSettingsTakesTheAlphabetItsRowsShare) {
    const std::string list = "CapCode;Alphabet\n8;DE\n16;DE\n";
    const auto shared = config::readSiteListInto(list, "f", {}, {}, config::ListAlphabet::SharedByTheRows);
    const auto ofBase = config::readSiteListInto(list, "f", {}, {});
    ASSERT_TRUE(std::holds_alternative<EntriesRead>(shared));
    ASSERT_TRUE(std::holds_alternative<EntriesRead>(ofBase));
    EXPECT_EQ(std::get<EntriesRead>(shared).entries.text.alphabet, paging::Alphabet::DE);
    EXPECT_FALSE(std::get<EntriesRead>(shared).entries.text.rowAlphabets[0]);
    EXPECT_EQ(std::get<EntriesRead>(ofBase).entries.text.alphabet, paging::Alphabet::US);
    EXPECT_EQ(std::get<EntriesRead>(ofBase).entries.text.rowAlphabets[0], paging::Alphabet::DE);
}

}  // namespace
}  // namespace vostrel

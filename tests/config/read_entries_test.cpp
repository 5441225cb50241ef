// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/read_entries.h"

#include <gtest/gtest.h>

#include <functional>

#include "texts/message_format.h"
#include "texts/translation.h"

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

// The problem as vostrel-cli shows it, in English.
std::string located(const ReadProblem& problem) {
    return texts::formatMessage(config::locatedProblem("f", problem, texts::formatMessage(problem.what)));
}

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
        {"site list's cell", kSiteList, "CapCode;Tone\n8;E\n", 0, "f: line 2, column 2 (row 1): Tone must be A, B, C or D, not 'E'"},
        {"Windows-1252 label list", kLabelList, "ric,description\n8,K\xFC" "che\n", 1, {}},
        {"label list's line", kLabelList, "ric,description\n8,\"a\x01\"\n", 0,
         "f:2: Label cannot hold the control character \\x01"},
        {"label list's mixed encodings", kLabelList, "ric,description\n8,K\xC3\xBC" "che\n9,K\xFC" "che\n", 0,
         "f: line 3, column 4: byte 0xFC is not UTF-8, while line 2, column 4 holds the UTF-8 character 'ü' (U+00FC); save the file as UTF-8"},
        {"site list's row", kSiteList, "CapCode;Type;Message\n8;Alphanumeric;ok\n9;Alphanumeric;T\xC3\xBCr\n", 0,
         "f: line 3, column 3 (row 2): Invalid code '\xC3\xBC'; pager alphabets that have it: DE"},
    };
    for (const Case& c : cases) {
        const auto read = c.reader(c.bytes);
        if (const auto* problem = std::get_if<ReadProblem>(&read)) {
            EXPECT_EQ(located(*problem), c.problem.value_or("(read)")) << c.what;
            continue;
        }
        EXPECT_FALSE(c.problem) << c.what << " was read";
        const auto& entries = std::get<EntriesRead>(read);
        ASSERT_EQ(entries.notes.size(), c.notes) << c.what;
        for (const texts::Message& note : entries.notes) EXPECT_EQ(note, texts::readAsWindows1252Note("f")) << c.what;
    }
}

// In German, as the window shows it: a list's line and the window's row apart, whether
// the list names its rows or they follow its lines.
TEST(ReadEntries, AGermanProblemNamesTheListsLineAndTheWindowsRow) {
    const texts::Translation german(texts::Language::German);
    const auto worded = [&](std::string_view list) {
        const auto read = config::readSiteListInto(list, "liste.csv", {}, {});
        const auto* problem = std::get_if<ReadProblem>(&read);
        if (problem == nullptr) return std::string("(read)");
        return german.messageText(config::locatedProblem("liste.csv", *problem, german.messageText(problem->what)));
    };
    EXPECT_EQ(worded("sep=;\nRufnummer;Typ;Nachricht\n8;Alphanumerisch;gut\n9;Alphanumerisch;T\xC3\xBCr\n"),
              "liste.csv: Zeile 4, Spalte 3 (im Fenster Zeile 2): Ung\xC3\xBCltiges Zeichen '\xC3\xBC'; "
              "Pager-Alphabete mit diesem Zeichen: DE");
    EXPECT_EQ(worded("Zeile;Rufnummer;Ton\n10;8;E\n"),
              "liste.csv: Zeile 2, Spalte 3 (im Fenster Zeile 10): Ton muss A, B, C oder D sein, nicht 'E'");
    EXPECT_EQ(worded("Rufnummer;Ton\n8;A\n9;A\n9;B\n9;C\n9;A\n9;B\n9;C\n9;A\n9;B\n9;C\n9;A\n9;B\n9;C\n9;A\n9;B\n9;C\n9;D\n"),
              "liste.csv: Zeile 18, Spalte 1: mehr als 16 Zeilen: ein Sender fasst 16");
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

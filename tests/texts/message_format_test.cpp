// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/message_format.h"

#include <gtest/gtest.h>

namespace vostrel::texts {
namespace {

const Message kInvalidCode{keys::kInvalidCode, Title::Error, {Character{U'a'}, 3}};
const Message kOutOfEeprom{keys::kOutOfEepromSize, Title::Warn, {11}};

TEST(MessageFormat, BuiltInTextsFormatLikeTheirPlaceholdersSay) {
    EXPECT_EQ(formatMessage(kInvalidCode), "Invalid code 'a' in Item[03]");
    // Characters come out as UTF-8, whatever their width.
    const struct {
        char32_t character;
        const char* text;
    } characters[] = {{U'7', "'7'"}, {U'é', "'\xC3\xA9'"}, {U'–', "'\xE2\x80\x93'"}, {U'😀', "'\xF0\x9F\x98\x80'"},
                      {0xD800, "'\xEF\xBF\xBD'"}};
    for (const auto& [character, text] : characters) {
        EXPECT_EQ(formatMessage({keys::kInvalidCode, Title::Error, {Character{character}, 12}}),
                  "Invalid code " + std::string(text) + " in Item[12]");
    }
    EXPECT_EQ(formatMessage(kOutOfEeprom), "out of EEPROM size, only 11 items data can be save");
    EXPECT_EQ(formatMessage({keys::kCapCodeOutOfRange, Title::Error, {4}}), "CapCode out of range in Item[04]");
    EXPECT_EQ(formatMessage({keys::kWriteCompleted, Title::Success, {}}), "Data write completed");
    // A text argument goes in as it stands, placeholders and all.
    EXPECT_EQ(formatMessage({keys::kShownAsNationalLetter, Title::Error,
                             {Character{U'}'}, 3, Character{U'ü'}, Text{"DE"}}}),
              "'}' in Item[03] would show as '\xC3\xBC' on a DE pager");
    EXPECT_EQ(formatPattern("[%s]", std::vector<MessageArgument>{Text{"%d %n"}}), "[%d %n]");
    EXPECT_FALSE(formatPattern("%s", std::vector<MessageArgument>{7}));
}

TEST(MessageFormat, MatchingTranslationIsUsed) {
    EXPECT_EQ(formatMessage("Zeichen '%c' in Zeile %02d", kInvalidCode), "Zeichen 'a' in Zeile 03");
    EXPECT_EQ(formatMessage("nur %d Zeilen", kOutOfEeprom), "nur 11 Zeilen");
    EXPECT_EQ(formatMessage("100%% voll: %d", kOutOfEeprom), "100% voll: 11");
    EXPECT_EQ(formatMessage("%c%02d", kInvalidCode), "a03");
}

TEST(MessageFormat, HostileOrMismatchedTranslationFallsBackToTheBuiltInText) {
    const char* const hostile[] = {
        "%s %s %s %s",        // reads memory under printf
        "%c %02d %n",         // writes memory under printf
        "%x %x %x %c %02d",   // leaks the stack under printf
        "%p",                 "%c",   "%c %02d %d",  "%02d %c",        "%c %d%",
        "%5c %02d",           "%-c %02d", "%c %2d",  "%c %03d",         "%c %02x",
        "%ls %c %02d",        "%.1000c %02d",        "%%%c",           "",
    };
    for (const char* pattern : hostile) {
        EXPECT_EQ(formatMessage(pattern, kInvalidCode), "Invalid code 'a' in Item[03]") << pattern;
        EXPECT_FALSE(formatPattern(pattern, kInvalidCode.arguments)) << pattern;
    }
    EXPECT_EQ(formatMessage("%c", kOutOfEeprom), "out of EEPROM size, only 11 items data can be save");
    EXPECT_EQ(formatMessage("no number", kOutOfEeprom), "out of EEPROM size, only 11 items data can be save");
    EXPECT_EQ(formatMessage("%d %d", kOutOfEeprom), "out of EEPROM size, only 11 items data can be save");
}

TEST(MessageFormat, DecimalsWithThePointOrTheCommaTheTextAsksFor) {
    const std::vector<MessageArgument> arguments = {Decimal{15.9921875}, 4, Decimal{0.875}};
    const struct {
        const char* pattern;
        std::optional<std::string> text;
    } cases[] = {
        {"%.1f s x %d, %.3f s", "16.0 s x 4, 0.875 s"},
        {"%,2f s x %d, %,1f s", "15,99 s x 4, 0,9 s"},  // a decimal comma
        {"%.3f %d %,3f", "15.992 4 0,875"},
        {"%.f %d %.3f", std::nullopt},    // no precision
        {"%f %d %.3f", std::nullopt},     // printf's default of 6 decimals is not offered
        {"%.4f %d %.3f", std::nullopt},   // at most 3 decimals
        {"%.12f %d %.3f", std::nullopt},  // nor a precision that makes the text long
        {"%.1d %d %.3f", std::nullopt},
        {"%d %d %.3f", std::nullopt},     // a decimal is no whole number
        {"%.1f %.1f %.3f", std::nullopt}, // nor a whole number a decimal
    };
    for (const auto& c : cases) EXPECT_EQ(formatPattern(c.pattern, arguments), c.text) << c.pattern;
}

TEST(MessageFormat, PercentLiteralsNeedNoArguments) {
    EXPECT_EQ(formatPattern("100%%", {}), "100%");
    EXPECT_EQ(formatPattern("%%d", {}), "%d");
    EXPECT_FALSE(formatPattern("100%", {}));
}

TEST(MessageFormat, AlternativesAreListedAsASentenceListsThem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, ""},
        {{"2400 bit/s"}, "2400 bit/s"},
        {{"2400 bit/s", "repeat 1"}, "2400 bit/s oder repeat 1"},
        {{"a", "b", "c"}, "a, b oder c"},
    };
    for (const auto& [alternatives, sentence] : cases) EXPECT_EQ(joinedAlternatives(alternatives, "oder"), sentence);
}

}  // namespace
}  // namespace vostrel::texts

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "config/config_file.h"
#include "config/site_list.h"
#include "image/image_builder.h"
#include "image/image_reader.h"
#include "image/pager_text.h"
#include "texts/message_format.h"
#include "texts/text_codec.h"

using namespace vostrel;
using config::ConfigError;
using image::ProgrammerEntries;
using paging::PagerType;

namespace {

ProgrammerEntries parsed(const std::string& text) {
    const config::ConfigOutcome outcome = config::parseConfig(text);
    if (const auto* error = std::get_if<ConfigError>(&outcome)) {
        ADD_FAILURE() << "line " << error->line << ": " << texts::formatMessage(error->what) << "\nin:\n" << text;
        return {};
    }
    return std::get<ProgrammerEntries>(outcome);
}

void expectSameEntries(const ProgrammerEntries& actual, const ProgrammerEntries& expected) {
    EXPECT_EQ(actual.preambleText, expected.preambleText);
    EXPECT_EQ(actual.repeatIndex, expected.repeatIndex);
    EXPECT_EQ(actual.dataRateIndex, expected.dataRateIndex);
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        const auto& a = actual.rows[row];
        const auto& e = expected.rows[row];
        EXPECT_EQ(a.capcode, e.capcode) << "row " << row + 1;
        EXPECT_EQ(a.tone, e.tone) << "row " << row + 1;
        EXPECT_EQ(a.type, e.type) << "row " << row + 1;
        EXPECT_EQ(a.message, e.message) << "row " << row + 1;
    }
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.labels, expected.labels);
    EXPECT_EQ(actual.site, expected.site);
}

ProgrammerEntries entriesWith(const std::function<void(ProgrammerEntries&)>& change) {
    ProgrammerEntries entries;
    change(entries);
    return entries;
}

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

TEST(ConfigParser, ReadsWhatTheFileSays) {
    const struct {
        const char* name;
        std::string text;
        ProgrammerEntries expected;
    } cases[] = {
        {"empty file keeps the window's initial values", "", ProgrammerEntries{}},
        {"comments, blank lines, CRLF and a byte-order mark",
         "\xEF\xBB\xBF# comment\r\n; another\r\n\r\n   \t\r\n[Settings]  # trailing\r\nRepeat = 3\r\n",
         entriesWith([](auto& e) { e.repeatIndex = 2; })},
        {"all settings, names in any case",
         "[SETTINGS]\ndatarate=512\n  PREAMBLE   =   576   ; bits\nrePeat = 4\n",
         entriesWith([](auto& e) {
             e.dataRateIndex = 0;
             e.preambleText = "576";
             e.repeatIndex = 3;
         })},
        {"data rate none and 2400",
         "[Settings]\nDataRate = NONE\n",
         entriesWith([](auto& e) { e.dataRateIndex = -1; })},
        {"a preamble the builder will refuse is still read as typed",
         "[Settings]\nPreamble = 575\n",
         entriesWith([](auto& e) { e.preambleText = "575"; })},
        {"an item row with every key",
         "[item02]\ncapcode = 1234567\nTONE = d\ntype = alphanumeric\nMESSAGE = \"HELLO\"\n",
         entriesWith([](auto& e) { e.rows[1] = {"1234567", 3, PagerType::Alphanumeric, "HELLO"}; })},
        {"the system's spelling Alphnumeric; a missing Tone follows the Type",
         "[Item16]\nCapCode = 8\nType = Alphnumeric\n[Item15]\nType = Numeric\n",
         entriesWith([](auto& e) { e.rows[15] = {"8", 3, PagerType::Alphanumeric, ""}; })},
        {"a missing Type follows the Tone",
         "[Item01]\nTone = D\n[Item02]\nTone = B\n",
         entriesWith([](auto& e) {
             e.rows[0] = {"", 3, PagerType::Alphanumeric, ""};
             e.rows[1] = {"", 1, PagerType::Numeric, ""};
         })},
        {"escapes, comment characters and trailing blanks inside quotes; \\xNN is U+00NN",
         "[Item01]\nMessage = \"a\\\"b\\\\c\\x41\\xe9 # ; \" # real comment\n",
         entriesWith([](auto& e) { e.rows[0].message = "a\"b\\cA\xC3\xA9 # ; "; })},
        {"every character is kept as written, Latin-1 or not",
         "[Item01]\nMessage = \"\xC3\xA9\xC3\xBF\xC2\xA0\xE2\x82\xAC\xF0\x9F\x98\x80\"\n",
         entriesWith([](auto& e) { e.rows[0].message = "\xC3\xA9\xC3\xBF\xC2\xA0\xE2\x82\xAC\xF0\x9F\x98\x80"; })},
        {"a file that is not UTF-8 is Windows-1252, comments included",
         "# caf\xE9\n[Item01]\nMessage = \"Gr\xFC\xDF \x80\"\n",
         entriesWith([](auto& e) { e.rows[0].message = "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC"; })},
        {"pager alphabets and transliteration, names in any case",
         "[Settings]\nAlphabet = de\nTransliterate = YES\n[Item03]\nAlphabet = se\nTone = D\n"
         "Message = \"\xC3\x85sa\"\n",
         entriesWith([](auto& e) {
             e.text.alphabet = paging::Alphabet::DE;
             e.text.transliterate = true;
             e.text.rowAlphabets[2] = paging::Alphabet::SE;
             e.rows[2] = {"", 3, PagerType::Alphanumeric, "\xC3\x85sa"};
         })},
        {"the site's name, quoted with escapes or bare",
         "[Settings]\nSite = \"Caf\xC3\xA9 \\\"Zur Post\\\" \\\\ #1\"\n",
         entriesWith([](auto& e) { e.site = "Caf\xC3\xA9 \"Zur Post\" \\ #1"; })},
        {"a bare site name ends at a comment", "[Settings]\nsite = Halle 3 # Nord\n",
         entriesWith([](auto& e) { e.site = "Halle 3"; })},
        {"blanks around a quoted capcode are dropped; an empty capcode leaves the row unused",
         "[Item01]\nCapCode = \" 12\t\"\n[Item02]\nCapCode =\nMessage = \"\"\n",
         entriesWith([](auto& e) { e.rows[0].capcode = "12"; })},
        {"a capcode of digits the builder refuses is still read",
         "[Item03]\nCapCode = 0009999\n",
         entriesWith([](auto& e) { e.rows[2].capcode = "0009999"; })},
        {"capcodes as installers write them: leading zeros; the sub-address letter gives the tone, the type follows",
         "[Item01]\nCapCode = 0200208\n[Item02]\nCapCode = 1234567D\nMessage = \"HI\"\n"
         "[Item03]\nCapCode = \"1234567 b\"\nTone = B\n",
         entriesWith([](auto& e) {
             e.rows[0].capcode = "0200208";
             e.rows[1] = {"1234567", 3, PagerType::Alphanumeric, "HI"};
             e.rows[2] = {"1234567", 1, PagerType::Numeric, ""};
         })},
        {"labels in any script, with escapes; a row may hold a label alone",
         "[Item02]\nLabel = \"K\xC3\xBC" "che \\\"1\\\" \xE2\x98\x95\"\n[Item05]\nlabel = \"Vollalarm\"\n",
         entriesWith([](auto& e) {
             e.labels[1] = "K\xC3\xBC" "che \"1\" \xE2\x98\x95";
             e.labels[4] = "Vollalarm";
         })},
        {"the longest message", "[Item01]\nMessage = \"" + std::string(129, 'x') + "\"\n",
         entriesWith([](auto& e) { e.rows[0].message = std::string(129, 'x'); })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectSameEntries(parsed(c.text), c.expected);
    }
}

TEST(ConfigParser, ErrorsNameTheLine) {
    const std::string kNotCapcode = "CapCode must be decimal digits, or empty for a row not in use, not ";
    const struct {
        std::string text;
        int line;
        std::string what;
    } cases[] = {
        {"[Settings]\n[Setup]\n", 2, "unknown section [Setup]"},
        {"[Item00]\n", 1, "unknown section [Item00]"},
        {"[Item17]\n", 1, "unknown section [Item17]"},
        {"[Item1]\n", 1, "unknown section [Item1]"},
        {"[Item01]\n\n[ITEM01]\n", 3, "duplicate section [ITEM01] (first on line 1)"},
        {"[Settings]\nRepeat = 2\nrepeat = 3\n", 3, "duplicate key 'repeat' (first on line 2)"},
        {"[Settings]\nMessage = \"x\"\n", 2, "unknown key 'Message' in [Settings]"},
        {"[Item04]\nCapcod = 5\n", 2, "unknown key 'Capcod' in [Item04]"},
        {"# top\nTone = A\n", 2, "key 'Tone' before any section"},
        {"[Settings\n", 1, "missing ']'"},
        {"[Settings] x\n", 1, "unexpected text after ']'"},
        {"[Settings]\nRepeat 2\n", 2, "expected a key and its value, or a [Section]"},
        {"[Settings]\n = 2\n", 2, "missing key before the equals sign"},
        {"[Settings]\nDataRate = 9600\n", 2, "DataRate must be 512, 1200, 2400 or none, not '9600'"},
        {"[Settings]\nDataRate =\n", 2, "DataRate must be 512, 1200, 2400 or none, not ''"},
        {"[Settings]\nRepeat = 0\n", 2, "Repeat must be 1 to 4, not '0'"},
        {"[Settings]\nRepeat = 5\n", 2, "Repeat must be 1 to 4, not '5'"},
        {"[Settings]\nRepeat = 2x\n", 2, "Repeat must be 1 to 4, not '2x'"},
        {"[Settings]\nPreamble = 10230\n", 2, "Preamble is longer than 4 characters"},
        {"[Item01]\nCapCode = 12345678\n", 2, "CapCode is longer than 7 digits"},
        {"[Item01]\nCapCode = 1234567E\n", 2, "CapCode 1234567E: the sub-address letter must be A, B, C or D, not E"},
        {"[Item01]\nCapCode = 1234567A\nTone = B\n", 3, "CapCode 1234567A names Tone A, but Tone is B"},
        {"[Item01]\nCapCode = 1234567AB\n", 2, kNotCapcode + "'1234567AB'"},
        {"[Item01]\nCapCode = 1234567C\nMessage = \"1\"\n", 3, "Tone C is a tone-only call: its Message must be empty"},
        {"[Item01]\nLabel = Kitchen\n", 2, "Label must be in double quotes"},
        {"[Item01]\nLabel = \"" + repeated("\xC3\xBC", 41) + "\"\n", 2, "Label is longer than 40 characters"},
        {"[Item01]\nLabel = \"a\\x09b\"\n", 2, "Label cannot hold the control character \\x09"},
        {"[Item01]\nCapCode = 12345G7\n", 2, kNotCapcode + "'12345G7'"},
        {"[Item01]\nCapCode = abc\n", 2, kNotCapcode + "'abc'"},
        {"[Item01]\nCapCode = 0x10\n", 2, kNotCapcode + "'0x10'"},
        {"[Item01]\nCapCode = 12 34\n", 2, kNotCapcode + "'12 34'"},
        {"[Item01]\nCapCode = -5\n", 2, kNotCapcode + "'-5'"},
        {"[Item01]\nCapCode = \"+5\"\n", 2, kNotCapcode + "'+5'"},
        {"[Item01]\nTone = E\n", 2, "Tone must be A, B, C or D, not 'E'"},
        {"[Item01]\nTone = AB\n", 2, "Tone must be A, B, C or D, not 'AB'"},
        {"[Item01]\nType = Alpha\n", 2, "Type must be Numeric or Alphanumeric, not 'Alpha'"},
        {"[Item01]\nTone = A\nType = Alphanumeric\n", 3, "Type Alphanumeric needs Tone D, not Tone A"},
        {"[Item01]\nType = Numeric\nTone = D\nCapCode = 8\n[Item02]\n", 3,
         "Tone D needs Type Alphanumeric, not Numeric"},
        {"[Item02]\nTone = B\nMessage = \"12\"\n[Item03]\n", 3, "Tone B is a tone-only call: its Message must be empty"},
        {"[Item02]\nMessage = \"1\"\nTone = c", 3, "Tone C is a tone-only call: its Message must be empty"},
        {"[Settings]\nAlphabet = Deutsch\n", 2,
         "Alphabet must be one of US, DE, DK, NO, SE, FR, ES, IT, YU, not 'Deutsch'"},
        {"[Item01]\nAlphabet =\n", 2, "Alphabet must be one of US, DE, DK, NO, SE, FR, ES, IT, YU, not ''"},
        {"[Settings]\nTransliterate = maybe\n", 2, "Transliterate must be yes or no, not 'maybe'"},
        {"[Settings]\nSite = \"Halle\\x1B[2J\"\n", 2, "Site cannot hold control characters"},
        {"[Settings]\nSite = \"\xC2\x85\"\n", 2, "Site cannot hold control characters"},
        {"[Settings]\nSite = " + std::string(81, 'x') + "\n", 2, "Site is longer than 80 characters"},
        {"[Item01]\nMessage = HELLO\n", 2, "Message must be in double quotes"},
        {"[Item01]\nMessage = \"HELLO\n", 2, "missing closing '\"'"},
        {"[Item01]\nMessage = \"HELLO\\\"\n", 2, "missing closing '\"'"},
        {"[Item01]\nMessage = \"a\\nb\"\n", 2, "unknown escape after '\\' (use \\\", \\\\ or \\xNN)"},
        {"[Item01]\nMessage = \"\\x4\"\n", 2, "'\\x' needs two hex digits"},
        {"[Item01]\nMessage = \"\\xG0\"\n", 2, "'\\x' needs two hex digits"},
        {"[Item01]\nMessage = \"a\" b\n", 2, "unexpected text after the closing '\"'"},
        {"[Item01]\nCapCode = 12\"3\n", 2, "unexpected '\"' (quote the whole value)"},
        {"[Item01]\nCapCode = \xC4\x80\n", 2, kNotCapcode + "'\xC4\x80'"},
        {"[Item01]\nMessage = \"\\x00\"\n", 2, "a value cannot hold the character \\x00"},
        {"[Item01]\nMessage = \"" + std::string(130, 'x') + "\"\n", 2, "Message is longer than 129 characters"},
        {"[Item01]\nMessage = \"" + repeated("\xC3\xBC", 130) + "\"\n", 2, "Message is longer than 129 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const config::ConfigOutcome outcome = config::parseConfig(c.text);
        const auto* error = std::get_if<ConfigError>(&outcome);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->line, c.line);
        EXPECT_EQ(texts::formatMessage(error->what), c.what);
    }
}

std::string messageLine(const std::string& message) {
    image::PagerRows rows;
    rows[0] = {"8", 3, PagerType::Alphanumeric, message};
    const std::string text = config::writeConfig({}, rows);
    const std::size_t start = text.find("Message = ");
    return text.substr(start, text.find('\n', start) - start);
}

// Every limit counts a letter typed as its base letter and a combining mark as the one
// letter it makes, as the window shows it: 39 letters and "A" + U+0308 are 40, in a
// configuration's Label and Message and a site list's Message and Label alike. A mark
// that makes no letter of the tables counts on its own.
TEST(Limits, CountLettersAsComposed) {
    const std::string umlaut = "A\xCC\x88";  // Ä as base letter and mark
    EXPECT_EQ(image::composedText("K" + umlaut + "se x\xCC\x88"), "K\xC3\x84se x\xCC\x88");
    EXPECT_EQ(image::composedLength("K" + umlaut + "se x\xCC\x88" "\xFF"), 8U);
    const std::string forty = std::string(39, 'x') + umlaut;
    const auto configuration = config::parseConfig("[Item01]\nCapCode = 8\nTone = D\nMessage = \"" + forty +
                                                   "\"\nLabel = \"" + forty + "\"\n");
    ASSERT_TRUE(std::holds_alternative<image::ProgrammerEntries>(configuration)) << texts::formatMessage(std::get<config::ConfigError>(configuration).what);
    const auto list =
        config::readSiteList("CapCode;Type;Alphabet;Message;Label\n8;Alphanumeric;DE;" + forty + ";" + forty + "\n");
    ASSERT_TRUE(std::holds_alternative<config::SiteList>(list)) << texts::formatMessage(std::get<config::SiteListError>(list).what);
    const auto longer = config::readSiteList("CapCode;Type;Message\n8;Alphanumeric;x" + forty + "\n");
    ASSERT_TRUE(std::holds_alternative<config::SiteListError>(longer));
    EXPECT_EQ(texts::formatMessage(std::get<config::SiteListError>(longer).what), "Message is longer than 40 characters, the limit of Type Alphanumeric");
}

TEST(ConfigWriter, QuotesMessagesSoEveryByteSurvives) {
    const struct {
        std::string message;
        std::string line;
    } cases[] = {
        {"", "Message = \"\""},
        {"12  ", "Message = \"12  \""},
        {"say \"hi\" \\o/", "Message = \"say \\\"hi\\\" \\\\o/\""},
        {"\x01\x1F\x7F\xC2\x80\xC2\x9F", "Message = \"\\x01\\x1F\\x7F\\x80\\x9F\""},
        {"\xC2\xA0\xC3\xA9\xC3\xBF\xE2\x82\xAC", "Message = \"\xC2\xA0\xC3\xA9\xC3\xBF\xE2\x82\xAC\""},
        {"# ; not a comment", "Message = \"# ; not a comment\""},
    };
    for (const auto& c : cases) EXPECT_EQ(messageLine(c.message), c.line);
}

TEST(ConfigWriter, WritesSettingsAndOnlyRowsInUse) {
    image::PagerRows rows;
    rows[4] = {"1234567", 0, PagerType::Numeric, "123  "};
    const std::string text = config::writeConfig({3, 0, 0}, rows);
    EXPECT_EQ(text,
              "[Settings]\nDataRate = none\nPreamble = 0\nRepeat = 1\n\n"
              "[Item05]\nCapCode = 1234567\nTone = A\nType = Numeric\nMessage = \"123  \"\n");
}

// A file without them stays byte for byte what versions before them wrote.
TEST(ConfigWriter, AlphabetsTransliterationAndSiteAreWrittenOnlyWhenSet) {
    ProgrammerEntries entries;
    entries.site = "Caf\xC3\xA9 \"Zur Post\"";
    entries.text.alphabet = paging::Alphabet::DE;
    entries.text.transliterate = true;
    entries.text.rowAlphabets[1] = paging::Alphabet::SE;
    entries.text.rowAlphabets[3] = paging::Alphabet::US;
    entries.rows[1] = {"8", 3, PagerType::Alphanumeric, "\xC3\x85sa"};
    EXPECT_EQ(config::writeConfig(entries),
              "[Settings]\nDataRate = 1200\nPreamble = 1023\nRepeat = 2\nAlphabet = DE\nTransliterate = yes\n"
              "Site = \"Caf\xC3\xA9 \\\"Zur Post\\\"\"\n\n"
              "[Item02]\nCapCode = 8\nTone = D\nType = Alphanumeric\nAlphabet = SE\nMessage = \"\xC3\x85sa\"\n\n"
              "[Item04]\nCapCode = \nTone = A\nType = Numeric\nAlphabet = US\nMessage = \"\"\n");
    expectSameEntries(parsed(config::writeConfig(entries)), entries);
}

TEST(ConfigWriter, LabelsAreWrittenOnlyWhereSet) {
    ProgrammerEntries entries;
    entries.rows[1] = {"8", 3, PagerType::Alphanumeric, "HI"};
    entries.labels[1] = "K\xC3\xBC" "che \"2\"";
    entries.labels[4] = "Zimmer 12";
    EXPECT_EQ(config::writeConfig(entries),
              "[Settings]\nDataRate = 1200\nPreamble = 1023\nRepeat = 2\n\n"
              "[Item02]\nLabel = \"K\xC3\xBC" "che \\\"2\\\"\"\nCapCode = 8\nTone = D\nType = Alphanumeric\nMessage = \"HI\"\n\n"
              "[Item05]\nLabel = \"Zimmer 12\"\nCapCode = \nTone = A\nType = Numeric\nMessage = \"\"\n");
    expectSameEntries(parsed(config::writeConfig(entries)), entries);
}

TEST(ConfigWriter, EveryCharacterReadsBack) {
    std::string allCharacters;
    for (char32_t c = 1; c <= 0xFF; ++c) allCharacters += texts::encodeUtf8(c);
    allCharacters += texts::encodeUtf8(U"\u2028\uFEFF\U0001F4DF");
    image::PagerRows rows;
    for (unsigned row = 0; row < 2; ++row) {
        const std::u32string characters = *texts::decodeUtf8(allCharacters);
        rows[row] = {std::to_string(row + 1), 3, PagerType::Alphanumeric,
                     texts::encodeUtf8(std::u32string_view(characters).substr(row * 129, 129))};
    }
    rows[15] = {"2097151", 2, PagerType::Numeric, ""};
    const image::TransmitterSettings settings{2, 1023, 3};
    const ProgrammerEntries back = parsed(config::writeConfig(settings, rows));
    EXPECT_EQ(back.dataRateIndex, 2);
    EXPECT_EQ(back.preambleText, "1023");
    EXPECT_EQ(back.repeatIndex, 3);
    for (unsigned row = 0; row < image::kRowCount; ++row) EXPECT_EQ(back.rows[row], rows[row]) << "row " << row + 1;
}

TEST(ConfigWriter, WindowEntriesReadBackUnchanged) {
    const struct {
        const char* name;
        ProgrammerEntries entries;
        std::string preambleRead;  // trailing blanks of the preamble box are dropped
    } cases[] = {
        {"padded preamble, no data rate, a row with a message but no capcode",
         entriesWith([](auto& e) {
             e.preambleText = "576 ";
             e.dataRateIndex = -1;
             e.repeatIndex = 3;
             e.rows[2] = {"", 0, PagerType::Numeric, "12"};
             e.rows[15] = {"0000007", 3, PagerType::Alphanumeric, "\"x\" \\"};
         }),
         "576"},
        {"blank preamble", entriesWith([](auto& e) { e.preambleText = "    "; }), ""},
        {"preamble with inner blanks", entriesWith([](auto& e) { e.preambleText = " 5 7"; }), " 5 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgrammerEntries expected = c.entries;
        expected.preambleText = c.preambleRead;
        expectSameEntries(parsed(config::writeConfig(c.entries)), expected);
    }
}

// An image is a file of exactly 512 bytes that holds a NUL or a byte that is not
// UTF-8, as every image does and no configuration the tool writes does; anything else
// is text, a configuration or its mistake.
TEST(ConfigOrImage, AFileOfImageSizeWithANulOrBytesThatAreNotUtf8IsAnImage) {
    const auto padded = [](std::string text, char padding = '#') { return text + std::string(512 - text.size(), padding); };
    const std::string configuration = "[Item01]\nCapCode = 8\n";
    const struct {
        std::string bytes;
        std::size_t expectedKind;  // index in ConfigOrImage
        int errorLine = 0;
    } cases[] = {
        {configuration, 0},
        {padded(configuration), 0},
        {std::string(512, '\xFF'), 1},
        {std::string(511, '\xFF'), 2, 1},
        {std::string(513, '\0'), 2, 1},
        // Text of an image's size is still a configuration, and its mistake is shown.
        {padded("[Item01]\nCapCode = 8\nTone = X\n"), 2, 3},
        {padded("\xEF\xBB\xBF\r\n; pages\nDataRate = 9600\n"), 2, 3},
        {padded("hello\n", ' '), 2, 1},
        // Header bytes that read as a comment: preamble 803 ('#') and an erased rest.
        {padded("#\x0F", '\xFF'), 1},
        {padded("[Item01]\nTone = X\n", '\0'), 1},
        // A configuration of exactly that size saved in Windows-1252 cannot be told
        // from an image: it is read as one, since an image must never be read as a
        // configuration.
        {padded("[Item01]\nMessage = \"Gr\xFC\xDF\"\n"), 1},
    };
    for (const auto& c : cases) {
        const config::ConfigOrImage outcome = config::parseConfigOrImage(c.bytes);
        EXPECT_EQ(outcome.index(), c.expectedKind) << c.bytes.size() << " bytes: " << c.bytes.substr(0, 20);
        if (const auto* error = std::get_if<config::ConfigError>(&outcome)) {
            EXPECT_EQ(error->line, c.errorLine);
        }
        if (const auto* image = std::get_if<image::EepromImage>(&outcome)) {
            EXPECT_EQ(std::string(image->bytes.begin(), image->bytes.end()), c.bytes);
        }
    }
}

// build(decode(build(configuration))) is the same image, byte for byte.
image::EepromImage builtImage(const std::string& text) {
    const auto outcome = image::buildImage(parsed(text));
    const auto* built = std::get_if<image::BuiltImage>(&outcome);
    if (built == nullptr) {
        ADD_FAILURE() << "refused: " << std::get<image::BuildRefusal>(outcome).message.key.text();
        return {};
    }
    return built->image;
}

std::string item(int row, long capcode, char tone, const char* type, const std::string& message) {
    char header[64];
    std::snprintf(header, sizeof header, "[Item%02d]\nCapCode = %ld\nTone = %c\nType = %s\n", row, capcode, tone, type);
    return header + std::string("Message = \"") + message + "\"\n";
}

TEST(ConfigRoundTrip, DecodedImageBuildsTheSameImage) {
    std::string acrossFrames = "[Settings]\nDataRate = 512\nPreamble = 600\nRepeat = 4\n";
    for (int frame = 0; frame < 8; ++frame) {
        acrossFrames += item(frame * 2 + 1, 8 * (1000 + frame) + frame, 'A', "Numeric", "12345678901234567890");
        acrossFrames += item(frame * 2 + 2, 8 * (2000 + frame) + frame, 'D', "Alphanumeric", "HELLO");
    }
    const std::string cases[] = {
        "",
        "[Settings]\nDataRate = 2400\nPreamble = 1023\nRepeat = 1\n" +
            item(2, 1234567, 'A', "Numeric", "123") + item(5, 8, 'D', "Alphanumeric", "abc") +
            item(16, 2097151, 'D', "Alphanumeric", std::string(40, 'Z')),
        item(1, 7, 'D', "Alphanumeric", std::string(20, 'k')),
        item(3, 15, 'A', "Numeric", "-U[] S"),
        item(4, 99, 'B', "Numeric", "") + item(6, 100, 'C', "Numeric", ""),
        item(1, 31, 'D', "Alphanumeric", "Grusse \\\"\\\\\\x01\\x7F"),
        "[Settings]\nAlphabet = DE\n" + item(2, 8, 'D', "Alphanumeric", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln"),
        acrossFrames,
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        const image::EepromImage first = builtImage(text);
        const image::ImageContents contents = image::decodeImage(first);
        ASSERT_FALSE(contents.readErrorRow);
        EXPECT_EQ(builtImage(config::writeConfig(contents.settings, contents.rows)), first);
    }
}

}  // namespace

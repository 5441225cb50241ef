#include "texts/language_file.h"

#include <gtest/gtest.h>

namespace vostrel::texts {
namespace {

using namespace std::string_view_literals;

struct LookupCase {
    const char* what;
    std::string_view file;
    std::string_view key;
    std::optional<std::string> value;
};

TEST(LanguageFile, FindsValuesAsTheProfileLookupDoes) {
    const LookupCase cases[] = {
        {"plain", "[Message]\nTone=Ton\n", "Tone", "Ton"},
        {"key case", "[Message]\nTONE=Ton\n", "Tone", "Ton"},
        {"section case", "[mEsSaGe]\nTone=Ton\n", "Tone", "Ton"},
        {"blanks around section name", "[ Message ]\nTone=Ton\n", "Tone", "Ton"},
        {"blanks around key and value", "[Message]\n  Tone \t=  Ton  \n", "Tone", "Ton"},
        {"inner blanks kept", "[Message]\nData Rate=Daten rate\n", "Data Rate", "Daten rate"},
        {"key with symbols", "[Message]\nInvalid code '%c' in Item[%02d]=x %c %02d\n",
         "Invalid code '%c' in Item[%02d]", "x %c %02d"},
        {"ampersand key", "[Message]\n&Read=&Lesen\n", "&Read", "&Lesen"},
        {"double quotes removed", "[Message]\nTone=\"  Ton  \"\n", "Tone", "  Ton  "},
        {"single quotes removed", "[Message]\nTone='Ton'\n", "Tone", "Ton"},
        {"only one pair removed", "[Message]\nTone=\"\"Ton\"\"\n", "Tone", "\"Ton\""},
        {"unmatched quotes kept", "[Message]\nTone=\"Ton'\n", "Tone", "\"Ton'"},
        {"lone quote kept", "[Message]\nTone=\"\n", "Tone", "\""},
        {"empty value", "[Message]\nTone=\n", "Tone", ""},
        {"empty quoted value", "[Message]\nTone=\"\"\n", "Tone", ""},
        {"value holding =", "[Message]\nTone=a=b\n", "Tone", "a=b"},
        {"CRLF lines", "[Message]\r\nTone=Ton\r\nType=Typ\r\n", "Type", "Typ"},
        {"no final newline", "[Message]\nTone=Ton", "Tone", "Ton"},
        {"first of two wins", "[Message]\nTone=eins\nTone=zwei\n", "Tone", "eins"},
        {"comment line", "[Message]\n;Tone=Ton\n", "Tone", std::nullopt},
        {"indented comment", "[Message]\n   ; Tone=Ton\n", "Tone", std::nullopt},
        {"other section", "[Other]\nTone=Ton\n[Message]\nType=Typ\n", "Tone", std::nullopt},
        {"key before any section", "Tone=Ton\n[Message]\n", "Tone", std::nullopt},
        {"section closed by the next", "[Message]\nType=Typ\n[Next]\nTone=Ton\n", "Tone", std::nullopt},
        {"line without =", "[Message]\nTone\n", "Tone", std::nullopt},
        {"key is not a prefix", "[Message]\nTones=Töne\n", "Tone", std::nullopt},
        {"missing section", "Tone=Ton\n", "Tone", std::nullopt},
        {"empty file", "", "Tone", std::nullopt},
        {"byte-order mark", "\xEF\xBB\xBF[Message]\nTone=Ton\n", "Tone", "Ton"},
        {"NUL inside value", "[Message]\nTone=a\0b\n"sv, "Tone", std::string("a\0b", 3)},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(findIniValue(c.file, kLanguageSection, c.key), c.value) << c.what;
    }
}

TEST(LanguageFile, LookUpTextFallsBackToTheKeyOnlyWhenTheKeyIsMissing) {
    EXPECT_EQ(lookUpText("[Message]\nTone=Ton\n", "Type"), "Type");
    EXPECT_EQ(lookUpText("[Message]\nType=\n", "Type"), "");
    EXPECT_EQ(lookUpText("[Message]\nProgramTitle=ProgramTitle\n", "ProgramTitle"), "ProgramTitle");
    EXPECT_EQ(lookUpText("", "Reapter"), "Reapter");
}

TEST(LanguageFile, ReadsUtf8AsItIsAndAnythingElseAsLatin1) {
    const struct {
        const char* what;
        std::string_view bytes;
        std::string_view utf8;
    } cases[] = {
        {"ASCII", "Tone", "Tone"},
        {"UTF-8", "Pr\xC3\xA4" "ambel \xE2\x82\xAC \xF0\x9F\x93\x9F", "Pr\xC3\xA4" "ambel \xE2\x82\xAC \xF0\x9F\x93\x9F"},
        {"Latin-1", "Pr\xE4" "ambel", "Pr\xC3\xA4" "ambel"},
        {"Latin-1 ending in a lead byte", "caf\xC3", "caf\xC3\x83"},
        {"overlong form", "\xC0\x80", "\xC3\x80\xC2\x80"},
        {"encoded surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
        {"stray continuation byte", "a\x80", "a\xC2\x80"},
        {"byte-order mark dropped", "\xEF\xBB\xBFok", "ok"},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeLanguageFile(c.bytes), c.utf8) << c.what;
}

TEST(LanguageFile, Latin1FileGivesUtf8Values) {
    EXPECT_EQ(lookUpText("[Message]\nPreamble=Pr\xE4" "ambel\n", "Preamble"), "Pr\xC3\xA4" "ambel");
}

}  // namespace
}  // namespace vostrel::texts

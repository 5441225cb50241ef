// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/language_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

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
    // Cut at 511 characters, never inside one.
    for (const std::string character : {"x", "\xC3\xA4", "\xF0\x9F\x93\x9F"}) {
        std::string long600;
        for (int i = 0; i < 600; ++i) long600 += character;
        EXPECT_EQ(lookUpText("[Message]\nTone=" + long600 + "\n", "Tone"), long600.substr(0, 511 * character.size()));
    }
}

// A file of UTF-8 and Windows-1252 at once would show some letters as others: the
// built-in text stays.
TEST(LanguageFile, Windows1252FileGivesUtf8ValuesAndAMixedFileNone) {
    EXPECT_EQ(lookUpText("[Message]\nPreamble=Pr\xE4" "ambel \x96 \x80\n", "Preamble"),
              "Pr\xC3\xA4" "ambel \xE2\x80\x93 \xE2\x82\xAC");
    EXPECT_EQ(lookUpText("[Message]\nPreamble=Pr\xE4" "ambel\n; \xC3\xBC\n", "Preamble"), "Preamble");
}

// The XDG places are absolute Unix paths, which Windows takes for relative ones.
#ifndef _WIN32
TEST(LanguageFile, PlacesAreBesideTheProgramThenTheUsersThenTheSystemsConfiguration) {
    const struct {
        const char* what;
        ConfigEnvironment environment;
        std::vector<std::filesystem::path> places;
    } cases[] = {
        {"defaults", {"", "", "/home/u"},
         {"/opt/p/kdx20Lang.ini", "/home/u/.config/vostrel-programmer/kdx20Lang.ini",
          "/etc/xdg/vostrel-programmer/kdx20Lang.ini"}},
        {"variables set", {"/cfg", "/a:/b", "/home/u"},
         {"/opt/p/kdx20Lang.ini", "/cfg/vostrel-programmer/kdx20Lang.ini", "/a/vostrel-programmer/kdx20Lang.ini",
          "/b/vostrel-programmer/kdx20Lang.ini"}},
        {"relative and empty entries ignored", {"cfg", "rel::/b:", "/home/u"},
         {"/opt/p/kdx20Lang.ini", "/home/u/.config/vostrel-programmer/kdx20Lang.ini",
          "/b/vostrel-programmer/kdx20Lang.ini"}},
        {"no home", {"", "", ""}, {"/opt/p/kdx20Lang.ini", "/etc/xdg/vostrel-programmer/kdx20Lang.ini"}},
    };
    for (const auto& c : cases) EXPECT_EQ(languageFilePlaces("/opt/p", c.environment), c.places) << c.what;
}
#else
// Windows keeps a user's settings in %APPDATA%; its folders start with a drive letter
// and a ':', and user names hold characters the local code page lacks.
TEST(LanguageFile, PlacesOnWindowsAreBesideTheProgramThenTheUsersAppData) {
    const std::filesystem::path beside = L"C:\\Program Files\\Vostrel\\kdx20Lang.ini";
    const struct {
        const char* what;
        ConfigEnvironment environment;
        std::vector<std::filesystem::path> places;
    } cases[] = {
        {"APPDATA", {"", "", "", L"C:\\Users\\J\u00fcrgen \u03a9\\AppData\\Roaming"},
         {beside, L"C:\\Users\\J\u00fcrgen \u03a9\\AppData\\Roaming\\vostrel-programmer\\kdx20Lang.ini"}},
        {"network folder", {"", "", "", L"\\\\server\\home\\AppData"},
         {beside, L"\\\\server\\home\\AppData\\vostrel-programmer\\kdx20Lang.ini"}},
        {"XDG variables mean nothing, nothing is split on ':'", {"C:\\cfg", "C:\\a:D:\\b", "C:\\Users\\u", ""},
         {beside}},
        {"relative APPDATA ignored", {"", "", "", L"AppData"}, {beside}},
        {"drive-relative APPDATA ignored", {"", "", "", L"C:AppData"}, {beside}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(languageFilePlaces(L"C:\\Program Files\\Vostrel", c.environment), c.places) << c.what;
    }
}

TEST(LanguageFile, AppDataKeepsCharactersOutsideTheCodePage) {
    const wchar_t* folder = L"C:\\Users\\\u03a9\u00fc\u4e2d\\AppData\\Roaming";
    ASSERT_EQ(_wputenv_s(L"APPDATA", folder), 0);
    EXPECT_EQ(processConfigEnvironment().appData, std::filesystem::path(folder));
}
#endif

// The first place that exists is the language file; only a regular file of at most
// 1 MiB is read, and nothing may wait for a writer or read without end.
TEST(LanguageFile, ReadsOnlyTheFirstExistingPlaceAndOnlyWhenItIsASmallRegularFile) {
    // Another test run on this machine may be here at the same time.
    const std::filesystem::path directory = std::filesystem::temp_directory_path() /
                                            ("vostrel-language-file-test-" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory / "folder");
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(directory / name, std::ios::binary) << bytes;
        return directory / name;
    };
    const auto small = write("small.ini", "[Message]\nTone=Ton\n");
    const auto largest = write("largest.ini", std::string(kMaxLanguageFileBytes, ';'));
    const auto tooLarge = write("too-large.ini", std::string(kMaxLanguageFileBytes + 1, ';'));
    const auto missing = directory / "missing.ini";

    struct Case {
        const char* what;
        std::vector<std::filesystem::path> places;
        std::optional<std::size_t> readSize;
    };
    std::vector<Case> cases = {
        {"regular file", {small}, 19},
        {"missing, then the next place", {missing, small}, 19},
        {"nothing anywhere", {missing}, std::nullopt},
        {"exactly the limit", {largest}, kMaxLanguageFileBytes},
        {"over the limit", {tooLarge, small}, std::nullopt},
        {"directory", {directory / "folder", small}, std::nullopt},
    };
#ifndef _WIN32
    const auto fifo = directory / "fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto deviceLink = directory / "zero.ini";
    std::filesystem::create_symlink("/dev/zero", deviceLink);
    cases.push_back({"FIFO", {fifo, small}, std::nullopt});
    cases.push_back({"link to a device", {deviceLink, small}, std::nullopt});
#endif
    for (const auto& c : cases) {
        const auto bytes = readLanguageFile(c.places);
        EXPECT_EQ(bytes ? std::optional<std::size_t>(bytes->size()) : std::nullopt, c.readSize) << c.what;
    }
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace vostrel::texts

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Which language a run shows: the user's locale read as gettext reads it, Windows'
// language identifiers, and the order of language file, built-in language and key.

#include "texts/languages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "texts/translation.h"

namespace vostrel::texts {
namespace {

TEST(Languages, TheLocaleIsReadInGettextsOrder) {
    const struct {
        LocaleEnvironment environment;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        Language expected;
    } cases[] = {
        {{}, Language::English},
        {{"", "", "", "de_DE.UTF-8"}, Language::German},
        {{"", "", "", "fr_CA.UTF-8"}, Language::French},
        {{"", "", "", "de_AT@euro"}, Language::German},
        {{"", "", "", "sv_SE.UTF-8"}, Language::English},
        {{"", "", "fr_FR.UTF-8", "de_DE.UTF-8"}, Language::French},
        {{"", "de_CH.UTF-8", "fr_FR.UTF-8", "en_GB.UTF-8"}, Language::German},
        {{"", "C", "", "de_DE.UTF-8"}, Language::English},
        {{"", "", "", "C.UTF-8"}, Language::English},
        {{"", "", "", "POSIX"}, Language::English},
        // LANGUAGE comes first, its first language with texts wins...
        {{"fr:de", "", "", "de_DE.UTF-8"}, Language::French},
        {{"sv:de_AT:fr", "", "", "en_US.UTF-8"}, Language::German},
        {{"en:de", "", "", "de_DE.UTF-8"}, Language::English},
        // ... one without any is English, as gettext shows then ...
        {{"sv:nl", "", "", "de_DE.UTF-8"}, Language::English},
        // ... and a C locale makes gettext ignore it.
        {{"de", "", "", ""}, Language::English},
        {{"de", "C.UTF-8", "", "de_DE.UTF-8"}, Language::English},
        {{"de", "", "", "en_US.UTF-8"}, Language::German},
        {{"::fr::", "", "", "en_US.UTF-8"}, Language::French},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.environment.language + "|" + c.environment.lcAll + "|" + c.environment.lcMessages + "|" +
                     c.environment.lang);
        EXPECT_EQ(languageOfLocale(c.environment), c.expected);
    }
}

TEST(Languages, CodesAndWindowsLanguageIdentifiers) {
    EXPECT_EQ(languageCoded("DE"), Language::German);
    EXPECT_EQ(languageCoded("fr"), Language::French);
    EXPECT_EQ(languageCoded("en"), Language::English);
    EXPECT_EQ(languageCoded("de_DE"), std::nullopt);
    EXPECT_EQ(languageCoded(""), std::nullopt);
    EXPECT_EQ(languageOfLocaleName("en-GB"), Language::English);
    EXPECT_EQ(languageCode(Language::French), "fr");
    // German of Germany, Austria and Switzerland; French of France and Canada; English
    // of the US; Dutch.
    EXPECT_EQ(languageOfWindowsLanguageId(0x0407), Language::German);
    EXPECT_EQ(languageOfWindowsLanguageId(0x0C07), Language::German);
    EXPECT_EQ(languageOfWindowsLanguageId(0x0807), Language::German);
    EXPECT_EQ(languageOfWindowsLanguageId(0x040C), Language::French);
    EXPECT_EQ(languageOfWindowsLanguageId(0x0C0C), Language::French);
    EXPECT_EQ(languageOfWindowsLanguageId(0x0409), Language::English);
    EXPECT_EQ(languageOfWindowsLanguageId(0x0413), Language::English);
}

class TranslationOrder : public testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(directory_); }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::filesystem::path writeFile(const std::string& name, const std::string& contents) const {
        const std::filesystem::path path = directory_ / name;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    const std::filesystem::path directory_ =
        std::filesystem::temp_directory_path() /
        (std::string("vostrel-") + testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(TranslationOrder, TheFileComesFirstThenTheBuiltInLanguageThenTheKey) {
    const auto file = writeFile("kdx20Lang.ini", "[Message]\nCapCode=Numéro\nInvalid code '%c' in Item[%02d]=Code %c %02d\n"
                                "Preamble value out of range=Mauvais %d\nLanguageCode= NL \n");
    const Translation german(Language::German, {file});
    EXPECT_EQ(german.text(keys::kCapCodeHeading), "Numéro");
    EXPECT_EQ(german.text(keys::kToneHeading), "Ton");
    EXPECT_EQ(german.languageCode(), "nl");
    const Message invalid{keys::kInvalidCode, Title::Error, {Character{U'ü'}, 3}};
    EXPECT_EQ(german.messageText(invalid), "Code ü 03");
    // A pattern that does not fit its arguments gives way to the built-in language's.
    const Message full{keys::kOutOfEepromSize, Title::Warn, {4}};
    const Translation overFile(Language::German,
                               {writeFile("other.ini", "[Message]\nout of EEPROM size, only %d items data can be save=%s\n")});
    EXPECT_EQ(overFile.messageText(full), "EEPROM voll: nur 4 Zeilen werden gespeichert");
    EXPECT_EQ(Translation(Language::English, {file}).text(keys::kToneHeading), "Tone");
    EXPECT_EQ(Translation(Language::French).text(keys::kToneHeading), "Fonction");
    EXPECT_EQ(Translation(Language::French).languageCode(), "fr");
    EXPECT_EQ(Translation(Language::English).languageCode(), "en");

    // A language asked for stands alone; otherwise the file goes over the user's.
    EXPECT_EQ(chosenTranslation(Language::English, Language::German, {file}).text(keys::kCapCodeHeading), "CapCode");
    EXPECT_EQ(chosenTranslation(std::nullopt, Language::French, {file}).text(keys::kCapCodeHeading), "Numéro");
    EXPECT_EQ(chosenTranslation(std::nullopt, Language::French, {file}).text(keys::kTypeHeading), "Type");
    EXPECT_EQ(chosenTranslation(std::nullopt, Language::German, {directory_ / "none.ini"}).text(keys::kTypeHeading),
              "Typ");
}

}  // namespace
}  // namespace vostrel::texts

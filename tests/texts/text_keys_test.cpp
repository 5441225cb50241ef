// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The list of text keys against the built-in translations, the files they are compiled
// from (texts/languages.h): every key has a German and a French text there with the
// key's placeholders, and neither holds a key the list lacks.

#include "texts/text_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <span>
#include <string>
#include <vector>

#include "texts/language_file.h"
#include "texts/languages.h"

namespace vostrel::texts {
namespace {

std::string translationFile(std::string_view name) {
    const auto bytes = readLanguageFile({std::filesystem::path(VOSTREL_SOURCE_DIR) / "docs" / name});
    if (!bytes) throw std::runtime_error("no translation " + std::string(name));
    return *bytes;
}

std::string exampleTranslation() { return translationFile("kdx20Lang.example.ini"); }

std::vector<std::string_view> listedKeys() {
    std::vector<std::string_view> listed;
    for (const TextKey key : keys::kAll) listed.push_back(key.text());
    return listed;
}

// The keys of the file's section [Message], as written.
std::vector<std::string> keysOf(const std::string& file) {
    static const std::regex section(R"(^\s*\[(.*)\]\s*$)");
    static const std::regex entry(R"(^\s*([^;=\s][^=]*?)\s*=)");
    std::vector<std::string> found;
    bool inMessages = false;
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, section)) {
            inMessages = match[1].str() == kLanguageSection;
        } else if (inMessages && std::regex_search(line, match, entry)) {
            found.push_back(match[1]);
        }
    }
    return found;
}

// The placeholders in order, a decimal comma counted as the point it stands for.
std::vector<std::string> placeholdersOf(std::string_view text) {
    static const std::regex placeholder(R"(%(%|c|s|d|02d|[.,][123]f))");
    std::vector<std::string> found;
    const std::string whole(text);
    for (auto it = std::sregex_iterator(whole.begin(), whole.end(), placeholder); it != std::sregex_iterator(); ++it) {
        std::string each = it->str();
        if (each.size() == 4 && each[1] == ',') each[1] = '.';
        found.push_back(each);
    }
    return found;
}

// What keeps the list and the translation apart, one line each.
std::vector<std::string> mismatches(std::span<const std::string_view> listed, const std::string& translation) {
    std::vector<std::string> found;
    for (const std::string_view key : listed) {
        const auto text = findIniValue(translation, kLanguageSection, key);
        if (!text || text->empty()) {
            found.push_back("no text for '" + std::string(key) + "'");
        } else if (placeholdersOf(*text) != placeholdersOf(key)) {
            found.push_back("other placeholders for '" + std::string(key) + "'");
        }
    }
    for (const std::string& key : keysOf(translation)) {
        if (std::ranges::find(listed, key) == listed.end()) found.push_back("'" + key + "' is no key of the list");
    }
    return found;
}

TEST(TextKeys, EveryKeyHasATextInEachTranslationAndNoTranslationAnotherKey) {
    const struct {
        Language language;
        std::string_view file;
    } translations[] = {
        {Language::German, "kdx20Lang.example.ini"},
        {Language::French, "kdx20Lang.example.fr.ini"},
    };
    for (const auto& translation : translations) {
        SCOPED_TRACE(translation.file);
        const std::string file = translationFile(translation.file);
        EXPECT_EQ(mismatches(listedKeys(), file), std::vector<std::string>{});
        // The programs show what the file says: it is compiled in as it stands.
        EXPECT_EQ(builtInTranslation(translation.language), file);
        EXPECT_EQ(findIniValue(file, kLanguageSection, keys::kLanguageCode.text()),
                  std::string(languageCode(translation.language)));
    }
}

TEST(TextKeys, AKeyWithoutTextAMisplacedPlaceholderAndAKeyOutsideTheListAreFound) {
    const std::string example = exampleTranslation();
    std::vector<std::string_view> longer = listedKeys();
    longer.push_back("A key added to the list");
    EXPECT_EQ(mismatches(longer, example), std::vector<std::string>{"no text for 'A key added to the list'"});

    const auto without = [&](const std::string& line, const std::string& instead) {
        std::string changed = example;
        const std::size_t at = changed.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        return changed.replace(at, line.size(), instead);
    };
    EXPECT_EQ(mismatches(listedKeys(), without("Cancel=Abbrechen\n", "")),
              std::vector<std::string>{"no text for 'Cancel'"});
    EXPECT_EQ(mismatches(listedKeys(), without("Row %d=Zeile %d\n", "Row %d=Zeile\n")),
              std::vector<std::string>{"other placeholders for 'Row %d'"});
    EXPECT_EQ(mismatches(listedKeys(), without("or=oder\n", "or=oder\nGone=Weg\n")),
              std::vector<std::string>{"'Gone' is no key of the list"});
}

}  // namespace
}  // namespace vostrel::texts

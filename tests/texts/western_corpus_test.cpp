// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The one text rule against iconv, over texts as Western users write them. iconv is the
// oracle; the Windows build has none, so this runs on Linux.
#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <fstream>

#include "texts/text_codec.h"

namespace vostrel::texts {
namespace {

// The corpus: texts as German, French, Danish and Swedish users write them, saved as
// Windows-1252 by iconv, are read back as they were written, each alone (but for the
// few whose bytes are valid UTF-8 as a whole) and all in one file; and every text in UTF-8 next to every other in Windows-1252, either way round,
// is refused where iconv finds the first byte that is not UTF-8, naming a character
// the UTF-8 line holds at the place given.
class WesternCorpus : public ::testing::Test {
protected:
    static std::vector<std::string> texts() {
        std::ifstream in(std::filesystem::path(VOSTREL_SOURCE_DIR) / "tests/texts/western_texts.txt", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.starts_with('#')) lines.push_back(line);
        }
        return lines;
    }

    // `text` converted by iconv; nothing where iconv stops, with `stoppedAt` its offset.
    static std::optional<std::string> converted(const char* from, const char* to, const std::string& text,
                                                std::size_t* stoppedAt = nullptr) {
        const iconv_t converter = iconv_open(to, from);
        if (converter == reinterpret_cast<iconv_t>(-1)) {
            ADD_FAILURE() << "iconv knows no " << from << " to " << to;
            return std::nullopt;
        }
        std::string out(text.size() * 4 + 4, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* outAt = out.data();
        std::size_t outLeft = out.size();
        const std::size_t done = iconv(converter, &in, &inLeft, &outAt, &outLeft);
        iconv_close(converter);
        if (stoppedAt) *stoppedAt = static_cast<std::size_t>(in - text.data());
        if (done == static_cast<std::size_t>(-1)) return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

    static std::string windows1252(const std::string& text) { return converted("UTF-8", "WINDOWS-1252", text).value(); }
};

TEST_F(WesternCorpus, Windows1252TextsAreReadAsWrittenAndMixturesAreRefusedWhereTheyMix) {
    const std::vector<std::string> corpus = texts();
    ASSERT_GE(corpus.size(), 50U);
    std::string all;
    std::string allWindows1252;
    std::size_t validAsUtf8 = 0;
    for (const std::string& text : corpus) {
        // "ß§" or "SÅ”" alone is valid UTF-8 as a whole, and a file that is, is UTF-8.
        const std::string bytes = windows1252(text);
        const bool utf8 = isValidUtf8(bytes);
        validAsUtf8 += utf8;
        EXPECT_EQ(readFileText(bytes), (std::variant<FileText, EncodingProblem>(FileText{
                                           utf8 ? bytes : text, utf8 ? FileEncoding::Utf8 : FileEncoding::Windows1252})))
            << text;
        all += text + "\r\n";
        allWindows1252 += bytes + "\r\n";
    }
    EXPECT_LE(validAsUtf8, 2U);
    EXPECT_EQ(readFileText(allWindows1252), (std::variant<FileText, EncodingProblem>(FileText{all, FileEncoding::Windows1252})));

    std::size_t mixtures = 0;
    for (const std::string& utf8Text : corpus) {
        if (isValidUtf8(windows1252(utf8Text))) continue;  // ASCII only: nothing of UTF-8 to see
        for (const std::string& other : corpus) {
            const std::string otherBytes = windows1252(other);
            if (isValidUtf8(otherBytes)) continue;
            for (const bool utf8First : {true, false}) {
                const std::string file = utf8First ? utf8Text + "\n" + otherBytes : otherBytes + "\n" + utf8Text;
                std::size_t firstBad = 0;
                EXPECT_FALSE(converted("UTF-8", "UTF-32LE", file, &firstBad));
                const auto read = readFileText(file);
                const auto* problem = std::get_if<EncodingProblem>(&read);
                ASSERT_TRUE(problem) << file;
                const std::size_t lineStart = utf8First ? utf8Text.size() + 1 : 0;
                const std::size_t badColumn =
                    converted("UTF-8", "UTF-32LE", file.substr(lineStart, firstBad - lineStart)).value().size() / 4 + 1;
                EXPECT_EQ(std::pair(problem->line, problem->column), std::pair(std::size_t{utf8First ? 2U : 1U}, badColumn))
                    << file;
                EXPECT_EQ(problem->byte, static_cast<std::uint8_t>(file[firstBad]));
                EXPECT_EQ(problem->utf8Line, utf8First ? 1U : 2U);
                const std::u32string utf8Line = decodeUtf8(utf8Text).value();
                ASSERT_LE(problem->utf8Column, utf8Line.size()) << file;
                EXPECT_EQ(utf8Line[problem->utf8Column - 1], problem->utf8Character) << file;
                ++mixtures;
            }
        }
    }
    EXPECT_GT(mixtures, 4000U);
}

}  // namespace
}  // namespace vostrel::texts

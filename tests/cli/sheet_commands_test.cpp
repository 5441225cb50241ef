// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// preview and sheet at their edges; what they show is checked by
// preview_oracle_test.py and tests/sheet/sheet_html_test.py.

#include <gtest/gtest.h>

#include <cstdlib>

#include "cli_test_support.h"

using namespace vostrel;
using namespace vostrel::cli::testing;

namespace {

TEST(SheetCommands, RefuseWhatTheyCannotShowTruly) {
    ScratchDirectory dir;
    const std::string config = dir.file("site.conf");
    const std::string image = dir.file("site.bin");
    const std::string damaged = dir.file("damaged.bin");
    writeFile(config, kSampleConfig);
    writeFile(image, bytesOf(sampleImage()));
    writeFile(damaged, bytesOf(damagedImage()));
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;  // a part of stderr
    } cases[] = {
        // The configuration's alphabet is what its pagers show; another would mislead.
        {{"preview", "--alphabet", "DE", config}, 2, "--alphabet is for an image file"},
        {{"sheet", "--alphabet", "DE", config, dir.file("out.html")}, 2, "--alphabet is for an image file"},
        {{"preview", "--alphabet", "XX", image}, 2, "--alphabet must be one of"},
        // A damaged image would show calls the transmitter never sends.
        {{"preview", damaged}, 1, "EEPROM read error"},
        {{"sheet", damaged, dir.file("out.html")}, 1, "EEPROM read error"},
        {{"sheet", "--language", dir.file("missing.ini"), config, dir.file("out.html")}, 1, "missing.ini"},
        {{"sheet", config, config}, 1, "site.conf"},
        {{"sheet", config}, 2, "expected CONFIG or IMAGE, and OUT.html"},
        {{"preview", config, image}, 2, "expected one CONFIG or IMAGE"},
        // The name heads a printed page: what the configuration refuses is refused here.
        {{"sheet", "--site", "Haus\tam See", config, dir.file("out.html")}, 2,
         "--site: Site cannot hold control characters"},
        {{"sheet", "--site", std::string(81, 'x'), config, dir.file("out.html")}, 2,
         "--site: Site is longer than 80 characters"},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments.front() << ": " << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    EXPECT_EQ(readFile(config), kSampleConfig);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.html")));
}

// An image file's rows show through --alphabet; the sheet takes the --language file's
// words and goes to standard output for "-".
TEST(SheetCommands, ImageRowsShowThroughTheChosenAlphabet) {
    ScratchDirectory dir;
    const std::string image = dir.file("site.bin");
    writeFile(image, bytesOf(sampleImage()));
    const CliRun preview = run({"preview", "--alphabet", "de", image});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out,
              "row  capcode    pager            shows\n"
              "  2  1234567 A  Numeric          \"12 34-5U  \"\n"
              "  5        8 D  Alphanumeric DE  \"Gruss \"x\"\"\n");
    const std::string language = dir.file("kdx20Lang.ini");
    writeFile(language, "[Message]\nSite sheet=Anlagenblatt\n");
    const CliRun sheet = run({"sheet", "--alphabet", "DE", "--language", language, image, "-"});
    EXPECT_EQ(sheet.status, 0) << sheet.err;
    EXPECT_NE(sheet.out.find("<h1>Anlagenblatt</h1>"), std::string::npos);
    EXPECT_NE(sheet.out.find(">German (DIN 66003)</td>"), std::string::npos);
}

// A configuration's labels have a column of their own in preview, as wide as the
// longest; the sheet takes the site's name from --site before the configuration's.
TEST(SheetCommands, LabelsAndTheSiteNameAsTheInstallerGivesThem) {
    ScratchDirectory dir;
    const std::string config = dir.file("site.conf");
    writeFile(config, "[Settings]\nSite = \"Heim\"\n"
                      "[Item02]\nCapCode = 1234567\nMessage = \"12 34-5U\"\n"
                      "[Item05]\nLabel = \"K\xC3\xBC" "che\"\nCapCode = 8\nTone = D\nMessage = \"Gruss \\\"x\\\"\"\n"
                      "[Item07]\nLabel = \"Nachtdienst Stock 2\"\nCapCode = 24\nTone = B\n");
    const CliRun preview = run({"preview", config});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out,
              "row  label                capcode    pager            shows\n"
              "  2                       1234567 A  Numeric          \"12 34-5U  \"\n"
              "  5  K\xC3\xBC" "che                      8 D  Alphanumeric US  \"Gruss \"x\"\"\n"
              "  7  Nachtdienst Stock 2       24 B  Numeric          \"\"\n");
    for (const auto& [site, shown] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, "Heim"}, {{"--site", "Haus am See"}, "Haus am See"}}) {
        std::vector<std::string> arguments{"sheet"};
        arguments.insert(arguments.end(), site.begin(), site.end());
        arguments.insert(arguments.end(), {config, "-"});
        const CliRun sheet = run(arguments);
        EXPECT_EQ(sheet.status, 0) << sheet.err;
        EXPECT_NE(sheet.out.find("<td colspan=\"3\">" + shown + "</td>"), std::string::npos) << shown;
    }
}

// Without --language the sheet is in the window's language: here the one the variable
// asks for, as the window's --language does.
TEST(SheetCommands, TheSheetIsInTheLanguageAskedForOrTheWindows) {
    ScratchDirectory dir;
    const std::string image = dir.file("site.bin");
    writeFile(image, bytesOf(sampleImage()));
    const CliRun french = run({"sheet", "--language", "fr", image, "-"});
    EXPECT_EQ(french.status, 0) << french.err;
    EXPECT_NE(french.out.find("<html lang=\"fr\">"), std::string::npos);
    EXPECT_NE(french.out.find("<h1>Fiche de site</h1>"), std::string::npos);
#if defined(_WIN32)
    _putenv_s("VOSTREL_LANGUAGE", "de");
#else
    ::setenv("VOSTREL_LANGUAGE", "de", 1);
#endif
    const CliRun german = run({"sheet", image, "-"});
#if defined(_WIN32)
    _putenv_s("VOSTREL_LANGUAGE", "");
#else
    ::unsetenv("VOSTREL_LANGUAGE");
#endif
    EXPECT_EQ(german.status, 0) << german.err;
    EXPECT_NE(german.out.find("<html lang=\"de\">"), std::string::npos);
    EXPECT_NE(german.out.find("<h1>Anlagenblatt</h1>"), std::string::npos);
}

}  // namespace

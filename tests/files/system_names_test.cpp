// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Names as the system takes them, on Linux and on Windows (under wine): a file is
// replaced whatever form its name is given in, the recent files are one file's as the
// system compares names, and a failure carries the system's own reason, readable.

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/recent_files.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"
#include "tests/files/files_test_support.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;
using test::contentOf;
using test::namesIn;

// A folder of the test's own, and the working folder inside it while the test runs.
class InFolder : public testing::Test {
protected:
    InFolder()
        : folder_(fs::absolute(fs::path(testing::TempDir()) /
                               ("vostrel-names-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name())))),
          before_(fs::current_path()) {
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "work" / "sub");
        fs::create_directories(folder_ / "other");
        fs::current_path(folder_ / "work");
    }
    ~InFolder() override {
        fs::current_path(before_);
        fs::remove_all(folder_);
    }

    fs::path folder_;
    fs::path before_;
};

// A file that is there is replaced in place, whether named without a folder, by a
// relative path or through "..": nothing else appears, nothing is left beside it.
TEST_F(InFolder, AFileIsReplacedWhateverFormItsNameHas) {
    const struct {
        const char* named;
        const char* file;  // the file meant, under the test's folder
    } cases[] = {
        {"site.conf", "work/site.conf"},
        {"./site.conf", "work/site.conf"},
        {"sub/site.conf", "work/sub/site.conf"},
        {"sub/../site.conf", "work/site.conf"},
        {"../other/site.conf", "other/site.conf"},
#if defined(_WIN32)
        {"sub\\site.conf", "work/sub/site.conf"},
        {"..\\other\\site.conf", "other/site.conf"},
#endif
    };
    for (const auto& c : cases) {
        const fs::path file = folder_ / c.file;
        std::ofstream(file, std::ios::binary) << "old";
        const auto before = namesIn(folder_);
        const auto error = writeWholeFile(pathFromUtf8(c.named), "new");
        EXPECT_FALSE(error) << c.named << ": " << (error ? error->what : "");
        EXPECT_EQ(contentOf(file), "new") << c.named;
        EXPECT_EQ(namesIn(folder_), before) << c.named;
        fs::remove(file);
    }
}

// On Windows a name that differs only in the case of its letters, or in its slashes,
// names the same file, and the list holds it once; elsewhere it is another file.
TEST_F(InFolder, RecentFilesAreOneFileAsTheSystemComparesNames) {
    const std::string folder = utf8Name(folder_);
    const std::string site = folder + "/Küche/Site.vostrel";
    const std::string otherCase = folder + "/KÜCHE/site.VOSTREL";
    const std::string otherSlash = utf8Name(pathFromUtf8(site).make_preferred());
    RecentFiles recent;
    recent.add(site);
    recent.add(otherCase);
    recent.add(otherSlash);
#if defined(_WIN32)
    EXPECT_EQ(recent.names(), std::vector<std::string>{otherSlash});
    recent.remove(otherCase);
    EXPECT_TRUE(recent.names().empty());
#else
    // Here the slashes are the system's already: the same name again, first once more.
    EXPECT_EQ(recent.names(), (std::vector<std::string>{site, otherCase}));
#endif
}

#if defined(_WIN32)
// Windows' own wording of a failure, in its language, as UTF-8: decoded again it is
// the text Windows gives in UTF-16. A name with '<' is refused by every Windows with
// ERROR_INVALID_NAME. CTest runs this under wine once in English and once with a
// German system (VOSTREL_SYSTEM_LANGUAGE=de), where the reason has an umlaut:
// "Ungültiger Name" under wine, "Die Syntax für den Dateinamen ..." on Windows.
TEST_F(InFolder, AFailureCarriesWindowsOwnReasonReadable) {
    const char* language = std::getenv("VOSTREL_SYSTEM_LANGUAGE");
    ASSERT_NE(language, nullptr) << "CTest names the system's language";
    const bool german = std::string(language) == "de";
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN, german) << "the system is not in " << language;

    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     ERROR_INVALID_NAME, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring windows(text != nullptr ? text : L"");
    ::LocalFree(text);
    while (!windows.empty() && std::wstring_view(L"\r\n. ").find(windows.back()) != std::wstring_view::npos) {
        windows.pop_back();
    }

    const auto error = writeWholeFile("a<b.bin", "bytes");
    ASSERT_TRUE(error);
    const std::string prefix = "a<b.bin: cannot write: ";
    ASSERT_EQ(error->what.substr(0, prefix.size()), prefix);
    const std::string reason = error->what.substr(prefix.size());
    std::wstring decoded(reason.size(), L'\0');
    decoded.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reason.data(),
                                                                   static_cast<int>(reason.size()), decoded.data(),
                                                                   static_cast<int>(decoded.size()))));
    EXPECT_EQ(decoded, windows) << reason;  // empty for bytes that are no UTF-8
    EXPECT_EQ(windows.find(L'\u00FC') != std::wstring::npos, german) << reason;
}
#endif

}  // namespace
}  // namespace vostrel::files

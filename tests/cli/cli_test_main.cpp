// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The tests' own data and configuration folders: a Write to "real hardware" saves its
// backup there and a name given to a transmitter is kept there, never among the
// backups and settings of the user who runs the tests. The site sheet follows the
// user's language: the tests start from the C locale, whatever the locale of whoever
// runs them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "files/program_folders.h"

namespace {

// Every test starts with no names given, as it would in a process of its own.
class ForgetNames : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override {
        std::error_code ignored;
        if (const auto file = vostrel::files::programPlaces().settingsFile()) std::filesystem::remove(*file, ignored);
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const std::filesystem::path folders = std::filesystem::temp_directory_path() /
                                          ("vostrel-cli-tests-" + std::to_string(std::random_device{}()));
    const std::filesystem::path data = folders / "data";
    const std::filesystem::path config = folders / "config";
#if defined(_WIN32)
    _wputenv_s(L"LOCALAPPDATA", data.c_str());
    _wputenv_s(L"APPDATA", config.c_str());
    _putenv_s("VOSTREL_LANGUAGE", "");
#else
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) ::unsetenv(name);
    ::setenv("LANG", "C.UTF-8", 1);
    ::unsetenv("VOSTREL_LANGUAGE");
#endif
    testing::UnitTest::GetInstance()->listeners().Append(new ForgetNames);
    const int status = RUN_ALL_TESTS();
    std::filesystem::remove_all(folders);
    return status;
}

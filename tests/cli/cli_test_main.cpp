// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The tests' own data folder: a Write to "real hardware" saves its backup there, never
// among the backups of the user who runs the tests. The site sheet follows the user's
// language: the tests start from the C locale, whatever the locale of whoever runs them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const std::filesystem::path data = std::filesystem::temp_directory_path() /
                                       ("vostrel-cli-tests-data-" + std::to_string(std::random_device{}()));
#if defined(_WIN32)
    _wputenv_s(L"LOCALAPPDATA", data.c_str());
    _putenv_s("VOSTREL_LANGUAGE", "");
#else
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) ::unsetenv(name);
    ::setenv("LANG", "C.UTF-8", 1);
    ::unsetenv("VOSTREL_LANGUAGE");
#endif
    const int status = RUN_ALL_TESTS();
    std::filesystem::remove_all(data);
    return status;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Runs the window tests inside the programmer's own application class, so that
// exceptions escaping an event handler are caught and recorded as the program does.

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <system_error>
#include <gtest/gtest.h>

#include "files/program_folders.h"

#include "tests/ui/window_driver.h"

namespace {

// Every test starts with nothing remembered, as it would in a process of its own.
class ForgetRememberedChoices : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override {
        std::error_code ignored;
        if (const auto file = vostrel::files::programPlaces().settingsFile()) std::filesystem::remove(*file, ignored);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The tests are also listed at build time, where no display may exist.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Remembered settings, backups and language files of the user who runs the tests stay
    // out of them, and the tests out of the user's.
    QTemporaryDir userFolders;
    if (!userFolders.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(userFolders.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(userFolders.filePath(QStringLiteral("data"))));
#ifdef Q_OS_WIN
    // Their Windows counterparts: a Commands test clears the backup folder.
    qputenv("APPDATA", QDir::toNativeSeparators(userFolders.filePath(QStringLiteral("config"))).toLocal8Bit());
    qputenv("LOCALAPPDATA", QDir::toNativeSeparators(userFolders.filePath(QStringLiteral("data"))).toLocal8Bit());
#endif
    // The window speaks the user's language: the tests start from the C locale, whatever
    // the locale of whoever runs them, and a test of another language sets its own.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "VOSTREL_LANGUAGE"}) qunsetenv(name);
    qputenv("LANG", "C.UTF-8");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ForgetRememberedChoices);
    vostrel::app::ProgrammerApplication application(argc, argv, [](const QString& text) {
        vostrel::test::shownExceptions().push_back(text);
    });
    return RUN_ALL_TESTS();
}

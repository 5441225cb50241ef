// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The one-program-at-a-time lock on each platform: a second lock on a held path,
// even from the same process, waits its bounded time and is told "busy"; released,
// the path can be locked again.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "device/exclusive_lock.h"

namespace vostrel::device {
namespace {

using namespace std::chrono_literals;

TEST(ExclusiveLock, HeldPathIsBusyUntilReleasedAndMissingPathFails) {
    // Another test run on this machine may be locking at the same time.
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vostrel-lock-test-" + std::to_string(std::random_device{}()) + ".bin");
    std::ofstream(path) << "eeprom";

    ExclusiveLock::Result first = ExclusiveLock::acquire(path, 0ms);
    ASSERT_EQ(first.status, LockStatus::Locked);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ExclusiveLock::acquire(path, 200ms).status, LockStatus::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);

    first.lock.reset();
    EXPECT_EQ(ExclusiveLock::acquire(path, 0ms).status, LockStatus::Locked);
    EXPECT_EQ(ExclusiveLock::acquire(path.string() + ".missing", 0ms).status, LockStatus::Failed);
    std::filesystem::remove(path);
}

#ifndef _WIN32
// A user who may only read the node takes no lock, neither through this program nor
// as flock(1) would take one, so the users who may write are never kept out.
TEST(ExclusiveLock, OnlyAUserWhoMayWriteCanLock) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vostrel-lock-read-only-" + std::to_string(::getpid()));
    std::ofstream(path) << "eeprom";
    // Readable by all, writable by root alone; without root, writable by nobody.
    std::filesystem::permissions(path, std::filesystem::perms(::geteuid() == 0 ? 0644 : 0444));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t reader = ::fork();
    if (reader == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(100);
        }
        const char status = static_cast<char>(ExclusiveLock::acquire(path, 0ms).status);
        const int readOnly = ::open(path.c_str(), O_RDONLY);
        (void)::flock(readOnly, LOCK_EX | LOCK_NB);
        (void)!::write(ready[1], &status, 1);
        ::pause();
        ::_exit(0);
    }
    char readerStatus = -1;
    EXPECT_EQ(::read(ready[0], &readerStatus, 1), 1);
    EXPECT_EQ(readerStatus, static_cast<char>(LockStatus::AccessDenied));
    if (::geteuid() != 0) std::filesystem::permissions(path, std::filesystem::perms(0644));
    EXPECT_EQ(ExclusiveLock::acquire(path, 100ms).status, LockStatus::Locked);
    ::kill(reader, SIGKILL);
    ::waitpid(reader, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    std::filesystem::remove(path);
}
#endif

}  // namespace
}  // namespace vostrel::device

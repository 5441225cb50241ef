// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The one-program-at-a-time lock on each platform: a second lock on a held path,
// even from the same process, waits its bounded time and is told "busy"; released,
// the path can be locked again.

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vostrel::device

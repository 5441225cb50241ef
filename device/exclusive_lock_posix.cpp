// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// flock(2) on the path itself: released by the kernel when the process ends, however
// it ends, so a crashed program never leaves a transmitter locked.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "device/exclusive_lock.h"

namespace vostrel::device {

struct ExclusiveLock::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) ::close(fd);
    }
};

namespace {

LockStatus statusOfOpenError(int error) {
    return error == EACCES || error == EPERM ? LockStatus::AccessDenied : LockStatus::Failed;
}

}  // namespace

ExclusiveLock::Result ExclusiveLock::acquire(const std::filesystem::path& path, std::chrono::milliseconds wait) {
    // Read-only and non-blocking: the lock must neither need write access nor wait on
    // a device that is slow to open.
    auto handle = std::make_unique<Handle>();
    handle->fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle->fd < 0) return Result{statusOfOpenError(errno), nullptr};
    constexpr std::chrono::milliseconds kPoll{20};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(handle->fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return Result{LockStatus::Failed, nullptr};
        if (std::chrono::steady_clock::now() >= deadline) return Result{LockStatus::Busy, nullptr};
        std::this_thread::sleep_for(kPoll);
    }
    return Result{LockStatus::Locked, std::unique_ptr<ExclusiveLock>(new ExclusiveLock(std::move(handle)))};
}

ExclusiveLock::ExclusiveLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
ExclusiveLock::ExclusiveLock(ExclusiveLock&&) noexcept = default;
ExclusiveLock& ExclusiveLock::operator=(ExclusiveLock&&) noexcept = default;
ExclusiveLock::~ExclusiveLock() = default;

}  // namespace vostrel::device

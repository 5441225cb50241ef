// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// One program at a time on a transmitter (or an emulated transmitter's file): an
// exclusive advisory lock held for as long as the device is open. A second program
// waits a short, bounded time for it and is then told the device is busy. Only a
// program that may write the device can keep others out: what a user who may only
// read it can lock does not count.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string_view>
#include <utility>

#include "device/hid_transport.h"

namespace vostrel::device {

enum class LockStatus { Locked, Busy, AccessDenied, Failed };

class ExclusiveLock {
public:
    // How long a second program waits before it is told the device is busy.
    static constexpr std::chrono::milliseconds kDefaultWait{1500};
    // On Linux, the abstract socket name under which a program that may write a node
    // claims it beside its lock on it, followed by the node's device and inode
    // numbers in decimal, separated by '/'. Every version that locks must agree on it.
    static constexpr std::string_view kClaimPrefix = "vostrel-programmer/lock/";

    struct Result;
    // Opens `path` (which must exist) for reading and writing and locks it; a path the
    // user may not write is AccessDenied, and cannot be locked against others either.
    // Nothing else is done to the file.
    static Result acquire(const std::filesystem::path& path, std::chrono::milliseconds wait = kDefaultWait);

private:
    // The system's lock, defined with acquire() in exclusive_lock_<system>.cpp, and its
    // release beside it: the lock ends when the handle is released.
    struct Handle;
    struct Release {
        void operator()(Handle* handle) const noexcept;
    };
    using HandlePointer = std::unique_ptr<Handle, Release>;

    explicit ExclusiveLock(HandlePointer handle) noexcept : handle_(std::move(handle)) {}
    static Result locked(HandlePointer handle);

    HandlePointer handle_;
};

struct ExclusiveLock::Result {
    LockStatus status = LockStatus::Failed;
    std::unique_ptr<ExclusiveLock> lock;  // set when Locked
};

inline ExclusiveLock::Result ExclusiveLock::locked(HandlePointer handle) {
    return Result{LockStatus::Locked, std::unique_ptr<ExclusiveLock>(new ExclusiveLock(std::move(handle)))};
}

// What a transport reports for a device whose lock ended as `status`.
inline OpenStatus openStatusOf(LockStatus status) {
    switch (status) {
        case LockStatus::Locked: return OpenStatus::Opened;
        case LockStatus::Busy: return OpenStatus::Busy;
        case LockStatus::AccessDenied: return OpenStatus::AccessDenied;
        case LockStatus::Failed: break;
    }
    return OpenStatus::Failed;
}

}  // namespace vostrel::device

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A write lock on the path itself, opened for reading and writing. The kernel
// releases it when the process ends, however it ends, so a crashed program never
// leaves a transmitter locked. It is an open-file-description lock (F_OFD_SETLK),
// which, unlike flock(2), cannot be taken through a descriptor opened for reading
// only: a user who may only read the device node cannot hold it against the users
// who may write. Where the system has no such locks, flock(2) on the node opened for
// writing does the rest.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "device/exclusive_lock.h"

namespace vostrel::device {

struct ExclusiveLock::Handle {
    int fd = -1;
};

// Closing the descriptor ends the lock.
void ExclusiveLock::Release::operator()(Handle* handle) const noexcept {
    if (handle->fd >= 0) ::close(handle->fd);
    delete handle;
}

namespace {

LockStatus statusOfOpenError(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? LockStatus::AccessDenied : LockStatus::Failed;
}

// Takes the lock without waiting: 0, or the errno (EAGAIN or EACCES while another
// program holds it).
int tryLock(int fd) {
#ifdef F_OFD_SETLK
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;  // from the start, l_len 0: the whole file
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0 ? 0 : errno;
#else
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
#endif
}

bool heldByAnother(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EACCES || error == EINTR; }

}  // namespace

ExclusiveLock::Result ExclusiveLock::acquire(const std::filesystem::path& path, std::chrono::milliseconds wait) {
    // Non-blocking: the lock must not wait on a device that is slow to open.
    HandlePointer handle(new Handle);
    handle->fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle->fd < 0) return Result{statusOfOpenError(errno), nullptr};
    constexpr std::chrono::milliseconds kPoll{20};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (int error = tryLock(handle->fd); error != 0; error = tryLock(handle->fd)) {
        if (!heldByAnother(error)) return Result{LockStatus::Failed, nullptr};
        if (std::chrono::steady_clock::now() >= deadline) return Result{LockStatus::Busy, nullptr};
        std::this_thread::sleep_for(kPoll);
    }
    return locked(std::move(handle));
}

}  // namespace vostrel::device

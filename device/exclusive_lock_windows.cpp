// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A named mutex per locked path, in the global namespace so that programs in every
// session see it. When its owner ends without releasing it, however it ends, the
// system hands it to the next waiter as abandoned, so a crashed program never leaves
// a transmitter locked. A mutex belongs to the thread that took it: the lock must be
// released on that thread.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "device/exclusive_lock.h"

namespace vostrel::device {

namespace {

// A thread may take a mutex it holds again. The locks this process holds are kept
// here so that a second lock on the same path waits and is told "busy", as it would
// be in another process.
std::mutex heldGuard;
std::set<std::wstring> heldNames;

bool heldHere(const std::wstring& name) {
    const std::lock_guard guard(heldGuard);
    return heldNames.contains(name);
}

void setHeldHere(const std::wstring& name, bool held) {
    const std::lock_guard guard(heldGuard);
    if (held) {
        heldNames.insert(name);
    } else {
        heldNames.erase(name);
    }
}

// Mutex names may not hold a backslash and are limited in length, so the name is a
// hash of the path as the system compares paths: absolute and case-insensitive.
std::wstring mutexName(const std::filesystem::path& path) {
    std::error_code error;
    std::wstring key = std::filesystem::absolute(path, error).wstring();
    if (error) key = path.wstring();
    ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (const wchar_t character : key) {
        hash = (hash ^ static_cast<std::uint16_t>(character)) * 1099511628211ULL;
    }
    constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring name = L"Global\\vostrel-transmitter-";
    for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
    return name;
}

LockStatus statusOfOpenError(DWORD error) {
    return error == ERROR_ACCESS_DENIED ? LockStatus::AccessDenied : LockStatus::Failed;
}

// The path must exist and be reachable; asking for no access at all neither needs
// permissions beyond that nor disturbs a device.
DWORD checkReachable(const std::filesystem::path& path) {
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
    ::CloseHandle(file);
    return ERROR_SUCCESS;
}

}  // namespace

struct ExclusiveLock::Handle {
    std::wstring name;
    HANDLE mutex = nullptr;
    bool owned = false;
};

void ExclusiveLock::Release::operator()(Handle* handle) const noexcept {
    if (handle->owned) {
        ::ReleaseMutex(handle->mutex);
        setHeldHere(handle->name, false);
    }
    if (handle->mutex != nullptr) ::CloseHandle(handle->mutex);
    delete handle;
}

ExclusiveLock::Result ExclusiveLock::acquire(const std::filesystem::path& path, std::chrono::milliseconds wait) {
    if (const DWORD error = checkReachable(path); error != ERROR_SUCCESS) return Result{statusOfOpenError(error), nullptr};
    HandlePointer handle(new Handle);
    handle->name = mutexName(path);
    handle->mutex = ::CreateMutexW(nullptr, FALSE, handle->name.c_str());
    // A mutex exists only while a program has it open; one this user may not open was
    // made by another user's program, which is using the device.
    if (handle->mutex == nullptr) {
        return Result{::GetLastError() == ERROR_ACCESS_DENIED ? LockStatus::Busy : LockStatus::Failed, nullptr};
    }
    constexpr std::chrono::milliseconds kPoll{20};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        if (!heldHere(handle->name)) {
            const DWORD waited = ::WaitForSingleObject(handle->mutex, static_cast<DWORD>(kPoll.count()));
            if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) break;
            if (waited != WAIT_TIMEOUT) return Result{LockStatus::Failed, nullptr};
        } else {
            std::this_thread::sleep_for(kPoll);
        }
        if (std::chrono::steady_clock::now() >= deadline) return Result{LockStatus::Busy, nullptr};
    }
    handle->owned = true;
    setHeldHere(handle->name, true);
    return locked(std::move(handle));
}

}  // namespace vostrel::device

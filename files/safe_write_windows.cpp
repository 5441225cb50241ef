// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The safe writer on Windows: CreateFileW with CREATE_NEW for temporary files,
// ReplaceFileW to replace (which keeps the replaced file's attributes and security),
// MoveFileExW without REPLACE_EXISTING to publish a new file whole. Reading too goes
// through the system's calls here, so that a failure carries Windows' own reason.

#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "files/error_text.h"
#include "files/system_reason.h"
#include "files/temporary_file.h"
#include "files/whole_file.h"

namespace vostrel::files {
namespace {

using detail::failure;
using detail::TemporaryFile;
namespace fs = std::filesystem;

FileError windowsFailure(const fs::path& path, std::string_view doing, DWORD error = GetLastError()) {
    return failure(path, std::string(doing) + ": " + systemReason({static_cast<int>(error), std::system_category()}));
}

// The name as the system calls take it: absolute, with backslashes. ReplaceFileW takes
// neither a name without its folder ("OUT.conf") nor forward slashes, and the temporary
// file's name is made from it; GetFullPathNameW (std::filesystem::absolute) resolves
// "." and ".." as Windows does. Errors keep naming the file as the user wrote it.
fs::path systemName(const fs::path& path) {
    std::error_code error;
    fs::path name = fs::absolute(path, error);
    if (error) name = path;
    return name.make_preferred();
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE handle_;
};

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Writes, flushes and closes.
std::optional<FileError> fill(Handle& file, const fs::path& named, std::string_view bytes) {
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.close()) {
        return windowsFailure(named, "cannot write");
    }
    return std::nullopt;
}

// A hidden file beside `target` under a name no other writer uses, filled with `bytes`.
// The name is short and of fixed length, so that the target's own name may be as long
// as a name can be.
std::variant<fs::path, FileError> writeTemporary(const fs::path& target, const fs::path& named,
                                                 std::string_view bytes) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temporary = target;
        temporary.replace_filename(detail::temporaryName(random()));
        Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!file.valid()) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return windowsFailure(named, "cannot create");
        }
        if (auto error = fill(file, named, bytes)) {
            DeleteFileW(temporary.c_str());
            return std::move(*error);
        }
        SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        return temporary;
    }
    return failure(named, "cannot create: no free temporary name");
}

// A device (NUL, COM1) or a file that other hard links share: written where it is.
std::optional<FileError> writeInPlace(Handle& file, const fs::path& path, std::string_view bytes, bool truncate) {
    if (!writeAll(file.get(), bytes)) return windowsFailure(path, "cannot write");
    if (truncate && (!SetEndOfFile(file.get()) || !FlushFileBuffers(file.get()))) {
        return windowsFailure(path, "cannot write");
    }
    if (!file.close()) return windowsFailure(path, "cannot write");
    return std::nullopt;
}

// Whether the file's owner is the one this process gives its new files (the token's
// default owner): an administrator's writes must not remove another user's files.
bool ownedByThisProcess(const fs::path& path) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    const bool known = size > 0 && GetTokenInformation(token, TokenOwner, buffer.data(), size, &size);
    CloseHandle(token);
    if (!known) return false;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &security) != ERROR_SUCCESS) {
        return false;
    }
    const bool same = owner != nullptr && EqualSid(owner, reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner);
    LocalFree(security);
    return same;
}

// Removes what writers killed half-way left beside `target`: files of the temporary
// name's pattern, with no other name, last written a minute ago or more, and given to
// their owner by this process's user; another user's are left alone.
void removeStaleTemporaryFiles(const fs::path& target) {
    std::error_code error;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(L".");
    const auto staleBefore = fs::file_time_type::clock::now() - detail::kStaleTemporaryAge;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator(); entry.increment(error)) {
        // Compared as ASCII: a name in another script converts to no narrow name.
        const std::wstring wide = entry->path().filename().wstring();
        if (std::ranges::any_of(wide, [](wchar_t c) { return c > 0x7F; })) continue;
        if (!detail::isTemporaryName(std::string(wide.begin(), wide.end()))) continue;
        std::error_code ignored;
        if (!entry->is_regular_file(ignored) || entry->is_symlink(ignored) || entry->hard_link_count(ignored) != 1) {
            continue;
        }
        std::error_code unknownTime;
        const auto written = entry->last_write_time(unknownTime);
        if (!unknownTime && written <= staleBefore && ownedByThisProcess(entry->path())) {
            fs::remove(entry->path(), ignored);
        }
    }
}

std::optional<FileError> replaceOrCreate(const fs::path& target, const fs::path& named, std::string_view bytes,
                                         bool exists) {
    removeStaleTemporaryFiles(target);
    auto written = writeTemporary(target, named, bytes);
    if (auto* error = std::get_if<FileError>(&written)) return std::move(*error);
    TemporaryFile temporary(std::get<fs::path>(written));
    const bool placed = exists ? ReplaceFileW(target.c_str(), temporary.path().c_str(), nullptr,
                                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                               : MoveFileExW(temporary.path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!placed) return windowsFailure(named, exists ? "cannot replace" : "cannot create");
    temporary.keep();
    return std::nullopt;
}

std::optional<FileError> createNew(const fs::path& target, const fs::path& named, std::string_view bytes) {
    removeStaleTemporaryFiles(target);
    auto written = writeTemporary(target, named, bytes);
    if (auto* error = std::get_if<FileError>(&written)) return std::move(*error);
    TemporaryFile temporary(std::get<fs::path>(written));
    if (MoveFileExW(temporary.path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        temporary.keep();
        return std::nullopt;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
        return windowsFailure(named, "cannot create", error);
    }
    FileError exists = failure(named, "file already exists");
    exists.alreadyExists = true;
    return exists;
}

}  // namespace

std::optional<FileError> writeWholeFile(const fs::path& path, std::string_view bytes, IfExists ifExists) {
    const fs::path target = systemName(path);
    if (ifExists == IfExists::Refuse) return createNew(target, path, bytes);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return failure(path, "cannot open for writing: is a directory");
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return failure(path, "is read-only; not replaced");
    }
    Handle existing(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!existing.valid()) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return windowsFailure(path, "cannot write", error);
        return replaceOrCreate(target, path, bytes, false);
    }
    if (GetFileType(existing.get()) != FILE_TYPE_DISK) return writeInPlace(existing, path, bytes, false);
    BY_HANDLE_FILE_INFORMATION information{};
    // Replacing would split the hard links: every other name would keep the old file.
    if (GetFileInformationByHandle(existing.get(), &information) && information.nNumberOfLinks > 1) {
        return writeInPlace(existing, path, bytes, true);
    }
    existing.close();
    return replaceOrCreate(target, path, bytes, true);
}

std::variant<std::string, FileError> readWholeFile(const fs::path& path, std::size_t maxBytes) {
    Handle file(CreateFileW(systemName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return windowsFailure(path, "cannot open");
    std::string bytes(maxBytes + 1, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD got = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1U << 30));
        // A pipe whose writer has gone ends as a file does.
        if (!ReadFile(file.get(), bytes.data() + filled, chunk, &got, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE) break;
            return windowsFailure(path, "cannot read");
        }
        if (got == 0) break;
        filled += got;
    }
    bytes.resize(filled);
    if (bytes.size() > maxBytes) return failure(path, "file is larger than " + std::to_string(maxBytes) + " bytes");
    return bytes;
}

}  // namespace vostrel::files

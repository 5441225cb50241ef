// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The safe writer on Linux: open(2) with O_EXCL for temporary files, rename(2) to
// replace, renameat2(2) with RENAME_NOREPLACE (or link(2)) to publish a new file whole.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <random>
#include <utility>

#include "files/error_text.h"
#include "files/temporary_file.h"
#include "files/whole_file.h"

namespace vostrel::files {
namespace {

using detail::failure;
using detail::TemporaryFile;
using detail::systemFailure;
namespace fs = std::filesystem;

// Closes the descriptor when it goes out of scope; close() reports what a final flush
// to the disk could not do.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes and flushes the bytes to the disk; the descriptor is closed.
std::optional<FileError> fill(Descriptor& file, const fs::path& named, std::string_view bytes) {
    if (!writeAll(file.get(), bytes)) return systemFailure(named, "cannot write");
    if (::fsync(file.get()) != 0 && errno != EINVAL) return systemFailure(named, "cannot write");
    if (!file.close()) return systemFailure(named, "cannot write");
    return std::nullopt;
}

// A name beside `target` that no other writer uses: the target's own name, hidden,
// with a random part, created exclusively.
std::variant<std::pair<int, fs::path>, FileError> createTemporary(const fs::path& target, const fs::path& named,
                                                                  mode_t mode) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name.append(target.filename().string()).append(".").append(std::to_string(random())).append(".tmp");
        fs::path temporary = target;
        temporary.replace_filename(name);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) return std::pair{fd, std::move(temporary)};
        if (errno != EEXIST) return systemFailure(named, "cannot create");
    }
    return failure(named, "cannot create: no free temporary name");
}

// Follows symlinks one by one, so that a dangling link names the file to create.
fs::path finalTarget(const fs::path& path) {
    fs::path target = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(target, error)) break;
        const fs::path link = fs::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

// For a device or FIFO: no temporary file, no truncation. Opened without waiting, so
// a FIFO nobody reads is an error instead of a hang.
std::optional<FileError> writeInPlace(const fs::path& path, std::string_view bytes, bool truncate) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) return systemFailure(path, "cannot open for writing");
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return systemFailure(path, "cannot open for writing");
    }
    if (!writeAll(file.get(), bytes)) return systemFailure(path, "cannot write");
    if (truncate && ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0) {
        return systemFailure(path, "cannot write");
    }
    if (!file.close()) return systemFailure(path, "cannot write");
    return std::nullopt;
}

// root may write anything, but a file nobody may write is still meant to stay as it is.
std::optional<FileError> refuseUnwritable(const fs::path& target, const fs::path& named, const struct stat& status) {
    if (::access(target.c_str(), W_OK) != 0) return systemFailure(named, "cannot write");
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return failure(named, "is read-only; not replaced");
    return std::nullopt;
}

std::optional<FileError> replaceRegular(const fs::path& target, const fs::path& named, std::string_view bytes,
                                        const struct stat* existing) {
    auto created = createTemporary(target, named, 0666);
    if (auto* error = std::get_if<FileError>(&created)) return std::move(*error);
    auto& [fd, path] = std::get<std::pair<int, fs::path>>(created);
    Descriptor file(fd);
    TemporaryFile temporary(path);
    if (existing != nullptr) {
        // The owner can only be kept by root; anyone else keeps the mode alone.
        (void)::fchown(file.get(), existing->st_uid, existing->st_gid);
        if (::fchmod(file.get(), existing->st_mode & 07777) != 0) return systemFailure(named, "cannot keep its mode");
    }
    if (auto error = fill(file, named, bytes)) return error;
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) return systemFailure(named, "cannot replace");
    temporary.keep();
    return std::nullopt;
}

// Moves the temporary file to `path` unless that name exists. renameat2 serves file
// systems without hard links (vfat); link() those whose rename cannot refuse to
// replace (NFS), the temporary name then being removed by its owner.
bool publishUnlessTaken(TemporaryFile& temporary, const fs::path& path) {
    if (::renameat2(AT_FDCWD, temporary.path().c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        temporary.keep();
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    return ::link(temporary.path().c_str(), path.c_str()) == 0;
}

// Written to a temporary file and published under the new name, which fails rather
// than replaces when the name exists, so the file is never seen half written.
std::optional<FileError> createNew(const fs::path& path, std::string_view bytes) {
    auto created = createTemporary(path, path, 0666);
    if (auto* error = std::get_if<FileError>(&created)) return std::move(*error);
    auto& [fd, name] = std::get<std::pair<int, fs::path>>(created);
    Descriptor file(fd);
    TemporaryFile temporary(name);
    if (auto error = fill(file, path, bytes)) return error;
    if (publishUnlessTaken(temporary, path)) return std::nullopt;
    if (errno != EEXIST) return systemFailure(path, "cannot create");
    FileError exists = failure(path, "file already exists");
    exists.alreadyExists = true;
    return exists;
}

}  // namespace

std::optional<FileError> writeWholeFile(const fs::path& path, std::string_view bytes, bool mustBeNew) {
    if (mustBeNew) return createNew(path, bytes);
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) return systemFailure(path, "cannot write");
        return replaceRegular(finalTarget(path), path, bytes, nullptr);
    }
    if (!S_ISREG(status.st_mode)) return writeInPlace(path, bytes, false);
    const fs::path target = finalTarget(path);
    if (auto refused = refuseUnwritable(target, path, status)) return refused;
    // Replacing would split the hard links: every other name would keep the old file.
    if (status.st_nlink > 1) return writeInPlace(target, bytes, true);
    return replaceRegular(target, path, bytes, &status);
}

}  // namespace vostrel::files

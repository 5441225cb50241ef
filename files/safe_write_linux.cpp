// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The safe writer on Linux. A name is resolved one component at a time through
// directory descriptors (openat(2) with O_NOFOLLOW, readlinkat(2) of the very link
// opened), so the file whose owner and mode are kept, the file rewritten and the
// directory the new file goes into are one and the same, whatever another program
// does to the names meanwhile: a name swapped after that is a name the writer no
// longer looks at. New contents go to an unnamed O_TMPFILE file that linkat(2) names
// only once it is complete; renameat(2) puts it in place.

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <deque>
#include <random>
#include <utility>
#include <vector>

#include "files/error_text.h"
#include "files/temporary_file.h"
#include "files/whole_file.h"
#include "files/write_seam.h"

namespace vostrel::files {

namespace {

using detail::failure;
using detail::systemFailure;
namespace fs = std::filesystem;

// As the kernel: more links than this on one path is a loop.
constexpr int kMaxSymlinks = 40;
// A name that keeps changing under the writer is given up on after this many looks.
constexpr int kMaxLooks = 8;

// Closes the descriptor when it goes out of scope; close() reports what a final flush
// to the disk could not do.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_ = -1;
};

// ---- writing bytes ---------------------------------------------------------------------

// Waits while a non-blocking descriptor (a pipe someone else set so) is full.
bool waitUntilWritable(int fd) {
    pollfd ready{fd, POLLOUT, 0};
    return ::poll(&ready, 1, -1) >= 0 || errno == EINTR;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitUntilWritable(fd)) return false;
            continue;
        }
        if (written == 0) errno = EIO;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// fsync(2) that accepts what cannot be synced (a pipe, a terminal).
bool flushToDisk(int fd) { return ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS; }

// Writes and flushes the bytes to the disk.
std::optional<FileError> fill(int fd, const fs::path& named, std::string_view bytes) {
    if (!writeAll(fd, bytes) || !flushToDisk(fd)) return systemFailure(named, "cannot write");
    return std::nullopt;
}

// ---- resolving a name --------------------------------------------------------------------

std::deque<std::string> componentsOf(std::string_view text) {
    std::deque<std::string> parts;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('/', start), text.size());
        const std::string_view part = text.substr(start, end - start);
        if (!part.empty() && part != ".") parts.emplace_back(part);
        start = end + 1;
    }
    return parts;
}

// A name that can only be a directory: "x/", "x/.", "..".
bool namesADirectory(std::string_view text) {
    return text.ends_with('/') || text == "." || text.ends_with("/.") || text == ".." || text.ends_with("/..");
}

// The descriptor a name stands for when it is one of the names the system gives a
// process's own open descriptors.
std::optional<int> descriptorNamed(std::string_view text) {
    std::string name = text.starts_with('/') ? "/" : "";
    for (const std::string& part : componentsOf(text)) name += part + "/";
    if (name.ends_with('/')) name.pop_back();
    if (name == "/dev/stdout") return STDOUT_FILENO;
    if (name == "/dev/stderr") return STDERR_FILENO;
    for (const std::string_view directory : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"}) {
        if (!name.starts_with(directory)) continue;
        const std::string_view digits = std::string_view(name).substr(directory.size());
        int fd = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty()) return fd;
    }
    return std::nullopt;
}

bool onProcFileSystem(int fd) {
    struct statfs system {};
    return ::fstatfs(fd, &system) == 0 && system.f_type == PROC_SUPER_MAGIC;
}

// What a name turned out to be.
struct Found {
    Descriptor directory;  // holds `name`; the new file is made here
    std::string name;
    Descriptor file;  // what the name names, opened; not valid when nothing does
    struct stat status {};
    // A link on /proc that only the kernel can follow (another process's descriptor):
    // what it opens is written where it is.
    bool inPlaceOnly = false;
};

// One of this process's open descriptors.
struct OpenDescriptor {
    int fd = -1;
};

using Resolution = std::variant<Found, OpenDescriptor, FileError>;

// Walks the name as the kernel would, except that every link is read through the
// directory that holds it, and a link another user owns in a sticky world-writable
// directory (/tmp) is not followed (fs.protected_symlinks, whatever the system's
// setting). With IfExists::Refuse the final name is only looked at, not opened.
class Resolver {
public:
    Resolver(const fs::path& named, IfExists ifExists) : named_(named), ifExists_(ifExists) {}

    Resolution resolve(std::string_view text) {
        if (const auto fd = descriptorNamed(text)) return OpenDescriptor{*fd};
        if (text.empty()) return systemFailure(named_, doing(), ENOENT);
        if (namesADirectory(text)) return systemFailure(named_, doing(), EISDIR);
        directory_ = Descriptor(::open(text.starts_with('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!directory_.valid()) return systemFailure(named_, doing());
        pending_ = componentsOf(text);
        while (!pending_.empty()) {
            std::string part = std::move(pending_.front());
            pending_.pop_front();
            std::optional<Resolution> outcome = pending_.empty() && part != ".." ? openFinal(part) : enter(part);
            if (outcome) return std::move(*outcome);
        }
        return systemFailure(named_, doing(), EISDIR);
    }

private:
    const char* doing() const { return ifExists_ == IfExists::Refuse ? "cannot create" : "cannot open for writing"; }

    // A directory on the way.
    std::optional<Resolution> enter(const std::string& part) {
        Descriptor next(::openat(directory_.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status {};
        if (!next.valid() || ::fstat(next.get(), &status) != 0) return systemFailure(named_, doing());
        if (S_ISLNK(status.st_mode)) return follow(next, status, nullptr);
        if (!S_ISDIR(status.st_mode)) return systemFailure(named_, doing(), ENOTDIR);
        directory_ = std::move(next);
        return std::nullopt;
    }

    std::optional<Resolution> openFinal(const std::string& part) {
        const bool replacing = ifExists_ == IfExists::Replace;
        const int flags = replacing ? O_WRONLY | O_NONBLOCK | O_NOCTTY : O_PATH;
        Descriptor file(::openat(directory_.get(), part.c_str(), flags | O_NOFOLLOW | O_CLOEXEC));
        if (!file.valid() && errno == ENOENT) return found(part, Descriptor());
        if (!file.valid() && errno != ELOOP) return systemFailure(named_, doing());
        const bool metLink = !file.valid();
        if (metLink) {
            // O_NOFOLLOW met a link: open the link itself to read it.
            file = Descriptor(::openat(directory_.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
            if (!file.valid()) return systemFailure(named_, doing());
        }
        struct stat status {};
        if (::fstat(file.get(), &status) != 0) return systemFailure(named_, doing());
        if (S_ISLNK(status.st_mode)) return follow(file, status, &part);
        if (metLink && replacing) {
            // No longer the link that O_NOFOLLOW refused a moment ago: look again.
            if (++looks_ >= kMaxLooks) return failure(named_, std::string(doing()) + ": the name keeps changing");
            pending_.push_front(part);
            return std::nullopt;
        }
        Found result = found(part, std::move(file));
        result.status = status;
        return result;
    }

    Found found(const std::string& part, Descriptor file) {
        Found result;
        result.directory = std::move(directory_);
        result.name = part;
        result.file = std::move(file);
        return result;
    }

    // Reads the link just opened and goes on with its components in front of the rest.
    // `finalName` is the link's name when it is the last component.
    std::optional<Resolution> follow(const Descriptor& link, const struct stat& linkStatus,
                                     const std::string* finalName) {
        const bool final = finalName != nullptr;
        if (++links_ > kMaxSymlinks) return systemFailure(named_, doing(), ELOOP);
        struct stat directoryStatus {};
        if (::fstat(directory_.get(), &directoryStatus) != 0) return systemFailure(named_, doing());
        const bool shared = (directoryStatus.st_mode & S_ISVTX) != 0 && (directoryStatus.st_mode & S_IWOTH) != 0;
        if (shared && linkStatus.st_uid != ::geteuid() && linkStatus.st_uid != directoryStatus.st_uid) {
            return failure(named_, std::string(doing()) +
                                       ": a symlink another user owns in a shared directory is not followed");
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlinkat(link.get(), "", target.data(), target.size());
        if (length < 0) return systemFailure(named_, doing());
        if (static_cast<std::size_t>(length) >= target.size()) return systemFailure(named_, doing(), ENAMETOOLONG);
        target.resize(static_cast<std::size_t>(length));
        if (const auto fd = descriptorNamed(target)) return OpenDescriptor{*fd};
        if (final && onProcFileSystem(directory_.get())) return openThroughKernel(*finalName);
        if (target.empty()) return systemFailure(named_, doing(), ENOENT);
        if (final && namesADirectory(target)) return systemFailure(named_, doing(), EISDIR);
        if (target.starts_with('/')) {
            directory_ = Descriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!directory_.valid()) return systemFailure(named_, doing());
        }
        std::deque<std::string> parts = componentsOf(target);
        pending_.insert(pending_.begin(), parts.begin(), parts.end());
        return std::nullopt;
    }

    // Another process's descriptor under /proc: its text ("pipe:[4711]", a deleted
    // file) names nothing to walk, so the kernel opens it.
    Resolution openThroughKernel(const std::string& name) {
        const int flags = ifExists_ == IfExists::Refuse ? O_PATH : O_WRONLY | O_NONBLOCK | O_NOCTTY;
        Found result = found(name, Descriptor(::openat(directory_.get(), name.c_str(), flags | O_CLOEXEC)));
        if (!result.file.valid() || ::fstat(result.file.get(), &result.status) != 0) {
            return systemFailure(named_, doing());
        }
        result.inPlaceOnly = true;
        return result;
    }

    const fs::path& named_;
    IfExists ifExists_;
    Descriptor directory_;
    std::deque<std::string> pending_;
    int links_ = 0;
    int looks_ = 0;
};

// ---- keeping what made the file the user's --------------------------------------------------

// The names in a list of extended attributes; nothing when they cannot be listed.
std::optional<std::vector<std::string>> attributeNames(int fd) {
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) {
            if (errno == ENOTSUP) return std::vector<std::string>();
            return std::nullopt;
        }
        std::string list(static_cast<std::size_t>(size), '\0');
        const ssize_t listed = ::flistxattr(fd, list.data(), list.size());
        if (listed < 0 && errno == ERANGE) continue;  // grew meanwhile
        if (listed < 0) return std::nullopt;
        list.resize(static_cast<std::size_t>(listed));
        std::vector<std::string> names;
        for (std::size_t start = 0; start < list.size();) {
            const std::size_t end = std::min(list.find('\0', start), list.size());
            if (end > start) names.emplace_back(list.substr(start, end - start));
            start = end + 1;
        }
        return names;
    }
}

std::optional<std::string> attributeValue(int fd, const std::string& name) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t read = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (read < 0 && errno == ERANGE) continue;
        if (read < 0) return std::nullopt;
        value.resize(static_cast<std::size_t>(read));
        return value;
    }
}

// Gives `to` exactly the extended attributes of `from`, ACLs (system.posix_acl_access)
// included; those `to` got from its directory's default ACL and `from` lacks go.
bool copyAttributes(int from, int to) {
    const auto wanted = attributeNames(from);
    const auto present = attributeNames(to);
    if (!wanted || !present) return false;
    for (const std::string& name : *present) {
        if (std::ranges::find(*wanted, name) == wanted->end() && ::fremovexattr(to, name.c_str()) != 0) return false;
    }
    for (const std::string& name : *wanted) {
        const auto value = attributeValue(from, name);
        if (!value) return false;
        if (attributeValue(to, name) == value) continue;
        if (::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) return false;
    }
    return true;
}

// Gives the new file everything that made the old one the user's: owner, group,
// mode, ACLs and other extended attributes. False when any of it cannot be given
// (only root may give a file to another user), and the old file must be rewritten
// in place to keep it.
bool keepIdentity(int from, const struct stat& status, int to) {
    struct stat made {};
    if (::fstat(to, &made) != 0) return false;
    if ((made.st_uid != status.st_uid || made.st_gid != status.st_gid) &&
        ::fchown(to, status.st_uid, status.st_gid) != 0) {
        return false;
    }
    // The mode last: it sets the ACL's mask to the old file's group bits, as they were.
    return copyAttributes(from, to) && ::fchmod(to, status.st_mode & 07777) == 0;
}

// ---- the new file -------------------------------------------------------------------------

// "/proc/self/fd/N" names an unnamed file for linkat(2) without the capability that
// AT_EMPTY_PATH needs.
bool canNameUnnamedFiles() { return ::access("/proc/self/fd", X_OK) == 0; }

std::string temporaryName() {
    static std::random_device random;
    return detail::temporaryName(static_cast<unsigned>(random()));
}

// Removes what writers killed half-way left in the directory: regular files of the
// temporary name's pattern, with no other name, last written a minute ago or more, and
// this user's own. Another user's are left alone, even by root and in a folder where
// anyone may remove anything: that user's writer may still be running, and whoever
// runs the tool may have been given the folder, not the other user's files.
void removeStaleTemporaryFiles(int directory) {
    const int readable = ::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0) return;
    DIR* entries = ::fdopendir(readable);
    if (entries == nullptr) {
        ::close(readable);
        return;
    }
    const auto staleBefore = ::time(nullptr) - detail::kStaleTemporaryAge.count();
    while (const dirent* entry = ::readdir(entries)) {
        if (!detail::isTemporaryName(entry->d_name)) continue;
        struct stat status {};
        if (::fstatat(directory, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(status.st_mode) && status.st_nlink == 1 && status.st_mtime <= staleBefore &&
            status.st_uid == ::geteuid()) {
            (void)::unlinkat(directory, entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

// The new contents in the directory of the file they are for, removed on every way out
// unless they were put in place.
class NewFile {
public:
    enum class Outcome { Made, DirectoryNotWritable, Failed };

    NewFile(int directory, const fs::path& named) : directory_(directory), named_(named) {}
    ~NewFile() {
        if (!name_.empty()) ::unlinkat(directory_, name_.c_str(), 0);
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Makes the file, unnamed where the system can. `mode` is for a named temporary
    // file, which others could open before it is complete.
    Outcome make(mode_t mode, std::optional<FileError>& error) {
        if (canNameUnnamedFiles()) {
            file_ = Descriptor(::openat(directory_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
            if (file_.valid()) return Outcome::Made;
            // Older kernels and some file systems have no unnamed files.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return failed(error);
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = temporaryName();
            file_ = Descriptor(
                ::openat(directory_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
            if (file_.valid()) {
                name_ = name;
                return Outcome::Made;
            }
            if (errno != EEXIST) return failed(error);
        }
        error = failure(named_, "cannot create: no free temporary name");
        return Outcome::Failed;
    }

    int get() const { return file_.get(); }

    // Puts the file in place of `name`, whatever is there.
    bool replace(const std::string& name) {
        if (name_.empty() && !giveTemporaryName()) return false;
        if (::renameat(directory_, name_.c_str(), directory_, name.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

    // Names the file `name` unless that name is taken (errno EEXIST).
    bool publishUnlessTaken(const std::string& name) {
        if (name_.empty()) return linkUnnamed(name);
        // renameat2 serves file systems without hard links (vfat); linkat those whose
        // rename cannot refuse to replace (NFS), the temporary name then being removed.
        if (::renameat2(directory_, name_.c_str(), directory_, name.c_str(), RENAME_NOREPLACE) == 0) {
            name_.clear();
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
        return ::linkat(directory_, name_.c_str(), directory_, name.c_str(), 0) == 0;
    }

    // Once the file is in place: false when the system reports a late write error.
    bool close() { return file_.close(); }

private:
    Outcome failed(std::optional<FileError>& error) {
        const bool notWritable = errno == EACCES || errno == EPERM;
        error = systemFailure(named_, "cannot create");
        return notWritable ? Outcome::DirectoryNotWritable : Outcome::Failed;
    }

    bool linkUnnamed(const std::string& name) {
        char procPath[64];
        std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", file_.get());
        return ::linkat(AT_FDCWD, procPath, directory_, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }

    // A file cannot be renamed over another before it has a name: it gets a short one,
    // for as long as the rename takes.
    bool giveTemporaryName() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = temporaryName();
            if (linkUnnamed(name)) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    int directory_;
    const fs::path& named_;
    Descriptor file_;
    std::string name_;  // empty while the file has no name of its own
};

void syncDirectory(int directory) {
    const Descriptor readable(::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (readable.valid()) (void)::fsync(readable.get());
}

// ---- the ways of writing ---------------------------------------------------------------------

// For a device or FIFO, and for this process's own descriptors: no temporary file, no
// truncation.
std::optional<FileError> writeStream(int fd, const fs::path& named, std::string_view bytes) {
    if (!writeAll(fd, bytes) || !flushToDisk(fd)) return systemFailure(named, "cannot write");
    return std::nullopt;
}

std::optional<FileError> writeDescriptor(int fd, const fs::path& named, std::string_view bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return systemFailure(named, "cannot write");
    return writeStream(fd, named, bytes);
}

// Makes sure `size` bytes of the file are on the disk: nothing beyond is touched
// unless all of it could be had.
int reserveSpace(int fd, const struct stat& status, off_t size) {
    if (size == 0) return 0;
    int error = ::posix_fallocate(fd, 0, size);
    if (error == EOPNOTSUPP || error == ENOSYS || error == EBADF) {
        // No reservation on this file system (glibc's emulation would need to read):
        // claiming the blocks past the end with zeros does the same for a file that
        // has no holes.
        error = 0;
        const std::string zeros(static_cast<std::size_t>(std::max<off_t>(size - status.st_size, 0)), '\0');
        if (!writeAllAt(fd, zeros, status.st_size)) error = errno;
    }
    // A reservation that failed part of the way may have lengthened the file.
    if (error != 0) (void)::ftruncate(fd, status.st_size);
    return error;
}

// For a file that cannot be replaced without losing something: the space is reserved
// before a byte changes, so a full disk leaves the file as it was.
std::optional<FileError> rewriteInPlace(Descriptor& file, const struct stat& status, const fs::path& named,
                                        std::string_view bytes) {
    const auto size = static_cast<off_t>(bytes.size());
    if (const int error = reserveSpace(file.get(), status, size)) {
        return systemFailure(named, "cannot write (nothing was changed)", error);
    }
    if (!writeAllAt(file.get(), bytes, 0) || ::ftruncate(file.get(), size) != 0 || !flushToDisk(file.get()) ||
        !file.close()) {
        return systemFailure(named, "cannot write");
    }
    return std::nullopt;
}

enum class Published { Done, NameTaken };
using WriteOutcome = std::variant<Published, FileError>;

WriteOutcome outcomeOf(std::optional<FileError> error) {
    if (error) return std::move(*error);
    return Published::Done;
}

// Written to a new file and put in place under `found.name`. An existing file is
// replaced, keeping what made it the user's, or rewritten in place when that cannot
// be kept or its directory takes no new file.
WriteOutcome writeNewFile(Found& found, const fs::path& named, std::string_view bytes, IfExists ifExists) {
    removeStaleTemporaryFiles(found.directory.get());
    const bool replacing = found.file.valid();
    NewFile file(found.directory.get(), named);
    std::optional<FileError> error;
    const NewFile::Outcome made = file.make(replacing ? 0600 : 0666, error);
    if (made == NewFile::Outcome::DirectoryNotWritable && replacing) {
        return outcomeOf(rewriteInPlace(found.file, found.status, named, bytes));
    }
    if (made != NewFile::Outcome::Made) return std::move(*error);
    if (replacing && !keepIdentity(found.file.get(), found.status, file.get())) {
        return outcomeOf(rewriteInPlace(found.file, found.status, named, bytes));
    }
    if (auto failed = fill(file.get(), named, bytes)) return std::move(*failed);
    if (replacing) {
        if (!file.replace(found.name)) return systemFailure(named, "cannot replace");
    } else if (!file.publishUnlessTaken(found.name)) {
        if (errno != EEXIST) return systemFailure(named, "cannot create");
        if (ifExists == IfExists::Replace) return Published::NameTaken;
        FileError exists = failure(named, "file already exists");
        exists.alreadyExists = true;
        return exists;
    }
    if (!file.close()) return systemFailure(named, "cannot write");
    syncDirectory(found.directory.get());
    return Published::Done;
}

std::optional<FileError> writeExisting(Found& found, const fs::path& named, std::string_view bytes) {
    if (!S_ISREG(found.status.st_mode)) return writeStream(found.file.get(), named, bytes);
    // root may write anything, but a file nobody may write is still meant to stay.
    if ((found.status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return failure(named, "is read-only; not replaced");
    // Replacing would split the hard links: every other name would keep the old file.
    if (found.inPlaceOnly || found.status.st_nlink > 1) {
        return rewriteInPlace(found.file, found.status, named, bytes);
    }
    auto written = writeNewFile(found, named, bytes, IfExists::Replace);
    if (auto* error = std::get_if<FileError>(&written)) return std::move(*error);
    return std::nullopt;
}

}  // namespace

std::optional<FileError> writeWholeFile(const fs::path& path, std::string_view bytes, IfExists ifExists) {
    for (int look = 0; look < kMaxLooks; ++look) {
        Resolution resolved = Resolver(path, ifExists).resolve(path.native());
        if (auto* error = std::get_if<FileError>(&resolved)) return std::move(*error);
        if (const auto* open = std::get_if<OpenDescriptor>(&resolved)) return writeDescriptor(open->fd, path, bytes);
        Found& found = std::get<Found>(resolved);
        if (found.file.valid() && ifExists == IfExists::Refuse) {
            FileError exists = failure(path, "file already exists");
            exists.alreadyExists = true;
            return exists;
        }
        seam::afterResolving();
        if (found.file.valid()) {
            if (!S_ISREG(found.status.st_mode)) {
                // Opened without waiting, so that a FIFO nobody reads was an error
                // rather than a hang; now it may wait for the reader to take the bytes.
                const int flags = ::fcntl(found.file.get(), F_GETFL);
                if (flags < 0 || ::fcntl(found.file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
                    return systemFailure(path, "cannot open for writing");
                }
            }
            return writeExisting(found, path, bytes);
        }
        auto written = writeNewFile(found, path, bytes, ifExists);
        if (auto* error = std::get_if<FileError>(&written)) return std::move(*error);
        if (std::get<Published>(written) == Published::Done) return std::nullopt;
        // Replace met a name made meanwhile: look again, and replace what is there now.
    }
    return failure(path, "cannot write: the name keeps changing");
}

}  // namespace vostrel::files

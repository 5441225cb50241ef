// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A write lock on the path itself, opened for reading and writing. The kernel
// releases it when the process ends, however it ends, so a crashed program never
// leaves a transmitter locked. It is an open-file-description lock (F_OFD_SETLK),
// which, unlike flock(2), cannot be taken through a descriptor opened for reading
// only. But a user who may only read the node can take a *read* lock on it, and that
// keeps every write lock out. So a conflicting lock counts as "busy" only when it is a
// write lock, which only a program that may write the node can hold; read locks are
// passed by. On Linux the programs that may write also claim the node under an
// abstract socket name (kClaimPrefix), which keeps them apart from each other while
// read locks stand in the way; a claim counts only when its holder may write the node.
// Where the system has no open-file-description locks, flock(2) on the node opened
// for writing does the rest.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/xattr.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device/exclusive_lock.h"

namespace vostrel::device {

namespace {

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }

private:
    int fd_ = -1;
};

}  // namespace

struct ExclusiveLock::Handle {
    Descriptor node;
    Descriptor claim;  // the claim's listening socket, when this program holds it
};

// Closing the descriptors ends the lock and the claim.
void ExclusiveLock::Release::operator()(Handle* handle) const noexcept { delete handle; }

namespace {

LockStatus statusOfOpenError(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? LockStatus::AccessDenied : LockStatus::Failed;
}

bool heldByAnother(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EACCES || error == EINTR; }

// ---- the lock on the node -----------------------------------------------------------

enum class NodeLock { Locked, HeldByWriter, HeldByReaders, Failed };

#ifdef F_OFD_SETLK
struct flock wholeFile(short type) {
    struct flock whole {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET;  // from the start, l_len 0: the whole file
    return whole;
}

// A read lock conflicts only with write locks: asking whether one would be granted
// finds a write lock, and passes by every read lock.
bool writeLockHeld(int fd) {
    struct flock probe = wholeFile(F_RDLCK);
    return ::fcntl(fd, F_OFD_GETLK, &probe) != 0 || probe.l_type != F_UNLCK;
}

NodeLock lockNode(int fd) {
    struct flock whole = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) return NodeLock::Locked;
    if (!heldByAnother(errno)) return NodeLock::Failed;
    return writeLockHeld(fd) ? NodeLock::HeldByWriter : NodeLock::HeldByReaders;
}
#else
NodeLock lockNode(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return NodeLock::Locked;
    return heldByAnother(errno) ? NodeLock::HeldByWriter : NodeLock::Failed;
}
#endif

// ---- the writers' claim (Linux) ---------------------------------------------------------

enum class Claim { Held, HeldByWriter, Unavailable };

#ifdef __linux__
// Who may write the node, as the kernel would judge it: root; the owner by the owner's
// bits; a user or group named in the node's access ACL (as udev's uaccess gives a seat
// user) by that entry within the ACL's mask; the owning group by its bits; anyone by
// the others' bits.
struct Credentials {
    uid_t uid = 0;
    std::vector<gid_t> groups;
};

constexpr std::uint16_t kAclUser = 0x02, kAclGroupObject = 0x04, kAclGroup = 0x08, kAclMask = 0x10, kAclOther = 0x20;
constexpr std::uint16_t kAclWrite = 0x02;

struct AclEntry {
    std::uint16_t tag = 0;
    std::uint16_t permissions = 0;
    std::uint32_t id = 0;
};

// The node's access ACL, as the kernel stores it: a version word, then 8-byte entries.
std::optional<std::vector<AclEntry>> accessAcl(int fd) {
    std::uint8_t bytes[1024];
    const ssize_t size = ::fgetxattr(fd, "system.posix_acl_access", bytes, sizeof bytes);
    if (size < 4) return std::nullopt;
    std::vector<AclEntry> entries;
    for (ssize_t at = 4; at + 8 <= size; at += 8) {
        AclEntry entry;
        std::memcpy(&entry.tag, bytes + at, 2);
        std::memcpy(&entry.permissions, bytes + at + 2, 2);
        std::memcpy(&entry.id, bytes + at + 4, 4);
        entries.push_back(entry);
    }
    return entries;
}

bool mayWrite(const struct stat& node, const std::optional<std::vector<AclEntry>>& acl, const Credentials& who) {
    if (who.uid == 0) return true;
    if (who.uid == node.st_uid) return (node.st_mode & S_IWUSR) != 0;
    const auto inGroup = [&](gid_t group) { return std::ranges::find(who.groups, group) != who.groups.end(); };
    if (!acl) return (node.st_mode & (inGroup(node.st_gid) ? S_IWGRP : S_IWOTH)) != 0;
    std::uint16_t mask = 0x07;
    for (const AclEntry& entry : *acl) {
        if (entry.tag == kAclMask) mask = entry.permissions;
    }
    for (const AclEntry& entry : *acl) {
        if (entry.tag == kAclUser && entry.id == who.uid) return (entry.permissions & mask & kAclWrite) != 0;
    }
    bool groupMatched = false;
    for (const AclEntry& entry : *acl) {
        const bool matches = (entry.tag == kAclGroupObject && inGroup(node.st_gid)) ||
                             (entry.tag == kAclGroup && inGroup(static_cast<gid_t>(entry.id)));
        if (!matches) continue;
        if (entry.permissions & mask & kAclWrite) return true;
        groupMatched = true;
    }
    if (groupMatched) return false;
    const auto other = std::ranges::find(*acl, kAclOther, &AclEntry::tag);
    return other != acl->end() && (other->permissions & kAclWrite) != 0;
}

// The process's supplementary groups, as /proc shows them to everyone; none when it
// shows nothing (hidepid), which can only make a writer look like a reader.
std::vector<gid_t> groupsOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::vector<gid_t> groups;
    for (std::string line; std::getline(status, line);) {
        if (!line.starts_with("Groups:")) continue;
        std::istringstream numbers(line.substr(7));
        for (gid_t group = 0; numbers >> group;) groups.push_back(group);
    }
    return groups;
}

// The claim's name: the node itself, by device and inode, so that every path to it
// (/dev/hidraw0, a link to it) makes the same name.
struct ClaimAddress {
    sockaddr_un address{};
    socklen_t length = 0;
};

ClaimAddress claimAddress(const struct stat& node) {
    const std::string name = std::string(ExclusiveLock::kClaimPrefix) + std::to_string(node.st_dev) + "/" +
                             std::to_string(node.st_ino);
    ClaimAddress claim;
    claim.address.sun_family = AF_UNIX;
    // An abstract name: a leading zero byte, no file, gone with the last descriptor.
    std::copy(name.begin(), name.end(), claim.address.sun_path + 1);
    claim.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return claim;
}

// Whether the program that holds the claim may write the node. A holder that cannot
// be asked (it does not listen, as this program always does) is nobody's.
bool claimHolderMayWrite(const ClaimAddress& claim, int node) {
    const Descriptor asking(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!asking.valid()) return false;
    if (::connect(asking.get(), reinterpret_cast<const sockaddr*>(&claim.address), claim.length) != 0) return false;
    ucred holder{};
    socklen_t size = sizeof holder;
    struct stat status {};
    if (::getsockopt(asking.get(), SOL_SOCKET, SO_PEERCRED, &holder, &size) != 0 || ::fstat(node, &status) != 0) {
        return false;
    }
    Credentials credentials{holder.uid, groupsOf(holder.pid)};
    credentials.groups.push_back(holder.gid);
    return mayWrite(status, accessAcl(node), credentials);
}

Claim claimNode(int node, Descriptor& held) {
    struct stat status {};
    if (::fstat(node, &status) != 0) return Claim::Unavailable;
    const ClaimAddress claim = claimAddress(status);
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) return Claim::Unavailable;
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&claim.address), claim.length) == 0 &&
        ::listen(socket.get(), SOMAXCONN) == 0) {
        held = std::move(socket);
        return Claim::Held;
    }
    if (errno != EADDRINUSE) return Claim::Unavailable;
    // Taken by a reader, the name keeps nobody out.
    return claimHolderMayWrite(claim, node) ? Claim::HeldByWriter : Claim::Unavailable;
}
#else
Claim claimNode(int, Descriptor&) { return Claim::Unavailable; }
#endif

// One try at both: busy only when a program that may write the node holds either.
// Without the node's lock (only readers hold locks on it), the claim alone keeps the
// writers apart.
LockStatus tryToHold(const Descriptor& node, Descriptor& claim) {
    if (claimNode(node.get(), claim) == Claim::HeldByWriter) return LockStatus::Busy;
    const NodeLock locked = lockNode(node.get());
    if (locked == NodeLock::Locked || locked == NodeLock::HeldByReaders) return LockStatus::Locked;
    claim = Descriptor();
    return locked == NodeLock::Failed ? LockStatus::Failed : LockStatus::Busy;
}

}  // namespace

ExclusiveLock::Result ExclusiveLock::acquire(const std::filesystem::path& path, std::chrono::milliseconds wait) {
    // Non-blocking: the lock must not wait on a device that is slow to open.
    HandlePointer handle(new Handle);
    handle->node = Descriptor(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!handle->node.valid()) return Result{statusOfOpenError(errno), nullptr};
    constexpr std::chrono::milliseconds kPoll{20};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    const auto tryOnce = [&handle] { return tryToHold(handle->node, handle->claim); };
    for (LockStatus status = tryOnce(); status != LockStatus::Locked; status = tryOnce()) {
        if (status == LockStatus::Failed) return Result{LockStatus::Failed, nullptr};
        if (std::chrono::steady_clock::now() >= deadline) return Result{LockStatus::Busy, nullptr};
        std::this_thread::sleep_for(kPoll);
    }
    return locked(std::move(handle));
}

}  // namespace vostrel::device

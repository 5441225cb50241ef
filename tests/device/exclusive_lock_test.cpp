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
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <stdexcept>
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
// A process of another user that does `act` and reports its one-byte outcome, then
// holds whatever it took until the test ends it.
class OtherUser {
public:
    OtherUser(uid_t uid, gid_t gid, const std::function<char()>& act) {
        if (::pipe(report_) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(100);
            const char outcome = act();
            (void)!::write(report_[1], &outcome, 1);
            ::pause();
            ::_exit(0);
        }
        if (::read(report_[0], &outcome_, 1) != 1) outcome_ = -1;
    }
    ~OtherUser() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        ::close(report_[0]);
        ::close(report_[1]);
    }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    char outcome() const { return outcome_; }

private:
    pid_t pid_ = -1;
    int report_[2] = {-1, -1};
    char outcome_ = -1;
};

char statusByte(LockStatus status) { return static_cast<char>(status); }

// Every lock a user who may only read the node can take on it: an exclusive flock,
// and open-file-description and process read locks over the whole file.
char takeEveryReadersLock(const std::filesystem::path& path) {
    const int readOnly = ::open(path.c_str(), O_RDONLY);
    struct flock whole {};
    whole.l_type = F_RDLCK;
    whole.l_whence = SEEK_SET;
    const bool locked = ::flock(readOnly, LOCK_EX | LOCK_NB) == 0 && ::fcntl(readOnly, F_OFD_SETLK, &whole) == 0 &&
                        ::fcntl(::open(path.c_str(), O_RDONLY), F_SETLK, &whole) == 0;
    return locked ? 1 : 0;
}

// The name under which the programs that may write the node claim it beside their
// lock on it (see exclusive_lock.h).
std::string claimName(const std::filesystem::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return std::string(ExclusiveLock::kClaimPrefix) + std::to_string(status.st_dev) + "/" + std::to_string(status.st_ino);
}

char squatClaimName(const std::filesystem::path& path) {
    const std::string name = claimName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return ::bind(socket, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(socket, 1) == 0 ? 1 : 0;
}

class LockUsers : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as other users";
        std::ofstream(path_) << "eeprom";
    }
    void TearDown() override { std::filesystem::remove(path_); }

    // Owned by root and group `group`: root and that group may write, others only read.
    void shareWithGroup(gid_t group) {
        ASSERT_EQ(::chown(path_.c_str(), 0, group), 0);
        std::filesystem::permissions(path_, std::filesystem::perms(0664));
    }

    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() / ("vostrel-lock-users-" + std::to_string(::getpid()));
};

constexpr uid_t kWriter = 65534;  // nobody, in the node's group nogroup
constexpr gid_t kWritersGroup = 65534;
constexpr uid_t kReader = 65533;

// A user who may only read the node takes no lock, and whatever locks it takes as
// a reader, the users who may write still get in, one at a time.
TEST_F(LockUsers, AUserWhoMayOnlyReadCannotKeepWritersOut) {
    shareWithGroup(kWritersGroup);
    const OtherUser reader(kReader, kReader, [&] {
        if (ExclusiveLock::acquire(path_, 0ms).status != LockStatus::AccessDenied) return char{2};
        return takeEveryReadersLock(path_);
    });
    ASSERT_EQ(reader.outcome(), 1);
    ExclusiveLock::Result first = ExclusiveLock::acquire(path_, 100ms);
    EXPECT_EQ(first.status, LockStatus::Locked);
    EXPECT_EQ(ExclusiveLock::acquire(path_, 100ms).status, LockStatus::Busy);
    {
        const OtherUser writer(kWriter, kWritersGroup,
                               [&] { return statusByte(ExclusiveLock::acquire(path_, 100ms).status); });
        EXPECT_EQ(writer.outcome(), statusByte(LockStatus::Busy));
    }
    first.lock.reset();
    ExclusiveLock::Result writers;  // held in the other user's process
    const OtherUser writer(kWriter, kWritersGroup, [&] {
        writers = ExclusiveLock::acquire(path_, 0ms);
        return statusByte(writers.status);
    });
    EXPECT_EQ(writer.outcome(), statusByte(LockStatus::Locked));
    EXPECT_EQ(ExclusiveLock::acquire(path_, 100ms).status, LockStatus::Busy);
}

// The node as udev's uaccess tag leaves it: root's alone by its mode, with the seat
// user given read and write by its access ACL (here also a user given only read).
// A writer by the ACL keeps the others out; the reader does not.
TEST_F(LockUsers, AUserGivenWriteByTheAclKeepsOthersOut) {
    struct Entry {
        std::uint16_t tag, permissions;
        std::uint32_t id;
    };
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    const Entry acl[] = {{0x01, 6, kNone}, {0x02, 4, kReader}, {0x02, 6, kWriter},
                         {0x04, 0, kNone}, {0x10, 6, kNone},   {0x20, 0, kNone}};
    std::string bytes("\x02\0\0\0", 4);  // the kernel's layout: version 2, then 8-byte entries
    for (const Entry& entry : acl) bytes.append(reinterpret_cast<const char*>(&entry), sizeof entry);
    if (::setxattr(path_.c_str(), "system.posix_acl_access", bytes.data(), bytes.size(), 0) != 0) {
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    }
    const OtherUser reader(kReader, kReader, [&] { return takeEveryReadersLock(path_); });
    ASSERT_EQ(reader.outcome(), 1);
    ExclusiveLock::Result writers;
    const OtherUser writer(kWriter, kWriter, [&] {
        writers = ExclusiveLock::acquire(path_, 0ms);
        return statusByte(writers.status);
    });
    EXPECT_EQ(writer.outcome(), statusByte(LockStatus::Locked));
    EXPECT_EQ(ExclusiveLock::acquire(path_, 100ms).status, LockStatus::Busy);
}

// Claiming the writers' name too does not keep them out either; it is the one way a
// reader can let two of them in at once (the limit the user guide states).
TEST_F(LockUsers, AReaderWhoAlsoClaimsTheWritersNameStillCannotKeepThemOut) {
    shareWithGroup(kWritersGroup);
    const OtherUser reader(kReader, kReader,
                           [&] { return static_cast<char>(takeEveryReadersLock(path_) & squatClaimName(path_)); });
    ASSERT_EQ(reader.outcome(), 1);
    EXPECT_EQ(ExclusiveLock::acquire(path_, 100ms).status, LockStatus::Locked);
}
#endif

}  // namespace
}  // namespace vostrel::device

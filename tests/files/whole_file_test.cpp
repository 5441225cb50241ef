// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The safe writer against every kind of thing a user may name as an output, another
// program changing the names meanwhile, other users, ACLs, a full disk and a kill.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "files/whole_file.h"
#include "files/write_seam.h"
#include "tests/files/files_test_support.h"

namespace vostrel::files {
namespace {
// What a case replays at the writer's seam.
std::function<void()> afterResolvingHook;
}  // namespace

// This program's side of the writer's seam (files/write_seam.h), linked instead of the
// library's, which does nothing.
void seam::afterResolving() {
    if (afterResolvingHook) afterResolvingHook();
}

namespace {

namespace fs = std::filesystem;
using test::contentOf;
using test::namesIn;

constexpr uid_t kOtherUser = 65534;  // nobody
constexpr gid_t kOtherGroup = 65534;

void put(const fs::path& path, const std::string& bytes, fs::perms perms = fs::perms(0640)) {
    std::ofstream(path, std::ios::binary) << bytes;
    fs::permissions(path, perms);
}


struct stat statusOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

std::string attribute(const fs::path& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

// An access ACL as the kernel stores it: owner rw, user `kOtherUser` rw, owning group
// r, mask rw, others nothing (the mode shows it as 0660).
std::string accessAcl() {
    const auto entry = [](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        std::string bytes(8, '\0');
        bytes[0] = static_cast<char>(tag);
        bytes[2] = static_cast<char>(perm);
        for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>(id >> (8 * i));
        return bytes;
    };
    constexpr std::uint32_t kUndefined = 0xFFFFFFFF;
    return std::string("\x02\0\0\0", 4) + entry(0x01, 6, kUndefined) + entry(0x02, 6, kOtherUser) +
           entry(0x04, 4, kUndefined) + entry(0x10, 6, kUndefined) + entry(0x20, 0, kUndefined);
}

bool runningAsRoot() { return ::geteuid() == 0; }

// Takes `kOtherUser`'s identity for good: for a child process.
void becomeOtherUser() {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kOtherGroup, kOtherGroup, kOtherGroup) != 0 ||
        ::setresuid(kOtherUser, kOtherUser, kOtherUser) != 0) {
        ::_exit(100);
    }
}

struct ChildOutcome {
    int status = 0;  // the exit status, or
    int signal = 0;  // the signal that ended it
    std::string error;
};

// Runs the writer in a child process after `setUp`, so that an identity, a limit or a
// signal given there stays in the child.
ChildOutcome writeInChild(const fs::path& path, const std::string& bytes, const std::function<void()>& setUp) {
    int pipe[2];
    EXPECT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        setUp();
        const auto error = writeWholeFile(path, bytes);
        if (error) (void)!::write(pipe[1], error->what.data(), error->what.size());
        ::_exit(error ? 1 : 0);
    }
    ::close(pipe[1]);
    ChildOutcome outcome;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) outcome.error.append(buffer, got);
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    return outcome;
}

class SafeWrite : public testing::Test {
protected:
    // One directory per test and process: ctest runs the tests of this fixture side by side.
    SafeWrite()
        : dir_(fs::path(testing::TempDir()) /
               ("vostrel-safe-write-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "-" + std::to_string(::getpid()))) {
        fresh();
    }
    ~SafeWrite() override {
        afterResolvingHook = nullptr;
        fs::remove_all(dir_);
    }

    void fresh() {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }

    fs::path dir_;
};

TEST_F(SafeWrite, EachKindOfOutput) {
    const bool root = runningAsRoot();
    struct Case {
        std::string name;
        std::function<fs::path(const fs::path&)> prepare;  // gives the path to write
        std::string error;  // "" for success; else the reason it ends with
        std::function<void(const fs::path&)> check;
        IfExists ifExists = IfExists::Replace;
        // Another program, between the writer's opening the name and its writing.
        std::function<void(const fs::path&)> meanwhile = {};
        // The writer runs as `kOtherUser` when the test runs as root.
        bool asOtherUser = false;
        bool needsRoot = false;  // to give a file to another owner
    };
    static int descriptor = -1;  // the one a descriptor case opened
    const auto openHere = [](const fs::path& file, int flags) {
        put(file, "older contents");
        descriptor = ::open(file.c_str(), flags);
        return descriptor;
    };
    const std::vector<Case> cases = {
        {"new file gets the usual mode", [](const fs::path& d) { return d / "out"; }, "",
         [](const fs::path& d) {
             const mode_t mask = ::umask(0);
             ::umask(mask);
             EXPECT_EQ(fs::status(d / "out").permissions(), fs::perms(0666 & ~mask));
         }},
        {"existing file keeps its mode",
         [](const fs::path& d) {
             put(d / "out", "old", fs::perms(0604));
             return d / "out";
         },
         "", [](const fs::path& d) { EXPECT_EQ(fs::status(d / "out").permissions(), fs::perms(0604)); }},
        {"symlink: its target is replaced",
         [](const fs::path& d) {
             put(d / "target", "old");
             fs::create_symlink("target", d / "out");
             return d / "out";
         },
         "",
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_symlink(d / "out"));
             EXPECT_EQ(contentOf(d / "target"), "new");
         }},
        {"dangling symlink: its target is made",
         [](const fs::path& d) {
             fs::create_symlink("made", d / "out");
             return d / "out";
         },
         "", [](const fs::path& d) { EXPECT_EQ(contentOf(d / "made"), "new"); }},
        {"name swapped for a symlink after it was opened: only that name is replaced",
         [](const fs::path& d) {
             put(d / "out", "old", fs::perms(0666));
             put(d / "victim", "secret", fs::perms(0600));
             return d / "out";
         },
         "",
         [](const fs::path& d) {
             EXPECT_EQ(contentOf(d / "victim"), "secret");
             EXPECT_EQ(fs::status(d / "victim").permissions(), fs::perms(0600));
             EXPECT_EQ(fs::symlink_status(d / "out").type(), fs::file_type::regular);
         },
         IfExists::Replace,
         [](const fs::path& d) {
             fs::rename(d / "out", d / "moved");
             fs::create_symlink("victim", d / "out");
         }},
        {"symlink another user owns in a sticky shared directory is not followed",
         [](const fs::path& d) {
             put(d / "target", "old");
             fs::create_directory(d / "shared");
             fs::permissions(d / "shared", fs::perms(01777));
             fs::create_symlink("../target", d / "shared" / "out");
             EXPECT_EQ(::lchown((d / "shared" / "out").c_str(), kOtherUser, kOtherGroup), 0);
             return d / "shared" / "out";
         },
         "a symlink another user owns in a shared directory is not followed",
         [](const fs::path& d) { EXPECT_EQ(contentOf(d / "target"), "old"); }, IfExists::Replace, {}, false,
         true},
        {"ACLs and extended attributes are kept",
         [](const fs::path& d) {
             put(d / "out", "old");
             EXPECT_EQ(::setxattr((d / "out").c_str(), "user.origin", "kept", 4, 0), 0);
             const std::string acl = accessAcl();
             EXPECT_EQ(::setxattr((d / "out").c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
             return d / "out";
         },
         "",
         [](const fs::path& d) {
             EXPECT_EQ(attribute(d / "out", "user.origin"), "kept");
             EXPECT_EQ(attribute(d / "out", "system.posix_acl_access"), accessAcl());
             EXPECT_EQ(fs::status(d / "out").permissions(), fs::perms(0660));
         }},
        {"the directory's default ACL gives a replaced file nothing",
         [](const fs::path& d) {
             fs::create_directory(d / "inherits");
             put(d / "inherits" / "out", "old");
             std::string acl = accessAcl();
             EXPECT_EQ(::setxattr((d / "inherits").c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0), 0);
             return d / "inherits" / "out";
         },
         "",
         [](const fs::path& d) {
             EXPECT_EQ(attribute(d / "inherits" / "out", "system.posix_acl_access"), "");
             EXPECT_EQ(fs::status(d / "inherits" / "out").permissions(), fs::perms(0640));
         }},
        {"hard link: both names see the new contents",
         [](const fs::path& d) {
             put(d / "out", "older contents");
             fs::create_hard_link(d / "out", d / "other");
             return d / "out";
         },
         "", [](const fs::path& d) { EXPECT_EQ(contentOf(d / "other"), "new"); }},
        {"another user's file of a shared group is rewritten in place, owner and group kept",
         [](const fs::path& d) {
             fs::permissions(d, fs::perms(0777));
             put(d / "out", "old", fs::perms(0664));
             EXPECT_EQ(::chown((d / "out").c_str(), 0, kOtherGroup), 0);
             return d / "out";
         },
         "",
         [](const fs::path& d) {
             EXPECT_EQ(statusOf(d / "out").st_uid, 0U);
             EXPECT_EQ(statusOf(d / "out").st_gid, kOtherGroup);
         },
         IfExists::Replace, {}, true, true},
        {"writable file in a directory that is not: rewritten in place",
         [](const fs::path& d) {
             fs::create_directory(d / "fixed");
             put(d / "fixed" / "out", "old", fs::perms(0666));
             fs::permissions(d / "fixed", fs::perms(0555));
             return d / "fixed" / "out";
         },
         "", [](const fs::path& d) { fs::permissions(d / "fixed", fs::perms(0755)); }, IfExists::Replace, {},
         true},
        {"a name of 240 bytes", [](const fs::path& d) { return d / std::string(240, 'n'); }, "",
         [](const fs::path&) {}},
        {"read-only file is refused",
         [](const fs::path& d) { put(d / "out", "old", fs::perms(0444)); return d / "out"; },
         root ? "is read-only; not replaced" : "Permission denied",
         [](const fs::path& d) { EXPECT_EQ(fs::status(d / "out").permissions(), fs::perms(0444)); }},
        {"directory is refused", [](const fs::path& d) { fs::create_directory(d / "out"); return d / "out"; },
         "Is a directory", [](const fs::path& d) { EXPECT_TRUE(fs::is_directory(d / "out")); }},
        {"FIFO without a reader fails at once",
         [](const fs::path& d) { ::mkfifo((d / "out").c_str(), 0600); return d / "out"; },
         "No such device or address", [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "out")); }},
        {"/dev/null is written in place", [](const fs::path&) { return fs::path("/dev/null"); }, "",
         [](const fs::path&) { EXPECT_TRUE(fs::is_character_file("/dev/null")); }},
        {"/dev/full reports the system's reason", [](const fs::path&) { return fs::path("/dev/full"); },
         "No space left on device", [](const fs::path&) { EXPECT_TRUE(fs::is_character_file("/dev/full")); }},
        {"/dev/fd/N opened to append: appended to",
         [&](const fs::path& d) {
             return fs::path("/dev/fd/" + std::to_string(openHere(d / "file", O_WRONLY | O_APPEND)));
         },
         "",
         [](const fs::path& d) {
             ::close(descriptor);
             EXPECT_EQ(contentOf(d / "file"), "older contentsnew");
         }},
        {"/proc/self/fd/N: written where the descriptor stands",
         [&](const fs::path& d) {
             return fs::path("/proc/self/fd/" + std::to_string(openHere(d / "file", O_WRONLY)));
         },
         "",
         [](const fs::path& d) {
             ::close(descriptor);
             EXPECT_EQ(contentOf(d / "file"), "newer contents");
         }},
        {"/dev/stdout is standard output, not the file behind it",
         [&](const fs::path& d) {
             std::fflush(stdout);
             const int file = openHere(d / "file", O_WRONLY | O_APPEND);
             descriptor = ::dup(STDOUT_FILENO);
             ::dup2(file, STDOUT_FILENO);
             ::close(file);
             return fs::path("/dev/stdout");
         },
         "",
         [](const fs::path& d) {
             ::dup2(descriptor, STDOUT_FILENO);
             ::close(descriptor);
             EXPECT_EQ(contentOf(d / "file"), "older contentsnew");
         }},
        {"a new file that exists is left alone", [](const fs::path& d) { put(d / "out", "old"); return d / "out"; },
         "file already exists", [](const fs::path&) {}, IfExists::Refuse},
        {"a new file behind a dangling symlink: its target is made",
         [](const fs::path& d) {
             fs::create_symlink("made", d / "out");
             return d / "out";
         },
         "", [](const fs::path& d) { EXPECT_EQ(contentOf(d / "made"), "new"); }, IfExists::Refuse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && !root) continue;
        fresh();
        const fs::path path = c.prepare(dir_);
        const std::set<std::string> before = namesIn(dir_);
        afterResolvingHook = c.meanwhile ? std::function<void()>([&] { c.meanwhile(dir_); }) : nullptr;
        std::optional<FileError> error;
        if (c.asOtherUser && root) {
            const ChildOutcome child = writeInChild(path, "new", becomeOtherUser);
            EXPECT_EQ(child.signal, 0);
            if (child.status != 0) error = FileError{child.error};
        } else {
            error = writeWholeFile(path, "new", c.ifExists);
        }
        afterResolvingHook = nullptr;
        if (c.error.empty()) {
            EXPECT_FALSE(error) << error->what;
            if (path.parent_path() == dir_) {
                EXPECT_EQ(contentOf(path), "new");
            }
        } else if (!error) {
            ADD_FAILURE() << "no error";
        } else {
            EXPECT_EQ(error->what.rfind(path.string() + ": ", 0), 0U) << error->what;
            EXPECT_TRUE(error->what.ends_with(c.error)) << error->what;
            EXPECT_EQ(error->alreadyExists, c.ifExists == IfExists::Refuse);
            if (fs::is_regular_file(path)) {
                EXPECT_EQ(contentOf(path), "old");
            }
        }
        c.check(dir_);
        for (const std::string& name : namesIn(dir_)) {
            EXPECT_TRUE(before.contains(name) || path == dir_ / name || name == "made" || name == "moved")
                << "left behind: " << name;
        }
    }
}

// A full disk (a write refused for its size) and a kill half-way (the signal a file
// beyond the size limit gets) leave the old file and nothing else.
TEST_F(SafeWrite, InterruptionsLeaveTheOldFileAndNothingElse) {
    constexpr rlim_t kLimit = 16;
    const std::string bytes(64, 'n');
    enum class Kind { Replaced, HardLinked, New };
    for (const Kind kind : {Kind::Replaced, Kind::HardLinked, Kind::New}) {
        for (const bool killed : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + (killed ? " killed" : " full disk"));
            fresh();
            if (kind != Kind::New) put(dir_ / "out", "old");
            if (kind == Kind::HardLinked) fs::create_hard_link(dir_ / "out", dir_ / "other");
            const std::set<std::string> before = namesIn(dir_);
            const ChildOutcome child = writeInChild(dir_ / "out", bytes, [&] {
                const rlimit limit{kLimit, kLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
            });
            if (killed) {
                EXPECT_EQ(child.signal, SIGXFSZ);
            } else {
                EXPECT_EQ(child.status, 1);
                EXPECT_TRUE(child.error.ends_with("File too large")) << child.error;
            }
            EXPECT_EQ(namesIn(dir_), before);
            if (kind != Kind::New) {
                EXPECT_EQ(contentOf(dir_ / "out"), "old");
            }
        }
    }
}

// A writer killed between naming its new file and renaming it leaves the name behind:
// the next write into that folder removes such names once they are a minute old, and
// nothing else.
TEST_F(SafeWrite, StaleTemporaryNamesOfTheToolAreRemovedByTheNextWrite) {
    const auto aged = [this](const char* name, std::chrono::seconds age) {
        const fs::path path = dir_ / name;
        const timespec times[2] = {{::time(nullptr) - age.count(), 0}, {::time(nullptr) - age.count(), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << name;
    };
    using namespace std::chrono_literals;
    const std::set<std::string> kept = {".vostrel-0123abcd.tmp", ".vostrel-0123abc.tmp", ".vostrel-0123abcg.tmp",
                                        "vostrel-0123abcd.tmp", ".vostrel-0123abcd.tmp~", ".vostrel-fedcba98.tmp",
                                        ".vostrel-11111111.tmp", ".vostrel-22222222.tmp", "out"};
    put(dir_ / ".vostrel-deadbeef.tmp", "stale");                 // the tool's, killed
    put(dir_ / ".vostrel-0123abcd.tmp", "another writer's, now");  // not yet a minute old
    for (const char* other : {".vostrel-0123abc.tmp", ".vostrel-0123abcg.tmp", "vostrel-0123abcd.tmp",
                              ".vostrel-0123abcd.tmp~"}) {
        put(dir_ / other, "not the tool's name");
    }
    fs::create_directory(dir_ / ".vostrel-fedcba98.tmp");
    fs::create_symlink("nowhere", dir_ / ".vostrel-11111111.tmp");
    put(dir_ / "elsewhere", "target");
    fs::create_hard_link(dir_ / "elsewhere", dir_ / ".vostrel-22222222.tmp");
    for (const char* old : {".vostrel-deadbeef.tmp", ".vostrel-0123abc.tmp", ".vostrel-0123abcg.tmp",
                            "vostrel-0123abcd.tmp", ".vostrel-0123abcd.tmp~", ".vostrel-fedcba98.tmp",
                            ".vostrel-11111111.tmp", ".vostrel-22222222.tmp"}) {
        aged(old, 2min);
    }
    aged(".vostrel-0123abcd.tmp", 30s);
    ASSERT_FALSE(writeWholeFile(dir_ / "out", "new"));
    std::set<std::string> expected = kept;
    expected.insert("elsewhere");
    EXPECT_EQ(namesIn(dir_), expected);
    EXPECT_EQ(contentOf(dir_ / "out"), "new");
}

// Only the writer's own leftovers go, whoever writes: root leaves another user's, and
// another user root's, in a shared folder where anyone may remove anything as in a
// sticky one such as /tmp.
TEST_F(SafeWrite, StaleTemporaryNamesOfAnotherUserAreLeftAlone) {
    if (!runningAsRoot()) GTEST_SKIP() << "giving files to another user takes root";
    const fs::path others = dir_ / ".vostrel-0000aaaa.tmp";
    const fs::path roots = dir_ / ".vostrel-0000bbbb.tmp";
    const auto leftOver = [](const fs::path& path, uid_t owner) {
        put(path, "stale", fs::perms(0666));
        ASSERT_EQ(::lchown(path.c_str(), owner, owner), 0);
        const timespec aged[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), aged, AT_SYMLINK_NOFOLLOW), 0);
    };
    for (const fs::perms folder : {fs::perms(0777), fs::perms(01777)}) {
        SCOPED_TRACE(static_cast<int>(folder));
        fresh();
        fs::permissions(dir_, folder);
        leftOver(others, kOtherUser);
        leftOver(roots, 0);
        ASSERT_FALSE(writeWholeFile(dir_ / "root's", "new"));
        EXPECT_TRUE(fs::exists(others));
        EXPECT_FALSE(fs::exists(roots));

        leftOver(roots, 0);
        const ChildOutcome child = writeInChild(dir_ / "other's", "new", becomeOtherUser);
        EXPECT_EQ(child.status, 0) << child.error;
        EXPECT_TRUE(fs::exists(roots));
        EXPECT_FALSE(fs::exists(others));
        EXPECT_EQ(statusOf(dir_ / "other's").st_uid, kOtherUser);
    }
}

TEST_F(SafeWrite, SameFileThroughAnyLinkIsRefused) {
    const auto file = [this](const char* name) { return dir_ / name; };
    put(file("in"), "input");
    fs::create_symlink("in", file("link"));
    fs::create_hard_link(file("in"), file("hard"));
    for (const char* output : {"in", "link", "hard"}) {
        const auto error = refuseSameFile(file(output), file("in"));
        ASSERT_TRUE(error) << output;
        EXPECT_EQ(error->what, file(output).string() + ": is the same file as the input " + file("in").string() +
                                   "; nothing was written");
    }
    EXPECT_FALSE(refuseSameFile(file("new"), file("in")));
    EXPECT_FALSE(refuseSameFile(file("in"), file("other")));
}

}  // namespace
}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The safe writer against every kind of thing a user may name as an output.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "files/whole_file.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const fs::path& path, const std::string& bytes, fs::perms perms = fs::perms(0640)) {
    std::ofstream(path, std::ios::binary) << bytes;
    fs::permissions(path, perms);
}

std::set<std::string> namesIn(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename().string());
    return names;
}

class SafeWrite : public testing::Test {
protected:
    // One directory per test and process: ctest runs the tests of this fixture side by side.
    SafeWrite()
        : dir_(fs::path(testing::TempDir()) /
               ("vostrel-safe-write-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "-" + std::to_string(::getpid()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~SafeWrite() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name) const { return dir_ / name; }

    fs::path dir_;
};

TEST_F(SafeWrite, EachKindOfOutput) {
    const bool root = ::geteuid() == 0;
    struct Case {
        std::string name;
        std::function<fs::path(const fs::path&)> prepare;  // gives the path to write
        std::string error;                           // "" for success; else the reason it ends with
        std::function<void(const fs::path&)> check;
        bool mustBeNew = false;
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
        {"hard link: both names see the new contents",
         [](const fs::path& d) {
             put(d / "out", "older contents");
             fs::create_hard_link(d / "out", d / "other");
             return d / "out";
         },
         "", [](const fs::path& d) { EXPECT_EQ(contentOf(d / "other"), "new"); }},
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
        {"a new file that exists is left alone", [](const fs::path& d) { put(d / "out", "old"); return d / "out"; },
         "file already exists", [](const fs::path&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const fs::path path = c.prepare(dir_);
        const std::set<std::string> before = namesIn(dir_);
        const std::optional<FileError> error = writeWholeFile(path, "new", c.mustBeNew);
        if (c.error.empty()) {
            EXPECT_FALSE(error) << error->what;
            if (path.parent_path() == dir_) {
                EXPECT_EQ(contentOf(path), "new");
            }
        } else {
            ASSERT_TRUE(error);
            EXPECT_EQ(error->what.rfind(path.string() + ": ", 0), 0U) << error->what;
            EXPECT_TRUE(error->what.ends_with(c.error)) << error->what;
            EXPECT_EQ(error->alreadyExists, c.mustBeNew);
            if (fs::is_regular_file(path)) {
                EXPECT_EQ(contentOf(path), "old");
            }
        }
        c.check(dir_);
        for (const std::string& name : namesIn(dir_)) {
            EXPECT_TRUE(before.contains(name) || name == "out" || name == "made") << "left behind: " << name;
        }
    }
}

TEST_F(SafeWrite, SameFileThroughAnyLinkIsRefused) {
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

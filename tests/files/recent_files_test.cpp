// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The list of recent files: its order, its limit, what a settings file may hold, and
// which files count as gone or as no file.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/recent_files.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// "/s/1" ... "/s/N"
Names numbered(int from, int to) {
    Names names;
    for (int i = from; i <= to; ++i) names.push_back("/s/" + std::to_string(i));
    return names;
}

TEST(RecentFiles, KeepsTheLastEightMostRecentFirst) {
    struct Step {
        enum { Add, Remove } action;
        const char* name;
    };
    const struct {
        const char* what;
        Names remembered;
        std::vector<Step> steps;
        Names expected;
    } cases[] = {
        {"a first file", {}, {{Step::Add, "/s/a.vostrel"}}, {"/s/a.vostrel"}},
        {"newest first", {}, {{Step::Add, "/s/a"}, {Step::Add, "/s/b"}}, {"/s/b", "/s/a"}},
        {"opened again moves to the front, once",
         {"/s/a", "/s/b", "/s/c"}, {{Step::Add, "/s/c"}}, {"/s/c", "/s/a", "/s/b"}},
        {"the first again changes nothing", {"/s/a", "/s/b"}, {{Step::Add, "/s/a"}}, {"/s/a", "/s/b"}},
        {"a ninth file pushes out the oldest", numbered(1, 8), {{Step::Add, "/s/9"}},
         [] { Names n{"/s/9"}; for (const auto& name : numbered(1, 7)) n.push_back(name); return n; }()},
        {"the oldest brought forward stays", numbered(1, 8), {{Step::Add, "/s/8"}},
         [] { Names n{"/s/8"}; for (const auto& name : numbered(1, 7)) n.push_back(name); return n; }()},
        {"a gone file chosen goes out", {"/s/a", "/s/gone", "/s/c"}, {{Step::Remove, "/s/gone"}}, {"/s/a", "/s/c"}},
        {"removing what is not listed changes nothing", {"/s/a"}, {{Step::Remove, "/s/b"}}, {"/s/a"}},
        {"names differ by every character", {"/s/a"}, {{Step::Add, "/s/A"}, {Step::Add, "/s/Grüße.vostrel"}},
         {"/s/Grüße.vostrel", "/s/A", "/s/a"}},
        // What a damaged or hand-edited settings file may hold.
        {"a repeat keeps its first place", {"/s/a", "/s/b", "/s/a"}, {}, {"/s/a", "/s/b"}},
        {"empty and relative names are dropped", {"", "site.conf", "/s/a", "./b"}, {}, {"/s/a"}},
        {"no more than eight are read", numbered(1, 12), {}, numbered(1, 8)},
        {"a relative name is never added", {"/s/a"}, {{Step::Add, "site.conf"}, {Step::Add, ""}}, {"/s/a"}},
    };
    for (const auto& c : cases) {
        RecentFiles recent(c.remembered);
        for (const Step& step : c.steps) {
            if (step.action == Step::Add) {
                recent.add(step.name);
            } else {
                recent.remove(step.name);
            }
        }
        EXPECT_EQ(recent.names(), c.expected) << c.what;
    }
}

// Gone is what no longer exists; no file is also what Open refuses as none (a folder, a
// FIFO): either leaves the list when chosen.
TEST(RecentFiles, GoneIsWhatNoLongerExistsAndNoFileWhatOpenRefuses) {
    const fs::path folder = fs::path(testing::TempDir()) / ("vostrel-recent-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "site.vostrel") << "[Settings]\n";
    std::ofstream(folder / "removed.vostrel") << "[Settings]\n";
    fs::remove(folder / "removed.vostrel");
    fs::create_symlink(folder / "removed.vostrel", folder / "dangling.vostrel");
    fs::create_symlink(folder / "site.vostrel", folder / "link.vostrel");
    ASSERT_EQ(::mkfifo((folder / "fifo.vostrel").c_str(), 0600), 0);
    const struct {
        const char* name;
        bool gone;
        bool noFile;
    } cases[] = {
        {"site.vostrel", false, false},
        {"link.vostrel", false, false},
        {"sub", false, true},
        {"fifo.vostrel", false, true},
        {"removed.vostrel", true, true},
        {"dangling.vostrel", true, true},
        {"no-folder/site.vostrel", true, true},
        {"site.vostrel/inside", true, true},  // a file where a folder would be
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isGone(folder / c.name), c.gone) << c.name;
        EXPECT_EQ(isNoFile(folder / c.name), c.noFile) << c.name;
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace vostrel::files

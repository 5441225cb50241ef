// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The files opened or saved last, most recent first, as the window offers them again.
// A name is a file's absolute path as UTF-8; the list is kept as these names, so that
// it reads back the same from a settings file on every system. Two names are one file
// as the system compares them: on Windows whatever the case of their letters.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vostrel::files {

inline constexpr std::size_t kRecentFilesKept = 8;

class RecentFiles {
public:
    // The list as remembered, most recent first. What a hand-edited or damaged settings
    // file may hold is dropped: empty and relative names (they would depend on the
    // working directory), a name listed twice (its later place), more than
    // kRecentFilesKept names.
    explicit RecentFiles(const std::vector<std::string>& remembered = {});

    // A file opened or saved: first in the list, out of its earlier place; the oldest
    // goes when the list is longer than kRecentFilesKept.
    void add(std::string_view name);
    // A file chosen from the list that has gone: out of it.
    void remove(std::string_view name);

    const std::vector<std::string>& names() const { return names_; }

private:
    std::vector<std::string> names_;
};

// Whether nothing is left under `name` (a dangling link counts as gone). A name that
// cannot be checked (a folder on the way that may not be read, a share that does not
// answer) is not gone: it may well open once it can be reached.
bool isGone(const std::filesystem::path& name);

// Whether `name` is gone, or is something Open refuses as no file (a folder, a FIFO, a
// device): a list entry that can never open again. A name that cannot be checked is
// kept, as isGone keeps it.
bool isNoFile(const std::filesystem::path& name);

}  // namespace vostrel::files

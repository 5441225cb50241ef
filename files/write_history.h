// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Writes done from this computer, by the window and vostrel-cli alike, one line
// each in the file "writes.tsv" in the backup folder (files/backups.h): so that the list
// of backups names the transmitter each came from by its name and port, and a site's
// sheet says which transmitters the site went to, and when.
//
//   TIME<tab>PORT<tab>NAME<tab>BACKUP<tab>FINGERPRINT<tab>SITE
//
//   TIME         local time, YYYY-mm-dd HH:MM:SS
//   PORT         where the transmitter was plugged in (files/transmitter_names.h)
//   NAME         its name then; empty when it had none
//   BACKUP       the file name of the backup saved before the Write; empty for none
//   FINGERPRINT  the contents fingerprint the transmitter held when the Write ended as
//                meant to (written, or held already); empty when it did not
//   SITE         the site's name; empty when not named
//
// UTF-8; a tab, line end or other control character in a field is written as a blank.
// Only the newest kWritesKept lines are kept. Lines that are no record (a hand edit)
// are passed over.

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_error.h"
#include "files/transmitter_names.h"

namespace vostrel::files {

inline constexpr std::string_view kWriteHistoryName = "writes.tsv";
inline constexpr std::size_t kWritesKept = 1000;

struct WriteRecord {
    std::string time;
    std::string port;
    std::string name;
    std::string backup;
    std::string fingerprint;
    std::string site;

    friend bool operator==(const WriteRecord&, const WriteRecord&) = default;
};

// The record of a Write to the transmitter at `port` ending now, its name taken from
// `names`: `backup` saved before it, `fingerprint` held once it ended as meant to.
WriteRecord writeRecord(std::string port, const TransmitterNames& names, const std::optional<std::filesystem::path>& backup,
                        std::string fingerprint, std::string site);

// The time now on the computer's clock, as a backup's name and a record give it.
std::tm localTimeNow();

// "YYYY-mm-dd HH:MM:SS" for a record.
std::string recordTime(const std::tm& localTime);
std::string recordTimeNow();

// Adds the record to the history in `folder` (made when missing).
std::optional<FileError> recordWrite(const std::filesystem::path& folder, const WriteRecord& record);
// The same, in this process's backup folder.
std::optional<FileError> recordWrite(const WriteRecord& record);

// The records in `folder`, oldest first; none when there is no history.
std::vector<WriteRecord> writeHistory(const std::filesystem::path& folder);

// The Writes that put a site on a transmitter, the newest per port, newest first: of
// the site named `site` when it is named (whatever its fingerprint was then), else of
// the contents with `fingerprint`.
std::vector<WriteRecord> siteWrites(const std::vector<WriteRecord>& history, std::string_view site,
                                    std::string_view fingerprint);

}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/write_history.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <system_error>

#include "files/backups.h"
#include "files/error_text.h"
#include "files/utf8_path.h"
#include "files/whole_file.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFields = 6;
// kWritesKept lines of six fields with room to spare; a larger file is no history.
constexpr std::size_t kMaxHistoryBytes = 4 << 20;

std::string fieldText(std::string_view text) {
    std::string field(text);
    for (char& c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return field;
}

std::string lineOf(const WriteRecord& record) {
    std::string line;
    for (const std::string* field :
         {&record.time, &record.port, &record.name, &record.backup, &record.fingerprint, &record.site}) {
        if (!line.empty() || field != &record.time) line += '\t';
        line += fieldText(*field);
    }
    return line + '\n';
}

std::optional<WriteRecord> recordOf(std::string_view line) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::array<std::string, kFields> fields;
    std::size_t count = 0;
    for (std::size_t start = 0;; ++count) {
        const std::size_t tab = line.find('\t', start);
        if (count == kFields) return std::nullopt;
        fields[count] = std::string(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    // TIME and PORT are never empty.
    if (count != kFields - 1 || fields[0].empty() || fields[1].empty()) return std::nullopt;
    return WriteRecord{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
}

// The history's lines; nothing where there is none or it is no file to read.
std::string historyBytes(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return {};
    auto bytes = readWholeFile(file, kMaxHistoryBytes);
    if (auto* text = std::get_if<std::string>(&bytes)) return std::move(*text);
    return {};
}

}  // namespace

WriteRecord writeRecord(std::string port, const TransmitterNames& names, const std::optional<fs::path>& backup,
                        std::string fingerprint, std::string site) {
    WriteRecord record{recordTimeNow(), std::move(port), {}, {}, std::move(fingerprint), std::move(site)};
    record.name = names.nameAt(record.port).value_or(std::string());
    if (backup) record.backup = utf8Name(backup->filename());
    return record;
}

std::string recordTime(const std::tm& localTime) {
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &localTime);
    return std::string(text, length);
}

std::tm localTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::string recordTimeNow() { return recordTime(localTimeNow()); }

std::optional<FileError> recordWrite(const fs::path& folder, const WriteRecord& record) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return detail::failure(folder, "cannot make the folder: " + error.message());
    const fs::path file = folder / kWriteHistoryName;
    std::string lines = historyBytes(file) + lineOf(record);
    // Whole lines from the oldest one that is kept.
    std::size_t count = static_cast<std::size_t>(std::ranges::count(lines, '\n'));
    std::size_t start = 0;
    for (; count > kWritesKept; --count) start = lines.find('\n', start) + 1;
    return writeWholeFile(file, std::string_view(lines).substr(start));
}

std::optional<FileError> recordWrite(const WriteRecord& record) {
    auto folder = backupFolder();
    if (auto* error = std::get_if<FileError>(&folder)) return std::move(*error);
    return recordWrite(std::get<fs::path>(folder), record);
}

std::vector<WriteRecord> writeHistory(const fs::path& folder) {
    const std::string bytes = historyBytes(folder / kWriteHistoryName);
    std::vector<WriteRecord> records;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\n', start);
        const std::string_view line =
            std::string_view(bytes).substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (auto record = recordOf(line)) records.push_back(std::move(*record));
        start = end == std::string::npos ? bytes.size() : end + 1;
    }
    return records;
}

std::vector<WriteRecord> siteWrites(const std::vector<WriteRecord>& history, std::string_view site,
                                    std::string_view fingerprint) {
    std::vector<WriteRecord> writes;
    for (auto record = history.rbegin(); record != history.rend(); ++record) {
        if (record->fingerprint.empty()) continue;
        if (site.empty() ? record->fingerprint != fingerprint : record->site != site) continue;
        if (std::ranges::find(writes, record->port, &WriteRecord::port) != writes.end()) continue;
        writes.push_back(*record);
    }
    return writes;
}

}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/backups.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <compare>
#include <optional>
#include <system_error>
#include <tuple>
#include <vector>

#include "files/error_text.h"
#include "files/system_reason.h"
#include "files/utf8_path.h"
#include "files/write_history.h"
#include "texts/text_codec.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTimeFormat = "%Y%m%d-%H%M%S";
constexpr std::size_t kTimeLength = 15;  // YYYYmmdd-HHMMSS
constexpr std::size_t kMaxDeviceNameLength = 64;
constexpr std::size_t kSequenceWidth = 6;  // zero-padded, so that names sort as numbers
// Numbers taken by other programs saving at the same moment are skipped; this many
// are tried before the error is given up to the user.
constexpr int kMaxTries = 1000;

// The backup folder in the program's data folder, or why there is none.
std::variant<fs::path, FileError> backupFolderIn(std::variant<fs::path, FileError> programFolder) {
    if (const auto* error = std::get_if<FileError>(&programFolder)) {
        return FileError{"No folder for backups: " + error->what};
    }
    return std::get<fs::path>(programFolder) / kBackupFolderName;
}

// ASCII letters and digits, '_', and the letters of other scripts ("Küche", "Кухня"):
// no separator, nothing a file system refuses, nothing that turns text around or
// hides (U+2000 to U+206F holds the marks of direction and the invisible blanks).
bool safeInName(char32_t character) {
    if (character < 0x80) return std::isalnum(static_cast<int>(character)) != 0 || character == '_';
    return character >= 0xC0 && character != 0xD7 && character != 0xF7 && !(character >= 0x2000 && character <= 0x206F) &&
           character != 0xFEFF && character < 0xFFF0;
}

// A transmitter's name or port as part of a file name: every run of characters other
// than those above one '-'. So also no dot that would hide the file or pass for an
// extension. Windows' HID paths (a transmitter where the system names no port) end in
// the HID class's interface identifier, the same for every device: it is left out.
std::string transmitterInName(std::string_view transmitter) {
    if (transmitter.ends_with('}')) {
        if (const std::size_t brace = transmitter.rfind('{'); brace != std::string_view::npos) {
            transmitter = transmitter.substr(0, brace);
        }
    }
    std::string name;
    for (std::size_t i = 0; i < transmitter.size();) {
        const std::optional<char32_t> character = texts::nextCodePoint(transmitter, i);
        if (!character) ++i;  // a byte that is no UTF-8
        if (!character || !safeInName(*character)) {
            if (!name.empty() && name.back() != '-') name += '-';
            continue;
        }
        const std::string encoded = texts::encodeUtf8(*character);
        if (name.size() + encoded.size() > kMaxDeviceNameLength) break;
        name += encoded;
    }
    if (!name.empty() && name.back() == '-') name.pop_back();
    return name.empty() ? std::string("transmitter") : name;
}

// YYYYmmdd-HHMMSS-anything.bin
bool hasTimedName(std::string_view name) {
    if (name.size() < kTimeLength + 2 + 4 || !name.ends_with(".bin") || name[kTimeLength] != '-') return false;
    for (std::size_t i = 0; i < kTimeLength; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(name[i])) != 0;
        if (i == 8 ? name[i] != '-' : !digit) return false;
    }
    return true;
}

// A sequence number as its decimal digits without leading zeros, of any length, so
// that no number is too long to be recognised, compared or followed: the longer is
// the larger. Empty for none.
struct Sequence {
    std::string digits;

    std::strong_ordering operator<=>(const Sequence& other) const {
        if (const auto bySize = digits.size() <=> other.digits.size(); bySize != 0) return bySize;
        return digits <=> other.digits;
    }
    bool operator==(const Sequence&) const = default;

    Sequence next() const {
        std::string following = digits;
        auto digit = following.rbegin();
        for (; digit != following.rend() && *digit == '9'; ++digit) *digit = '0';
        if (digit == following.rend()) return {'1' + following};
        ++*digit;
        return {following};
    }
};

// The number before the first dash of a name, or nothing when that is no number of
// this tool's (it has a non-digit, or is 0).
std::optional<Sequence> sequenceOf(std::string_view name) {
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos) return std::nullopt;
    const std::string_view digits = name.substr(0, dash);
    if (!std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return std::nullopt;
    return Sequence{std::string(digits.substr(first))};
}

// A backup's place in age: by its sequence number; one of an earlier version has no
// number and then goes by the time in its name and when it was written.
struct Backup {
    Sequence sequence;
    std::string time;
    fs::file_time_type written;
    fs::path path;

    auto age() const { return std::tie(sequence, time, written, path); }
};

// The backup `entry` is, or nothing when it is no file this tool named so: links,
// folders and the user's own files are never backups.
std::optional<Backup> backupAt(const fs::directory_entry& entry) {
    std::error_code ignored;
    if (!entry.is_regular_file(ignored) || entry.is_symlink(ignored)) return std::nullopt;
    const std::string name = utf8Name(entry.path().filename());
    const fs::file_time_type written = entry.last_write_time(ignored);
    if (hasTimedName(name)) return Backup{{}, name.substr(0, kTimeLength), written, entry.path()};
    const auto sequence = sequenceOf(name);
    if (!sequence) return std::nullopt;
    const std::string_view rest = std::string_view(name).substr(name.find('-') + 1);
    if (!hasTimedName(rest)) return std::nullopt;
    return Backup{*sequence, std::string(rest.substr(0, kTimeLength)), written, entry.path()};
}

std::vector<Backup> backupsIn(const fs::path& folder) {
    std::vector<Backup> backups;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (auto backup = backupAt(*entry)) backups.push_back(std::move(*backup));
    }
    return backups;
}

Sequence nextSequence(const fs::path& folder) {
    Sequence highest;
    for (const Backup& backup : backupsIn(folder)) highest = std::max(highest, backup.sequence);
    return highest.next();
}

// "NNNNNN-YYYYmmdd-HHMMSS-DEVICE" for backup number `sequence`.
std::string stemOf(const Sequence& sequence, const std::tm& localTime, std::string_view transmitter) {
    const std::string& number = sequence.digits;
    char time[32];
    const std::size_t length = std::strftime(time, sizeof time, kTimeFormat.data(), &localTime);
    // Appended one by one: GCC 12 misreads the chained + at -O3 (-Wrestrict).
    std::string stem(kSequenceWidth - std::min(number.size(), kSequenceWidth), '0');
    stem += number;
    stem += '-';
    stem.append(time, length);
    stem += '-';
    stem += transmitterInName(transmitter);
    return stem;
}

// Saves `image` under the next free number: a new file, never one that exists.
std::variant<fs::path, FileError> saveNumbered(const fs::path& folder, std::string_view transmitter,
                                               const image::EepromImage& image, const std::tm& localTime) {
    Sequence sequence = nextSequence(folder);
    for (int tries = 1;; ++tries, sequence = sequence.next()) {
        const fs::path file = folder / pathFromUtf8(stemOf(sequence, localTime, transmitter) + ".bin");
        std::optional<FileError> error = saveImageFile(file, image, IfExists::Refuse);
        if (!error) return file;
        if (!error->alreadyExists || tries == kMaxTries) return std::move(*error);
    }
}

// Removes the oldest backups in `folder` beyond kBackupsKept, never `kept`. A backup
// that cannot be removed stays: nothing is lost by that.
void removeOldBackups(const fs::path& folder, const fs::path& kept) {
    std::vector<Backup> backups = backupsIn(folder);
    std::erase_if(backups, [&kept](const Backup& backup) {
        std::error_code ignored;
        return fs::equivalent(backup.path, kept, ignored);
    });
    std::ranges::sort(backups, [](const Backup& a, const Backup& b) { return a.age() > b.age(); });
    for (std::size_t i = kBackupsKept - 1; i < backups.size(); ++i) {
        std::error_code ignored;
        fs::remove(backups[i].path, ignored);
    }
}

}  // namespace

std::variant<fs::path, FileError> backupFolder(const DataEnvironment& environment) {
    return backupFolderIn(programDataFolder(environment));
}

std::variant<fs::path, FileError> backupFolder() { return backupFolderIn(programDataFolder()); }

std::string backupStem(std::uint64_t sequence, const std::tm& localTime, std::string_view transmitter) {
    return stemOf(Sequence{std::to_string(sequence)}, localTime, transmitter);
}

std::variant<fs::path, FileError> saveBackup(const fs::path& folder, std::string_view transmitter,
                                             const image::EepromImage& image, const std::tm& localTime) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return detail::failure(folder, "cannot make the folder: " + systemReason(error));
    auto saved = saveNumbered(folder, transmitter, image, localTime);
    if (const auto* file = std::get_if<fs::path>(&saved)) removeOldBackups(folder, *file);
    return saved;
}

std::variant<fs::path, FileError> saveBackup(const fs::path& folder, std::string_view transmitter,
                                             const image::EepromImage& image) {
    return saveBackup(folder, transmitter, image, localTimeNow());
}

std::variant<fs::path, FileError> saveBackup(std::string_view transmitter, const image::EepromImage& image) {
    auto folder = backupFolder();
    if (const auto* error = std::get_if<FileError>(&folder)) return std::move(*error);
    return saveBackup(std::get<fs::path>(folder), transmitter, image);
}

std::vector<BackupFile> listBackups(const fs::path& folder) {
    std::vector<Backup> backups = backupsIn(folder);
    std::ranges::sort(backups, [](const Backup& a, const Backup& b) { return a.age() > b.age(); });
    const std::vector<WriteRecord> history = writeHistory(folder);
    std::vector<BackupFile> listed;
    for (const Backup& backup : backups) {
        BackupFile& shown = listed.emplace_back();
        shown.file = backup.path;
        const std::string& t = backup.time;  // YYYYmmdd-HHMMSS
        shown.time = t.substr(0, 4) + '-' + t.substr(4, 2) + '-' + t.substr(6, 2) + ' ' + t.substr(9, 2) + ':' +
                     t.substr(11, 2) + ':' + t.substr(13, 2);
        const std::string name = utf8Name(backup.path.filename());
        const std::size_t timeEnd = name.find(backup.time) + kTimeLength;
        shown.called = name.substr(timeEnd + 1, name.size() - timeEnd - 1 - 4);
        const auto record = std::ranges::find(history, name, &WriteRecord::backup);
        if (record != history.end()) {
            shown.port = record->port;
            shown.name = record->name;
        }
        auto contents = loadImageFile(backup.path);
        if (auto* image = std::get_if<image::EepromImage>(&contents)) shown.contents = *image;
    }
    return listed;
}

}  // namespace vostrel::files

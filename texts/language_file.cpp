// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/language_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "texts/utf8.h"

namespace vostrel::texts {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

std::string_view withoutEnclosingQuotes(std::string_view value) {
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == '"' || value.front() == '\'');
    return quoted ? value.substr(1, value.size() - 2) : value;
}

// Length of the UTF-8 sequence that starts at text[i], or 0 when it is not valid
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;  // bounds of the byte after the lead
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F; its five unused bytes keep
// their Latin-1 meaning, as Windows itself reads them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

char16_t windows1252CodePoint(std::uint8_t byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

void appendUtf8(std::string& out, char16_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) appendUtf8(out, windows1252CodePoint(static_cast<std::uint8_t>(c)));
    return out;
}

// Calls `visit(line)` for each line; stops early when it returns true.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (visit(text.substr(0, end))) return;
        if (end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::string_view> sectionName(std::string_view line) {
    if (!line.starts_with('[')) return std::nullopt;
    line.remove_prefix(1);
    return trimmed(line.substr(0, line.find(']')));
}

std::optional<std::string> readSmallFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxLanguageFileBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // A file that grows meanwhile is read only as far as it reached at first.
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (in.bad()) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string decodeLanguageFile(std::string_view fileBytes) {
    if (!isValidUtf8(fileBytes)) return windows1252ToUtf8(fileBytes);
    if (fileBytes.starts_with(kByteOrderMark)) fileBytes.remove_prefix(kByteOrderMark.size());
    return std::string(fileBytes);
}

std::optional<std::string> findIniValue(std::string_view fileBytes, std::string_view section,
                                        std::string_view key) {
    const std::string text = decodeLanguageFile(fileBytes);
    std::optional<std::string> found;
    bool inSection = false;
    forEachLine(text, [&](std::string_view rawLine) {
        const std::string_view line = trimmed(rawLine);
        if (line.empty() || line.starts_with(';')) return false;
        if (const auto name = sectionName(line)) {
            inSection = equalIgnoringCase(*name, section);
            return false;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) return false;
        if (!equalIgnoringCase(trimmed(line.substr(0, equals)), key)) return false;
        found = std::string(withoutEnclosingQuotes(trimmed(line.substr(equals + 1))));
        return true;
    });
    return found;
}

ConfigEnvironment processConfigEnvironment() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    return {variable("XDG_CONFIG_HOME"), variable("XDG_CONFIG_DIRS"), variable("HOME")};
}

std::vector<std::filesystem::path> languageFilePlaces(const std::filesystem::path& programDirectory,
                                                      const ConfigEnvironment& environment) {
    std::vector<std::filesystem::path> places{programDirectory / kLanguageFileName};
    const auto addConfigDirectory = [&](const std::filesystem::path& directory) {
        if (directory.is_absolute()) places.push_back(directory / kConfigSubdirectory / kLanguageFileName);
    };
    // An unusable XDG_CONFIG_HOME counts as unset.
    const std::filesystem::path userDirectory(environment.xdgConfigHome);
    if (userDirectory.is_absolute()) {
        addConfigDirectory(userDirectory);
    } else if (!environment.home.empty()) {
        addConfigDirectory(std::filesystem::path(environment.home) / ".config");
    }
    const std::string_view systemDirectories =
        environment.xdgConfigDirs.empty() ? std::string_view("/etc/xdg") : environment.xdgConfigDirs;
    for (std::size_t start = 0; start <= systemDirectories.size();) {
        const std::size_t end = std::min(systemDirectories.find(':', start), systemDirectories.size());
        addConfigDirectory(systemDirectories.substr(start, end - start));
        start = end + 1;
    }
    return places;
}

std::optional<std::string> readLanguageFile(const std::vector<std::filesystem::path>& places) {
    for (const std::filesystem::path& place : places) {
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(place, error);
        if (!std::filesystem::exists(status)) continue;
        // Opening a FIFO would wait for a writer, so only a regular file is opened.
        if (!std::filesystem::is_regular_file(status)) return std::nullopt;
        return readSmallFile(place);
    }
    return std::nullopt;
}

std::string lookUpText(std::string_view fileBytes, std::string_view key) {
    std::string text = findIniValue(fileBytes, kLanguageSection, key).value_or(std::string(key));
    // Cut before the first byte of the character after the last one kept.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsACharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsACharacter && characters++ == kMaxLookedUpCharacters) {
            text.resize(i);
            break;
        }
    }
    return text;
}

}  // namespace vostrel::texts

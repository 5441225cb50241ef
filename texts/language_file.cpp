// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "texts/language_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "texts/text_codec.h"

namespace vostrel::texts {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

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

std::optional<std::string> findIniValue(std::string_view fileBytes, std::string_view section,
                                        std::string_view key) {
    const auto read = readFileText(fileBytes);
    // A file of mixed encodings would show some letters as others: its texts are not used.
    if (!std::holds_alternative<FileText>(read)) return std::nullopt;
    const std::string& text = std::get<FileText>(read).utf8;
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
    ConfigEnvironment environment{variable("XDG_CONFIG_HOME"), variable("XDG_CONFIG_DIRS"), variable("HOME"), {}};
#ifdef _WIN32
    // The wide variable: the narrow one loses what the local code page lacks.
    if (const wchar_t* appData = _wgetenv(L"APPDATA")) environment.appData = appData;
#endif
    return environment;
}

#ifdef _WIN32
namespace {

// A drive's folder ("C:\...") or a network share's ("\\server\share\...", where folder
// redirection puts %APPDATA%); std::filesystem takes the latter for a relative path.
bool isAbsoluteWindowsPath(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.size() < 3) return false;
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const wchar_t letter = static_cast<wchar_t>(text[0] | 0x20);  // lower case
    const bool drive = letter >= L'a' && letter <= L'z' && text[1] == L':' && separator(text[2]);
    const bool share = separator(text[0]) && separator(text[1]) && !separator(text[2]);
    return drive || share;
}

}  // namespace
#endif

std::optional<std::filesystem::path> userConfigFolder(const ConfigEnvironment& environment) {
#ifdef _WIN32
    if (isAbsoluteWindowsPath(environment.appData)) return environment.appData / kConfigSubdirectory;
#else
    // An unusable XDG_CONFIG_HOME counts as unset.
    const std::filesystem::path userDirectory(environment.xdgConfigHome);
    const std::filesystem::path directory =
        userDirectory.is_absolute() ? userDirectory : std::filesystem::path(environment.home) / ".config";
    if (directory.is_absolute()) return directory / kConfigSubdirectory;
#endif
    return std::nullopt;
}

std::vector<std::filesystem::path> languageFilePlaces(const std::filesystem::path& programDirectory,
                                                      const ConfigEnvironment& environment) {
    std::vector<std::filesystem::path> places{programDirectory / kLanguageFileName};
    if (const auto user = userConfigFolder(environment)) places.push_back(*user / kLanguageFileName);
#ifndef _WIN32
    const auto addConfigDirectory = [&](const std::filesystem::path& directory) {
        if (directory.is_absolute()) places.push_back(directory / kConfigSubdirectory / kLanguageFileName);
    };
    const std::string_view systemDirectories =
        environment.xdgConfigDirs.empty() ? std::string_view("/etc/xdg") : environment.xdgConfigDirs;
    for (std::size_t start = 0; start <= systemDirectories.size();) {
        const std::size_t end = std::min(systemDirectories.find(':', start), systemDirectories.size());
        addConfigDirectory(systemDirectories.substr(start, end - start));
        start = end + 1;
    }
#endif
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

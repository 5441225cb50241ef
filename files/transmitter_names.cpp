// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/transmitter_names.h"

#include <algorithm>
#include <map>

#include "files/program_folders.h"
#include "texts/text_codec.h"

namespace vostrel::files {
namespace {

// A hand-edited file may hold any number; no one names more transmitters than this.
constexpr std::size_t kMaxNamesKept = 1000;
constexpr std::string_view kNameKey = "name";
constexpr std::string_view kPortKey = "port";
constexpr std::string_view kSizeKey = "size";

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&lower](char x, char y) { return lower(x) == lower(y); });
}

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// "3\name" -> 3 and "name"; nothing for any other key.
std::optional<std::pair<unsigned, std::string_view>> arrayKey(std::string_view key) {
    const std::size_t slash = key.find('\\');
    if (slash == 0 || slash == std::string_view::npos || slash > 6) return std::nullopt;
    unsigned index = 0;
    for (const char digit : key.substr(0, slash)) {
        if (digit < '0' || digit > '9') return std::nullopt;
        index = index * 10 + static_cast<unsigned>(digit - '0');
    }
    return std::pair{index, key.substr(slash + 1)};
}

}  // namespace

TransmitterNames::TransmitterNames(const SettingsEntries& section) {
    // By index, as Qt reads a list: its entries may come in any order.
    std::map<unsigned, TransmitterName> listed;
    for (const auto& [key, value] : section) {
        const auto indexed = arrayKey(key);
        if (!indexed) continue;
        if (indexed->second == kNameKey) listed[indexed->first].name = value;
        if (indexed->second == kPortKey) listed[indexed->first].port = value;
    }
    for (auto& [index, entry] : listed) {
        if (names_.size() == kMaxNamesKept) break;
        if (entry.port.empty() || refusal(entry.port, entry.name) || nameAt(entry.port)) continue;
        entry.name = std::string(trimmed(entry.name));
        if (!entry.name.empty()) names_.push_back(std::move(entry));
    }
}

std::optional<std::string> TransmitterNames::nameAt(std::string_view port) const {
    const auto found = std::ranges::find(names_, port, &TransmitterName::port);
    return found == names_.end() ? std::nullopt : std::optional(found->name);
}

std::optional<std::string> TransmitterNames::portNamed(std::string_view name) const {
    name = trimmed(name);
    const auto found = std::ranges::find_if(names_, [name](const TransmitterName& entry) {
        return sameIgnoringCase(entry.name, name);
    });
    return found == names_.end() ? std::nullopt : std::optional(found->port);
}

std::optional<texts::Message> TransmitterNames::refusal(std::string_view port, std::string_view name) const {
    using texts::keys;
    name = trimmed(name);
    const std::optional<std::u32string> characters = texts::decodeUtf8(name);
    if (!characters) return texts::Message{keys::kNameNotText, texts::Title::Error, {}};
    if (std::ranges::any_of(*characters, isControl)) {
        return texts::Message{keys::kNameControlCharacters, texts::Title::Error, {}};
    }
    if (characters->size() > kMaxNameLength) {
        return texts::Message{keys::kNameTooLong, texts::Title::Error, {static_cast<int>(kMaxNameLength)}};
    }
    if (const auto taken = portNamed(name); taken && *taken != port && !name.empty()) {
        return texts::Message{keys::kNameTaken, texts::Title::Error, {texts::Text{std::string(name)}, texts::Text{*taken}}};
    }
    return std::nullopt;
}

std::optional<texts::Message> TransmitterNames::give(std::string_view port, std::string_view name) {
    if (auto refused = refusal(port, name)) return refused;
    name = trimmed(name);
    const auto found = std::ranges::find(names_, port, &TransmitterName::port);
    if (name.empty()) {
        if (found != names_.end()) names_.erase(found);
    } else if (found != names_.end()) {
        found->name = std::string(name);
    } else {
        names_.push_back({std::string(port), std::string(name)});
    }
    return std::nullopt;
}

SettingsEntries TransmitterNames::section() const {
    if (names_.empty()) return {};
    SettingsEntries entries;
    for (std::size_t index = 0; index < names_.size(); ++index) {
        const std::string number = std::to_string(index + 1) + '\\';
        entries.emplace_back(number + std::string(kNameKey), names_[index].name);
        entries.emplace_back(number + std::string(kPortKey), names_[index].port);
    }
    entries.emplace_back(std::string(kSizeKey), std::to_string(names_.size()));
    return entries;
}

std::string transmitterCalled(const TransmitterNames& names, std::string_view port) {
    return names.nameAt(port).value_or(std::string(port));
}

std::string transmitterText(const TransmitterNames& names, std::string_view path, std::string_view location,
                            const Worded& worded) {
    const std::optional<std::string> name = names.nameAt(location.empty() ? path : location);
    if (location.empty()) return name ? *name + " (" + std::string(path) + ")" : std::string(path);
    using texts::keys;
    const texts::Text port{std::string(location)};
    return worded(name ? texts::Message{keys::kNamedTransmitter, texts::Title::Warn, {texts::Text{*name}, port}}
                       : texts::Message{keys::kTransmitterPort, texts::Title::Warn, {port}});
}

std::variant<TransmitterNames, FileError> loadTransmitterNames(const std::filesystem::path& settingsFile) {
    auto section = readSettingsSection(settingsFile, kTransmitterNamesSection);
    if (auto* error = std::get_if<FileError>(&section)) return std::move(*error);
    return TransmitterNames(std::get<SettingsEntries>(section));
}

std::optional<FileError> saveTransmitterNames(const std::filesystem::path& settingsFile, const TransmitterNames& names) {
    return writeSettingsSection(settingsFile, kTransmitterNamesSection, names.section());
}

TransmitterNames rememberedTransmitterNames() {
    const auto file = programPlaces().settingsFile();
    if (!file) return TransmitterNames();
    auto loaded = loadTransmitterNames(*file);
    if (auto* names = std::get_if<TransmitterNames>(&loaded)) return std::move(*names);
    return TransmitterNames();
}

std::optional<FileError> keepTransmitterNames(const TransmitterNames& names) {
    const auto file = programPlaces().settingsFile();
    if (!file) return FileError{"No folder for the settings file is known (no home or configuration folder)"};
    return saveTransmitterNames(*file, names);
}

}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The names the user gives transmitters ("Erdgeschoss"), kept by where each is plugged
// in: its port (the USB port path on Linux, the location path on Windows), or its path
// where the system names no port (an emulated transmitter's is its file). So a name
// stays with its port: a transmitter plugged into another port goes by that port's
// name, and two swapped between their ports swap names.
//
// They are kept in the settings file (files/program_folders.h), which the window and
// vostrel-cli read and write alike, in Qt's layout of a list (files/settings_file.h):
//   [TransmitterNames]
//   1\name=Erdgeschoss
//   1\port=1-1.2
//   size=1
//
// A name is 1 to kMaxNameLength characters of UTF-8 without control characters, blanks
// around it left out, and no other port's (letters compared without regard to case),
// so that it names one transmitter wherever one is asked for.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "files/file_error.h"
#include "files/settings_file.h"
#include "texts/message.h"

namespace vostrel::files {

inline constexpr std::size_t kMaxNameLength = 40;
inline constexpr std::string_view kTransmitterNamesSection = "TransmitterNames";

struct TransmitterName {
    std::string port;
    std::string name;

    friend bool operator==(const TransmitterName&, const TransmitterName&) = default;
};

class TransmitterNames {
public:
    // The names as the section holds them. What a hand-edited file may hold besides is
    // dropped: an entry without port or name, a name that breaks the rules above, a
    // port or a name listed before.
    explicit TransmitterNames(const SettingsEntries& section = {});

    // The name of the transmitter at `port`; nothing when it has none.
    std::optional<std::string> nameAt(std::string_view port) const;
    // The port whose name is `name`, compared as names are.
    std::optional<std::string> portNamed(std::string_view name) const;

    // Gives the transmitter at `port` the name, or takes its name away when `name` is
    // empty or blank. A name that breaks the rules is refused with the reason, and
    // nothing changes.
    std::optional<texts::Message> give(std::string_view port, std::string_view name);

    const std::vector<TransmitterName>& names() const { return names_; }
    SettingsEntries section() const;

private:
    std::optional<texts::Message> refusal(std::string_view port, std::string_view name) const;

    std::vector<TransmitterName> names_;
};

// The name, else the port: how a backup's file name calls a transmitter.
std::string transmitterCalled(const TransmitterNames& names, std::string_view port);

// How a result names the transmitter at `path` plugged into the port `location` (empty
// where the system names none): "Erdgeschoss (port 1-1.2)" and "Port 1-1.2", worded by
// `worded`; where there is no port, its path, after its name when it has one.
using Worded = std::function<std::string(const texts::Message&)>;
std::string transmitterText(const TransmitterNames& names, std::string_view path, std::string_view location,
                            const Worded& worded);

// The names kept in the settings file at `settingsFile` (none when it is missing).
std::variant<TransmitterNames, FileError> loadTransmitterNames(const std::filesystem::path& settingsFile);
std::optional<FileError> saveTransmitterNames(const std::filesystem::path& settingsFile, const TransmitterNames& names);

// This process's (files/program_folders.h); no names when there is no settings file or
// it cannot be read, which leaves every transmitter called by its port.
TransmitterNames rememberedTransmitterNames();
// Keeps the names in this process's settings file.
std::optional<FileError> keepTransmitterNames(const TransmitterNames& names);

}  // namespace vostrel::files

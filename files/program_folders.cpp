// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/program_folders.h"

#include <system_error>

#if defined(_WIN32)
#include <windows.h>

#include <string>
#endif

namespace vostrel::files {

namespace fs = std::filesystem;

std::optional<fs::path> runningProgramFolder() {
#if defined(_WIN32)
    // The wide name: the narrow one loses what the local code page lacks (a USB
    // stick's folder named "Jürgen's Ωmega" keeps every letter).
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::nullopt;
        if (length < name.size()) {
            name.resize(length);
            return fs::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
#elif defined(__linux__)
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program.parent_path();
#else
    return std::nullopt;
#endif
}

bool isPortableCopy(const fs::path& programFolder) {
    std::error_code error;
    return fs::symlink_status(programFolder / kPortableMarker, error).type() != fs::file_type::not_found && !error;
}

std::optional<fs::path> ProgramPlaces::settingsFile() const {
    if (portableFolder) return *portableFolder / kSettingsFileName;
    if (const auto folder = texts::userConfigFolder(config)) return *folder / kSettingsFileName;
    return std::nullopt;
}

std::vector<fs::path> ProgramPlaces::languageFilePlaces() const {
    if (portableFolder) return {*portableFolder / texts::kLanguageFileName};
    std::vector<fs::path> places = texts::languageFilePlaces(programFolder, config);
    // A program whose folder is unknown has no file beside it: the name alone would be
    // looked for in the working folder.
    if (programFolder.empty()) places.erase(places.begin());
    return places;
}

ProgramPlaces programPlaces() {
    ProgramPlaces places;
    places.config = texts::processConfigEnvironment();
    if (const auto folder = runningProgramFolder()) {
        places.programFolder = *folder;
        if (isPortableCopy(*folder)) places.portableFolder = *folder;
    }
    return places;
}

}  // namespace vostrel::files

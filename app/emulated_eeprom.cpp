// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "app/emulated_eeprom.h"

#include <stdexcept>
#include <system_error>
#include <variant>

#include "files/data_folder.h"
#include "files/system_reason.h"
#include "files/utf8_path.h"

namespace vostrel::app {

std::filesystem::path defaultEmulatedEepromFile() {
    auto folder = files::programDataFolder();
    if (const auto* error = std::get_if<files::FileError>(&folder)) {
        throw std::runtime_error("No folder for the emulated transmitter's EEPROM: " + error->what);
    }
    const std::filesystem::path& programFolder = std::get<std::filesystem::path>(folder);
    std::error_code error;
    std::filesystem::create_directories(programFolder, error);
    if (error) {
        throw std::runtime_error(files::utf8Name(programFolder) +
                                 ": cannot make the folder: " + files::systemReason(error));
    }
    return programFolder / kEmulatedEepromName;
}

}  // namespace vostrel::app

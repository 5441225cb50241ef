// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Where vostrel-programmer-emulated keeps its transmitter's EEPROM when no EEPROM-FILE
// is given: emulated-eeprom.bin in the program's data folder (files/data_folder.h).
// Not the working folder: the Start menu and desktop entries start the program in a
// folder the user may not write (C:\Program Files\Vostrel programmer, /), where the
// emulated transmitter would be one whose access is denied, and where an uninstaller
// would find a file it never installed.

#include <filesystem>

namespace vostrel::app {

inline constexpr const char* kEmulatedEepromName = "emulated-eeprom.bin";

// The default file, its folder made when missing. Throws std::runtime_error naming the
// folder and the reason when there is no data folder or it cannot be made.
std::filesystem::path defaultEmulatedEepromFile();

}  // namespace vostrel::app

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// vostrel-programmer-emulated [EEPROM-FILE [FILE]]: the programmer window on an emulated
// transmitter whose EEPROM is kept in EEPROM-FILE (by default in the program's data
// folder, app/emulated_eeprom.h), to try Read and Write without hardware.

#include <filesystem>
#include <system_error>

#include "app/emulated_eeprom.h"
#include "app/program_start.h"
#include "device/emulator/emulated_transmitter.h"
#include "files/user_guide.h"
#include "ui/workings/local_path.h"

namespace {

constexpr vostrel::app::ProgramHelp kHelp{
    "vostrel-programmer-emulated",
    "Usage: vostrel-programmer-emulated [--language de|en|fr] [EEPROM-FILE [FILE]]\n"
    "  or:  vostrel-programmer-emulated --help | --version\n"
    "Opens the programmer window on an emulated paging transmitter.\n"
    "\n"
    "The window is the one of vostrel-programmer, but Read and Write talk to a transmitter\n"
    "in software whose 512-byte EEPROM is kept in EEPROM-FILE; without one, in\n"
    VOSTREL_HELP_DATA_FOLDER "emulated-eeprom.bin" VOSTREL_HELP_DATA_FOLDER_DEFAULT ".\n"
    "A new file starts erased, as a new device does; each word written is saved at once.\n"
    "Use it to try the window without hardware.\n"
    "\n"
    "Open and Save work as in vostrel-programmer; a file dropped on the window, and FILE,\n"
    "are opened as Open opens them.\n"
    "Help (F1) opens the user guide in the web browser, in the window's language:\n"
    VOSTREL_HELP_USER_GUIDE ".\n"
    "\n"
    "Options:\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    VOSTREL_HELP_LANGUAGE_OPTION
    "  --           what follows is a file, even one whose name starts with '-'\n"};

vostrel::app::ProgramTransport makeEmulatedTransmitter(const QStringList& arguments) {
    vostrel::device::EmulatorOptions options;
    const std::filesystem::path file = arguments.size() == 2 ? vostrel::ui::localPath(arguments[1])
                                                             : vostrel::app::defaultEmulatedEepromFile();
    // Its path is its port, which its name and its backups' names are kept by: the
    // same from any folder.
    std::error_code unknown;
    const std::filesystem::path absolute = std::filesystem::absolute(file, unknown);
    options.backingFile = unknown ? file : absolute;
    return {std::make_unique<vostrel::device::EmulatedTransmitter>(options), *options.backingFile};
}

}  // namespace

// The first argument is the EEPROM file, any further one a file to open.
int main(int argc, char** argv) {
    return vostrel::app::runProgrammer(argc, argv, kHelp, makeEmulatedTransmitter, 1);
}

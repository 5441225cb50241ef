// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// vostrel-programmer-emulated [EEPROM-FILE]: the programmer window on an emulated
// transmitter whose EEPROM is kept in EEPROM-FILE (emulated-eeprom.bin in the working
// directory by default), to try Read and Write without hardware.

#include "app/program_start.h"
#include "device/emulator/emulated_transmitter.h"
#include "ui/local_path.h"

namespace {

constexpr const char* kDefaultEepromFile = "emulated-eeprom.bin";

constexpr vostrel::app::ProgramHelp kHelp{
    "vostrel-programmer-emulated",
    "Usage: vostrel-programmer-emulated [EEPROM-FILE [FILE]]\n"
    "  or:  vostrel-programmer-emulated --help | --version\n"
    "Opens the programmer window on an emulated paging transmitter.\n"
    "\n"
    "The window is the one of vostrel-programmer, but Read and Write talk to a transmitter\n"
    "in software whose 512-byte EEPROM is kept in EEPROM-FILE (emulated-eeprom.bin in\n"
    "the working directory by default). A new file starts erased, as a new device does;\n"
    "each word written is saved at once. Use it to try the window without hardware.\n"
    "Open and Save work as in vostrel-programmer; a file dropped on the window, and FILE,\n"
    "are opened as Open opens them.\n"
    "\n"
    "Options:\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "  --           what follows is a file, even one whose name starts with '-'\n"};

std::unique_ptr<vostrel::device::HidTransport> makeEmulatedTransmitter(const QStringList& arguments) {
    const QString file = arguments.value(1, QString::fromLatin1(kDefaultEepromFile));
    vostrel::device::EmulatorOptions options;
    options.backingFile = vostrel::ui::localPath(file);
    return std::make_unique<vostrel::device::EmulatedTransmitter>(options);
}

}  // namespace

// The first argument is the EEPROM file, any further one a file to open.
int main(int argc, char** argv) {
    return vostrel::app::runProgrammer(argc, argv, kHelp, makeEmulatedTransmitter, 1);
}

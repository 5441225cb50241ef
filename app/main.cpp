// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// vostrel-programmer: the programmer window on the transmitter attached by USB.

#include "app/program_start.h"
#include "device/hid/system_hid_transport.h"
#include "files/user_guide.h"

namespace {

constexpr vostrel::app::ProgramHelp kHelp{
    "vostrel-programmer",
    "Usage: vostrel-programmer [--language de|en|fr] [FILE]\n"
    "  or:  vostrel-programmer --help | --version\n"
    "Programs the POCSAG paging transmitter attached by USB (HID 0925:1234).\n"
    "\n"
    "Opens the programmer window: up to sixteen call items (capcode, tone A to D, pager\n"
    "type, message) and the transmitter's data rate, preamble length and repeat count.\n"
    "Write programs them into the transmitter, Read fetches its contents into the\n"
    "window, Exit ends the program. Open fills the window from a configuration file (as\n"
    "vostrel-cli reads it) or a 512-byte EEPROM image file; Save writes the window as a\n"
    "configuration file, with the extension .vostrel unless another one is typed.\n"
    "\n"
    "FILE, and a file dropped on the window, are opened as Open opens them (a FILE.csv\n"
    "is imported as a site list, as Import CSV does); of several files named, the first\n"
    "is opened, with a note. The button beside Open lists the last 8 files opened or\n"
    "saved. Every outcome is shown in a message box.\n"
    "\n"
    "Before Write changes the transmitter, its contents are saved as an image file in\n"
    VOSTREL_HELP_DATA_FOLDER "backups" VOSTREL_HELP_DATA_FOLDER_DEFAULT ";\n"
    "Open of such a file and Write put them back.\n"
    "The window is in German or French where the user's language is, else in English;\n"
    "a language file," VOSTREL_HELP_LANGUAGE_FILE ", changes its texts.\n"
    "A portable copy, one with a file named portable.ini beside the program, keeps its\n"
    "settings, backups and language file beside the program instead.\n"
    "Help (F1) opens the user guide in the web browser, in the window's language:\n"
    VOSTREL_HELP_USER_GUIDE ".\n"
    "\n"
    "Options:\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    VOSTREL_HELP_LANGUAGE_OPTION
    "  --           what follows is a file, even one whose name starts with '-'\n"};

}  // namespace

int main(int argc, char** argv) {
    return vostrel::app::runProgrammer(argc, argv, kHelp, [](const QStringList&) {
        return vostrel::device::makeSystemHidTransport();
    });
}

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Program start shared by the real and the emulated programmer: the application, the
// one window on a given transport, and the event loop.

#include <QApplication>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "device/hid_transport.h"
#include "files/data_folder.h"
#include "texts/languages.h"

class TForm1;

namespace vostrel::app {

using ExceptionShower = std::function<void(const QString& text)>;

// The window system's error box, for exceptions that no handler caught.
void showExceptionBox(const QString& text);

// An application that catches what an event handler throws: the exception is shown
// and the event loop goes on.
class ProgrammerApplication : public QApplication {
public:
    ProgrammerApplication(int& argc, char** argv, ExceptionShower showException = showExceptionBox);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    ExceptionShower showException_;
};

// Closing `window` (its Exit button or close box) ends the event loop at once, even
// while a message box is open; the box goes with it. A close the user cancelled (the
// question about unsaved work) ends nothing.
void endProgramOnClose(TForm1& window);

// The places the help texts name, as string literals to join into them: the program's
// data folder (files/data_folder.h) and the user's own language file (with the space
// or line break before it).
#if defined(_WIN32)
#define VOSTREL_HELP_DATA_FOLDER "%LOCALAPPDATA%\\" VOSTREL_PROGRAM_FOLDER_NAME "\\"
#define VOSTREL_HELP_DATA_FOLDER_DEFAULT ""
#define VOSTREL_HELP_LANGUAGE_FILE "\n%APPDATA%\\" VOSTREL_PROGRAM_FOLDER_NAME "\\kdx20Lang.ini"
#else
#define VOSTREL_HELP_DATA_FOLDER "$XDG_DATA_HOME/" VOSTREL_PROGRAM_FOLDER_NAME "/"
#define VOSTREL_HELP_DATA_FOLDER_DEFAULT " (by default under ~/.local/share)"
#define VOSTREL_HELP_LANGUAGE_FILE " kdx20Lang.ini"
#endif

// The --language option of both window programs, as their help lists it.
#define VOSTREL_HELP_LANGUAGE_OPTION \
    "  --language de|en|fr\n" \
    "               the window's language for this run, whatever the user's; the\n" \
    "               variable VOSTREL_LANGUAGE=de|en|fr does the same\n"

// What --help and --version tell about a program.
struct ProgramHelp {
    std::string_view name;
    std::string_view text;  // the usage line first, then what the program does
};

// Answers --help or --version before any window system is used (so both work without
// a display), on standard output or where app/help_output.h says: the exit status, or
// nothing for any other call.
std::optional<int> answerHelpOrVersion(int argc, char** argv, const ProgramHelp& help);

// The transmitter the window talks to.
struct ProgramTransport {
    // Implicit, so that the real program's factory returns its transport alone.
    ProgramTransport(std::unique_ptr<device::HidTransport> transport) : transport(std::move(transport)) {}
    ProgramTransport(std::unique_ptr<device::HidTransport> transport, std::filesystem::path emulatedEeprom)
        : transport(std::move(transport)), emulatedEeprom(std::move(emulatedEeprom)) {}

    std::unique_ptr<device::HidTransport> transport;
    // Where an emulated transmitter keeps its EEPROM, which the window's title names;
    // empty for a real one.
    std::filesystem::path emulatedEeprom;
};

// Makes the transport from its command-line arguments (program name first). May throw;
// the exception is shown and the program ends.
using TransportFactory = std::function<ProgramTransport(const QStringList& arguments)>;

// The window's command line: the transport's arguments (program name first), then the
// files to open, and the language asked for with --language.
struct WindowArguments {
    QStringList transport;
    QStringList files;
    std::optional<texts::Language> language;
};

// Splits `arguments` (Qt's own options removed, program name first): the first
// `transportArguments` of them are the transport's, the rest files to open, but for
// "--language CODE" (or "--language=CODE") anywhere before "--". "--" ends the
// options, so that a file may be named "-x"; any other argument starting with '-' is an
// unknown option, a std::runtime_error, rather than a file that is not there, and so is
// a language that is not built in.
WindowArguments splitWindowArguments(const QStringList& arguments, qsizetype transportArguments);

// The arguments Qt left of the command line (argc and argv as QApplication made them),
// each file name as its bytes are (ui/workings/local_path.h), so that a name that is not
// UTF-8 opens as vostrel-cli opens it; Windows gives them in UTF-16.
QStringList windowArguments(int argc, char** argv);

inline constexpr int kExitNormal = 0;
inline constexpr int kExitStartFailed = 1;

// Answers --help and --version, or else creates the window on the transport, opens the
// files named after the transport's `transportArguments` as Open opens them, and runs
// the event loop until the window is closed: kExitNormal then, kExitStartFailed when
// creation failed.
int runProgrammer(int argc, char** argv, const ProgramHelp& help, const TransportFactory& makeTransport,
                  qsizetype transportArguments = 0);

}  // namespace vostrel::app

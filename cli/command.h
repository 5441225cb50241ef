// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What every command of vostrel-cli shares: where it writes, how it reports, and its
// entry in the command table.

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/arguments.h"
#include "config/config_file.h"
#include "config/read_entries.h"
#include "device/hid_transport.h"
#include "image/eeprom_image.h"
#include "image/image_builder.h"
#include "paging/alphabets.h"
#include "texts/message.h"

namespace vostrel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

inline constexpr std::string_view kProgramName = "vostrel-cli";

struct CliContext {
    std::ostream& out;
    std::ostream& err;
    // The transport to real transmitters, made when a device command needs one.
    std::function<std::unique_ptr<device::HidTransport>()> hardware;
    // Where the program lies, the first place the language file is looked for; empty
    // when unknown.
    std::filesystem::path programDirectory{};
    // Whether `out` is a terminal, which a text's control characters would drive.
    bool outputIsTerminal = false;
};

struct Command {
    std::string_view name;
    std::string_view synopsis;  // the arguments after the command's name
    std::string_view summary;   // one line for the command list
    std::string_view details;   // the rest of the command's --help
    std::span<const OptionSpec> options;
    int (*run)(const Arguments& arguments, CliContext& context);
};

std::span<const Command> fileCommands();
std::span<const Command> deviceCommands();
std::span<const Command> checkCommands();
std::span<const Command> audioCommands();
std::span<const Command> sheetCommands();
std::span<const Command> siteListCommands();
std::span<const Command> capacityCommands();
std::span<const Command> transmitterCommands();

// Reports a misuse of the command on stderr; returns the usage exit status.
int usageError(CliContext& context, std::string_view command, std::string_view what);

// Reports a failure on stderr; returns the failure exit status.
int failure(CliContext& context, std::string_view what);

// A system message in its built-in English text, one line.
void printMessage(std::ostream& stream, const texts::Message& message);

// The text with every control character (C0, DEL, C1) shown as \xNN, as decode writes
// them: a key, a value or a character from a file must never drive the terminal.
// Everything the commands print to stderr goes through it.
std::string terminalText(std::string_view utf8);

// A JSON string: quotes, backslashes and control characters escaped; the rest is UTF-8
// as it stands.
std::string jsonString(std::string_view text);

// What the commands say of an image whose every word is erased (image::ImageContents).
inline constexpr std::string_view kErasedNote = "Empty (erased): no calls and no settings";

// The usage error for an empty file name among `names`, which names no file.
std::optional<int> refuseEmptyFileName(CliContext& context, std::string_view command,
                                       std::initializer_list<std::string_view> names);

// The file name that means standard output where a command writes one.
inline constexpr std::string_view kStandardOutput = "-";

// True, with the error on stderr, when `output` names the same file as `input`: checked
// before anything is read or written.
bool outputIsInput(const std::string& output, const std::filesystem::path& input, CliContext& context);

// What a command's output is: bytes go out as they are; a text going to a terminal
// shows its control characters as terminalText does, line by line with tabs kept,
// while a file or a pipe gets it as it is.
enum class OutputKind { Bytes, Text };

// Writes a command's output file, or standard output for "-". An error goes to stderr.
// Returns the exit status.
int saveOutput(const std::string& output, std::string_view bytes, CliContext& context,
               OutputKind kind = OutputKind::Bytes);

// The pager alphabets' names, as --alphabet takes them.
inline constexpr std::string_view kAlphabetChoices = "US|DE|DK|NO|SE|FR|ES|IT|YU";
inline constexpr OptionSpec kAlphabetOption = {
    "alphabet", kAlphabetChoices, "the pager alphabet: which letter an alphanumeric pager shows at each 7-bit code "
                                  "(default US)"};
inline constexpr OptionSpec kTransliterateOption = {
    "transliterate", "", "send characters the pager alphabet lacks replaced (e with accent as e, ss for sharp s); "
                         "each replacement is listed on stderr"};

inline constexpr OptionSpec kLabelsOption = {
    "labels", "FILE",
    "give rows without a label the one a list has for their capcode (and sub-address): a CSV such as "
    "ric,description (# comments) or a decoder's filters.ini with a [Filter] section; may be given more than once, "
    "the first list that names a capcode wins",
    true};

inline constexpr OptionSpec kAllowPartialOption = {
    "allow-partial", "", "when not all rows fit the transmitter, take the rows that do and name those left out "
                         "(without it nothing is built or written)"};

// What building a configuration does when not all its rows fit the transmitter.
enum class PartialSite {
    Named,    // the rows that fit are built; those left out are named on stderr
    Refused,  // nothing is built; the rows left out are named, with what to do
};
// Refused, unless --allow-partial is given.
PartialSite chosenPartialSite(const Arguments& arguments);

// "Not stored: row 12 Tisch 12 (capcode 100012 A), row 13 ...": the rows a Write of
// `entries` leaves out, as the window names them; empty when every row fits.
std::string leftOutLine(const image::ProgrammerEntries& entries);

// What an image where a configuration belongs is refused with, after its name: what
// the command did not do, and what takes an image instead.
inline constexpr std::string_view kWriteTakesImages =
    "nothing was written (write --image takes an image, decode turns it into a configuration)";

// Reads the file once (it may be a pipe) with one of config/read_entries.h's readers.
// Its notes go to stderr; its problem, naming the file, goes there too and gives
// nothing.
using EntriesReader = std::function<std::variant<config::EntriesRead, config::ReadProblem>(std::string_view bytes,
                                                                                        std::string_view fileName)>;
std::optional<config::EntriesRead> readEntriesFile(const std::filesystem::path& path, const EntriesReader& reader,
                                                   CliContext& context, std::string_view imageAdvice = kWriteTakesImages);

// Fills the empty labels of the entries from the label list in `file`. The rows it
// labelled (0-based); nothing, with the error on stderr, when the list cannot be read.
std::optional<std::vector<unsigned>> labelRowsFromList(const std::string& file, image::ProgrammerEntries& entries,
                                                       CliContext& context);

// The alphabet --alphabet names (US without it); a usage error text for another name.
std::variant<paging::Alphabet, std::string> chosenAlphabet(const Arguments& arguments);

// Whether --transliterate turns transliteration on, whatever the configuration says.
enum class Transliteration { AsConfigured, On };
Transliteration chosenTransliteration(const Arguments& arguments);

// Reports each replaced character on stderr, after `prefix`.
void printReplacements(const image::BuiltImage& built, std::string_view prefix, CliContext& context);

// Reads, parses and builds a configuration file. Errors and the refusal (naming the
// file) go to stderr and give nothing; so does a site whose rows do not all fit, when
// `partial` refuses it. Else the rows left out and the replaced characters go to
// stderr and the image is returned.
std::optional<image::BuiltImage> buildConfigFile(const std::filesystem::path& path, Transliteration transliteration,
                                                 CliContext& context, PartialSite partial = PartialSite::Named);
// Builds parsed entries, reporting as buildConfigFile does.
std::optional<image::BuiltImage> buildConfigEntries(const std::filesystem::path& path, image::ProgrammerEntries entries,
                                                    Transliteration transliteration, CliContext& context,
                                                    PartialSite partial = PartialSite::Named);
// Reads and parses a configuration file; an error (naming the file) goes to stderr and
// gives nothing. An image is refused with `imageAdvice`.
std::optional<image::ProgrammerEntries> readConfigFile(const std::filesystem::path& path, CliContext& context,
                                                       std::string_view imageAdvice = kWriteTakesImages);

// Reads the file once (it may be a pipe): a configuration, or a 512-byte image file as
// image::isImageFile tells them apart. An error, naming the file, goes to stderr and
// gives nothing; a Windows-1252 reading is said there once.
std::optional<config::EntriesRead> readConfigOrImage(const std::filesystem::path& path, CliContext& context);

// A "CONFIG | IMAGE" input: the image, and what a configuration says beyond it.
struct LoadedInput {
    image::EepromImage image;
    // The configuration as read (its alphabets, its site); nothing for an image file.
    std::optional<image::ProgrammerEntries> configuration;
};

// Reads the input once (it may be a pipe): a configuration, built as a Write would
// build it, or a 512-byte image file. Errors, the refusal and a damaged image go to
// stderr and give nothing; the image-full warning and the replaced characters go to
// stderr and the image is returned.
std::optional<LoadedInput> loadConfigOrImage(const std::filesystem::path& path, Transliteration transliteration,
                                             CliContext& context);

// "# Contents fingerprint 1A2B3C4D" and a line end: a comment in a configuration.
std::string fingerprintComment(const image::EepromImage& image);

// Prints the image as a configuration on stdout, its fingerprint in a comment above,
// messages as pagers with `alphabet` show them; a damaged image prints what was read
// before the bad row and reports "EEPROM read error". Returns the exit status.
int printImageAsConfig(const image::EepromImage& image, paging::Alphabet alphabet, CliContext& context);

// Reports "EEPROM read error" when a row of the image cannot be read, and says so when it
// is erased (which is no error). Returns the exit status.
int reportImageReadable(const image::EepromImage& image, CliContext& context);

}  // namespace vostrel::cli

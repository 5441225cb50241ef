// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// An outcome to show the user: a text key (the built-in English text, which is also
// the lookup key of a translation), its arguments and the title it is shown under.
// Formatted texts are UTF-8.
// The libraries below the front ends never format texts themselves, so that one
// translation applies to the command-line tool and the window alike.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::texts {

enum class Title { Error, Warn, Success };

// The keys of every message the system shows. Their spelling is the system's own,
// typos included, because translations are looked up by it.
namespace keys {
inline constexpr std::string_view kDeviceNotFound = "USB Device not found !";
inline constexpr std::string_view kDeviceAccessDenied = "USB Device found, but access denied";
inline constexpr std::string_view kDeviceBusy = "USB Device busy";
inline constexpr std::string_view kCommandFail = "USB Command fail";
inline constexpr std::string_view kEepromReadError = "EEPROM read error";
inline constexpr std::string_view kPreambleOutOfRange = "Preamble value out of range";
inline constexpr std::string_view kInvalidCode = "Invalid code '%c' in Item[%02d]";
inline constexpr std::string_view kCapCodeOutOfRange = "CapCode out of range in Item[%02d]";
inline constexpr std::string_view kDataRateNotSelected = "Data rate not selected";
inline constexpr std::string_view kOutOfEepromSize = "out of EEPROM size, only %d items data can be save";
inline constexpr std::string_view kWriteCompleted = "Data write completed";
// A 7-bit character whose code shows a national letter on the row's pager alphabet:
// the character typed, the row, the letter the pager would show, the alphabet's name.
inline constexpr std::string_view kShownAsNationalLetter = "'%c' in Item[%02d] would show as '%c' on a %s pager";
// A character replaced before sending: the character, the row, what is sent instead.
inline constexpr std::string_view kSentAsReplacement = "'%c' in Item[%02d] is sent as '%s'";
// A row whose characters, replaced, make more codes than a Read gives back (129): the
// row, the number of codes.
inline constexpr std::string_view kSentTooLong = "Item[%02d] would be sent as %d characters; a Read gives back 129 at most";
// The forms of these for encode's one item, which has no row to name: the same
// arguments without the row.
inline constexpr std::string_view kInvalidCodeInMessage = "Invalid code '%c'";
inline constexpr std::string_view kShownAsNationalLetterInMessage = "'%c' would show as '%c' on a %s pager";
inline constexpr std::string_view kSentAsReplacementInMessage = "'%c' is sent as '%s'";
inline constexpr std::string_view kMessageSentTooLong =
    "The message would be sent as %d characters; a Read gives back 129 at most";
inline constexpr std::string_view kVerifyFailed = "EEPROM verify failed at word %d";
inline constexpr std::string_view kBackupFailed = "No backup of the transmitter could be saved; nothing was written";
// A text file that held no UTF-8 and was read as Windows-1252: its name.
inline constexpr std::string_view kReadAsWindows1252 = "%s is not UTF-8 and was read as Windows-1252";
}  // namespace keys

// A character for %c, as its Unicode code point: the character the user typed, even
// one that no 8-bit code page holds.
struct Character {
    char32_t codePoint = 0;

    friend bool operator==(const Character&, const Character&) = default;
};

// A number with a fraction for %.1f, %.2f or %.3f, written with a decimal point, or
// for %,1f, %,2f or %,3f, written with a decimal comma as German and many other
// languages write it. Never formatted by the C library, whose decimal separator
// follows the process's locale.
struct Decimal {
    double value = 0;

    friend bool operator==(const Decimal&, const Decimal&) = default;
};

// A text for %s, UTF-8: a replacement, an alphabet's name. Never a translation, so it
// is inserted as it stands.
struct Text {
    std::string utf8;

    friend bool operator==(const Text&, const Text&) = default;
};

// One placeholder's value: a character for %c, a number for %d and %02d, a decimal
// for %.Nf and %,Nf, a text for %s.
using MessageArgument = std::variant<Character, int, Decimal, Text>;

struct Message {
    std::string_view key;
    Title title = Title::Error;
    std::vector<MessageArgument> arguments;

    friend bool operator==(const Message&, const Message&) = default;
};

}  // namespace vostrel::texts

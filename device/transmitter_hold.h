// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// One hold on the transmitter for a whole Write: it is found and opened once, and the
// one-program lock taken with the open is kept until the hold ends. Opening it for the
// backup, again for the Write and again for the read-back would let another program
// change the EEPROM in between, and the backup would not be what was overwritten.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "device/eeprom_programmer.h"
#include "device/hid_transport.h"
#include "device/word_transfer.h"
#include "image/eeprom_image.h"

namespace vostrel::device {

// The first written word that the EEPROM does not give back as written.
struct WordMismatch {
    unsigned address = 0;
    std::uint16_t read = 0;
    std::uint16_t written = 0;

    friend bool operator==(const WordMismatch&, const WordMismatch&) = default;
};

// The first of words 0..wordCount-1 that `read` holds otherwise than `written`.
std::optional<WordMismatch> firstDifference(const image::EepromImage& read, const image::EepromImage& written,
                                            unsigned wordCount);

// An open, locked transmitter. Destroying the hold closes the device and lets it go.
class TransmitterHold {
public:
    // The transmitter, or why it cannot be had ("USB Device not found !", "... access
    // denied", "USB Device busy").
    static std::variant<TransmitterHold, DeviceFailure> take(HidTransport& transport);

    // The device as its transport names it: a node, a Windows device path, "emulated:...".
    const std::string& path() const { return link_.path; }
    // Where it is plugged in (HidDeviceInfo::location); empty where the system names none.
    const std::string& location() const { return link_.location; }
    // The port its name is kept by: where it is plugged in, else its path (portOf).
    std::string port() const { return location().empty() ? path() : location(); }

    // Words 0..255; nothing unless every exchange succeeded.
    std::optional<image::EepromImage> readAllWords(const TransferProgress& progress = {});
    // Words 0..wordCount-1 in crashConsistentOrder; false at the first failed exchange.
    bool writeWords(const image::EepromImage& image, unsigned wordCount, const TransferProgress& progress = {});
    // Words 0..wordCount-1 (the others 0); nothing unless every exchange succeeded.
    std::optional<image::EepromImage> readWords(unsigned wordCount, const TransferProgress& progress = {});

private:
    explicit TransmitterHold(HidLink link) : link_(std::move(link)) {}

    HidLink link_;
};

// What a Write does besides sending the words.
struct WriteSteps {
    // Read all words first: for a backup, to see what will change, and to send nothing
    // when the words are there already.
    bool readFirst = true;
    // Read the written words back afterwards and compare them.
    bool readBack = true;
};

enum class Proceed { Write, Cancel };

// Called once the words are read (WriteSteps::readFirst), before any is sent, with what
// the transmitter holds and the hold, which names it; the transmitter stays held
// meanwhile. Not called when it holds the words the Write would send.
using BeforeWriting = std::function<Proceed(const image::EepromImage& held, const TransmitterHold& hold)>;

struct WriteOutcome {
    enum class End {
        Written,       // sent (and read back as sent, when asked)
        AlreadyThere,  // the transmitter held exactly these words: none was sent
        Cancelled,     // BeforeWriting said so: none was sent
        NotOpened,     // `failure` says why; nothing was read or sent
        ReadFailed,    // "USB Command fail" before any word was sent
        WriteFailed,   // "USB Command fail"; words before the failed one are written
        ReadBackFailed,  // "USB Command fail" while reading back; all words were sent
        VerifyFailed,  // `mismatch` names the first word that did not take
    };
    End end = End::NotOpened;
    std::optional<DeviceFailure> failure;  // the message for every end that failed, but VerifyFailed
    std::optional<image::EepromImage> held;  // what the transmitter held, when it was read
    std::optional<WordMismatch> mismatch;
    // The transmitter written to (TransmitterHold::path and location); empty for NotOpened.
    std::string path;
    std::string location;
    std::string port() const { return location.empty() ? path : location; }
};

// Takes the transmitter and, under that one hold, reads it (when asked), lets
// `beforeWriting` decide, writes words 0..wordCount-1 of `image` and reads them back
// (when asked). `progress` counts every exchange of the whole sequence, from the first
// read to the last read-back, in one total; a sequence that ends early never reaches it.
WriteOutcome writeUnderOneHold(HidTransport& transport, const image::EepromImage& image, unsigned wordCount,
                               const WriteSteps& steps, const BeforeWriting& beforeWriting,
                               const TransferProgress& progress = {});

}  // namespace vostrel::device

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Read and Write commands: the order of their steps and of their messages.
// Both run to their end on the window's thread; the device is opened and closed by
// the transfer itself, on every path.

#include <QString>
#include <array>
#include <functional>
#include <string>

#include "device/eeprom_programmer.h"
#include "device/hid_transport.h"
#include "image/image_builder.h"
#include "image/image_reader.h"

class QProgressBar;

namespace vostrel::ui {

class MessageReporter;

// Shows that words are moving: a busy cursor and a progress bar fed by the transfer, in
// per cent of all the exchanges of the command.
class TransferFeedback {
public:
    explicit TransferFeedback(QProgressBar& bar);

    // Runs `transfer(progress)` under the busy cursor and returns what it returns.
    template <typename Transfer>
    auto run(const Transfer& transfer) {
        const Scope scope(*this);
        return transfer(progressCallback());
    }

    // The normal cursor while the user is asked something in the middle of a transfer.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;
    };

private:
    class Scope {
    public:
        explicit Scope(TransferFeedback& feedback);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        TransferFeedback& feedback_;
    };

    device::TransferProgress progressCallback();
    void begin();
    void end();

    QProgressBar& bar_;
};

struct CommandServices {
    device::HidTransport& transport;
    const MessageReporter& reporter;
    TransferFeedback& feedback;
    // Whether a Write asks before it overwrites calls the transmitter holds.
    bool confirmOverwrite = true;
    // Called with true while a Write waits behind one of its boxes and with false once
    // it has ended, so that no other command can start meanwhile.
    std::function<void(bool waiting)> holdOtherCommands;
};

// The rows' message texts as the window holds them, in row order.
using TypedMessages = std::array<QString, image::kRowCount>;

// A message text as the image builder takes it, one byte per character. A character
// outside Latin-1 becomes a byte that no pager type accepts, so that it is refused
// rather than sent as another character.
std::string messageBytes(const QString& text);

// An "Invalid code" refusal names the character as the builder saw it; this names the
// one the user typed in that row, even one outside Latin-1.
texts::Message namedAsTyped(texts::Message message, const TypedMessages& typed);

// Build the image (a refusal ends the command before any device access), warn when it
// is full; then, holding the transmitter throughout: read it, send nothing when it holds
// these words already, ask before calls it holds are overwritten, save what it holds as
// a backup, write the used words and read them back. Report the outcome, naming the
// backup when the transmitter was changed but not as intended. `entries` holds the
// messages as messageBytes gives them; `typed` the same texts as shown.
void writeCommand(const image::ProgrammerEntries& entries, const TypedMessages& typed,
                  const CommandServices& services);

// Read the whole image first and show it only once every word is in, so that a failed
// transfer leaves the window as it was. An invalid slot is reported after the rows
// read before it are shown.
void readCommand(const CommandServices& services,
                 const std::function<void(const image::ImageContents&)>& showContents);

}  // namespace vostrel::ui

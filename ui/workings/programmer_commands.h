// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Read and Write commands: the order of their steps and of their messages.
// Both run to their end on the window's thread; the device is opened and closed by
// the transfer itself, on every path.

#include <functional>
#include <optional>

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
    // Which transmitter the command goes to, asked once its entries are known to build:
    // `transport` itself, or the one the user chose among several; none ends the
    // command quietly (the user cancelled). Unset: `transport`.
    std::function<device::HidTransport*()> chooseTransmitter;
};

// Build the image (a refusal ends the command before any device access); when it is
// full, ask whether to write the rows that fit, naming those left out (Cancel ends the
// command, nothing sent); then, holding the transmitter throughout: read it, send nothing when it holds
// these words already, ask before calls it holds are overwritten, save what it holds as
// a backup named after it, write the used words and read them back. Record the Write
// beside the backups (files/write_history.h). Report the outcome with the transmitter
// (its name and port) and the backup, or that nothing was sent, and the rows left out.
// Returns where the refused character is when the build refused one, so that the window
// can show it.
std::optional<image::CharacterPosition> writeCommand(const image::ProgrammerEntries& entries,
                                                     const CommandServices& services);

// Read the whole image first and show it only once every word is in, so that a failed
// transfer leaves the window as it was. An invalid slot is reported after the rows
// read before it are shown; an erased transmitter is reported as empty, naming it.
// Messages are read as `text` says pagers show them.
void readCommand(const CommandServices& services, const image::PagerTextSettings& text,
                 const std::function<void(const image::ImageContents&)>& showContents);

}  // namespace vostrel::ui

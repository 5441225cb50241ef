// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Read and Write buttons: the commands of ui/workings/programmer_commands.h run on the
// window's entries, with a progress bar between the Write and Exit buttons while words
// move. A Write waiting behind one of its boxes holds the other commands back.

#include <string>
#include <vector>

#include "device/hid_transport.h"
#include "ui/workings/message_presenter.h"
#include "ui/workings/programmer_commands.h"
#include "ui/features/rows_view.h"
#include "ui/dialogs/transmitter_chooser.h"

class QAbstractButton;
class QPushButton;
class QWidget;

namespace vostrel::ui {

class TransmitterCommands {
public:
    // `heldWhileWriting`: the buttons of the commands a waiting Write must hold back.
    // The progress bar becomes a child of `window`.
    TransmitterCommands(QWidget& window, device::HidTransport& transport, const MessageReporter& reporter,
                        RowsView& rows, const QAbstractButton& confirmWrite,
                        std::vector<QPushButton*> heldWhileWriting);

    // With several transmitters attached, both first ask which one (ui/dialogs/transmitter_chooser.h).
    void read();
    // A character the Write refused is shown selected in its box.
    void write();
    // The transmitter at `port` is offered first by the next command's choice.
    void preferTransmitter(std::string port) { chooser_.prefer(std::move(port)); }

private:
    // `command`: the caption of the button the command's choice of transmitter goes on with.
    CommandServices services(texts::TextKey command);

    device::HidTransport& transport_;
    const MessageReporter& reporter_;
    RowsView& rows_;
    const QAbstractButton& confirmWrite_;
    std::vector<QPushButton*> heldWhileWriting_;
    TransferFeedback feedback_;
    TransmitterChooser chooser_;
};

}  // namespace vostrel::ui

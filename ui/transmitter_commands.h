// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Read and Write buttons: the commands of ui/programmer_commands.h run on the
// window's entries, with a progress bar between the Write and Exit buttons while words
// move. A Write waiting behind one of its boxes holds the other commands back.

#include <vector>

#include "device/hid_transport.h"
#include "ui/message_presenter.h"
#include "ui/programmer_commands.h"
#include "ui/rows_view.h"

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

    void read();
    // A character the Write refused is shown selected in its box.
    void write();

private:
    CommandServices services();

    device::HidTransport& transport_;
    const MessageReporter& reporter_;
    RowsView& rows_;
    const QAbstractButton& confirmWrite_;
    std::vector<QPushButton*> heldWhileWriting_;
    TransferFeedback feedback_;
};

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The choice among several attached transmitters before a Read or a Write: one line
// each, its name and where it is plugged in and what it holds (its rows and contents
// fingerprint, read under its lock; "empty (erased)"; or why it could not be read),
// marked when it holds the window's rows; the one chosen last or else the first
// selected. "Name..." names the one selected (files/transmitter_names.h). The choice is
// kept until the program ends and offered again each time, so that a Write never goes
// to another transmitter unseen. With one or none attached nothing is asked and
// nothing more is read.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/device_selection.h"
#include "device/device_survey.h"
#include "device/hid_transport.h"
#include "files/transmitter_names.h"
#include "texts/text_keys.h"
#include "ui/workings/message_presenter.h"

class QListWidget;
class QWidget;

namespace vostrel::ui {

// The contents fingerprint of the window's rows as a Write would store them; nothing
// when they would not build.
using WindowFingerprint = std::function<std::optional<std::uint32_t>()>;

class TransmitterChooser {
public:
    // The dialog is a child of `window`; a refused name is reported through `reporter`.
    TransmitterChooser(QWidget& window, device::HidTransport& transport, const MessageReporter& reporter,
                       WindowFingerprint windowFingerprint);

    // The transport the command is to use: the whole bus with one or no transmitter on
    // it, else narrowed to the one the user chose; nothing when the user cancelled.
    // `command` is the caption of the button that goes on (the command's own).
    device::HidTransport* choose(texts::TextKey command);

    // Offers the transmitter at `port` first the next time (the one a restored backup
    // came from).
    void prefer(std::string port) { remembered_ = std::move(port); }

    // The line that stands for a transmitter in the choice, with its name in `names`.
    QString lineOf(const device::SurveyedDevice& surveyed, const files::TransmitterNames& names) const;

private:
    std::optional<std::size_t> ask(const std::vector<device::SurveyedDevice>& transmitters,
                                   texts::TextKey command) const;
    std::size_t preselected(const std::vector<device::SurveyedDevice>& transmitters) const;
    // Asks the name of the transmitter on the list's current line, keeps it and shows it.
    void nameSelected(QListWidget& list, const std::vector<device::SurveyedDevice>& transmitters) const;

    QWidget& window_;
    device::HidTransport& transport_;
    const MessageReporter& reporter_;
    WindowFingerprint windowFingerprint_;
    // The port (or, where the system names none, the path) of the one chosen last.
    std::string remembered_;
    std::optional<device::SelectedDevice> chosen_;
};

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The choice among several attached transmitters before a Read or a Write: one line
// each, where it is plugged in and what it holds (its rows and contents fingerprint,
// read under its lock, or why it could not be read), the one chosen last or else the
// first selected. The choice is kept until the program ends and offered again each
// time, so that a Write never goes to another transmitter unseen. With one or none
// attached nothing is asked and nothing more is read.

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "device/device_selection.h"
#include "device/device_survey.h"
#include "device/hid_transport.h"
#include "texts/text_keys.h"
#include "ui/workings/language_texts.h"

class QWidget;

namespace vostrel::ui {

class TransmitterChooser {
public:
    // The dialog is a child of `window`.
    TransmitterChooser(QWidget& window, device::HidTransport& transport, const LanguageTexts& texts);

    // The transport the command is to use: the whole bus with one or no transmitter on
    // it, else narrowed to the one the user chose; nothing when the user cancelled.
    // `command` is the caption of the button that goes on (the command's own).
    device::HidTransport* choose(texts::TextKey command);

    // The line that stands for a transmitter in the choice.
    QString lineOf(const device::SurveyedDevice& surveyed) const;

private:
    std::optional<std::size_t> ask(const std::vector<device::SurveyedDevice>& transmitters,
                                   texts::TextKey command) const;
    std::size_t preselected(const std::vector<device::SurveyedDevice>& transmitters) const;

    QWidget& window_;
    device::HidTransport& transport_;
    const LanguageTexts& texts_;
    // The port (or, where the system names none, the path) of the one chosen last.
    std::string remembered_;
    std::optional<device::SelectedDevice> chosen_;
};

}  // namespace vostrel::ui

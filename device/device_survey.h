// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Every attached transmitter and, when asked, what each holds: for `vostrel-cli
// devices` and the window's choice among several. One that cannot be read says why,
// and the others are still listed.

#include <optional>
#include <vector>

#include "device/eeprom_programmer.h"
#include "device/hid_transport.h"
#include "image/eeprom_image.h"

namespace vostrel::device {

struct SurveyedDevice {
    HidDeviceInfo device;
    // Words 0..255, read under the device's lock; unset when not read.
    std::optional<image::EepromImage> contents;
    // Why it could not be read ("USB Device busy", access denied, "USB Command fail").
    std::optional<DeviceFailure> failure;
};

enum class SurveyReads { None, Each };

// The transmitters in enumeration order (the first is the one a command takes by
// default). With SurveyReads::Each every one is opened, read whole and closed in turn.
std::vector<SurveyedDevice> surveyTransmitters(HidTransport& transport, SurveyReads reads);

}  // namespace vostrel::device

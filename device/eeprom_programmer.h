// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Whole-image Read against the transmitter: find it, move the words, close it. The
// device is always closed before it returns, on every path. A Write holds the
// transmitter from its first read to its read-back: device/transmitter_hold.h.

#include <optional>
#include <variant>

#include "device/device_discovery.h"
#include "device/hid_transport.h"
#include "device/transmitter.h"
#include "device/word_transfer.h"
#include "image/eeprom_image.h"
#include "texts/message.h"

namespace vostrel::device {

// A failure to show: "USB Device not found !", "USB Device found, but access denied",
// "USB Device busy" or "USB Command fail", all with the Error title.
struct DeviceFailure {
    texts::Message message;
};

using ReadOutcome = std::variant<image::EepromImage, DeviceFailure>;

// Finds and opens the transmitter (the transport takes the one-program lock with the
// open), or says why it cannot.
std::variant<HidLink, DeviceFailure> openTransmitter(HidTransport& transport);

// Reads words 0..255. The image is returned only when every word arrived.
ReadOutcome readEeprom(HidTransport& transport, const TransferProgress& progress = {});

}  // namespace vostrel::device

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The transport to transmitters on the USB bus, through the HID access of the system
// the program was built for.

#include <memory>

#include "device/hid_transport.h"

namespace vostrel::device {

// Throws std::runtime_error when the system's HID access cannot start.
std::unique_ptr<HidTransport> makeSystemHidTransport();

}  // namespace vostrel::device

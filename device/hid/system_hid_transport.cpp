// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/hid/system_hid_transport.h"

#if defined(_WIN32)
#include "device/hid/windows_hid_transport.h"
#else
#include "device/hid/hidapi_transport.h"
#endif

namespace vostrel::device {

std::unique_ptr<HidTransport> makeSystemHidTransport() {
#if defined(_WIN32)
    return std::make_unique<WindowsHidTransport>();
#else
    return std::make_unique<HidapiTransport>();
#endif
}

}  // namespace vostrel::device

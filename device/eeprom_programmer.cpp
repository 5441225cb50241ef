// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/eeprom_programmer.h"

#include "device/device_discovery.h"

namespace vostrel::device {

namespace {

DeviceFailure failure(texts::TextKey key) {
    return DeviceFailure{texts::Message{key, texts::Title::Error, {}}};
}

DeviceFailure failureOf(DiscoveryFailure discovery) {
    switch (discovery) {
        case DiscoveryFailure::AccessDenied: return failure(texts::keys::kDeviceAccessDenied);
        case DiscoveryFailure::Busy: return failure(texts::keys::kDeviceBusy);
        case DiscoveryFailure::NotFound: break;
    }
    return failure(texts::keys::kDeviceNotFound);
}

}  // namespace

std::variant<HidLink, DeviceFailure> openTransmitter(HidTransport& transport) {
    Discovery found = findDevice(transport, kTransmitterVendorId, kTransmitterProductId);
    if (const auto* discoveryFailure = std::get_if<DiscoveryFailure>(&found)) return failureOf(*discoveryFailure);
    return std::get<HidLink>(std::move(found));
}

// The link is a local, so its device is closed exactly once, when the Read returns,
// whatever the outcome.

ReadOutcome readEeprom(HidTransport& transport, const TransferProgress& progress) {
    std::variant<HidLink, DeviceFailure> opened = openTransmitter(transport);
    if (const auto* openFailure = std::get_if<DeviceFailure>(&opened)) return *openFailure;
    std::optional<image::EepromImage> image = readAllWords(std::get<HidLink>(opened), progress);
    if (!image) return failure(texts::keys::kCommandFail);
    return *image;
}

}  // namespace vostrel::device

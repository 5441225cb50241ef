// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/device_survey.h"

#include "device/device_discovery.h"
#include "device/transmitter.h"

namespace vostrel::device {
namespace {

void readInto(HidTransport& transport, SurveyedDevice& surveyed) {
    Discovery opened = openDevice(transport, surveyed.device);
    if (const auto* failure = std::get_if<DiscoveryFailure>(&opened)) {
        surveyed.failure = deviceFailure(*failure, transport);
        return;
    }
    // The link closes the device, and lets it go for the next program, at the end of this scope.
    HidLink link = std::get<HidLink>(std::move(opened));
    surveyed.contents = readAllWords(link);
    if (!surveyed.contents) {
        surveyed.failure = DeviceFailure{texts::Message{texts::keys::kCommandFail, texts::Title::Error, {}}};
    }
}

}  // namespace

std::vector<SurveyedDevice> surveyTransmitters(HidTransport& transport, SurveyReads reads) {
    std::vector<SurveyedDevice> surveyed;
    for (HidDeviceInfo& device : transport.enumerate(kTransmitterVendorId, kTransmitterProductId)) {
        if (device.vendorId != kTransmitterVendorId || device.productId != kTransmitterProductId) continue;
        surveyed.push_back(SurveyedDevice{std::move(device), std::nullopt, std::nullopt});
        if (reads == SurveyReads::Each) readInto(transport, surveyed.back());
    }
    return surveyed;
}

}  // namespace vostrel::device

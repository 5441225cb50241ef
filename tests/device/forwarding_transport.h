// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A transport that passes everything on to one the test keeps, so that the test can
// prepare that one, inject faults and look at its traffic afterwards. A test that
// watches or changes the reports derives a connection from ForwardingConnection and
// hands it out from wrap().

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "device/hid_transport.h"

namespace vostrel::device::testing {

// Passes every report on to the connection it wraps.
class ForwardingConnection : public HidConnection {
public:
    explicit ForwardingConnection(std::unique_ptr<HidConnection> inner) : inner_(std::move(inner)) {}
    int writeReport(std::span<const std::uint8_t> report) override { return inner_->writeReport(report); }
    int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        return inner_->readReport(buffer, timeout);
    }

protected:
    // Closes the wrapped connection now rather than with this one.
    void closeInner() { inner_.reset(); }

private:
    std::unique_ptr<HidConnection> inner_;
};

class ForwardingTransport : public HidTransport {
public:
    explicit ForwardingTransport(HidTransport& target) : target_(target) {}

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        return target_.enumerate(vendorId, productId);
    }
    OpenResult open(const HidDeviceInfo& device) override {
        OpenResult opened = target_.open(device);
        if (opened.connection) opened.connection = wrap(std::move(opened.connection));
        return opened;
    }

protected:
    // The connection the tool is given for the target's: by default that one itself.
    virtual std::unique_ptr<HidConnection> wrap(std::unique_ptr<HidConnection> connection) { return connection; }

private:
    HidTransport& target_;
};

}  // namespace vostrel::device::testing

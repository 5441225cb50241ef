// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A transmitter with one weak EEPROM cell: each word written to one address is kept
// with its low bit flipped, as a cell that does not take a word would. It passes
// everything on to a transport the test keeps, so the test still sees the traffic.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "device/hid_transport.h"
#include "device/transmitter.h"

namespace vostrel::device::testing {

class WeakCellTransport final : public HidTransport {
public:
    WeakCellTransport(HidTransport& target, unsigned address) : target_(target), address_(address) {}

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        return target_.enumerate(vendorId, productId);
    }
    OpenResult open(const HidDeviceInfo& device) override {
        OpenResult opened = target_.open(device);
        if (opened.connection) opened.connection = std::make_unique<Cell>(std::move(opened.connection), address_);
        return opened;
    }

private:
    class Cell final : public HidConnection {
    public:
        Cell(std::unique_ptr<HidConnection> inner, unsigned address) : inner_(std::move(inner)), address_(address) {}
        int writeReport(std::span<const std::uint8_t> report) override {
            std::vector<std::uint8_t> sent(report.begin(), report.end());
            const bool writesWord = sent.size() > kAddressByte &&
                                    sent[kCommandByte] == static_cast<std::uint8_t>(WordCommand::WriteWord);
            if (writesWord && sent[kAddressByte] == address_) sent[kLowByte] ^= 0x01;
            return inner_->writeReport(sent);
        }
        int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
            return inner_->readReport(buffer, timeout);
        }

    private:
        std::unique_ptr<HidConnection> inner_;
        unsigned address_;
    };

    HidTransport& target_;
    unsigned address_;
};

}  // namespace vostrel::device::testing

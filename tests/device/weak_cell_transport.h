// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A transmitter with one weak EEPROM cell: each word written to one address is kept
// with its low bit flipped, as a cell that does not take a word would. It passes
// everything on to a transport the test keeps, so the test still sees the traffic.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "device/transmitter.h"
#include "tests/device/forwarding_transport.h"

namespace vostrel::device::testing {

class WeakCellTransport final : public ForwardingTransport {
public:
    WeakCellTransport(HidTransport& target, unsigned address) : ForwardingTransport(target), address_(address) {}

private:
    class Cell final : public ForwardingConnection {
    public:
        Cell(std::unique_ptr<HidConnection> inner, unsigned address)
            : ForwardingConnection(std::move(inner)), address_(address) {}
        int writeReport(std::span<const std::uint8_t> report) override {
            std::vector<std::uint8_t> sent(report.begin(), report.end());
            const bool writesWord = sent.size() > kAddressByte &&
                                    sent[kCommandByte] == static_cast<std::uint8_t>(WordCommand::WriteWord);
            if (writesWord && sent[kAddressByte] == address_) sent[kLowByte] ^= 0x01;
            return ForwardingConnection::writeReport(sent);
        }

    private:
        unsigned address_;
    };

    std::unique_ptr<HidConnection> wrap(std::unique_ptr<HidConnection> connection) override {
        return std::make_unique<Cell>(std::move(connection), address_);
    }

    unsigned address_;
};

}  // namespace vostrel::device::testing

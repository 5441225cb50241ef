// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/word_transfer.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace vostrel::device {

namespace {

void fillWordRequest(std::span<std::uint8_t> report, WordCommand command, unsigned address,
                     std::uint16_t value) {
    std::ranges::fill(report, std::uint8_t{0});
    report[kCommandByte] = static_cast<std::uint8_t>(command);
    report[kLowByte] = static_cast<std::uint8_t>(value & 0xFFU);
    report[kHighByte] = static_cast<std::uint8_t>(value >> 8);
    report[kAddressByte] = static_cast<std::uint8_t>(address & 0xFFU);
}

// One open link's exchanges, with request and reply buffers sized from its reports.
class WordChannel {
public:
    // Nothing when the link has no device or its report lengths cannot carry the
    // protocol; nothing has been sent then.
    static std::optional<WordChannel> open(HidLink& link) {
        if (!link.connection || !reportLengthsUsable(link.inputReportLength, link.outputReportLength)) {
            return std::nullopt;
        }
        return WordChannel(*link.connection, link.inputReportLength, link.outputReportLength);
    }

    // Sends one word request and waits for its reply. The reply's word, or nothing
    // when the send failed or fell short, or the reply failed, fell short or did not
    // come in time.
    std::optional<std::uint16_t> exchange(WordCommand command, unsigned address, std::uint16_t value) {
        fillWordRequest(request_, command, address, value);
        if (!sendRequest() || !receiveReply()) return std::nullopt;
        return static_cast<std::uint16_t>(reply_[kLowByte] | (reply_[kHighByte] << 8));
    }

private:
    WordChannel(HidConnection& connection, std::size_t inputReportLength, std::size_t outputReportLength)
        : connection_(&connection), request_(outputReportLength), reply_(inputReportLength) {}

    bool sendRequest() {
        const int sent = connection_->writeReport(request_);
        return sent > 0 && static_cast<std::size_t>(sent) >= request_.size();
    }

    bool receiveReply() {
        std::ranges::fill(reply_, std::uint8_t{0});
        const int received = connection_->readReport(reply_, kReplyTimeout);
        return received > 0 && static_cast<std::size_t>(received) >= reply_.size();
    }

    HidConnection* connection_;
    std::vector<std::uint8_t> request_;
    std::vector<std::uint8_t> reply_;
};

void reportProgress(const TransferProgress& progress, unsigned done, unsigned total) {
    if (progress) progress(done, total);
}

}  // namespace

bool reportLengthsUsable(std::size_t inputReportLength, std::size_t outputReportLength) {
    return outputReportLength >= kMinOutputReportLength && inputReportLength >= kMinInputReportLength &&
           outputReportLength <= kMaxReportLength && inputReportLength <= kMaxReportLength;
}

std::optional<image::EepromImage> readAllWords(HidLink& link, const TransferProgress& progress) {
    return readWords(link, image::kImageWords, progress);
}

std::optional<image::EepromImage> readWords(HidLink& link, unsigned wordCount, const TransferProgress& progress) {
    if (wordCount > image::kImageWords) {
        throw std::invalid_argument("an EEPROM read cannot go past word 255");
    }
    std::optional<WordChannel> channel = WordChannel::open(link);
    if (!channel) return std::nullopt;
    image::EepromImage image;
    for (unsigned address = 0; address < wordCount; ++address) {
        const std::optional<std::uint16_t> word = channel->exchange(WordCommand::ReadWord, address, 0);
        if (!word) return std::nullopt;
        image.setWord(address, *word);
        reportProgress(progress, address + 1, wordCount);
    }
    return image;
}

std::vector<WordWrite> crashConsistentOrder(const image::EepromImage& image, unsigned wordCount) {
    if (wordCount > image::kImageWords) {
        throw std::invalid_argument("an EEPROM write cannot go past word 255");
    }
    std::vector<WordWrite> order;
    const auto add = [&](unsigned first, unsigned end, bool zero) {
        for (unsigned address = first; address < end; ++address) {
            order.push_back({address, zero ? std::uint16_t{0} : image.word(address)});
        }
    };
    if (wordCount <= image::kFirstTransmissionWord) {
        // No transmission changes, so the table can go straight in.
        add(0, wordCount, false);
        return order;
    }
    // Every row stays empty while its transmission changes: a Write cut off anywhere
    // leaves each row holding its old call, its new call or none, never a mixture.
    add(1, image::kFirstTransmissionWord, true);
    add(image::kFirstTransmissionWord, wordCount, false);
    add(0, image::kFirstTransmissionWord, false);
    return order;
}

bool writeWords(HidLink& link, const image::EepromImage& image, unsigned wordCount,
                const TransferProgress& progress) {
    if (wordCount > image::kImageWords) {
        throw std::invalid_argument("an EEPROM write cannot go past word 255");
    }
    std::optional<WordChannel> channel = WordChannel::open(link);
    if (!channel) return false;
    const std::vector<WordWrite> order = crashConsistentOrder(image, wordCount);
    const auto total = static_cast<unsigned>(order.size());
    for (unsigned done = 0; done < total; ++done) {
        if (!channel->exchange(WordCommand::WriteWord, order[done].address, order[done].value)) return false;
        reportProgress(progress, done + 1, total);
    }
    return true;
}

}  // namespace vostrel::device

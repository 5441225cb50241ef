// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/transmitter_hold.h"

namespace vostrel::device {

namespace {

DeviceFailure commandFail() { return DeviceFailure{texts::Message{texts::keys::kCommandFail, texts::Title::Error, {}}}; }

// One running count over the steps of a sequence: each step's own progress is moved on
// by the exchanges of the steps before it.
class SequenceProgress {
public:
    SequenceProgress(const TransferProgress& progress, unsigned total) : progress_(progress), total_(total) {}

    TransferProgress step() {
        const unsigned before = done_;
        return [this, before](unsigned done, unsigned) {
            done_ = before + done;
            if (progress_) progress_(done_, total_);
        };
    }
    void finish() {
        done_ = total_;
        if (progress_) progress_(total_, total_);
    }

private:
    const TransferProgress& progress_;
    unsigned total_;
    unsigned done_ = 0;
};

}  // namespace

std::variant<TransmitterHold, DeviceFailure> TransmitterHold::take(HidTransport& transport) {
    std::variant<HidLink, DeviceFailure> opened = openTransmitter(transport);
    if (auto* failure = std::get_if<DeviceFailure>(&opened)) return std::move(*failure);
    return TransmitterHold(std::get<HidLink>(std::move(opened)));
}

std::optional<image::EepromImage> TransmitterHold::readAllWords(const TransferProgress& progress) {
    return device::readAllWords(link_, progress);
}

bool TransmitterHold::writeWords(const image::EepromImage& image, unsigned wordCount,
                                 const TransferProgress& progress) {
    return device::writeWords(link_, image, wordCount, progress);
}

std::optional<image::EepromImage> TransmitterHold::readWords(unsigned wordCount, const TransferProgress& progress) {
    return device::readWords(link_, wordCount, progress);
}

std::optional<WordMismatch> firstDifference(const image::EepromImage& read, const image::EepromImage& written,
                                            unsigned wordCount) {
    for (unsigned address = 0; address < wordCount; ++address) {
        if (read.word(address) != written.word(address)) {
            return WordMismatch{address, read.word(address), written.word(address)};
        }
    }
    return std::nullopt;
}

WriteOutcome writeUnderOneHold(HidTransport& transport, const image::EepromImage& image, unsigned wordCount,
                               const WriteSteps& steps, const BeforeWriting& beforeWriting,
                               const TransferProgress& progress) {
    using End = WriteOutcome::End;
    // Refuses a count beyond the image before the transmitter is opened.
    const auto writeReports = static_cast<unsigned>(crashConsistentOrder(image, wordCount).size());
    WriteOutcome outcome;
    std::variant<TransmitterHold, DeviceFailure> taken = TransmitterHold::take(transport);
    if (auto* failure = std::get_if<DeviceFailure>(&taken)) {
        outcome.failure = std::move(*failure);
        return outcome;
    }
    TransmitterHold& hold = std::get<TransmitterHold>(taken);
    outcome.path = hold.path();
    outcome.location = hold.location();
    SequenceProgress sequence(progress, (steps.readFirst ? image::kImageWords : 0) + writeReports +
                                            (steps.readBack ? wordCount : 0));
    const auto failed = [&](End end) {
        outcome.end = end;
        outcome.failure = commandFail();
        return outcome;
    };

    if (steps.readFirst) {
        outcome.held = hold.readAllWords(sequence.step());
        if (!outcome.held) return failed(End::ReadFailed);
        // The read has just shown them: sending them again would change nothing.
        if (!firstDifference(*outcome.held, image, wordCount)) {
            sequence.finish();
            outcome.end = End::AlreadyThere;
            return outcome;
        }
        if (beforeWriting && beforeWriting(*outcome.held, hold) == Proceed::Cancel) {
            outcome.end = End::Cancelled;
            return outcome;
        }
    }
    if (!hold.writeWords(image, wordCount, sequence.step())) return failed(End::WriteFailed);
    if (steps.readBack) {
        const std::optional<image::EepromImage> readBack = hold.readWords(wordCount, sequence.step());
        if (!readBack) return failed(End::ReadBackFailed);
        outcome.mismatch = firstDifference(*readBack, image, wordCount);
        if (outcome.mismatch) {
            outcome.end = End::VerifyFailed;
            return outcome;
        }
    }
    outcome.end = End::Written;
    return outcome;
}

}  // namespace vostrel::device

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/hid/report_descriptor.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <vector>

namespace vostrel::device {

namespace {

constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::size_t kLongItemHeaderBytes = 3;
constexpr std::array<std::size_t, 4> kShortItemDataBytes{0, 1, 2, 4};

enum class ItemType : unsigned { Main = 0, Global = 1, Local = 2, Reserved = 3 };

namespace main_tag {
constexpr unsigned kInput = 0x8;
constexpr unsigned kOutput = 0x9;
}  // namespace main_tag

namespace global_tag {
constexpr unsigned kReportSize = 0x7;
constexpr unsigned kReportId = 0x8;
constexpr unsigned kReportCount = 0x9;
constexpr unsigned kPush = 0xA;
constexpr unsigned kPop = 0xB;
}  // namespace global_tag

// Real devices push a level or two; the Linux kernel allows four.
constexpr std::size_t kMaxPushDepth = 16;
constexpr std::size_t kReportIdCount = 256;
constexpr std::uint64_t kMaxReportBytes = 0xFFFF;
constexpr std::uint64_t kMaxReportBits = kMaxReportBytes * 8;

struct Item {
    ItemType type = ItemType::Reserved;
    unsigned tag = 0;
    std::uint32_t data = 0;
};

// Reads the item at `position` and moves past it; nothing when the item runs past
// the end. Long items carry nothing report lengths depend on and come back as an
// item of the reserved type, which is ignored like a reserved short item.
std::optional<Item> readItem(std::span<const std::uint8_t> descriptor, std::size_t& position) {
    const std::size_t remaining = descriptor.size() - position;
    const std::uint8_t prefix = descriptor[position];
    if (prefix == kLongItemPrefix) {
        if (remaining < kLongItemHeaderBytes) return std::nullopt;
        const std::size_t dataBytes = descriptor[position + 1];
        if (remaining - kLongItemHeaderBytes < dataBytes) return std::nullopt;
        position += kLongItemHeaderBytes + dataBytes;
        return Item{};
    }
    const std::size_t dataBytes = kShortItemDataBytes[prefix & 0x3U];
    if (remaining - 1 < dataBytes) return std::nullopt;
    std::uint32_t data = 0;
    for (std::size_t i = 0; i < dataBytes; ++i) {
        data |= static_cast<std::uint32_t>(descriptor[position + 1 + i]) << (8 * i);
    }
    position += 1 + dataBytes;
    return Item{static_cast<ItemType>((prefix >> 2) & 0x3U), static_cast<unsigned>(prefix >> 4), data};
}

// The part of the global item state that report lengths depend on.
struct Globals {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// Sums the bits of each report, per report ID and direction.
class ReportBits {
public:
    void add(std::uint8_t reportId, std::uint64_t bits) {
        seen_.set(reportId);
        bits_[reportId] = std::min(kMaxReportBits, bits_[reportId] + std::min(bits, kMaxReportBits));
    }

    struct Longest {
        std::uint8_t reportId = 0;
        std::uint16_t bytes = 0;  // report-ID byte included
    };

    // The longest report (the first of equals); {0, 0} when there is none.
    Longest longestReport() const {
        std::uint64_t longest = 0;
        std::size_t longestId = 0;
        for (std::size_t id = 0; id < kReportIdCount; ++id) {
            const std::uint64_t bytes = (bits_[id] + 7) / 8 + 1;
            if (seen_.test(id) && bytes > longest) {
                longest = bytes;
                longestId = id;
            }
        }
        return Longest{static_cast<std::uint8_t>(longestId),
                       static_cast<std::uint16_t>(std::min(longest, kMaxReportBytes))};
    }

private:
    std::array<std::uint64_t, kReportIdCount> bits_{};
    std::bitset<kReportIdCount> seen_;
};

class LayoutBuilder {
public:
    // False when the item makes the descriptor malformed.
    bool apply(const Item& item) {
        if (item.type == ItemType::Global) return applyGlobal(item.tag, item.data);
        if (item.type == ItemType::Main) applyMain(item.tag);
        return true;
    }

    ReportLayout layout() const {
        const ReportBits::Longest output = output_.longestReport();
        return ReportLayout{input_.longestReport().bytes, output.bytes, numbered_, output.reportId};
    }

private:
    bool applyGlobal(unsigned tag, std::uint32_t data) {
        switch (tag) {
            case global_tag::kReportSize: current_.reportSize = data; return true;
            case global_tag::kReportCount: current_.reportCount = data; return true;
            case global_tag::kReportId: return setReportId(data);
            case global_tag::kPush: return push();
            case global_tag::kPop: return pop();
            default: return true;
        }
    }

    void applyMain(unsigned tag) {
        const std::uint64_t bits = std::uint64_t{current_.reportSize} * current_.reportCount;
        if (tag == main_tag::kInput) input_.add(current_.reportId, bits);
        if (tag == main_tag::kOutput) output_.add(current_.reportId, bits);
    }

    bool setReportId(std::uint32_t id) {
        if (id == 0 || id >= kReportIdCount) return false;
        current_.reportId = static_cast<std::uint8_t>(id);
        numbered_ = true;
        return true;
    }

    bool push() {
        if (stack_.size() >= kMaxPushDepth) return false;
        stack_.push_back(current_);
        return true;
    }

    bool pop() {
        if (stack_.empty()) return false;
        current_ = stack_.back();
        stack_.pop_back();
        return true;
    }

    Globals current_;
    std::vector<Globals> stack_;
    ReportBits input_;
    ReportBits output_;
    bool numbered_ = false;
};

}  // namespace

std::optional<ReportLayout> parseReportLayout(std::span<const std::uint8_t> descriptor) {
    LayoutBuilder builder;
    std::size_t position = 0;
    while (position < descriptor.size()) {
        const std::optional<Item> item = readItem(descriptor, position);
        if (!item || !builder.apply(*item)) return std::nullopt;
    }
    return builder.layout();
}

}  // namespace vostrel::device

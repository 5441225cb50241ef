// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/capacity.h"

#include <algorithm>
#include <numeric>

#include "paging/transmission.h"
#include "texts/text_codec.h"

namespace vostrel::image {
namespace {

using keys = texts::keys;

texts::Message warning(texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
    return {key, texts::Title::Warn, std::move(arguments)};
}

int words(std::size_t codewords) { return static_cast<int>(kWordsPerCodeword * codewords); }
int number(unsigned row) { return static_cast<int>(row) + 1; }

std::uint32_t capcodeOf(const PagerItem& item) { return static_cast<std::uint32_t>(leadingInteger(item.capcode)); }

std::optional<RowCost> costOf(const PagerItem& item, const std::variant<PagerCodes, BuildRefusal>& sent) {
    const auto* codes = std::get_if<PagerCodes>(&sent);
    if (codes == nullptr) return std::nullopt;
    return rowCost(capcodeOf(item) % kFrames, paging::messageGroupCount(item.type, codes->codes.size()));
}

// How many of the transmissions fit one behind the other, in the order given.
unsigned fittingCount(const std::vector<std::size_t>& codewords) {
    unsigned count = 0;
    std::size_t used = 0;
    for (const std::size_t cost : codewords) {
        if (used + cost > kAreaCodewords) break;
        used += cost;
        ++count;
    }
    return count;
}

// The rows whose cost is known, the shortest first (the earlier row of equals).
std::vector<CapacityRow> shortestFirst(const SiteCapacity& capacity) {
    std::vector<CapacityRow> known;
    std::ranges::copy_if(capacity.rows, std::back_inserter(known), [](const CapacityRow& row) { return row.cost.has_value(); });
    std::ranges::stable_sort(known, {}, [](const CapacityRow& row) { return row.cost->codewords; });
    return known;
}

// The text of `message` without its last `characters` characters.
std::string withoutLast(const std::string& message, std::size_t characters) {
    const std::optional<std::u32string> decoded = texts::decodeUtf8(message);
    if (!decoded || characters > decoded->size()) return {};
    return texts::encodeUtf8(std::u32string_view(*decoded).substr(0, decoded->size() - characters));
}

// The fewest characters to leave out of the row's message for its transmission to take
// at most `room` codewords, keeping some of it; a tone-only call is advice of its own.
std::optional<std::size_t> charactersToCut(const ProgrammerEntries& entries, unsigned row, std::size_t room) {
    ProgrammerEntries shortened = entries;
    PagerItem& item = shortened.rows[row];
    const std::string message = item.message;
    const std::size_t length = texts::codePointCount(message);
    for (std::size_t cut = 1; cut < length; ++cut) {
        item.message = withoutLast(message, cut);
        const std::optional<RowCost> cost = costOf(item, sentCodes(shortened, row));
        if (cost && cost->codewords <= room) return cut;
    }
    return std::nullopt;
}

// What alone makes the first row left out fit behind the rows stored before it.
std::vector<Advice> firstRowAdvice(const SiteCapacity& capacity, const ProgrammerEntries& entries) {
    const unsigned row = *capacity.firstLeftOut();
    const RowCost cost = *capacity.find(row)->cost;
    const std::size_t room = kAreaCodewords - capacity.storedCodewords;
    std::vector<Advice> advice;
    if (const auto cut = charactersToCut(entries, row, room)) advice.emplace_back(ShorterMessage{row, *cut});
    if (cost.messageCodewords > 0 && rowCost(cost.frame, 0).codewords <= room) advice.emplace_back(ToneOnlyCall{row});
    for (unsigned frame = cost.frame; frame-- > 0;) {
        if (rowCost(frame, cost.messageCodewords).codewords <= room) {
            advice.emplace_back(EarlierFrame{row, frame});
            break;
        }
    }
    return advice;
}

std::vector<unsigned> rowsOf(const std::vector<CapacityRow>& rows) {
    std::vector<unsigned> numbers;
    for (const CapacityRow& row : rows) numbers.push_back(row.row);
    return numbers;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

}  // namespace

std::optional<unsigned> adviceRow(const Advice& advice) {
    if (const auto* shorter = std::get_if<ShorterMessage>(&advice)) return shorter->row;
    if (const auto* toneOnly = std::get_if<ToneOnlyCall>(&advice)) return toneOnly->row;
    if (const auto* frame = std::get_if<EarlierFrame>(&advice)) return frame->row;
    return std::nullopt;
}

RowCost rowCost(unsigned frame, std::size_t messageCodewords) {
    return {frame, messageCodewords, paging::transmissionLength(frame, messageCodewords)};
}

bool SiteCapacity::allStored() const {
    return std::ranges::all_of(rows, &CapacityRow::stored);
}

std::vector<unsigned> SiteCapacity::leftOut() const {
    std::vector<unsigned> left;
    for (const CapacityRow& row : rows) {
        if (!row.stored) left.push_back(row.row);
    }
    return left;
}

std::optional<unsigned> SiteCapacity::firstLeftOut() const {
    const auto first = std::ranges::find(rows, false, &CapacityRow::stored);
    return first == rows.end() ? std::nullopt : std::optional(first->row);
}

std::size_t SiteCapacity::neededCodewords() const {
    return std::accumulate(rows.begin(), rows.end(), std::size_t{0}, [](std::size_t sum, const CapacityRow& row) {
        return sum + (row.cost ? row.cost->codewords : 0);
    });
}

std::size_t SiteCapacity::toneOnlyCodewords() const {
    return std::accumulate(rows.begin(), rows.end(), std::size_t{0}, [](std::size_t sum, const CapacityRow& row) {
        return sum + (row.cost ? rowCost(row.cost->frame, 0).codewords : 0);
    });
}

unsigned SiteCapacity::mostRowsEver() const {
    std::vector<std::size_t> toneOnly;
    for (const CapacityRow& row : rows) {
        if (row.cost) toneOnly.push_back(rowCost(row.cost->frame, 0).codewords);
    }
    std::ranges::sort(toneOnly);
    return fittingCount(toneOnly);
}

const CapacityRow* SiteCapacity::find(unsigned row) const {
    const auto found = std::ranges::find(rows, row, &CapacityRow::row);
    return found == rows.end() ? nullptr : &*found;
}

SiteCapacity siteCapacity(const ProgrammerEntries& entries, const RowLayout& layout) {
    SiteCapacity capacity;
    for (unsigned row = 0; row < kRowCount; ++row) {
        const PagerItem& item = entries.rows[row];
        if (!callsAPager(item) || layout.refusals[row]) continue;
        const bool stored = layout.codewords[row] != 0;
        // A stored row's codes are the layout's; one left out is costed as if reached.
        const std::optional<RowCost> cost =
            stored ? costOf(item, layout.sent[row]) : costOf(item, sentCodes(entries, row));
        capacity.rows.push_back({row, cost, stored});
        if (stored) capacity.storedCodewords += layout.codewords[row];
    }
    return capacity;
}

std::vector<Advice> capacityAdvice(const SiteCapacity& capacity, const ProgrammerEntries& entries) {
    if (capacity.allStored()) return {};
    std::vector<Advice> advice = firstRowAdvice(capacity, entries);
    const auto inUse = static_cast<unsigned>(capacity.rows.size());
    std::vector<CapacityRow> sorted = shortestFirst(capacity);
    std::vector<std::size_t> costs;
    for (const CapacityRow& row : sorted) costs.push_back(row.cost->codewords);
    const unsigned bestOrder = fittingCount(costs);
    const auto storedNow = static_cast<unsigned>(std::ranges::count(capacity.rows, true, &CapacityRow::stored));
    if (bestOrder > storedNow) {
        sorted.resize(bestOrder);
        advice.emplace_back(OtherOrder{rowsOf(sorted), inUse});
    }
    if (const unsigned most = capacity.mostRowsEver(); most < inUse) advice.emplace_back(NeverAll{most, inUse});
    if (auto plan = transmitterPlan(capacity); plan && plan->size() > 1) advice.emplace_back(Transmitters{std::move(*plan)});
    return advice;
}

std::optional<std::vector<std::vector<unsigned>>> transmitterPlan(const SiteCapacity& capacity) {
    std::vector<std::vector<unsigned>> plan;
    std::size_t used = kAreaCodewords;  // so that the first row begins a transmitter
    for (const CapacityRow& row : capacity.rows) {
        if (!row.cost) return std::nullopt;
        if (used + row.cost->codewords > kAreaCodewords) {
            plan.emplace_back();
            used = 0;
        }
        plan.back().push_back(row.row);
        used += row.cost->codewords;
    }
    return plan;
}

std::vector<ProgrammerEntries> splitEntries(const ProgrammerEntries& entries,
                                            const std::vector<std::vector<unsigned>>& plan) {
    std::vector<ProgrammerEntries> split(std::max<std::size_t>(plan.size(), 1), entries);
    for (unsigned row = 0; row < kRowCount; ++row) {
        const auto on = std::ranges::find_if(plan, [row](const auto& rows) { return std::ranges::count(rows, row) > 0; });
        // A row the plan does not name (one not in use) stays with the first.
        const std::size_t transmitter = on == plan.end() ? 0 : static_cast<std::size_t>(on - plan.begin());
        for (std::size_t other = 0; other < split.size(); ++other) {
            if (other == transmitter) continue;
            split[other].rows[row] = PagerItem{};
            split[other].labels[row].clear();
            split[other].text.rowAlphabets[row].reset();
        }
    }
    return split;
}

std::string rowList(std::span<const unsigned> rows) {
    std::vector<std::string> parts;
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1) ++last;
        std::string part = std::to_string(number(rows[first]));
        if (last > first) part += '-' + std::to_string(number(rows[last]));
        parts.push_back(std::move(part));
        first = last + 1;
    }
    return joined(parts);
}

std::string rowSequence(std::span<const unsigned> rows) {
    std::vector<std::string> parts;
    for (const unsigned row : rows) parts.push_back(std::to_string(number(row)));
    return joined(parts);
}

std::vector<texts::Message> adviceMessages(const Advice& advice) {
    if (const auto* shorter = std::get_if<ShorterMessage>(&advice)) {
        return {warning(keys::kFitsWithFewerCharacters, {number(shorter->row), static_cast<int>(shorter->characters)})};
    }
    if (const auto* toneOnly = std::get_if<ToneOnlyCall>(&advice)) {
        return {warning(keys::kFitsAsToneOnlyCall, {number(toneOnly->row)})};
    }
    if (const auto* frame = std::get_if<EarlierFrame>(&advice)) {
        if (frame->frame == 0) return {warning(keys::kFitsInFrameZero, {number(frame->row)})};
        return {warning(keys::kFitsInEarlierFrame, {number(frame->row), static_cast<int>(frame->frame)})};
    }
    if (const auto* order = std::get_if<OtherOrder>(&advice)) {
        return {warning(keys::kOtherOrderStores, {static_cast<int>(order->rows.size()), static_cast<int>(order->of),
                                                  texts::Text{rowSequence(order->rows)}})};
    }
    if (const auto* never = std::get_if<NeverAll>(&advice)) {
        return {warning(keys::kNeverAllFit, {static_cast<int>(never->of), static_cast<int>(never->most)})};
    }
    const auto& transmitters = std::get<Transmitters>(advice);
    std::size_t rows = 0;
    for (const auto& on : transmitters.rows) rows += on.size();
    std::vector<texts::Message> messages{
        warning(keys::kNeedsTransmitters, {static_cast<int>(rows), static_cast<int>(transmitters.rows.size())})};
    for (std::size_t i = 0; i < transmitters.rows.size(); ++i) {
        const auto& on = transmitters.rows[i];
        messages.push_back(warning(on.size() == 1 ? keys::kTransmitterRow : keys::kTransmitterRows,
                                   {static_cast<int>(i) + 1, texts::Text{rowList(on)}}));
    }
    return messages;
}

std::vector<texts::Message> leftOutRowMessages(const SiteCapacity& capacity, const std::vector<Advice>& advice,
                                               unsigned row) {
    const CapacityRow* left = capacity.find(row);
    const std::optional<unsigned> first = capacity.firstLeftOut();
    if (left == nullptr || left->stored || !first) return {};
    std::vector<texts::Message> messages;
    if (row == *first) {
        messages.push_back(warning(keys::kRowTakesMoreThanLeft,
                                   {words(left->cost->codewords), words(kAreaCodewords - capacity.storedCodewords)}));
    } else {
        messages.push_back(warning(keys::kRowAfterOneThatDoesNotFit, {number(*first)}));
    }
    if (const auto& cost = left->cost) {
        messages.push_back(warning(keys::kRowWords, {words(cost->codewords), words(cost->idleFill()),
                                                     static_cast<int>(cost->frame), words(cost->messageCodewords),
                                                     words(cost->framing())}));
    }
    for (const Advice& each : advice) {
        if (adviceRow(each) != row) continue;
        const auto worded = adviceMessages(each);
        messages.insert(messages.end(), worded.begin(), worded.end());
    }
    return messages;
}

std::vector<texts::Message> leftOutRowNames(const SiteCapacity& capacity, const ProgrammerEntries& entries) {
    std::vector<texts::Message> names;
    for (const unsigned row : capacity.leftOut()) {
        const PagerItem& item = entries.rows[row];
        const texts::Text capcode{item.capcode + ' ' + static_cast<char>('A' + item.tone % kToneCount)};
        const std::string& label = entries.labels[row];
        if (label.empty()) {
            names.push_back(warning(keys::kLeftOutRow, {number(row), capcode}));
        } else {
            names.push_back(warning(keys::kLeftOutRowLabelled, {number(row), texts::Text{label}, capcode}));
        }
    }
    return names;
}

texts::Message settingsDoNotChangeFit() { return warning(keys::kSettingsDoNotChangeFit, {}); }

}  // namespace vostrel::image

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "image/image_builder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <optional>

#include "image/slot_table.h"
#include "image/transmitter_settings.h"
#include "paging/codeword.h"
#include "paging/transmission.h"
#include "texts/text_codec.h"

namespace vostrel::image {
namespace {

texts::Message refusal(texts::TextKey key, std::vector<texts::MessageArgument> arguments = {}) {
    return {key, texts::Title::Error, std::move(arguments)};
}

// One note for each character of the row (0-based) that is sent replaced, however often
// the message holds it.
void noteReplacements(BuiltImage& built, unsigned row, const std::vector<Replacement>& replacements) {
    std::vector<char32_t> noted;
    for (const Replacement& replaced : replacements) {
        if (std::find(noted.begin(), noted.end(), replaced.character) != noted.end()) continue;
        noted.push_back(replaced.character);
        built.replacements.push_back({texts::keys::kSentAsReplacement,
                                      texts::Title::Warn,
                                      {texts::Character{replaced.character}, static_cast<int>(row) + 1,
                                       texts::Text{std::string(replaced.replacement)}}});
    }
}

}  // namespace

std::optional<texts::Message> settingsRefusal(const ProgrammerEntries& entries) {
    const long long preamble = leadingInteger(entries.preambleText);
    if (preamble < kMinPreambleBits || preamble > kMaxPreambleBits) {
        return refusal(texts::keys::kPreambleOutOfRange);
    }
    // After reading an image whose data-rate index names no rate, the selector has no
    // selection; writing it would store ones in the header's top bits.
    if (entries.dataRateIndex < 0 || entries.dataRateIndex >= static_cast<int>(kDataRates.size())) {
        return refusal(texts::keys::kDataRateNotSelected);
    }
    return std::nullopt;
}

TransmitterSettings settingsOf(const ProgrammerEntries& entries) {
    return {static_cast<unsigned>(entries.dataRateIndex),
            static_cast<unsigned>(leadingInteger(entries.preambleText)),
            static_cast<unsigned>(entries.repeatIndex) % kRepeatChoices};
}

namespace {

// A capcode outside the 21-bit range would page another pager once cut to 21 bits,
// and one whose address codeword equals sync or idle can never be received.
bool isReceivableCapcode(long long capcode, unsigned tone) {
    if (capcode < 1 || capcode > kMaxCapcode) return false;
    const paging::Codeword address = paging::addressCodeword(static_cast<std::uint32_t>(capcode), tone);
    return address != paging::kSyncCodeword && address != paging::kIdleCodeword;
}

// The pager alphabets that show `character`, by name ("DE", "FR, IT"); empty when none.
std::string alphabetsWith(char32_t character) {
    std::string names;
    for (const paging::AlphabetTable& table : paging::kAlphabets) {
        if (!paging::codeOf(table.alphabet, character)) continue;
        names.append(names.empty() ? "" : ", ").append(table.name);
    }
    return names;
}

// What replacing special characters would send for `character`, if it has a replacement.
std::optional<std::string> replacementOf(char32_t character, paging::Alphabet alphabet) {
    const auto codes = pagerCodes(texts::encodeUtf8(character), paging::PagerType::Alphanumeric, alphabet, true);
    const auto* sent = std::get_if<PagerCodes>(&codes);
    if (sent == nullptr || sent->replacements.empty()) return std::nullopt;
    return std::string(sent->replacements.front().replacement);
}

// The refusal for a character the pager cannot show, named as typed. On an
// alphanumeric row it points the way where there is one: the pager alphabets that have
// the character, else the replacement that would be sent with special characters
// replaced.
BuildRefusal unsendableRefusal(const UnsendableCharacter& refused, const PagerItem& item, const PagerTextSettings& text,
                               unsigned row) {
    const paging::Alphabet alphabet = text.alphabetOf(row);
    const int rowNumber = static_cast<int>(row) + 1;
    const CharacterPosition at{row, refused.index};
    const texts::Character character{refused.character};
    if (refused.shownAs) {
        return {refusal(texts::keys::kShownAsNationalLetter,
                        {character, rowNumber, texts::Character{*refused.shownAs},
                         texts::Text{std::string(paging::alphabetTable(alphabet).name)}}),
                at};
    }
    if (item.type == paging::PagerType::Alphanumeric) {
        if (const std::string others = alphabetsWith(refused.character); !others.empty()) {
            return {refusal(texts::keys::kInvalidCodeInAlphabets, {character, rowNumber, texts::Text{others}}), at};
        }
        if (const auto replacement = replacementOf(refused.character, alphabet); replacement && !text.transliterate) {
            return {refusal(texts::keys::kInvalidCodeReplaceable, {character, rowNumber, texts::Text{*replacement}}),
                    at};
        }
    }
    return {refusal(texts::keys::kInvalidCode, {character, rowNumber}), at};
}

// The row's codes, or why Write refuses the row.
std::variant<PagerCodes, BuildRefusal> checkRow(const PagerItem& item, const PagerTextSettings& text,
                                                long long capcode, unsigned row) {
    if (!isReceivableCapcode(capcode, item.tone)) {
        return BuildRefusal{refusal(texts::keys::kCapCodeOutOfRange, {static_cast<int>(row) + 1}), std::nullopt};
    }
    const paging::Alphabet alphabet = text.alphabetOf(row);
    auto codes = pagerCodes(item.message, item.type, alphabet, text.transliterate);
    if (const auto* refused = std::get_if<UnsendableCharacter>(&codes)) return unsendableRefusal(*refused, item, text, row);
    PagerCodes& sent = std::get<PagerCodes>(codes);
    // Replacements can make more codes than a Read gives back: a Write of what it
    // shows would then store a shorter call.
    if (sent.beyondReadBack) {
        return BuildRefusal{
            refusal(texts::keys::kSentTooLong, {static_cast<int>(row) + 1, static_cast<int>(sent.codes.size())}),
            CharacterPosition{row, *sent.beyondReadBack}};
    }
    return std::move(sent);
}

void placeTransmission(BuiltImage& built, unsigned row, std::span<const paging::Codeword> transmission) {
    for (std::size_t i = 0; i < transmission.size(); ++i) {
        built.image.storeCodeword(built.usedWords + 2 * static_cast<unsigned>(i), transmission[i]);
    }
    const std::size_t length = transmission.size();
    const auto start = static_cast<std::uint8_t>(built.usedWords);
    built.usedWords += 2 * static_cast<unsigned>(length);
    storeSlot(built.image, row, {start, static_cast<std::uint8_t>(built.usedWords)});
}

}  // namespace

std::optional<texts::Message> BuiltImage::warning() const {
    if (!fullAtRow) return std::nullopt;
    return texts::Message{texts::keys::kOutOfEepromSize, texts::Title::Warn, {*fullAtRow}};
}

namespace {

struct RowlessForm {
    texts::TextKey rowKey;
    texts::TextKey key;
};
constexpr std::array kRowlessForms = {
    RowlessForm{texts::keys::kInvalidCode, texts::keys::kInvalidCodeInMessage},
    RowlessForm{texts::keys::kInvalidCodeInAlphabets, texts::keys::kInvalidCodeInAlphabetsInMessage},
    RowlessForm{texts::keys::kInvalidCodeReplaceable, texts::keys::kInvalidCodeReplaceableInMessage},
    RowlessForm{texts::keys::kShownAsNationalLetter, texts::keys::kShownAsNationalLetterInMessage},
    RowlessForm{texts::keys::kSentAsReplacement, texts::keys::kSentAsReplacementInMessage},
    RowlessForm{texts::keys::kSentTooLong, texts::keys::kMessageSentTooLong},
    RowlessForm{texts::keys::kCapCodeOutOfRange, texts::keys::kCapCodeOutOfRangeInMessage},
};

}  // namespace

texts::Message withoutRow(texts::Message message) {
    const auto form = std::ranges::find(kRowlessForms, message.key, &RowlessForm::rowKey);
    if (form == kRowlessForms.end()) return message;
    message.key = form->key;
    // The row is the first number among the arguments.
    const auto row = std::ranges::find_if(message.arguments, [](const texts::MessageArgument& argument) {
        return std::holds_alternative<int>(argument);
    });
    if (row != message.arguments.end()) message.arguments.erase(row);
    return message;
}

long long leadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        value = value > (LLONG_MAX - digit) / 10 ? LLONG_MAX : value * 10 + digit;
    }
    return negative ? -value : value;
}

bool callsAPager(const PagerItem& item) { return leadingInteger(item.capcode) != 0; }

RowLayout layOutRows(const ProgrammerEntries& entries) {
    RowLayout layout;
    for (unsigned row = 0; row < kRowCount; ++row) {
        const PagerItem& item = entries.rows[row];
        // Write looks at no row after the one that did not fit, so nothing there is refused.
        if (!callsAPager(item) || layout.fullAtRow) continue;
        auto checked = sentCodes(entries, row);
        if (auto* refused = std::get_if<BuildRefusal>(&checked)) {
            layout.refusals[row] = std::move(*refused);
            continue;
        }
        layout.sent[row] = std::move(std::get<PagerCodes>(checked));
        const auto capcode = static_cast<std::uint32_t>(leadingInteger(item.capcode));
        const std::size_t length = paging::transmissionLength(item.type, layout.sent[row].codes, capcode);
        if (layout.usedWords + 2 * length > kMaxEndWord) {
            layout.fullAtRow = static_cast<int>(row);
            continue;
        }
        layout.codewords[row] = length;
        layout.usedWords += 2 * static_cast<unsigned>(length);
    }
    return layout;
}

std::variant<PagerCodes, BuildRefusal> sentCodes(const ProgrammerEntries& entries, unsigned row) {
    const PagerItem& item = entries.rows[row];
    return checkRow(item, entries.text, leadingInteger(item.capcode), row);
}

BuildOutcome buildImage(const ProgrammerEntries& entries) {
    if (auto refused = settingsRefusal(entries)) return BuildRefusal{std::move(*refused), std::nullopt};

    RowLayout layout = layOutRows(entries);
    // Rows from the one that did not fit onward are not looked at.
    const unsigned checkedRows = layout.fullAtRow ? static_cast<unsigned>(*layout.fullAtRow) : kRowCount;
    for (unsigned row = 0; row < checkedRows; ++row) {
        if (layout.refusals[row]) return std::move(*layout.refusals[row]);
    }
    BuiltImage built;
    built.fullAtRow = layout.fullAtRow;
    storeHeader(built.image, settingsOf(entries));
    std::array<paging::Codeword, kMaxSlotCodewords> transmission{};
    for (unsigned row = 0; row < kRowCount; ++row) {
        const std::size_t length = encodeRow(entries, layout, row, transmission);
        if (length == 0) continue;
        placeTransmission(built, row, std::span(transmission).first(length));
        noteReplacements(built, row, layout.sent[row].replacements);
    }
    return built;
}

std::size_t encodeRow(const ProgrammerEntries& entries, const RowLayout& layout, unsigned row,
                      std::span<paging::Codeword, kMaxSlotCodewords> out) {
    const std::size_t length = layout.codewords[row];
    if (length == 0) return 0;
    const PagerItem& item = entries.rows[row];
    // A placed row's capcode passed the range check.
    const auto capcode = static_cast<std::uint32_t>(leadingInteger(item.capcode));
    return paging::encodeTransmission(item.type, layout.sent[row].codes, capcode, item.tone, out.first(length));
}


}  // namespace vostrel::image

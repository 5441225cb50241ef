// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "config/config_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>

#include "config/row_fields.h"
#include "image/image_reader.h"
#include "image/pager_text.h"
#include "paging/alphabets.h"
#include "texts/text_codec.h"

namespace vostrel::config {
namespace {

using image::ProgrammerEntries;
using Error = std::optional<texts::Message>;
using texts::keys;

constexpr char kQuote = '"';
constexpr char kEscape = '\\';

// ---- lexing ---------------------------------------------------------------------

bool isCommentStart(char c) { return c == '#' || c == ';'; }

bool isBlankOrComment(std::string_view rest) {
    rest = trimLeft(rest);
    return rest.empty() || isCommentStart(rest.front());
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Controls and the C1 range are written as \xNN, so that the file holds no invisible
// character that an editor could drop or a terminal obey.
bool needsEscape(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// "US, DE, ..." with `separator` between the names.
std::string alphabetNames(std::string_view separator) {
    std::string names;
    for (const paging::AlphabetTable& table : paging::kAlphabets) {
        if (!names.empty()) names += separator;
        names += table.name;
    }
    return names;
}

struct Value {
    std::string text;  // UTF-8
    bool quoted = false;
};

std::optional<int> hexDigit(char c) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    const std::size_t digit = kDigits.find(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (digit == std::string_view::npos) return std::nullopt;
    return static_cast<int>(digit);
}

// The escape after a backslash at body[i]; advances i past it. \xNN stands for the
// character U+00NN, as files that held Latin-1 texts wrote it.
std::variant<char32_t, texts::Message> escapedCharacter(std::string_view body, std::size_t& i) {
    if (i >= body.size()) return readProblem(keys::kMissingClosingQuote);
    const char kind = body[i++];
    if (kind == kQuote || kind == kEscape) return static_cast<char32_t>(kind);
    if (kind == 'x' && i + 2 <= body.size()) {
        const auto high = hexDigit(body[i]);
        const auto low = hexDigit(body[i + 1]);
        if (high && low) {
            i += 2;
            return static_cast<char32_t>(*high * 16 + *low);
        }
    }
    if (kind == 'x') return readProblem(keys::kHexEscape);
    return readProblem(keys::kUnknownEscape);
}

// A quoted value; `text` starts just after the opening quote.
std::variant<Value, texts::Message> quotedValue(std::string_view text) {
    Value value{{}, true};
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == kQuote) {
            if (!isBlankOrComment(text.substr(i + 1))) return readProblem(keys::kTextAfterClosingQuote);
            return value;
        }
        if (text[i] == kEscape) {
            ++i;
            auto escaped = escapedCharacter(text, i);
            if (auto* error = std::get_if<texts::Message>(&escaped)) return std::move(*error);
            texts::appendUtf8(value.text, std::get<char32_t>(escaped));
            continue;
        }
        value.text += text[i++];
    }
    return readProblem(keys::kMissingClosingQuote);
}

std::variant<Value, texts::Message> bareValue(std::string_view text) {
    const std::string_view raw = trim(text.substr(0, text.find_first_of("#;")));
    if (raw.find(kQuote) != std::string_view::npos) return readProblem(keys::kStrayQuote);
    return Value{std::string(raw), false};
}

std::variant<Value, texts::Message> lexValue(std::string_view afterEquals) {
    const std::string_view text = trimLeft(afterEquals);
    auto value = !text.empty() && text.front() == kQuote ? quotedValue(text.substr(1)) : bareValue(text);
    if (const auto* lexed = std::get_if<Value>(&value); lexed && lexed->text.find('\0') != std::string::npos) {
        return readProblem(keys::kNulInValue);
    }
    return value;
}

// ---- values ---------------------------------------------------------------------

Error checkLength(std::string_view key, const Value& value, std::size_t limit) {
    if (image::composedLength(value.text) <= limit) return std::nullopt;
    return readProblem(keys::kLongerThan, {fileText(key), static_cast<int>(limit)});
}

Error applyDataRate(const Value& value, ProgrammerEntries& entries, unsigned) {
    if (equalsIgnoringCase(value.text, "none")) {
        entries.dataRateIndex = -1;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < image::kDataRates.size(); ++i) {
        if (value.text == std::to_string(image::kDataRates[i])) {
            entries.dataRateIndex = static_cast<int>(i);
            return std::nullopt;
        }
    }
    return readProblem(keys::kDataRateChoices, {fileText(value.text)});
}

Error applyPreamble(const Value& value, ProgrammerEntries& entries, unsigned) {
    if (auto error = checkLength("Preamble", value, kMaxPreambleCharacters)) return error;
    entries.preambleText = value.text;
    return std::nullopt;
}

Error applyRepeat(const Value& value, ProgrammerEntries& entries, unsigned) {
    if (value.text.size() != 1 || value.text[0] < '1' || value.text[0] > '0' + static_cast<int>(image::kRepeatChoices)) {
        return readProblem(keys::kRepeatChoices, {fileText(value.text)});
    }
    entries.repeatIndex = value.text[0] - '1';
    return std::nullopt;
}

// Kept as written (blanks dropped) until its section closes, where a sub-address
// letter settles the row's tone together with the Tone and Type keys.
Error applyCapcode(const Value& value, ProgrammerEntries& entries, unsigned row) {
    auto notation = parseCapcodeNotation(value.text);
    if (auto* error = std::get_if<texts::Message>(&notation)) return std::move(*error);
    entries.rows[row].capcode = trim(value.text);
    return std::nullopt;
}

Error applyTone(const Value& value, ProgrammerEntries& entries, unsigned row) {
    const auto tone = parseTone(value.text);
    if (!tone) return readProblem(keys::kToneChoices, {fileText(value.text)});
    entries.rows[row].tone = *tone;
    return std::nullopt;
}

Error applyType(const Value& value, ProgrammerEntries& entries, unsigned row) {
    auto& type = entries.rows[row].type;
    if (equalsIgnoringCase(value.text, "Numeric")) {
        type = paging::PagerType::Numeric;
    } else if (equalsIgnoringCase(value.text, "Alphanumeric") || equalsIgnoringCase(value.text, "Alphnumeric")) {
        type = paging::PagerType::Alphanumeric;
    } else {
        return readProblem(keys::kTypeChoices, {fileText(value.text)});
    }
    return std::nullopt;
}

Error applyLabel(const Value& value, ProgrammerEntries& entries, unsigned row) {
    if (!value.quoted) return readProblem(keys::kNotQuoted, {fileText("Label")});
    if (auto problem = labelProblem(value.text)) return problem;
    entries.labels[row] = value.text;
    return std::nullopt;
}

Error applyMessage(const Value& value, ProgrammerEntries& entries, unsigned row) {
    if (!value.quoted) return readProblem(keys::kNotQuoted, {fileText("Message")});
    if (auto error = checkLength("Message", value, kMaxMessageCharacters)) return error;
    entries.rows[row].message = value.text;
    return std::nullopt;
}

std::variant<paging::Alphabet, texts::Message> alphabetValue(const Value& value) {
    if (const auto alphabet = paging::alphabetNamed(value.text)) return *alphabet;
    return readProblem(keys::kAlphabetChoices, {fileText(alphabetNames(", ")), fileText(value.text)});
}

Error applyAlphabet(const Value& value, ProgrammerEntries& entries, unsigned) {
    auto alphabet = alphabetValue(value);
    if (auto* error = std::get_if<texts::Message>(&alphabet)) return std::move(*error);
    entries.text.alphabet = std::get<paging::Alphabet>(alphabet);
    return std::nullopt;
}

Error applyRowAlphabet(const Value& value, ProgrammerEntries& entries, unsigned row) {
    auto alphabet = alphabetValue(value);
    if (auto* error = std::get_if<texts::Message>(&alphabet)) return std::move(*error);
    entries.text.rowAlphabets[row] = std::get<paging::Alphabet>(alphabet);
    return std::nullopt;
}

Error applyTransliterate(const Value& value, ProgrammerEntries& entries, unsigned) {
    if (equalsIgnoringCase(value.text, "yes")) {
        entries.text.transliterate = true;
    } else if (equalsIgnoringCase(value.text, "no")) {
        entries.text.transliterate = false;
    } else {
        return readProblem(keys::kTransliterateChoices, {fileText(value.text)});
    }
    return std::nullopt;
}

Error applySite(const Value& value, ProgrammerEntries& entries, unsigned) {
    if (auto error = siteNameProblem(value.text)) return error;
    entries.site = value.text;
    return std::nullopt;
}

// ---- sections and keys -------------------------------------------------------------

enum class SectionKind { Settings, Item };

struct Section {
    SectionKind kind = SectionKind::Settings;
    unsigned row = 0;  // 0-based, for items
};

struct KeyRule {
    SectionKind section;
    std::string_view name;
    Error (*apply)(const Value&, ProgrammerEntries&, unsigned row);
};

constexpr std::array kKeyRules = {
    KeyRule{SectionKind::Settings, "DataRate", applyDataRate},
    KeyRule{SectionKind::Settings, "Preamble", applyPreamble},
    KeyRule{SectionKind::Settings, "Repeat", applyRepeat},
    KeyRule{SectionKind::Settings, "Alphabet", applyAlphabet},
    KeyRule{SectionKind::Settings, "Transliterate", applyTransliterate},
    KeyRule{SectionKind::Settings, "Site", applySite},
    KeyRule{SectionKind::Item, "Label", applyLabel},
    KeyRule{SectionKind::Item, "CapCode", applyCapcode},
    KeyRule{SectionKind::Item, "Tone", applyTone},
    KeyRule{SectionKind::Item, "Type", applyType},
    KeyRule{SectionKind::Item, "Alphabet", applyRowAlphabet},
    KeyRule{SectionKind::Item, "Message", applyMessage},
};

// The key of each RowField.
constexpr std::array<std::string_view, 4> kFieldKeys = {"CapCode", "Tone", "Type", "Message"};

const KeyRule* findKey(SectionKind section, std::string_view name) {
    const auto found = std::ranges::find_if(kKeyRules, [&](const KeyRule& rule) {
        return rule.section == section && equalsIgnoringCase(rule.name, name);
    });
    return found == kKeyRules.end() ? nullptr : &*found;
}

std::string itemSectionName(unsigned row) {
    char name[8];
    std::snprintf(name, sizeof name, "Item%02u", row + 1);
    return name;
}

std::string sectionName(const Section& section) {
    return section.kind == SectionKind::Settings ? "Settings" : itemSectionName(section.row);
}

std::optional<Section> findSection(std::string_view name) {
    if (equalsIgnoringCase(name, "Settings")) return Section{SectionKind::Settings, 0};
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        if (equalsIgnoringCase(name, itemSectionName(row))) return Section{SectionKind::Item, row};
    }
    return std::nullopt;
}

// Reads the file line by line; the first error ends it.
class ConfigParser {
public:
    ConfigOutcome parse(std::string_view bytes, texts::FileEncoding* readAs) {
        auto read = texts::readFileText(bytes);
        if (const auto* problem = std::get_if<texts::EncodingProblem>(&read)) {
            return ConfigError{static_cast<int>(problem->line), static_cast<int>(problem->column),
                               texts::encodingProblemMessage(*problem)};
        }
        const texts::FileText& decoded = std::get<texts::FileText>(read);
        if (readAs != nullptr) *readAs = decoded.encoding;
        std::string_view text = decoded.utf8;
        while (!text.empty()) {
            ++lineNumber_;
            const std::size_t end = std::min(text.find('\n'), text.size());
            std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (auto error = parseLine(line)) return std::move(*error);
        }
        if (auto breach = closeSection()) return std::move(*breach);
        return std::move(entries_);
    }

private:
    using LineError = std::optional<ConfigError>;

    LineError here(Error error) const {
        if (!error) return std::nullopt;
        return ConfigError{lineNumber_, 0, std::move(*error)};
    }

    LineError parseLine(std::string_view line) {
        line = trimLeft(line);
        if (isBlankOrComment(line)) return std::nullopt;
        if (line.front() != '[') return here(setKey(line));
        if (auto breach = closeSection()) return breach;
        return here(openSection(line));
    }

    Error openSection(std::string_view line) {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) return readProblem(keys::kMissingClosingBracket);
        if (!isBlankOrComment(line.substr(close + 1))) return readProblem(keys::kTextAfterClosingBracket);
        const std::string_view name = trim(line.substr(1, close - 1));
        section_ = findSection(name);
        if (!section_) return readProblem(keys::kUnknownSection, {fileText(name)});
        keyLines_.clear();
        return firstUse(sectionLines_, name, keys::kDuplicateSection);
    }

    Error setKey(std::string_view line) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return readProblem(keys::kExpectedKeyOrSection);
        const std::string_view name = trim(line.substr(0, equals));
        if (name.empty()) return readProblem(keys::kMissingKey);
        if (!section_) return readProblem(keys::kKeyBeforeSection, {fileText(name)});
        const KeyRule* rule = findKey(section_->kind, name);
        if (rule == nullptr) return readProblem(keys::kUnknownKey, {fileText(name), fileText(sectionName(*section_))});
        if (auto error = firstUse(keyLines_, name, keys::kDuplicateKey)) return error;
        auto value = lexValue(line.substr(equals + 1));
        if (auto* error = std::get_if<texts::Message>(&value)) return std::move(*error);
        return rule->apply(std::get<Value>(value), entries_, section_->row);
    }

    // A row must obey the window's row rules (settleRowChoices), else it would page
    // with something else than the file says; a problem is named on the last line of
    // the keys it involves.
    LineError closeSection() {
        if (!section_ || section_->kind != SectionKind::Item) return std::nullopt;
        image::PagerItem& item = entries_.rows[section_->row];
        GivenChoices given{keyLine("Tone") != 0, keyLine("Type") != 0, std::nullopt, item.capcode};
        const auto notation = std::get<CapcodeNotation>(parseCapcodeNotation(item.capcode));
        item.capcode = notation.digits;
        given.capcodeTone = notation.tone;
        const auto problem = settleRowChoices(item, given);
        if (!problem) return std::nullopt;
        int line = 0;
        for (const RowField field : problem->fields) line = std::max(line, keyLine(kFieldKeys[static_cast<int>(field)]));
        return ConfigError{line, 0, problem->what};
    }

    // The line of the key in the current section; 0 when it is not there.
    int keyLine(std::string_view name) const {
        const auto found = keyLines_.find(folded(name));
        return found == keyLines_.end() ? 0 : found->second;
    }

    static std::string folded(std::string_view name) {
        std::string lower(name);
        std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return std::tolower(c); });
        return lower;
    }

    // Records the section or key name; a name seen before is a duplicate, `duplicate`
    // names it as written.
    Error firstUse(std::map<std::string, int>& seen, std::string_view name, texts::TextKey duplicate) {
        const auto [at, inserted] = seen.emplace(folded(name), lineNumber_);
        if (!inserted) return readProblem(duplicate, {fileText(name), at->second});
        return std::nullopt;
    }

    ProgrammerEntries entries_;
    std::optional<Section> section_;
    std::map<std::string, int> sectionLines_;
    std::map<std::string, int> keyLines_;
    int lineNumber_ = 0;
};

// ---- writing --------------------------------------------------------------------------

std::string quoteMessage(std::string_view text) {
    std::string out(1, kQuote);
    for (std::size_t i = 0; i < text.size();) {
        const auto decoded = texts::nextCodePoint(text, i);
        if (!decoded) {
            // Not from any file or window: those texts are UTF-8.
            texts::appendUtf8(out, texts::kReplacementCharacter);
            ++i;
            continue;
        }
        const char32_t c = *decoded;
        if (c == kQuote || c == kEscape) {
            out += kEscape;
            out += static_cast<char>(c);
        } else if (needsEscape(c)) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
            out += escape;
        } else {
            texts::appendUtf8(out, c);
        }
    }
    return out + kQuote;
}

std::string dataRateText(int index) {
    const bool known = index >= 0 && index < static_cast<int>(image::kDataRates.size());
    return known ? std::to_string(image::kDataRates[static_cast<std::size_t>(index)]) : "none";
}

// The preamble box pads a short number with blanks, which change nothing and are
// dropped; any other text is quoted so that it reads back unchanged.
std::string preambleText(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    const bool allDigits = std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
    return allDigits ? std::string(text) : quoteMessage(text);
}

std::string alphabetLine(paging::Alphabet alphabet) {
    return "Alphabet = " + std::string(paging::alphabetTable(alphabet).name) + "\n";
}

std::string typeText(paging::PagerType type) {
    return type == paging::PagerType::Alphanumeric ? "Alphanumeric" : "Numeric";
}

}  // namespace

// The name is printed on the site sheet and in the window: a control character there
// would be invisible on paper and could drive a terminal.
std::optional<texts::Message> siteNameProblem(const std::string& site) {
    if (auto error = checkLength("Site", Value{site}, kMaxSiteCharacters)) return error;
    const auto characters = texts::decodeUtf8(site);
    if (!characters || std::ranges::any_of(*characters, needsEscape)) return readProblem(keys::kSiteControlCharacters);
    return std::nullopt;
}

std::optional<std::string> parseCapcode(std::string_view text) {
    const std::string_view digits = trim(text);
    const bool allDigits = std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; });
    if (!allDigits) return std::nullopt;
    return std::string(digits);
}

std::optional<unsigned> parseTone(std::string_view letter) {
    if (letter.size() != 1) return std::nullopt;
    const int index = std::toupper(static_cast<unsigned char>(letter[0])) - 'A';
    if (index < 0 || index >= static_cast<int>(image::kToneCount)) return std::nullopt;
    return static_cast<unsigned>(index);
}

ConfigOutcome parseConfig(std::string_view bytes, texts::FileEncoding* readAs) {
    return ConfigParser().parse(bytes, readAs);
}

std::string writeConfig(const image::ProgrammerEntries& entries) {
    const image::PagerTextSettings& text = entries.text;
    std::string out = "[Settings]\n";
    out += "DataRate = " + dataRateText(entries.dataRateIndex) + "\n";
    out += "Preamble = " + preambleText(entries.preambleText) + "\n";
    out += "Repeat = " + std::to_string(entries.repeatIndex + 1) + "\n";
    // Written only when they differ from the default, so that a file for US-ASCII
    // pagers stays what earlier versions wrote and read.
    if (text.alphabet != paging::Alphabet::US) out += alphabetLine(text.alphabet);
    if (text.transliterate) out += "Transliterate = yes\n";
    if (!entries.site.empty()) out += "Site = " + quoteMessage(entries.site) + "\n";
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        const image::PagerItem& item = entries.rows[row];
        const auto& ownAlphabet = text.rowAlphabets[row];
        const std::string& label = entries.labels[row];
        if (item == image::PagerItem{} && !ownAlphabet && label.empty()) continue;
        out += "\n[" + itemSectionName(row) + "]\n";
        // Only when set, so that a file without labels stays what earlier versions wrote.
        if (!label.empty()) out += "Label = " + quoteMessage(label) + "\n";
        out += "CapCode = " + item.capcode + "\n";
        out += std::string("Tone = ") + static_cast<char>('A' + item.tone) + "\n";
        out += "Type = " + typeText(item.type) + "\n";
        if (ownAlphabet) out += alphabetLine(*ownAlphabet);
        out += "Message = " + quoteMessage(item.message) + "\n";
    }
    return out;
}

std::string writeConfig(const image::TransmitterSettings& settings, const image::PagerRows& rows) {
    image::ImageContents contents;
    contents.settings = settings;
    contents.rows = rows;
    return writeConfig(image::shownEntries(contents));
}

ConfigOrImage parseConfigOrImage(std::string_view bytes, texts::FileEncoding* readAs) {
    if (!image::isImageFile(bytes)) {
        ConfigOutcome parsed = parseConfig(bytes, readAs);
        if (auto* entries = std::get_if<image::ProgrammerEntries>(&parsed)) return std::move(*entries);
        return std::get<ConfigError>(std::move(parsed));
    }
    image::EepromImage image;
    std::ranges::copy(bytes, image.bytes.begin());
    return image;
}

}  // namespace vostrel::config

#include "texts/language_file.h"

#include <cstdint>

namespace vostrel::texts {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

std::string_view withoutEnclosingQuotes(std::string_view value) {
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == '"' || value.front() == '\'');
    return quoted ? value.substr(1, value.size() - 2) : value;
}

// Length of the UTF-8 sequence that starts at text[i], or 0 when it is not valid
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;  // bounds of the byte after the lead
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<std::uint8_t>(c);
        if (code < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// Calls `visit(line)` for each line; stops early when it returns true.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (visit(text.substr(0, end))) return;
        if (end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::string_view> sectionName(std::string_view line) {
    if (!line.starts_with('[')) return std::nullopt;
    line.remove_prefix(1);
    return trimmed(line.substr(0, line.find(']')));
}

}  // namespace

std::string decodeLanguageFile(std::string_view fileBytes) {
    if (!isValidUtf8(fileBytes)) return latin1ToUtf8(fileBytes);
    if (fileBytes.starts_with(kByteOrderMark)) fileBytes.remove_prefix(kByteOrderMark.size());
    return std::string(fileBytes);
}

std::optional<std::string> findIniValue(std::string_view fileBytes, std::string_view section,
                                        std::string_view key) {
    const std::string text = decodeLanguageFile(fileBytes);
    std::optional<std::string> found;
    bool inSection = false;
    forEachLine(text, [&](std::string_view rawLine) {
        const std::string_view line = trimmed(rawLine);
        if (line.empty() || line.starts_with(';')) return false;
        if (const auto name = sectionName(line)) {
            inSection = equalIgnoringCase(*name, section);
            return false;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) return false;
        if (!equalIgnoringCase(trimmed(line.substr(0, equals)), key)) return false;
        found = std::string(withoutEnclosingQuotes(trimmed(line.substr(equals + 1))));
        return true;
    });
    return found;
}

std::string lookUpText(std::string_view fileBytes, std::string_view key) {
    return findIniValue(fileBytes, kLanguageSection, key).value_or(std::string(key));
}

}  // namespace vostrel::texts

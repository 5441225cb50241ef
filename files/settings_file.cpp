// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/settings_file.h"

#include <system_error>

#include "files/error_text.h"
#include "files/whole_file.h"
#include "texts/text_codec.h"

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Lower-case hexadecimal without leading zeros, as Qt writes the number of an escape.
std::string hexNumber(unsigned value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

std::string_view trimmedBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The control characters Qt writes with a letter.
char escapeLetter(char c) {
    switch (c) {
        case '\a': return 'a';
        case '\b': return 'b';
        case '\f': return 'f';
        case '\n': return 'n';
        case '\r': return 'r';
        case '\t': return 't';
        case '\v': return 'v';
        default: return 0;
    }
}

char escapedCharacter(char letter) {
    switch (letter) {
        case 'a': return '\a';
        case 'b': return '\b';
        case 'f': return '\f';
        case 'n': return '\n';
        case 'r': return '\r';
        case 't': return '\t';
        case 'v': return '\v';
        case '"':
        case '?':
        case '\'':
        case '\\': return letter;
        default: return 0;
    }
}

// UTF-16 units of \x escapes as UTF-8: a pair of surrogates is one character, a lone
// one the replacement character. A pending unit waits for flush().
class Utf16Units {
public:
    explicit Utf16Units(std::string& out) : out_(out) {}

    void add(char16_t unit) {
        if (high_ && unit >= 0xDC00 && unit <= 0xDFFF) {
            texts::appendUtf8(out_, 0x10000 + ((char32_t{high_} - 0xD800) << 10) + (unit - 0xDC00));
            high_ = 0;
            return;
        }
        flush();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high_ = unit;
        } else {
            texts::appendUtf8(out_, unit >= 0xDC00 && unit <= 0xDFFF ? texts::kReplacementCharacter : unit);
        }
    }
    void flush() {
        if (high_) texts::appendUtf8(out_, texts::kReplacementCharacter);
        high_ = 0;
    }

private:
    std::string& out_;
    char16_t high_ = 0;
};

// One line of the file without its line end, and where the next starts.
std::string_view lineAt(std::string_view bytes, std::size_t& position) {
    const std::size_t end = bytes.find('\n', position);
    std::string_view line = bytes.substr(position, end == std::string_view::npos ? std::string_view::npos : end - position);
    position = end == std::string_view::npos ? bytes.size() : end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

// The name of the section a "[name]" line opens; nothing for any other line.
std::optional<std::string_view> sectionOpened(std::string_view line) {
    line = trimmedBlanks(line);
    if (!line.starts_with('[')) return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return line.substr(1, close - 1);
}

std::string_view lineEndOf(std::string_view bytes) {
    const std::size_t end = bytes.find('\n');
    if (end != std::string_view::npos) return end > 0 && bytes[end - 1] == '\r' ? "\r\n" : "\n";
#if defined(_WIN32)
    return "\r\n";  // as Qt writes it there
#else
    return "\n";
#endif
}

std::optional<FileError> refuseToTouch(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return std::nullopt;
    if (error) return detail::failure(path, "cannot be checked: " + error.message());
    if (status.type() != fs::file_type::regular) return detail::failure(path, "is no regular file; left alone");
    if (fs::file_size(path, error) > kMaxSettingsBytes) return detail::failure(path, "is far too large for settings; left alone");
    return std::nullopt;
}

}  // namespace

std::string settingsValueText(std::string_view value) {
    std::string text = value.starts_with('@') ? "@" : "";
    bool quoted = value.starts_with(' ') || value.ends_with(' ');
    bool escapeHexDigit = false;
    for (const char c : value) {
        quoted = quoted || c == ';' || c == ',' || c == '=';
        const auto byte = static_cast<unsigned char>(c);
        // A hex digit right after \0 or \xH would be read as part of its number; so is
        // the next, and so on.
        if (escapeHexDigit && isHexDigit(c)) {
            text += "\\x" + hexNumber(byte);
            continue;
        }
        escapeHexDigit = false;
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (const char letter = escapeLetter(c)) {
            text += '\\';
            text += letter;
        } else if (byte == 0) {
            text += "\\0";
            escapeHexDigit = true;
        } else if (byte < 0x20) {
            text += "\\x" + hexNumber(byte);
            escapeHexDigit = true;
        } else {
            text += c;
        }
    }
    return quoted ? '"' + text + '"' : text;
}

std::optional<std::string> settingsValue(std::string_view written) {
    written = trimmedBlanks(written);
    std::string value;
    Utf16Units units(value);
    bool inQuotes = false;
    std::size_t keptUpTo = 0;  // trailing blanks after this are no part of an unquoted value
    for (std::size_t i = 0; i < written.size();) {
        const char c = written[i++];
        if (c == '"') {
            inQuotes = !inQuotes;
            units.flush();
            keptUpTo = value.size();
            continue;
        }
        if (c != '\\') {
            units.flush();
            value += c;
            if (inQuotes || (c != ' ' && c != '\t')) keptUpTo = value.size();
            continue;
        }
        if (i == written.size()) break;
        const char next = written[i++];
        if (next == 'x' && i < written.size() && isHexDigit(written[i])) {
            char16_t unit = 0;
            while (i < written.size() && isHexDigit(written[i])) unit = static_cast<char16_t>((unit << 4) + hexValue(written[i++]));
            units.add(unit);
        } else if (next >= '0' && next <= '7') {
            char16_t unit = static_cast<char16_t>(next - '0');
            while (i < written.size() && written[i] >= '0' && written[i] <= '7') {
                unit = static_cast<char16_t>((unit << 3) + (written[i++] - '0'));
            }
            units.add(unit);
        } else {
            units.flush();
            // An unknown escape stands for nothing, as Qt reads it.
            if (const char character = escapedCharacter(next)) value += character;
        }
        keptUpTo = value.size();
    }
    units.flush();
    value.resize(keptUpTo);
    if (value.starts_with("@@")) return value.substr(1);
    // Qt's typed values, such as @Invalid() and @ByteArray(...).
    if (value.starts_with('@') && value.ends_with(')')) return std::nullopt;
    return value;
}

SettingsEntries settingsSection(std::string_view fileBytes, std::string_view section) {
    SettingsEntries entries;
    bool inSection = false;
    for (std::size_t position = 0; position < fileBytes.size();) {
        const std::string_view line = lineAt(fileBytes, position);
        if (const auto opened = sectionOpened(line)) {
            inSection = *opened == section;
            continue;
        }
        const std::string_view content = trimmedBlanks(line);
        if (!inSection || content.empty() || content.starts_with(';')) continue;
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos) continue;
        if (auto value = settingsValue(content.substr(equals + 1))) {
            entries.emplace_back(std::string(trimmedBlanks(content.substr(0, equals))), std::move(*value));
        }
    }
    return entries;
}

std::string withSettingsSection(std::string_view fileBytes, std::string_view section, const SettingsEntries& entries) {
    const std::string_view lineEnd = lineEndOf(fileBytes);
    std::string sectionText;
    if (!entries.empty()) {
        sectionText.append("[").append(section).append("]").append(lineEnd);
        for (const auto& [key, value] : entries) sectionText.append(key).append("=").append(settingsValueText(value)).append(lineEnd);
        sectionText.append(lineEnd);
    }
    std::string out;
    bool inSection = false;
    bool placed = false;
    for (std::size_t position = 0; position < fileBytes.size();) {
        const std::size_t start = position;
        const std::string_view line = lineAt(fileBytes, position);
        if (const auto opened = sectionOpened(line)) {
            inSection = *opened == section;
            if (inSection && !placed) {
                out += sectionText;
                placed = true;
            }
        }
        if (!inSection) out.append(fileBytes.substr(start, position - start));
    }
    if (!placed) {
        if (!out.empty() && !out.ends_with('\n')) out.append(lineEnd);
        if (!out.empty() && !sectionText.empty() && !out.ends_with(std::string(lineEnd) + std::string(lineEnd))) {
            out.append(lineEnd);
        }
        out += sectionText;
    }
    return out;
}

std::variant<SettingsEntries, FileError> readSettingsSection(const fs::path& path, std::string_view section) {
    if (auto refused = refuseToTouch(path)) return std::move(*refused);
    std::error_code error;
    if (!fs::exists(path, error)) return SettingsEntries{};
    auto bytes = readWholeFile(path, kMaxSettingsBytes);
    if (auto* failed = std::get_if<FileError>(&bytes)) return std::move(*failed);
    return settingsSection(std::get<std::string>(bytes), section);
}

std::optional<FileError> writeSettingsSection(const fs::path& path, std::string_view section,
                                              const SettingsEntries& entries) {
    if (auto refused = refuseToTouch(path)) return refused;
    std::error_code error;
    std::string bytes;
    if (fs::exists(path, error)) {
        auto read = readWholeFile(path, kMaxSettingsBytes);
        if (auto* failed = std::get_if<FileError>(&read)) return std::move(*failed);
        bytes = std::move(std::get<std::string>(read));
    } else {
        fs::create_directories(path.parent_path(), error);
        if (error) return detail::failure(path.parent_path(), "cannot make the folder: " + error.message());
    }
    return writeWholeFile(path, withSettingsSection(bytes, section, entries));
}

}  // namespace vostrel::files

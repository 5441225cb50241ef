#pragma once
// Reading the language file: an INI file whose section "Message" maps the built-in
// English texts (the keys) to their translations. Qt-free so that every front end
// reads a translation the same way.
//
// Section and key names match without regard to ASCII case; a value loses the blanks
// around it and one pair of enclosing quotation marks; lines starting with ';' are
// comments. A file that is valid UTF-8 is read as UTF-8 (a leading byte-order mark is
// dropped), any other file as Latin-1.

#include <optional>
#include <string>
#include <string_view>

namespace vostrel::texts {

inline constexpr std::string_view kLanguageFileName = "kdx20Lang.ini";
inline constexpr std::string_view kLanguageSection = "Message";

// The file's text as UTF-8.
std::string decodeLanguageFile(std::string_view fileBytes);

// The value of `key` in `section`, as UTF-8; nothing when the section or the key is
// missing. The first occurrence counts when a key is listed twice.
std::optional<std::string> findIniValue(std::string_view fileBytes, std::string_view section,
                                        std::string_view key);

// The translation of `key` in section "Message", or the key itself when there is none.
std::string lookUpText(std::string_view fileBytes, std::string_view key);

}  // namespace vostrel::texts

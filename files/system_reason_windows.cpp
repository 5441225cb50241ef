// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <windows.h>

#include <algorithm>

#include "files/system_reason.h"

namespace vostrel::files {
namespace {

std::string utf8(const wchar_t* text, int length) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, converted.data(), size, nullptr, nullptr);
    return converted;
}

// Language 0: the user's language of messages, else the system's, else English.
std::string windowsMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? utf8(text, static_cast<int>(length)) : "error " + std::to_string(error);
    ::LocalFree(text);
    return message;
}

}  // namespace

std::string systemReason(const std::error_code& error) {
    std::string reason = error.category() == std::system_category() ? windowsMessage(static_cast<DWORD>(error.value()))
                                                                    : error.message();
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.' ||
                               reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason;
}

}  // namespace vostrel::files

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// A file name from Qt as the Qt-free libraries take it, every character kept on every
// system (on Windows a narrow name would lose whatever the local code page lacks), and
// with the system's separators, as their messages then show it ("C:\Users\...", where
// Qt writes "C:/Users/...").
//
// A Linux name is bytes, and not always UTF-8; Qt turns what is not into U+FFFD and
// can then neither open nor name the file, which vostrel-cli opens as it is. A name
// the window takes from the system as bytes (its command line, a dropped file) comes
// in with each byte that is not UTF-8 as a lone surrogate U+DC80 to U+DCFF, which a
// QString holds and localPath turns back into that byte.

#include <QString>
#include <filesystem>
#include <string_view>

namespace vostrel::ui {

std::filesystem::path localPath(const QString& name);

// The name's bytes as the window holds them: UTF-8 decoded, any other byte kept as
// its surrogate. Not for Windows, whose names come as UTF-16.
QString nameFromBytes(std::string_view bytes);

}  // namespace vostrel::ui

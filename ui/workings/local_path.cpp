// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/local_path.h"

#include <QDir>
#include <string>

#include "files/utf8_path.h"
#include "texts/text_codec.h"

namespace vostrel::ui {
namespace {

constexpr char16_t kFirstKeptByte = 0xDC80;  // stands for byte 0x80; 0xDCFF for 0xFF

#ifndef _WIN32
bool standsForAByte(char16_t unit) { return unit >= kFirstKeptByte && unit <= kFirstKeptByte + 0x7F; }
#endif

}  // namespace

std::filesystem::path localPath(const QString& name) {
#ifdef _WIN32
    return files::pathFromUtf8(QDir::toNativeSeparators(name).toStdString());
#else
    std::string bytes;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool pair = i + 1 < name.size() && name[i].isHighSurrogate() && name[i + 1].isLowSurrogate();
        if (!pair && standsForAByte(unit)) {
            bytes += static_cast<char>(unit - kFirstKeptByte + 0x80);
        } else {
            bytes += QString(name.constData() + i, pair ? 2 : 1).toStdString();
            i += pair ? 1 : 0;
        }
    }
    return files::pathFromUtf8(bytes);
#endif
}

QString nameFromBytes(std::string_view bytes) {
    QString name;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t start = i;
        if (const auto character = texts::nextCodePoint(bytes, i)) {
            name += QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(i - start));
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        name += QChar(static_cast<char16_t>(kFirstKeptByte + byte - 0x80));
    }
    return name;
}

}  // namespace vostrel::ui

// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "sheet/site_sheet.h"

#include <algorithm>
#include <cstdio>

#include "files/backups.h"
#include "files/write_history.h"
#include "image/air_time.h"
#include "image/capacity.h"
#include "image/fingerprint.h"
#include "image/image_builder.h"
#include "image/image_reader.h"
#include "image/pager_preview.h"

namespace vostrel::sheet {

SiteSheet siteSheet(const image::EepromImage& image, const image::PagerTextSettings& text,
                    const image::RowLabels& labels) {
    SiteSheet sheet;
    sheet.settings = image::loadHeader(image);
    sheet.alphabet = text.alphabet;
    sheet.fingerprint = image::fingerprintText(image::contentsFingerprint(image));
    const auto air = image::airTime(sheet.settings, image::storedRows(image));
    if (air) sheet.totalSeconds = air->totalSeconds;

    const image::ImageContents contents = image::decodeImage(image, text);
    const image::PagerDisplays displays = image::storedDisplays(image, text);
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        if (!displays[row]) continue;
        const image::PagerItem& item = contents.rows[row];
        SheetRow& line = sheet.rows.emplace_back();
        line.row = row;
        line.label = labels[row];
        line.capcode = static_cast<std::uint32_t>(image::leadingInteger(item.capcode));
        line.tone = item.tone;
        line.type = item.type;
        const paging::Alphabet alphabet = text.alphabetOf(row);
        if (item.type == paging::PagerType::Alphanumeric && alphabet != text.alphabet) line.ownAlphabet = alphabet;
        line.shows = *displays[row];
        if (const image::RowAirTime* figures = air ? air->find(row) : nullptr) {
            line.secondsPerTrigger = figures->secondsPerTrigger;
        }
    }
    return sheet;
}

void addRowsNotStored(SiteSheet& sheet, const image::ProgrammerEntries& entries) {
    const image::SiteCapacity capacity = image::siteCapacity(entries, image::layOutRows(entries));
    for (const unsigned row : capacity.leftOut()) {
        const image::PagerItem& item = entries.rows[row];
        SheetRow& line = sheet.rows.emplace_back();
        line.row = row;
        line.label = entries.labels[row];
        line.capcode = static_cast<std::uint32_t>(image::leadingInteger(item.capcode));
        line.tone = item.tone;
        line.type = item.type;
        line.stored = false;
    }
    std::ranges::stable_sort(sheet.rows, {}, &SheetRow::row);
}

std::vector<SheetTransmitter> writtenTo(std::string_view site, std::string_view fingerprint) {
    const auto folder = files::backupFolder();
    if (!std::holds_alternative<std::filesystem::path>(folder)) return {};
    std::vector<SheetTransmitter> transmitters;
    for (const files::WriteRecord& write :
         files::siteWrites(files::writeHistory(std::get<std::filesystem::path>(folder)), site, fingerprint)) {
        if (transmitters.size() == kSheetTransmittersShown) break;
        transmitters.push_back({write.name, write.port, write.time.substr(0, 10), write.fingerprint});
    }
    return transmitters;
}

SheetDate sheetDate(std::time_t when) {
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string dateText(const SheetDate& date, std::string_view pattern) {
    const struct {
        std::string_view field;
        int value;
        const char* format;
    } fields[] = {{"YYYY", date.year, "%04d"}, {"MM", date.month, "%02d"}, {"DD", date.day, "%02d"}};
    std::string text;
    while (!pattern.empty()) {
        const auto field = std::ranges::find_if(fields, [&](const auto& each) { return pattern.starts_with(each.field); });
        if (field == std::end(fields)) {
            text += pattern.front();
            pattern.remove_prefix(1);
            continue;
        }
        char number[16];  // room for any int, so that the compiler sees no cut
        std::snprintf(number, sizeof number, field->format, field->value);
        text += number;
        pattern.remove_prefix(field->field.size());
    }
    return text;
}

}  // namespace vostrel::sheet

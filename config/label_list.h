// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Labels from the capcode lists users already keep for their pager monitors:
//
//   ric,description            a CSV whose header names a capcode column (ric, CapCode,
//   1234567,"Kitchen"          Rufnummer) and a label column (description, Label,
//   # comment                  Bezeichnung), optionally a Tone; '#' starts a comment line
//                              (a site list this tool wrote is such a list too)
//
//   [Filter]                   a decoder's filters.ini: in its [Filter] section each line
//   2,"0200208","RFS - Blayney","",0,...   holds a kind, the capcode and the label
//
// A capcode may carry its sub-address letter (1234567A), which then names the tone. A
// capcode with '?' wildcards, or longer than 7 digits (another paging code's address),
// matches no row.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "image/image_builder.h"
#include "texts/message.h"
#include "texts/text_codec.h"

namespace vostrel::config {

struct LabelListEntry {
    long long capcode = 0;
    std::optional<unsigned> tone;  // the sub-address; nothing matches every tone
    std::string label;
    int line = 0;
};

struct LabelList {
    std::vector<LabelListEntry> entries;
    // Windows-1252 when the file was not UTF-8 (texts::readFileText): to be said once.
    texts::FileEncoding encoding = texts::FileEncoding::Utf8;
};

struct LabelListError {
    int line = 0;
    int column = 0;  // of a byte that is not UTF-8; 0 where the line says enough
    texts::Message what;
};

std::variant<LabelList, LabelListError> readLabelList(std::string_view bytes);

// Gives each row in use whose label is empty the label the list has for its capcode and
// tone: an entry for that tone first, else one for every tone; the first such entry of
// the list. Never changes anything but empty labels. The 0-based rows it labelled, or
// the entry whose label cannot be one (too long, a control character).
std::variant<std::vector<unsigned>, LabelListError> fillLabels(image::ProgrammerEntries& entries,
                                                             const LabelList& list);

}  // namespace vostrel::config

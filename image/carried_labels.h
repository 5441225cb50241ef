// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What the window keeps of its own when its rows are replaced by a transmitter's (a
// Read, an opened image file): the EEPROM holds neither labels nor the site's name.
// A label stays with its pager, the row that calls the same capcode with the same tone:
//
//   before             after the Read        label kept on
//   01 1234 A "Tür"    01 1234 A             01 (same row, same pager)
//   02 5678 D "Nacht"  02 9999 A             -  (named in the note)
//   03 (empty) "frei"  03 5678 D             03 "Nacht" (the pager moved here); "frei" named
//   04 (empty) "Lager" 04 (empty)            04 (a row that calls no pager keeps its label
//                                                while it stays without one)
//
// Capcodes are compared as numbers ("0200208" is 200208). Of two rows calling the same
// pager, each label goes to one row: its own row first, then the first free one.

#include <optional>

#include "image/image_builder.h"
#include "texts/message.h"

namespace vostrel::image {

// `read` with the labels of `window` carried onto its rows as drawn above and the
// window's site name. The note names every label that found no row, or nothing.
std::optional<texts::Message> carryLabelsAndSite(const ProgrammerEntries& window, ProgrammerEntries& read);

}  // namespace vostrel::image

#pragma once
// Reads an EEPROM image back into the settings and sixteen rows.

#include <optional>

#include "image/eeprom_image.h"
#include "image/pager_item.h"
#include "image/transmitter_settings.h"

namespace vostrel::image {

struct ImageContents {
    TransmitterSettings settings;
    PagerRows rows;  // rows the reader did not fill are empty
    // 1-based row whose slot does not start with a sync codeword ("EEPROM read error");
    // that row and all later ones are left empty.
    std::optional<int> readErrorRow;
};

ImageContents readImage(const EepromImage& image);

}  // namespace vostrel::image

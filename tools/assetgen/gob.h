// Gob record resources: an image reference and a table of image-part
// records stored column by column, with an optional 2-bit alpha-kind section.
#pragma once

#include <array>
#include <vector>

#include "bytes.h"

namespace assetgen {

// The ten values of one record, in column order: offset x, offset y, region
// x, region y, width, height, collision x, collision y, collision width (bit
// 15: round), collision height.
struct GobRecord {
    std::array<int32_t, 10> values{};
    int alphaKind = 0;  // 0 to 3
};

// Column widths are the smallest that hold the values (1 byte: -128 to 127 in
// columns 0, 1, 6, 7, 0 to 255 in the others); a column group whose values
// are all 0 is left out. `imageIndex` is the sheet's index in the same pack.
Bytes writeGobs(int imageIndex, const std::vector<GobRecord>& records, bool alphaKinds);

}  // namespace assetgen

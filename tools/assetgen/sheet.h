// Contact sheets: every frame of every animation set of one pack drawn with
// its Gob parts, its collision boxes outlined and its anchor marked, for
// looking at a pack by eye (`assetgen --sheet PACK OUT.png`).
#pragma once

#include <map>
#include <vector>

#include "animset.h"
#include "gob.h"
#include "image.h"

namespace assetgen {

// What the sheet needs of one pack, kept while the descriptions are read.
struct PackModel {
    std::map<int, Raster> images;  // by resource index
    struct GobList {
        int image = 0;  // the sheet's index in this pack
        std::vector<GobRecord> records;
    };
    std::map<int, GobList> gobs;
    struct Set {
        AnimSetDescription set;
        int gobs = -1;  // the Gob list it is drawn with; -1: the pack's first
    };
    std::map<int, Set> sets;
};

// Frame colours of box ids (id mod 8) on the sheet.
uint32_t sheetBoxColour(int id);

// One band per animation set in index order; in a band one cell per frame
// (frame number in the cell's corner), the parts drawn over a grey
// checkerboard, boxes outlined in their id's colour, the anchor a small cross.
// A pack without animation sets gives its Gob lists one cell per record.
Raster drawSheet(const PackModel& pack);

// The raster with every pixel repeated zoom x zoom times (zoom 1 to 8).
Raster zoomed(const Raster& r, int zoom);

}  // namespace assetgen

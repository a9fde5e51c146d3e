// Bitmap fonts rendered through FreeType: a glyph sheet image and the glyph
// array as Gob records.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gob.h"
#include "image.h"

namespace assetgen {

struct FontDescription {
    std::string face;  // a font file of fonts-dejavu-core, e.g. "DejaVuSans.ttf"
    int pixelSize = 16;
    std::vector<std::pair<int, int>> ranges;  // character codes, inclusive, up to U+FFFF
    uint32_t colour = 0xFFFFFFFF;             // RGB of the ink; the glyph's coverage scales the alpha
    std::optional<uint32_t> outline;          // RGB of a one-pixel rim around the ink, so that
                                              // the text reads on light and dark ground alike
    std::optional<int> missingAdvance;        // advance for characters without a glyph; default the space's
    int extra = 0;                            // glyph 5's metric
    bool alignByAdvance = false;              // glyph 6's flag
    int sheetWidth = 256;
};

struct FontResult {
    Raster sheet;
    std::vector<GobRecord> glyphs;
    std::vector<int> codes;     // the character of each glyph
    std::vector<int> advances;  // FreeType's advance of each glyph, in pixels
};

// Glyphs in ascending code order; the records hold code differences in the
// offsets (high byte in offset x, low byte in offset y), the real offsets in
// the box position, the advance in the box width, and the seven font metrics
// in the box height of glyphs 0 to 6 (height, baseline, missing advance,
// marker 255, line height, extra, flag). A glyph without ink has width 0.
FontResult renderFont(const FontDescription& font, const std::string& fontDirectory);

// Where fonts-dejavu-core installs its fonts.
const char* defaultFontDirectory();

}  // namespace assetgen

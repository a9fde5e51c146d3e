#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include <algorithm>
#include <set>

namespace assetgen {

namespace {

class Library {
public:
    Library() {
        if (FT_Init_FreeType(&library_) != 0) throw Error("face", "FreeType does not start");
        // The same hinting whatever FREETYPE_PROPERTIES says.
        FT_UInt version = 40;
        FT_Property_Set(library_, "truetype", "interpreter-version", &version);
    }
    ~Library() { FT_Done_FreeType(library_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    FT_Library get() const { return library_; }

private:
    FT_Library library_ = nullptr;
};

class Face {
public:
    Face(FT_Library library, const std::string& path) {
        if (FT_New_Face(library, path.c_str(), 0, &face_) != 0)
            throw Error("face", "cannot open " + excerpt(path, 200));
    }
    ~Face() { FT_Done_Face(face_); }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    FT_Face get() const { return face_; }

private:
    FT_Face face_ = nullptr;
};

constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;

int pixels(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

// The tallest glyph sheet, as for any image of a description.
constexpr int kMaxSheetHeight = 4096;

struct Glyph {
    int code, left, top, advance;
    Raster ink;
};

// The face's vertical metrics, in whole pixels.
struct FaceMetrics {
    int ascender, descender, lineHeight;
};

Error noRoom(const FontDescription& font) {
    return Error("size", "the glyphs at " + std::to_string(font.pixelSize) + " pixels do not fit a sheet " +
                             std::to_string(font.sheetWidth) + " wide and at most " + std::to_string(kMaxSheetHeight) +
                             " high");
}

// The description's fields checked; the characters its ranges ask for.
std::set<int> checkedCodes(const FontDescription& font) {
    if (font.face.empty() || font.face.find('/') != std::string::npos || font.face.front() == '.') {
        throw Error("face", "a font file name of fonts-dejavu-core, such as \"DejaVuSans.ttf\"");
    }
    checkRange(font.pixelSize, 4, 200, "size");
    checkRange(font.sheetWidth, 16, 4096, "sheetWidth");
    checkRange(font.extra, 0, 32767, "extra");
    std::set<int> codes;
    for (size_t i = 0; i < font.ranges.size(); ++i) {
        const auto [from, to] = font.ranges[i];
        checkRange(from, 0, 0xFFFF, item("ranges", i));
        checkRange(to, from, 0xFFFF, item("ranges", i));
        for (int c = from; c <= to; ++c) codes.insert(c);
    }
    return codes;
}

FaceMetrics sizedFace(FT_Face f, int pixelSize) {
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        throw Error("size", "the face has no size " + std::to_string(pixelSize));
    }
    return {static_cast<int>((f->size->metrics.ascender + 63) >> 6),
            static_cast<int>((-f->size->metrics.descender + 63) >> 6), pixels(f->size->metrics.height)};
}

// The characters the face has a glyph for (the others are left out).
std::vector<int> presentCodes(FT_Face f, const std::set<int>& codes) {
    std::vector<int> present;
    for (int code : codes) {
        if (FT_Get_Char_Index(f, static_cast<FT_ULong>(code)) != 0) present.push_back(code);
    }
    if (present.size() < 7) throw Error("ranges", "a font needs at least 7 glyphs (its metrics live in glyphs 0 to 6)");
    if (present.size() > 4095) throw Error("ranges", "a font holds at most 4095 glyphs");
    return present;
}

// The character's glyph rendered into the face's glyph slot.
FT_GlyphSlot renderedGlyph(FT_Face f, int code) {
    const FT_UInt index = FT_Get_Char_Index(f, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(f, index, kLoadFlags) != 0 || FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        throw Error("ranges", "FreeType cannot render character " + std::to_string(code));
    }
    return f->glyph;
}

// The slot's glyph in the ink colour, its coverage as the alpha.
Glyph inkedGlyph(FT_GlyphSlot slot, int code, int ascender, uint32_t colour) {
    const FT_Bitmap& bitmap = slot->bitmap;
    const bool ink = bitmap.width > 0 && bitmap.rows > 0;
    Glyph g{code, ink ? slot->bitmap_left : 0, ink ? ascender - slot->bitmap_top : 0, pixels(slot->advance.x),
            Raster(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows))};
    for (int y = 0; y < g.ink.height; ++y) {
        for (int x = 0; x < g.ink.width; ++x) {
            const uint32_t coverage = bitmap.buffer[y * bitmap.pitch + x];
            g.ink.at(x, y) = coverage << 24 | (colour & 0xFFFFFF);
        }
    }
    return g;
}

// The strongest coverage of the ink at and around (x, y).
uint32_t strongestAround(const Raster& ink, int x, int y) {
    uint32_t strongest = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int sx = x + dx, sy = y + dy;
            if (sx < 0 || sy < 0 || sx >= ink.width || sy >= ink.height) continue;
            strongest = std::max(strongest, ink.at(sx, sy) >> 24);
        }
    }
    return strongest;
}

// One pixel more on every side: the rim takes the strongest coverage around
// each pixel, and the ink is laid over it.
void addOutline(Glyph& g, uint32_t outline) {
    Raster rimmed(g.ink.width + 2, g.ink.height + 2);
    for (int y = 0; y < rimmed.height; ++y) {
        for (int x = 0; x < rimmed.width; ++x) {
            rimmed.at(x, y) = strongestAround(g.ink, x - 1, y - 1) << 24 | (outline & 0xFFFFFF);
        }
    }
    for (int y = 0; y < g.ink.height; ++y) {
        for (int x = 0; x < g.ink.width; ++x) plot(rimmed, x + 1, y + 1, g.ink.at(x, y), Blend::Over);
    }
    g.ink = std::move(rimmed);
    g.left -= 1;
    g.top -= 1;
}

// Every present character's glyph. The sheet room they take with their
// one-pixel gaps is counted as they come: no more than the largest sheet holds.
std::vector<Glyph> renderGlyphs(FT_Face f, const std::vector<int>& present, const FontDescription& font, int ascender) {
    std::vector<Glyph> glyphs;
    int64_t area = 0;
    for (int code : present) {
        const FT_GlyphSlot slot = renderedGlyph(f, code);
        const FT_Bitmap& bitmap = slot->bitmap;
        const bool ink = bitmap.width > 0 && bitmap.rows > 0;
        if (ink) area += (int64_t{bitmap.width} + 1) * (int64_t{bitmap.rows} + 1);
        if (area > int64_t{font.sheetWidth + 1} * (kMaxSheetHeight + 1)) throw noRoom(font);
        Glyph g = inkedGlyph(slot, code, ascender, font.colour);
        if (ink && font.outline) {
            addOutline(g, *font.outline);
            area += int64_t{g.ink.width} + g.ink.height;
        }
        glyphs.push_back(std::move(g));
    }
    return glyphs;
}

// The advance of characters without a glyph: as given, or the space's.
int missingAdvance(FT_Face f, const FontDescription& font) {
    if (font.missingAdvance) {
        checkRange(*font.missingAdvance, 0, 32767, "missingAdvance");
        return *font.missingAdvance;
    }
    if (FT_Load_Char(f, ' ', kLoadFlags) == 0) return pixels(f->glyph->advance.x);
    return 0;
}

// Shelf packing in code order, one pixel apart: each glyph's place on the
// sheet (0, 0 for one without ink), and the sheet's height.
std::vector<std::pair<int, int>> shelfPlaces(const std::vector<Glyph>& glyphs, const FontDescription& font,
                                             int& height) {
    std::vector<std::pair<int, int>> places;
    int x = 0, y = 0, shelf = 0;
    for (const Glyph& g : glyphs) {
        if (g.ink.width == 0 || g.ink.height == 0) {
            places.emplace_back(0, 0);
            continue;
        }
        if (g.ink.width > font.sheetWidth) throw Error("sheetWidth", "narrower than a glyph");
        if (x + g.ink.width > font.sheetWidth) {
            x = 0;
            y += shelf + 1;
            shelf = 0;
        }
        places.emplace_back(x, y);
        x += g.ink.width + 1;
        shelf = std::max(shelf, g.ink.height);
    }
    if (y + shelf > kMaxSheetHeight) throw noRoom(font);
    height = std::max(1, y + shelf);
    return places;
}

// The glyphs on the sheet and their records; glyphs 0 to 6 carry the
// font's metrics.
FontResult assemble(const std::vector<Glyph>& glyphs, const std::vector<std::pair<int, int>>& places, int sheetWidth,
                    int sheetHeight, const int (&metrics)[7]) {
    FontResult result;
    result.sheet = Raster(sheetWidth, sheetHeight);
    int previous = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Glyph& g = glyphs[i];
        const bool ink = g.ink.width > 0 && g.ink.height > 0;
        if (ink) blit(result.sheet, g.ink, 0, 0, g.ink.width, g.ink.height, places[i].first, places[i].second);
        GobRecord r;
        const int difference = g.code - previous;
        previous = g.code;
        r.values = {difference >> 8,
                    difference & 0xFF,
                    places[i].first,
                    places[i].second,
                    ink ? g.ink.width : 0,
                    ink ? g.ink.height : 0,
                    g.left,
                    g.top,
                    g.advance,
                    i < 7 ? metrics[i] : 0};
        r.alphaKind = ink ? alphaKind(g.ink, 0, 0, g.ink.width, g.ink.height) : 2;
        result.glyphs.push_back(r);
        result.codes.push_back(g.code);
        result.advances.push_back(g.advance);
    }
    return result;
}

}  // namespace

const char* defaultFontDirectory() { return "/usr/share/fonts/truetype/dejavu/"; }

FontResult renderFont(const FontDescription& font, const std::string& fontDirectory) {
    const std::set<int> codes = checkedCodes(font);
    Library library;
    Face face(library.get(), fontDirectory + font.face);
    FT_Face f = face.get();
    const FaceMetrics m = sizedFace(f, font.pixelSize);
    const std::vector<Glyph> glyphs = renderGlyphs(f, presentCodes(f, codes), font, m.ascender);
    const int metrics[7] = {
        m.ascender + m.descender,   m.ascender, missingAdvance(f, font), 255, m.lineHeight, font.extra,
        font.alignByAdvance ? 1 : 0};
    int height = 0;
    const std::vector<std::pair<int, int>> places = shelfPlaces(glyphs, font, height);
    return assemble(glyphs, places, font.sheetWidth, height, metrics);
}

}  // namespace assetgen

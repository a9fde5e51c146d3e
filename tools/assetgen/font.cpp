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

}  // namespace

const char* defaultFontDirectory() { return "/usr/share/fonts/truetype/dejavu/"; }

FontResult renderFont(const FontDescription& font, const std::string& fontDirectory) {
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

    Library library;
    Face face(library.get(), fontDirectory + font.face);
    FT_Face f = face.get();
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(font.pixelSize)) != 0) {
        throw Error("size", "the face has no size " + std::to_string(font.pixelSize));
    }
    const int ascender = static_cast<int>((f->size->metrics.ascender + 63) >> 6);
    const int descender = static_cast<int>((-f->size->metrics.descender + 63) >> 6);
    const int lineHeight = pixels(f->size->metrics.height);

    // The characters the face has a glyph for (the others are left out).
    std::vector<int> present;
    for (int code : codes) {
        if (FT_Get_Char_Index(f, static_cast<FT_ULong>(code)) != 0) present.push_back(code);
    }
    if (present.size() < 7) throw Error("ranges", "a font needs at least 7 glyphs (its metrics live in glyphs 0 to 6)");
    if (present.size() > 4095) throw Error("ranges", "a font holds at most 4095 glyphs");
    const auto noRoom = [&] {
        return Error("size", "the glyphs at " + std::to_string(font.pixelSize) + " pixels do not fit a sheet " +
                                 std::to_string(font.sheetWidth) + " wide and at most " +
                                 std::to_string(kMaxSheetHeight) + " high");
    };

    struct Glyph {
        int code, left, top, advance;
        Raster ink;
    };
    std::vector<Glyph> glyphs;
    int64_t area = 0;  // of the glyphs with their one-pixel gaps: no more than the largest sheet holds
    for (int code : present) {
        const FT_UInt index = FT_Get_Char_Index(f, static_cast<FT_ULong>(code));
        if (FT_Load_Glyph(f, index, kLoadFlags) != 0 || FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) != 0) {
            throw Error("ranges", "FreeType cannot render character " + std::to_string(code));
        }
        const FT_Bitmap& bitmap = f->glyph->bitmap;
        const bool ink = bitmap.width > 0 && bitmap.rows > 0;
        if (ink) area += (int64_t{bitmap.width} + 1) * (int64_t{bitmap.rows} + 1);
        if (area > int64_t{font.sheetWidth + 1} * (kMaxSheetHeight + 1)) throw noRoom();
        Glyph g{code, ink ? f->glyph->bitmap_left : 0, ink ? ascender - f->glyph->bitmap_top : 0,
                pixels(f->glyph->advance.x), Raster(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows))};
        for (int y = 0; y < g.ink.height; ++y) {
            for (int x = 0; x < g.ink.width; ++x) {
                const uint32_t coverage = bitmap.buffer[y * bitmap.pitch + x];
                g.ink.at(x, y) = coverage << 24 | (font.colour & 0xFFFFFF);
            }
        }
        if (ink && font.outline) {
            // One pixel more on every side: the rim takes the strongest
            // coverage around each pixel, and the ink is laid over it.
            Raster rimmed(g.ink.width + 2, g.ink.height + 2);
            for (int y = 0; y < rimmed.height; ++y) {
                for (int x = 0; x < rimmed.width; ++x) {
                    uint32_t strongest = 0;
                    for (int dy = -1; dy <= 1; ++dy) {
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int sx = x - 1 + dx, sy = y - 1 + dy;
                            if (sx < 0 || sy < 0 || sx >= g.ink.width || sy >= g.ink.height) continue;
                            strongest = std::max(strongest, g.ink.at(sx, sy) >> 24);
                        }
                    }
                    rimmed.at(x, y) = strongest << 24 | (*font.outline & 0xFFFFFF);
                }
            }
            for (int y = 0; y < g.ink.height; ++y) {
                for (int x = 0; x < g.ink.width; ++x) plot(rimmed, x + 1, y + 1, g.ink.at(x, y), Blend::Over);
            }
            g.ink = std::move(rimmed);
            g.left -= 1;
            g.top -= 1;
            area += int64_t{g.ink.width} + g.ink.height;
        }
        glyphs.push_back(std::move(g));
    }

    int missing = 0;
    if (font.missingAdvance) {
        checkRange(*font.missingAdvance, 0, 32767, "missingAdvance");
        missing = *font.missingAdvance;
    } else if (FT_Load_Char(f, ' ', kLoadFlags) == 0) {
        missing = pixels(f->glyph->advance.x);
    }
    const int metrics[7] = {ascender + descender,       ascender, missing, 255, lineHeight, font.extra,
                            font.alignByAdvance ? 1 : 0};

    // Shelf packing in code order, one pixel apart.
    FontResult result;
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
    if (y + shelf > kMaxSheetHeight) throw noRoom();
    result.sheet = Raster(font.sheetWidth, std::max(1, y + shelf));
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

}  // namespace assetgen

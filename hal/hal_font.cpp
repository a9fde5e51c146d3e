// Platform layer: native fonts over FreeType.
#include "hal_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "hal_system.h"

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

struct Glyph {
    int32_t left = 0, top = 0;  // bitmap position from the pen on the baseline
    int32_t width = 0, height = 0;
    int32_t advance = 0;
    std::vector<uint8_t> coverage;  // width x height
};

}  // namespace

struct HAL_Font {
    FT_Face face = nullptr;
    bool synthBold = false;
    bool underlined = false;
    int32_t height = 0;
    int32_t baseline = 0;
    int32_t underlineOffset = 0;  // below the baseline
    int32_t underlineThickness = 1;
    Glyph* latin[256] = {};  // the first 256 code points, by index
    // Every code point asked for; null for one FreeType failed to render,
    // which is not tried again.
    std::unordered_map<uint32_t, std::unique_ptr<Glyph>> glyphs;
};

namespace {

// Everything below runs under this lock: FreeType faces are not shared
// between threads.
std::mutex g_fontLock;
FT_Library g_library = nullptr;
bool g_libraryFailed = false;
// face index (0 sans, 1 mono) x style (0..7) x size index (0 small, 1 medium, 2 large)
HAL_Font* g_fonts[2][8][3] = {};
bool (*g_renderHook)(uint32_t codePoint) = nullptr;

bool startLibrary() {
    if (g_library) return true;
    if (g_libraryFailed) return false;
    if (FT_Init_FreeType(&g_library) != 0) {
        g_library = nullptr;
        g_libraryFailed = true;
        return false;
    }
    return true;
}

void freeFont(HAL_Font* font) {
    if (font == nullptr) return;
    if (font->face) FT_Done_Face(font->face);
    delete font;
}

int32_t round26(FT_Pos v) { return int32_t((v + 32) >> 6); }

HAL_Font* loadFont(int faceIndex, int style, int sizeIndex) {
    static const int32_t kPixelSizes[3] = {18, 22, 28};
    static const char* kFiles[2][4] = {
        {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"},
        {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
         "DejaVuSansMono-BoldOblique.ttf"}};
    bool bold = (style & 1) != 0, italic = (style & 2) != 0;
    auto* font = new (std::nothrow) HAL_Font;
    if (font == nullptr) return nullptr;
    std::string folder = kFontFolder;
    // The styled face; else the regular one, emboldened or slanted by hand.
    std::string path = folder + kFiles[faceIndex][(bold ? 1 : 0) + (italic ? 2 : 0)];
    bool synthItalic = false;
    if (FT_New_Face(g_library, path.c_str(), 0, &font->face) != 0) {
        font->face = nullptr;
        path = folder + kFiles[faceIndex][0];
        if (FT_New_Face(g_library, path.c_str(), 0, &font->face) != 0) {
            font->face = nullptr;
            freeFont(font);
            return nullptr;
        }
        font->synthBold = bold;
        synthItalic = italic;
    }
    FT_Face face = font->face;
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(kPixelSizes[sizeIndex])) != 0) {
        freeFont(font);
        return nullptr;
    }
    if (synthItalic) {
        FT_Matrix shear = {0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
        FT_Set_Transform(face, &shear, nullptr);
    }
    const FT_Size_Metrics& m = face->size->metrics;
    int32_t ascender = round26(m.ascender);
    int32_t descender = round26(-m.descender);
    font->baseline = ascender;
    font->height = ascender + descender;
    font->underlined = (style & 4) != 0;
    FT_Fixed scale = m.y_scale;
    font->underlineOffset = std::max(1, round26(-FT_MulFix(face->underline_position, scale)));
    font->underlineThickness = std::max(1, round26(FT_MulFix(face->underline_thickness, scale)));
    return font;
}

// The glyph of a code point, rendered and cached on first use; null when
// FreeType cannot render it at all (remembered too).
const Glyph* glyphOf(HAL_Font* font, uint32_t codePoint) {
    if (codePoint < 256 && font->latin[codePoint]) return font->latin[codePoint];
    auto found = font->glyphs.find(codePoint);
    if (found != font->glyphs.end()) return found->second.get();
    FT_Face face = font->face;
    bool rendered =
        !(g_renderHook != nullptr && g_renderHook(codePoint)) && FT_Load_Char(face, codePoint, FT_LOAD_DEFAULT) == 0;
    if (rendered && font->synthBold) FT_GlyphSlot_Embolden(face->glyph);
    rendered = rendered && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    if (!rendered) {
        font->glyphs.emplace(codePoint, nullptr);
        return nullptr;
    }
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    auto glyph = std::make_unique<Glyph>();
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->advance = round26(slot->advance.x);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.width > 0 && bitmap.rows > 0) {
        glyph->width = int32_t(bitmap.width);
        glyph->height = int32_t(bitmap.rows);
        glyph->coverage.resize(size_t(bitmap.width) * bitmap.rows);
        int pitch = bitmap.pitch;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* in = pitch >= 0 ? bitmap.buffer + size_t(row) * pitch
                                                 : bitmap.buffer + size_t(bitmap.rows - 1 - row) * -pitch;
            std::memcpy(glyph->coverage.data() + size_t(row) * bitmap.width, in, bitmap.width);
        }
    }
    Glyph* kept = glyph.get();
    if (codePoint < 256) {
        font->latin[codePoint] = kept;
    }
    font->glyphs.emplace(codePoint, std::move(glyph));
    return kept;
}

// Walks the UTF-16 characters as code points (an unpaired surrogate is
// U+FFFD).
template <class Visit>
void forEachCodePoint(const char16_t* chars, int32_t count, const Visit& visit) {
    for (int32_t i = 0; i < count; ++i) {
        uint32_t c = chars[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && chars[i + 1] >= 0xDC00 && chars[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(chars[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        visit(c);
    }
}

int64_t measure(HAL_Font* font, const char16_t* chars, int32_t count) {
    int64_t width = 0;
    forEachCodePoint(chars, count, [&](uint32_t c) {
        if (const Glyph* g = glyphOf(font, c)) width += g->advance;
    });
    return width;
}

}  // namespace

void HAL_setGlyphRenderHook(bool (*hook)(uint32_t codePoint)) {
    std::lock_guard<std::mutex> guard(g_fontLock);
    g_renderHook = hook;
}

bool HAL_initFontCache() {
    std::lock_guard<std::mutex> guard(g_fontLock);
    return startLibrary();
}

void HAL_releaseFontCache() {
    std::lock_guard<std::mutex> guard(g_fontLock);
    for (auto& face : g_fonts) {
        for (auto& style : face) {
            for (HAL_Font*& font : style) {
                freeFont(font);
                font = nullptr;
            }
        }
    }
    if (g_library) FT_Done_FreeType(g_library);
    g_library = nullptr;
    g_libraryFailed = false;
}

int HAL_getFont(HAL_Font** font, int32_t face, int32_t style, int32_t size) {
    if (font == nullptr) return HAL_BAD_ARGUMENT;
    *font = nullptr;
    int faceIndex = face == 32 ? 1 : 0;
    int sizeIndex = size == 8 ? 0 : size == 16 ? 2 : 1;
    if ((face != 0 && face != 32 && face != 64) || (style & ~7) != 0 || (size != 0 && size != 8 && size != 16)) {
        return HAL_BAD_ARGUMENT;
    }
    std::lock_guard<std::mutex> guard(g_fontLock);
    if (!startLibrary()) return HAL_BAD_ARGUMENT;
    HAL_Font*& slot = g_fonts[faceIndex][style][sizeIndex];
    if (slot == nullptr) slot = loadFont(faceIndex, style, sizeIndex);
    if (slot == nullptr) return HAL_BAD_ARGUMENT;
    *font = slot;
    return HAL_OK;
}

int32_t HAL_getFontHeight(HAL_Font* font) { return font ? font->height : 0; }

int32_t HAL_getFontBaseline(HAL_Font* font) { return font ? font->baseline : 0; }

int32_t HAL_getCharsWidth(HAL_Font* font, const char16_t* characters, int32_t count) {
    if (font == nullptr || characters == nullptr || count <= 0) return 0;
    std::lock_guard<std::mutex> guard(g_fontLock);
    int64_t width = measure(font, characters, count);
    return int32_t(std::min<int64_t>(width, INT32_MAX));
}

namespace hal {

HAL_Font* defaultFont() {
    HAL_Font* font = nullptr;
    HAL_getFont(&font, 0, 0, 0);
    return font;
}

void drawText(const Raster& r, HAL_Font* font, const char16_t* characters, int32_t count, int32_t x, int32_t y) {
    if (font == nullptr || characters == nullptr || count <= 0 || r.clip.empty()) return;
    std::lock_guard<std::mutex> guard(g_fontLock);
    int64_t penX = x;
    int64_t baseY = int64_t(y) + font->baseline;
    forEachCodePoint(characters, count, [&](uint32_t c) {
        const Glyph* g = glyphOf(font, c);
        if (g == nullptr) return;
        int64_t gx = penX + g->left, gy = baseY - g->top;
        // Glyphs wholly outside the clip (or beyond 32-bit positions) are skipped.
        if (g->width > 0 && gx < r.clip.x2 && gx + g->width > r.clip.x1 && gy < r.clip.y2 &&
            gy + g->height > r.clip.y1) {
            drawMask(r, g->coverage.data(), g->width, g->width, g->height, int32_t(gx), int32_t(gy));
        }
        penX += g->advance;
    });
    if (font->underlined && penX > x) {
        int64_t width = std::min<int64_t>(penX - x, INT32_MAX);
        int64_t top = baseY + font->underlineOffset;
        if (top <= INT32_MAX) fillRect(r, x, int32_t(top), int32_t(width), font->underlineThickness);
    }
}

}  // namespace hal

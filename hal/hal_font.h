// Platform layer: native fonts (FreeType over the DejaVu faces) with a glyph
// cache.
//
// The MIDP faces map onto DejaVu Sans (system, proportional) and DejaVu Sans
// Mono (monospace); bold and italic use the bold and oblique faces when they
// are installed, else the regular face emboldened or slanted. Sizes suit a
// 480 x 640 screen: small 18, medium 22 and large 28 pixels to the em.
// Native fonts belong to the font cache and live until it is released.
#pragma once

#include <cstdint>

#include "hal_surface.h"

struct HAL_Font;

// Sets up the font cache (also done on first use); false when FreeType
// cannot start.
bool HAL_initFontCache();
// Frees every native font; fonts handed out before are invalid afterwards.
void HAL_releaseFontCache();
// Tests: called with each code point before FreeType is asked to render its
// glyph (a code point whose glyph is cached is not asked for again); true
// makes the rendering fail. Null removes the hook.
void HAL_setGlyphRenderHook(bool (*hook)(uint32_t codePoint));

// The native font for the MIDP face (0 system, 32 monospace, 64
// proportional), style bits (1 bold, 2 italic, 4 underlined) and size (0
// medium, 8 small, 16 large). HAL_OK, or HAL_BAD_ARGUMENT for a null out,
// attributes outside those values or when no font file can be loaded.
int HAL_getFont(HAL_Font** font, int32_t face, int32_t style, int32_t size);
// Line height and the baseline's distance from the top, in pixels; 0 for null.
int32_t HAL_getFontHeight(HAL_Font* font);
int32_t HAL_getFontBaseline(HAL_Font* font);
// The advance width of the UTF-16 characters in pixels (surrogate pairs are
// one character; no kerning); 0 for a null font or characters.
int32_t HAL_getCharsWidth(HAL_Font* font, const char16_t* characters, int32_t count);

namespace hal {
// The font of a new graphics context (system, plain, medium); null when no
// font can be loaded.
HAL_Font* defaultFont();
// Draws the characters with the top-left corner of the line at (x, y).
void drawText(const Raster& r, HAL_Font* font, const char16_t* characters, int32_t count, int32_t x, int32_t y);
}  // namespace hal

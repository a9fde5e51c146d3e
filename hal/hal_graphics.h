// Platform layer: native graphics contexts, the renderer's entry points.
//
// A context draws into a mutable image or a screen buffer (holding a
// reference to it) with a colour (RGB565 plus alpha), a stroke style, a
// font, a blending mode and a clip rectangle, all in absolute coordinates
// of the target: the context knows no translation. A new context starts
// opaque black, solid, with the default font, blending mode 0 and the whole
// target as its clip. Every drawing operation does nothing for a null
// context.
#pragma once

#include <cstdint>

struct HAL_Graphics;
struct HAL_Image;
struct HAL_ScreenBuffer;
struct HAL_Font;

// HAL_BAD_ARGUMENT when either argument is null; else a new context, HAL_OK
// (HAL_OUT_OF_MEMORY when memory runs out).
int HAL_createGraphicsWithImage(HAL_Graphics** context, HAL_Image* image);
int HAL_createGraphicsWithScreenBuffer(HAL_Graphics** context, HAL_ScreenBuffer* buffer);
// HAL_BAD_ARGUMENT for null; else the context is freed (and its target
// reference given back), HAL_OK.
int HAL_deleteGraphics(HAL_Graphics* context);

// The drawing colour as 0xAARRGGBB.
void HAL_setColor(HAL_Graphics* context, uint32_t argb);
// The colour as the target stores it (RGB565 widened back to 0x00RRGGBB);
// -1 for a null context.
int32_t HAL_getDisplayColor(HAL_Graphics* context, int32_t rgb);
void HAL_setFont(HAL_Graphics* context, HAL_Font* font);
// 0 solid, 1 dotted.
void HAL_setStrokeStyle(HAL_Graphics* context, int32_t style);
// 0 blends drawing with what lies below; 1 replaces the target's colour and
// alpha with what is drawn (text still blends).
void HAL_setBlendingMode(HAL_Graphics* context, int32_t mode);

// Replaces the clip with the rectangle (limited to the target); a width or
// height of 0 or less empties it.
void HAL_setClip(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height);
// Intersects the clip with the rectangle.
void HAL_clipRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height);

void HAL_drawLine(HAL_Graphics* context, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void HAL_fillRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height);
void HAL_drawRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height);
void HAL_drawRoundRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                       int32_t arcHeight);
void HAL_fillRoundRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                       int32_t arcHeight);
void HAL_fillArc(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle,
                 int32_t arcAngle);
void HAL_drawArc(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle,
                 int32_t arcAngle);
void HAL_fillTriangle(HAL_Graphics* context, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3);
// Shaded from colour A to colour B (their RGB parts, drawn with the
// context's alpha), along the width when horizontal, else the height.
void HAL_fillGradientRect(HAL_Graphics* context, int32_t x, int32_t y, int32_t width, int32_t height, int32_t colorA,
                          int32_t colorB, int32_t horizontal);
// The UTF-16 characters in the context's font and colour, the top-left
// corner of the line at (x, y).
void HAL_drawString(HAL_Graphics* context, const char16_t* characters, int32_t count, int32_t x, int32_t y);

// The whole image with its top-left corner at (x, y).
void HAL_drawImage(HAL_Graphics* context, HAL_Image* image, int32_t x, int32_t y);
// The region under the MIDP transform (low three bits) with the transformed
// region's top-left corner at (xDest, yDest). A region not inside the image
// draws nothing.
void HAL_drawRegion(HAL_Graphics* context, HAL_Image* image, int32_t xSrc, int32_t ySrc, int32_t width, int32_t height,
                    int32_t transform, int32_t xDest, int32_t yDest);
void HAL_drawMutableRegion(HAL_Graphics* context, HAL_Image* image, int32_t xSrc, int32_t ySrc, int32_t width,
                           int32_t height, int32_t transform, int32_t xDest, int32_t yDest);
// ARGB values of the array data (length elements): row i of the
// width x height block starts at element offset + i x scanlength (which
// may be negative). Only the part inside the clip is read; nothing is drawn
// when the block does not lie inside the array.
void HAL_drawRGB(HAL_Graphics* context, const int32_t* data, int32_t length, int32_t offset, int32_t scanlength,
                 int32_t x, int32_t y, int32_t width, int32_t height, int32_t processAlpha);
// HAL_BAD_ARGUMENT for a null context; else copies the rectangle of the
// target (pixels and alpha unchanged, correct when source and destination
// overlap) to the destination's top-left corner within the clip, HAL_OK.
int HAL_copyArea(HAL_Graphics* context, int32_t xSrc, int32_t ySrc, int32_t width, int32_t height, int32_t xDest,
                 int32_t yDest);
// The whole screen buffer with its top-left corner at (x, y).
void HAL_drawScreenBuffer(HAL_Graphics* context, HAL_ScreenBuffer* buffer, int32_t x, int32_t y);

// Platform layer: the screen buffer, the off-screen RGB565 surface a game
// canvas draws into and flushes to the window.
#pragma once

#include <cstdint>

#include "hal_surface.h"

struct HAL_ScreenBuffer;

// 2 for a null buffer or when both outs are null; else each non-null out
// gets the buffer's width or height, 0.
int HAL_getScreenBufferSize(HAL_ScreenBuffer* buffer, int32_t* width, int32_t* height);
// 2 for null; else the buffer is released, 0. A graphics context still
// drawing into it keeps its pixels alive until the context is deleted.
int HAL_deleteScreenBuffer(HAL_ScreenBuffer* buffer);

namespace hal {
// A screen buffer of the given size that no window shows, filled with black;
// null when it cannot be made.
HAL_ScreenBuffer* createScreenBuffer(int32_t width, int32_t height);
HAL_Surface* screenSurface(HAL_ScreenBuffer* buffer);
void retainScreenBuffer(HAL_ScreenBuffer* buffer);
void releaseScreenBuffer(HAL_ScreenBuffer* buffer);
}  // namespace hal

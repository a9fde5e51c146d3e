// Platform layer: the screen buffer, the off-screen RGB565 surface a game
// canvas draws into and flushes to the window, and the canvas's input
// capabilities.
//
// Flushing is thread-aware: on the main thread a flush copies the buffer to
// the window at once; on any other thread it takes a copy of the finished
// frame under the buffer's own lock (with the runtime lock released) and
// marks it pending, and the main thread's message loop presents that copy
// (HAL_flushPendingScreenBuffer). The window therefore only ever shows
// whole frames, never one the canvas thread is still drawing.
#pragma once

#include <cstdint>

#include "hal_surface.h"

struct HAL_ScreenBuffer;
class HAL_WindowObject;

// HAL_BAD_ARGUMENT when either argument is null; HAL_OUT_OF_MEMORY (with
// *buffer null) when the buffer cannot be made; else a new black buffer of
// the peer's size, which the peer keeps as its screen buffer, and HAL_OK.
int HAL_createScreenBuffer(HAL_WindowObject* peer, HAL_ScreenBuffer** buffer);
// HAL_BAD_ARGUMENT for a null buffer or when both outs are null; else each
// non-null out gets the buffer's width or height, HAL_OK.
int HAL_getScreenBufferSize(HAL_ScreenBuffer* buffer, int32_t* width, int32_t* height);
// HAL_BAD_ARGUMENT for null; else the whole buffer is flushed (see above),
// HAL_OK.
int HAL_flushScreenBuffer(HAL_ScreenBuffer* buffer);
// HAL_BAD_ARGUMENT for null; else flushes as HAL_flushScreenBuffer (the
// whole buffer: the region is not used while flushing is thread-aware),
// HAL_OK.
int HAL_flushScreenBufferRegion(HAL_ScreenBuffer* buffer, int32_t x, int32_t y, int32_t width, int32_t height);
// HAL_BAD_ARGUMENT for null; else the buffer leaves its peer and is
// released, HAL_OK. A graphics
// context still drawing into it keeps its pixels until the context is
// deleted.
int HAL_deleteScreenBuffer(HAL_ScreenBuffer* buffer);
// Under the buffer's lock: presents a pending frame and clears the pending
// mark. True when it presented one. Called by the message loop.
bool HAL_flushPendingScreenBuffer(HAL_ScreenBuffer* buffer);

// Each non-null out gets 0 (pointer events), 0 (pointer motion events) and
// 1 (repeat events).
void HAL_getInputCapabilities(int8_t* pointerEvents, int8_t* pointerMotionEvents, int8_t* repeatEvents);

namespace hal {
// A screen buffer of the given size that no window shows, filled with black;
// null when it cannot be made.
HAL_ScreenBuffer* createScreenBuffer(int32_t width, int32_t height);
HAL_Surface* screenSurface(HAL_ScreenBuffer* buffer);
void retainScreenBuffer(HAL_ScreenBuffer* buffer);
void releaseScreenBuffer(HAL_ScreenBuffer* buffer);
// Whether a flushed frame waits for the main thread (tests).
bool screenBufferPending(HAL_ScreenBuffer* buffer);
}  // namespace hal

// Platform layer: the screen buffer.
#include "hal_screen.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

#include "hal_system.h"
#include "hal_thread.h"
#include "hal_window.h"

namespace {

// Both flush calls use the thread-aware full flush; with this off, a flush
// copies the buffer (or the region) to the window at once on any thread.
constexpr bool kThreadAwareFlush = true;

}  // namespace

struct HAL_ScreenBuffer {
    int32_t width = 0;
    int32_t height = 0;
    HAL_Surface surface;
    std::atomic<int32_t> references{1};
    HAL_WindowObject* peer = nullptr;  // the peer that keeps this buffer, until deleted
    std::mutex lock;                   // guards frame and pending
    uint16_t* frame = nullptr;         // the last finished frame, awaiting the main thread
    bool pending = false;
};

namespace {

void present(HAL_ScreenBuffer* buffer, const uint16_t* pixels) {
    HAL_presentFrame(pixels, buffer->width, buffer->height, buffer->width);
}

// Hands a finished frame to the main thread: the runtime lock is released
// while the buffer's lock is taken (lock order), then taken again.
void handOver(HAL_ScreenBuffer* buffer) {
    // Held while the runtime runs on without this thread.
    hal::retainScreenBuffer(buffer);
    int depth = HAL_releaseVMLockFully();
    {
        std::lock_guard<std::mutex> guard(buffer->lock);
        std::memcpy(buffer->frame, buffer->surface.pixels,
                    size_t(buffer->width) * size_t(buffer->height) * sizeof(uint16_t));
        buffer->pending = true;
    }
    HAL_wakeMessageLoop();
    if (depth > 0) {
        HAL_reacquireVMLock(depth);
        HAL_hostEnter();
    }
    hal::releaseScreenBuffer(buffer);
}

void flush(HAL_ScreenBuffer* buffer) {
    if (HAL_isMainThread()) {
        {
            // A frame handed over earlier is older than this one.
            std::lock_guard<std::mutex> guard(buffer->lock);
            buffer->pending = false;
        }
        present(buffer, buffer->surface.pixels);
    } else {
        handOver(buffer);
    }
}

}  // namespace

namespace hal {

HAL_ScreenBuffer* createScreenBuffer(int32_t width, int32_t height) {
    auto* buffer = new (std::nothrow) HAL_ScreenBuffer;
    if (buffer == nullptr) return nullptr;
    if (!allocSurface(buffer->surface, width, height, false)) {
        delete buffer;
        return nullptr;
    }
    size_t count = size_t(width) * size_t(height);
    buffer->frame = static_cast<uint16_t*>(HAL_malloc(count * sizeof(uint16_t)));
    if (buffer->frame == nullptr) {
        freeSurface(buffer->surface);
        delete buffer;
        return nullptr;
    }
    std::fill_n(buffer->surface.pixels, count, uint16_t(0));
    buffer->width = width;
    buffer->height = height;
    return buffer;
}

HAL_Surface* screenSurface(HAL_ScreenBuffer* buffer) { return buffer ? &buffer->surface : nullptr; }

void retainScreenBuffer(HAL_ScreenBuffer* buffer) {
    if (buffer) buffer->references.fetch_add(1, std::memory_order_relaxed);
}

void releaseScreenBuffer(HAL_ScreenBuffer* buffer) {
    if (buffer == nullptr || buffer->references.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    freeSurface(buffer->surface);
    HAL_free(buffer->frame);
    delete buffer;
}

bool screenBufferPending(HAL_ScreenBuffer* buffer) {
    std::lock_guard<std::mutex> guard(buffer->lock);
    return buffer->pending;
}

}  // namespace hal

int HAL_createScreenBuffer(HAL_WindowObject* peer, HAL_ScreenBuffer** buffer) {
    if (peer == nullptr || buffer == nullptr) return HAL_BAD_ARGUMENT;
    *buffer = hal::createScreenBuffer(peer->width(), peer->height());
    if (*buffer == nullptr) return HAL_OUT_OF_MEMORY;
    (*buffer)->peer = peer;
    peer->screenBuffer = *buffer;
    return HAL_OK;
}

int HAL_getScreenBufferSize(HAL_ScreenBuffer* buffer, int32_t* width, int32_t* height) {
    if (buffer == nullptr || (width == nullptr && height == nullptr)) return HAL_BAD_ARGUMENT;
    if (width) *width = buffer->width;
    if (height) *height = buffer->height;
    return HAL_OK;
}

int HAL_flushScreenBuffer(HAL_ScreenBuffer* buffer) {
    if (buffer == nullptr) return HAL_BAD_ARGUMENT;
    if (kThreadAwareFlush) {
        flush(buffer);
    } else {
        present(buffer, buffer->surface.pixels);
    }
    return HAL_OK;
}

int HAL_flushScreenBufferRegion(HAL_ScreenBuffer* buffer, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (buffer == nullptr) return HAL_BAD_ARGUMENT;
    if (kThreadAwareFlush) {
        flush(buffer);
    } else {
        width = std::min(width, buffer->width);
        height = std::min(height, buffer->height);
        HAL_presentFrameRect(buffer->surface.pixels, buffer->width, buffer->height, buffer->width, x, y, width, height);
    }
    return HAL_OK;
}

int HAL_deleteScreenBuffer(HAL_ScreenBuffer* buffer) {
    if (buffer == nullptr) return HAL_BAD_ARGUMENT;
    if (buffer->peer && buffer->peer->screenBuffer == buffer) buffer->peer->screenBuffer = nullptr;
    buffer->peer = nullptr;
    hal::releaseScreenBuffer(buffer);
    return HAL_OK;
}

bool HAL_flushPendingScreenBuffer(HAL_ScreenBuffer* buffer) {
    if (buffer == nullptr) return false;
    std::lock_guard<std::mutex> guard(buffer->lock);
    if (!buffer->pending) return false;
    buffer->pending = false;
    present(buffer, buffer->frame);
    return true;
}

void HAL_getInputCapabilities(int8_t* pointerEvents, int8_t* pointerMotionEvents, int8_t* repeatEvents) {
    if (pointerEvents) *pointerEvents = 0;
    if (pointerMotionEvents) *pointerMotionEvents = 0;
    if (repeatEvents) *repeatEvents = 1;
}

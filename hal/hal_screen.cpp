// Platform layer: the screen buffer.
#include "hal_screen.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "hal_system.h"

struct HAL_ScreenBuffer {
    int32_t width = 0;
    int32_t height = 0;
    HAL_Surface surface;
    std::atomic<int32_t> references{1};
};

namespace hal {

HAL_ScreenBuffer* createScreenBuffer(int32_t width, int32_t height) {
    auto* buffer = new (std::nothrow) HAL_ScreenBuffer;
    if (buffer == nullptr) return nullptr;
    if (!allocSurface(buffer->surface, width, height, false)) {
        delete buffer;
        return nullptr;
    }
    std::fill_n(buffer->surface.pixels, size_t(width) * size_t(height), uint16_t(0));
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
    delete buffer;
}

}  // namespace hal

int HAL_getScreenBufferSize(HAL_ScreenBuffer* buffer, int32_t* width, int32_t* height) {
    if (buffer == nullptr || (width == nullptr && height == nullptr)) return HAL_BAD_ARGUMENT;
    if (width) *width = buffer->width;
    if (height) *height = buffer->height;
    return HAL_OK;
}

int HAL_deleteScreenBuffer(HAL_ScreenBuffer* buffer) {
    if (buffer == nullptr) return HAL_BAD_ARGUMENT;
    hal::releaseScreenBuffer(buffer);
    return HAL_OK;
}

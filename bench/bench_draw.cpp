// The renderer on a 480 x 640 screen buffer. Targets at -O2:
//   BM_FillScreenOpaque          within 2x of BM_MemsetScreen (the same bytes)
//   BM_DrawAlphaImageFullScreen  at most 0.5 ms
//   BM_DrawRegion64/<t>          at most 5 us for every transform t
//   BM_DrawString40              at most 20 us with a warm glyph cache
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "hal_font.h"
#include "hal_graphics.h"
#include "hal_image.h"
#include "hal_screen.h"

namespace {

constexpr int32_t kWidth = 480, kHeight = 640;

// A screen buffer with a context drawing into it, for one benchmark.
struct Screen {
    HAL_ScreenBuffer* buffer = hal::createScreenBuffer(kWidth, kHeight);
    HAL_Graphics* g = nullptr;
    Screen() { HAL_createGraphicsWithScreenBuffer(&g, buffer); }
    ~Screen() {
        HAL_deleteGraphics(g);
        HAL_deleteScreenBuffer(buffer);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
};

// An image whose every pixel carries its own alpha: soft-edged discs of
// varying opacity on transparent ground, as sprites and overlays have.
HAL_Image* alphaImage(int32_t w, int32_t h) {
    std::vector<int32_t> px(size_t(w) * h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            int32_t cx = x % 64 - 32, cy = y % 64 - 32;
            int32_t d = cx * cx + cy * cy;
            uint32_t a = d < 400 ? 255 : d < 900 ? uint32_t(255 - (d - 400) / 2) : 0;
            px[size_t(y) * w + x] = int32_t(a << 24 | uint32_t(x * 255 / w) << 16 | uint32_t(y * 255 / h) << 8 | 0x40);
        }
    }
    HAL_Image* image = nullptr;
    HAL_createImageWithRGB(&image, px.data(), int32_t(px.size()), w, h, 1);
    return image;
}

void BM_MemsetScreen(benchmark::State& state) {
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    for (auto _ : state) {
        std::memset(pixels.data(), 0x5A, pixels.size() * sizeof(uint16_t));
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size() * sizeof(uint16_t)));
}
BENCHMARK(BM_MemsetScreen);

void BM_FillScreenOpaque(benchmark::State& state) {
    Screen screen;
    uint32_t color = 0xFF102030;
    for (auto _ : state) {
        HAL_setColor(screen.g, color ^= 0x00010101);
        HAL_fillRect(screen.g, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 2);
}
BENCHMARK(BM_FillScreenOpaque);

void BM_DrawAlphaImageFullScreen(benchmark::State& state) {
    Screen screen;
    HAL_Image* image = alphaImage(kWidth, kHeight);
    for (auto _ : state) {
        HAL_drawImage(screen.g, image, 0, 0);
        benchmark::ClobberMemory();
    }
    HAL_deleteImage(image);
}
BENCHMARK(BM_DrawAlphaImageFullScreen)->Unit(benchmark::kMicrosecond);

void BM_DrawRegion64(benchmark::State& state) {
    Screen screen;
    HAL_Image* image = alphaImage(256, 256);
    int32_t transform = int32_t(state.range(0));
    for (auto _ : state) {
        HAL_drawRegion(screen.g, image, 32, 32, 64, 64, transform, 100, 200);
        benchmark::ClobberMemory();
    }
    HAL_deleteImage(image);
}
BENCHMARK(BM_DrawRegion64)->DenseRange(0, 7);

void BM_DrawString40(benchmark::State& state) {
    Screen screen;
    const char16_t text[] = u"The quick brown fox jumps over a lazy dog";  // 40 characters
    HAL_setColor(screen.g, 0xFFFFFFFF);
    HAL_drawString(screen.g, text, 40, 10, 300);  // warms the glyph cache
    for (auto _ : state) {
        HAL_drawString(screen.g, text, 40, 10, 300);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawString40);

}  // namespace

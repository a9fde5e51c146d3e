// The window's client area: the 480 x 640 RGB565 picture that frames are
// presented into, shown (scaled) in the desktop window on the window's
// thread, and readable by tests.
#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "ce_internal.h"
#include "ce_window.h"

namespace ce {

namespace {

std::mutex g_frameMutex;
std::vector<uint16_t> g_frame;  // kScreenWidth x kScreenHeight once a window exists
bool g_frameChanged = false;
// The rows changed since the frame was last shown: [top, bottom).
int g_changedTop = kScreenHeight;
int g_changedBottom = 0;
SDL_Window* g_target = nullptr;  // the window's thread only
std::atomic<uint64_t> g_presentCount{0};
std::atomic<int64_t> g_firstPresentNs{0};
std::atomic<uint64_t> g_showCount{0};

int64_t nowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

namespace detail {

void SetFrameTarget(void* sdlWindow) {
    g_target = static_cast<SDL_Window*>(sdlWindow);
    std::lock_guard<std::mutex> guard(g_frameMutex);
    if (g_frame.empty()) g_frame.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
    g_frameChanged = true;
    g_changedTop = 0;
    g_changedBottom = kScreenHeight;
}

bool StoreFrameRect(const uint16_t* pixels, int width, int height, int pitch, int x, int y, int rectWidth,
                    int rectHeight) {
    if (!pixels || width <= 0 || height <= 0 || pitch < width) return false;
    // Clip in 64 bits: no sum below can overflow.
    int64_t left = std::max<int64_t>(x, 0);
    int64_t top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>({static_cast<int64_t>(x) + rectWidth, width, kScreenWidth});
    int64_t bottom = std::min<int64_t>({static_cast<int64_t>(y) + rectHeight, height, kScreenHeight});
    // A rectangle wholly beside the frame (or of negative size) copies nothing.
    if (left >= right) bottom = top;
    bool changed = false;
    {
        std::lock_guard<std::mutex> guard(g_frameMutex);
        if (g_frame.empty()) g_frame.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0);
        // Only rows that differ are copied and shown again: a menu presents
        // the same picture frame after frame, and converting and sending
        // the whole window each time was most of the window thread's work.
        for (int64_t row = top; row < bottom; ++row) {
            const uint16_t* from = pixels + row * pitch + left;
            const auto to = g_frame.begin() + row * kScreenWidth + left;
            if (std::equal(from, from + (right - left), to)) continue;
            std::copy(from, from + (right - left), to);
            g_changedTop = std::min(g_changedTop, static_cast<int>(row));
            g_changedBottom = std::max(g_changedBottom, static_cast<int>(row) + 1);
            changed = true;
        }
        if (changed) g_frameChanged = true;
    }
    if (g_presentCount.fetch_add(1) == 0) g_firstPresentNs = nowNs();
    if (changed) Wake();
    return true;
}

void ShowFrame(bool force) {
    if (!g_target) return;
    std::lock_guard<std::mutex> guard(g_frameMutex);
    if (!g_frameChanged && !force) return;
    g_frameChanged = false;
    int top = force ? 0 : g_changedTop, bottom = force ? kScreenHeight : g_changedBottom;
    g_changedTop = kScreenHeight;
    g_changedBottom = 0;
    if (g_frame.empty() || top >= bottom) return;
    SDL_Surface* screen = SDL_GetWindowSurface(g_target);
    if (!screen) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(g_frame.data(), kScreenWidth, kScreenHeight, 16,
                                                             kScreenWidth * 2, SDL_PIXELFORMAT_RGB565);
    if (!source) return;
    if (screen->w == kScreenWidth && screen->h == kScreenHeight) {
        // At the screen's own size only the changed rows go to the desktop.
        SDL_Rect band{0, top, kScreenWidth, bottom - top};
        SDL_Rect to = band;
        SDL_BlitSurface(source, &band, screen, &to);
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurfaceRects(g_target, &band, 1);
        ++g_showCount;
        return;
    }
    {
        // Keep the screen's proportions; the margins stay black.
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
        SDL_Rect to{0, 0, screen->w, screen->h};
        if (static_cast<int64_t>(screen->w) * kScreenHeight > static_cast<int64_t>(screen->h) * kScreenWidth) {
            to.w = screen->h * kScreenWidth / kScreenHeight;
            to.x = (screen->w - to.w) / 2;
        } else {
            to.h = screen->w * kScreenHeight / kScreenWidth;
            to.y = (screen->h - to.h) / 2;
        }
        SDL_BlitScaled(source, nullptr, screen, &to);
    }
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(g_target);
    ++g_showCount;
}

}  // namespace detail

BOOL PresentFrameRect(HWND window, const uint16_t* pixels, int width, int height, int pitch, int x, int y,
                      int rectWidth, int rectHeight) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!detail::StoreFrameRect(pixels, width, height, pitch, x, y, rectWidth, rectHeight)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // On the window's thread the desktop window shows it at once.
    if (detail::IsWindowThread()) detail::ShowFrame(false);
    return TRUE;
}

BOOL PresentFrame(HWND window, const uint16_t* pixels, int width, int height, int pitch) {
    return PresentFrameRect(window, pixels, width, height, pitch, 0, 0, width, height);
}

namespace test {

std::vector<uint16_t> LastFrame() {
    std::lock_guard<std::mutex> guard(g_frameMutex);
    return g_frame;
}

uint64_t PresentCount() { return g_presentCount.load(); }

int64_t FirstPresentTimeNs() { return g_firstPresentNs.load(); }

uint64_t ShowCount() { return g_showCount.load(); }

int32_t ShownPixel(int x, int y) {
    SDL_Surface* screen = g_target ? SDL_GetWindowSurface(g_target) : nullptr;
    if (!screen || x < 0 || y < 0 || x >= screen->w || y >= screen->h || SDL_LockSurface(screen) != 0) return -1;
    Uint32 pixel = 0;
    const Uint8* row = static_cast<const Uint8*>(screen->pixels) + static_cast<size_t>(y) * screen->pitch;
    std::memcpy(&pixel, row + static_cast<size_t>(x) * screen->format->BytesPerPixel,
                std::min<size_t>(sizeof pixel, screen->format->BytesPerPixel));
    SDL_UnlockSurface(screen);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(pixel, screen->format, &r, &g, &b);
    return (int32_t(r) << 16) | (int32_t(g) << 8) | b;
}

namespace {

// Writes the frame through libpng; false when libpng reports an error. Kept
// apart so that nothing live across the setjmp is changed after it.
bool encodeFrame(png_structp png, png_infop info, FILE* file, const std::vector<uint16_t>& frame,
                 std::vector<png_byte>& row) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, kScreenWidth, kScreenHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            uint16_t p = frame[static_cast<size_t>(y) * kScreenWidth + x];
            unsigned r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
            row[x * 3] = static_cast<png_byte>((r << 3) | (r >> 2));
            row[x * 3 + 1] = static_cast<png_byte>((g << 2) | (g >> 4));
            row[x * 3 + 2] = static_cast<png_byte>((b << 3) | (b >> 2));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool SaveLastFrameAsPNG(const char* path) {
    std::vector<uint16_t> frame = LastFrame();
    if (frame.empty() || !path) return false;
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(kScreenWidth) * 3);
    const bool ok = png && info && encodeFrame(png, info, file, frame, row);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

}  // namespace test

}  // namespace ce

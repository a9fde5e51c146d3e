// Platform layer: the software renderer.
#include "hal_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HAL_HAVE_AVX2_KERNELS 1
#endif

#include "hal_system.h"

// The pixel kernels below run for every pixel of every frame drawn; a
// debug build (and the sanitizers' build on it) compiles them optimised
// all the same, as the tests that play the game frame by frame otherwise
// spend most of their time in them. What they check is unchanged.
#if defined(__GNUC__) && !defined(__clang__) && !defined(__OPTIMIZE__)
#pragma GCC optimize("O2")
#endif

namespace hal {

// --- rectangle kernels -----------------------------------------------------------
//
// Plain fills and plain copies of whole rectangles. SSE2 is the floor; where
// the processor has AVX2 a second build of each is chosen at start-up. One
// call covers a whole rectangle, so the choice costs one indirect call per
// rectangle, not per row.

namespace {

// A fill whose rows follow one another without a gap is one span.
inline bool oneSpan(size_t width, size_t rows, size_t pitch) { return rows == 1 || width == pitch; }

void fillSpanSse2(uint16_t* p, size_t count, uint16_t c) {
#if defined(__SSE2__)
    size_t i = 0;
    while (i < count && (reinterpret_cast<uintptr_t>(p + i) & 15) != 0) p[i++] = c;
    const __m128i v = _mm_set1_epi16(int16_t(c));
    for (; i + 32 <= count; i += 32) {
        auto* q = reinterpret_cast<__m128i*>(p + i);
        _mm_store_si128(q, v);
        _mm_store_si128(q + 1, v);
        _mm_store_si128(q + 2, v);
        _mm_store_si128(q + 3, v);
    }
    for (; i + 8 <= count; i += 8) _mm_store_si128(reinterpret_cast<__m128i*>(p + i), v);
    for (; i < count; ++i) p[i] = c;
#else
    std::fill_n(p, count, c);
#endif
}

void fillSse2(uint16_t* p, size_t width, size_t rows, size_t pitch, uint16_t c) {
    if (oneSpan(width, rows, pitch)) return fillSpanSse2(p, width * rows, c);
    for (size_t y = 0; y < rows; ++y, p += pitch) fillSpanSse2(p, width, c);
}

// One row of a copy: 16-byte moves, the last one overlapping the one before
// it instead of a loop over the remainder. Source and destination do not
// overlap.
inline void copyRowSse2(uint16_t* d, const uint16_t* s, size_t n) {
#if defined(__SSE2__)
    if (n >= 8) {
        size_t i = 0;
        for (; i + 8 <= n; i += 8)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        if (i < n)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 8),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 8)));
        return;
    }
#endif
    for (size_t i = 0; i < n; ++i) d[i] = s[i];
}

void copySse2(uint16_t* d, ptrdiff_t dPitch, const uint16_t* s, ptrdiff_t sPitch, size_t width, size_t rows) {
    for (size_t y = 0; y < rows; ++y, d += dPitch, s += sPitch) copyRowSse2(d, s, width);
}

#if defined(HAL_HAVE_AVX2_KERNELS)
__attribute__((target("avx2"))) void fillSpanAvx2(uint16_t* p, size_t count, uint16_t c) {
    size_t i = 0;
    while (i < count && (reinterpret_cast<uintptr_t>(p + i) & 31) != 0) p[i++] = c;
    const __m256i v = _mm256_set1_epi16(int16_t(c));
    for (; i + 64 <= count; i += 64) {
        auto* q = reinterpret_cast<__m256i*>(p + i);
        _mm256_store_si256(q, v);
        _mm256_store_si256(q + 1, v);
        _mm256_store_si256(q + 2, v);
        _mm256_store_si256(q + 3, v);
    }
    for (; i + 16 <= count; i += 16) _mm256_store_si256(reinterpret_cast<__m256i*>(p + i), v);
    for (; i < count; ++i) p[i] = c;
}

__attribute__((target("avx2"))) void fillAvx2(uint16_t* p, size_t width, size_t rows, size_t pitch, uint16_t c) {
    if (oneSpan(width, rows, pitch)) return fillSpanAvx2(p, width * rows, c);
    for (size_t y = 0; y < rows; ++y, p += pitch) fillSpanAvx2(p, width, c);
}

__attribute__((target("avx2"))) inline void copyRowAvx2(uint16_t* d, const uint16_t* s, size_t n) {
    if (n >= 16) {
        size_t i = 0;
        for (; i + 16 <= n; i += 16)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
        if (i < n)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + n - 16),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + n - 16)));
    } else if (n >= 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 8), b);
    } else {
        for (size_t i = 0; i < n; ++i) d[i] = s[i];
    }
}

__attribute__((target("avx2"))) void copyAvx2(uint16_t* d, ptrdiff_t dPitch, const uint16_t* s, ptrdiff_t sPitch,
                                              size_t width, size_t rows) {
    for (size_t y = 0; y < rows; ++y, d += dPitch, s += sPitch) copyRowAvx2(d, s, width);
}
#endif

RectKernels chooseKernels() {
#if defined(HAL_HAVE_AVX2_KERNELS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return {fillAvx2, copyAvx2};
#endif
    return {fillSse2, copySse2};
}

const RectKernels chosenKernels = chooseKernels();
const RectKernels floorKernels = {fillSse2, copySse2};

}  // namespace

const RectKernels& rowKernels() { return chosenKernels; }
const RectKernels& baselineKernels() { return floorKernels; }

namespace {

using i64 = int64_t;

// --- compositing ----------------------------------------------------------------

// Blends s over d with alpha 8..247 (255 would be s itself).
inline uint16_t blend565(uint16_t d, uint16_t s, uint32_t a) {
    uint32_t w = a + (a >> 7);
    uint32_t iw = 256 - w;
    uint32_t r = ((s >> 11) * w + (d >> 11) * iw) >> 8;
    uint32_t g = (((s >> 5) & 63) * w + ((d >> 5) & 63) * iw) >> 8;
    uint32_t b = ((s & 31) * w + (d & 31) * iw) >> 8;
    return uint16_t(r << 11 | g << 5 | b);
}

// Source over a partly transparent destination pixel.
inline void over(uint16_t& dc, uint8_t& da, uint16_t sc, uint32_t sa) {
    uint32_t dw = mulAlpha(da, 255 - sa);  // what still shows of the destination
    uint32_t out = sa + dw;
    if (out == 0) return;
    uint32_t half = out / 2;
    uint32_t r = ((sc >> 11) * sa + (dc >> 11) * dw + half) / out;
    uint32_t g = (((sc >> 5) & 63) * sa + ((dc >> 5) & 63) * dw + half) / out;
    uint32_t b = ((sc & 31) * sa + (dc & 31) * dw + half) / out;
    dc = uint16_t(r << 11 | g << 5 | b);
    da = uint8_t(out);
}

// One pixel of colour c with alpha a (already combined with the paint's).
inline void put(const HAL_Surface& s, size_t i, uint16_t c, uint32_t a, int32_t mode) {
    if (mode == 1) {
        s.pixels[i] = c;
        if (s.alpha) s.alpha[i] = uint8_t(a);
        return;
    }
    if (a < 8) return;
    if (a >= 248) {
        s.pixels[i] = c;
        if (s.alpha) s.alpha[i] = 255;
        return;
    }
    if (!s.alpha || s.alpha[i] == 255) {
        s.pixels[i] = blend565(s.pixels[i], c, a);
    } else if (s.alpha[i] == 0) {
        s.pixels[i] = c;
        s.alpha[i] = uint8_t(a);
    } else {
        over(s.pixels[i], s.alpha[i], c, a);
    }
}

// Divisions rounding toward minus and plus infinity (d > 0).
template <class T>
T floorDiv(T n, T d) {
    T q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}
template <class T>
T ceilDiv(T n, T d) {
    T q = n / d;
    return (n % d != 0 && n > 0) ? q + 1 : q;
}

inline size_t indexOf(const HAL_Surface& s, i64 x, i64 y) { return size_t(y) * size_t(s.width) + size_t(x); }

inline void plot(const Raster& r, i64 x, i64 y) {
    if (x < r.clip.x1 || x >= r.clip.x2 || y < r.clip.y1 || y >= r.clip.y2) return;
    put(*r.surface, indexOf(*r.surface, x, y), r.paint.color, r.paint.alpha, r.paint.mode);
}

// Pixels x1 <= x < x2 of row y, clipped.
void hspan(const Raster& r, i64 y, i64 x1, i64 x2) {
    if (y < r.clip.y1 || y >= r.clip.y2) return;
    x1 = std::max<i64>(x1, r.clip.x1);
    x2 = std::min<i64>(x2, r.clip.x2);
    if (x1 >= x2) return;
    size_t i = indexOf(*r.surface, x1, y);
    fillRow(r.surface->pixels + i, r.surface->alpha ? r.surface->alpha + i : nullptr, int32_t(x2 - x1), r.paint);
}

// Pixels y1 <= y < y2 of column x, clipped.
void vspan(const Raster& r, i64 x, i64 y1, i64 y2) {
    if (x < r.clip.x1 || x >= r.clip.x2) return;
    y1 = std::max<i64>(y1, r.clip.y1);
    y2 = std::min<i64>(y2, r.clip.y2);
    for (i64 y = y1; y < y2; ++y)
        put(*r.surface, indexOf(*r.surface, x, y), r.paint.color, r.paint.alpha, r.paint.mode);
}

// Every other pixel of a row or column, counted from `phase`.
void dottedHSpan(const Raster& r, i64 y, i64 x1, i64 x2, i64 phase) {
    if (y < r.clip.y1 || y >= r.clip.y2) return;
    x1 = std::max<i64>(x1, r.clip.x1);
    x2 = std::min<i64>(x2, r.clip.x2);
    if ((x1 - phase) & 1) ++x1;
    for (i64 x = x1; x < x2; x += 2)
        put(*r.surface, indexOf(*r.surface, x, y), r.paint.color, r.paint.alpha, r.paint.mode);
}

void dottedVSpan(const Raster& r, i64 x, i64 y1, i64 y2, i64 phase) {
    if (x < r.clip.x1 || x >= r.clip.x2) return;
    y1 = std::max<i64>(y1, r.clip.y1);
    y2 = std::min<i64>(y2, r.clip.y2);
    if ((y1 - phase) & 1) ++y1;
    for (i64 y = y1; y < y2; y += 2)
        put(*r.surface, indexOf(*r.surface, x, y), r.paint.color, r.paint.alpha, r.paint.mode);
}

// The dotted pattern of curved outlines: half the pixels in every direction.
inline bool dotAt(i64 x, i64 y) { return ((x + 2 * y) & 3) < 2; }

// count copies of c from p on.
void fill16(uint16_t* p, int32_t count, uint16_t c) { rowKernels().fill(p, size_t(count), 1, size_t(count), c); }

// --- curves -----------------------------------------------------------------------

struct Ellipse {
    double cx, cy, rx, ry;
};

// Pixels of row y whose centres lie inside the ellipse: [x1, x2).
bool ellipseRow(const Ellipse& e, i64 y, i64& x1, i64& x2) {
    if (e.rx <= 0 || e.ry <= 0) return false;
    double t = (double(y) + 0.5 - e.cy) / e.ry;
    double q = 1.0 - t * t;
    if (q < 0) return false;
    double hw = e.rx * std::sqrt(q);
    x1 = i64(std::ceil(e.cx - hw - 0.5));
    x2 = i64(std::floor(e.cx + hw - 0.5)) + 1;
    return x1 < x2;
}

// The sector of an arc; every pixel is inside when full.
struct Sector {
    bool full = true;
    bool none = false;
    double start = 0, extent = 360;
    Ellipse e{};

    Sector(const Ellipse& ellipse, int32_t startAngle, int32_t arcAngle) : e(ellipse) {
        i64 s = startAngle, a = arcAngle;
        if (a == 0) {
            none = true;
            return;
        }
        if (a >= 360 || a <= -360) return;
        if (a < 0) {
            s += a;
            a = -a;
        }
        full = false;
        start = double(((s % 360) + 360) % 360);
        extent = double(a);
    }

    bool contains(i64 x, i64 y) const {
        if (full) return true;
        double nx = (double(x) + 0.5 - e.cx) / e.rx;
        double ny = -(double(y) + 0.5 - e.cy) / e.ry;
        double deg = std::atan2(ny, nx) * (180.0 / 3.14159265358979323846);
        if (deg < 0) deg += 360.0;
        double d = deg - start;
        if (d < 0) d += 360.0;
        return d <= extent;
    }
};

// Fills the pixels of a row span that a sector holds.
void sectorSpan(const Raster& r, i64 y, i64 x1, i64 x2, const Sector& sector, bool dotted) {
    if (sector.full && !dotted) {
        hspan(r, y, x1, x2);
        return;
    }
    if (y < r.clip.y1 || y >= r.clip.y2) return;
    x1 = std::max<i64>(x1, r.clip.x1);
    x2 = std::min<i64>(x2, r.clip.x2);
    for (i64 x = x1; x < x2; ++x) {
        if (dotted && !dotAt(x, y)) continue;
        if (sector.contains(x, y))
            put(*r.surface, indexOf(*r.surface, x, y), r.paint.color, r.paint.alpha, r.paint.mode);
    }
}

// A shape given as one span of pixels per row: rowSpan(y, x1, x2) -> bool.
template <class RowSpan>
void fillShape(const Raster& r, i64 top, i64 bottom, const RowSpan& rowSpan, const Sector& sector) {
    i64 y1 = std::max<i64>(top, r.clip.y1), y2 = std::min<i64>(bottom, r.clip.y2);
    for (i64 y = y1; y < y2; ++y) {
        i64 a, b;
        if (rowSpan(y, a, b)) sectorSpan(r, y, a, b, sector, false);
    }
}

// The outline of such a shape: its pixels that have a neighbour (left,
// right, above or below) outside it.
template <class RowSpan>
void outlineShape(const Raster& r, i64 top, i64 bottom, const RowSpan& rowSpan, const Sector& sector, bool dotted) {
    i64 y1 = std::max<i64>(top, r.clip.y1), y2 = std::min<i64>(bottom, r.clip.y2);
    if (y1 >= y2) return;
    struct Span {
        bool inside = false;
        i64 a = 0, b = 0;
    };
    auto spanOf = [&](i64 y) {
        Span s;
        if (y >= top && y < bottom) s.inside = rowSpan(y, s.a, s.b);
        if (!s.inside) s.a = s.b = 0;
        return s;
    };
    // Every row's span is worked out once, as it moves from below to here
    // to above.
    Span up = spanOf(y1 - 1), here = spanOf(y1);
    for (i64 y = y1; y < y2; ++y) {
        Span down = spanOf(y + 1);
        if (here.inside) {
            // The inside pixels: not at the ends, and in the rows above and below.
            i64 ia = here.a + 1, ib = here.b - 1;
            if (up.inside && down.inside) {
                ia = std::max({ia, up.a, down.a});
                ib = std::min({ib, up.b, down.b});
            } else {
                ib = ia;  // a top or bottom row is outline throughout
            }
            if (ia >= ib) {
                sectorSpan(r, y, here.a, here.b, sector, dotted);
            } else {
                sectorSpan(r, y, here.a, ia, sector, dotted);
                sectorSpan(r, y, ib, here.b, sector, dotted);
            }
        }
        up = here;
        here = down;
    }
}

// A rectangle whose corners are quarters of an arcWidth x arcHeight ellipse.
struct RoundRect {
    i64 x, y, w, h, aw, ah;
    Ellipse top, bottom;

    RoundRect(i64 x_, i64 y_, i64 w_, i64 h_, i64 aw_, i64 ah_)
        : x(x_), y(y_), w(w_), h(h_), aw(std::clamp<i64>(aw_, 0, w_)), ah(std::clamp<i64>(ah_, 0, h_)) {
        top = {double(x) + double(aw) / 2, double(y) + double(ah) / 2, double(aw) / 2, double(ah) / 2};
        bottom = top;
        bottom.cy = double(y + h) - double(ah) / 2;
    }

    bool operator()(i64 row, i64& a, i64& b) const {
        i64 r = row - y;
        const Ellipse* e = nullptr;
        if (2 * r + 1 < ah) {
            e = &top;
        } else if (2 * (h - 1 - r) + 1 < ah) {
            e = &bottom;
        }
        if (e == nullptr) {
            a = x;
            b = x + w;
            return w > 0;
        }
        if (!ellipseRow(*e, row, a, b)) return false;
        b += w - aw;
        return true;
    }
};

// --- images ---------------------------------------------------------------------------

// Where the transformed region's pixel (u, v) comes from:
// source index = base + u * stepU + v * stepV.
struct Walk {
    i64 base, stepU, stepV;
};

Walk walkFor(const HAL_Surface& s, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t transform) {
    // Source column a and row b as a0 + au*u + av*v and b0 + bu*u + bv*v.
    i64 a0 = 0, au = 0, av = 0, b0 = 0, bu = 0, bv = 0;
    switch (transform & 7) {
        case 0:
            au = 1;
            bv = 1;
            break;  // none
        case 1:
            au = 1;
            b0 = h - 1;
            bv = -1;
            break;  // mirror, rotated 180
        case 2:
            a0 = w - 1;
            au = -1;
            bv = 1;
            break;  // mirror
        case 3:
            a0 = w - 1;
            au = -1;
            b0 = h - 1;
            bv = -1;
            break;  // rotated 180
        case 4:
            av = 1;
            bu = 1;
            break;  // mirror, rotated 270
        case 5:
            av = 1;
            b0 = h - 1;
            bu = -1;
            break;  // rotated 90
        case 6:
            a0 = w - 1;
            av = -1;
            bu = 1;
            break;  // rotated 270
        default:
            a0 = w - 1;
            av = -1;
            b0 = h - 1;
            bu = -1;
            break;  // mirror, rotated 90
    }
    i64 stride = s.width;
    return {(sy + b0) * stride + sx + a0, au + bu * stride, av + bv * stride};
}

}  // namespace

// --- surfaces -----------------------------------------------------------------------------

bool allocSurface(HAL_Surface& surface, int32_t width, int32_t height, bool withAlpha) {
    surface = HAL_Surface{};
    if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return false;
    i64 count = i64(width) * height;
    if (count > kMaxSurfacePixels) return false;
    auto* pixels = static_cast<uint16_t*>(HAL_malloc(size_t(count) * sizeof(uint16_t)));
    if (pixels == nullptr) return false;
    uint8_t* alpha = nullptr;
    if (withAlpha) {
        alpha = static_cast<uint8_t*>(HAL_malloc(size_t(count)));
        if (alpha == nullptr) {
            HAL_free(pixels);
            return false;
        }
        std::memset(alpha, 0, size_t(count));
    }
    surface.width = width;
    surface.height = height;
    surface.pixels = pixels;
    surface.alpha = alpha;
    return true;
}

bool addAlphaPlane(HAL_Surface& surface) {
    if (surface.alpha) return true;
    size_t count = size_t(surface.width) * size_t(surface.height);
    auto* alpha = static_cast<uint8_t*>(HAL_malloc(count ? count : 1));
    if (alpha == nullptr) return false;
    std::memset(alpha, 255, count);
    surface.alpha = alpha;
    return true;
}

void freeSurface(HAL_Surface& surface) {
    HAL_free(surface.pixels);
    HAL_free(surface.alpha);
    surface = HAL_Surface{};
}

// --- row kernels ---------------------------------------------------------------------------

void fillRow(uint16_t* pixels, uint8_t* alpha, int32_t count, const Paint& paint) {
    if (count <= 0) return;
    uint16_t c = paint.color;
    uint32_t a = paint.alpha;
    if (paint.mode == 1) {
        fill16(pixels, count, c);
        if (alpha) std::memset(alpha, int(a), size_t(count));
        return;
    }
    if (a < 8) return;
    if (a >= 248) {
        fill16(pixels, count, c);
        if (alpha) std::memset(alpha, 255, size_t(count));
        return;
    }
    if (alpha) {
        for (int32_t i = 0; i < count; ++i) {
            if (alpha[i] == 255) {
                pixels[i] = blend565(pixels[i], c, a);
            } else if (alpha[i] == 0) {
                pixels[i] = c;
                alpha[i] = uint8_t(a);
            } else {
                over(pixels[i], alpha[i], c, a);
            }
        }
        return;
    }
    uint32_t w = a + (a >> 7), iw = 256 - w;
    uint32_t sr = (c >> 11) * w, sg = ((c >> 5) & 63) * w, sb = (c & 31) * w;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t d = pixels[i];
        uint32_t r = (sr + (d >> 11) * iw) >> 8;
        uint32_t g = (sg + ((d >> 5) & 63) * iw) >> 8;
        uint32_t b = (sb + (d & 31) * iw) >> 8;
        pixels[i] = uint16_t(r << 11 | g << 5 | b);
    }
}

#if defined(__SSE2__)
namespace {

// Eight pixels s over d with their alphas a in 16-bit lanes, each channel in
// 16-bit lanes: weights 0 (alpha below 8), 256 (from 248) or
// alpha + alpha / 128 in between, as blend565.
inline __m128i blend8(__m128i s, __m128i d, __m128i a) {
    const __m128i eight = _mm_set1_epi16(8), top = _mm_set1_epi16(247), full = _mm_set1_epi16(256);
    const __m128i mask5 = _mm_set1_epi16(31), mask6 = _mm_set1_epi16(63);
    __m128i w = _mm_add_epi16(a, _mm_srli_epi16(a, 7));
    w = _mm_andnot_si128(_mm_cmpgt_epi16(eight, a), w);
    __m128i opaque = _mm_cmpgt_epi16(a, top);
    w = _mm_or_si128(_mm_and_si128(opaque, full), _mm_andnot_si128(opaque, w));
    __m128i iw = _mm_sub_epi16(full, w);
    __m128i r = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 11), w), _mm_mullo_epi16(_mm_srli_epi16(d, 11), iw)), 8);
    __m128i g = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(s, 5), mask6), w),
                                             _mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(d, 5), mask6), iw)),
                               8);
    __m128i b = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, mask5), w), _mm_mullo_epi16(_mm_and_si128(d, mask5), iw)), 8);
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, 11), _mm_slli_epi16(g, 5)), b);
}

}  // namespace
#endif

void blendRowAlpha(uint16_t* dst, const uint16_t* src, const uint8_t* srcAlpha, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
        __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(srcAlpha + i)), zero);
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), blend8(s, d, a));
    }
#endif
    for (; i < count; ++i) {
        uint32_t a = srcAlpha[i];
        if (a < 8) continue;
        if (a >= 248) {
            dst[i] = src[i];
            continue;
        }
        dst[i] = blend565(dst[i], src[i], a);
    }
}

void blendStridedAlpha(uint16_t* dst, const uint16_t* src, const uint8_t* srcAlpha, ptrdiff_t step, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= count; i += 8, src += 8 * step, srcAlpha += 8 * step) {
        __m128i s = _mm_setr_epi16(int16_t(src[0]), int16_t(src[step]), int16_t(src[2 * step]), int16_t(src[3 * step]),
                                   int16_t(src[4 * step]), int16_t(src[5 * step]), int16_t(src[6 * step]),
                                   int16_t(src[7 * step]));
        __m128i a = _mm_setr_epi16(srcAlpha[0], srcAlpha[step], srcAlpha[2 * step], srcAlpha[3 * step],
                                   srcAlpha[4 * step], srcAlpha[5 * step], srcAlpha[6 * step], srcAlpha[7 * step]);
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), blend8(s, d, a));
    }
#endif
    for (; i < count; ++i, src += step, srcAlpha += step) {
        uint32_t a = *srcAlpha;
        if (a < 8) continue;
        dst[i] = a >= 248 ? *src : blend565(dst[i], *src, a);
    }
}

// --- shapes ------------------------------------------------------------------------------

void fillRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    i64 y1 = std::max<i64>(y, r.clip.y1), y2 = std::min<i64>(i64(y) + height, r.clip.y2);
    const Paint& paint = r.paint;
    if (paint.mode == 0 && paint.alpha >= 248 && y1 < y2) {
        // Opaque: the whole rectangle in one call (one span when it is as
        // wide as the surface).
        const i64 x1 = std::max<i64>(x, r.clip.x1), x2 = std::min<i64>(i64(x) + width, r.clip.x2);
        if (x1 >= x2) return;
        HAL_Surface& s = *r.surface;
        const size_t i = indexOf(s, x1, y1), w = size_t(x2 - x1), rows = size_t(y2 - y1);
        rowKernels().fill(s.pixels + i, w, rows, size_t(s.width), paint.color);
        if (s.alpha) {
            if (w == size_t(s.width)) {
                std::memset(s.alpha + i, 255, w * rows);
            } else {
                for (size_t k = 0; k < rows; ++k) std::memset(s.alpha + i + k * size_t(s.width), 255, w);
            }
        }
        return;
    }
    for (i64 row = y1; row < y2; ++row) hspan(r, row, x, i64(x) + width);
}

void drawRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, bool dotted) {
    if (width < 0 || height < 0) return;
    i64 x2 = i64(x) + width, y2 = i64(y) + height;
    if (dotted) {
        dottedHSpan(r, y, x, x2 + 1, x);
        if (height > 0) dottedHSpan(r, y2, x, x2 + 1, x);
        if (height > 1) {
            dottedVSpan(r, x, i64(y) + 1, y2, y);
            if (width > 0) dottedVSpan(r, x2, i64(y) + 1, y2, y);
        }
        return;
    }
    hspan(r, y, x, x2 + 1);
    if (height > 0) hspan(r, y2, x, x2 + 1);
    if (height > 1) {
        vspan(r, x, i64(y) + 1, y2);
        if (width > 0) vspan(r, x2, i64(y) + 1, y2);
    }
}

void drawLine(const Raster& r, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool dotted) {
    if (r.clip.empty()) return;
    i64 dx = i64(x2) - x1, dy = i64(y2) - y1;
    bool steep = (dy < 0 ? -dy : dy) > (dx < 0 ? -dx : dx);
    // Walk the major axis; m and n are the major and minor coordinates.
    i64 m0 = steep ? y1 : x1, n0 = steep ? x1 : y1;
    i64 dm = steep ? dy : dx, dn = steep ? dx : dy;
    i64 sm = dm < 0 ? -1 : 1, sn = dn < 0 ? -1 : 1;
    i64 am = dm * sm, an = dn * sn;  // absolute extents, an <= am
    i64 lo = steep ? r.clip.y1 : r.clip.x1, hi = steep ? r.clip.y2 : r.clip.x2;
    // Steps i (0..am) whose major coordinate m0 + sm*i lies in [lo, hi).
    i64 first, last;
    if (sm > 0) {
        first = std::max<i64>(0, lo - m0);
        last = std::min<i64>(am, hi - 1 - m0);
    } else {
        first = std::max<i64>(0, m0 - (hi - 1));
        last = std::min<i64>(am, m0 - lo);
    }
    if (first > last) return;
    // Minor offset at step i: floor((2*i*an + am) / (2*am)), kept as a
    // quotient and a remainder from the first visible step on.
    i64 twoAm = 2 * am, twoAn = 2 * an;
    i64 q = 0, rem = 0;
    if (am > 0) {
        __int128 num = __int128(first) * twoAn + am;
        q = i64(num / twoAm);
        rem = i64(num % twoAm);
    }
    for (i64 i = first; i <= last; ++i) {
        if (!dotted || (i & 1) == 0) {
            i64 m = m0 + sm * i, n = n0 + sn * q;
            if (steep) {
                plot(r, n, m);
            } else {
                plot(r, m, n);
            }
        }
        rem += twoAn;
        if (rem >= twoAm && am > 0) {
            rem -= twoAm;
            ++q;
        }
    }
}

void fillRoundRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                   int32_t arcHeight) {
    if (width <= 0 || height <= 0) return;
    RoundRect shape(x, y, width, height, arcWidth, arcHeight);
    fillShape(r, y, i64(y) + height, shape, Sector(Ellipse{}, 0, 360));
}

void drawRoundRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t arcWidth,
                   int32_t arcHeight, bool dotted) {
    if (width < 0 || height < 0) return;
    RoundRect shape(x, y, i64(width) + 1, i64(height) + 1, arcWidth, arcHeight);
    outlineShape(r, y, i64(y) + height + 1, shape, Sector(Ellipse{}, 0, 360), dotted);
}

void fillArc(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle,
             int32_t arcAngle) {
    if (width <= 0 || height <= 0) return;
    Ellipse e{double(x) + double(width) / 2, double(y) + double(height) / 2, double(width) / 2, double(height) / 2};
    Sector sector(e, startAngle, arcAngle);
    if (sector.none) return;
    fillShape(
        r, y, i64(y) + height, [&](i64 row, i64& a, i64& b) { return ellipseRow(e, row, a, b); }, sector);
}

void drawArc(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, int32_t startAngle, int32_t arcAngle,
             bool dotted) {
    if (width < 0 || height < 0) return;
    double w = double(width) + 1, h = double(height) + 1;
    Ellipse e{double(x) + w / 2, double(y) + h / 2, w / 2, h / 2};
    Sector sector(e, startAngle, arcAngle);
    if (sector.none) return;
    outlineShape(
        r, y, i64(y) + height + 1, [&](i64 row, i64& a, i64& b) { return ellipseRow(e, row, a, b); }, sector, dotted);
}

void fillTriangle(const Raster& r, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3) {
    // Doubled coordinates, so that pixel centres (2x + 1) are whole numbers.
    const i64 px[3] = {2 * i64(x1), 2 * i64(x2), 2 * i64(x3)};
    const i64 py[3] = {2 * i64(y1), 2 * i64(y2), 2 * i64(y3)};
    i64 top = std::min({py[0], py[1], py[2]}), bottom = std::max({py[0], py[1], py[2]});
    // Rows whose centre 2y + 1 lies in [top, bottom).
    i64 rowFirst = std::max<i64>(ceilDiv<i64>(top - 1, 2), r.clip.y1);
    i64 rowEnd = std::min<i64>(ceilDiv<i64>(bottom - 1, 2), r.clip.y2);
    for (i64 row = rowFirst; row < rowEnd; ++row) {
        i64 Y = 2 * row + 1;
        bool have = false;
        i64 left = 0, right = 0;
        for (int k = 0; k < 3; ++k) {
            int j = (k + 1) % 3;
            i64 ya = py[k], yb = py[j], xa = px[k], xb = px[j];
            if (ya == yb) continue;
            if (ya > yb) {
                std::swap(ya, yb);
                std::swap(xa, xb);
            }
            if (Y < ya || Y >= yb) continue;
            // Crossing X = xa + (Y - ya) * (xb - xa) / (yb - ya); first pixel
            // whose centre 2p + 1 >= X: p = ceil((X - 1) / 2).
            __int128 d = yb - ya;
            __int128 n = __int128(xa) * d + __int128(Y - ya) * (xb - xa);
            i64 p = i64(ceilDiv(n - d, 2 * d));
            if (!have) {
                left = right = p;
                have = true;
            } else {
                left = std::min(left, p);
                right = std::max(right, p);
            }
        }
        if (have && left < right) hspan(r, row, left, right);
    }
}

void fillGradientRect(const Raster& r, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colorA,
                      uint32_t colorB, bool horizontal) {
    if (width <= 0 || height <= 0 || r.clip.empty()) return;
    i64 n = horizontal ? width : height;
    i64 start = horizontal ? x : y;
    i64 lo = std::max<i64>(start, horizontal ? r.clip.x1 : r.clip.y1);
    i64 hi = std::min<i64>(start + n, horizontal ? r.clip.x2 : r.clip.y2);
    int32_t ra = (colorA >> 16) & 255, ga = (colorA >> 8) & 255, ba = colorA & 255;
    int32_t rb = (colorB >> 16) & 255, gb = (colorB >> 8) & 255, bb = colorB & 255;
    Raster line = r;
    for (i64 p = lo; p < hi; ++p) {
        i64 i = p - start, den = n > 1 ? n - 1 : 1;
        // a + (b - a) * i / den, rounded to the nearest.
        auto mix = [&](int32_t a, int32_t b) { return uint32_t(a + floorDiv(2 * (b - a) * i + den, 2 * den)); };
        uint32_t rgb = mix(ra, rb) << 16 | mix(ga, gb) << 8 | mix(ba, bb);
        line.paint.color = to565(rgb);
        if (horizontal) {
            vspan(line, p, y, i64(y) + height);
        } else {
            hspan(line, p, x, i64(x) + width);
        }
    }
}

// --- images ------------------------------------------------------------------------

namespace {

// An opaque region of an image without alpha, neither turned nor mirrored,
// from another surface (tiles, backgrounds): the whole rectangle in one call.
void copyPlainRegion(const Raster& r, const HAL_Surface& source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                     int32_t dx, int32_t dy) {
    const i64 x1 = std::max<i64>(dx, r.clip.x1), x2 = std::min<i64>(i64(dx) + width, r.clip.x2);
    const i64 y1 = std::max<i64>(dy, r.clip.y1), y2 = std::min<i64>(i64(dy) + height, r.clip.y2);
    if (x1 >= x2 || y1 >= y2) return;
    HAL_Surface& target = *r.surface;
    const size_t si = indexOf(source, sx + (x1 - dx), sy + (y1 - dy));
    const size_t di = indexOf(target, x1, y1), w = size_t(x2 - x1), rows = size_t(y2 - y1);
    rowKernels().copy(target.pixels + di, ptrdiff_t(target.width), source.pixels + si, ptrdiff_t(source.width), w,
                      rows);
    if (target.alpha)
        for (size_t k = 0; k < rows; ++k) std::memset(target.alpha + di + k * size_t(target.width), 255, w);
}

}  // namespace

void drawSurface(const Raster& r, const HAL_Surface& source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                 int32_t transform, int32_t dx, int32_t dy) {
    if (width <= 0 || height <= 0) return;
    if (transform == 0 && source.alpha == nullptr && r.paint.mode == 0 && r.paint.alpha >= 248 &&
        &source != r.surface && source.pixels != r.surface->pixels) {
        copyPlainRegion(r, source, sx, sy, width, height, dx, dy);
        return;
    }
    const Paint& paint = r.paint;
    if (paint.mode == 0 && paint.alpha < 8) return;
    if (&source == r.surface || source.pixels == r.surface->pixels) {
        // An image drawn into itself: read from a copy of the region.
        HAL_Surface copy;
        if (!transformRegion(copy, source, sx, sy, width, height, transform, source.alpha != nullptr)) return;
        drawSurface(r, copy, 0, 0, copy.width, copy.height, 0, dx, dy);
        freeSurface(copy);
        return;
    }
    bool swap = (transform & 4) != 0;
    i64 dw = swap ? height : width, dh = swap ? width : height;
    i64 x1 = std::max<i64>(dx, r.clip.x1), x2 = std::min<i64>(dx + dw, r.clip.x2);
    i64 y1 = std::max<i64>(dy, r.clip.y1), y2 = std::min<i64>(dy + dh, r.clip.y2);
    if (x1 >= x2 || y1 >= y2) return;
    Walk walk = walkFor(source, sx, sy, width, height, transform);
    HAL_Surface& target = *r.surface;
    bool opaquePaint = paint.mode == 0 && paint.alpha >= 248;
    // Rows of a transformed region are gathered into these first, so that
    // every transform runs the same row kernels.
    constexpr int32_t kChunk = 256;
    uint16_t rowPixels[kChunk];
    uint8_t rowAlpha[kChunk];
    for (i64 y = y1; y < y2; ++y) {
        i64 v = y - dy;
        for (i64 x = x1; x < x2; x += kChunk) {
            int32_t count = int32_t(std::min<i64>(kChunk, x2 - x));
            i64 si = walk.base + (x - dx) * walk.stepU + v * walk.stepV;
            size_t di = indexOf(target, x, y);
            const uint16_t* inPixels = source.pixels + si;
            const uint8_t* inAlpha = source.alpha ? source.alpha + si : nullptr;
            if (walk.stepU != 1 && inAlpha && opaquePaint && target.alpha == nullptr) {
                blendStridedAlpha(target.pixels + di, inPixels, inAlpha, ptrdiff_t(walk.stepU), count);
                continue;
            }
            if (walk.stepU != 1) {
                const ptrdiff_t step = ptrdiff_t(walk.stepU);
                const uint16_t* p = inPixels;
                for (int32_t k = 0; k < count; ++k, p += step) rowPixels[k] = *p;
                if (inAlpha) {
                    const uint8_t* q = inAlpha;
                    for (int32_t k = 0; k < count; ++k, q += step) rowAlpha[k] = *q;
                    inAlpha = rowAlpha;
                }
                inPixels = rowPixels;
            }
            uint16_t* out = target.pixels + di;
            if (opaquePaint && inAlpha == nullptr) {
                std::memcpy(out, inPixels, size_t(count) * sizeof(uint16_t));
                if (target.alpha) std::memset(target.alpha + di, 255, size_t(count));
            } else if (opaquePaint && target.alpha == nullptr) {
                blendRowAlpha(out, inPixels, inAlpha, count);
            } else {
                for (int32_t k = 0; k < count; ++k) {
                    uint32_t a = inAlpha ? inAlpha[k] : 255u;
                    if (paint.alpha < 255) a = mulAlpha(a, paint.alpha);
                    put(target, di + size_t(k), inPixels[k], a, paint.mode);
                }
            }
        }
    }
}

bool transformRegion(HAL_Surface& out, const HAL_Surface& source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                     int32_t transform, bool withAlpha) {
    bool swap = (transform & 4) != 0;
    int32_t dw = swap ? height : width, dh = swap ? width : height;
    if (!allocSurface(out, dw, dh, withAlpha)) return false;
    Walk walk = walkFor(source, sx, sy, width, height, transform);
    size_t di = 0;
    for (i64 v = 0; v < dh; ++v) {
        i64 si = walk.base + v * walk.stepV;
        if (walk.stepU == 1) {
            // Rows read forwards (no turn, no mirror across them): copied whole.
            std::memcpy(out.pixels + di, source.pixels + si, size_t(dw) * sizeof(uint16_t));
            if (out.alpha && source.alpha) {
                std::memcpy(out.alpha + di, source.alpha + si, size_t(dw));
            } else if (out.alpha) {
                std::memset(out.alpha + di, 255, size_t(dw));
            }
            di += size_t(dw);
            continue;
        }
        for (i64 u = 0; u < dw; ++u, si += walk.stepU, ++di) {
            out.pixels[di] = source.pixels[si];
            if (out.alpha) out.alpha[di] = source.alpha ? source.alpha[si] : 255;
        }
    }
    return true;
}

void drawARGB(const Raster& r, const uint32_t* data, int64_t offset, int32_t scanlength, int32_t x, int32_t y,
              int32_t width, int32_t height, bool processAlpha) {
    if (width <= 0 || height <= 0) return;
    const Paint& paint = r.paint;
    if (paint.mode == 0 && paint.alpha < 8) return;
    i64 x1 = std::max<i64>(x, r.clip.x1), x2 = std::min<i64>(i64(x) + width, r.clip.x2);
    i64 y1 = std::max<i64>(y, r.clip.y1), y2 = std::min<i64>(i64(y) + height, r.clip.y2);
    HAL_Surface& target = *r.surface;
    for (i64 row = y1; row < y2; ++row) {
        const uint32_t* in = data + offset + (row - y) * scanlength + (x1 - x);
        size_t di = indexOf(target, x1, row);
        for (i64 col = x1; col < x2; ++col, ++in, ++di) {
            uint32_t v = *in;
            uint32_t a = processAlpha ? v >> 24 : 255u;
            if (paint.alpha < 255) a = mulAlpha(a, paint.alpha);
            put(target, di, to565(v), a, paint.mode);
        }
    }
}

void drawMask(const Raster& r, const uint8_t* mask, int32_t pitch, int32_t width, int32_t height, int32_t x,
              int32_t y) {
    if (width <= 0 || height <= 0) return;
    const Paint& paint = r.paint;
    if (paint.mode == 0 && paint.alpha < 8) return;
    i64 x1 = std::max<i64>(x, r.clip.x1), x2 = std::min<i64>(i64(x) + width, r.clip.x2);
    i64 y1 = std::max<i64>(y, r.clip.y1), y2 = std::min<i64>(i64(y) + height, r.clip.y2);
    HAL_Surface& target = *r.surface;
    for (i64 row = y1; row < y2; ++row) {
        const uint8_t* m = mask + (row - y) * pitch + (x1 - x);
        size_t di = indexOf(target, x1, row);
        for (i64 col = x1; col < x2; ++col, ++m, ++di) {
            if (*m == 0) continue;
            uint32_t a = *m == 255 ? paint.alpha : mulAlpha(*m, paint.alpha);
            // Text always blends: replacing would punch its soft edges
            // through what lies below.
            put(target, di, paint.color, a, 0);
        }
    }
}

void copyArea(const Raster& r, int32_t sx, int32_t sy, int32_t width, int32_t height, int32_t dx, int32_t dy) {
    if (width <= 0 || height <= 0) return;
    HAL_Surface& s = *r.surface;
    // The source part inside the surface, then its image inside the clip.
    i64 ax1 = std::max<i64>(sx, 0), ax2 = std::min<i64>(i64(sx) + width, s.width);
    i64 ay1 = std::max<i64>(sy, 0), ay2 = std::min<i64>(i64(sy) + height, s.height);
    i64 ox = i64(dx) - sx, oy = i64(dy) - sy;
    i64 bx1 = std::max<i64>(ax1 + ox, r.clip.x1), bx2 = std::min<i64>(ax2 + ox, r.clip.x2);
    i64 by1 = std::max<i64>(ay1 + oy, r.clip.y1), by2 = std::min<i64>(ay2 + oy, r.clip.y2);
    if (bx1 >= bx2 || by1 >= by2) return;
    size_t count = size_t(bx2 - bx1);
    // Rows in the order that never overwrites a source row before it is read;
    // memmove takes care of overlap within a row.
    bool upward = oy > 0;
    for (i64 k = 0; k < by2 - by1; ++k) {
        i64 row = upward ? by2 - 1 - k : by1 + k;
        size_t to = indexOf(s, bx1, row), from = indexOf(s, bx1 - ox, row - oy);
        std::memmove(s.pixels + to, s.pixels + from, count * sizeof(uint16_t));
        if (s.alpha) std::memmove(s.alpha + to, s.alpha + from, count);
    }
}

}  // namespace hal

#include "image.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <unordered_map>

namespace assetgen {

namespace {

uint32_t channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

uint32_t over(uint32_t dst, uint32_t src) {
    const uint32_t sa = channel(src, 24);
    if (sa == 255) return src;
    if (sa == 0) return dst;
    const uint32_t da = (channel(dst, 24) * (255 - sa) + 127) / 255;
    const uint32_t oa = sa + da;
    uint32_t out = oa << 24;
    for (int shift : {16, 8, 0}) {
        const uint32_t c = (channel(src, shift) * sa + channel(dst, shift) * da + oa / 2) / oa;
        out |= c << shift;
    }
    return out;
}

// Clips the box to the raster; false when nothing is left.
bool clip(const Raster& r, int& x0, int& y0, int& x1, int& y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, r.width);
    y1 = std::min(y1, r.height);
    return x0 < x1 && y0 < y1;
}

// Centre of pixel p doubled (2p + 1) inside the doubled circle or ellipse.
bool insideEllipse(int64_t dx2, int64_t dy2, int64_t w, int64_t h) {
    return dx2 * dx2 * h * h + dy2 * dy2 * w * w <= w * w * h * h;
}

}  // namespace

void plot(Raster& r, int x, int y, uint32_t argb, Blend blend) {
    if (x < 0 || y < 0 || x >= r.width || y >= r.height) return;
    uint32_t& p = r.at(x, y);
    p = blend == Blend::Copy ? argb : over(p, argb);
}

void fillRect(Raster& r, int x, int y, int w, int h, uint32_t argb, Blend blend) {
    int x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    if (!clip(r, x0, y0, x1, y1)) return;
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) plot(r, px, py, argb, blend);
    }
}

void fillRoundRect(Raster& r, int x, int y, int w, int h, int radius, uint32_t argb, Blend blend) {
    radius = std::max(0, std::min({radius, w / 2, h / 2}));
    int x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    if (!clip(r, x0, y0, x1, y1)) return;
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            // Corner centres (doubled), the pixel centre (doubled).
            const int64_t cx = px < x + radius ? 2 * (x + radius) : px >= x + w - radius ? 2 * (x + w - radius) : -1;
            const int64_t cy = py < y + radius ? 2 * (y + radius) : py >= y + h - radius ? 2 * (y + h - radius) : -1;
            if (cx >= 0 && cy >= 0 && !insideEllipse(2 * px + 1 - cx, 2 * py + 1 - cy, 2 * radius, 2 * radius)) {
                continue;
            }
            plot(r, px, py, argb, blend);
        }
    }
}

void fillEllipse(Raster& r, int x, int y, int w, int h, uint32_t argb, Blend blend) {
    int x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    if (w <= 0 || h <= 0 || !clip(r, x0, y0, x1, y1)) return;
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            if (insideEllipse(2 * px + 1 - (2 * x + w), 2 * py + 1 - (2 * y + h), w, h)) plot(r, px, py, argb, blend);
        }
    }
}

void drawLine(Raster& r, int x0, int y0, int x1, int y1, uint32_t argb, Blend blend) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plot(r, x0, y0, argb, blend);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void fillGradient(Raster& r, int x, int y, int w, int h, uint32_t from, uint32_t to, bool vertical, Blend blend) {
    int x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    if (!clip(r, x0, y0, x1, y1)) return;
    const int64_t steps = (vertical ? h : w) - 1;
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const int64_t i = vertical ? py - y : px - x;
            uint32_t c = 0;
            for (int shift : {24, 16, 8, 0}) {
                const int64_t a = channel(from, shift), b = channel(to, shift);
                const int64_t v = steps == 0 ? a : (a * (steps - i) + b * i + steps / 2) / steps;
                c |= static_cast<uint32_t>(v) << shift;
            }
            plot(r, px, py, c, blend);
        }
    }
}

void outline(Raster& r, uint32_t argb) {
    const Raster before = r;
    auto ink = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < before.width && y < before.height && channel(before.at(x, y), 24) != 0;
    };
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            if (channel(before.at(x, y), 24) == 0 &&
                (ink(x - 1, y) || ink(x + 1, y) || ink(x, y - 1) || ink(x, y + 1))) {
                r.at(x, y) = argb;
            }
        }
    }
}

void blit(Raster& dst, const Raster& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (sx + x < 0 || sy + y < 0 || sx + x >= src.width || sy + y >= src.height) continue;
            plot(dst, dx + x, dy + y, src.at(sx + x, sy + y), Blend::Copy);
        }
    }
}

int alphaKind(const Raster& r, int x, int y, int w, int h) {
    int x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    if (!clip(r, x0, y0, x1, y1)) return 2;
    int kind = 1;
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const uint32_t a = channel(r.at(px, py), 24);
            if (a == 0) {
                kind = std::max(kind, 2);
            } else if (a != 255) {
                return 3;
            }
        }
    }
    return kind;
}

std::vector<uint32_t> distinctColours(const Raster& r, size_t limit) {
    std::vector<uint32_t> colours;
    std::unordered_map<uint32_t, bool> seen;
    for (uint32_t p : r.pixels) {
        if (seen.emplace(p, true).second) {
            colours.push_back(p);
            if (colours.size() > limit) break;
        }
    }
    return colours;
}

namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

void pngError(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

struct PngInput {
    int width, height, colourType;
    png_bytep* rows;
    png_colorp plte;
    int plteCount;
    png_bytep alpha;
    int alphaCount;
};

// The libpng calls alone, so that its error jump leaves no C++ object
// behind; false after an error.
bool writeWithLibpng(png_structp png, png_infop info, Bytes* out, const PngInput& in) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, appendToBytes, noFlush);
    png_set_compression_level(png, 9);
    png_set_compression_strategy(png, 0);
    png_set_filter(png, PNG_FILTER_TYPE_BASE,
                   in.colourType == PNG_COLOR_TYPE_PALETTE ? PNG_FILTER_NONE : PNG_ALL_FILTERS);
    png_set_IHDR(png, info, static_cast<png_uint_32>(in.width), static_cast<png_uint_32>(in.height), 8, in.colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (in.plteCount > 0) png_set_PLTE(png, info, in.plte, in.plteCount);
    if (in.alphaCount > 0) png_set_tRNS(png, info, in.alpha, in.alphaCount, nullptr);
    png_set_rows(png, info, in.rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

// Writes the rows with fixed compression settings and no time or text chunks.
Bytes encode(const Raster& r, int colourType, const std::vector<std::vector<png_byte>>& rows,
             const std::vector<uint32_t>* palette) {
    std::vector<png_color> plte;
    std::vector<png_byte> alpha;
    if (palette) {
        for (uint32_t c : *palette) {
            plte.push_back({static_cast<png_byte>(channel(c, 16)), static_cast<png_byte>(channel(c, 8)),
                            static_cast<png_byte>(channel(c, 0))});
            alpha.push_back(static_cast<png_byte>(channel(c, 24)));
        }
        // Trailing opaque entries need no alpha byte.
        while (!alpha.empty() && alpha.back() == 255) alpha.pop_back();
    }
    std::vector<png_bytep> pointers;
    for (const auto& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    const PngInput in{r.width,      r.height,
                      colourType,   pointers.data(),
                      plte.data(),  static_cast<int>(plte.size()),
                      alpha.data(), static_cast<int>(alpha.size())};

    Bytes out;
    std::string message;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = info && writeWithLibpng(png, info, &out, in);
    png_destroy_write_struct(&png, &info);
    if (!written) throw Error("", "libpng: " + (message.empty() ? std::string("out of memory") : message));
    return out;
}

}  // namespace

Bytes writePngRgba(const Raster& r) {
    std::vector<std::vector<png_byte>> rows(static_cast<size_t>(r.height));
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const uint32_t c = r.at(x, y);
            for (int shift : {16, 8, 0, 24})
                rows[static_cast<size_t>(y)].push_back(static_cast<png_byte>(channel(c, shift)));
        }
    }
    return encode(r, PNG_COLOR_TYPE_RGBA, rows, nullptr);
}

Bytes writePngPalette(const Raster& r, const std::vector<uint32_t>& palette) {
    if (palette.empty() || palette.size() > 256) throw Error("palette", "a palette holds 1 to 256 colours");
    std::map<uint32_t, png_byte> index;
    for (size_t i = 0; i < palette.size(); ++i) index.emplace(palette[i], static_cast<png_byte>(i));
    std::vector<std::vector<png_byte>> rows(static_cast<size_t>(r.height));
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            auto found = index.find(r.at(x, y));
            if (found == index.end()) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d, %d) of colour #%08X is not in the palette", x, y,
                              static_cast<unsigned>(r.at(x, y)));
                throw Error("palette", text);
            }
            rows[static_cast<size_t>(y)].push_back(found->second);
        }
    }
    return encode(r, PNG_COLOR_TYPE_PALETTE, rows, &palette);
}

}  // namespace assetgen

#include "sheet.h"

#include <algorithm>
#include <climits>

namespace assetgen {

uint32_t sheetBoxColour(int id) {
    static const uint32_t kColours[8] = {0xFFFF2020, 0xFF20C0FF, 0xFFFFE020, 0xFF20FF60,
                                         0xFFFF40FF, 0xFFFF9020, 0xFFFFFFFF, 0xFF8080FF};
    return kColours[id & 7];
}

namespace {

// 3 x 5 digits, one row of 3 bits each, for the frame numbers.
const char* const kDigits[10] = {"111101101101111", "010110010010111", "111001111100111", "111001111001111",
                                 "101101111001001", "111100111001111", "111100111101111", "111001001001001",
                                 "111101111101111", "111101111001111"};

void drawNumber(Raster& r, int x, int y, int n) {
    const std::string text = std::to_string(n);
    fillRect(r, x, y, static_cast<int>(text.size()) * 4 + 1, 7, 0xFF000000, Blend::Copy);
    for (size_t i = 0; i < text.size(); ++i) {
        const char* d = kDigits[text[i] - '0'];
        for (int k = 0; k < 15; ++k) {
            if (d[k] == '1') plot(r, x + 1 + static_cast<int>(i) * 4 + k % 3, y + 1 + k / 3, 0xFFFFFFFF, Blend::Copy);
        }
    }
}

void strokeRect(Raster& r, int x, int y, int w, int h, uint32_t c) {
    if (w <= 0 || h <= 0) {  // a box without area: a cross at its place
        drawLine(r, x - 2, y, x + 2, y, c, Blend::Copy);
        drawLine(r, x, y - 2, x, y + 2, c, Blend::Copy);
        return;
    }
    drawLine(r, x, y, x + w - 1, y, c, Blend::Copy);
    drawLine(r, x, y + h - 1, x + w - 1, y + h - 1, c, Blend::Copy);
    drawLine(r, x, y, x, y + h - 1, c, Blend::Copy);
    drawLine(r, x + w - 1, y, x + w - 1, y + h - 1, c, Blend::Copy);
}

struct Bounds {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    void add(int x, int y, int w, int h) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x + std::max(w, 1));
        y1 = std::max(y1, y + std::max(h, 1));
    }
    bool empty() const { return x0 > x1; }
};

const GobRecord* recordOf(const PackModel::GobList* list, int gob) {
    if (!list || gob < 0 || gob >= static_cast<int>(list->records.size())) return nullptr;
    return &list->records[gob];
}

// The part's rectangle relative to the anchor: offset plus the part's move;
// flip bit 1 mirrors it left to right about the anchor, bit 0 top to bottom.
void partRect(const GobRecord& g, const AnimPart& p, int& x, int& y) {
    const int w = g.values[4], h = g.values[5];
    x = g.values[0] + p.dx;
    y = g.values[1] + p.dy;
    if (p.flip & 2) x = -x - w;
    if (p.flip & 1) y = -y - h;
}

void blitPart(Raster& dst, const Raster& src, const GobRecord& g, int flip, int dx, int dy) {
    const int sx = g.values[2], sy = g.values[3], w = g.values[4], h = g.values[5];
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int fx = sx + ((flip & 2) ? w - 1 - x : x), fy = sy + ((flip & 1) ? h - 1 - y : y);
            if (fx < 0 || fy < 0 || fx >= src.width || fy >= src.height) continue;
            plot(dst, dx + x, dy + y, src.at(fx, fy), Blend::Over);
        }
    }
}

constexpr int kGap = 4;
constexpr int kMaxCell = 520;
constexpr int kMaxWidth = 1600;

}  // namespace

Raster drawSheet(const PackModel& pack) {
    struct Cell {
        const PackModel::GobList* list;
        AnimFrame frame;
        int number;
    };
    std::vector<std::vector<Cell>> bands;
    const PackModel::GobList* first = pack.gobs.empty() ? nullptr : &pack.gobs.begin()->second;
    for (const auto& [index, s] : pack.sets) {
        const PackModel::GobList* list = first;
        if (s.gobs >= 0) {
            auto found = pack.gobs.find(s.gobs);
            list = found == pack.gobs.end() ? nullptr : &found->second;
        }
        std::vector<Cell>& band = bands.emplace_back();
        for (size_t f = 0; f < s.set.frames.size(); ++f) band.push_back({list, s.set.frames[f], static_cast<int>(f)});
    }
    if (bands.empty()) {
        for (const auto& [index, list] : pack.gobs) {
            std::vector<Cell>& band = bands.emplace_back();
            for (size_t i = 0; i < list.records.size(); ++i) {
                band.push_back({&list, AnimFrame{{AnimPart{static_cast<int>(i), 0, 0, 0}}, {}}, static_cast<int>(i)});
            }
        }
    }

    // Each band's cells share one size: the union of its frames' bounds.
    struct Layout {
        Bounds bounds;
        int cellW = 0, cellH = 0, columns = 1, rows = 0;
    };
    std::vector<Layout> layouts;
    int width = 64, height = kGap;
    for (const auto& band : bands) {
        Layout l;
        for (const Cell& c : band) {
            for (const AnimPart& p : c.frame.parts) {
                if (const GobRecord* g = recordOf(c.list, p.gob)) {
                    int x, y;
                    partRect(*g, p, x, y);
                    l.bounds.add(x, y, g->values[4], g->values[5]);
                }
            }
            for (const AnimBox& b : c.frame.boxes) l.bounds.add(b.x, b.y, b.width, b.height);
        }
        if (l.bounds.empty()) l.bounds.add(-8, -8, 16, 16);
        l.bounds.add(0, 0, 1, 1);  // the anchor is always in sight
        l.cellW = std::min(l.bounds.x1 - l.bounds.x0, kMaxCell) + 2 * kGap;
        l.cellH = std::min(l.bounds.y1 - l.bounds.y0, kMaxCell) + 2 * kGap + 8;
        l.columns = std::max(1, std::min<int>(static_cast<int>(band.size()), kMaxWidth / (l.cellW + kGap)));
        l.rows = (static_cast<int>(band.size()) + l.columns - 1) / l.columns;
        width = std::max(width, kGap + l.columns * (l.cellW + kGap));
        height += std::max(l.rows, 1) * (l.cellH + kGap) + kGap;
        layouts.push_back(l);
    }

    Raster sheet(width, height, 0xFF303030);
    int top = kGap;
    for (size_t b = 0; b < bands.size(); ++b) {
        const Layout& l = layouts[b];
        for (size_t i = 0; i < bands[b].size(); ++i) {
            const Cell& c = bands[b][i];
            const int cx = kGap + static_cast<int>(i % l.columns) * (l.cellW + kGap);
            const int cy = top + static_cast<int>(i / l.columns) * (l.cellH + kGap);
            for (int y = 0; y < l.cellH; y += 8) {
                for (int x = 0; x < l.cellW; x += 8) {
                    fillRect(sheet, cx + x, cy + y, std::min(8, l.cellW - x), std::min(8, l.cellH - y),
                             ((x + y) / 8) % 2 ? 0xFF9A9A9A : 0xFFB4B4B4, Blend::Copy);
                }
            }
            const int ax = cx + kGap - l.bounds.x0, ay = cy + kGap + 8 - l.bounds.y0;
            for (const AnimPart& p : c.frame.parts) {
                const GobRecord* g = recordOf(c.list, p.gob);
                if (!g) continue;
                auto image = pack.images.find(c.list->image);
                if (image == pack.images.end()) continue;
                int x, y;
                partRect(*g, p, x, y);
                blitPart(sheet, image->second, *g, p.flip, ax + x, ay + y);
            }
            for (const AnimBox& box : c.frame.boxes) {
                strokeRect(sheet, ax + box.x, ay + box.y, box.width, box.height, sheetBoxColour(box.id));
            }
            drawLine(sheet, ax - 3, ay, ax + 3, ay, 0xFF000000, Blend::Copy);
            drawLine(sheet, ax, ay - 3, ax, ay + 3, 0xFF000000, Blend::Copy);
            drawNumber(sheet, cx, cy, c.number);
        }
        top += std::max(l.rows, 1) * (l.cellH + kGap) + kGap;
        fillRect(sheet, 0, top - kGap / 2 - 1, width, 2, 0xFFE0E0E0, Blend::Copy);
    }
    return sheet;
}

Raster zoomed(const Raster& r, int zoom) {
    zoom = std::max(1, std::min(zoom, 8));
    Raster out(r.width * zoom, r.height * zoom);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) out.at(x, y) = r.at(x / zoom, y / zoom);
    }
    return out;
}

}  // namespace assetgen

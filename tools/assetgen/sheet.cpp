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
constexpr int kMaxCell = 1024;
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

    // Each cell is as large as its own frame (parts, boxes and the anchor);
    // cells flow left to right and wrap at the sheet's width.
    struct Placed {
        Bounds bounds;
        int x = 0, y = 0, w = 0, h = 0;
    };
    std::vector<std::vector<Placed>> placed;
    std::vector<int> bandBottoms;
    int width = 64, top = kGap;
    for (const auto& band : bands) {
        std::vector<Placed>& cells = placed.emplace_back();
        int x = kGap, rowHeight = 0;
        for (const Cell& c : band) {
            Placed p;
            for (const AnimPart& part : c.frame.parts) {
                if (const GobRecord* g = recordOf(c.list, part.gob)) {
                    int px, py;
                    partRect(*g, part, px, py);
                    p.bounds.add(px, py, g->values[4], g->values[5]);
                }
            }
            for (const AnimBox& b : c.frame.boxes) p.bounds.add(b.x, b.y, b.width, b.height);
            p.bounds.add(-8, -8, 16, 16);  // the anchor and a little room around it
            p.w = std::min(p.bounds.x1 - p.bounds.x0, kMaxCell) + 2 * kGap;
            p.h = std::min(p.bounds.y1 - p.bounds.y0, kMaxCell) + 2 * kGap + 8;
            if (x > kGap && x + p.w > kMaxWidth) {
                x = kGap;
                top += rowHeight + kGap;
                rowHeight = 0;
            }
            p.x = x;
            p.y = top;
            x += p.w + kGap;
            rowHeight = std::max(rowHeight, p.h);
            width = std::max(width, x);
            cells.push_back(p);
        }
        top += rowHeight + 2 * kGap;
        bandBottoms.push_back(top);
    }

    Raster sheet(width, top, 0xFF303030);
    for (size_t b = 0; b < bands.size(); ++b) {
        for (size_t i = 0; i < bands[b].size(); ++i) {
            const Cell& c = bands[b][i];
            const Placed& l = placed[b][i];
            const int cx = l.x, cy = l.y;
            for (int y = 0; y < l.h; y += 8) {
                for (int x = 0; x < l.w; x += 8) {
                    fillRect(sheet, cx + x, cy + y, std::min(8, l.w - x), std::min(8, l.h - y),
                             ((x + y) / 8) % 2 ? 0xFF9A9A9A : 0xFFB4B4B4, Blend::Copy);
                }
            }
            // Drawing is clipped to the cell (a frame larger than a cell is cut).
            Raster cell(l.w, l.h);
            for (int y = 0; y < l.h; ++y) {
                for (int x = 0; x < l.w; ++x) cell.at(x, y) = sheet.at(cx + x, cy + y);
            }
            const int ax = kGap - l.bounds.x0, ay = kGap + 8 - l.bounds.y0;
            for (const AnimPart& p : c.frame.parts) {
                const GobRecord* g = recordOf(c.list, p.gob);
                if (!g) continue;
                auto image = pack.images.find(c.list->image);
                if (image == pack.images.end()) continue;
                int x, y;
                partRect(*g, p, x, y);
                blitPart(cell, image->second, *g, p.flip, ax + x, ay + y);
            }
            for (const AnimBox& box : c.frame.boxes) {
                strokeRect(cell, ax + box.x, ay + box.y, box.width, box.height, sheetBoxColour(box.id));
            }
            drawLine(cell, ax - 3, ay, ax + 3, ay, 0xFF000000, Blend::Copy);
            drawLine(cell, ax, ay - 3, ax, ay + 3, 0xFF000000, Blend::Copy);
            blit(sheet, cell, 0, 0, l.w, l.h, cx, cy);
            drawNumber(sheet, cx, cy, c.number);
        }
        fillRect(sheet, 0, bandBottoms[b] - kGap - 1, width, 2, 0xFFE0E0E0, Blend::Copy);
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

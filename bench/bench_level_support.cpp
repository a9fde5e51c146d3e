#include "bench_level_support.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "bit_writer.h"
#include "com_ventrix_common_Main.h"

namespace benchlevels {

jboolean LevelCanvas::loadLevel(jint) {
    VMPtr<VMBytes> data = level;
    return loadLevel(data);
}

void LevelCanvas::markReferences(uint32_t bits) {
    CommonCanvas::markReferences(bits);
    _VM_markRef(level, bits);
}

}  // namespace benchlevels

VM_REGISTER_CLASS(benchlevels::LevelCanvas, .name = "benchlevels.LevelCanvas")

namespace benchlevels {
namespace {

constexpr int kTile = 32;

// One group: `count` objects spread over the map, each with its fields.
void group(BitWriter& out, int type, int count, int widthPx, int heightPx,
           const std::function<void(BitWriter&, int)>& fields) {
    out.put(10, uint32_t(type)).put(12, uint32_t(count));
    std::vector<uint32_t> positions;
    for (int i = 0; i < count; ++i) {
        const int x = int((uint32_t(i) * 2654435761u >> 7) % uint32_t(widthPx));
        const int y = int((uint32_t(i) * 40503u + uint32_t(type) * 977u) % uint32_t(heightPx - 8));
        positions.push_back(uint32_t(y) * uint32_t(widthPx) + uint32_t(x));
    }
    std::sort(positions.begin(), positions.end());
    uint32_t largest = 0, previous = 0;
    for (uint32_t p : positions) largest = std::max(largest, p - previous), previous = p;
    int bits = 0;
    while (bits < 31 && (largest >> bits) != 0) ++bits;
    out.put(16, 0).put(16, 0).put(16, uint32_t(widthPx)).put(5, uint32_t(bits));
    previous = 0;
    for (uint32_t p : positions) out.put(bits, p - previous), previous = p;
    for (int i = 0; i < count; ++i) fields(out, i);
}

}  // namespace

std::vector<uint8_t> levelStream(int width, int height, int n, bool decorations) {
    BitWriter out;
    out.put(8, 0).put(1, 0);  // flags; no header
    out.put(1, 1).put(8, 0).put(12, 8).put(17, 0x1019).put(10, kTile).put(10, kTile).put(1, 0).put(12, 8);
    for (int t = 1; t <= 8; ++t) out.put(1, 0).put(12, uint32_t(t)).put(12, 0);
    out.put(1, 1).put(12, uint32_t(width)).put(12, uint32_t(height));
    for (int i = 0; i < width * height; ++i) out.put(12, uint32_t(i % 9));
    const int w = width * kTile, h = height * kTile;
    const int paths = 15 * n;
    out.put(1, 1).put(10, decorations ? 13 : 12);
    group(out, 6, 35 * n, w, h, [](BitWriter& o, int i) { o.put(16, 2).put(16, uint32_t(i % 4)); });
    group(out, 24, 2 * paths, w, h, [](BitWriter& o, int i) {
        o.put(16, uint32_t(i / 2)).put(16, uint32_t(i % 2 + 1)).put(16, i % 2 == 0 ? 2 : 0).put(16, 0);
    });
    group(out, 1, paths, w, h, [](BitWriter& o, int i) { o.put(3, 0).put(16, uint32_t(i)); });
    if (decorations) {
        group(out, 0, 20 * n + (n > 1 ? 2 : 0), w, h, [](BitWriter& o, int i) { o.put(6, uint32_t(i % 33)); });
    }
    group(out, 10, 10 * n, w, h, [](BitWriter& o, int i) { o.put(4, uint32_t(i % 12)).put(16, 0); });
    group(out, 9, 10 * n, w, h,
          [](BitWriter& o, int i) { o.put(4, uint32_t(i % 14)).put(16, 1).put(16, 2).put(16, 0); });
    group(out, 8, 8 * n, w, h, [](BitWriter& o, int i) { o.put(3, uint32_t(i % 6)).put(16, 0); });
    group(out, 2, 8 * n, w, h, [](BitWriter& o, int i) { o.put(2, uint32_t(i % 3)).put(1, 0).put(16, 0).put(16, 0); });
    group(out, 7, 4 * n, w, h, [](BitWriter&, int) {});
    group(out, 14, 3 * n, w, h, [](BitWriter& o, int i) { o.put(2, uint32_t(i % 4)); });
    group(out, 23, 5 * n, w, h, [](BitWriter& o, int i) { o.put(4, uint32_t(i % 12)).put(16, uint32_t(i)); });
    group(out, 22, 1, w, h, [](BitWriter&, int) {});
    group(out, 21, 1, w, h, [](BitWriter& o, int) { o.put(7, 0); });
    return out.bytes();
}

VMPtr<LevelCanvas> servingCanvas(const std::vector<uint8_t>& stream) {
    using com::ventrix::common::Main;
    VMPtr<LevelCanvas> canvas = LevelCanvas::create();
    canvas->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    VMPtr<VMBytes> data = VMBytes::create(jint(stream.size()));
    std::memcpy(data->elements(), stream.data(), stream.size());
    canvas->level = data;
    _VM_ensureInitialized(Main::_VM_classRecord);
    Main::canvas = canvas;
    return canvas;
}

}  // namespace benchlevels

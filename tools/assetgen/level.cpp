#include "level.h"

#include <algorithm>

namespace assetgen {

namespace {

void put(BitWriter& out, int bits, int64_t value, const std::string& field) {
    checkRange(value, 0, (int64_t{1} << bits) - 1, field);
    out.put(bits, static_cast<uint32_t>(value));
}

void putFields(BitWriter& out, const std::vector<BitField>& fields, const std::string& path) {
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string field = item(path, i);
        checkRange(fields[i].bits, 1, 32, field);
        const int64_t limit = int64_t{1} << fields[i].bits;
        checkRange(fields[i].value, -(limit / 2), limit - 1, field);
        out.put(fields[i].bits, static_cast<uint32_t>(fields[i].value & (limit - 1)));
    }
}

void putOptional(BitWriter& out, const std::optional<int>& value, const std::string& field) {
    out.put(1, value ? 1 : 0);
    if (value) put(out, 10, *value, field);
}

void putFiller(BitWriter& out, bool filler) {
    if (filler) out.put(6, 0);
}

void putGroup(BitWriter& out, const LevelGroup& group, bool filler, const std::string& path) {
    put(out, 10, group.type, join(path, "type"));
    const auto count = static_cast<int64_t>(group.objects.size());
    put(out, 12, count, join(path, "objects"));
    if (count > 0) {
        put(out, 16, group.x0, join(path, "x0"));
        put(out, 16, group.y0, join(path, "y0"));
        checkRange(group.span, 1, 65535, join(path, "span"));
        put(out, 16, group.span, join(path, "span"));
        std::vector<int64_t> deltas;
        int64_t previous = 0, largest = 0;
        for (size_t i = 0; i < group.objects.size(); ++i) {
            const int64_t p = group.objects[i].position;
            if (p < previous) {
                throw Error(
                    join(item(join(path, "objects"), i), "position"),
                    "positions must not fall (" + std::to_string(p) + " after " + std::to_string(previous) + ")");
            }
            deltas.push_back(p - previous);
            largest = std::max(largest, p - previous);
            previous = p;
        }
        int bits = 0;
        while (bits < 31 && (largest >> bits) != 0) ++bits;
        if ((largest >> bits) != 0) throw Error(join(path, "objects"), "a position step needs more than 31 bits");
        if (group.deltaBits) {
            checkRange(*group.deltaBits, bits, 31, join(path, "deltaBits"));
            bits = *group.deltaBits;
        }
        put(out, 5, bits, join(path, "deltaBits"));
        for (int64_t d : deltas) out.put(bits, static_cast<uint32_t>(d));
    }
    putFields(out, group.fields, join(path, "fields"));
    for (size_t i = 0; i < group.objects.size(); ++i) {
        putFields(out, group.objects[i].fields, join(item(join(path, "objects"), i), "fields"));
    }
    putFiller(out, filler);
}

}  // namespace

Bytes writeLevel(const LevelDescription& level) {
    BitWriter out;
    checkRange(level.flags, 0, 127, "flags");
    out.put(8, static_cast<uint32_t>(level.flags | (level.filler ? 0x80 : 0)));

    out.put(1, level.header ? 1 : 0);
    if (level.header) {
        put(out, 10, *level.header, "header");
        putFields(out, level.headerFields, "headerFields");
        putFiller(out, level.filler);
    } else if (!level.headerFields.empty()) {
        throw Error("headerFields", "fields without a header");
    }

    size_t tileCount = 0;
    out.put(1, level.tileSet ? 1 : 0);
    if (level.tileSet) {
        const LevelTileSet& t = *level.tileSet;
        put(out, 8, t.first, "tileSet.first");
        put(out, 12, t.columns, "tileSet.columns");
        checkRange(t.image, -65536, 65535, "tileSet.image");
        out.put(17, static_cast<uint32_t>(t.image) & 0x1FFFF);
        put(out, 10, t.tileWidth, "tileSet.tileWidth");
        put(out, 10, t.tileHeight, "tileSet.tileHeight");
        putOptional(out, t.option, "tileSet.option");
        tileCount = t.tiles.size();
        put(out, 12, static_cast<int64_t>(tileCount), "tileSet.tiles");
        for (size_t i = 0; i < tileCount; ++i) {
            const std::string path = item("tileSet.tiles", i);
            putOptional(out, t.tiles[i].option, join(path, "option"));
            put(out, 12, t.tiles[i].column, join(path, "column"));
            put(out, 12, t.tiles[i].row, join(path, "row"));
        }
        putFiller(out, level.filler);
    }

    out.put(1, level.map ? 1 : 0);
    if (level.map) {
        const LevelMap& m = *level.map;
        put(out, 12, m.width, "map.width");
        put(out, 12, m.height, "map.height");
        if (m.cells.size() != static_cast<size_t>(m.width) * static_cast<size_t>(m.height)) {
            throw Error("map.cells", std::to_string(m.cells.size()) + " cells for a " + std::to_string(m.width) +
                                         " × " + std::to_string(m.height) + " map");
        }
        for (size_t i = 0; i < m.cells.size(); ++i) {
            const std::string field =
                "map.cells[" + std::to_string(i / m.width) + "][" + std::to_string(i % m.width) + "]";
            checkRange(m.cells[i], 0, static_cast<int64_t>(tileCount), field);
            out.put(12, static_cast<uint32_t>(m.cells[i]));
        }
    }

    out.put(1, level.groups ? 1 : 0);
    if (level.groups) {
        put(out, 10, static_cast<int64_t>(level.groups->size()), "objects");
        for (size_t g = 0; g < level.groups->size(); ++g)
            putGroup(out, (*level.groups)[g], level.filler, item("objects", g));
    }
    return out.take();
}

const std::vector<NamedField>& gameObjectFields(int type) {
    static const std::vector<NamedField> kNone;
    static const std::vector<NamedField> kSmallItem = {{"item", 6}};
    static const std::vector<NamedField> kLargeItem = {{"item", 7}};
    static const std::vector<NamedField> kComponent = {{"variant", 3}, {"path", 16}};
    static const std::vector<NamedField> kInteraction = {
        {"variant", 2}, {"fixed", 1}, {"outfit", 16}, {"keyLevel", 16}};
    static const std::vector<NamedField> kFloorArea = {{"width", 16}, {"row", 16}};
    static const std::vector<NamedField> kTrap = {{"kind", 3}, {"startTime", 16}};
    static const std::vector<NamedField> kDisguised = {{"look", 4}, {"mode", 16}, {"range", 16}, {"value", 16}};
    static const std::vector<NamedField> kGeneral = {{"look", 4}, {"animation", 16}};
    static const std::vector<NamedField> kKey = {{"kind", 2}};
    static const std::vector<NamedField> kPlayer = {{"value", 7}};
    static const std::vector<NamedField> kTarget = {{"kind", 4}, {"index", 16}};
    static const std::vector<NamedField> kTransportPart = {{"path", 16}, {"id", 16}, {"next", 16}, {"type", 16}};
    switch (type) {
        case 0:
        case 3:
        case 18: return kSmallItem;
        case 11:
        case 15: return kLargeItem;
        case 1:
        case 4:
        case 12:
        case 16:
        case 19: return kComponent;
        case 2:
        case 5:
        case 13:
        case 17:
        case 20: return kInteraction;
        case 6: return kFloorArea;
        case 8: return kTrap;
        case 9: return kDisguised;
        case 10: return kGeneral;
        case 14: return kKey;
        case 21: return kPlayer;
        case 23: return kTarget;
        case 24: return kTransportPart;
        default: return kNone;
    }
}

}  // namespace assetgen

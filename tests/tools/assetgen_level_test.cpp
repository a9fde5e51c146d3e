// Level streams, read back by a reader written here from docs/formats.md
// ("Level stream"), which records every callback in order.
#include <gtest/gtest.h>

#include "assetgen_test_support.h"
#include "level.h"

namespace {

using assetgen::Bytes;
using assetgen::LevelDescription;

class BitReader {
public:
    explicit BitReader(const Bytes& data) : data_(data) {}
    uint32_t bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++at_) {
            const uint32_t bit = at_ / 8 < data_.size() ? (data_[at_ / 8] >> (7 - at_ % 8)) & 1 : 0;
            v = v << 1 | bit;
        }
        return v;
    }
    int optional10() { return bits(1) ? static_cast<int>(bits(10)) : -1; }
    size_t at() const { return at_; }

private:
    const Bytes& data_;
    size_t at_ = 0;
};

// Callbacks as text; `extra` says how many bits each callback reads itself.
struct Extra {
    std::vector<int> header;
    std::vector<std::vector<int>> groups;   // per group
    std::vector<std::vector<int>> objects;  // per object, in stream order
};

std::vector<std::string> readLevel(const Bytes& data, const Extra& extra) {
    BitReader in(data);
    std::vector<std::string> calls;
    auto call = [&](const std::string& name, std::initializer_list<int64_t> args) {
        std::string text = name;
        for (int64_t a : args) text += " " + std::to_string(a);
        calls.push_back(text);
    };
    auto fields = [&](const std::vector<int>& widths) {
        for (int w : widths) call("field", {in.bits(w)});
    };
    const uint32_t flags = in.bits(8);
    const bool filler = flags & 0x80;
    call("flags", {flags});
    if (in.bits(1)) {
        call("levelHeader", {in.bits(10)});
        fields(extra.header);
        if (filler) in.bits(6);
    }
    uint32_t tiles = 0;
    std::vector<int64_t> packed;
    if (in.bits(1)) {
        const int64_t first = in.bits(8), columns = in.bits(12);
        const int64_t image = static_cast<int32_t>(in.bits(17) << 15) >> 15;
        const int64_t w = in.bits(10), h = in.bits(10), option = in.optional10();
        tiles = in.bits(12);
        calls.push_back("levelTileSet " + std::to_string(first) + " " + std::to_string(columns) + " " +
                        std::to_string(image) + " " + std::to_string(w) + " " + std::to_string(h) + " " +
                        std::to_string(option) + " " + std::to_string(tiles));
        for (uint32_t i = 0; i < tiles; ++i) {
            const int option = in.optional10();
            const int64_t column = in.bits(12), row = in.bits(12);
            packed.push_back(column | row << 12);
            call("levelTile", {option, packed.back()});
        }
        if (filler) in.bits(6);
    }
    if (in.bits(1)) {
        const uint32_t w = in.bits(12), h = in.bits(12);
        call("levelMapSize", {w, h});
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t entry = in.bits(12);
                call("levelMapCell", {x, y, entry == 0 ? 0 : packed.at(entry - 1)});
            }
        }
    }
    if (in.bits(1)) {
        const uint32_t groups = in.bits(10);
        size_t object = 0;
        for (uint32_t g = 0; g < groups; ++g) {
            const uint32_t type = in.bits(10), count = in.bits(12);
            std::vector<int64_t> positions;
            uint32_t x0 = 0, y0 = 0, span = 1;
            if (count > 0) {
                x0 = in.bits(16), y0 = in.bits(16), span = in.bits(16);
                const int d = static_cast<int>(in.bits(5));
                int64_t p = 0;
                for (uint32_t i = 0; i < count; ++i) positions.push_back(p += in.bits(d));
            }
            call("levelObjectGroup", {type, count});
            if (g < extra.groups.size()) fields(extra.groups[g]);
            for (int64_t p : positions) {
                call("levelObject", {type, x0 + p % span, y0 + p / span});
                if (object < extra.objects.size()) fields(extra.objects[object]);
                ++object;
            }
            if (filler) in.bits(6);
        }
    }
    EXPECT_EQ((in.at() + 7) / 8, data.size()) << "the stream ends within the last byte";
    return calls;
}

TEST(AssetgenLevel, EverySectionAndFillerReadBackInOrder) {
    LevelDescription level;
    level.filler = true;
    level.flags = 5;
    level.header = 1000;
    level.headerFields = {{4, 9}};
    level.tileSet = assetgen::LevelTileSet{1, 4, -5, 16, 8, std::nullopt, {{7, 1, 2}, {std::nullopt, 4095, 0}}};
    level.map = assetgen::LevelMap{3, 2, {0, 1, 2, 2, 0, 1}};
    assetgen::LevelGroup people{
        2, 10, 20, 100, std::nullopt, {{8, 200}}, {{5, {{3, 1}}}, {5, {{3, 7}}}, {250, {{3, -1}}}}};
    assetgen::LevelGroup empty{1023, 0, 0, 1, std::nullopt, {}, {}};
    level.groups = std::vector<assetgen::LevelGroup>{people, empty};
    const std::vector<std::string> calls = readLevel(assetgen::writeLevel(level), {{4}, {{8}, {}}, {{3}, {3}, {3}}});
    const std::vector<std::string> expected = {"flags 133",
                                               "levelHeader 1000",
                                               "field 9",
                                               "levelTileSet 1 4 -5 16 8 -1 2",
                                               "levelTile 7 " + std::to_string(1 | 2 << 12),
                                               "levelTile -1 4095",
                                               "levelMapSize 3 2",
                                               "levelMapCell 0 0 0",
                                               "levelMapCell 1 0 " + std::to_string(1 | 2 << 12),
                                               "levelMapCell 2 0 4095",
                                               "levelMapCell 0 1 4095",
                                               "levelMapCell 1 1 0",
                                               "levelMapCell 2 1 " + std::to_string(1 | 2 << 12),
                                               "levelObjectGroup 2 3",
                                               "field 200",
                                               "levelObject 2 15 20",
                                               "field 1",
                                               "levelObject 2 15 20",
                                               "field 7",
                                               "levelObject 2 60 22",
                                               "field 7",
                                               "levelObjectGroup 1023 0"};
    EXPECT_EQ(calls, expected);
}

TEST(AssetgenLevel, NoSectionsIsTheFlagsAndFourZeroBits) {
    EXPECT_EQ(assetgen::writeLevel({}), (Bytes{0x00, 0x00}));
    LevelDescription filler;
    filler.filler = true;
    EXPECT_EQ(assetgen::writeLevel(filler), (Bytes{0x80, 0x00}));
}

TEST(AssetgenLevel, DeltaWidthIsTheSmallestThatHoldsTheSteps) {
    struct Case {
        std::vector<int64_t> positions;
        std::optional<int> asked;
        uint32_t width;
    };
    const Case cases[] = {{{0, 0}, std::nullopt, 0},
                          {{1}, std::nullopt, 1},
                          {{3, 4, 8}, std::nullopt, 3},
                          {{0, 1000000}, std::nullopt, 20},
                          {{2}, 9, 9}};
    for (const Case& c : cases) {
        LevelDescription level;
        assetgen::LevelGroup group{1, 0, 0, 65535, c.asked, {}, {}};
        for (int64_t p : c.positions) group.objects.push_back({p, {}});
        level.groups = std::vector<assetgen::LevelGroup>{group};
        const Bytes data = assetgen::writeLevel(level);
        BitReader in(data);
        in.bits(8 + 4 + 10 + 10 + 12 + 48);
        EXPECT_EQ(in.bits(5), c.width);
    }
}

TEST(AssetgenLevel, RefusesValuesBeyondTheirFields) {
    auto group = [](assetgen::LevelGroup g) {
        LevelDescription level;
        level.groups = std::vector<assetgen::LevelGroup>{g};
        return level;
    };
    LevelDescription header;
    header.header = 1024;
    LevelDescription map;
    map.map = assetgen::LevelMap{2, 1, {0, 1}};  // entry 1 without a tile set
    LevelDescription cells;
    cells.map = assetgen::LevelMap{2, 2, {0}};
    LevelDescription image;
    image.tileSet = assetgen::LevelTileSet{0, 0, 65536, 0, 0, std::nullopt, {}};
    const std::pair<LevelDescription, std::string> cases[] = {
        {header, "header"},
        {map, "map.cells[0][1]"},
        {cells, "map.cells"},
        {image, "tileSet.image"},
        {group({1, 0, 0, 0, std::nullopt, {}, {{0, {}}}}), "objects[0].span"},
        {group({1, 0, 0, 10, std::nullopt, {}, {{5, {}}, {4, {}}}}), "objects[0].objects[1].position"},
        {group({1, 0, 0, 10, 2, {}, {{5, {}}}}), "objects[0].deltaBits"},
        {group({1, 0, 0, 10, std::nullopt, {{3, 8}}, {}}), "objects[0].fields[0]"},
        {group({1024, 0, 0, 1, std::nullopt, {}, {}}), "objects[0].type"}};
    for (const auto& [level, field] : cases) {
        try {
            assetgen::writeLevel(level);
            ADD_FAILURE() << "accepted, expected a refusal of " << field;
        } catch (const assetgen::Error& e) {
            EXPECT_EQ(e.field(), field) << e.what();
        }
    }
}

}  // namespace

// Level streams (docs/formats.md, "Level stream").
#pragma once

#include <optional>
#include <vector>

#include "bytes.h"

namespace assetgen {

// Bits that a callback reads for itself: (width 1 to 32, value). A value may
// be negative when it fits the width as a two's complement number.
struct BitField {
    int bits = 0;
    int64_t value = 0;
};

struct LevelTile {
    std::optional<int> option;  // 10 bits, or absent (-1 to the reader)
    int column = 0;             // 12 bits
    int row = 0;                // 12 bits
};

struct LevelTileSet {
    int first = 0;              // 8 bits
    int columns = 0;            // 12 bits
    int image = 0;              // 17 bits, signed
    int tileWidth = 0;          // 10 bits
    int tileHeight = 0;         // 10 bits
    std::optional<int> option;  // 10 bits, or absent
    std::vector<LevelTile> tiles;
};

struct LevelMap {
    int width = 0;           // 12 bits
    int height = 0;          // 12 bits
    std::vector<int> cells;  // width × height tile entry numbers, row by row; 0 empty
};

struct LevelObject {
    int64_t position = 0;  // x0 + position mod span, y0 + position / span
    std::vector<BitField> fields;
};

struct LevelGroup {
    int type = 0;                  // 10 bits
    int x0 = 0, y0 = 0, span = 1;  // 16 bits each
    std::optional<int> deltaBits;  // 5 bits; the smallest that holds the deltas when absent
    std::vector<BitField> fields;
    std::vector<LevelObject> objects;  // ascending positions
};

struct LevelDescription {
    bool filler = false;
    int flags = 0;              // bits 0-6 of the flags byte
    std::optional<int> header;  // 10 bits
    std::vector<BitField> headerFields;
    std::optional<LevelTileSet> tileSet;
    std::optional<LevelMap> map;
    std::optional<std::vector<LevelGroup>> groups;
};

Bytes writeLevel(const LevelDescription& level);

// A field that an object of the game reads after its position, by name.
struct NamedField {
    const char* name;
    int bits;
};

// The fields an object of the game's type `type` reads, in stream order
// (docs/formats.md, "Level files"); empty for a type that reads none or
// that the game does not know.
const std::vector<NamedField>& gameObjectFields(int type);

}  // namespace assetgen

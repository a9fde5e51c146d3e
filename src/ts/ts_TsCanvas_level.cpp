// ts.TsCanvas: the level reader.
#include "ts_TsCanvas.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "VMThrow.h"
#include "java_lang_IllegalStateException.h"
#include "ts_Resources.h"

namespace ts {

// --- levels -----------------------------------------------------------------------------

VMPtr<VMBytes> TsCanvas::getLevelResource(jint resourceId) {
    // A level that no pack holds (no pack, or an index beyond its table) is
    // missing: the reader answers false for it.
    try {
        return Resources::getResource(resourceId);
    } catch (java::lang::Exception* e) {
        VMPtr<java::lang::Exception> keep(e);
        return nullptr;
    }
}

jboolean TsCanvas::loadLevel(jint resourceId) {
    VMPtr<VMBytes> data = getLevelResource(resourceId);
    if (data == nullptr) return false;
    return loadLevel(data);
}

jboolean TsCanvas::loadLevel(VMPtr<VMBytes> data) {
    if (data == nullptr) _VM_throwNullPointer();
    // A callback may read another level: the stream being read is put back.
    VMPtr<VMBytes> outerData = levelData;
    const jlong outerPosition = levelPosition, outerLength = levelLength;
    const jboolean outerOverrun = levelOverrun;
    auto restore = [&] {
        levelData = outerData;
        levelPosition = outerPosition;
        levelLength = outerLength;
        levelOverrun = outerOverrun;
    };
    levelData = data;
    levelPosition = 0;
    levelLength = jlong(data->length) * 8;
    levelOverrun = false;
    levelDamage = nullptr;
    bool whole = false;
    try {
        whole = readLevelStream();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        restore();
        _VM_throw(keep);
    }
    restore();
    return whole;
}

uint32_t TsCanvas::readLevel(jint n) {
    const jbyte* bytes = levelData->elements();
    uint64_t value = 0;
    while (n > 0) {
        if (levelPosition >= levelLength) {
            // Past the end: 0 bits.
            levelOverrun = true;
            value <<= n;
            levelPosition += n;
            break;
        }
        const jint bit = jint(levelPosition & 7);
        const jint take = std::min(8 - bit, n);
        const uint32_t byte = uint8_t(bytes[levelPosition >> 3]);
        value = value << take | ((byte >> (8 - bit - take)) & ((1u << take) - 1));
        levelPosition += take;
        n -= take;
    }
    return uint32_t(value);
}

jint TsCanvas::levelReadBits(jint n) {
    if (n < 0 || n > 32) _VM_throwIllegalArgumentException();
    if (levelData == nullptr) _VM_throw(java::lang::IllegalStateException::create()->construct());
    return jint(readLevel(n));
}

jboolean TsCanvas::levelReadBoolean() { return levelReadBits(1) == 1; }

VMPtr<java::lang::String> TsCanvas::getLevelDamage() { return levelDamage; }

bool TsCanvas::levelDamaged(const std::string& what) {
    levelDamage = java::lang::String::_VM_fromUTF8(what.c_str());
    return false;
}

bool TsCanvas::readLevelStream() {
    // A callback only ever sees fields read from inside the stream: once a
    // read has run past the end, reading stops.
    const bool filler = (readLevel(8) & 0x80) != 0;
    if (readLevel(1) && !readLevelHeader(filler)) return false;
    std::vector<jint> tiles;  // packed tile of each tile-set entry
    if (readLevel(1) && !readLevelTileSet(filler, tiles)) return false;
    if (readLevel(1) && !readLevelMap(tiles)) return false;
    if (readLevel(1) && !readLevelObjects(filler)) return false;
    return !levelOverrun;
}

void TsCanvas::skipLevelFiller(bool filler) {
    if (filler) readLevel(6);
}

jint TsCanvas::readLevelOptional10() { return readLevel(1) ? jint(readLevel(10)) : -1; }

bool TsCanvas::readLevelHeader(bool filler) {
    const jint header = jint(readLevel(10));
    if (levelOverrun) return false;
    levelHeader(header);
    skipLevelFiller(filler);
    return true;
}

bool TsCanvas::readLevelTileSet(bool filler, std::vector<jint>& tiles) {
    const jint value = jint(readLevel(8));
    const jint columns = jint(readLevel(12));
    const jint imageId = jint(readLevel(17) << 15) >> 15;  // signed
    const jint tileWidth = jint(readLevel(10));
    const jint tileHeight = jint(readLevel(10));
    const jint option = readLevelOptional10();
    const jint tileCount = jint(readLevel(12));
    if (levelOverrun) return false;
    levelTileSet(value, columns, imageId, tileWidth, tileHeight, option, tileCount);
    tiles.reserve(size_t(tileCount));
    for (jint i = 0; i < tileCount; ++i) {
        const jint tileOption = readLevelOptional10();
        const jint column = jint(readLevel(12));
        const jint row = jint(readLevel(12));
        if (levelOverrun) return false;
        tiles.push_back(column | row << 12);
        levelTile(tileOption, tiles.back());
    }
    skipLevelFiller(filler);
    return true;
}

bool TsCanvas::readLevelMap(const std::vector<jint>& tiles) {
    const jint width = jint(readLevel(12));
    const jint height = jint(readLevel(12));
    if (levelOverrun) return false;
    // A map larger than the rest of the stream is cut short (or its size is
    // wrong, which the stream cannot tell apart).
    if (jlong(width) * height * 12 > levelLength - levelPosition) return false;
    levelMapSize(width, height);
    for (jint y = 0; y < height; ++y) {
        for (jint x = 0; x < width; ++x) {
            const jint entry = jint(readLevel(12));
            if (levelOverrun) return false;
            if (entry > jint(tiles.size())) {
                return levelDamaged("map cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                    ") names tile entry " + std::to_string(entry) + " of " +
                                    std::to_string(tiles.size()));
            }
            levelMapCell(x, y, entry == 0 ? 0 : tiles[size_t(entry - 1)]);
        }
    }
    return true;
}

bool TsCanvas::readLevelObjects(bool filler) {
    const jint groups = jint(readLevel(10));
    std::vector<jlong> positions;
    for (jint g = 0; g < groups; ++g) {
        if (!readLevelObjectGroup(g, positions)) return false;
        skipLevelFiller(filler);
    }
    return true;
}

bool TsCanvas::readLevelObjectGroup(jint group, std::vector<jlong>& positions) {
    const jint type = jint(readLevel(10));
    const jint count = jint(readLevel(12));
    jint x0 = 0, y0 = 0, span = 1;
    positions.clear();
    if (count > 0) {
        x0 = jint(readLevel(16));
        y0 = jint(readLevel(16));
        span = jint(readLevel(16));
        const jint deltaBits = jint(readLevel(5));
        if (levelOverrun) return false;
        const std::string which = "object group " + std::to_string(group) + " (type " + std::to_string(type) + ")";
        if (span == 0) return levelDamaged(which + " has a span of 0");
        // Positions beyond the rest of the stream: cut short (or a wrong count).
        if (jlong(count) * deltaBits > levelLength - levelPosition) return false;
        jlong position = 0;
        for (jint i = 0; i < count; ++i) {
            position += readLevel(deltaBits);
            positions.push_back(position);
        }
        // The last position is the largest: its row must fit the 32 bits of
        // a coordinate.
        if (!levelOverrun && y0 + position / span > INT_MAX) {
            return levelDamaged(which + " places an object at y = " + std::to_string(y0 + position / span));
        }
    }
    if (levelOverrun) return false;
    levelObjectGroup(type, count);
    for (jlong p : positions) {
        if (levelOverrun) return false;
        levelObject(type, jint(x0 + p % span), jint(y0 + p / span));
    }
    return true;
}

}  // namespace ts

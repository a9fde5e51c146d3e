// Fuzz target: the framework canvas's level reader over any bytes.
//
// Input layout: byte 0 tells how many bits the callbacks read for themselves
// (bits 0-2: the header callback, bits 3-5: each group callback, bits 6-7
// times 2: each object callback); the rest is the level stream.
//
// Allowed outcomes: the callbacks come in stream order and agree with the
// counts announced before them (tiles, map cells row by row inside the map,
// objects of the group's type); a read that answers true delivered every
// announced tile, cell and object. Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "VM.h"
#include "ts_TsCanvas.h"
#include "vm_boot.h"

namespace fuzzlevel {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_level: %s\n", what);
    std::abort();
}

class CheckingCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(CheckingCanvas, ts::TsCanvas)

public:
    jint headerBits = 0, groupBits = 0, objectBits = 0;
    // What the stream announced and what came so far.
    int stage = 0;  // 1 header, 2 tile set, 3 map, 4 objects
    jint tileCount = 0, tiles = 0;
    std::vector<jint> packedTiles;
    jint mapWidth = 0, mapHeight = 0, cells = 0;
    jint groupType = -1, groupCount = 0, objects = 0, groups = 0;

    VMPtr<CheckingCanvas> construct() {
        Super::construct(nullptr);
        return this;
    }
    void tick() override {}
    void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) override { (void)g; }

    void reset(uint8_t control) {
        headerBits = control & 7;
        groupBits = control >> 3 & 7;
        objectBits = (control >> 6) * 2;
        stage = 0;
        tileCount = tiles = 0;
        packedTiles.clear();
        mapWidth = mapHeight = cells = 0;
        groupType = -1;
        groupCount = objects = groups = 0;
    }
    void enter(int next) {
        if (next <= stage) fail("a section came out of order");
        stage = next;
    }
    void levelHeader(jint value) override {
        enter(1);
        if (value < 0 || value > 1023) fail("header outside 10 bits");
        levelReadBits(headerBits);
    }
    void levelTileSet(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                      jint count) override {
        enter(2);
        if (value < 0 || value > 255 || columns < 0 || columns > 4095 || imageId < -65536 || imageId > 65535 ||
            tileWidth < 0 || tileWidth > 1023 || tileHeight < 0 || tileHeight > 1023 || option < -1 || option > 1023 ||
            count < 0 || count > 4095)
            fail("a tile-set field outside its width");
        tileCount = count;
    }
    void levelTile(jint option, jint tile) override {
        if (stage != 2 || tiles >= tileCount) fail("a tile outside the tile set");
        if (option < -1 || option > 1023 || tile < 0 || tile >= 1 << 24) fail("a tile field outside its width");
        packedTiles.push_back(tile);
        ++tiles;
    }
    void levelMapSize(jint width, jint height) override {
        enter(3);
        if (tiles != tileCount) fail("the map came before the last tile");
        if (width < 0 || width > 4095 || height < 0 || height > 4095) fail("map size outside 12 bits");
        mapWidth = width;
        mapHeight = height;
    }
    void levelMapCell(jint x, jint y, jint tile) override {
        if (stage != 3 || cells >= mapWidth * mapHeight) fail("a cell outside the map");
        if (x != cells % mapWidth || y != cells / mapWidth) fail("cells out of row order");
        bool known = tile == 0;
        for (jint t : packedTiles) known |= t == tile;
        if (!known) fail("a cell of a tile never announced");
        ++cells;
    }
    void levelObjectGroup(jint type, jint count) override {
        if (stage < 4) {
            if (stage == 3 && cells != mapWidth * mapHeight) fail("objects before the last cell");
            enter(4);
        }
        if (objects != groupCount) fail("a group began before the last one's objects");
        if (tiles != tileCount) fail("objects before the last tile");
        if (type < 0 || type > 1023 || count < 0 || count > 4095) fail("group fields outside their widths");
        groupType = type;
        groupCount = count;
        objects = 0;
        ++groups;
        levelReadBits(groupBits);
    }
    void levelObject(jint type, jint x, jint y) override {
        (void)x, (void)y;
        if (stage != 4 || type != groupType || objects >= groupCount) fail("an object outside its group");
        ++objects;
        levelReadBits(objectBits);
    }
    void checkWhole() {
        if (tiles != tileCount || cells != mapWidth * mapHeight || objects != groupCount)
            fail("a stream read whole left announced records out");
    }
};

}  // namespace fuzzlevel

VM_REGISTER_CLASS(fuzzlevel::CheckingCanvas, .name = "fuzzlevel.CheckingCanvas")

namespace {
VMStatic<fuzzlevel::CheckingCanvas> canvas;  // made once: each canvas has a thread
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size == 0) return 0;
    if (canvas == nullptr) canvas = fuzzlevel::CheckingCanvas::create()->construct();
    VMPtr<fuzzlevel::CheckingCanvas> c = canvas;
    c->reset(data[0]);
    VMPtr<VMArray<jbyte, 1>> stream = VMArray<jbyte, 1>::create(jint(size - 1));
    if (size > 1) std::memcpy(stream->elements(), data + 1, size - 1);
    if (c->loadLevel(stream)) c->checkWhole();
    vmFuzzInputDone();
    return 0;
}

// The level reader over streams the tests write themselves.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "bit_writer.h"
#include "java_lang_IllegalStateException.h"
#include "program_dir.h"
#include "ts_Resources.h"
#include "ts_test_support.h"

using ts::TsCanvas;

namespace tslevel {

// Logs every callback with the fields it reads for itself ("+value"): the
// header callback fields of the widths in headerBits, each group and object
// callback those its type has in groupBits and objectBits (else 3 bits, and
// 1 and 3).
class LevelCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(LevelCanvas, ts::TsCanvas)

public:
    std::ostringstream log;
    VMField<VMArray<jbyte, 1>> resource;  // what getLevelResource answers
    std::vector<jint> headerBits{5};
    std::map<jint, std::vector<jint>> groupBits, objectBits;

    VMPtr<LevelCanvas> construct() {
        Super::construct(nullptr);
        return this;
    }
    void tick() override {}
    void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) override { (void)g; }
    VMPtr<VMArray<jbyte, 1>> getLevelResource(jint resourceId) override {
        return resourceId == 0x5801 ? resource : Super::getLevelResource(resourceId);
    }
    void levelHeader(jint value) override {
        log << "H" << value;
        for (jint bits : headerBits) log << "+" << levelReadBits(bits);
        log << " ";
    }
    void levelTileSet(jint a, jint b, jint c, jint d, jint e, jint f, jint g) override {
        log << "S" << a << "," << b << "," << c << "," << d << "," << e << "," << f << "," << g << " ";
    }
    void levelTile(jint option, jint tile) override { log << "T" << option << "," << tile << " "; }
    void levelMapSize(jint width, jint height) override { log << "M" << width << "x" << height << " "; }
    void levelMapCell(jint x, jint y, jint tile) override { log << x << "," << y << "=" << tile << " "; }
    void levelObjectGroup(jint type, jint count) override {
        log << "G" << type << "," << count;
        readFields(groupBits.count(type) ? groupBits[type] : std::vector<jint>{3});
    }
    void levelObject(jint type, jint x, jint y) override {
        log << "O" << type << "," << x << "," << y;
        readFields(objectBits.count(type) ? objectBits[type] : std::vector<jint>{1, 3});
    }
    void readFields(const std::vector<jint>& widths) {
        for (jint bits : widths) log << "+" << (bits == 1 ? (levelReadBoolean() ? 1 : 0) : levelReadBits(bits));
        log << " ";
    }
    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(resource, bits);
    }
};

}  // namespace tslevel

VM_REGISTER_CLASS(tslevel::LevelCanvas, .name = "tslevel.LevelCanvas")

using tslevel::LevelCanvas;

namespace {

// A level with every section; with filler bits after the header, the tile
// entries and each group when `filler` is set.
std::vector<uint8_t> fullLevel(bool filler) {
    BitWriter out;
    auto fill = [&] {
        if (filler) out.put(6, 0);
    };
    out.put(8, filler ? 0x85 : 0x05);
    out.put(1, 1).put(10, 1023).put(5, 17);
    fill();
    // Tile set: 200, 16 columns, image -3, 24 x 32, no option, 2 tiles.
    out.put(1, 1).put(8, 200).put(12, 16).put(17, 0x1FFFD).put(10, 24).put(10, 32).put(1, 0).put(12, 2);
    out.put(1, 1).put(10, 9).put(12, 3).put(12, 1);  // option 9, column 3, row 1
    out.put(1, 0).put(12, 4095).put(12, 4095);
    fill();
    out.put(1, 1).put(12, 3).put(12, 2);
    for (uint32_t entry : {0, 1, 2, 2, 0, 1}) out.put(12, entry);
    out.put(1, 1).put(10, 2);
    // Group 7 of three objects at positions 5, 5 and 12 in rows of 10 from
    // (100, 200); then group 1 of none.
    out.put(10, 7).put(12, 3).put(16, 100).put(16, 200).put(16, 10).put(5, 3);
    out.put(3, 5).put(3, 0).put(3, 7);
    out.put(3, 6);                                                    // the group's own field
    out.put(1, 1).put(3, 2).put(1, 0).put(3, 0).put(1, 1).put(3, 7);  // each object's
    fill();
    out.put(10, 1).put(12, 0).put(3, 1);
    fill();
    return out.bytes();
}

const char* kFullLog =
    "H1023+17 S200,16,-3,24,32,-1,2 T9,4099 T-1,16777215 M3x2 0,0=0 1,0=4099 2,0=16777215 0,1=16777215 "
    "1,1=0 2,1=4099 G7,3+6 O7,105,200+1+2 O7,105,200+0+0 O7,102,201+1+7 G1,0+1 ";

// The log without what the callbacks read for themselves.
std::string records(const std::string& log) { return std::regex_replace(log, std::regex("\\+-?[0-9]+"), ""); }

class TsCanvasLevelTest : public VMTest {
protected:
    tstest::Booted booted;  // before the reference members
    void SetUp() override {
        VMTest::SetUp();
        canvas = LevelCanvas::create()->construct();
        canvas->postEvent(TsCanvas::EVENT_EXIT);
    }
    bool read(const std::vector<uint8_t>& stream) {
        canvas->log.str("");
        return canvas->loadLevel(tstest::bytesOf(stream));
    }
    VMPtr<LevelCanvas> canvas;
};

}  // namespace

TEST_F(TsCanvasLevelTest, EveryCallbackComesInStreamOrderWithOrWithoutFiller) {
    for (bool filler : {true, false}) {
        EXPECT_TRUE(read(fullLevel(filler))) << filler;
        EXPECT_EQ(canvas->log.str(), kFullLog) << filler;
    }
    // Absent sections: only the objects.
    BitWriter out;
    out.put(8, 0).put(1, 0).put(1, 0).put(1, 0).put(1, 1).put(10, 1);
    out.put(10, 3).put(12, 1).put(16, 0).put(16, 0).put(16, 1).put(5, 0).put(3, 4).put(1, 0).put(3, 1);
    EXPECT_TRUE(read(out.bytes()));
    EXPECT_EQ(canvas->log.str(), "G3,1+4 O3,0,0+0+1 ");
    // Nothing present at all.
    EXPECT_TRUE(read({0x00, 0x00}));
    EXPECT_EQ(canvas->log.str(), "");
}

TEST_F(TsCanvasLevelTest, ACutOrInconsistentStreamStopsAndAnswersFalse) {
    const std::vector<uint8_t> full = fullLevel(true);
    for (size_t cut = 0; cut < full.size(); ++cut) {
        const std::vector<uint8_t> part(full.begin(), full.begin() + ptrdiff_t(cut));
        EXPECT_FALSE(read(part)) << cut;
        // The records told before the stop are the first ones of the whole
        // stream (what the callbacks read past the end reads 0).
        EXPECT_EQ(records(kFullLog).rfind(records(canvas->log.str()), 0), 0u) << cut << ": " << canvas->log.str();
    }
    EXPECT_EQ(canvas->getLevelDamage(), nullptr);  // cut short is not damaged
    // Streams that stop the read: the records told before the stop, and what
    // is damaged ("" for a stream cut short, or whose sizes run past its end).
    BitWriter bigMap;  // a map larger than the rest of the stream: not even its size is told
    bigMap.put(8, 0).put(1, 0).put(1, 0).put(1, 1).put(12, 4095).put(12, 4095).put(12, 0);
    BitWriter badCell;  // a map cell of a tile entry that does not exist
    badCell.put(8, 0).put(1, 0).put(1, 0).put(1, 1).put(12, 2).put(12, 1).put(12, 0).put(12, 1).put(1, 0);
    BitWriter bigGroup;  // positions that need more bits than there are
    bigGroup.put(8, 0).put(3, 0).put(1, 1).put(10, 1).put(10, 1).put(12, 4095).put(16, 0).put(16, 0).put(16, 1);
    bigGroup.put(5, 31);
    BitWriter noSpan;
    noSpan.put(8, 0).put(3, 0).put(1, 1).put(10, 1).put(10, 1).put(12, 1).put(32, 0).put(16, 0).put(5, 1).put(1, 0);
    BitWriter farRow;  // the second group's last object 4294967294 rows of 1 below y 65535
    farRow.put(8, 0).put(3, 0).put(1, 1).put(10, 2).put(10, 5).put(12, 0).put(3, 0);
    farRow.put(10, 1).put(12, 2).put(16, 0).put(16, 65535).put(16, 1);
    farRow.put(5, 31).put(31, 0x7FFFFFFF).put(31, 0x7FFFFFFF).put(16, 0);
    const struct {
        std::vector<uint8_t> stream;
        const char* told;
        const char* damage;
    } stops[] = {
        {bigMap.bytes(), "", ""},
        {badCell.bytes(), "M2x1 0,0=0 ", "map cell (1, 0) names tile entry 1 of 0"},
        {bigGroup.bytes(), "", ""},
        {noSpan.bytes(), "", "object group 0 (type 1) has a span of 0"},
        {farRow.bytes(), "G5,0+0 ", "object group 1 (type 1) places an object at y = 4295032829"},
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.damage);
        EXPECT_FALSE(read(stop.stream));
        EXPECT_EQ(canvas->log.str(), stop.told);
        VMPtr<java::lang::String> damage = canvas->getLevelDamage();
        EXPECT_EQ(damage == nullptr ? "" : damage->_VM_toStdString(), stop.damage);
    }
    // A whole read clears what the last one found.
    EXPECT_TRUE(read(fullLevel(false)));
    EXPECT_EQ(canvas->getLevelDamage(), nullptr);
}

TEST_F(TsCanvasLevelTest, ResourcesAndBitReadsOutsideALevel) {
    EXPECT_FALSE(canvas->loadLevel(0x5800 + 1000));  // no such resource
    canvas->resource = tstest::bytesOf(fullLevel(false));
    EXPECT_TRUE(canvas->loadLevel(0x5801));
    EXPECT_EQ(canvas->log.str(), kFullLog);
    EXPECT_EQ(VM_THROWN_CLASS(canvas->levelReadBits(1)), "java.lang.IllegalStateException");
    EXPECT_EQ(VM_THROWN_CLASS(canvas->loadLevel(VMPtr<VMBytes>())), "java.lang.NullPointerException");
    // Bits past the end read 0 (and the level is not whole); 32 bits at once
    // are one int.
    canvas->headerBits = {32, 8};
    BitWriter header;
    header.put(8, 0).put(1, 1).put(10, 5).put(32, 0xFFFFFFFE);
    EXPECT_FALSE(read(header.bytes()));
    EXPECT_EQ(canvas->log.str(), "H5+-2+0 ");
    EXPECT_EQ(VM_THROWN_CLASS(canvas->levelReadBits(33)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(canvas->levelReadBits(-1)), "java.lang.IllegalArgumentException");
}

// The levels of the generated test data set (docs/formats.md), read with the
// fields their descriptions give the callbacks.
TEST_F(TsCanvasLevelTest, TheGeneratorsLevelsReadWhole) {
    const std::string folder = testProgramDir() + "seeds/level/";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no generated levels in " << folder;
    auto file = [&](const char* name) {
        std::ifstream in(folder + name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    canvas->headerBits = {4};
    canvas->groupBits = {{1, {8}}, {2, {}}, {3, {16, 1}}};
    canvas->objectBits = {{1, {12, 4, 8}}, {2, {3}}};
    EXPECT_TRUE(read(file("22-1")));
    const std::string level0 = canvas->log.str();
    EXPECT_EQ(level0.substr(0, level0.find(" M")),
              "H5+9 S1,4,22528,16,16,2,8 T-1,0 T1,1 T-1,2 T-1,3 T-1,4096 T1023,4097 T-1,4098 T-1,4099");
    EXPECT_NE(level0.find(" M8x6 0,0=1 1,0=1 "), std::string::npos) << level0;
    EXPECT_NE(level0.find(" 7,5=4099 G1,4+2 O1,3,1+4+2+25 O1,4,1+4+2+25 O1,2,2+6+3+10 O1,5,2+6+3+10 G2,3 "
                          "O2,40,40+1 O2,100,40+5 O2,16,90+7 G3,0+1234+1 "),
              std::string::npos)
        << level0;
    EXPECT_TRUE(read(file("22-2")));
    EXPECT_EQ(canvas->log.str(), "");
    // By resource id through the resource packs: level 1 of pack 22 has no
    // sections; an index past the pack's table is a missing level.
    ts::Resources::unloadPack();
    EXPECT_TRUE(canvas->loadLevel(0x5800 + 2));
    EXPECT_FALSE(canvas->loadLevel(0x5800 + 1000));
    ts::Resources::unloadPack();

    canvas->headerBits = {};
    canvas->groupBits = {{1023, {}}};
    canvas->objectBits = {{1023, {}}};
    EXPECT_TRUE(read(file("22-3")));
    EXPECT_EQ(canvas->log.str(),
              "H1023 S255,4095,-5,1023,1,-1,1 T0,16777215 M2x1 0,0=16777215 1,0=0 G1023,3 O1023,65535,0 "
              "O1023,65535,0 O1023,82510,15 ");
}

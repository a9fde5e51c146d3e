// A level of the test data set read through the game canvas's level reader
// reaches Main's level loader unchanged and in stream order. The loader
// reads the fields that the level's header, groups and objects carry.
#include <string>
#include <vector>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_Resources.h"
#include "vm_test.h"

namespace leveltest {

// Records a callback, reading the fields that level 0 gives it.
void record(std::vector<std::string>& calls, ts::TsCanvas* canvas, const char* name, std::vector<jint> args) {
    std::string line = name;
    for (jint a : args) line += " " + std::to_string(a);
    std::vector<jint> widths;
    const std::string what = name;
    if (what == "header") widths = {4};
    if (what == "group")
        widths = args[0] == 1 ? std::vector<jint>{8} : args[0] == 3 ? std::vector<jint>{16, 1} : widths;
    if (what == "object") widths = args[0] == 1 ? std::vector<jint>{12, 4, 8} : std::vector<jint>{3};
    for (jint w : widths) line += " [" + std::to_string(canvas->levelReadBits(w)) + "]";
    calls.push_back(line);
}

class RecordingLoader : public scene::ingame::LevelLoader {
    VM_DECLARE_CLASS(RecordingLoader, scene::ingame::LevelLoader)

public:
    std::vector<std::string> calls;
    void readFirstLevelField(jint v) override { record(calls, canvas.get(), "header", {v}); }
    void setTileSetInfo(jint a, jint b, jint c, jint d, jint e, jint f, jint g) override {
        record(calls, canvas.get(), "tileSet", {a, b, c, d, e, f, g});
    }
    void defineTile(jint a, jint b) override { record(calls, canvas.get(), "tile", {a, b}); }
    void setMapSize(jint w, jint h) override { record(calls, canvas.get(), "mapSize", {w, h}); }
    void setMapCell(jint x, jint y, jint t) override { record(calls, canvas.get(), "cell", {x, y, t}); }
    void beginObjectGroup(jint t, jint n) override { record(calls, canvas.get(), "group", {t, n}); }
    void addObject(jint t, jint x, jint y) override { record(calls, canvas.get(), "object", {t, x, y}); }
};

// A receiver of the framework's that is not the game's loader.
class OtherReceiver : public com::ventrix::common::LevelReceiver {
    VM_DECLARE_CLASS(OtherReceiver, com::ventrix::common::LevelReceiver)

public:
    void readFirstLevelField(jint) override {}
    void setTileSetInfo(jint, jint, jint, jint, jint, jint, jint) override {}
    void defineTile(jint, jint) override {}
    void setMapSize(jint, jint) override {}
    void setMapCell(jint, jint, jint) override {}
    void beginObjectGroup(jint, jint) override {}
    void addObject(jint, jint, jint) override {}
};

}  // namespace leveltest

VM_REGISTER_CLASS(leveltest::RecordingLoader, .name = "leveltest.RecordingLoader")
VM_REGISTER_CLASS(leveltest::OtherReceiver, .name = "leveltest.OtherReceiver")

TEST(LevelLoaderTest, TheGameCanvasHandsEveryLevelRecordToTheLoaderUnchangedAndInOrder) {
    vmTestBoot();
    VMPtr<VMArray<jbyte, 1>> level = ts::Resources::getResource(0x5800 + 1);  // level 0: every section
    ts::Resources::unloadPack();
    VMPtr<com::ventrix::common::CommonCanvas> canvas = com::ventrix::common::CommonCanvas::create()->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);  // no frames
    com::ventrix::common::Main::create()->construct(canvas);
    VMPtr<leveltest::RecordingLoader> loader = leveltest::RecordingLoader::create();
    loader->construct();  // over Main's canvas
    com::ventrix::common::Main::levelLoader = loader;
    EXPECT_TRUE(canvas->loadLevel(level));

    ASSERT_EQ(loader->calls.size(), 69u);  // 1 + 9 tile set + 49 map + 3 groups with 7 objects
    EXPECT_EQ(loader->calls[0], "header 5 [9]");
    EXPECT_EQ(loader->calls[1], "tileSet 1 4 22528 16 16 2 8");
    EXPECT_EQ(loader->calls[7], "tile 1023 4097");
    EXPECT_EQ(loader->calls[9], "tile -1 4099");
    EXPECT_EQ(loader->calls[10], "mapSize 8 6");
    EXPECT_EQ(loader->calls[11], "cell 0 0 1");
    EXPECT_EQ(loader->calls[59], "group 1 4 [2]");
    EXPECT_EQ(loader->calls[58], "cell 7 5 4099");
    EXPECT_EQ(loader->calls[60], "object 1 3 1 [4] [2] [25]");
    EXPECT_EQ(loader->calls[64], "group 2 3");
    EXPECT_EQ(loader->calls[65], "object 2 40 40 [1]");
    EXPECT_EQ(loader->calls.back(), "group 3 0 [1234] [1]");
    com::ventrix::common::Main::levelLoader = nullptr;
}

TEST(LevelLoaderTest, TheGameReadsMainsReceiverBackAsItsLoader) {
    vmTestBoot();
    using com::ventrix::common::Main;
    using scene::ingame::LevelLoader;
    _VM_ensureInitialized(Main::_VM_classRecord);
    VMPtr<LevelLoader> loader = leveltest::RecordingLoader::create();
    Main::levelLoader = loader;
    EXPECT_EQ(LevelLoader::getInstance().get(), loader.get());
    Main::levelLoader = leveltest::OtherReceiver::create()->construct();
    EXPECT_EQ(VM_THROWN_CLASS(LevelLoader::getInstance()), "java.lang.ClassCastException");
    Main::levelLoader = nullptr;
    EXPECT_EQ(LevelLoader::getInstance(), nullptr);
}

// The level receiver: Main makes the game's loader by its class name, and
// the game canvas hands Main's receiver each level record unchanged.
#include <string>
#include <vector>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_LevelReceiver.h"
#include "com_ventrix_common_Main.h"
#include "java_lang_Class.h"
#include "vm_test.h"

using com::ventrix::common::CommonCanvas;
using com::ventrix::common::Main;

namespace receivertest {

// Writes each record down as "<operation> <arguments>".
class RecordingReceiver : public com::ventrix::common::LevelReceiver {
    VM_DECLARE_CLASS(RecordingReceiver, com::ventrix::common::LevelReceiver)

public:
    std::vector<std::string> calls;
    void note(const char* name, std::initializer_list<jint> args) {
        std::string line = name;
        for (jint a : args) line += " " + std::to_string(a);
        calls.push_back(line);
    }
    void readFirstLevelField(jint v) override { note("header", {v}); }
    void setTileSetInfo(jint a, jint b, jint c, jint d, jint e, jint f, jint g) override {
        note("tileSet", {a, b, c, d, e, f, g});
    }
    void defineTile(jint option, jint tile) override { note("tile", {option, tile}); }
    void setMapSize(jint w, jint h) override { note("mapSize", {w, h}); }
    void setMapCell(jint x, jint y, jint tile) override { note("cell", {x, y, tile}); }
    void beginObjectGroup(jint type, jint count) override { note("group", {type, count}); }
    void addObject(jint type, jint x, jint y) override { note("object", {type, x, y}); }
};

}  // namespace receivertest

VM_REGISTER_CLASS(receivertest::RecordingReceiver, .name = "receivertest.RecordingReceiver")

TEST(LevelReceiverTest, MainMakesTheLoaderByNameAndTheCanvasHandsItEveryRecordUnchanged) {
    vmTestBoot();
    VMPtr<CommonCanvas> canvas = CommonCanvas::create()->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);  // no frames
    Main::create()->construct(canvas);
    ASSERT_NE(Main::levelLoader, nullptr);
    EXPECT_TRUE(Main::levelLoader->getClass()->getName()->equals(VM_STR(Main::LEVEL_LOADER_CLASS)));

    VMPtr<receivertest::RecordingReceiver> receiver = receivertest::RecordingReceiver::create();
    receiver->construct();
    Main::levelLoader = receiver;
    // Extreme values too: the canvas checks nothing on the way.
    canvas->levelHeader(-1);
    canvas->levelTileSet(1, 2, -65536, 4, 5, -1, 4095);
    canvas->levelTile(1023, 4097);
    canvas->levelMapSize(0, 4095);
    canvas->levelMapCell(7, 5, 0x7FFFFFFF);
    canvas->levelObjectGroup(1000, 0);
    canvas->levelObject(24, -3, 65535);
    EXPECT_EQ(receiver->calls, (std::vector<std::string>{"header -1", "tileSet 1 2 -65536 4 5 -1 4095",
                                                         "tile 1023 4097", "mapSize 0 4095", "cell 7 5 2147483647",
                                                         "group 1000 0", "object 24 -3 65535"}));
    Main::levelLoader = nullptr;
    Main::canvas = nullptr;
}

// Game: saved records of two kinds through the canvas's record stores.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Game.h"
#include "hal_recordstore.h"
#include "program_dir.h"
#include "ventrix_test_support.h"

using com::ventrix::common::Game;
using com::ventrix::common::Main;
using ts::TsCanvas;

namespace gametest {

// Kind 0: two ints (defaults 0, 1); kind 1: a boolean and an int in 6 bytes
// (defaults true, 0).
class TestGame : public Game {
    VM_DECLARE_CLASS(TestGame, Game)

public:
    jint values[2][2] = {};
    int saves[2] = {}, creates[2] = {};

    VMPtr<TestGame> construct() {
        Super::construct();
        allocateRecords(2);
        loadAll();
        return this;
    }
    void writeFields(jint kind, jint) override {
        if (kind == 0) TsCanvas::writeInt(values[0][0]);
        if (kind == 1) TsCanvas::writeBoolean(values[1][0] != 0);
        TsCanvas::writeInt(values[kind][1]);
    }
    void readFields(jint kind, jint) override {
        values[kind][0] = kind == 0 ? TsCanvas::readInt() : TsCanvas::readBoolean();
        values[kind][1] = TsCanvas::readInt();
    }
    void createRecord(jint kind) override {
        ++creates[kind];
        records->set(kind, VMArray<jbyte, 1>::create(kind == 0 ? 8 : 6));
        values[kind][0] = kind == 0 ? 0 : 1;
        values[kind][1] = kind == 0 ? 1 : 0;
    }
    void saveRecord(jint kind) override {
        ++saves[kind];
        Super::saveRecord(kind);
    }
};

}  // namespace gametest

VM_REGISTER_CLASS(gametest::TestGame, .name = "gametest.TestGame")

namespace {

using Bytes = std::vector<uint8_t>;

VMPtr<VMBytes> bytesOf(std::initializer_list<uint8_t> values) {
    VMPtr<VMBytes> b = VMBytes::create(jint(values.size()));
    jint i = 0;
    for (uint8_t v : values) (*b)[i++] = jbyte(v);
    return b;
}

class GameTest : public ventrixtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        canvas = com::ventrix::common::CommonCanvas::create()->construct(nullptr);
        canvas->postEvent(TsCanvas::EVENT_EXIT);  // no frames
        Main::canvas = canvas;
    }
    Bytes store(jint kind) {
        VMPtr<VMArray<jbyte, 1>> b = canvas->loadRecordStore(kind);
        return b == nullptr ? Bytes() : Bytes(b->elements(), b->elements() + b->length);
    }
    VMPtr<gametest::TestGame> run() { return gametest::TestGame::create()->construct(); }

    TempProgramDir dir{"game"};
    VMPtr<TsCanvas> canvas;
};

}  // namespace

TEST_F(GameTest, TheFirstRunCreatesTheStoresWithDefaultsAndSavesSurviveARestart) {
    VMPtr<gametest::TestGame> game = run();
    EXPECT_EQ(game->canvas.get(), canvas.get());
    EXPECT_EQ(game->saves[0] + game->saves[1], 2);  // each written once
    EXPECT_EQ(store(0), (Bytes{0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(store(1), (Bytes{1, 0, 0, 0, 0, 0}));
    game->values[1][0] = 0;
    game->values[1][1] = 5;
    game->saveRecord(1);
    EXPECT_EQ(store(1), (Bytes{0, 0, 0, 0, 5, 0}));

    VMPtr<gametest::TestGame> again = run();  // existing kinds: read, not written
    EXPECT_EQ(again->saves[0] + again->saves[1] + again->creates[0] + again->creates[1], 0);
    EXPECT_EQ(again->values[0][1], 1);
    EXPECT_EQ(again->values[1][0], 0);
    EXPECT_EQ(again->values[1][1], 5);
}

TEST_F(GameTest, ARecordTooShortForItsKindIsReplacedByTheDefaults) {
    canvas->saveRecordStore(1, VMArray<jbyte, 1>::create(3));
    VMPtr<gametest::TestGame> game = run();
    EXPECT_EQ(game->creates[1], 1);
    EXPECT_EQ(game->saves[1], 1);
    EXPECT_EQ(game->values[1][0], 1);
    EXPECT_EQ(store(1), (Bytes{1, 0, 0, 0, 0, 0}));
    game->values[1][1] = 2;  // and later saves of the kind work
    game->saveRecord(1);
    EXPECT_EQ(store(1), (Bytes{1, 0, 0, 0, 2, 0}));
}

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs as an ordinary user would meet modes 000 (root reads every file: the
// record-store layer then honours the owner's permission bits by itself).
struct AsOwner {
    AsOwner() { hal_recordstore::actAsOwner(true); }
    ~AsOwner() { hal_recordstore::actAsOwner(false); }
};

}  // namespace

// Saved progress that is there but cannot be read now (its record file, its
// metadata file or its whole store folder made unreadable) is never thrown
// away: the run plays on the defaults in memory, writes nothing over the
// store, not even when the kind is saved later, and says so in one line;
// once readable again it is read as it was.
TEST_F(GameTest, AStoreThatCannotBeReadKeepsItsBytesAndTheRunPlaysOnTheDefaults) {
    const std::string database = hal_recordstore::databaseDirectory();
    for (const char* unreadable : {"store-1/record-1.bin", "store-1/metadata.info", "store-1"}) {
        SCOPED_TRACE(unreadable);
        ASSERT_TRUE(canvas->saveRecordStore(0, bytesOf({0, 0, 0, 2, 0, 0, 0, 0})));
        ASSERT_TRUE(canvas->saveRecordStore(1, bytesOf({0, 0, 0, 0, 5, 0})));  // level 5 reached
        const std::string record = database + "store-1/record-1.bin";
        const std::string before = fileBytes(record);
        ASSERT_EQ(before.size(), 6u);
        const std::string metadata = database + "store-1/metadata.info";
        const std::string metadataBefore = fileBytes(metadata);
        ASSERT_EQ(::chmod((database + unreadable).c_str(), 0), 0);
        VMPtr<gametest::TestGame> game;
        std::string printed;
        {
            AsOwner owner;
            testing::internal::CaptureStdout();
            game = run();
            printed = testing::internal::GetCapturedStdout();
            EXPECT_EQ(game->creates[1], 1);
            EXPECT_EQ(game->values[1][0], 1);  // the defaults
            EXPECT_EQ(game->values[1][1], 0);
            EXPECT_EQ(game->values[0][0], 2);  // the readable kind as stored
            game->values[1][1] = 1;            // a level finished on the defaults
            game->saveRecord(1);
        }
        EXPECT_EQ(printed,
                  "saved data in record store \"1\" cannot be read: playing on the defaults, and not saving over it\n");
        ASSERT_EQ(::chmod((database + unreadable).c_str(), std::string(unreadable) == "store-1" ? 0755 : 0644), 0);
        EXPECT_EQ(fileBytes(record), before);
        EXPECT_EQ(fileBytes(metadata), metadataBefore);
        EXPECT_FALSE(std::filesystem::exists(database + ".replacing-store-1"));
        VMPtr<gametest::TestGame> later = run();
        EXPECT_EQ(later->creates[1], 0);
        EXPECT_EQ(later->values[1][1], 5);
        later->values[1][1] = 6;  // and saves of a readable store work again
        later->saveRecord(1);
        EXPECT_EQ(store(1), (Bytes{0, 0, 0, 0, 6, 0}));
    }
}

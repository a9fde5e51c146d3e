// SamGameSave: the options record "0" and the progress record "1" in the
// device's record stores: defaults on a first run, values restored and
// clamped on a later one, records cut short replaced by the defaults.
#include "game_test_support.h"
#include "program_dir.h"
#include "sam_SamGameSave.h"

namespace {

using sam::SamGameSave;
using Bytes = std::vector<uint8_t>;

class SamGameSaveTest : public leveltest::GameCanvasTest {
protected:
    Bytes store(jint kind) {
        VMPtr<VMBytes> b = canvas->loadRecordStore(kind);
        return b == nullptr ? Bytes() : Bytes(b->elements(), b->elements() + b->length);
    }
    void put(jint kind, const Bytes& bytes) {
        VMPtr<VMBytes> b = VMBytes::create(jint(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<uint8_t*>(b->elements()));
        canvas->saveRecordStore(kind, b);
    }
    // A start of the game: the save object loads both records.
    VMPtr<SamGameSave> start() {
        _VM_ensureInitialized(SamGameSave::_VM_classRecord);
        SamGameSave::optionIndex = SamGameSave::soundSetting = SamGameSave::currentLevel = SamGameSave::unlockedLevel =
            -7;
        SamGameSave::progressFlag = false;
        return SamGameSave::create()->construct();
    }

    TempProgramDir dir{"samsave"};
};

TEST_F(SamGameSaveTest, AFirstRunWritesTheDefaultsAndALaterRunStartsAtTheHighestLevel) {
    start();
    EXPECT_EQ(store(0), (Bytes{0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(store(1), (Bytes{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(SamGameSave::optionIndex, 0);
    EXPECT_EQ(SamGameSave::soundSetting, 1);
    EXPECT_TRUE(SamGameSave::progressFlag);
    EXPECT_EQ(SamGameSave::currentLevel, 0);
    EXPECT_EQ(SamGameSave::unlockedLevel, 0);

    put(1, {1, 0, 0, 0, 5, 0});
    start();
    EXPECT_EQ(SamGameSave::unlockedLevel, 5);
    EXPECT_EQ(SamGameSave::currentLevel, 5);
    EXPECT_EQ(store(1), (Bytes{1, 0, 0, 0, 5, 0}));  // read, not rewritten
}

TEST_F(SamGameSaveTest, SavingTheProgressWritesFlagAndLevelAndKeepsTheSpareByte) {
    put(1, {0, 0, 0, 0, 2, 0x7F});
    VMPtr<SamGameSave> save = start();
    EXPECT_FALSE(SamGameSave::progressFlag);
    EXPECT_EQ(SamGameSave::unlockedLevel, 2);
    SamGameSave::progressFlag = true;
    SamGameSave::unlockedLevel = 3;
    save->saveRecord(SamGameSave::PROGRESS);
    EXPECT_EQ(store(1), (Bytes{1, 0, 0, 0, 3, 0x7F}));
    SamGameSave::optionIndex = 2;
    SamGameSave::soundSetting = 0;
    save->saveRecord(SamGameSave::OPTIONS);
    EXPECT_EQ(store(0), (Bytes{0, 0, 0, 2, 0, 0, 0, 0}));
}

TEST_F(SamGameSaveTest, StoredValuesComeBackInRangeAndShortRecordsGiveTheDefaults) {
    struct Case {
        Bytes options, progress;
        jint option, sound, level;
        jboolean flag;
        Bytes optionsAfter, progressAfter;  // the stores after the start
    };
    const Case cases[] = {
        // Out of range: clamped as read (the stores stay as they were).
        {{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 7},
         {0x80, 0, 0, 0, 11, 0},
         0,
         1,
         10,
         true,
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 7},
         {0x80, 0, 0, 0, 11, 0}},
        {{0, 0, 0, 99, 0x80, 0, 0, 0},
         {1, 0xFF, 0xFF, 0xFF, 0xFD, 0},
         4,
         0,
         0,
         true,
         {0, 0, 0, 99, 0x80, 0, 0, 0},
         {1, 0xFF, 0xFF, 0xFF, 0xFD, 0}},
        {{0, 0, 0, 4, 0, 0, 0, 1},
         {0, 0x7F, 0xFF, 0xFF, 0xFF, 9},
         4,
         1,
         10,
         false,
         {0, 0, 0, 4, 0, 0, 0, 1},
         {0, 0x7F, 0xFF, 0xFF, 0xFF, 9}},
        // Cut short (7 and 4 bytes, 5 bytes): the defaults, written back.
        {{0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 7}, 0, 1, 0, true, {0, 0, 0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 0}},
        {{}, {0, 0, 0, 0, 7}, 0, 1, 0, true, {0, 0, 0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 0}},
        // Longer than their kinds: the first bytes are read, the rest kept.
        {{0, 0, 0, 1, 0, 0, 0, 0, 0xAA},
         {1, 0, 0, 0, 4, 0, 0xBB},
         1,
         0,
         4,
         true,
         {0, 0, 0, 1, 0, 0, 0, 0, 0xAA},
         {1, 0, 0, 0, 4, 0, 0xBB}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options) + " " + testing::PrintToString(c.progress));
        put(0, c.options);
        put(1, c.progress);
        start();
        EXPECT_EQ(SamGameSave::optionIndex, c.option);
        EXPECT_EQ(SamGameSave::soundSetting, c.sound);
        EXPECT_EQ(SamGameSave::unlockedLevel, c.level);
        EXPECT_EQ(SamGameSave::currentLevel, c.level);
        EXPECT_EQ(SamGameSave::progressFlag, c.flag);
        EXPECT_EQ(store(0), c.optionsAfter);
        EXPECT_EQ(store(1), c.progressAfter);
    }
}

}  // namespace

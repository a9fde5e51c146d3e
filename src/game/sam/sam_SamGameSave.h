// sam.SamGameSave: the game's saved data. Two records: kind 0 the options
// (option index, sound setting: two big-endian ints, 8 bytes), kind 1 the
// progress (a flag byte, the highest level reached as a big-endian int, and
// one spare byte: 6 bytes). The values are statics that the scenes read and
// write directly; saveRecord (kind) makes them persistent.
//
// A stored record shorter than its kind counts as missing: its defaults are
// set and written back. Values read back are clamped to what the game can
// show and play.
#pragma once

#include "VM.h"
#include "com_ventrix_common_Game.h"

namespace sam {

class SamGameSave : public com::ventrix::common::Game {
    VM_DECLARE_CLASS(SamGameSave, com::ventrix::common::Game)

public:
    static constexpr jint OPTIONS = 0;
    static constexpr jint PROGRESS = 1;
    static constexpr jint OPTIONS_SIZE = 8;
    static constexpr jint PROGRESS_SIZE = 6;
    static constexpr jint MAX_OPTION_INDEX = 4;
    static constexpr jint MAX_SOUND_SETTING = 1;
    static constexpr jint LAST_LEVEL = 10;

    static jint optionIndex;       // the option page's value, 0 to 4
    static jint soundSetting;      // 0 sound off, 1 on
    static jboolean progressFlag;  // kept with the progress
    static jint currentLevel;      // the level to play: -1 the tutorial level, 0 to 10; not stored
    static jint unlockedLevel;     // the highest level reached, 0 to 10

    static void _VM_clinit();
    // Allocates the two record buffers and loads both records (each missing
    // one is created with its defaults and saved).
    VMPtr<SamGameSave> construct();

    void writeFields(jint kind, jint flag) override;
    void readFields(jint kind, jint flag) override;
    void createRecord(jint kind) override;
};

}  // namespace sam

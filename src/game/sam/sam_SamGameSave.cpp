// sam.SamGameSave: the game's saved data.
#include "sam_SamGameSave.h"

#include <algorithm>

#include "java_io_EOFException.h"
#include "ts_TsCanvas.h"

namespace sam {

using ts::TsCanvas;

jint SamGameSave::optionIndex = 0;
jint SamGameSave::soundSetting = 1;
jboolean SamGameSave::progressFlag = true;
jint SamGameSave::currentLevel = 0;
jint SamGameSave::unlockedLevel = 0;

void SamGameSave::_VM_clinit() {
    optionIndex = 0;
    soundSetting = 1;
    progressFlag = true;
    currentLevel = 0;
    unlockedLevel = 0;
}

VMPtr<SamGameSave> SamGameSave::construct() {
    Super::construct();
    allocateRecords(2);
    if (canvas == nullptr) {
        // Made before the game has a canvas (by name, say): no stores to
        // read or write; the defaults stand.
        createRecord(OPTIONS);
        createRecord(PROGRESS);
    } else {
        loadAll();
    }
    return this;
}

void SamGameSave::writeFields(jint kind, jint flag) {
    (void)flag;
    _VM_ensureInitialized(_VM_classRecord);
    if (kind == OPTIONS) {
        TsCanvas::writeInt(optionIndex);
        TsCanvas::writeInt(soundSetting);
    } else if (kind == PROGRESS) {
        TsCanvas::writeBoolean(progressFlag);
        TsCanvas::writeInt(unlockedLevel);
    }
}

void SamGameSave::readFields(jint kind, jint flag) {
    (void)flag;
    _VM_ensureInitialized(_VM_classRecord);
    _VM_ensureInitialized(TsCanvas::_VM_classRecord);
    const jint size = kind == OPTIONS ? OPTIONS_SIZE : kind == PROGRESS ? PROGRESS_SIZE : 0;
    VMPtr<VMBytes> data = TsCanvas::loadBuffer;
    // A record cut short (or written by something else) is no record: the
    // base then writes the defaults back.
    if (data == nullptr || data->length < size) _VM_throw(java::io::EOFException::create()->construct());
    if (kind == OPTIONS) {
        const jint option = TsCanvas::readInt();
        const jint sound = TsCanvas::readInt();
        optionIndex = std::clamp(option, 0, MAX_OPTION_INDEX);
        soundSetting = std::clamp(sound, 0, MAX_SOUND_SETTING);
    } else if (kind == PROGRESS) {
        const jboolean flagByte = TsCanvas::readBoolean();
        const jint level = std::clamp(TsCanvas::readInt(), 0, LAST_LEVEL);
        progressFlag = flagByte;
        unlockedLevel = level;
        currentLevel = level;
    }
}

void SamGameSave::createRecord(jint kind) {
    _VM_ensureInitialized(_VM_classRecord);
    if (kind == OPTIONS) {
        records->set(kind, VMBytes::create(OPTIONS_SIZE));
        optionIndex = 0;
        soundSetting = 1;
    } else if (kind == PROGRESS) {
        records->set(kind, VMBytes::create(PROGRESS_SIZE));
        progressFlag = true;
        currentLevel = 0;
        unlockedLevel = 0;
    }
}

}  // namespace sam

VM_REGISTER_CLASS(sam::SamGameSave, .name = "sam.SamGameSave", .staticInit = sam::SamGameSave::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<sam::SamGameSave>)

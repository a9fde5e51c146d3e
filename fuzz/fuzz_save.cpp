// Fuzz target: the game's save records over any record-store contents.
//
// Input layout: byte 0 is the length of record store "0" (255: no store),
// then its bytes; the rest is record store "1" (missing when the input ends
// right after store "0").
//
// Allowed outcomes: the save object loads; every value is in range; both
// stores then hold at least a whole record; saving and loading again gives
// back the values saved. Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "VM.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "fuzz_temp_folder.h"
#include "hal_system.h"
#include "sam_SamGameSave.h"
#include "vm_boot.h"

using sam::SamGameSave;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_save: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

VMStatic<com::ventrix::common::CommonCanvas> canvas;  // made once: each canvas has a thread

void put(jint kind, const uint8_t* data, size_t size, bool present) {
    VMPtr<com::ventrix::common::CommonCanvas> c = canvas;
    if (!present) {
        c->saveRecordStore(kind, nullptr);
        return;
    }
    VMPtr<VMBytes> bytes = VMBytes::create(jint(size));
    if (size > 0) std::memcpy(bytes->elements(), data, size);
    c->saveRecordStore(kind, bytes);
}

jint storedLength(jint kind) {
    VMPtr<com::ventrix::common::CommonCanvas> c = canvas;
    VMPtr<VMBytes> bytes = c->loadRecordStore(kind);
    return bytes == nullptr ? -1 : bytes->length;
}

void checkRanges() {
    check(SamGameSave::optionIndex >= 0 && SamGameSave::optionIndex <= 4, "option index");
    check(SamGameSave::soundSetting == 0 || SamGameSave::soundSetting == 1, "sound setting");
    check(SamGameSave::unlockedLevel >= 0 && SamGameSave::unlockedLevel <= 10, "level");
    check(SamGameSave::currentLevel == SamGameSave::unlockedLevel, "current level");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (canvas == nullptr) {
        const std::string dir = makeFuzzTempFolder("save");
        if (dir.empty()) fail("no temporary folder");
        ::unsetenv("VESSILO_DATABASE_DIR");
        HAL_setProgramDirectory(dir.c_str());
        std::atexit([] { HAL_setProgramDirectory(nullptr); });
        VMPtr<com::ventrix::common::CommonCanvas> made =
            com::ventrix::common::CommonCanvas::create()->construct(nullptr);
        made->postEvent(ts::TsCanvas::EVENT_EXIT);  // no frames
        com::ventrix::common::Main::canvas = made;
        canvas = made;
    }
    _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
    com::ventrix::common::Main::canvas = canvas;
    if (size == 0) return 0;
    const bool first = data[0] != 255;
    const size_t firstSize = first ? std::min<size_t>(data[0], size - 1) : 0;
    put(0, data + 1, firstSize, first);
    const size_t rest = 1 + firstSize;
    put(1, data + rest, size - rest, rest < size);

    VMPtr<SamGameSave> save = SamGameSave::create()->construct();
    checkRanges();
    check(storedLength(0) >= SamGameSave::OPTIONS_SIZE, "store 0 after loading");
    check(storedLength(1) >= SamGameSave::PROGRESS_SIZE, "store 1 after loading");

    // What is saved comes back.
    const jint option = SamGameSave::optionIndex, sound = SamGameSave::soundSetting;
    const jint level = (SamGameSave::unlockedLevel + 3) % 11;
    SamGameSave::unlockedLevel = level;
    save->saveRecord(SamGameSave::OPTIONS);
    save->saveRecord(SamGameSave::PROGRESS);
    SamGameSave::create()->construct();
    checkRanges();
    check(SamGameSave::optionIndex == option && SamGameSave::soundSetting == sound, "options not kept");
    check(SamGameSave::unlockedLevel == level, "progress not kept");
    vmFuzzInputDone();
    return 0;
}

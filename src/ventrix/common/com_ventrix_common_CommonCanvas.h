// com.ventrix.common.CommonCanvas: the application's only canvas. The
// framework canvas runs the frame loop; this one hands the tick, the game
// paint and the life-cycle events to Main, and the level reader's callbacks,
// unchanged, to the level loader that Main keeps. Once the exit event has
// come, tick and paint do nothing.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_MyKey.h"
#include "javax_microedition_midlet_MIDlet.h"
#include "ts_TsCanvas.h"

namespace com::ventrix::common {

class CommonCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(CommonCanvas, ts::TsCanvas)

public:
    jboolean exiting = false;      // set by the exit event
    VMField<utility::MyKey> keys;  // taken at the start event

    // Starts the frame loop's thread (which waits until the canvas is shown).
    VMPtr<CommonCanvas> construct(VMPtr<javax::microedition::midlet::MIDlet> midlet);

    // The frame's input latch, then Main's tick.
    void tick() override;
    // Main's paint.
    void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) override;
    // Its own handling (0 start: 40 ms frames and the key singleton; 1 pause;
    // 2 resume, the offset recomputed; 3 exit: sound released, Main's
    // statics dropped; 5 after resume), then the framework's.
    void onEvent(jint event) override;

    void levelHeader(jint value) override;
    void levelTileSet(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                      jint tileCount) override;
    void levelTile(jint option, jint tile) override;
    void levelMapSize(jint width, jint height) override;
    void levelMapCell(jint x, jint y, jint tile) override;
    void levelObjectGroup(jint type, jint count) override;
    void levelObject(jint type, jint x, jint y) override;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(keys, bits);
    }
};

}  // namespace com::ventrix::common

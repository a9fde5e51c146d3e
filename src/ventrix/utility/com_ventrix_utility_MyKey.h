// com.ventrix.utility.MyKey: the single place where the game asks about
// keys. It reads the key states of the game canvas that Main keeps, so the
// canvas must exist before the first getInstance (the canvas's start event
// makes it). The game asks about 23 logical actions, 0 to 22, each standing
// for one or more of the canvas's key actions: a logical action is pressed
// (held, released) when any of its key actions is. Action 20 answers only
// the released query. Nothing here consumes a press.
#pragma once

#include "VM.h"
#include "ts_TsCanvas.h"

namespace com::ventrix::utility {

class MyKey : public virtual java::lang::Object {
    VM_DECLARE_CLASS(MyKey, java::lang::Object)

public:
    static VMStatic<MyKey> instance;

    VMField<ts::TsCanvas> canvas;  // Main's canvas when the key singleton was made

    static void _VM_clinit();
    VMPtr<MyKey> construct();

    static constexpr jint ACTIONS = 23;
    static constexpr jint ANY_RELEASED = 20;  // the released query only

    // The singleton, made on first use.
    static VMPtr<MyKey> getInstance();

    // Any key action of the logical action pressed since the canvas last
    // cleared its press counts; false outside 0 to 22 and for 20.
    virtual jboolean isPressed(jint action);
    // Any key action of the logical action down now; false outside 0 to 22
    // and for 20.
    virtual jboolean isHeld(jint action);
    // Any key action of the logical action released since the last clear;
    // false outside 0 to 22.
    virtual jboolean isReleased(jint action);

    void markReferences(uint32_t bits) override { _VM_markRef(canvas, bits); }

private:
    enum class Query { PRESSED, HELD, RELEASED };
    jboolean ask(jint action, Query query);
};

}  // namespace com::ventrix::utility

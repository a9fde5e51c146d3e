// com.ventrix.utility.MyKey: the single place where the game asks about
// keys. It reads the key states of the game canvas that Main keeps, so the
// canvas must exist before the first getInstance (the canvas's start event
// makes it).
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

    // The singleton, made on first use.
    static VMPtr<MyKey> getInstance();

    void markReferences(uint32_t bits) override { _VM_markRef(canvas, bits); }
};

}  // namespace com::ventrix::utility

// The game's canvas with the fuzz input served as every level, for the fuzz
// targets that load levels through the game. Each target registers it once.
#pragma once

#include "VM.h"
#include "com_ventrix_common_CommonCanvas.h"

namespace fuzzlevels {

class InputCanvas : public com::ventrix::common::CommonCanvas {
    VM_DECLARE_CLASS(InputCanvas, com::ventrix::common::CommonCanvas)

public:
    VMField<VMBytes> input;
    using CommonCanvas::loadLevel;
    jboolean loadLevel(jint resourceId) override {
        (void)resourceId;
        VMPtr<VMBytes> data = input;
        return loadLevel(data);
    }
    void markReferences(uint32_t bits) override {
        CommonCanvas::markReferences(bits);
        _VM_markRef(input, bits);
    }
};

}  // namespace fuzzlevels

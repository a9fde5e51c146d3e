// generated.RP: resource ids, pack x 1024 + index in the pack. Constants only, used as literal
// numbers.
#pragma once

#include "VM.h"

namespace generated {

class RP : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(RP)

public:
    static constexpr jint FONT_FIRST = 0x4C00;
    static constexpr jint FONT_SECOND = 0x4C01;
    static constexpr jint TEXTS = 0x5000;
    static constexpr jint SOUND_FIRST = 0x5400;
    static constexpr jint SOUND_LAST = 0x5405;
    static constexpr jint TUTORIAL_LEVEL = 0x5800;  // level n is 0x5801 + n
};

}  // namespace generated

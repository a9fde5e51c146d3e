// ts.KeyMapping: which of the framework's 63 key actions a key code stands
// for. A key sets the action of its game action (1 to 12); the digit keys
// '0' to '9' also set actions 16 to 25, the left soft key (-6) sets 29 and
// the right soft key (-7) sets 27.
#pragma once

#include "VM.h"

namespace ts {

class KeyMapping : public virtual java::lang::Object {
    VM_DECLARE_CLASS(KeyMapping, java::lang::Object)

public:
    static constexpr jint FIRST_DIGIT_ACTION = 16;  // '0'; '9' is 25
    static constexpr jint LEFT_SOFT_KEY = -6;
    static constexpr jint RIGHT_SOFT_KEY = -7;
    static constexpr jint LEFT_SOFT_ACTION = 29;
    static constexpr jint RIGHT_SOFT_ACTION = 27;

    // The actions of keyCode, bit n for action n, given the canvas's game
    // action for it (0 when it has none; values outside 1 to 12 count as
    // none).
    static jlong getActions(jint keyCode, jint gameAction);
};

}  // namespace ts

// ts.KeyMapping: which of the framework's 63 key actions a key code stands for.
#include "ts_KeyMapping.h"

namespace ts {

jlong KeyMapping::getActions(jint keyCode, jint gameAction) {
    jlong actions = 0;
    if (gameAction >= 1 && gameAction <= 12) actions |= jlong(1) << gameAction;
    if (keyCode >= '0' && keyCode <= '9') actions |= jlong(1) << (FIRST_DIGIT_ACTION + keyCode - '0');
    if (keyCode == LEFT_SOFT_KEY) actions |= jlong(1) << LEFT_SOFT_ACTION;
    if (keyCode == RIGHT_SOFT_KEY) actions |= jlong(1) << RIGHT_SOFT_ACTION;
    return actions;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::KeyMapping, .name = "ts.KeyMapping")

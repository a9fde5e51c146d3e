// com.ventrix.utility.MyKey: the single place where the game asks about keys.
#include "com_ventrix_utility_MyKey.h"

#include <array>
#include <initializer_list>

#include "com_ventrix_common_Main.h"

namespace com::ventrix::utility {

namespace {

// The canvas's key actions of each logical action, in the order asked.
using Row = std::initializer_list<jint>;
const std::array<Row, MyKey::ACTIONS> kActions = {{
    {16},
    {17},
    {18},
    {19},
    {20},
    {21},
    {22},
    {23},
    {24},
    {25},                                                       // 0 to 9
    {10},                                                       // 10
    {3},                                                        // 11
    {27, 7},                                                    // 12 leave a page
    {29, 15},                                                   // 13
    {1, 30, 18},                                                // 14 up
    {2, 32, 20},                                                // 15 left
    {5, 33, 22},                                                // 16 right
    {6, 31, 24},                                                // 17 down
    {8, 34, 21},                                                // 18 fire
    {4, 15},                                                    // 19
    {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 10, 3, 15, 4, 7},  // 20 any of 0 to 11, 19, 21 released
    {7},                                                        // 21
    {15},                                                       // 22
}};

}  // namespace

VMStatic<MyKey> MyKey::instance;

void MyKey::_VM_clinit() { instance = nullptr; }

VMPtr<MyKey> MyKey::construct() {
    Super::construct();
    _VM_ensureInitialized(common::Main::_VM_classRecord);
    canvas = common::Main::canvas;
    return this;
}

VMPtr<MyKey> MyKey::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

jboolean MyKey::ask(jint action, Query query) {
    if (action < 0 || action >= ACTIONS) return false;
    if (action == ANY_RELEASED && query != Query::RELEASED) return false;
    VMPtr<ts::TsCanvas> c = canvas;
    if (c == nullptr) _VM_throwNullPointer();
    for (jint key : kActions[size_t(action)]) {
        const jboolean on = query == Query::PRESSED ? c->wasKeyPressed(key)
                            : query == Query::HELD  ? c->isKeyHeld(key)
                                                    : c->wasKeyReleased(key);
        if (on) return true;
    }
    return false;
}

jboolean MyKey::isPressed(jint action) { return ask(action, Query::PRESSED); }
jboolean MyKey::isHeld(jint action) { return ask(action, Query::HELD); }
jboolean MyKey::isReleased(jint action) { return ask(action, Query::RELEASED); }

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::MyKey, .name = "com.ventrix.utility.MyKey",
                  .staticInit = com::ventrix::utility::MyKey::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::MyKey>)

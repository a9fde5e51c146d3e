// scene.ingame.InGameGeneralPeople: a bystander.
#include "scene_ingame_InGameGeneralPeople.h"

#include "com_ventrix_common_Main.h"

namespace scene::ingame {

using com::ventrix::common::Main;
using com::ventrix::utility::MyObject;

VMPtr<InGameGeneralPeople> InGameGeneralPeople::construct() {
    Super::construct();
    return this;
}

void InGameGeneralPeople::update(jint a, jint b) {
    InGameObject::update(a, b);
    const jint shown = getSlotIndex(0);
    if (shown >= 0 && shown % 2 == 1) setSlotIndex(0, 2 * (Main::randomInt() % IDLES));
}

void InGameGeneralPeople::initFromRecord(jint index) {
    LevelLoader* level = levelLoader.get();
    if (level == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> records = level->generalRecords;
    if (records == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> r = records->get(index);
    if (r == nullptr) _VM_throwNullPointer();
    const jint look = (*r)[0], x = (*r)[1], y = (*r)[2], start = (*r)[3];
    // The loader refuses looks past the table; a record made elsewhere gets
    // the exception an array would throw, never a read past it.
    const jint outfit = look / 2;
    if (look < 0 || outfit >= OUTFITS) _VM_throwArrayIndexOutOfBoundsException(outfit);
    setSlotCapacity(1);
    addAnimation(OUTFIT_IMAGES[outfit], OUTFIT_SETS[outfit], 2 * start, x, y);
    if (look % 2 == 1) mirrorSlot(0);
    setLayer(GENERAL_LAYER);
    warmUp(Main::randomInt() % WARM_UP_LIMIT);
}

void InGameGeneralPeople::warmUp(jint ms) {
    struct KeepFrameTime {
        jint kept = MyObject::frameTime;
        ~KeepFrameTime() { MyObject::frameTime = kept; }
    } keep;
    MyObject::frameTime = WARM_UP_FRAME;
    for (jint n = ms / WARM_UP_FRAME; n > 0; --n) update(0, 0);
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameGeneralPeople, .name = "scene.ingame.InGameGeneralPeople",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameGeneralPeople>)

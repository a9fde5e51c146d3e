// ts.input.PointerInputKeyManager: touch regions that act as keys.
#include "ts_input_PointerInputKeyManager.h"

#include "VMThrow.h"
#include "ts_TsCanvas.h"
#include "ts_input_PointerInputEventManager.h"

namespace ts::input {

using Regions = VMArray<PointerInputKeyRegion, 1>;

VMStatic<java::lang::Object> PointerInputKeyManager::lock;
VMStatic<Regions> PointerInputKeyManager::regions;
jint PointerInputKeyManager::regionCount = 0;
jboolean PointerInputKeyManager::touching = false;
jint PointerInputKeyManager::touchX = 0;
jint PointerInputKeyManager::touchY = 0;
jint PointerInputKeyManager::offsetX = 0;
jint PointerInputKeyManager::offsetY = 0;
jboolean PointerInputKeyManager::keysDown[KEY_LIMIT] = {};

void PointerInputKeyManager::_VM_clinit() {
    lock = java::lang::Object::create()->construct();
    regions = nullptr;
    regionCount = 0;
    touching = false;
    touchX = touchY = offsetX = offsetY = 0;
    for (jboolean& down : keysDown) down = false;
}

void PointerInputKeyManager::addRegion(VMPtr<PointerInputKeyRegion> region) {
    _VM_ensureInitialized(_VM_classRecord);
    if (region == nullptr) _VM_throwNullPointer();
    VMSynchronized guard(lock);
    VMPtr<Regions> list = regions;
    if (list == nullptr) list = regions = Regions::create(8);
    for (jint i = 0; i < regionCount; ++i) {
        if (list->get(i) == region.target) return;
    }
    if (regionCount == list->length) {
        VMPtr<Regions> larger = Regions::create(list->length * 2);
        for (jint i = 0; i < regionCount; ++i) larger->set(i, list->get(i));
        list = regions = larger;
    }
    region->pressed = false;
    list->set(regionCount++, region);
    applyTouch();
}

void PointerInputKeyManager::removeRegion(VMPtr<PointerInputKeyRegion> region) {
    _VM_ensureInitialized(_VM_classRecord);
    if (region == nullptr) return;
    VMSynchronized guard(lock);
    VMPtr<Regions> list = regions;
    for (jint i = 0; i < regionCount; ++i) {
        if (list->get(i) != region.target) continue;
        for (jint j = i + 1; j < regionCount; ++j) list->set(j - 1, list->get(j));
        list->set(--regionCount, static_cast<PointerInputKeyRegion*>(nullptr));
        region->pressed = false;
        applyTouch();
        return;
    }
}

jint PointerInputKeyManager::removeRegions(jint key) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    VMPtr<Regions> list = regions;
    jint kept = 0, removed = 0;
    for (jint i = 0; i < regionCount; ++i) {
        PointerInputKeyRegion* region = list->get(i);
        if (key == 0 || region->key == key) {
            region->pressed = false;
            ++removed;
        } else {
            list->set(kept++, region);
        }
    }
    for (jint i = kept; i < regionCount; ++i) list->set(i, static_cast<PointerInputKeyRegion*>(nullptr));
    regionCount = kept;
    if (removed > 0) applyTouch();
    return removed;
}

jint PointerInputKeyManager::getRegionCount(jint key) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    if (key == 0) return regionCount;
    VMPtr<Regions> list = regions;
    jint n = 0;
    for (jint i = 0; i < regionCount; ++i) n += list->get(i)->key == key ? 1 : 0;
    return n;
}

jint PointerInputKeyManager::getRegions(VMPtr<Regions> out, jint key) {
    _VM_ensureInitialized(_VM_classRecord);
    if (out == nullptr) _VM_throwNullPointer();
    VMSynchronized guard(lock);
    VMPtr<Regions> list = regions;
    jint n = 0;
    for (jint i = 0; i < regionCount && n < out->length; ++i) {
        PointerInputKeyRegion* region = list->get(i);
        if (key == 0 || region->key == key) out->set(n++, region);
    }
    return n;
}

void PointerInputKeyManager::pointerEvent(jint type, jint x, jint y) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    touchX = x - offsetX;
    touchY = y - offsetY;
    if (type == PointerInputEventManager::PRESSED || type == PointerInputEventManager::DRAGGED)
        touching = true;
    else if (type == PointerInputEventManager::RELEASED)
        touching = false;
    applyTouch();
}

void PointerInputKeyManager::setScreenOffset(jint x, jint y) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    offsetX = x;
    offsetY = y;
}

void PointerInputKeyManager::update() {
    _VM_ensureInitialized(_VM_classRecord);
    if (regionCount == 0 && !touching) {
        // Nothing can be down but keys of regions removed since: release them.
        bool anyDown = false;
        for (jboolean down : keysDown) anyDown |= down != 0;
        if (!anyDown) return;
    }
    VMSynchronized guard(lock);
    applyTouch();
}

void PointerInputKeyManager::applyTouch() {
    bool wanted[KEY_LIMIT] = {};
    VMPtr<Regions> list = regions;
    for (jint i = 0; i < regionCount; ++i) {
        PointerInputKeyRegion* region = list->get(i);
        region->pressed = touching && region->contains(touchX, touchY);
        if (region->pressed && region->key > 0 && region->key < KEY_LIMIT) wanted[region->key] = true;
    }
    // Without a canvas the keys wait for one.
    VMPtr<TsCanvas> canvas = TsCanvas::getInstance();
    if (canvas == nullptr) return;
    for (jint key = 1; key < KEY_LIMIT; ++key) {
        if (wanted[key] == (keysDown[key] != 0)) continue;
        keysDown[key] = wanted[key];
        if (wanted[key])
            canvas->pressKey(key);
        else
            canvas->releaseKey(key);
    }
}

}  // namespace ts::input

VM_REGISTER_CLASS(ts::input::PointerInputKeyManager, .name = "ts.input.PointerInputKeyManager",
                  .staticInit = ts::input::PointerInputKeyManager::_VM_clinit)

// ts.input.PointerInputEventManager
#include "ts_input_PointerInputEventManager.h"

namespace ts::input {

VMStatic<java::lang::Object> PointerInputEventManager::lock;
VMStatic<VMArray<jint, 1>> PointerInputEventManager::queue;
jint PointerInputEventManager::first = 0;
jint PointerInputEventManager::count = 0;
jint PointerInputEventManager::offsetX = 0;
jint PointerInputEventManager::offsetY = 0;
jint PointerInputEventManager::currentPointerId = 0;
jint PointerInputEventManager::currentType = 0;
jint PointerInputEventManager::currentX = 0;
jint PointerInputEventManager::currentY = 0;

namespace {
constexpr jint kSlotInts = 4;
}

void PointerInputEventManager::_VM_clinit() {
    lock = java::lang::Object::create()->construct();
    queue = nullptr;
    first = count = 0;
    offsetX = offsetY = 0;
    currentPointerId = currentType = currentX = currentY = 0;
}

void PointerInputEventManager::setEnabled(jboolean enabled) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    if (enabled == (queue != nullptr)) return;
    queue = enabled ? VMArray<jint, 1>::create(QUEUE_LENGTH * kSlotInts) : VMPtr<VMArray<jint, 1>>();
    first = count = 0;
}

jboolean PointerInputEventManager::isEnabled() {
    _VM_ensureInitialized(_VM_classRecord);
    return queue != nullptr;
}

jint PointerInputEventManager::getEventCount() {
    _VM_ensureInitialized(_VM_classRecord);
    return count;
}

jboolean PointerInputEventManager::nextEvent() {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    VMPtr<VMArray<jint, 1>> slots = queue;
    if (slots == nullptr || count == 0) return false;
    const jint* slot = slots->elements() + first * kSlotInts;
    currentPointerId = slot[0];
    currentType = slot[1];
    currentX = slot[2];
    currentY = slot[3];
    first = (first + 1) % QUEUE_LENGTH;
    --count;
    return true;
}

jint PointerInputEventManager::getPointerId() {
    _VM_ensureInitialized(_VM_classRecord);
    return currentPointerId;
}

jint PointerInputEventManager::getType() {
    _VM_ensureInitialized(_VM_classRecord);
    return currentType;
}

jint PointerInputEventManager::getX() {
    _VM_ensureInitialized(_VM_classRecord);
    return currentX;
}

jint PointerInputEventManager::getY() {
    _VM_ensureInitialized(_VM_classRecord);
    return currentY;
}

void PointerInputEventManager::addEvent(jint type, jint x, jint y) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    VMPtr<VMArray<jint, 1>> slots = queue;
    if (slots == nullptr || count == QUEUE_LENGTH) return;
    jint* slot = slots->elements() + (first + count) % QUEUE_LENGTH * kSlotInts;
    slot[0] = 0;  // one pointer on this device
    slot[1] = type;
    slot[2] = x - offsetX;
    slot[3] = y - offsetY;
    ++count;
}

void PointerInputEventManager::setScreenOffset(jint x, jint y) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    offsetX = x;
    offsetY = y;
}

}  // namespace ts::input

VM_REGISTER_CLASS(ts::input::PointerInputEventManager, .name = "ts.input.PointerInputEventManager",
                  .staticInit = ts::input::PointerInputEventManager::_VM_clinit)

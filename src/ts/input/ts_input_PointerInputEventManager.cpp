// ts.input.PointerInputEventManager: the queue of pointer events from the canvas to the game.
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

namespace {

// The slot of the i-th queued event (0 the oldest).
jint* queuedSlot(jint* slots, jint first, jint i) {
    return slots + (first + i) % PointerInputEventManager::QUEUE_LENGTH * kSlotInts;
}

bool isMove(const jint* slot) {
    return slot[1] != PointerInputEventManager::PRESSED && slot[1] != PointerInputEventManager::RELEASED;
}

}  // namespace

bool PointerInputEventManager::makeRoom(jint type) {
    jint* slots = queue->elements();
    // A move after a move only updates the position: it takes the place of
    // the one before it.
    if (type != PRESSED && type != RELEASED && isMove(queuedSlot(slots, first, count - 1))) {
        --count;
        return true;
    }
    // Otherwise the oldest move goes, so that no press or release is lost.
    jint gone = -1;
    for (jint i = 0; i < count && gone < 0; ++i)
        if (isMove(queuedSlot(slots, first, i))) gone = i;
    // Only presses and releases are waiting: a move arriving now is the one
    // to drop; a press or release drops the oldest event, unless that is
    // the newest release (the finger is off the screen until that is seen).
    if (gone < 0) {
        if (type != PRESSED && type != RELEASED) return false;
        gone = 0;
        if (type != RELEASED && queuedSlot(slots, first, 0)[1] == RELEASED) {
            bool newestRelease = true;
            for (jint i = 1; i < count; ++i)
                if (queuedSlot(slots, first, i)[1] == RELEASED) newestRelease = false;
            if (newestRelease) gone = 1;
        }
    }
    for (jint i = gone; i + 1 < count; ++i) {
        jint* to = queuedSlot(slots, first, i);
        const jint* from = queuedSlot(slots, first, i + 1);
        for (jint k = 0; k < kSlotInts; ++k) to[k] = from[k];
    }
    --count;
    return true;
}

void PointerInputEventManager::addEvent(jint type, jint x, jint y) {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized guard(lock);
    VMPtr<VMArray<jint, 1>> slots = queue;
    if (slots == nullptr) return;
    if (count == QUEUE_LENGTH && !makeRoom(type)) return;
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

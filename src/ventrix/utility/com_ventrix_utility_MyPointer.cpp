// com.ventrix.utility.MyPointer: the game's touch input.
#include "com_ventrix_utility_MyPointer.h"

#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"

namespace com::ventrix::utility {

using ts::graphics::CollisionBox;
using ts::input::PointerInputEventManager;
using ts::input::PointerInputKeyManager;
using ts::input::PointerInputKeyRegion;

VMStatic<MyPointer> MyPointer::instance;

void MyPointer::_VM_clinit() { instance = nullptr; }

VMPtr<MyPointer> MyPointer::construct() {
    Super::construct();
    initState();
    return this;
}

VMPtr<MyPointer> MyPointer::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

void MyPointer::initState() {
    PointerInputEventManager::setEnabled(true);
    pressX = VMInts::create(1);
    pressY = VMInts::create(1);
    prevX = VMInts::create(1);
    prevY = VMInts::create(1);
    x = VMInts::create(1);
    y = VMInts::create(1);
    isDown = VMBooleans::create(1);
    justReleased = VMBooleans::create(1);
    justPressed = VMBooleans::create(1);
    isUp = VMBooleans::create(1);
    (*isUp)[0] = true;
    scrollMaxX = scrollMaxY = scrollMinX = scrollMinY = 0;
    scrollX = scrollY = 0;
}

void MyPointer::reset() {
    releaseRegions();
    initState();
}

void MyPointer::releaseRegions() {
    PointerInputKeyManager::removeRegions(0);
    keyRegions = nullptr;
}

void MyPointer::commitTouch() {
    const jint lastX = (*x)[0], lastY = (*y)[0];
    scrollX += lastX - (*pressX)[0];
    scrollY += lastY - (*pressY)[0];
    if (scrollX + lastX < scrollMinX)
        scrollX = scrollMinX - lastX;
    else if (scrollX + lastX > scrollMaxX)
        scrollX = scrollMaxX - lastX;
    if (scrollY + lastY < scrollMinY)
        scrollY = scrollMinY - lastY;
    else if (scrollY + lastY > scrollMaxY)
        scrollY = scrollMaxY - lastY;
    (*pressX)[0] = (*pressY)[0] = (*prevX)[0] = (*prevY)[0] = (*x)[0] = (*y)[0] = 0;
    (*isDown)[0] = false;
    (*justReleased)[0] = false;
}

void MyPointer::update() { pollEvents(); }

void MyPointer::pollEvents() {
    if ((*justReleased)[0]) commitTouch();
    (*justPressed)[0] = false;
    for (jint n = 0; n < EVENTS_PER_FRAME; ++n) {
        if (!PointerInputEventManager::nextEvent()) break;
        if (PointerInputEventManager::getPointerId() != 0) continue;  // only pointer 0 exists
        const jint type = PointerInputEventManager::getType();
        const jint ex = PointerInputEventManager::getX(), ey = PointerInputEventManager::getY();
        switch (type) {
            case PointerInputEventManager::PRESSED:
                (*isDown)[0] = true;
                (*justReleased)[0] = false;
                (*justPressed)[0] = (*isUp)[0];
                (*isUp)[0] = false;
                (*pressX)[0] = (*prevX)[0] = (*x)[0] = ex;
                (*pressY)[0] = (*prevY)[0] = (*y)[0] = ey;
                break;
            case PointerInputEventManager::DRAGGED:
            case PointerInputEventManager::RELEASED:
                // The end of a touch begun before the last reset, on the
                // screen before this one, is no tap on this one.
                if (type == PointerInputEventManager::RELEASED && (*isUp)[0]) break;
                if (type == PointerInputEventManager::RELEASED) {
                    (*isDown)[0] = false;
                    (*justReleased)[0] = true;
                    (*isUp)[0] = true;
                } else if (!(*isUp)[0]) {
                    (*justPressed)[0] = false;
                }
                (*prevX)[0] = (*x)[0];
                (*prevY)[0] = (*y)[0];
                (*x)[0] = ex;
                (*y)[0] = ey;
                break;
            default: break;
        }
    }
}

void MyPointer::dropQueuedEvents() {
    // The queue holds at most its length; the bound keeps a touch that keeps
    // arriving from holding the frame.
    for (jint n = 0; n < PointerInputEventManager::QUEUE_LENGTH; ++n)
        if (!PointerInputEventManager::nextEvent()) break;
}

// --- positions ---------------------------------------------------------------------------

jint MyPointer::getX(jint id) { return x->get(id); }
jint MyPointer::getY(jint id) { return y->get(id); }
jint MyPointer::getPrevX(jint id) { return prevX->get(id); }
jint MyPointer::getPrevY(jint id) { return prevY->get(id); }
jint MyPointer::getPressX(jint id) { return pressX->get(id); }
jint MyPointer::getPressY(jint id) { return pressY->get(id); }
void MyPointer::setPressX(jint id, jint value) { pressX->set(id, value); }
void MyPointer::setPressY(jint id, jint value) { pressY->set(id, value); }
jint MyPointer::getDragX(jint id) { return x->get(id) - pressX->get(id); }

jboolean MyPointer::isInRect(VMPtr<VMInts> rect, jint id) {
    if (rect == nullptr) _VM_throwNullPointer();
    const jint px = x->get(id), py = y->get(id);
    const jint left = (*rect)[0], top = (*rect)[1];
    return left <= px && px <= left + (*rect)[2] && top <= py && py <= top + (*rect)[3];
}

jint MyPointer::getQueuedEventCount() { return PointerInputEventManager::getEventCount(); }

// --- key regions ------------------------------------------------------------------------

void MyPointer::addKeyRegion(jint key, jint entry, VMPtr<VMInts> box) {
    if (box == nullptr) _VM_throwNullPointer();
    if ((*box)[2] != 0 && (*box)[3] != 0) {
        if (keyRegions == nullptr) keyRegions = Regions::create(4);
        VMPtr<PointerInputKeyRegion> region =
            PointerInputKeyRegion::create(key, (*box)[0], (*box)[1], (*box)[2], (*box)[3]);
        keyRegions->set(entry, region);
        PointerInputKeyManager::addRegion(region);
    }
    if (keyRegions != nullptr) keyRegions->set(entry, nullptr);
}

void MyPointer::removeKeyRegions(jint key, VMPtr<VMInts> box) {
    if (box == nullptr) _VM_throwNullPointer();
    if ((*box)[2] == 0 || (*box)[3] == 0) return;
    const jint n = PointerInputKeyManager::getRegionCount(key);
    VMPtr<Regions> found = Regions::create(n);
    const jint got = PointerInputKeyManager::getRegions(found, key);
    for (jint i = 0; i < got; ++i) PointerInputKeyManager::removeRegion(found->get(i));
}

void MyPointer::addUpRegion(VMPtr<VMInts> box) { addKeyRegion(KEY_UP, 0, box); }
void MyPointer::addDownRegion(VMPtr<VMInts> box) { addKeyRegion(KEY_DOWN, 1, box); }
void MyPointer::addLeftRegion(VMPtr<VMInts> box) { addKeyRegion(KEY_LEFT, 2, box); }
void MyPointer::addRightRegion(VMPtr<VMInts> box) { addKeyRegion(KEY_RIGHT, 3, box); }
void MyPointer::removeUpRegions(VMPtr<VMInts> box) { removeKeyRegions(KEY_UP, box); }
void MyPointer::removeDownRegions(VMPtr<VMInts> box) { removeKeyRegions(KEY_DOWN, box); }
void MyPointer::removeLeftRegions(VMPtr<VMInts> box) { removeKeyRegions(KEY_LEFT, box); }
void MyPointer::removeRightRegions(VMPtr<VMInts> box) { removeKeyRegions(KEY_RIGHT, box); }

// --- touch boxes ---------------------------------------------------------------------------

void MyPointer::setTouchBoxes(jint, VMPtr<VMArray<jint, 2>> rows, VMPtr<VMInts> area) {
    if (rows == nullptr || area == nullptr) _VM_throwNullPointer();
    VMPtr<Boxes> boxes = Boxes::create(rows->length);
    for (jint k = 0; k < rows->length; ++k) {
        VMPtr<VMInts> row = rows->get(k);
        if (row == nullptr) _VM_throwNullPointer();
        VMPtr<CollisionBox> box = CollisionBox::create()->construct(CollisionBox::RECTANGLE);
        box->setBounds((*row)[0], (*row)[1], (*row)[2], (*row)[3]);
        boxes->set(k, box);
    }
    VMPtr<CollisionBox> around = CollisionBox::create()->construct(CollisionBox::RECTANGLE);
    around->setBounds((*area)[0], (*area)[1], (*area)[2], (*area)[3]);
    touchBoxes = boxes;
    touchArea = around;
}

jint MyPointer::getBoxAt(jint pointerId) {
    VMPtr<Boxes> boxes = touchBoxes;
    if (boxes == nullptr) return -1;
    const jint px = x->get(pointerId), py = y->get(pointerId);
    VMPtr<CollisionBox> around = touchArea;
    if (around == nullptr || !around->contains(px, py)) return -1;
    for (jint k = 0; k < boxes->length; ++k) {
        if (boxes->get(k)->contains(px, py)) return k;
    }
    return -1;
}

jint MyPointer::getPressedBox(jint pointerId) {
    const jint row = getBoxAt(pointerId);
    return row != -1 && isDown->get(pointerId) ? row : -1;
}

jint MyPointer::getReleasedBox(jint pointerId) {
    const jint row = getBoxAt(pointerId);
    return row != -1 && !isDown->get(pointerId) && justReleased->get(pointerId) ? row : -1;
}

// --- scrolling ---------------------------------------------------------------------------

void MyPointer::setScrollLimits(jint maxX, jint maxY, jint minX, jint minY) {
    scrollMaxX = maxX;
    scrollMaxY = maxY;
    scrollMinX = minX;
    scrollMinY = minY;
}

void MyPointer::resetX() {
    scrollX = 0;
    (*x)[0] = (*pressX)[0] = (*prevX)[0] = 0;
}

void MyPointer::resetY() {
    scrollY = 0;
    (*y)[0] = (*pressY)[0] = (*prevY)[0] = 0;
}

void MyPointer::setScrollY(jint value) { scrollY = value; }
void MyPointer::setScrollX(jint value) { scrollX = value; }

jint MyPointer::getDragY(jint pointerId) { return y->get(pointerId) - pressY->get(pointerId); }

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::MyPointer, .name = "com.ventrix.utility.MyPointer",
                  .staticInit = com::ventrix::utility::MyPointer::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::MyPointer>)

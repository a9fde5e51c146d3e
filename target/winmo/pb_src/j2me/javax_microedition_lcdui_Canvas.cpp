// javax.microedition.lcdui.Canvas: the low-level displayable.
#include "javax_microedition_lcdui_Canvas.h"

#include "VMThrow.h"
#include "hal_input.h"
#include "hal_screen.h"
#include "hal_system.h"
#include "hal_window.h"
#include "javax_microedition_lcdui_Display.h"

namespace javax::microedition::lcdui {

Canvas::~Canvas() {
    HAL_deleteCanvas(peer);
    peer = nullptr;
}

VMPtr<Canvas> Canvas::construct() {
    _VM_ensureInitialized(Display::_VM_classRecord);
    VMSynchronized lock(Display::displayLock);
    HAL_WindowObject* newPeer = nullptr;
    if (HAL_createCanvas(&newPeer, ownerValue()) != HAL_OK) HAL_fatalError("HAL_createCanvas() failed.");
    Super::construct(newPeer);
    int32_t buffered = 0;
    HAL_getDisplayCapabilities(nullptr, nullptr, nullptr, &buffered);
    doubleBuffered = buffered != 0;
    int8_t pointer = 0, motion = 0, repeat = 0;
    HAL_getInputCapabilities(&pointer, &motion, &repeat);
    pointerEvents = pointer != 0;
    pointerMotionEvents = motion != 0;
    repeatEvents = repeat != 0;
    return this;
}

jint Canvas::getKeyCode(jint gameAction) {
    jint keyCode = HAL_getKeyCode(gameAction);
    if (keyCode == 0) _VM_throwIllegalArgumentException();
    return keyCode;
}

VMPtr<java::lang::String> Canvas::getKeyName(jint keyCode) {
    char16_t name[16];
    int32_t length = 16;
    if (!HAL_getKeyName(keyCode, name, &length)) _VM_throwIllegalArgumentException();
    return java::lang::String::create()->_VM_initLength(name, length);
}

jint Canvas::getGameAction(jint keyCode) { return HAL_getGameAction(keyCode); }

void Canvas::setFullScreenMode(jboolean mode) {
    if (mode == fullScreen) return;
    VMSynchronized lock(Display::displayLock);
    fullScreen = mode;
    HAL_setFullScreenMode(peer, mode ? 1 : 0);
}

bool Canvas::delivers(jint keyCode) {
    if (!suppressKeyEvents) return true;
    const jint action = getGameAction(keyCode);
    return action < 1 || action == 3 || action == 4 || action == 7 || action > 12;
}

void Canvas::callPaint(VMPtr<Graphics> g) {
    VMSynchronized lock(Display::eventLock);
    paint(g);
}

void Canvas::callKeyPressed(jint keyCode) {
    if (!delivers(keyCode)) return;
    VMSynchronized lock(Display::eventLock);
    keyPressed(keyCode);
}

void Canvas::callKeyRepeated(jint keyCode) {
    if (!delivers(keyCode)) return;
    VMSynchronized lock(Display::eventLock);
    keyRepeated(keyCode);
}

void Canvas::callKeyReleased(jint keyCode) {
    if (!delivers(keyCode)) return;
    VMSynchronized lock(Display::eventLock);
    keyReleased(keyCode);
}

void Canvas::callPointerPressed(jint x, jint y) {
    VMSynchronized lock(Display::eventLock);
    pointerPressed(x, y);
}

void Canvas::callPointerReleased(jint x, jint y) {
    VMSynchronized lock(Display::eventLock);
    pointerReleased(x, y);
}

void Canvas::callPointerDragged(jint x, jint y) {
    VMSynchronized lock(Display::eventLock);
    pointerDragged(x, y);
}

void Canvas::callShowNotify() {
    VMSynchronized lock(Display::eventLock);
    showNotify();
}

void Canvas::callHideNotify() {
    VMSynchronized lock(Display::eventLock);
    hideNotify();
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Canvas, .name = "javax.microedition.lcdui.Canvas", .isAbstract = true)

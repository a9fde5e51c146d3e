// ts.TsCanvas: the framework's game canvas.
#include "ts_TsCanvas.h"

#include <algorithm>
#include <cstring>

#include "VMThrow.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_Runtime.h"
#include "java_lang_System.h"
#include "javax_microedition_lcdui_Display.h"
#include "ts_KeyMapping.h"
#include "ts_Resources.h"
#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"

namespace ts {

using java::lang::String;
using java::lang::StringBuffer;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

VMStatic<TsCanvas> TsCanvas::instance;
VMStatic<VMBytes> TsCanvas::saveBuffer;
jint TsCanvas::savePosition = 0;
VMStatic<VMBytes> TsCanvas::loadBuffer;
jint TsCanvas::loadPosition = 0;
jint TsCanvas::lastStoreLoad = TsCanvas::STORE_MISSING;

namespace {

jlong now() { return java::lang::System::_VM_tickMillis(); }

// A key action indexes the key state buffers.
void checkAction(jint action) {
    if (action < 0 || action >= TsCanvas::KEY_STATE_COUNT) _VM_throwArrayIndexOutOfBoundsException(action);
}

}  // namespace

void TsCanvas::_VM_clinit() {
    instance = nullptr;
    saveBuffer = nullptr;
    loadBuffer = nullptr;
    savePosition = loadPosition = 0;
    lastStoreLoad = STORE_MISSING;
}

VMPtr<TsCanvas> TsCanvas::construct(VMPtr<javax::microedition::midlet::MIDlet> application) {
    Super::construct(false);
    midlet = application;
    instance = this;
    VMPtr<java::lang::Thread> loop = java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(this));
    thread = loop;
    loop->start();
    return this;
}

VMPtr<TsCanvas> TsCanvas::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    return instance;
}

// --- life cycle ------------------------------------------------------------------

void TsCanvas::onEvent(jint event) {
    if (event != EVENT_EXIT) return;
    {
        VMSynchronized lock(this);
        if (loopStopped) return;
        loopStopped = true;
        notifyAll();
    }
    ts::Resources::unloadPack();
    VMPtr<javax::microedition::midlet::MIDlet> application = midlet;
    if (application != nullptr) application->notifyDestroyed();
}

void TsCanvas::postEvent(jint event) {
    if (loopStopped) return;
    onEvent(event);
}

void TsCanvas::showNotify() {
    VMSynchronized lock(this);
    if (!shown) {
        shown = true;
        shownAt = clock();
    }
    pauseWanted = false;
    if (suppressResume) paused = false;
    notifyAll();
}

void TsCanvas::hideNotify() {
    VMSynchronized lock(this);
    shown = false;
    pauseWanted = true;
    notifyAll();
}

void TsCanvas::wake() {
    VMSynchronized lock(this);
    inputEntries += 1;
    notifyAll();
}

// --- frame loop --------------------------------------------------------------------

void TsCanvas::run() {
    try {
        frameLoop();
    } catch (java::lang::InterruptedException* interrupted) {
        // Interrupted in a wait (the runtime is shutting down): the loop ends.
        (void)interrupted;
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        // Reported as any thread's uncaught throwable is; then the
        // application ends: the game's state is unknown from here on, and a
        // window left standing without its frames would only sit frozen.
        keep->printStackTrace();
        endAfterFailure();
    }
    endLoop();
}

void TsCanvas::endAfterFailure() {
    java::lang::Runtime::_VM_setExitStatus(1);
    frameLatched = false;
    // As on the exit event (the game's own handling first); when that fails
    // part way, the framework's part still stops the loop and tells the
    // application manager.
    try {
        onEvent(EVENT_EXIT);
        return;
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        keep->printStackTrace();
    }
    try {
        TsCanvas::onEvent(EVENT_EXIT);
        return;
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        keep->printStackTrace();
    }
    VMPtr<javax::microedition::midlet::MIDlet> application = midlet;
    if (application != nullptr) application->notifyDestroyed();
}

void TsCanvas::endLoop() {
    VMSynchronized lock(this);
    loopStopped = true;
    frameLatched = false;
}

void TsCanvas::frameLoop() {
    {
        VMSynchronized lock(this);
        while (!shown && !loopStopped) wait();
        if (loopStopped) return;
    }
    onEvent(EVENT_START);
    jlong debt = 0;  // ms the frames ran ahead of their period
    for (;;) {
        if (!awaitStep()) return;
        const jlong frameStart = clock();
        jint event = -1;
        {
            VMSynchronized lock(this);
            if (loopStopped) return;
            if (pauseWanted && !paused) {
                paused = true;
                event = EVENT_PAUSE;
            } else if (!pauseWanted && paused && shown && frameStart - shownAt >= RESUME_DELAY) {
                paused = false;
                event = EVENT_RESUME;
            }
        }
        if (event == EVENT_PAUSE) {
            onEvent(EVENT_PAUSE);
        } else if (event == EVENT_RESUME) {
            onEvent(EVENT_RESUME);
            onEvent(EVENT_AFTER_RESUME);
        }
        {
            VMSynchronized lock(this);
            if (loopStopped) return;
            if (!shown) {
                // Hidden: no frames until the next show or input. A pause
                // that came meanwhile is delivered first. Gated, the step
                // ends here.
                if (stepGated) {
                    finishStep();
                    continue;
                }
                if (!pauseWanted || paused) wait();
                debt = 0;
                continue;
            }
        }
        latchInput();
        frameLatched = true;
        tick();
        frameLatched = false;
        if (loopStopped) return;
        if (shown) paintFrame();

        if (stepGated) {
            VMSynchronized lock(this);
            finishStep();
            debt = 0;
            continue;
        }
        // Pacing: the time debt carries what one frame overran or waited too
        // long into the next, so the frames keep their period on average.
        debt += frameTime - (now() - frameStart);
        debt = std::clamp<jlong>(debt, -MAX_TIME_DEBT, MAX_TIME_DEBT);
        bool waited = false;
        {
            VMSynchronized lock(this);
            while (debt > 0 && shown && !loopStopped && !stepGated) {
                const jlong before = now();
                wait(debt);
                debt -= now() - before;
                waited = true;
            }
        }
        // Always give the other threads a turn between frames.
        if (!waited) java::lang::Thread::yield();
    }
}

jlong TsCanvas::clock() { return stepGated ? gateClock : now(); }

bool TsCanvas::awaitStep() {
    VMSynchronized lock(this);
    if (!stepGated) return !loopStopped;
    while (stepGated && stepsGranted == 0 && !loopStopped) wait();
    if (loopStopped) return false;
    stepping = stepGated;
    if (stepping) {
        stepsGranted -= 1;
        gateClock += frameTime;
    }
    return true;
}

void TsCanvas::finishStep() {
    if (!stepping) return;  // a frame begun before the gate was turned on
    stepping = false;
    stepsRun += 1;
    notifyAll();
}

void TsCanvas::setStepGate(jboolean on) {
    VMSynchronized lock(this);
    if (on && !stepGated) gateClock = now();
    stepGated = on;
    stepsGranted = 0;
    notifyAll();
}

jboolean TsCanvas::step() {
    VMSynchronized lock(this);
    if (!stepGated || loopStopped) return false;
    const jlong target = stepsRun + 1;
    stepsGranted += 1;
    notifyAll();
    const jlong deadline = now() + 30000;
    while (stepsRun < target && !loopStopped) {
        const jlong left = deadline - now();
        if (left <= 0) return false;
        wait(left);
    }
    return stepsRun >= target;
}

void TsCanvas::setFrameTime(jint ms) { frameTime = std::clamp<jint>(ms, 0, MAX_FRAME_TIME); }

jint TsCanvas::getFrameTime() { return frameTime; }

void TsCanvas::paintFrame() {
    VMPtr<Graphics> g = getGraphics();
    resetClip(g);
    paintGame(g);
    flushGraphics();
}

void TsCanvas::resetClip(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setClip(0, 0, getWidth(), getHeight());
}

void TsCanvas::latchInput() {
    if (frameLatched) return;
    input::PointerInputKeyManager::update();
    VMSynchronized lock(this);
    std::memcpy(frameKeys, inputKeys, sizeof inputKeys);
    for (jbyte& state : inputKeys) state = jbyte(state & KEY_HELD);
}

// --- keys and touch ----------------------------------------------------------------

void TsCanvas::keyPressed(jint keyCode) { pressKeys(KeyMapping::getActions(keyCode, getGameAction(keyCode))); }

void TsCanvas::keyReleased(jint keyCode) { releaseKeys(KeyMapping::getActions(keyCode, getGameAction(keyCode))); }

void TsCanvas::pressKeys(jlong actions) {
    VMSynchronized lock(this);
    for (uint64_t bits = uint64_t(actions) & ~uint64_t(1); bits != 0; bits &= bits - 1)
        pressKey(jint(__builtin_ctzll(bits)));
    inputEntries += 1;
    notifyAll();
}

void TsCanvas::releaseKeys(jlong actions) {
    VMSynchronized lock(this);
    for (uint64_t bits = uint64_t(actions) & ~uint64_t(1); bits != 0; bits &= bits - 1)
        releaseKey(jint(__builtin_ctzll(bits)));
    inputEntries += 1;
    notifyAll();
}

void TsCanvas::pressKey(jint action) {
    checkAction(action);
    VMSynchronized lock(this);
    const jint state = inputKeys[action] & 0xFF;
    if (state & KEY_HELD) return;
    const jint presses = std::min(KEY_PRESS_COUNT, (state & KEY_PRESS_COUNT) + 1);
    inputKeys[action] = jbyte((state & ~KEY_PRESS_COUNT) | presses | KEY_HELD);
}

void TsCanvas::releaseKey(jint action) {
    checkAction(action);
    VMSynchronized lock(this);
    const jint state = inputKeys[action] & 0xFF;
    if (!(state & KEY_HELD)) return;
    inputKeys[action] = jbyte((state & ~KEY_HELD) | KEY_RELEASED);
}

jboolean TsCanvas::wasKeyPressed(jint action) {
    checkAction(action);
    return (frameKeys[action] & KEY_PRESS_COUNT) != 0;
}

jboolean TsCanvas::isKeyHeld(jint action) {
    checkAction(action);
    return (frameKeys[action] & KEY_HELD) != 0;
}

jboolean TsCanvas::wasKeyReleased(jint action) {
    checkAction(action);
    return (frameKeys[action] & KEY_RELEASED) != 0;
}

void TsCanvas::pointerPressed(jint x, jint y) {
    input::PointerInputEventManager::addEvent(input::PointerInputEventManager::PRESSED, x, y);
    input::PointerInputKeyManager::pointerEvent(input::PointerInputEventManager::PRESSED, x, y);
    wake();
}

void TsCanvas::pointerReleased(jint x, jint y) {
    input::PointerInputEventManager::addEvent(input::PointerInputEventManager::RELEASED, x, y);
    input::PointerInputKeyManager::pointerEvent(input::PointerInputEventManager::RELEASED, x, y);
    wake();
}

void TsCanvas::pointerDragged(jint x, jint y) {
    input::PointerInputEventManager::addEvent(input::PointerInputEventManager::DRAGGED, x, y);
    input::PointerInputKeyManager::pointerEvent(input::PointerInputEventManager::DRAGGED, x, y);
    wake();
}

void TsCanvas::setScreenOffset(jint x, jint y) {
    screenOffsetX = x;
    screenOffsetY = y;
    input::PointerInputEventManager::setScreenOffset(x, y);
    input::PointerInputKeyManager::setScreenOffset(x, y);
}

// --- drawing -------------------------------------------------------------------------

void TsCanvas::fillGradientRect(VMPtr<Graphics> g, jint x, jint y, jint width, jint height, jint color1, jint color2) {
    if (g == nullptr) _VM_throwNullPointer();
    g->fillGradientRect(x, y, width, height, color1, color2, false);
}

VMPtr<Image> TsCanvas::createImage(jint width, jint height, jboolean withAlpha, jint fillColor) {
    return Image::createImage(width, height, withAlpha, fillColor);
}

void TsCanvas::setVibrationEnabled(jboolean enabled) { vibrationEnabled = enabled; }

void TsCanvas::vibrate(jint ms) {
    if (!vibrationEnabled) return;
    javax::microedition::lcdui::Display::getDisplay(midlet)->vibrate(ms);
}

// --- text ------------------------------------------------------------------------------

VMPtr<ts::util::text::RichFont> TsCanvas::getDefaultFont() {
    if (defaultFont == nullptr) defaultFont = ts::util::text::RichFont::create()->construct();
    return defaultFont;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::TsCanvas, .name = "ts.TsCanvas", .staticInit = ts::TsCanvas::_VM_clinit, .isAbstract = true,
                  .interfaces = {"java.lang.Runnable"})

// javax.microedition.lcdui.Display: the one display.
#include "javax_microedition_lcdui_Display.h"

#include <exception>

#include "VMRuntime.h"
#include "VMThrow.h"
#include "hal_events.h"
#include "hal_system.h"
#include "hal_window.h"
#include "java_lang_Throwable.h"
#include "javax_microedition_lcdui_Alert.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace javax::microedition::lcdui {

VMStatic<Display> Display::display;
VMStatic<java::lang::Object> Display::displayLock;
VMStatic<java::lang::Object> Display::eventLock;

namespace {

// The runnable handed to the platform for a serial call, held until it runs.
struct HeldRunnable {
    VMNative<java::lang::Runnable> runnable;
};

void runSerialCall(void* argument) {
    auto* held = static_cast<HeldRunnable*>(argument);
    VMPtr<java::lang::Runnable> r = held->runnable;
    delete held;
    Display::callSerially_run(r);
}

// A serial call dropped at shutdown: the runnable is no longer held.
void discardSerialCall(void* argument) { delete static_cast<HeldRunnable*>(argument); }

}  // namespace

void Display::_VM_clinit() {
    displayLock = java::lang::Object::create()->construct();
    eventLock = java::lang::Object::create()->construct();
    display = Display::create()->construct();
}

VMPtr<Display> Display::construct() {
    Super::construct();
    _VM_addEventListener(onEvent, 0x7FFFFFFFu, 1);  // every event type
    int32_t isColorOut = 0, numColorsOut = 0, alphaOut = 0, doubleBufferedOut = 0;
    HAL_getDisplayCapabilities(&isColorOut, &numColorsOut, &alphaOut, &doubleBufferedOut);
    colorDisplay = isColorOut != 0;
    colorCount = numColorsOut;
    alphaLevelCount = alphaOut;
    doubleBuffered = doubleBufferedOut != 0;
    shown = true;
    return this;
}

VMPtr<Display> Display::getDisplay(VMPtr<javax::microedition::midlet::MIDlet> m) {
    (void)m;
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized lock(displayLock);
    return display;
}

jint Display::getColor(jint colorSpecifier) {
    static const jint kColors[] = {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xAFAFAF, 0x606060};
    if (colorSpecifier < 0 || colorSpecifier > COLOR_HIGHLIGHTED_BORDER) _VM_throwIllegalArgumentException();
    return kColors[colorSpecifier];
}

jint Display::getBorderStyle(jboolean highlighted) { return highlighted ? 0 : 1; }

VMPtr<Displayable> Display::getCurrent() {
    if (current != nullptr) return current;
    if (pending != nullptr) return pending;
    return nullptr;
}

void Display::setCurrent(VMPtr<Displayable> d) {
    VMSynchronized lock(displayLock);
    if (auto* alert = dynamic_cast<Alert*>(d.get()); alert != nullptr && d.target != requested.target) {
        if (dynamic_cast<Alert*>(requested.get()) != nullptr) _VM_throwIllegalArgumentException();
        alert->_VM_setNext(requested);
    }
    if (d == nullptr) {
        hasRequested = false;
        return;
    }
    makeCurrent(d);
}

void Display::setCurrent(VMPtr<Alert> alert, VMPtr<Displayable> next) {
    if (alert == nullptr || next == nullptr) _VM_throwNullPointer();
    if (dynamic_cast<Alert*>(next.get()) != nullptr) _VM_throwIllegalArgumentException();
    VMSynchronized lock(displayLock);
    alert->_VM_setNext(next);
    makeCurrent(alert);
}

void Display::makeCurrent(VMPtr<Displayable> d) {
    hasRequested = true;
    requested = d;
    VMPtr<Displayable> shownNow = d;
    // An alert has no window of its own here: it is dismissed at once, and
    // what is to follow it is shown in its place.
    if (auto* alert = dynamic_cast<Alert*>(d.get()); alert != nullptr && d->peer == nullptr) {
        shownNow = alert->_VM_getNext();
        if (shownNow == nullptr) return;
    }
    // Posts HAL_EVENT_DISPLAYABLE_CURRENT at once: the switch has run when this returns. A
    // displayable without a peer cannot be shown (status 2).
    HAL_setCurrentDisplayable(shownNow->peer);
}

void Display::callSerially(VMPtr<java::lang::Runnable> r) {
    if (r == nullptr) _VM_throwNullPointer();
    auto* held = new HeldRunnable();
    held->runnable = r;
    if (HAL_callSerially(runSerialCall, held, discardSerialCall) != HAL_OK) {
        delete held;
        HAL_fatalError("Call to HAL_callSerially() failed!");
    }
}

void Display::callSerially_run(VMPtr<java::lang::Runnable> r) {
    _VM_ensureInitialized(_VM_classRecord);
    try {
        VMSynchronized lock(eventLock);
        r->run();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        keep->printStackTrace();
    } catch (...) {
        HAL_fatalError("Unexpected exception in callSerially_run()!");
    }
}

jboolean Display::vibrate(jint duration) {
    if (duration < 0) _VM_throwIllegalArgumentException();
    // No vibration device: the request is answered with "not done".
    return false;
}

jboolean Display::isShown(Displayable* d) { return shown && d != nullptr && current.target == d; }

void Display::onEvent(jint type, jint count, const intptr_t* args) {
    VMPtr<Display> self = display;
    if (self == nullptr || type < HAL_EVENT_PAUSE || type > HAL_EVENT_COMMAND) return;
    auto argument = [&](int index) -> intptr_t { return args != nullptr && index < count ? args[index] : 0; };
    switch (type) {
        case HAL_EVENT_PAUSE: self->setShown(false); return;
        case HAL_EVENT_RESUME: self->setShown(true); return;
        case HAL_EVENT_DISPLAYABLE_CURRENT: self->switchTo(Displayable::fromOwnerValue(argument(0))); return;
        case HAL_EVENT_SIZE_CHANGED: {
            VMPtr<Displayable> target = Displayable::fromOwnerValue(argument(0));
            if (target != nullptr)
                target->callSizeChanged(static_cast<jint>(argument(1)), static_cast<jint>(argument(2)));
            return;
        }
        case HAL_EVENT_REPAINT:
            self->repaint(reinterpret_cast<HAL_Graphics*>(argument(0)), Displayable::fromOwnerValue(argument(1)),
                          static_cast<jint>(argument(2)), static_cast<jint>(argument(3)));
            return;
        case HAL_EVENT_COMMAND: self->handleCommandEvent(argument(0)); return;
        default: break;
    }
    // Keys and the stylus go to the current displayable, when there is one.
    VMPtr<Displayable> target = self->current;
    if (target == nullptr) return;
    const jint a = static_cast<jint>(argument(0)), b = static_cast<jint>(argument(1));
    switch (type) {
        case HAL_EVENT_KEY_PRESSED: target->callKeyPressed(a); break;
        case HAL_EVENT_KEY_RELEASED: target->callKeyReleased(a); break;
        case HAL_EVENT_KEY_REPEATED: target->callKeyRepeated(a); break;
        case HAL_EVENT_POINTER_PRESSED: target->callPointerPressed(a, b); break;
        case HAL_EVENT_POINTER_RELEASED: target->callPointerReleased(a, b); break;
        case HAL_EVENT_POINTER_DRAGGED: target->callPointerDragged(a, b); break;
        default: break;  // destroy, time zone changed, and 14: nothing
    }
}

void Display::setShown(jboolean flag) {
    if (flag == shown) return;
    shown = flag;
    VMPtr<Displayable> shownNow = current;
    if (shownNow == nullptr) return;
    if (flag)
        shownNow->callShowNotify();
    else
        shownNow->callHideNotify();
}

void Display::switchTo(VMPtr<Displayable> d) {
    VMPtr<Displayable> old;
    {
        VMSynchronized lock(displayLock);
        if (d.target == current.target) return;
        old = current;
        current = nullptr;
        pending = d;
    }
    if (old != nullptr) old->callHideNotify();
    if (d != nullptr) d->callShowNotify();
    VMSynchronized lock(displayLock);
    current = d;
    pending = nullptr;
}

void Display::repaint(HAL_Graphics* context, VMPtr<Displayable> target, jint width, jint height) {
    if (context == nullptr) return;
    // The event hands the context over.
    VMPtr<Graphics> g = Graphics::forContext(context, width, height);
    try {
        if (target != nullptr) target->callPaint(g);
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        g->releaseNative();
        _VM_throw(keep);
    }
    g->releaseNative();
}

void Display::handleCommandEvent(intptr_t commandId) {
    VMPtr<Displayable> d;
    VMPtr<Command> chosen;
    VMPtr<CommandListener> listener;
    {
        VMSynchronized lock(displayLock);
        d = current;
        if (d != nullptr && d->commandListener != nullptr && d->commands != nullptr && d->commandCount > 0) {
            VMPtr<VMArray<Command, 1>> list = d->commands;
            for (jint i = 0; i < d->commandCount; ++i) {
                Command* c = list->get(i);
                if (c != nullptr && c->_VM_platformId() == commandId) {
                    chosen = c;
                    break;
                }
            }
            listener = d->commandListener;
        }
    }
    if (chosen == nullptr || listener == nullptr || d == nullptr) return;
    try {
        VMSynchronized lock(eventLock);
        listener->commandAction(chosen, d);
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        keep->printStackTrace();
    } catch (...) {
        HAL_fatalError("Unexpected exception in handleCommandEvent()!");
    }
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Display, .name = "javax.microedition.lcdui.Display",
                  .staticInit = javax::microedition::lcdui::Display::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<javax::microedition::lcdui::Display>)

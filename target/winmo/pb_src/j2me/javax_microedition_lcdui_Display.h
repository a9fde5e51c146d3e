// javax.microedition.lcdui.Display: the one display. It keeps which
// displayable is current, makes one current through the platform, and is the
// class library's listener for the platform's user-interface events, which it
// hands to the current displayable's entries (Displayable::call*).
//
// Two monitors: the display lock guards current, requested and pending; the
// event lock serialises every call into application user-interface code.
#pragma once

#include "VM.h"
#include "java_lang_Runnable.h"
#include "javax_microedition_lcdui_Displayable.h"
#include "javax_microedition_midlet_MIDlet.h"

struct HAL_Graphics;

namespace javax::microedition::lcdui {

class Alert;

class Display : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Display, java::lang::Object)

public:
    static constexpr jint COLOR_BACKGROUND = 0;
    static constexpr jint COLOR_FOREGROUND = 1;
    static constexpr jint COLOR_HIGHLIGHTED_BACKGROUND = 2;
    static constexpr jint COLOR_HIGHLIGHTED_FOREGROUND = 3;
    static constexpr jint COLOR_BORDER = 4;
    static constexpr jint COLOR_HIGHLIGHTED_BORDER = 5;

    // The platform's capabilities, read once.
    jboolean colorDisplay = false;
    jint colorCount = 0;
    jint alphaLevelCount = 0;
    jboolean doubleBuffered = false;
    VMField<Displayable> current;    // shown
    VMField<Displayable> requested;  // the last non-null displayable made current
    VMField<Displayable> pending;    // being switched to
    jboolean hasRequested = false;
    jboolean shown = false;  // the application is in the foreground

    static VMStatic<Display> display;
    static VMStatic<java::lang::Object> displayLock;
    static VMStatic<java::lang::Object> eventLock;

    static void _VM_clinit();
    // Registers the listener (every event type, priority 1), reads the
    // capabilities; shown.
    VMPtr<Display> construct();

    static VMPtr<Display> getDisplay(VMPtr<javax::microedition::midlet::MIDlet> m);

    // IllegalArgumentException for a specifier outside 0 to 5.
    virtual jint getColor(jint colorSpecifier);
    // 0 (solid) when highlighted, else 1 (dotted).
    virtual jint getBorderStyle(jboolean highlighted);
    virtual jboolean isColor() { return colorDisplay; }
    virtual jint numColors() { return colorCount; }
    virtual jint numAlphaLevels() { return alphaLevelCount; }
    // current, else pending (during a switch), else null.
    virtual VMPtr<Displayable> getCurrent();
    // Shows the alert, then next (NullPointerException for either null,
    // IllegalArgumentException when next is an alert).
    virtual void setCurrent(VMPtr<Alert> alert, VMPtr<Displayable> next);
    // Shows d at once (its show entry has run when this returns); null only
    // forgets the request and leaves the shown displayable in place. An
    // alert is followed by the displayable requested before it;
    // IllegalArgumentException when that was an alert too.
    virtual void setCurrent(VMPtr<Displayable> d);
    // Runs r on the main thread after the events being handled.
    // NullPointerException for null.
    virtual void callSerially(VMPtr<java::lang::Runnable> r);

    // Runs r under the event lock; a Throwable it throws is printed and
    // dropped.
    static void callSerially_run(VMPtr<java::lang::Runnable> r);
    // IllegalArgumentException for a negative duration; this platform cannot
    // vibrate, so false.
    jboolean vibrate(jint duration);
    // shown, and d is the current displayable.
    jboolean isShown(Displayable* d);

    // The listener of the platform's events.
    static void onEvent(jint type, jint count, const intptr_t* args);
    void setShown(jboolean flag);
    void switchTo(VMPtr<Displayable> d);
    // HAL_EVENT_REPAINT: the target's paint entry with a Graphics over the native
    // context (width x height, default state), which is deleted afterwards.
    void repaint(HAL_Graphics* context, VMPtr<Displayable> target, jint width, jint height);
    // HAL_EVENT_COMMAND: hands the current displayable's command with this platform
    // id to its command listener, under the event lock. A Throwable the
    // listener throws is printed and dropped.
    void handleCommandEvent(intptr_t commandId);

private:
    // Makes d (not null) the requested displayable and shows it; the caller
    // holds the display lock.
    void makeCurrent(VMPtr<Displayable> d);

public:
    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(current, bits);
        _VM_markRef(requested, bits);
        _VM_markRef(pending, bits);
    }
};

}  // namespace javax::microedition::lcdui

// javax.microedition.lcdui.Displayable: the abstract base of everything that
// can be shown. It holds the title, the ticker, the commands with their
// listener and the native peer (window object) through which the platform
// shows it, and the entry operations through which
// the display hands it the platform's events (all run on the main thread; a
// subclass that calls application code takes the display's event lock
// around it).
#pragma once

#include "VM.h"
#include "java_lang_String.h"
#include "javax_microedition_lcdui_Command.h"
#include "javax_microedition_lcdui_CommandListener.h"
#include "javax_microedition_lcdui_Ticker.h"

class HAL_WindowObject;  // the platform's (hal_window.h), opaque here

namespace javax::microedition::lcdui {

class Graphics;

class Displayable : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(Displayable, java::lang::Object)

public:
    jboolean fullScreen = false;
    VMField<VMArray<Command, 1>> commands;  // the first commandCount elements are the commands added
    jint commandCount = 0;
    VMField<CommandListener> commandListener;
    VMField<java::lang::String> title;
    VMField<Ticker> ticker;
    HAL_WindowObject* peer = nullptr;  // owned by the displayable (see Canvas)

    // Makes sure the display exists (its locks) and keeps the peer.
    VMPtr<Displayable> construct(HAL_WindowObject* nativePeer);

    virtual VMPtr<java::lang::String> getTitle();
    // Tells the peer only when the title really changes.
    virtual void setTitle(VMPtr<java::lang::String> s);
    virtual VMPtr<Ticker> getTicker();
    // Tells the peer only when another ticker is set (null: no text).
    virtual void setTicker(VMPtr<Ticker> t);
    // The display is shown and this is its current displayable.
    virtual jboolean isShown();
    // NullPointerException for null. The peer is told also when c was added
    // before (the list keeps it once).
    virtual void addCommand(VMPtr<Command> c);
    // The peer is told only when c was in the list.
    virtual void removeCommand(VMPtr<Command> c);
    virtual void setCommandListener(VMPtr<CommandListener> l);
    virtual jint getWidth();
    virtual jint getHeight();

    // Entries called by the display's event listener.
    virtual void callSizeChanged(jint width, jint height);  // sizeChanged under the event lock
    virtual void callPaint(VMPtr<Graphics> g) { (void)g; }
    virtual void callKeyPressed(jint keyCode) { (void)keyCode; }
    virtual void callKeyRepeated(jint keyCode) { (void)keyCode; }
    virtual void callKeyReleased(jint keyCode) { (void)keyCode; }
    virtual void callPointerPressed(jint x, jint y) { (void)x, (void)y; }
    virtual void callPointerReleased(jint x, jint y) { (void)x, (void)y; }
    virtual void callPointerDragged(jint x, jint y) { (void)x, (void)y; }
    virtual void callShowNotify() {}
    virtual void callHideNotify() {}

    virtual void sizeChanged(jint width, jint height) { (void)width, (void)height; }

    // The command list (caller holds the display lock). Adding gives the new
    // index, or -1 when c is in the list already; the array grows by 4.
    virtual jint addToCommandList(VMPtr<Command> c);
    // Gives the index c had, or -1 when it was not in the list; the last
    // command moves into its place.
    virtual jint removeFromCommandList(VMPtr<Command> c);

    // The value the peer hands back in HAL_EVENT_DISPLAYABLE_CURRENT and
    // HAL_EVENT_SIZE_CHANGED for this displayable.
    intptr_t ownerValue() { return reinterpret_cast<intptr_t>(this); }
    static Displayable* fromOwnerValue(intptr_t value) { return reinterpret_cast<Displayable*>(value); }

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(commands, bits);
        _VM_markRef(commandListener, bits);
        _VM_markRef(title, bits);
        _VM_markRef(ticker, bits);
    }
};

}  // namespace javax::microedition::lcdui

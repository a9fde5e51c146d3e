// com.ventrix.utility.MyObject: the abstract base of everything a scene
// holds in its object table (panels, screen objects, the loading page). A
// scene updates an object while it is visible, hands it the input while it is
// active, and paints the visible ones in the order of their layers; the
// suspended flag stops updateIfActive from reaching update.
//
// The sixteen operations keep this order in every subclass, which appends
// its own after them.
#pragma once

#include "VM.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "ts_TsCanvas.h"

namespace com::ventrix::utility {

class MyObject : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(MyObject, java::lang::Object)

public:
    using Graphics = javax::microedition::lcdui::Graphics;

    jboolean active = false;     // the object takes input
    jboolean suspended = false;  // updateIfActive does not update
    jboolean visible = true;     // the scene updates and paints it
    jint id = 0;                 // its index in the scene's table
    jint spare = 0;              // kept for subclasses
    jint layer = 0;              // paint order

    // The time step of the current frame in milliseconds, written by the
    // scene before it updates its objects.
    static jint frameTime;
    // The game's canvas, taken from Main by the first constructor body that
    // finds it empty.
    static VMStatic<ts::TsCanvas> canvas;

    VMPtr<MyObject> construct();

    // Gives back what the object holds (cache references, regions).
    virtual void release() = 0;
    virtual void update(jint a, jint b) = 0;
    // update (a, b) unless suspended.
    virtual void updateIfActive(jint a, jint b);
    // Input of the frame; nothing here.
    virtual void handleInput(jint a, jint b);
    virtual void setVisible(jboolean value);
    virtual void setId(jint value);
    virtual jboolean isActive();
    virtual jint getLayer();
    virtual void setSuspended(jboolean value);
    virtual jboolean isVisible();
    virtual void paint(VMPtr<Graphics> g) = 0;
    // Forgets what the object holds without giving it back.
    virtual void reset() = 0;
    virtual jboolean isSuspended();
    virtual void setLayer(jint value);
    virtual void setActive(jboolean value);
    virtual jint getId();
};

}  // namespace com::ventrix::utility

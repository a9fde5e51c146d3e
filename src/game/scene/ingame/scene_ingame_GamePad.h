// scene.ingame.GamePad: the on-screen pad and the device keys turned into one
// direction code per frame. The in-game scene makes it, paints its two pad
// images and updates it once a frame before its own state machine; the
// player reads the code.
//
// Codes: -1 nothing; 1 up, 2 down, 3 left, 4 right, 5 action pressed (or a
// finger lifted from that pad button); 6 to 10 the same held (or a finger
// going down on it, and every frame while it stays down on it; sliding onto
// another button holds that one). A touch that began or ended in this frame,
// and a finger down on a button, win over the keys; among the keys any press
// wins over any hold, and inside each group up, down, left, right, action
// decide ties.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"

namespace scene::ingame {

class GamePad : public virtual java::lang::Object {
    VM_DECLARE_CLASS(GamePad, java::lang::Object)

public:
    static constexpr jint NONE = -1;
    static constexpr jint UP_PRESSED = 1;
    static constexpr jint DOWN_PRESSED = 2;
    static constexpr jint LEFT_PRESSED = 3;
    static constexpr jint RIGHT_PRESSED = 4;
    static constexpr jint ACTION_PRESSED = 5;
    static constexpr jint UP_HELD = 6;
    static constexpr jint DOWN_HELD = 7;
    static constexpr jint LEFT_HELD = 8;
    static constexpr jint RIGHT_HELD = 9;
    static constexpr jint ACTION_HELD = 10;
    // Held codes are the pressed ones plus this.
    static constexpr jint HELD_OFFSET = 5;

    // The pad images: frames 0 and 1 of this image and animation set, the
    // left one at the bottom-left and the right one at the bottom-right
    // corner of the screen. Their boxes are numbered with the pressed codes.
    static constexpr jint PAD_IMAGE = 0x3805;
    static constexpr jint PAD_SET = 0x3801;

    VMField<VMInts> touchArea;              // x, y, width 1, height 1 of the touch point
    VMField<com::ventrix::ui::Screen> pad;  // slot 0 the left image, slot 1 the right one
    jint direction = NONE;                  // this frame's code
    VMField<com::ventrix::utility::MyKey> myKey;
    VMField<com::ventrix::utility::MyPointer> myPointer;

    static VMStatic<GamePad> instance;

    VMPtr<GamePad> construct();
    // The singleton, made on first use.
    static VMPtr<GamePad> getInstance();

    // Works out this frame's code.
    virtual void update();
    // Makes the pad images and takes the input singletons.
    virtual void init();
    virtual jint getDirection();

    void markReferences(uint32_t bits) override {
        _VM_markRef(touchArea, bits);
        _VM_markRef(pad, bits);
        _VM_markRef(myKey, bits);
        _VM_markRef(myPointer, bits);
    }

private:
    // The pad button under (x, y): its pressed code, -1 when none.
    jint buttonAt(jint x, jint y);
};

}  // namespace scene::ingame

// javax.microedition.lcdui.Canvas: the low-level displayable. It creates its
// platform peer and hands the display's key, pointer, show and hide calls to
// the application's overrides, one at a time under the display's event lock.
#pragma once

#include "javax_microedition_lcdui_Displayable.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace javax::microedition::lcdui {

class Canvas : public Displayable {
    VM_DECLARE_ABSTRACT_CLASS(Canvas, Displayable)

public:
    static constexpr jint UP = 1;
    static constexpr jint DOWN = 6;
    static constexpr jint LEFT = 2;
    static constexpr jint RIGHT = 5;
    static constexpr jint FIRE = 8;
    static constexpr jint GAME_A = 9;
    static constexpr jint GAME_B = 10;
    static constexpr jint GAME_C = 11;
    static constexpr jint GAME_D = 12;
    static constexpr jint KEY_NUM0 = 48;
    static constexpr jint KEY_NUM1 = 49;
    static constexpr jint KEY_NUM2 = 50;
    static constexpr jint KEY_NUM3 = 51;
    static constexpr jint KEY_NUM4 = 52;
    static constexpr jint KEY_NUM5 = 53;
    static constexpr jint KEY_NUM6 = 54;
    static constexpr jint KEY_NUM7 = 55;
    static constexpr jint KEY_NUM8 = 56;
    static constexpr jint KEY_NUM9 = 57;
    static constexpr jint KEY_STAR = 42;
    static constexpr jint KEY_POUND = 35;

    // Set by the game canvas: keys with a game action (but for 3, 4 and 7)
    // are then not delivered to the key operations.
    jboolean suppressKeyEvents = false;
    // The platform's answers, read by the constructor.
    jboolean pointerEvents = false;
    jboolean pointerMotionEvents = false;
    jboolean repeatEvents = false;
    jboolean doubleBuffered = false;

    ~Canvas() override;

    // Creates the peer (this canvas its owner); a failure is a fatal stop.
    VMPtr<Canvas> construct();

    virtual jboolean isDoubleBuffered() { return doubleBuffered; }
    virtual jboolean hasPointerEvents() { return pointerEvents; }
    virtual jboolean hasPointerMotionEvents() { return pointerMotionEvents; }
    virtual jboolean hasRepeatEvents() { return repeatEvents; }
    // The platform's key code for a game action; IllegalArgumentException
    // when it has none.
    virtual jint getKeyCode(jint gameAction);
    // The key's name; IllegalArgumentException for a key without one.
    virtual VMPtr<java::lang::String> getKeyName(jint keyCode);
    // The game action of a key code, 0 when none.
    virtual jint getGameAction(jint keyCode);
    // Tells the platform only when the mode changes.
    virtual void setFullScreenMode(jboolean mode);

    // The application's operations (they do nothing here, but for paint).
    virtual void paint(VMPtr<Graphics> g) = 0;
    virtual void keyPressed(jint keyCode) { (void)keyCode; }
    virtual void keyRepeated(jint keyCode) { (void)keyCode; }
    virtual void keyReleased(jint keyCode) { (void)keyCode; }
    virtual void pointerPressed(jint x, jint y) { (void)x, (void)y; }
    virtual void pointerReleased(jint x, jint y) { (void)x, (void)y; }
    virtual void pointerDragged(jint x, jint y) { (void)x, (void)y; }
    virtual void showNotify() {}
    virtual void hideNotify() {}

    // The display's entries, each under the event lock.
    void callPaint(VMPtr<Graphics> g) override;
    void callKeyPressed(jint keyCode) override;
    void callKeyRepeated(jint keyCode) override;
    void callKeyReleased(jint keyCode) override;
    void callPointerPressed(jint x, jint y) override;
    void callPointerReleased(jint x, jint y) override;
    void callPointerDragged(jint x, jint y) override;
    void callShowNotify() override;
    void callHideNotify() override;

private:
    // Whether the key filter lets the key through.
    bool delivers(jint keyCode);
};

}  // namespace javax::microedition::lcdui

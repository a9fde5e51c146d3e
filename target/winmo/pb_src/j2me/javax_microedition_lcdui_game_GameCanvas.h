// javax.microedition.lcdui.game.GameCanvas: a canvas with an off-screen
// screen buffer. The application draws into the buffer at any time through
// one Graphics, from any thread, and pushes it to the window with
// flushGraphics; it may poll the latched key states instead of waiting for
// key events.
#pragma once

#include "javax_microedition_lcdui_Canvas.h"
#include "javax_microedition_lcdui_Graphics.h"

struct HAL_ScreenBuffer;  // the platform's (hal_screen.h), opaque here

namespace javax::microedition::lcdui::game {

class GameCanvas : public javax::microedition::lcdui::Canvas {
    VM_DECLARE_ABSTRACT_CLASS(GameCanvas, javax::microedition::lcdui::Canvas)

public:
    static constexpr jint UP_PRESSED = 1 << 1;
    static constexpr jint DOWN_PRESSED = 1 << 6;
    static constexpr jint LEFT_PRESSED = 1 << 2;
    static constexpr jint RIGHT_PRESSED = 1 << 5;
    static constexpr jint FIRE_PRESSED = 1 << 8;
    static constexpr jint GAME_A_PRESSED = 1 << 9;
    static constexpr jint GAME_B_PRESSED = 1 << 10;
    static constexpr jint GAME_C_PRESSED = 1 << 11;
    static constexpr jint GAME_D_PRESSED = 1 << 12;

    HAL_ScreenBuffer* screenBuffer = nullptr;  // owned
    VMField<javax::microedition::lcdui::Graphics> graphics;

    // With suppressKeyEvents, keys of the game actions do not reach the key
    // operations. A buffer that cannot be made is a fatal stop.
    VMPtr<GameCanvas> construct(jboolean suppressKeyEvents);
    ~GameCanvas() override;

    // Draws the whole screen buffer at g's translation.
    void paint(VMPtr<javax::microedition::lcdui::Graphics> g) override;
    // The one Graphics over the buffer, reset to its defaults (and to the
    // buffer's size) on every call.
    virtual VMPtr<javax::microedition::lcdui::Graphics> getGraphics();
    // The latched key states; a key pressed and released since the last
    // call is reported once.
    virtual jint getKeyStates();
    // The whole buffer to the window (from another thread than the main
    // one: handed over as a finished frame).
    virtual void flushGraphics();
    // Flushes the whole buffer too: the region is not used.
    virtual void flushGraphics(jint x, jint y, jint width, jint height);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(graphics, bits);
    }
};

}  // namespace javax::microedition::lcdui::game

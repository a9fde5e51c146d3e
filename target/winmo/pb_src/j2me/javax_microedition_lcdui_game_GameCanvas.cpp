// javax.microedition.lcdui.game.GameCanvas: a canvas with an off-screen screen buffer.
#include "javax_microedition_lcdui_game_GameCanvas.h"

#include "hal_input.h"
#include "hal_screen.h"
#include "hal_system.h"

namespace javax::microedition::lcdui::game {

using javax::microedition::lcdui::Graphics;

VMPtr<GameCanvas> GameCanvas::construct(jboolean suppress) {
    Super::construct();
    suppressKeyEvents = suppress;
    HAL_ScreenBuffer* buffer = nullptr;
    if (HAL_createScreenBuffer(peer, &buffer) != HAL_OK) HAL_fatalError("HAL_createScreenBuffer() failed.");
    screenBuffer = buffer;
    return this;
}

GameCanvas::~GameCanvas() {
    // The Graphics may have been collected in the same sweep: it releases its
    // own context, which holds the screen buffer until then.
    if (screenBuffer != nullptr) {
        HAL_deleteScreenBuffer(screenBuffer);
        screenBuffer = nullptr;
    }
}

void GameCanvas::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->drawScreenBuffer(screenBuffer);
}

VMPtr<Graphics> GameCanvas::getGraphics() {
    if (graphics == nullptr) {
        graphics = Graphics::forScreenBuffer(screenBuffer);
        return graphics;
    }
    int32_t w = 0, h = 0;
    if (HAL_getScreenBufferSize(screenBuffer, &w, &h) != HAL_OK) HAL_fatalError("HAL_getScreenBufferSize() failed.");
    VMPtr<Graphics> g = graphics;
    g->setDimensions(w, h);
    g->resetState(true);
    return g;
}

jint GameCanvas::getKeyStates() { return HAL_getKeyStates(); }

void GameCanvas::flushGraphics() {
    if (HAL_flushScreenBuffer(screenBuffer) != HAL_OK) HAL_fatalError("HAL_flushScreenBuffer() failed.");
}

void GameCanvas::flushGraphics(jint x, jint y, jint width, jint height) {
    if (HAL_flushScreenBufferRegion(screenBuffer, x, y, width, height) != HAL_OK) {
        HAL_fatalError("HAL_flushScreenBufferRegion() failed.");
    }
}

}  // namespace javax::microedition::lcdui::game

VM_REGISTER_CLASS(javax::microedition::lcdui::game::GameCanvas, .name = "javax.microedition.lcdui.game.GameCanvas",
                  .isAbstract = true)

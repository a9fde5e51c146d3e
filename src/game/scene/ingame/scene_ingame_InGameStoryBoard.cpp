// scene.ingame.InGameStoryBoard
#include "scene_ingame_InGameStoryBoard.h"

#include "ts_AnimSet.h"

namespace scene::ingame {

VMPtr<InGameStoryBoard> InGameStoryBoard::construct() {
    Super::construct();
    border = 4;
    setFontIndex(0);
    loadPanelResources(PANEL_IMAGE, PANEL_SET);
    setPanelFrame(PANEL_FRAME);  // the frame centred on the screen's middle
    textY -= SCREEN_HEIGHT / 2;
    setBounds(textX, textY, textWidth, textHeight);
    frameX = textX - border;
    frameY = textY - border;
    frameWidth = textWidth + 2 * border;
    frameHeight = textHeight + 2 * border;
    setLayer(BOARD_LAYER);
    return this;
}

void InGameStoryBoard::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    const jint offX = (*offset)[0], offY = (*offset)[1];
    g->setColor(0x000000);
    g->fillRect(frameX - OUTLINE - offX, frameY - OUTLINE - offY, frameWidth + 2 * OUTLINE, frameHeight + 2 * OUTLINE);
    g->setColor(0xFFFFFF);
    g->fillRect(frameX - offX, frameY - offY, frameWidth, frameHeight);
    // The panel's own paint draws the frame's art at the box's corner;
    // frame 8 has none, so only the text and the scroll bar show.
    Super::paint(g);
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameStoryBoard, .name = "scene.ingame.InGameStoryBoard",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameStoryBoard>)

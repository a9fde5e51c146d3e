// scene.ingame.InGameStoryBoard: the in-game scene's text box.
#include "scene_ingame_InGameStoryBoard.h"

#include "com_ventrix_utility_MyFont.h"
#include "ts_AnimSet.h"
#include "ts_util_text_RichFont.h"

namespace scene::ingame {

VMPtr<InGameStoryBoard> InGameStoryBoard::construct() {
    Super::construct();
    border = 4;
    setFontIndex(0);
    loadPanelResources(PANEL_IMAGE, PANEL_SET);
    setPanelFrame(PANEL_FRAME);  // the frame centred on the screen's middle
    textY -= SCREEN_HEIGHT / 2;
    frameX = textX - border;
    frameY = textY - border;
    frameWidth = textWidth + 2 * border;
    frameHeight = textHeight + 2 * border;
    fitWholeLines();
    setBounds(textX, textY, textWidth, textHeight);
    setLayer(BOARD_LAYER);
    return this;
}

void InGameStoryBoard::fitWholeLines() {
    VMPtr<com::ventrix::utility::MyFont> f = font;
    if (f == nullptr) return;
    f->useFont(fontIndex);
    VMPtr<ts::util::text::RichFont> rich = f->richFont;
    const jint line = rich == nullptr ? 0 : rich->getHeight();
    if (line < 1) return;
    // A line's descenders reach below its height: the page keeps `border`
    // pixels free under its last line, and the lines sit in the middle.
    jint lines = (textHeight - border) / line;
    if (lines < 1) lines = 1;
    const jint used = lines * line;
    if (used >= textHeight) return;
    textY += (textHeight - used) / 2;
    textHeight = used;
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

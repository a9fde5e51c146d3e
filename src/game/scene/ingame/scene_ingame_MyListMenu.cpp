// scene.ingame.MyListMenu: the pause menu of the in-game scene.
#include "scene_ingame_MyListMenu.h"

#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "ts_AnimSet.h"

namespace scene::ingame {

using com::ventrix::utility::ResManager;
using ts::util::text::RichFont;

VMPtr<MyListMenu> MyListMenu::construct() {
    Super::construct();
    return this;
}

void MyListMenu::update(jint, jint) {
    VMPtr<ts::AnimPlayer> h = highlight;
    if (h != nullptr) h->update(frameTime);
}

void MyListMenu::open() {
    if (loadListGraphics()) {
        listFrame = nullptr;
        VMPtr<ts::AnimSet> set = listSecondIndex >= 0 ? ResManager::animCache->get(listSecondIndex) : nullptr;
        highlight = nullptr;
        if (set != nullptr) {
            // Graphics without the highlight animation show no highlight.
            VMPtr<VMInts> animations = set->animations;
            if (animations != nullptr && animations->length > HIGHLIGHT_ANIMATION) {
                VMPtr<ts::AnimPlayer> h = ts::AnimPlayer::create()->construct();
                h->setAnimSet(set);
                h->setAnimation(HIGHLIGHT_ANIMATION);
                highlight = h;
            }
            listFrame = set->getFrame(ITEM_FRAME);
        }
    }
    VMPtr<VMInts> ids = items;
    const jint entries = ids != nullptr ? std::min(itemCount, ids->length) : 0;
    layOutRows(entries);
    // The text origin: x is the text's offset inside a row.
    scrollX = (*layoutBox(TEXT_BOX))[0];
    scrollY = 0;
    resetTouch();
    registerRows(entries);
}

void MyListMenu::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setColor(0);
    if (listOpen) {
        paintRows(g);
        resetClip(g);
    }
    Super::paint(g);
}

void MyListMenu::paintRows(VMPtr<Graphics> g) {
    const jint offX = (*offset)[0];
    VMPtr<RichFont> rich = rowFont(0);
    VMPtr<VMInts> ids = items;
    VMPtr<ts::Frame> frame = listFrame;
    VMPtr<ts::AnimPlayer> h = highlight;
    const jint entries = ids != nullptr ? std::min(itemCount, ids->length) : 0;
    for (jint r = 0; r < visibleRows; ++r) {
        const jint index = firstRow + r;
        if (index < 0 || index >= entries) continue;  // past the entries: not drawn
        const jint x = areaX + rowOffsetX - offX;
        const jint y = rowTop(r);
        if (frame != nullptr) frame->paint(g, x, y, 0);
        if (r == selected && h != nullptr) h->paint(g, x, y, 0);
        drawRowText(g, rich, textOf((*ids)[index]), x + scrollX, y);
    }
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::MyListMenu, .name = "scene.ingame.MyListMenu",
                  .newInstance = _VM_newInstanceOf<scene::ingame::MyListMenu>)

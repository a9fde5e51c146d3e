// scene.ingame.MyListMenu
#include "scene_ingame_MyListMenu.h"

#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "ts_AnimSet.h"

namespace scene::ingame {

using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using ts::util::text::RichFont;

namespace {
constexpr jint ANCHOR_TOP_LEFT = 20;
}  // namespace

VMPtr<MyListMenu> MyListMenu::construct() {
    Super::construct();
    return this;
}

void MyListMenu::update(jint, jint) {
    VMPtr<ts::AnimPlayer> h = highlight;
    if (h != nullptr) h->update(frameTime);
}

void MyListMenu::open() {
    listOpen = true;
    // The graphics are loaded again when the resource changed or the panel
    // let them go (close, release).
    if (loadedListResource != listResource || listFrame == nullptr) {
        loadedListResource = listResource;
        ResManager::load(listResource, listSecondResource);
        listFirstIndex = ResManager::getFirstIndex();
        listSecondIndex = ResManager::getSecondIndex();
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
    VMPtr<VMInts> row = layoutBox(ROW_BOX);
    setItemSize((*row)[2], (*row)[3]);
    VMPtr<VMInts> ids = items;
    const jint entries = ids != nullptr ? std::min(itemCount, ids->length) : 0;
    // Without a row height there are no rows.
    visibleRows = itemHeight >= 1 ? std::max<jint>(0, std::min(areaHeight / itemHeight, entries)) : 0;
    rowOffsetX = (areaWidth - itemWidth) / 2;
    firstRow = 0;
    rowGap = (areaHeight - visibleRows * itemHeight) / (visibleRows + 1);
    // The text origin: x is the text's offset inside a row.
    scrollX = (*layoutBox(TEXT_BOX))[0];
    scrollY = 0;
    VMPtr<MyPointer> p = pointer;
    p->resetX();
    p->resetY();
    selected = -1;
    VMPtr<VMInts> area = VMInts::create(4);
    (*area)[0] = areaX;
    (*area)[1] = areaY;
    (*area)[2] = areaWidth;
    (*area)[3] = areaHeight;
    p->setTouchBoxes(itemCount, getRowRegions(), area);
    const jint range = visibleRows < entries ? -((rowGap + itemHeight) * (entries - visibleRows)) : 0;
    p->setScrollLimits(0, 0, 0, range);
}

void MyListMenu::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setColor(0x000000);
    if (listOpen) {
        const jint offX = (*offset)[0], offY = (*offset)[1];
        VMPtr<MyFont> f = font;
        f->useFont(0);
        VMPtr<RichFont> rich = f->richFont;
        VMPtr<VMInts> ids = items;
        VMPtr<ts::Frame> frame = listFrame;
        VMPtr<ts::AnimPlayer> h = highlight;
        const jint entries = ids != nullptr ? std::min(itemCount, ids->length) : 0;
        for (jint r = 0; r < visibleRows; ++r) {
            const jint index = firstRow + r;
            if (index < 0 || index >= entries) continue;  // past the entries: not drawn
            const jint x = areaX + rowOffsetX - offX;
            const jint y = (itemHeight + rowGap) * r + areaY + rowGap - offY;
            if (frame != nullptr) frame->paint(g, x, y, 0);
            if (r == selected && h != nullptr) h->paint(g, x, y, 0);
            rich->drawString(g, textOf((*ids)[index]), x + scrollX, y + (itemHeight - rich->getHeight()) / 2,
                             ANCHOR_TOP_LEFT);
        }
        resetClip(g);
    }
    Super::paint(g);
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::MyListMenu, .name = "scene.ingame.MyListMenu",
                  .newInstance = _VM_newInstanceOf<scene::ingame::MyListMenu>)

// com.ventrix.ui.ListMenu
#include "com_ventrix_ui_ListMenu.h"

#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "ts_AnimSet.h"

namespace com::ventrix::ui {

using ts::util::text::RichFont;
using utility::MyFont;
using utility::MyPointer;
using utility::ResManager;

namespace {
constexpr jint ANCHOR_TOP_LEFT = 20;
constexpr jint TRANSFORM_MIRROR = 2;
}  // namespace

VMPtr<ListMenu> ListMenu::construct() {
    Super::construct();
    return this;
}

void ListMenu::open() {
    listOpen = true;
    // The layout always comes from frame 0: loaded when the resource changed
    // or the panel let its graphics go (close, release).
    if (loadedListResource != listResource || listFrame == nullptr) {
        loadedListResource = listResource;
        ResManager::load(listResource, listSecondResource);
        listFirstIndex = ResManager::getFirstIndex();
        listSecondIndex = ResManager::getSecondIndex();
        listFrame = cachedFrame(listSecondIndex, 0);
    }
    VMPtr<VMInts> box = layoutBox(ROW_BOX);
    setItemSize((*box)[2], (*box)[3]);
    VMPtr<VMInts> ids = items;
    const jint itemsLength = ids != nullptr ? ids->length : 0;
    // Without a row height there are no rows.
    visibleRows = itemHeight >= 1 ? std::min(areaHeight / itemHeight, itemsLength) : 0;
    if (visibleRows < 0) visibleRows = 0;
    rowOffsetX = (areaWidth - itemWidth) / 2;
    firstRow = 0;
    rowGap = (areaHeight - visibleRows * itemHeight) / (visibleRows + 1);
    scrollX = 0;
    scrollY = 0;
    marqueeX = 0;
    VMPtr<VMInts> area = VMInts::create(4);
    (*area)[0] = areaX;
    (*area)[1] = areaY;
    (*area)[2] = areaWidth;
    (*area)[3] = areaHeight;
    VMPtr<MyPointer> p = pointer;
    p->resetX();
    p->resetY();
    selected = -1;
    p->addUpRegion(getUpRegion());
    p->addDownRegion(getDownRegion());
    p->addLeftRegion(getLeftRegion());
    p->addRightRegion(getRightRegion());
    p->setTouchBoxes(itemCount, getRowRegions(), area);
    const jint range = visibleRows < itemCount ? -((rowGap + itemHeight) * (itemCount - visibleRows)) : 0;
    p->setScrollLimits(0, 0, 0, range);
    if (listFrame != nullptr) listFrame = cachedFrame(listSecondIndex, MARKER_FRAME);
}

void ListMenu::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setColor(0);
    if (listOpen) {
        const jint offX = (*offset)[0], offY = (*offset)[1];
        VMPtr<MyFont> f = font;
        f->useFont(1);
        VMPtr<RichFont> rich = f->richFont;
        VMPtr<VMInts> ids = items;
        VMPtr<ts::Frame> marker = listFrame;
        for (jint r = 0; r < visibleRows; ++r) {
            if (r >= itemCount) continue;
            const jint index = firstRow + r;
            if (ids == nullptr || index < 0 || index >= ids->length) continue;
            VMPtr<String> s = textOf((*ids)[index]);
            const jint w = rich->stringWidth(s);
            const jint x = areaX + rowOffsetX + (itemWidth - w) / 2 - offX;
            const jint top = (rowGap + itemHeight) * r + rowGap + areaY - offY;
            if (r == selected && marker != nullptr) {
                marker->paint(g, x, top, 0);
                marker->paint(g, x + w, top, TRANSFORM_MIRROR);
            }
            rich->drawString(g, s, x, top + (itemHeight - rich->getHeight()) / 2, ANCHOR_TOP_LEFT);
        }
        resetClip(g);
    }
    Super::paint(g);
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::ListMenu, .name = "com.ventrix.ui.ListMenu",
                  .newInstance = _VM_newInstanceOf<com::ventrix::ui::ListMenu>)

// com.ventrix.ui.ListMenu: a panel that shows a vertical menu.
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
constexpr jint TRANSFORM_MIRROR = 2;
}  // namespace

VMPtr<ListMenu> ListMenu::construct() {
    Super::construct();
    return this;
}

jboolean ListMenu::loadListGraphics() {
    listOpen = true;
    if (loadedListResource == listResource && listFrame != nullptr) return false;
    loadedListResource = listResource;
    ResManager::load(listResource, listSecondResource);
    listFirstIndex = ResManager::getFirstIndex();
    listSecondIndex = ResManager::getSecondIndex();
    return true;
}

void ListMenu::layOutRows(jint entries) {
    VMPtr<VMInts> box = layoutBox(ROW_BOX);
    setItemSize((*box)[2], (*box)[3]);
    visibleRows = itemHeight >= 1 ? std::max<jint>(0, std::min(areaHeight / itemHeight, entries)) : 0;
    rowOffsetX = (areaWidth - itemWidth) / 2;
    firstRow = 0;
    rowGap = (areaHeight - visibleRows * itemHeight) / (visibleRows + 1);
}

VMPtr<MyPointer> ListMenu::resetTouch() {
    VMPtr<MyPointer> p = pointer;
    p->resetX();
    p->resetY();
    selected = -1;
    return p;
}

void ListMenu::registerRows(jint entries) {
    VMPtr<VMInts> area = VMInts::create(4);
    (*area)[0] = areaX;
    (*area)[1] = areaY;
    (*area)[2] = areaWidth;
    (*area)[3] = areaHeight;
    VMPtr<MyPointer> p = pointer;
    p->setTouchBoxes(itemCount, getRowRegions(), area);
    const jint range = visibleRows < entries ? -((rowGap + itemHeight) * (entries - visibleRows)) : 0;
    p->setScrollLimits(0, 0, 0, range);
}

void ListMenu::open() {
    // The layout always comes from frame 0.
    if (loadListGraphics()) listFrame = cachedFrame(listSecondIndex, 0);
    VMPtr<VMInts> ids = items;
    layOutRows(ids != nullptr ? ids->length : 0);
    scrollX = 0;
    scrollY = 0;
    marqueeX = 0;
    VMPtr<MyPointer> p = resetTouch();
    p->addUpRegion(getUpRegion());
    p->addDownRegion(getDownRegion());
    p->addLeftRegion(getLeftRegion());
    p->addRightRegion(getRightRegion());
    registerRows(itemCount);
    if (listFrame != nullptr) listFrame = cachedFrame(listSecondIndex, MARKER_FRAME);
}

VMPtr<RichFont> ListMenu::rowFont(jint fontNumber) {
    VMPtr<MyFont> f = font;
    f->useFont(fontNumber);
    return f->richFont;
}

jint ListMenu::rowTop(jint r) { return (rowGap + itemHeight) * r + rowGap + areaY - (*offset)[1]; }

void ListMenu::drawRowText(VMPtr<Graphics> g, VMPtr<RichFont> rich, VMPtr<String> s, jint x, jint top) {
    rich->drawString(g, s, x, top + (itemHeight - rich->getHeight()) / 2, Graphics::TOP | Graphics::LEFT);
}

void ListMenu::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setColor(0);
    if (listOpen) {
        paintRows(g);
        resetClip(g);
    }
    Super::paint(g);
}

void ListMenu::paintRows(VMPtr<Graphics> g) {
    const jint offX = (*offset)[0];
    VMPtr<RichFont> rich = rowFont(1);
    VMPtr<VMInts> ids = items;
    VMPtr<ts::Frame> marker = listFrame;
    for (jint r = 0; r < visibleRows; ++r) {
        if (r >= itemCount) continue;
        const jint index = firstRow + r;
        if (ids == nullptr || index < 0 || index >= ids->length) continue;
        VMPtr<String> s = textOf((*ids)[index]);
        const jint w = rich->stringWidth(s);
        const jint x = areaX + rowOffsetX + (itemWidth - w) / 2 - offX;
        const jint top = rowTop(r);
        if (r == selected && marker != nullptr) {
            marker->paint(g, x, top, 0);
            marker->paint(g, x + w, top, TRANSFORM_MIRROR);
        }
        drawRowText(g, rich, s, x, top);
    }
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::ListMenu, .name = "com.ventrix.ui.ListMenu",
                  .newInstance = _VM_newInstanceOf<com::ventrix::ui::ListMenu>)

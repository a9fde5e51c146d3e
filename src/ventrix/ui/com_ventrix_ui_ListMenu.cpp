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

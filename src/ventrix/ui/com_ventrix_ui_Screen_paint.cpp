// com.ventrix.ui.Screen: painting and the filled rectangles
#include "com_ventrix_ui_Screen.h"

#include <algorithm>

#include "java_lang_System.h"

namespace com::ventrix::ui {

using ts::AnimPlayer;
using ts::Paintable;

void Screen::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    if (backgroundVisible) {
        g->setClip(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        if (backgroundColor1 == backgroundColor2) {
            g->setColor(backgroundColor1);
            g->fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        } else {
            // The Graphics is already translated to the game area: the
            // gradient starts at (0, 0) like the one-colour fill.
            VMPtr<ts::TsCanvas> c = canvas;
            c->fillGradientRect(g, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, backgroundColor1, backgroundColor2);
        }
    }
    bool rectsPainted = false;
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    const jint n = table == nullptr ? 0 : std::min(slotCount, table->length);
    const jint ox = getOriginX(), oy = getOriginY();
    // The per-slot tables, read once for the whole frame like the slots.
    VMPtr<VMIntRows> offsets = slotOffsets;
    VMPtr<VMInts> t = transforms;
    VMPtr<VMIntRows> clips = slotClips;
    for (jint j = 0; j < n; ++j) {
        if (j == rectLayer) {
            paintRects(g);
            rectsPainted = true;
        }
        VMPtr<Paintable> p = table->get(j);
        if (p == nullptr) continue;
        VMPtr<VMInts> offset = offsets->get(j);
        const jint x = (*offset)[0] - ox, y = (*offset)[1] - oy;
        const jint transform = (*t)[j];
        VMPtr<VMInts> clip = clips->get(j);
        if ((*clip)[2] != 0 && (*clip)[3] != 0) {
            // The clip in force is kept here, not in scratch, which may be a
            // short collision list or one a caller still holds.
            const jint saved[4] = {g->getClipX(), g->getClipY(), g->getClipWidth(), g->getClipHeight()};
            g->setClip((*clip)[0] - ox, (*clip)[1] - oy, (*clip)[2], (*clip)[3]);
            p->paint(g, x, y, transform);
            g->setClip(saved[0], saved[1], saved[2], saved[3]);
        } else {
            p->paint(g, x, y, transform);
        }
    }
    g->setClip(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!rectsPainted) paintRects(g);
}

void Screen::paintRects(VMPtr<Graphics> g) {
    VMPtr<VMIntRows> table = rects;
    if (table == nullptr) return;
    VMPtr<VMInts> colors = rectColors;
    const jint ox = getOriginX(), oy = getOriginY();
    for (jint j = 0; j < table->length; ++j) {
        VMPtr<VMInts> r = table->get(j);
        if (r == nullptr || r->length < 4) continue;
        g->setColor((*colors)[j]);
        g->fillRect((*r)[0] - ox, (*r)[1] - oy, (*r)[2], (*r)[3]);
    }
}

void Screen::setRect(jint index, VMPtr<VMInts> rect, jint color) {
    if (rect == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> table = rects;
    // The screen's own copy, which nothing outside reads: a rectangle set
    // again every frame (a bar that shrinks) is written over in place.
    VMPtr<VMInts> copy = table->get(index);
    if (copy == nullptr || copy->length != rect->length || copy == rect) {
        copy = VMInts::create(rect->length);
        table->set(index, copy);
    }
    java::lang::System::arraycopy(rect, 0, copy, 0, rect->length);
    VMPtr<VMInts> colors = rectColors;
    (*colors)[index] = color;
    if (rectLayer == -1) rectLayer = slotCount;
}

void Screen::removeRect(jint index) {
    VMPtr<VMIntRows> table = rects;
    table->set(index, nullptr);
}

}  // namespace com::ventrix::ui

// com.ventrix.ui.Addon: an overlay panel that a scene draws over its world.
#include "com_ventrix_ui_Addon.h"

#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "java_io_PrintStream.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"
#include "ts_AnimSet.h"

namespace com::ventrix::ui {

using ts::util::text::RichFont;
using ts::util::text::WrappedText;
using utility::MyFont;
using utility::MyPointer;
using utility::ResManager;

VMPtr<Addon> Addon::construct() {
    Super::construct();
    labelCapacity = 0;
    labelCount = 0;
    framed = false;
    listOpen = false;
    alternate = false;
    scrollable = false;
    areaX = 0;
    areaY = 0;
    areaWidth = SCREEN_WIDTH;
    areaHeight = SCREEN_HEIGHT;
    itemWidth = 0;
    itemHeight = 0;
    tappedRow = -1;
    pointer = MyPointer::getInstance();
    if (font == nullptr) font = MyFont::getInstance();
    keepFlag = true;
    loadedListResource = 0;
    fontIndex = 0;
    fillColour = 0;
    borderColour = 0;
    resetOffset();
    return this;
}

// --- simple operations ------------------------------------------------------------------

void Addon::update(jint, jint) {}
void Addon::handleInput(jint a, jint b) { updatePointer(a, b); }
jint Addon::getFrameWidth() { return frameWidth; }
jint Addon::getFrameHeight() { return frameHeight; }
jint Addon::getFrameY() { return frameY; }
jint Addon::getScrollX() { return scrollX; }
jint Addon::getScrollY() { return scrollY; }
jint Addon::getAreaWidth() { return areaWidth; }
jint Addon::getFirstRow() { return firstRow; }
jboolean Addon::isFramed() { return framed; }
jboolean Addon::isAlternate() { return alternate; }
jboolean Addon::isOpen() { return listOpen; }
jboolean Addon::getKeepFlag() { return keepFlag; }
void Addon::setFirstRow(jint row) { firstRow = row; }
void Addon::setBorderColour(jint rgb) { borderColour = rgb; }
void Addon::setFillColour(jint rgb) { fillColour = rgb; }
void Addon::setFontIndex(jint index) { fontIndex = index; }
void Addon::setScrollable(jboolean value) { scrollable = value; }
void Addon::setAlternate(jboolean value) { alternate = value; }
void Addon::setOpen(jboolean value) { listOpen = value; }
void Addon::setFramed(jboolean value) { framed = value; }
void Addon::setKeepFlag(jboolean value) { keepFlag = value; }
void Addon::setItems(VMPtr<VMInts> ids) { items = ids; }
void Addon::open() {}

void Addon::setItemSize(jint width, jint height) {
    itemWidth = width;
    itemHeight = height;
}

void Addon::setListResources(jint first, jint second) {
    listResource = first;
    listSecondResource = second;
}

void Addon::setBounds(jint x, jint y, jint width, jint height) {
    areaX = x;
    areaY = y;
    areaWidth = width;
    areaHeight = height;
}

void Addon::resetBounds() { setBounds(textX, textY, textWidth, textHeight); }

void Addon::setItemCount(jint n) {
    items = VMInts::create(n);  // NegativeArraySizeException below 0
    itemCount = n;
}

void Addon::setLabelCount(jint n) {
    if (n >= 0 && n <= labelCapacity) labelCount = n;
}

void Addon::setSelected(jint row) {
    VMPtr<VMInts> ids = items;
    if (ids != nullptr && row >= 0 && row < ids->length) selected = row;
}

void Addon::setOffset(jint x, jint y) {
    VMPtr<VMInts> o = offset;
    (*o)[0] = x;
    (*o)[1] = y;
}

jint Addon::getOffsetX() { return offset != nullptr ? (*offset)[0] : 0; }
jint Addon::getOffsetY() { return offset != nullptr ? (*offset)[1] : 0; }

void Addon::resetOffset() {
    if (offset == nullptr) offset = VMInts::create(2);
    (*offset)[0] = 0;
    (*offset)[1] = 0;
}

VMPtr<VMInts> Addon::getTextBox() {
    VMPtr<VMInts> box = VMInts::create(5);
    (*box)[0] = textX;
    (*box)[1] = textY;
    (*box)[2] = textWidth;
    (*box)[3] = textHeight;
    return box;
}

jint Addon::getLineHeight() {
    VMPtr<WrappedText> t = text;
    return t != nullptr ? t->lineHeight : 0;
}

void Addon::setListImage(VMPtr<ts::Gob> image, jint index) {
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    VMPtr<VMArray<ts::Gob, 2>> cache = ResManager::gobCache;
    if (cache == nullptr) _VM_throwNullPointer();
    cache->get(listFirstIndex)->set(index, image);
}

VMPtr<java::lang::String> Addon::textOf(jint textId) {
    VMPtr<MyFont> f = font;
    VMPtr<ts::util::text::Translation> table = f->texts;
    if (table == nullptr) _VM_throwNullPointer();
    return table->getString(textId);
}

// --- labels ---------------------------------------------------------------------------

void Addon::initLabels(jint capacity) {
    VMPtr<VMIntRows> positions = VMIntRows::create(capacity, 2);
    VMPtr<VMArray<String, 1>> texts = VMArray<String, 1>::create(capacity);
    VMPtr<VMInts> widths = VMInts::create(capacity);
    VMPtr<VMInts> heights = VMInts::create(capacity);
    VMPtr<VMInts> fonts = VMInts::create(capacity);
    VMPtr<VMArray<jboolean, 1>> right = VMArray<jboolean, 1>::create(capacity);
    labelCapacity = capacity;
    labelPosition = positions;
    labelText = texts;
    labelWidth = widths;
    labelHeight = heights;
    labelFont = fonts;
    labelRight = right;
    labelCount = 0;
}

void Addon::setLabelText(jint index, VMPtr<String> s) {
    if (index >= 0 && index < labelCapacity) labelText->set(index, s);
}

void Addon::setLabelRightAligned(jint index, jboolean right) {
    if (index >= 0 && index < labelCapacity) (*labelRight)[index] = right;
}

void Addon::setLabelFont(jint index, jint fontNumber) { labelFont->set(index, fontNumber); }

void Addon::setLabel(jint index, VMPtr<String> s, jint x, jint y) {
    setLabelText(index, s);
    if (index < 0 || index >= labelCapacity) return;
    VMPtr<VMInts> position = labelPosition->get(index);
    (*position)[0] = x;
    (*position)[1] = y;
    (*labelWidth)[index] = 0;
}

void Addon::setLabel(jint index, VMPtr<String> s, jint x, jint y, jint width) {
    setLabel(index, s, x, y);
    if (index >= 0 && index < labelCapacity) (*labelWidth)[index] = width;
}

void Addon::setLabel(jint index, VMPtr<String> s, jint x, jint y, jint width, jint height) {
    setLabel(index, s, x, y, width);
    if (index >= 0 && index < labelCapacity) (*labelHeight)[index] = height;
}

void Addon::addLabel(VMPtr<String> s, jint x, jint y) {
    if (labelCount >= labelCapacity) return;
    labelText->set(labelCount, s);
    VMPtr<VMInts> position = labelPosition->get(labelCount);
    (*position)[0] = x;
    (*position)[1] = y;
    ++labelCount;
}

void Addon::addLabel(jint textId, jint x, jint y) {
    if (labelCount >= labelCapacity) return;
    addLabel(textOf(textId), x, y);
}

void Addon::addLabel(VMPtr<String> s, jint x, jint y, jint width) {
    if (labelCount >= labelCapacity) return;
    (*labelWidth)[labelCount] = width;
    addLabel(s, x, y);
}

void Addon::addLabel(jint textId, jint x, jint y, jint width) {
    if (labelCount >= labelCapacity) return;
    (*labelWidth)[labelCount] = width;
    addLabel(textId, x, y);
}

void Addon::addLabel(VMPtr<String> s, jint x, jint y, jint width, jint height) {
    if (labelCount >= labelCapacity) return;
    (*labelHeight)[labelCount] = height;
    addLabel(s, x, y, width);
}

void Addon::addLabel(jint textId, jint x, jint y, jint width, jint height) {
    if (labelCount >= labelCapacity) return;
    (*labelHeight)[labelCount] = height;
    addLabel(textId, x, y, width);
}

// --- panel box and text -----------------------------------------------------------------

void Addon::loadPanelResources(jint first, jint second) {
    if (panelFrame != nullptr) {
        panelFrame = nullptr;
        ResManager::release(panelFirstIndex, panelSecondIndex);
        panelFirstIndex = -1;
        panelSecondIndex = -1;
    }
    ResManager::load(first, second);
    panelFirstIndex = ResManager::getFirstIndex();
    panelSecondIndex = ResManager::getSecondIndex();
}

namespace {
// The slot whose set was last found missing (said once until it is found).
jint missingSlotSaid = -1;
}  // namespace

VMPtr<ts::Frame> Addon::cachedFrame(jint slot, jint frame) {
    if (slot < 0) return nullptr;
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    VMPtr<VMArray<ts::AnimSet, 1>> cache = ResManager::animCache;
    VMPtr<ts::AnimSet> set = cache != nullptr && slot < cache->length ? cache->get(slot) : nullptr;
    if (set != nullptr && slot == missingSlotSaid) missingSlotSaid = -1;
    if (set == nullptr) {
        if (slot == missingSlotSaid) return nullptr;
        missingSlotSaid = slot;
        _VM_ensureInitialized(java::lang::System::_VM_classRecord);
        VMPtr<java::lang::StringBuffer> line =
            java::lang::StringBuffer::create()->construct(VM_STR("Addon: no animation set in cache slot "));
        line->append(slot);
        VMPtr<java::io::PrintStream> out = java::lang::System::out;
        out->println(line->toString());
        return nullptr;
    }
    return set->getFrame(frame);
}

namespace {

VMPtr<VMArray<jint, 1>> boxOf(VMPtr<ts::Frame> frame, jint boxId) {
    VMPtr<VMArray<jint, 1>> box = VMArray<jint, 1>::create(5);
    if (frame != nullptr) frame->getCollisionRects(0, box, boxId);
    return box;
}

}  // namespace

void Addon::setPanelFrame(jint frame, jint x, jint y, jint width, jint height) {
    VMPtr<ts::Frame> f = cachedFrame(panelSecondIndex, frame);
    if (f == nullptr) return;
    panelFrame = f;
    VMPtr<VMInts> box = boxOf(f, 0);
    frameWidth = width;
    frameHeight = height;
    frameX = x + (width - f->getWidth(0)) / 2;
    frameY = y + (height - f->getHeight(0)) / 2;
    framed = true;
    textX = frameX + (*box)[0];
    textY = frameY + (*box)[1];
    textWidth = (*box)[2];
    textHeight = (*box)[3];
    setBounds(textX, textY, textWidth, textHeight);
}

void Addon::setPanelFrame(jint frame) {
    VMPtr<ts::Frame> f = cachedFrame(panelSecondIndex, frame);
    if (f == nullptr) return;
    panelFrame = f;
    VMPtr<VMInts> box = boxOf(f, 1);
    frameWidth = f->getWidth(0);
    frameHeight = f->getHeight(0);
    frameX = SCREEN_WIDTH / 2;
    frameY = SCREEN_HEIGHT / 2;
    framed = true;
    textX = frameX + (*box)[0];
    textY = frameY + (*box)[1];
    textWidth = (*box)[2];
    textHeight = (*box)[3];
    setBounds(textX, textY, textWidth, textHeight);
    if (labelCapacity != 1 && labelCapacity != 2) return;
    for (jint i = 0; i < labelCapacity; ++i) {
        VMPtr<VMInts> labelBox = boxOf(f, i);
        VMPtr<VMInts> position = labelPosition->get(i);
        (*position)[0] = (*labelBox)[0] + frameX;
        (*position)[1] = (*labelBox)[1] + frameY;
        (*labelWidth)[i] = (*labelBox)[2];
        (*labelHeight)[i] = (*labelBox)[3];
    }
}

void Addon::setText(VMPtr<String> s, jint x, jint y, jint width, jint height) {
    textWidth = width;
    textHeight = height;
    textX = x;
    textY = y;
    setText(s);
}

void Addon::setText(VMPtr<String> s) {
    scrollX = textX;
    scrollY = textY;
    firstLine = 0;
    VMPtr<MyFont> f = font;
    f->useFont(fontIndex);
    VMPtr<WrappedText> wrapped = WrappedText::create()->construct(canvas);
    text = wrapped;
    VMPtr<RichFont> rich = f->richFont;
    lineCount = wrapped->wrap(rich, s, textWidth - SCROLL_BAR_WIDTH);
    // Without a line height every line counts as visible.
    const jint lineHeight = wrapped->lineHeight;
    const jint fit = lineHeight >= 1 ? textHeight / lineHeight : lineCount;
    visibleLines = lineCount < fit ? lineCount : fit;
    VMPtr<MyPointer> p = pointer;
    p->resetX();
    p->resetY();
    p->setScrollY(0);
    const jint range = visibleLines < lineCount ? -((lineCount - visibleLines) * (rowGap + lineHeight)) : 0;
    p->setScrollLimits(0, scrollY, 0, range);
}

void Addon::scrollTextDown() {
    if (!active) return;
    if (visibleLines + firstLine + 1 <= lineCount) ++firstLine;
}

void Addon::scrollTextUp() {
    if (!active) return;
    if (firstLine > 0) --firstLine;
}

jboolean Addon::pageDown() {
    if (!active) return false;
    if (visibleLines + firstLine + 1 > lineCount) return false;
    firstLine = std::min(firstLine + visibleLines, lineCount - visibleLines);
    return true;
}

// --- list navigation and input -----------------------------------------------------------

void Addon::listUp() {
    if (!active) return;
    if (firstRow > 0) --firstRow;
}

void Addon::listDown() {
    if (!active) return;
    if (firstRow + visibleRows < itemCount) ++firstRow;
}

void Addon::keyUp() {
    if (!active) return;
    marqueeX = 0;
    if (listOpen || alternate)
        listUp();
    else if (framed || text != nullptr)
        scrollTextUp();
}

void Addon::keyDown() {
    if (!active) return;
    marqueeX = 0;
    if (listOpen || alternate)
        listDown();
    else if (framed || text != nullptr)
        scrollTextDown();
}

void Addon::updatePointer(jint, jint) {
    updateSelection();
    updateTappedRow();
}

void Addon::updateSelection() {
    VMPtr<VMInts> ids = items;
    if (ids == nullptr) {
        selected = -1;
        return;
    }
    const jint row = pointer->getPressedBox(0);
    selected = row >= 0 && row < ids->length ? row : -1;
}

void Addon::updateTappedRow() { tappedRow = pointer->getReleasedBox(0); }

jint Addon::getTappedIndex() {
    VMPtr<VMInts> ids = items;
    if (ids == nullptr || tappedRow == -1) return -1;
    const jint index = tappedRow + firstRow;
    if (index < 0 || index >= ids->length || (*ids)[index] == 0) return -1;
    return index;
}

jint Addon::getTappedItem() {
    const jint index = getTappedIndex();
    return index != -1 ? (*items)[index] : -1;
}

jint Addon::getSelectedItem() {
    VMPtr<VMInts> ids = items;
    if (!active || ids == nullptr || selected == -1) return -1;
    const jint index = firstRow + selected;
    return index >= 0 && index < ids->length ? (*ids)[index] : -1;
}

void Addon::updateDrag() {
    if (listOpen || alternate || scrollable) scrollY = pointer->getDragY(0);
}

void Addon::updateMarquee() {
    VMPtr<VMInts> ids = items;
    if (!scrollable || ids == nullptr || selected == -1) return;
    const jint index = firstRow + selected;
    if (index < 0 || index >= ids->length) return;
    VMPtr<MyFont> f = font;
    VMPtr<RichFont> rich = f->richFont;
    const jint w = rich->stringWidth(textOf((*ids)[index]));
    if (w <= MARQUEE_LIMIT) {
        marqueeX = 0;
        return;
    }
    marqueeX -= MARQUEE_STEP;
    if (marqueeX <= -(w + areaX)) marqueeX = MARQUEE_LIMIT;
}

// --- touch regions ------------------------------------------------------------------------

VMPtr<ts::Frame> Addon::layoutFrame() {
    if (listFrame == nullptr) return nullptr;
    return cachedFrame(listSecondIndex, 0);
}

VMPtr<VMInts> Addon::layoutBox(jint boxId) { return boxOf(layoutFrame(), boxId); }

VMPtr<VMInts> Addon::regionBox(jint boxId, jint dy, jboolean aboveArea) {
    VMPtr<ts::Frame> frame = layoutFrame();
    VMPtr<VMInts> box = boxOf(frame, boxId);
    if (frame == nullptr) return box;
    (*box)[0] += areaX + rowOffsetX;
    (*box)[1] += areaY + dy - (aboveArea ? (*box)[3] : 0);
    return box;
}

VMPtr<VMInts> Addon::getUpRegion() { return regionBox(5, 0, true); }
VMPtr<VMInts> Addon::getDownRegion() { return regionBox(5, areaHeight, false); }
VMPtr<VMInts> Addon::getLeftRegion() { return regionBox(3, 0, false); }
VMPtr<VMInts> Addon::getRightRegion() { return regionBox(4, 0, false); }

VMPtr<VMIntRows> Addon::getRowRegions() {
    const jint n = std::max<jint>(0, std::min(itemCount, visibleRows));
    VMPtr<VMIntRows> rows = VMIntRows::create(n, 5);
    VMPtr<ts::Frame> frame = layoutFrame();
    if (frame == nullptr) return rows;
    for (jint r = 0; r < n; ++r) {
        VMPtr<VMInts> box = rows->get(r);
        frame->getCollisionRects(0, box, 5);
        (*box)[0] += areaX + rowOffsetX;
        (*box)[1] += (rowGap + itemHeight) * r + rowGap + areaY;
    }
    return rows;
}

// --- list layout ---------------------------------------------------------------------

jboolean Addon::loadListGraphics() {
    listOpen = true;
    if (loadedListResource == listResource && listFrame != nullptr) return false;
    loadedListResource = listResource;
    ResManager::load(listResource, listSecondResource);
    listFirstIndex = ResManager::getFirstIndex();
    listSecondIndex = ResManager::getSecondIndex();
    return true;
}

void Addon::layOutRows(jint entries) {
    VMPtr<VMInts> box = layoutBox(ROW_BOX);
    setItemSize((*box)[2], (*box)[3]);
    visibleRows = itemHeight >= 1 ? std::max<jint>(0, std::min(areaHeight / itemHeight, entries)) : 0;
    rowOffsetX = (areaWidth - itemWidth) / 2;
    firstRow = 0;
    rowGap = (areaHeight - visibleRows * itemHeight) / (visibleRows + 1);
}

VMPtr<MyPointer> Addon::resetTouch() {
    VMPtr<MyPointer> p = pointer;
    p->resetX();
    p->resetY();
    selected = -1;
    return p;
}

void Addon::registerRows(jint entries) {
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

VMPtr<RichFont> Addon::rowFont(jint fontNumber) {
    VMPtr<MyFont> f = font;
    f->useFont(fontNumber);
    return f->richFont;
}

jint Addon::rowTop(jint r) { return (rowGap + itemHeight) * r + rowGap + areaY - (*offset)[1]; }

void Addon::drawRowText(VMPtr<Graphics> g, VMPtr<RichFont> rich, VMPtr<String> s, jint x, jint top) {
    rich->drawString(g, s, x, top + (itemHeight - rich->getHeight()) / 2, Graphics::TOP | Graphics::LEFT);
}

// --- release ----------------------------------------------------------------------------

void Addon::dropFrames(jboolean giveBack) {
    VMPtr<MyPointer> p = pointer;
    p->removeUpRegions(getUpRegion());
    p->removeDownRegions(getDownRegion());
    p->removeLeftRegions(getLeftRegion());
    p->removeRightRegions(getRightRegion());
    if (panelFrame != nullptr) {
        panelFrame = nullptr;
        if (giveBack) ResManager::release(panelFirstIndex, panelSecondIndex);
        panelFirstIndex = -1;
        panelSecondIndex = -1;
    }
    if (listFrame != nullptr) {
        listFrame = nullptr;
        if (giveBack) ResManager::release(listFirstIndex, listSecondIndex);
        listFirstIndex = -1;
        listSecondIndex = -1;
    }
}

void Addon::close() { dropFrames(false); }
void Addon::reset() { close(); }
void Addon::release() { dropFrames(true); }

// --- drawing ----------------------------------------------------------------------------

void Addon::setClip(VMPtr<Graphics> g, jint x, jint y, jint width, jint height) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setClip(x, y, width, height);
}

void Addon::resetClip(VMPtr<Graphics> g) {
    VMPtr<ts::TsCanvas> c = canvas;
    if (c == nullptr) _VM_throwNullPointer();
    c->resetClip(g);
}

void Addon::paintText(VMPtr<Graphics> g) {
    VMPtr<MyFont> f = font;
    f->useFont(fontIndex);
    VMPtr<WrappedText> t = text;
    if (t == nullptr) return;
    const jint offX = (*offset)[0], offY = (*offset)[1];
    jint y = textY - offY;
    if (scrollable) {
        VMPtr<RichFont> rich = f->richFont;
        y -= rich->getHeight() * firstLine;
    }
    t->paint(g, textX - offX, y, Graphics::LEFT);
}

void Addon::paint(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    const jint offX = (*offset)[0], offY = (*offset)[1];
    if (framed) {
        VMPtr<ts::Frame> f = panelFrame;
        if (f == nullptr) {
            g->setColor(fillColour);
            g->fillRect(frameX - offX, frameY - offY, frameWidth, frameHeight);
            g->setColor(borderColour);
            g->drawRect(frameX - offX, frameY - offY, frameWidth, frameHeight);
        } else {
            f->paint(g, frameX - offX, frameY - offY, 0);
        }
    }
    if (framed || text != nullptr) {
        setClip(g, textX - offX, textY - offY, textWidth, textHeight);
        paintText(g);
        resetClip(g);
        if (scrollable && visibleLines < lineCount) {
            const jint unit = textHeight / lineCount;
            const jint barX = textX + textWidth - SCROLL_BAR_WIDTH - offX;
            g->setColor(fillColour);
            g->drawRect(barX, textY - offY, SCROLL_BAR_WIDTH, unit * lineCount);
            g->fillRect(barX, unit * firstLine + textY - offY, SCROLL_BAR_WIDTH, unit * visibleLines);
        }
    }
    VMPtr<MyFont> f = font;
    for (jint i = 0; i < labelCount; ++i) {
        VMPtr<String> s = labelText->get(i);
        if (s == nullptr) continue;  // a counted label never given a text
        f->useFont((*labelFont)[i]);
        VMPtr<RichFont> rich = f->richFont;
        VMPtr<VMInts> position = labelPosition->get(i);
        const jint px = (*position)[0], py = (*position)[1];
        const jint w = (*labelWidth)[i], h = (*labelHeight)[i];
        const jint y = h < 1 ? py - offY : py + (h - rich->getHeight()) / 2 - offY;
        if ((*labelRight)[i]) {
            rich->drawString(g, s, w < 1 ? px - offX : px + w - offX, y, Graphics::TOP | Graphics::RIGHT);
        } else {
            const jint x = w < 1 ? px - offX : px + (w - rich->stringWidth(s)) / 2 - offX;
            rich->drawString(g, s, x, y, Graphics::TOP | Graphics::LEFT);
        }
    }
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::Addon, .name = "com.ventrix.ui.Addon",
                  .newInstance = _VM_newInstanceOf<com::ventrix::ui::Addon>)

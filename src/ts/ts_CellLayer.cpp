// ts.CellLayer: a scrolling world of tiled cells with fixed and moving paintables in it.
#include "ts_CellLayer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalStateException.h"
#include "java_lang_Integer.h"
#include "java_lang_System.h"
#include "ts_TsCanvas.h"

namespace ts {

namespace {

// Division and remainder rounding down, so that negative world positions
// map into the tile grid and the ring buffer like positive ones.
inline jint floorDiv(jint a, jint b) {
    jint q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
inline jint floorMod(jint a, jint b) { return a - floorDiv(a, b) * b; }

[[noreturn]] void illegalArgument(const char* message) {
    _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR(message)));
}

[[noreturn]] void illegalState(const char* message) {
    _VM_throw(java::lang::IllegalStateException::create()->construct(VM_STR(message)));
}

// Restores the clip of a Graphics when it goes out of scope.
struct ClipGuard {
    javax::microedition::lcdui::Graphics* g;
    jint x, y, w, h;
    explicit ClipGuard(javax::microedition::lcdui::Graphics* graphics)
        : g(graphics), x(g->getClipX()), y(g->getClipY()), w(g->getClipWidth()), h(g->getClipHeight()) {}
    ~ClipGuard() { g->setClip(x, y, w, h); }
};

// The top-left corners of the whole tiles of a width x height image, row by
// row.
void tileCorners(jint width, jint height, jint tileWidth, jint tileHeight, VMPtr<VMChars>& xs, VMPtr<VMChars>& ys) {
    const jint n = (width / tileWidth) * (height / tileHeight);
    xs = VMChars::create(n);
    ys = VMChars::create(n);
    jint i = 0;
    for (jint y = 0; y <= height - tileHeight; y += tileHeight) {
        for (jint x = 0; x <= width - tileWidth; x += tileWidth) {
            (*xs)[i] = jchar(x);
            (*ys)[i] = jchar(y);
            ++i;
        }
    }
}

}  // namespace

// --- creation ---------------------------------------------------------------------------

VMPtr<CellLayer> CellLayer::construct(jboolean isBuffered, jboolean separateImages, jboolean withAlpha, jint width,
                                      jint height) {
    Super::construct();
    if (isBuffered && (width < 1 || height < 1)) illegalArgument("A buffered view needs a size of at least 1 x 1");
    viewWidth = width;
    viewHeight = height;
    buffered = isBuffered;
    separateTileImages = separateImages;
    if (isBuffered && bufferImage == nullptr) {
        VMPtr<TsCanvas> canvas = TsCanvas::getInstance();
        if (canvas == nullptr) _VM_throwNullPointer();
        VMPtr<Image> image = canvas->createImage(width, height, withAlpha, 0);
        bufferImage = image;
        bufferGraphics = image->getGraphics();
    }
    bufferAlpha = isBuffered && withAlpha;
    initItems(0);
    return this;
}

VMPtr<CellLayer> CellLayer::createBuffered(jint width, jint height) {
    return CellLayer::create()->construct(true, false, false, width, height);
}

// --- accessors ------------------------------------------------------------------------

jint CellLayer::getRows() { return rows; }
jint CellLayer::getColumns() { return columns; }
jint CellLayer::getCellWidth() { return cellWidth; }
jint CellLayer::getCellHeight() { return cellHeight; }
jint CellLayer::getViewX() { return viewX; }
jint CellLayer::getViewY() { return viewY; }

void CellLayer::setViewPosition(jint x, jint y) {
    viewX = x;
    viewY = y;
}

// --- tiles and cells ----------------------------------------------------------------------

void CellLayer::releaseTiles() {
    cells = nullptr;
    if (!separateTileImages) {
        tileImage = nullptr;
        tileX = nullptr;
        tileY = nullptr;
    } else {
        tileImages = nullptr;
    }
    animatedTiles = nullptr;
    animatedChanged = nullptr;
}

void CellLayer::setMap(VMPtr<Image> tiles, jint mapColumns, jint mapRows, jint tileWidth, jint tileHeight) {
    if (tileWidth < 1 || tileHeight < 1) illegalArgument("Tile size below 1");
    if (tiles == nullptr) _VM_throwNullPointer();
    if (mapColumns < 0 || mapRows < 0) _VM_throwNegativeArraySizeException();
    if (jlong(mapColumns) * mapRows > INT_MAX) _VM_throwOutOfMemoryError();
    releaseTiles();
    columns = mapColumns;
    rows = mapRows;
    cells = VMShorts::create(mapColumns * mapRows);
    animatedTiles = VMChars::create(0);
    cellWidth = tileWidth;
    cellHeight = tileHeight;
    const jint imageWidth = tiles->getWidth(), imageHeight = tiles->getHeight();
    if (!separateTileImages) {
        tileImage = tiles;
        VMPtr<VMChars> xs, ys;
        tileCorners(imageWidth, imageHeight, tileWidth, tileHeight, xs, ys);
        tileX = xs;
        tileY = ys;
    } else {
        VMPtr<Images> images = Images::create((imageWidth / tileWidth) * (imageHeight / tileHeight));
        // The scratch has an alpha channel and is cleared before each tile,
        // so that transparent pixels stay transparent and no tile shows
        // through the next.
        VMPtr<Image> scratchImage = Image::createImage(tileWidth, tileHeight, true, 0);
        VMPtr<Graphics> sg = scratchImage->getGraphics();
        jint i = 0;
        for (jint y = 0; y <= imageHeight - tileHeight; y += tileHeight) {
            for (jint x = 0; x <= imageWidth - tileWidth; x += tileWidth) {
                if (i > 0) clearArea(sg, 0, 0, tileWidth, tileHeight);
                sg->drawImage(tiles, -x, -y, Graphics::TOP | Graphics::LEFT);
                images->set(i++, Image::createImage(scratchImage));
            }
        }
        tileImages = images;
    }
    animatedChanged = VMBooleans::create(0);
    fullRedraw = true;
}

void CellLayer::setStaticTileSet(VMPtr<Gob> tiles, jint tileWidth, jint tileHeight) {
    if (tileWidth < 1 || tileHeight < 1) illegalArgument("Tile size below 1");
    if (tiles == nullptr) _VM_throwNullPointer();
    cellWidth = tileWidth;
    cellHeight = tileHeight;
    tileImage = tiles->image;
    // Whole tiles only, as setMap counts them.
    VMPtr<VMChars> xs, ys;
    tileCorners(tiles->width, tiles->height, tileWidth, tileHeight, xs, ys);
    tileX = xs;
    tileY = ys;
    fullRedraw = true;
}

jint CellLayer::getCell(jint column, jint row) {
    if (cells == nullptr) _VM_throwNullPointer();
    return cells->get(column + columns * row);
}

void CellLayer::setCell(jint column, jint row, jint value) {
    if (cells == nullptr) _VM_throwNullPointer();
    cells->set(column + columns * row, jshort(value));
    fullRedraw = true;
}

jint CellLayer::createAnimatedTile(jint staticTileIndex) {
    if (animatedTiles == nullptr) _VM_throwNullPointer();
    const jint n = animatedTiles->length;
    VMPtr<VMChars> grown = VMChars::create(n + 1);
    java::lang::System::arraycopy(animatedTiles, 0, grown, 0, n);
    (*grown)[n] = jchar(staticTileIndex);
    animatedTiles = grown;
    if (buffered) {
        if (animatedChanged == nullptr) _VM_throwNullPointer();
        const jint m = animatedChanged->length;
        VMPtr<VMBooleans> flags = VMBooleans::create(m + 1);
        java::lang::System::arraycopy(animatedChanged, 0, flags, 0, m);
        animatedChanged = flags;
    }
    return -(n + 1);
}

void CellLayer::setAnimatedTile(jint animatedTileIndex, jint staticTileIndex) {
    if (animatedTiles == nullptr) _VM_throwNullPointer();
    const jint index = -animatedTileIndex - 1;
    animatedTiles->set(index, jchar(staticTileIndex));
    if (buffered) animatedChanged->set(index, true);
}

jint CellLayer::getAnimatedTile(jint animatedTileIndex) {
    if (animatedTiles == nullptr) _VM_throwNullPointer();
    return animatedTiles->get(-animatedTileIndex - 1);
}

jint CellLayer::tileCount() {
    if (separateTileImages) return tileImages != nullptr ? tileImages->length : 0;
    return tileX != nullptr ? tileX->length : 0;
}

jint CellLayer::tileOf(jint value) {
    if (value < 0) {
        VMChars* animated = animatedTiles.target;
        const jint index = -value - 1;
        if (animated == nullptr || index >= animated->length) return 0;
        value = animated->elements()[index];
    }
    const jint t = value & 0xFFF;
    return t <= tileCount() ? t : 0;
}

// --- movable items --------------------------------------------------------------------------

void CellLayer::initItems(jint capacity) {
    if (capacity > MAX_ITEMS) illegalArgument("More movable items than handles");
    items = nullptr;
    itemPositions = nullptr;
    nextItem = nullptr;
    previousItem = nullptr;
    visibleItems = nullptr;
    firstItem = lastItem = freeItem = firstChangedItem = -1;
    fullRedraw = true;
    visibleCount = 0;
    itemsMoved = false;
    if (capacity > 0) {
        items = Paintables::create(capacity);
        itemPositions = VMInts::create(capacity);
        VMPtr<VMShorts> next = VMShorts::create(capacity);
        for (jint i = 0; i < capacity; ++i) (*next)[i] = jshort(i + 1);
        (*next)[capacity - 1] = -1;
        nextItem = next;
        previousItem = VMShorts::create(capacity);
        freeItem = 0;
        if (buffered) visibleItems = VMChars::create(capacity);
    }
}

void CellLayer::checkHandle(jint handle) {
    if (items == nullptr || handle < 0 || handle >= items->length || items->elements()[handle] == nullptr) {
        illegalArgument("No movable item of that handle");
    }
}

bool CellLayer::drawsBefore(jint a, jint b) {
    const jshort* next = nextItem->elements();
    for (jint h = a; h >= 0; h = next[h]) {
        if (h == b) return true;
    }
    return false;
}

jint CellLayer::visibleIndexOf(jint handle) {
    if (visibleItems == nullptr) return -1;
    const jchar* visible = visibleItems->elements();
    for (jint k = 0; k < visibleCount; ++k) {
        if (visible[k] == handle) return k;
    }
    return -1;
}

jint CellLayer::addItem(VMPtr<Paintable> p, jint x, jint y, jint transform) {
    if (p == nullptr) _VM_throwNullPointer();
    if (freeItem < 0) illegalState("The movable item list is full");
    const jint t = transform & 3;
    const jint packed = packPosition(x + p->getOffsetX(t), y + p->getOffsetY(t), t);
    const jint h = freeItem;
    jshort* next = nextItem->elements();
    freeItem = next[h];
    if (firstItem < 0)
        firstItem = h;
    else
        next[lastItem] = jshort(h);
    next[h] = -1;
    previousItem->elements()[h] = jshort(lastItem);
    lastItem = h;
    if (firstChangedItem == -1) firstChangedItem = h;
    items->set(h, p);
    itemPositions->elements()[h] = packed;
    return h;
}

void CellLayer::moveItem(VMPtr<Paintable> p, jint x, jint y, jint transform, jint handle) {
    checkHandle(handle);
    if (p == nullptr) _VM_throwNullPointer();
    const jint t = transform & 3;
    const jint packed = packPosition(x + p->getOffsetX(t), y + p->getOffsetY(t), t);
    const jint old = itemPositions->elements()[handle];
    VMPtr<Paintable> oldItem = items->get(handle);
    const jint oldT = positionTransform(old);
    const jint oldWidth = oldItem->getWidth(oldT), oldHeight = oldItem->getHeight(oldT);
    items->set(handle, p);
    itemPositions->elements()[handle] = packed;
    // The earliest changed item in drawing order (handles are reused, so
    // their numbers do not follow it).
    if (firstChangedItem == -1 || (firstChangedItem != handle && drawsBefore(handle, firstChangedItem))) {
        firstChangedItem = handle;
    }
    if (buffered && visibleIndexOf(handle) >= 0) {
        itemsMoved = true;
        if (!fullRedraw) repairRectangle(positionLeft(old), positionTop(old), oldWidth, oldHeight);
    }
}

void CellLayer::removeItem(jint handle) {
    checkHandle(handle);
    jshort* next = nextItem->elements();
    jshort* previous = previousItem->elements();
    const jint before = previous[handle], after = next[handle];
    if (before >= 0)
        next[before] = jshort(after);
    else
        firstItem = after;
    if (after >= 0)
        previous[after] = jshort(before);
    else
        lastItem = before;
    if (firstChangedItem == handle) firstChangedItem = after;
    next[handle] = jshort(freeItem);
    freeItem = handle;
    if (buffered) {
        const jint k = visibleIndexOf(handle);
        if (k >= 0) {
            java::lang::System::arraycopy(visibleItems, k + 1, visibleItems, k, visibleCount - k - 1);
            --visibleCount;
            if (!fullRedraw) {
                VMPtr<Paintable> item = items->get(handle);
                const jint position = itemPositions->elements()[handle];
                const jint t = positionTransform(position);
                repairRectangle(positionLeft(position), positionTop(position), item->getWidth(t), item->getHeight(t));
            }
        }
    }
    items->set(handle, nullptr);
}

jboolean CellLayer::removeMatchingItem(VMPtr<Paintable> p, jint x, jint y, jint transform) {
    const jint any = java::lang::Integer::MIN_VALUE;
    for (jint h = firstItem; h >= 0; h = nextItem->elements()[h]) {
        VMPtr<Paintable> item = items->get(h);
        const jint position = itemPositions->elements()[h];
        const jint t = positionTransform(position);
        if (x != any && x != positionLeft(position) - item->getOffsetX(t)) continue;
        if (y != any && y != positionTop(position) - item->getOffsetY(t)) continue;
        if (p != nullptr && p.get() != item.get()) continue;
        if (transform != any && transform != t) continue;
        removeItem(h);
        return true;
    }
    return false;
}

// --- fixed items -------------------------------------------------------------------------------

void CellLayer::initFixedItems(jint capacity) {
    initFixedItems(capacity, jint(rows * cellHeight) > jint(columns * cellWidth));
}

void CellLayer::initFixedItems(jint capacity, jboolean sortByY) {
    if (capacity > MAX_FIXED_ITEMS) illegalArgument("More fixed items than handles");
    fixedCount = 0;
    fixedMaxExtent = 0;
    fixedNeedsSort = true;
    fullRedraw = true;
    fixedItems = nullptr;
    fixedOffsetX = fixedOffsetY = fixedX = fixedY = fixedWidth = fixedHeight = nullptr;
    fixedTransform = nullptr;
    fixedKeys = fixedScratch = nullptr;
    if (capacity > 0) {
        fixedSortByY = sortByY;
        fixedItems = Paintables::create(capacity);
        fixedOffsetX = VMShorts::create(capacity);
        fixedOffsetY = VMShorts::create(capacity);
        fixedX = VMShorts::create(capacity);
        fixedY = VMShorts::create(capacity);
        fixedWidth = VMShorts::create(capacity);
        fixedHeight = VMShorts::create(capacity);
        fixedTransform = VMBytes::create(capacity);
        fixedKeys = VMInts::create(capacity);
        fixedScratch = VMInts::create(capacity);
    }
}

void CellLayer::addFixedItem(VMPtr<Paintable> p, jint x, jint y, jint transform) {
    if (p == nullptr) _VM_throwNullPointer();
    const jint i = fixedCount;
    if (fixedItems == nullptr || i >= fixedItems->length) illegalState("The fixed item list is full");
    const jint ox = p->getOffsetX(transform), oy = p->getOffsetY(transform);
    const jint w = p->getWidth(transform), h = p->getHeight(transform);
    fixedItems->set(i, p);
    (*fixedOffsetX)[i] = jshort(ox);
    (*fixedOffsetY)[i] = jshort(oy);
    (*fixedWidth)[i] = jshort(w);
    (*fixedHeight)[i] = jshort(h);
    (*fixedX)[i] = jshort(x + ox);
    (*fixedY)[i] = jshort(y + oy);
    (*fixedTransform)[i] = jbyte(transform & 3);
    const jint coordinate = fixedSortByY ? (*fixedY)[i] : (*fixedX)[i];
    (*fixedKeys)[i] = i | jint(uint32_t(coordinate) << 16);
    fixedCount = i + 1;
    fixedMaxExtent = std::max(fixedMaxExtent, fixedSortByY ? h : w);
    // An item added after a draw is found by the search and drawn too.
    fixedNeedsSort = true;
    fullRedraw = true;
}

// --- drawing ------------------------------------------------------------------------------------

void CellLayer::paint(VMPtr<Graphics> g) {
    if (buffered)
        paintBuffered(g);
    else
        paintDirect(g);
}

void CellLayer::paintDirect(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    const jint cx = g->getClipX(), cy = g->getClipY(), cw = g->getClipWidth(), ch = g->getClipHeight();
    jint sx = 0, sy = 0, wx = viewX, wy = viewY, width = viewWidth, height = viewHeight;
    if (cx > 0) {
        sx = cx;
        wx += cx;
        width -= cx;
    }
    if (jlong(sx) + width > jlong(cx) + cw) width = jint(jlong(cx) + cw - sx);
    if (cy > 0) {
        sy = cy;
        wy += cy;
        height -= cy;
    }
    if (jlong(sy) + height > jlong(cy) + ch) height = jint(jlong(cy) + ch - sy);
    if (width < 1 || height < 1) return;
    ClipGuard keep(g.get());
    drawArea(g, wx, wy, sx, sy, width, height);
}

void CellLayer::drawArea(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setClip(dx, dy, w, h);
    if (!itemsOnly) {
        if (bufferAlpha) clearArea(g, dx, dy, w, h);
        if (cells != nullptr) drawCells(g, px, py, dx, dy, w, h);
        if (fixedCount > 0) drawFixedItems(g, px, py, dx, dy, w, h);
    }
    if (firstItem >= 0) drawItems(g, px, py, dx, dy, w, h, itemsOnly);
}

void CellLayer::drawCells(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h) {
    if (w < 1 || h < 1 || cells == nullptr) return;
    if (g == nullptr) _VM_throwNullPointer();
    const jint cw = cellWidth, ch = cellHeight;
    const jint c0 = floorDiv(px, cw), c1 = floorDiv(px + w - 1, cw);
    const jint r0 = floorDiv(py, ch), r1 = floorDiv(py + h - 1, ch);
    const jint ox = px - c0 * cw, oy = py - r0 * ch;
    const jint rightCut = floorMod(-(ox + w), cw), bottomCut = floorMod(-(oy + h), ch);
    // Cells outside the map draw nothing.
    const jint lastRow = std::min(r1, rows - 1), firstRow = std::max(r0, 0);
    const jint lastColumn = std::min(c1, columns - 1), firstColumn = std::max(c0, 0);
    const jshort* map = cells->elements();
    const bool separate = separateTileImages;
    const jchar* xs = !separate && tileX != nullptr ? tileX->elements() : nullptr;
    const jchar* ys = !separate && tileY != nullptr ? tileY->elements() : nullptr;
    Image* const* images = separate && tileImages != nullptr ? tileImages->elements() : nullptr;
    VMPtr<Image> source = tileImage;
    VMPtr<Image> tile;
    for (jint r = lastRow; r >= firstRow; --r) {
        const jint top = r == r0 ? oy : 0, bottom = r == r1 ? bottomCut : 0;
        const jint y = dy + ch * (r - r0) - oy;
        const jint rowStart = columns * r;
        for (jint c = lastColumn; c >= firstColumn; --c) {
            const jint t = tileOf(map[rowStart + c]);
            if (t == 0) continue;
            const jint left = c == c0 ? ox : 0, right = c == c1 ? rightCut : 0;
            const jint x = dx + cw * (c - c0) - ox;
            if (separate) {
                tile = images[t - 1];
                if (tile == nullptr) continue;
                g->drawRegion(tile, left, top, cw - left - right, ch - top - bottom, 0, x + left, y + top,
                              Graphics::TOP | Graphics::LEFT);
            } else {
                g->drawRegion(source, xs[t - 1] + left, ys[t - 1] + top, cw - left - right, ch - top - bottom, 0,
                              x + left, y + top, Graphics::TOP | Graphics::LEFT);
            }
        }
    }
}

void CellLayer::drawFixedItems(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h) {
    const jint count = fixedCount;
    if (count <= 0) return;
    if (fixedNeedsSort) {
        TsCanvas::sortInts(fixedKeys, count);
        fixedNeedsSort = false;
    }
    // Keys hold 16-bit coordinates: search from the lowest one that can reach
    // into the rectangle.
    const jlong from = jlong(fixedSortByY ? py : px) - fixedMaxExtent;
    if (from > SHRT_MAX) return;
    const jint start =
        TsCanvas::binarySearch(fixedKeys, count - 1, jint(uint32_t(jint(std::max<jlong>(from, SHRT_MIN))) << 16));
    const jint end = fixedSortByY ? py + h : px + w;
    const jint* keys = fixedKeys->elements();
    const jshort* fx = fixedX->elements();
    const jshort* fy = fixedY->elements();
    const jshort* fw = fixedWidth->elements();
    const jshort* fh = fixedHeight->elements();
    jint* found = fixedScratch->elements();
    jint n = 0;
    for (jint i = start; i < count; ++i) {
        const jint key = keys[i];
        if ((key >> 16) >= end) break;
        const jint item = key & 0xFFFF;
        if (fx[item] < px + w && fy[item] < py + h && px < fx[item] + fw[item] && py < fy[item] + fh[item]) {
            found[n++] = item;
        }
    }
    if (n == 0) return;
    TsCanvas::sortInts(fixedScratch, n);
    for (jint k = 0; k < n; ++k) {
        const jint item = fixedScratch->elements()[k];
        VMPtr<Paintable> p = fixedItems->get(item);
        p->paint(g, fixedX->elements()[item] - fixedOffsetX->elements()[item] - (px - dx),
                 fixedY->elements()[item] - fixedOffsetY->elements()[item] - (py - dy),
                 fixedTransform->elements()[item]);
    }
}

void CellLayer::drawItems(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h, jboolean onlyChanged) {
    if (items == nullptr) return;
    const jint right = px + w, bottom = py + h;
    auto draw = [&](jint handle) {
        VMPtr<Paintable> item = items->get(handle);
        if (item == nullptr) return;
        const jint position = itemPositions->elements()[handle];
        const jint left = positionLeft(position), top = positionTop(position), t = positionTransform(position);
        if (left >= right || top >= bottom) return;
        if (px < left + item->getWidth(t) && py < top + item->getHeight(t)) {
            item->paint(g, left - (px - dx) - item->getOffsetX(t), top - item->getOffsetY(t) - (py - dy), t);
        }
    };
    if (onlyChanged) {
        for (jint h = firstChangedItem; h >= 0; h = nextItem->elements()[h]) draw(h);
    } else if (buffered) {
        for (jint k = 0; k < visibleCount; ++k) draw(visibleItems->elements()[k]);
    } else {
        for (jint h = firstItem; h >= 0; h = nextItem->elements()[h]) draw(h);
    }
}

// --- the ring buffer -------------------------------------------------------------------------

void CellLayer::paintBuffered(VMPtr<Graphics> g) {
    updateBuffer();
    redrawAnimatedCells();
    blitBuffer(g);
}

void CellLayer::updateBuffer() {
    const jint f = firstChangedItem;
    if (f >= 0) {
        if (!fullRedraw) {
            // Only the movable items from the earliest changed one on, over
            // what the buffer holds.
            itemsOnly = true;
            struct Reset {
                jboolean& flag;
                ~Reset() { flag = false; }
            } reset{itemsOnly};
            redrawBufferRegion(bufferX, bufferY, viewWidth, viewHeight);
        }
        firstChangedItem = -1;
    }
    if (fullRedraw) {
        bufferX = viewX - viewWidth;
        bufferY = viewY - viewHeight;
        fullRedraw = false;
        clearAnimatedFlags();
    }
    const bool itemsChanged = f >= 0 || itemsMoved;
    itemsMoved = false;
    if (bufferX == viewX && bufferY == viewY) {
        // The visible list is built again in drawing order: the changed
        // items may be anywhere in it.
        if (itemsChanged) {
            visibleCount = 0;
            collectVisibleItems(firstItem);
        }
        return;
    }
    const jint dxAbs = jint(std::min<jlong>(std::abs(jlong(bufferX) - viewX), viewWidth));
    const jint x0 = viewX + (bufferX < viewX ? viewWidth - dxAbs : 0);
    bufferX = viewX;
    const jint dyAbs = jint(std::min<jlong>(std::abs(jlong(bufferY) - viewY), viewHeight));
    const jint y0 = viewY + (bufferY < viewY ? viewHeight - dyAbs : 0);
    bufferY = viewY;
    visibleCount = 0;
    collectVisibleItems(firstItem);
    if (dxAbs == viewWidth && dyAbs == viewHeight) {
        redrawBufferRegion(viewX, viewY, dxAbs, dyAbs);
    } else {
        if (dxAbs > 0) redrawBufferRegion(x0, viewY, dxAbs, viewHeight);
        if (dyAbs > 0) redrawBufferRegion(viewX, y0, viewWidth, dyAbs);
    }
}

void CellLayer::redrawBufferRegion(jint px, jint py, jint w, jint h) {
    if (w < 1 || h < 1) return;
    VMPtr<Graphics> g = bufferGraphics;
    const jint W = viewWidth, H = viewHeight;
    const jint bx = floorMod(px, W), by = floorMod(py, H);
    const jint overX = bx + w - W, overY = by + h - H;
    if (overX < 1 && overY < 1) {
        drawArea(g, px, py, bx, by, w, h);
    } else if (overX < 1) {
        drawArea(g, px, py, bx, by, w, h - overY);
        drawArea(g, px, py + h - overY, bx, 0, w, overY);
    } else if (overY < 1) {
        const jint w1 = w - overX;
        drawArea(g, px, py, bx, by, w1, h);
        drawArea(g, px + w1, py, 0, by, overX, h);
    } else {
        const jint w1 = w - overX;
        drawArea(g, px, py, bx, by, w1, h - overY);
        drawArea(g, px, py + h - overY, bx, 0, w1, overY);
        drawArea(g, px + w1, py + h - overY, 0, 0, overX, overY);
        drawArea(g, px + w1, py, 0, by, overX, h - overY);
    }
}

void CellLayer::blitBuffer(VMPtr<Graphics> g) {
    const jint W = viewWidth, H = viewHeight;
    const jint ox = floorMod(viewX, W), oy = floorMod(viewY, H);
    VMPtr<Image> image = bufferImage;
    if (ox != 0 && oy != 0) {
        TsCanvas::drawRegion(image, ox, oy, W - ox, H - oy, g, 0, 0);
        TsCanvas::drawRegion(image, 0, oy, ox, H - oy, g, W - ox, 0);
        TsCanvas::drawRegion(image, ox, 0, W - ox, oy, g, 0, H - oy);
        TsCanvas::drawRegion(image, 0, 0, ox, oy, g, W - ox, H - oy);
    } else if (ox != 0) {
        TsCanvas::drawRegion(image, ox, 0, W - ox, H, g, 0, 0);
        TsCanvas::drawRegion(image, 0, 0, ox, H, g, W - ox, 0);
    } else if (oy != 0) {
        TsCanvas::drawRegion(image, 0, oy, W, H - oy, g, 0, 0);
        TsCanvas::drawRegion(image, 0, 0, W, oy, g, 0, H - oy);
    } else {
        TsCanvas::drawRegion(image, 0, 0, W, H, g, 0, 0);
    }
}

void CellLayer::collectVisibleItems(jint h) {
    if (visibleItems == nullptr) return;
    const jint right = viewX + viewWidth, bottom = viewY + viewHeight;
    jchar* visible = visibleItems->elements();
    for (; h >= 0; h = nextItem->elements()[h]) {
        VMPtr<Paintable> item = items->get(h);
        if (item == nullptr) continue;
        const jint position = itemPositions->elements()[h];
        const jint left = positionLeft(position), top = positionTop(position), t = positionTransform(position);
        if (left < right && top < bottom && viewX < left + item->getWidth(t) && viewY < top + item->getHeight(t) &&
            visibleCount < visibleItems->length) {
            visible[visibleCount++] = jchar(h);
        }
    }
}

void CellLayer::redrawAnimatedCells() {
    if (animatedChanged == nullptr || cells == nullptr) return;
    const jboolean* changed = animatedChanged->elements();
    const jint flags = animatedChanged->length;
    bool any = false;
    for (jint i = 0; i < flags && !any; ++i) any = changed[i];
    if (!any) return;
    const jint cw = cellWidth, ch = cellHeight;
    const jint firstColumn = std::max(floorDiv(viewX, cw), 0);
    const jint lastColumn = std::min(floorDiv(viewX + viewWidth - 1, cw), columns - 1);
    const jint firstRow = std::max(floorDiv(viewY, ch), 0);
    const jint lastRow = std::min(floorDiv(viewY + viewHeight - 1, ch), rows - 1);
    for (jint r = firstRow; r <= lastRow; ++r) {
        for (jint c = firstColumn; c <= lastColumn; ++c) {
            const jint value = cells->elements()[c + columns * r];
            if (value >= 0) continue;
            const jint index = -value - 1;
            if (index >= flags || !changed[index]) continue;
            const jint left = std::max(viewX, c * cw), right = std::min(viewX + viewWidth, c * cw + cw);
            const jint top = std::max(viewY, r * ch), bottom = std::min(viewY + viewHeight, r * ch + ch);
            redrawBufferRegion(left, top, right - left, bottom - top);
        }
    }
    clearAnimatedFlags();
}

void CellLayer::repairRectangle(jint left, jint top, jint width, jint height) {
    const jint x0 = std::max(left, bufferX), y0 = std::max(top, bufferY);
    const jint w = std::min(left + width, bufferX + viewWidth) - x0;
    const jint h = std::min(top + height, bufferY + viewHeight) - y0;
    redrawBufferRegion(x0, y0, w, h);
}

void CellLayer::clearArea(VMPtr<Graphics> g, jint x, jint y, jint w, jint h) {
    if (g == nullptr) _VM_throwNullPointer();
    struct Restore {
        Graphics* g;
        jint mode, colour;
        ~Restore() {
            g->setAlphaColor(colour);
            g->setBlendingMode(mode);
        }
    } restore{g.get(), g->getBlendingMode(), g->getAlphaColor()};
    g->setBlendingMode(1);
    g->setAlphaColor(0);
    g->fillRect(x, y, w, h);
}

void CellLayer::clearAnimatedFlags() {
    if (animatedChanged == nullptr) return;
    jboolean* changed = animatedChanged->elements();
    for (jint i = 0; i < animatedChanged->length; ++i) changed[i] = false;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::CellLayer, .name = "ts.CellLayer")

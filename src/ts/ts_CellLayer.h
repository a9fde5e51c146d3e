// ts.CellLayer: a scrolling world made of a grid of cells, each showing one
// tile of a tile set, with two populations of paintables placed in it:
// fixed items (added once, sorted by their left or top edge and found by a
// range search) and movable items (a linked list with stable handles; newer
// items draw over older ones).
//
// Cells follow the MIDP tiled layer: tile numbers start at 1, 0 is an empty
// cell, a positive value v shows tile v & 0xFFF and a negative value v the
// tile of animated tile -v - 1. A cell naming no tile of the set draws
// nothing.
//
// A layer draws directly onto the Graphics it is given, or through an
// off-screen ring buffer the size of the view: world point (x, y) lives at
// buffer pixel (x mod view width, y mod view height) (floor modulo, so
// negative positions work too), scrolling redraws only the strips it
// uncovers, changes of animated tiles only their cells, and item changes
// their rectangles; the buffer reaches the screen in up to four pieces.
//
// Movable items keep their position packed in 32 bits: the left edge in
// bits 17-31 and the top edge in bits 2-16 (both signed 15-bit) and the
// transform (0 to 3: mirror and flip) in bits 0-1.
#pragma once

#include "VM.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_Gob.h"
#include "ts_Paintable.h"

namespace ts {

class CellLayer : public virtual java::lang::Object {
    VM_DECLARE_CLASS(CellLayer, java::lang::Object)

public:
    using Image = javax::microedition::lcdui::Image;
    using Graphics = javax::microedition::lcdui::Graphics;
    using Paintables = VMArray<Paintable, 1>;
    using Images = VMArray<Image, 1>;

    // Handles are shorts for movable items and the low 16 bits of a key for
    // fixed ones.
    static constexpr jint MAX_ITEMS = 32767;
    static constexpr jint MAX_FIXED_ITEMS = 65535;

    VMField<VMShorts> nextItem;  // per handle: the next in drawing order (or on the free list), -1 none
    VMField<Image> bufferImage;
    VMField<VMShorts> fixedOffsetX;
    VMField<VMShorts> fixedOffsetY;
    jint lastItem = 0;
    jint viewHeight = 0;
    jint columns = 0;
    jint visibleCount = 0;
    VMField<VMInts> fixedKeys;  // handle | coordinate << 16
    VMField<VMShorts> fixedHeight;
    jint firstChangedItem = 0;
    jboolean buffered = false;
    VMField<VMChars> animatedTiles;
    jint firstItem = 0;
    VMField<VMShorts> previousItem;
    jboolean separateTileImages = false;
    VMField<VMInts> itemPositions;
    VMField<VMChars> visibleItems;
    VMField<Image> tileImage;
    VMField<VMChars> tileX;
    VMField<VMShorts> fixedY;
    jint fixedCount = 0;
    VMField<Graphics> bufferGraphics;
    VMField<VMShorts> fixedX;
    jboolean itemsMoved = false;
    jint freeItem = 0;
    VMField<VMChars> tileY;
    VMField<Paintables> fixedItems;
    VMField<VMShorts> cells;
    jint viewWidth = 0;
    jint cellWidth = 0;
    VMField<Paintables> items;
    VMField<VMBytes> fixedTransform;
    VMField<VMInts> fixedScratch;
    jint cellHeight = 0;
    jboolean bufferAlpha = false;
    jint bufferY = 0;
    jint bufferX = 0;
    VMField<VMBooleans> animatedChanged;
    jboolean fixedNeedsSort = false;
    VMField<Images> tileImages;
    jint viewY = 0;
    jint fixedMaxExtent = 0;
    jint viewX = 0;
    jint rows = 0;
    jboolean fullRedraw = false;
    jboolean fixedSortByY = false;
    VMField<VMShorts> fixedWidth;
    jboolean itemsOnly = false;

    // A buffered layer gets its buffer from the canvas's image factory.
    // IllegalArgumentException for a buffered view narrower or lower than 1.
    VMPtr<CellLayer> construct(jboolean buffered, jboolean separateTileImages, jboolean bufferAlpha, jint viewWidth,
                               jint viewHeight);
    // Buffered, tile-set mode, no alpha.
    static VMPtr<CellLayer> createBuffered(jint width, jint height);

    // Ordered by y when the map is taller than wide (in pixels).
    virtual void initFixedItems(jint capacity);
    // IllegalArgumentException for a capacity above 65535.
    virtual void initFixedItems(jint capacity, jboolean sortByY);
    virtual jint getRows();
    virtual jint getCellHeight();
    virtual void releaseTiles();
    virtual void setAnimatedTile(jint animatedTileIndex, jint staticTileIndex);
    virtual jint getColumns();
    // The tiles of a new tile-set image (whole tiles only); the map stays.
    // IllegalArgumentException for a tile size below 1.
    virtual void setStaticTileSet(VMPtr<Gob> tiles, jint tileWidth, jint tileHeight);
    // IllegalArgumentException for a handle not in use.
    virtual void moveItem(VMPtr<Paintable> p, jint x, jint y, jint transform, jint handle);
    virtual void paint(VMPtr<Graphics> g);
    virtual jint getViewY();
    // IllegalArgumentException for a handle not in use.
    virtual void removeItem(jint handle);
    // Removes the first item in drawing order that matches; Integer.MIN_VALUE
    // (x, y, transform) and null (p) match anything.
    virtual jboolean removeMatchingItem(VMPtr<Paintable> p, jint x, jint y, jint transform);
    // IllegalArgumentException for a capacity above 32767.
    virtual void initItems(jint capacity);
    // IllegalStateException when the list is full (nothing changes).
    virtual void addFixedItem(VMPtr<Paintable> p, jint x, jint y, jint transform);
    virtual void setViewPosition(jint x, jint y);
    virtual jint getCell(jint column, jint row);
    virtual jint getCellWidth();
    virtual void setCell(jint column, jint row, jint value);
    // An empty map of columns x rows cells over the tiles of the image.
    // IllegalArgumentException for a tile size below 1.
    virtual void setMap(VMPtr<Image> tiles, jint columns, jint rows, jint tileWidth, jint tileHeight);
    // Returns the item's handle. IllegalStateException when the list is full
    // (nothing changes).
    virtual jint addItem(VMPtr<Paintable> p, jint x, jint y, jint transform);
    virtual jint getAnimatedTile(jint animatedTileIndex);
    virtual jint getViewX();
    // Returns the new animated tile's index: -1, -2, ...
    virtual jint createAnimatedTile(jint staticTileIndex);

    // --- drawing (world rectangle px, py, w, h drawn with its top-left at
    // dx, dy of g) -----------------------------------------------------------------------
    void paintDirect(VMPtr<Graphics> g);
    void drawArea(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h);
    void drawCells(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h);
    void drawFixedItems(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h);
    void drawItems(VMPtr<Graphics> g, jint px, jint py, jint dx, jint dy, jint w, jint h, jboolean onlyChanged);

    // --- the ring buffer ----------------------------------------------------------------
    void paintBuffered(VMPtr<Graphics> g);
    // Brings the buffer to the view: the changed items, then the strips that
    // scrolling uncovered (the whole view after a full redraw).
    void updateBuffer();
    // The world rectangle into the buffer, in up to four pieces.
    void redrawBufferRegion(jint px, jint py, jint w, jint h);
    void blitBuffer(VMPtr<Graphics> g);
    // Appends the items from handle h on (in drawing order) that overlap the
    // view to the visible list.
    void collectVisibleItems(jint h);
    void redrawAnimatedCells();
    // Fills the rectangle with transparent pixels (blending mode 1).
    void clearArea(VMPtr<Graphics> g, jint x, jint y, jint w, jint h);
    void clearAnimatedFlags();

    void markReferences(uint32_t bits) override {
        _VM_markRef(nextItem, bits);
        _VM_markRef(bufferImage, bits);
        _VM_markRef(fixedOffsetX, bits);
        _VM_markRef(fixedOffsetY, bits);
        _VM_markRef(fixedKeys, bits);
        _VM_markRef(fixedHeight, bits);
        _VM_markRef(animatedTiles, bits);
        _VM_markRef(previousItem, bits);
        _VM_markRef(itemPositions, bits);
        _VM_markRef(visibleItems, bits);
        _VM_markRef(tileImage, bits);
        _VM_markRef(tileX, bits);
        _VM_markRef(fixedY, bits);
        _VM_markRef(bufferGraphics, bits);
        _VM_markRef(fixedX, bits);
        _VM_markRef(tileY, bits);
        _VM_markRef(fixedItems, bits);
        _VM_markRef(cells, bits);
        _VM_markRef(items, bits);
        _VM_markRef(fixedTransform, bits);
        _VM_markRef(fixedScratch, bits);
        _VM_markRef(animatedChanged, bits);
        _VM_markRef(tileImages, bits);
        _VM_markRef(fixedWidth, bits);
    }

    // Packed positions.
    static jint packPosition(jint left, jint top, jint transform) {
        return jint(uint32_t(left) << 17) | ((top & 0x7FFF) << 2) | (transform & 3);
    }
    static jint positionLeft(jint packed) { return packed >> 17; }
    static jint positionTop(jint packed) { return jint(uint32_t(packed) << 15) >> 17; }
    static jint positionTransform(jint packed) { return packed & 3; }

private:
    // The handle is an item of the list, else IllegalArgumentException.
    void checkHandle(jint handle);
    // The position of the handle in the visible list, or -1.
    jint visibleIndexOf(jint handle);
    // True when item a comes before item b in drawing order.
    bool drawsBefore(jint a, jint b);
    // Redraws the rectangle clipped to the buffer's area.
    void repairRectangle(jint left, jint top, jint width, jint height);
    // The tile that cell value v shows (0 none or outside the tile set).
    jint tileOf(jint value);
    jint tileCount();
};

}  // namespace ts

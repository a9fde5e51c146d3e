// Image parts: offsets and boxes under transforms, turning transforms,
// records, insets, alpha images and the Gob record resource's columns.
#include "java_lang_Class.h"
#include "sprites_test_support.h"
#include "ts_GobSet.h"
#include "ts_graphics_Color.h"

using namespace spritetest;
using java::lang::Class;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::Gob;
using ts::Resources;
using ts::graphics::CollisionBox;

namespace {

class GobTest : public VMTest {};

VMPtr<VMArray<jshort, 1>> record(std::initializer_list<int> values) {
    VMPtr<VMArray<jshort, 1>> r = VMArray<jshort, 1>::create(jint(values.size()));
    jint i = 0;
    for (int v : values) (*r)[i++] = jshort(v);
    return r;
}

// A Gob record resource: image id, the skipped byte, the section length,
// the two header words, the data and, when given, the alpha-kind section.
std::vector<uint8_t> gobResource(int imageId, int wordA, int wordB, const std::vector<uint8_t>& data,
                                 const std::vector<uint8_t>& kinds = {}) {
    Bytes out;
    out.u16(imageId).byte(0).u16(int(data.size()) + 4).u16(wordA).u16(wordB);
    out.b.insert(out.b.end(), data.begin(), data.end());
    if (!kinds.empty()) {
        out.u16(int(kinds.size()) + 5).u16(0).u16(0).byte(0);
        out.b.insert(out.b.end(), kinds.begin(), kinds.end());
    }
    return out.b;
}

VMPtr<Gobs> loadGobs(jint id, const std::vector<uint8_t>& raw) {
    return Resources::loadGobs(id, nullptr, streamOf(raw), nullptr);
}

// The pixels of region (x, y, w, h) of an image.
Picture regionOf(const VMPtr<Image>& image, jint x, jint y, jint w, jint h) {
    return pictureOf(Image::createImage(image, x, y, w, h, 0));
}

}  // namespace

TEST_F(GobTest, TurnsOfTransformsRotateThePictureByQuarters) {
    EXPECT_EQ(Gob::rotateTransform(0, 1), 5);
    EXPECT_EQ(Gob::rotateTransform(5, -1), 0);
    EXPECT_EQ(Gob::rotateTransform(2, 2), 1);
    // A point under transform rotateTransform(t, 1) lands where the point
    // under t lands turned a quarter clockwise: (x, y) -> (-y, x).
    auto under = [](jint t, jint x, jint y) {
        if (t & 2) x = -x;
        if (t & 1) y = -y;
        if (t & 4) std::swap(x, y);
        return std::pair<jint, jint>(x, y);
    };
    for (jint t = 0; t < 8; ++t) {
        EXPECT_EQ(Gob::rotateTransform(t, 4), t);
        EXPECT_EQ(Gob::rotateTransform(t, -8), t);
        EXPECT_EQ(Gob::rotateTransform(t, 0), t);
        EXPECT_EQ(Gob::rotateTransform(Gob::rotateTransform(t, 3), -3), t);
        auto [x, y] = under(t, 3, 7);
        EXPECT_EQ(under(Gob::rotateTransform(t, 1), 3, 7), (std::pair<jint, jint>(-y, x))) << t;
        EXPECT_EQ(Gob::rotateTransform(t, 5), Gob::rotateTransform(t, 1));
    }
    EXPECT_EQ(VM_THROWN_CLASS(Gob::rotateTransform(8, 1)), "java.lang.ArrayIndexOutOfBoundsException");
}

TEST_F(GobTest, OffsetsAndBoxesUnderTransforms) {
    // A part of no size (a glyph without ink) has no image and draws nothing,
    // also as an alpha image.
    VMPtr<Image> surface = Image::createImage(4, 4);
    VMPtr<Gob> empty = Gob::create()->construct();
    empty->paint(surface->getGraphics(), 1, 1, 0);
    empty->withAlpha(128)->paint(surface->getGraphics(), 1, 1, 3);

    VMPtr<Gob> gob = Gob::create()->construct();
    gob->offsetX = -4, gob->width = 16, gob->height = 8;
    EXPECT_EQ(gob->getOffsetX(0), -4);
    EXPECT_EQ(gob->getOffsetX(2), -12);
    gob->offsetX = -8;
    EXPECT_EQ(gob->getOffsetX(2), -8);

    // No box: nothing handed out, but getCollisionBox still writes.
    VMPtr<CollisionBox> box = CollisionBox::create()->construct();
    box->id = 9;
    EXPECT_FALSE(gob->getCollisionBox(box, 100, 200, 0));
    EXPECT_EQ(box->x, 92);
    EXPECT_EQ(box->id, -1);
    EXPECT_EQ(gob->getCollisionBoxCount(), 0);

    gob->setFromRecord(record({-8, -6, 0, 0, 0, 0, 2, 1, -32758, 3}));  // 0x800A: a circle of width 10
    EXPECT_EQ(fieldsOf(gob), (std::vector<jint>{-8, -6, 0, 0, 2, 1, 10, 3, 1, 0}));
    VMPtr<VMInts> four = VMArray<jint, 1>::create(4);
    EXPECT_EQ(gob->getCollisionRects(0, four, 7), 1);
    EXPECT_EQ(values(four), (std::vector<jint>{0, 0, 0, 0}));
    VMPtr<VMInts> rects = VMArray<jint, 1>::create(5);
    EXPECT_EQ(gob->getCollisionRects(6, rects), 1);  // box (-6, -5, 10, 3) under 6: (-5, 6, 3, 10)
    EXPECT_EQ(values(rects), (std::vector<jint>{-5, -4, 3, 10, -1}));
    EXPECT_TRUE(gob->getCollisionBox(box, 1, 1, 6));
    EXPECT_EQ(box->shape, CollisionBox::CIRCLE);
    EXPECT_TRUE(gob->intersects(0, 0, 6, -5, -4, 1, 1));
    EXPECT_FALSE(gob->intersects(0, 0, 6, -6, -4, 1, 1));  // only touching

    // A Gob without size has no image and draws nothing.
    VMPtr<Image> target = Image::createImage(8, 8);
    EXPECT_EQ(gob->image.get(), nullptr);
    gob->paint(target->getGraphics(), 4, 4, 0);
    EXPECT_EQ(pictureOf(target).at(4, 4), 0xFFFFFFFFu);
}

TEST_F(GobTest, BoxListsReportTheLastHitOfTheFirstRowThatHits) {
    VMPtr<VMInts> a = intArray({0, 0, 10, 10, 1, 100, 100, 10, 10, 2});
    VMPtr<VMInts> b = intArray({5, 5, 10, 10, 3, 8, 0, 4, 4, 4});
    VMPtr<VMInts> out = VMArray<jint, 1>::create(6);
    EXPECT_TRUE(Gob::intersectBoxLists(2, a, 2, b, out));
    EXPECT_EQ(values(out), (std::vector<jint>{8, 0, 2, 4, 1, 4}));
    EXPECT_TRUE(Gob::intersectBoxLists(2, a, 2, b, nullptr));
    EXPECT_FALSE(Gob::intersectBoxLists(1, intArray({20, 0, 5, 5, 0}), 2, b, out));
}

TEST_F(GobTest, InsetsClipTheDrawingFromTheMirroredSide) {
    std::vector<uint32_t> red(100, 0xFFFF0000u);
    VMPtr<Gob> gob = Gob::createFromRGB(intArray(red), 10, 10, false);
    for (jint t : {0, 2}) {
        VMPtr<Image> image = Image::createImage(30, 12);
        VMPtr<Graphics> g = image->getGraphics();
        gob->paintInset(g, 20, 1, t, 3, 0, 1, 0);  // left 3, right 1
        EXPECT_EQ(g->getClipWidth(), 30);          // the clip is given back
        const Picture p = pictureOf(image);
        std::string row;
        for (jint x = 0; x < 30; ++x) row += p.at(x, 5) == 0xFFFF0000u ? '#' : '.';
        // Transform 0: the image spans 20-29; mirrored it spans 10-19 and the
        // right inset takes the left edge.
        EXPECT_EQ(row, t == 0 ? "......................."
                                "######."
                              : "...........######.............")
            << t;
    }
}

TEST_F(GobTest, ClassesAreMadeByName) {
    for (const char* name : {"ts.GobSet", "ts.graphics.Color", "ts.Gob", "ts.AnimPlayer", "ts.graphics.Rect"}) {
        VMPtr<java::lang::Object> made = Class::forName(java::lang::String::_VM_fromUTF8(name))->newInstance();
        ASSERT_NE(made.get(), nullptr) << name;
        EXPECT_EQ(text(made->getClass()->getName()), name);
    }
}

TEST_F(GobTest, RecordColumnsHaveTheirWidthsSignsAndPlaces) {
    const jint id = kSheet + 9;  // any resource of the sprite pack: the image is its index 0
    // No column groups: every value 0, and without size no image is cut.
    VMPtr<Gobs> empty = loadGobs(id, gobResource(0, 0xFFFF, 3, {}));
    ASSERT_EQ(empty->length, 3);
    for (jint i = 0; i < 3; ++i) EXPECT_EQ(fieldsOf(empty->get(i)), std::vector<jint>(10, 0));

    // Every column 2 bytes wide (word A = 0): 20 bytes a record.
    const std::vector<std::vector<int>> records = {{-4, -300, 16, 0, 16, 16, 1, 2, 0x800A, 4},
                                                   {5, 6, 32, 16, 8, 8, 0, 0, 0, 0}};
    Bytes wide;
    for (int c = 0; c < 10; ++c)
        for (const auto& r : records) wide.u16(r[size_t(c)]);
    ASSERT_EQ(wide.b.size(), 40u);
    VMPtr<Gobs> gobs = loadGobs(id, gobResource(0, 0, 2, wide.b));
    EXPECT_EQ(fieldsOf(gobs->get(0)), (std::vector<jint>{-4, -300, 16, 16, 1, 2, 10, 4, 1, 0}));
    EXPECT_EQ(fieldsOf(gobs->get(1)), (std::vector<jint>{5, 6, 8, 8, 0, 0, 0, 0, 0, 0}));
    VMPtr<Image> sheet = Resources::getImage(kSheet);
    EXPECT_EQ(pictureOf(gobs->get(0)->image).argb, regionOf(sheet, 16, 0, 16, 16).argb);
    EXPECT_EQ(pictureOf(gobs->get(1)->image).argb, regionOf(sheet, 32, 16, 8, 8).argb);

    // Every column 1 byte wide (bits 5-14): 10 bytes a record, with kinds.
    std::vector<uint8_t> narrow = {0xFE, 0x02, 0xFF, 0x01, 0x20, 0x10, 0x00, 0x00, 0x10, 0x10,
                                   0x0C, 0x0C, 0x00, 0x00, 0xFF, 0x00, 0x80, 0x00, 0x7F, 0x01};
    gobs = loadGobs(id, gobResource(0, 0x7FE0, 2 | 0x2000, narrow, {0x0E}));
    EXPECT_EQ(fieldsOf(gobs->get(0)), (std::vector<jint>{-2, -1, 16, 12, 0, -1, 128, 127, 0, 2}));
    EXPECT_EQ(fieldsOf(gobs->get(1)), (std::vector<jint>{2, 1, 16, 12, 0, 0, 0, 1, 0, 3}));
    EXPECT_EQ(pictureOf(gobs->get(1)->image).argb, regionOf(sheet, 16, 0, 16, 12).argb);

    // 0xFF in 1-byte columns: -1 in columns 0, 1, 6 and 7, 255 elsewhere;
    // column group 1 (the region) absent.
    gobs = loadGobs(id, gobResource(0, 0xFFFF & ~(1 | 4), 1, std::vector<uint8_t>(6, 0xFF)));
    EXPECT_EQ(fieldsOf(gobs->get(0)), (std::vector<jint>{-1, -1, 0, 0, -1, -1, 255, 255, 0, 0}));

    // Columns 0 (1 byte) and 1 (2 bytes) of three records: record 0 reads
    // bytes 0 and 3-4, record 2 bytes 2 and 7-8.
    gobs = loadGobs(id, gobResource(0, 0xFFFF & ~1 & ~(1 << 6), 3, {10, 11, 12, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(gobs->get(0)->offsetX, 10);
    EXPECT_EQ(gobs->get(0)->offsetY, 0x0102);
    EXPECT_EQ(gobs->get(2)->offsetX, 12);
    EXPECT_EQ(gobs->get(2)->offsetY, 0x0506);

    // The image lies in the Gob resource's own pack.
    Bytes whole;
    for (int v : {0, 0, 0, 0, 32, 32, 0, 0, 0, 0}) whole.u16(v);
    gobs = loadGobs(3 * 1024 + 9, gobResource(0, 0, 1, whole.b));
    EXPECT_EQ(pictureOf(gobs->get(0)->image).argb, pictureOf(Resources::getImage(3 * 1024)).argb);
    EXPECT_NE(pictureOf(gobs->get(0)->image).argb, regionOf(sheet, 0, 0, 32, 32).argb);
}

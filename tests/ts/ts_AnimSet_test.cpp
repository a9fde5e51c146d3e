// Animation sets: the number encodings, the tables they fill, frames and
// their boxes, bounds and parts, and sets cut short or with counts that do
// not fit.
#include <algorithm>
#include <climits>

#include "sprites_test_support.h"

using namespace spritetest;
using ts::AnimSet;
using ts::Frame;
using ts::Gob;
using ts::graphics::CollisionBox;

namespace {

class AnimSetTest : public VMTest {};

// Gob 0 of 10 x 10 at offset (-5, -10); gob 1 of 4 x 6 at (0, 0).
VMPtr<Gobs> twoGobs() {
    VMPtr<Gobs> gobs = Gobs::create(2);
    gobs->set(0, letterGob(1, -5, -10));
    gobs->get(0)->width = 10, gobs->get(0)->height = 10;
    gobs->set(1, letterGob(2, 0, 0));
    gobs->get(1)->width = 4, gobs->get(1)->height = 6;
    return gobs;
}

// Frame 0: five parts with flips 1, 2, 3, 0, 2 and boxes of ids 3, 7, 3;
// frame 1: no parts, no boxes. Animation 0 plays endlessly, animation 1
// once; six durations before the last step's so that it is index 5.
const std::vector<FrameSpec> kFrames = {
    {{{0, 0, 0, 1}, {1, 20, 0, 2}, {0, -3, 4, 3}, {1, 0, -30, 0}, {0, 7, 7, 2}},
     {{-5, -10, 10, 10, 3}, {0, 0, 4, 6, 7, true}, {2, 2, 3, 3, 3, true}}},
    {{}, {}},
};
const std::vector<AnimSpec> kAnims = {
    {-1, {{0, 10}, {1, 20}, {0, 30, 5, -5}, {0, 40}, {0, 50}, {0, 60, 0, 0, 1, 2}}},
    {1, {{1, 70}}},
};

std::vector<jint> boundsOf(const VMPtr<AnimSet>& set, jint frame, jint t) {
    VMPtr<VMInts> out = VMArray<jint, 1>::create(4);
    set->getFrameBounds(frame, t, out);
    return values(out);
}

}  // namespace

TEST_F(AnimSetTest, CountsAndSignedValuesTakeOneOrThreeBytes) {
    struct Case {
        std::vector<uint8_t> bytes;
        bool isCount;
        jint value;
    };
    const Case cases[] = {
        {{0xFF, 0x01, 0x2C}, true, 300},    {{0xFE}, true, 254},   {{0xFF, 0xFF, 0xFF}, true, 65535},
        {{0x80, 0xFF, 0x38}, false, -200},  {{0x81}, false, -127}, {{0x7F}, false, 127},
        {{0x80, 0x7F, 0xFF}, false, 32767},
    };
    for (const Case& c : cases) {
        AnimSet::stream = streamOf(c.bytes);
        EXPECT_EQ(c.isCount ? AnimSet::readCount() : AnimSet::readSignedValue(), c.value) << c.value;
        EXPECT_EQ(AnimSet::stream->available(), 0);
    }
    AnimSet::stream = streamOf({});
    EXPECT_EQ(VM_THROWN_CLASS(AnimSet::readCount()), "java.io.EOFException");  // the end of data ends reading
    AnimSet::stream = nullptr;
}

TEST_F(AnimSetTest, TablesHoldWhatTheResourceDescribes) {
    const std::vector<uint8_t> raw = animSetBytes(kFrames, kAnims);
    const uint8_t escaped[] = {0xFF, 0x01, 0x85};  // the last step of animation 0
    EXPECT_NE(std::search(raw.begin(), raw.end(), escaped, escaped + 3), raw.end());
    VMPtr<AnimSet> set = setOf(raw);
    set->setGobs(twoGobs());
    EXPECT_EQ((set->animations->get(0) >> 10) & 63, 63);  // play count -1, read back as -1 by a player
    const jint timing = set->stepTiming->get(5);
    EXPECT_EQ(std::vector<jint>({set->steps->get(5) & 3, AnimSet::durationOf(timing), AnimSet::markerOf(timing)}),
              (std::vector<jint>{1, 5, 2}));
    EXPECT_EQ(set->getAnimationDuration(0), 210);
    EXPECT_EQ(set->getAnimationDuration(2), 0);
    // Five parts: two flip values, the second's top bits for part 4.
    std::vector<jint> flips;
    for (jint k = 0; k < 5; ++k) flips.push_back(set->frameParts->get(k) & 3);
    EXPECT_EQ(flips, (std::vector<jint>{1, 2, 3, 0, 2}));
    VMPtr<VMInts> parts = VMArray<jint, 1>::create(9);  // room for two whole records
    EXPECT_EQ(set->getFrameParts(0, 4, parts), 5);
    EXPECT_EQ(values(parts), (std::vector<jint>{0, 0, 0, 5, 1, 0, -20, 6, 0}));
    // Boxes filtered by id, placed under a transform while there is room.
    VMPtr<Boxes> boxes = CollisionBox::ensureCapacity(nullptr, 4);
    EXPECT_EQ(set->getCollisionBoxes(0, 0, boxes, 3), 2);
    EXPECT_EQ(set->getCollisionBoxes(0, 0, boxes, -1), 3);
    VMPtr<VMInts> rects = VMArray<jint, 1>::create(14);
    EXPECT_EQ(set->getCollisionRects(0, 3, rects, -1), 2);
    EXPECT_EQ(values(rects, 10), (std::vector<jint>{-5, 0, 10, 10, 3, -4, -6, 4, 6, 7}));
    // Bounds: the parts' union; a frame without parts has none.
    EXPECT_EQ(boundsOf(set, 0, 0), (std::vector<jint>{-24, -30, 32, 40}));
    EXPECT_EQ(boundsOf(set, 1, 0), (std::vector<jint>{INT_MAX, INT_MAX, 0, 0}));
    EXPECT_EQ(set->getFrame(1)->offsetX, -1);

    // Whole-animation frames: animation 0's is frame 0 with the union of the
    // steps (step 2 moves by (5, -5)); another's draws nothing and has no
    // parts and no boxes.
    VMPtr<Frame> whole = set->getAnimationFrame(0);
    EXPECT_EQ(std::vector<jint>({whole->offsetX, whole->offsetY, whole->width, whole->height}),
              (std::vector<jint>{-24, -35, 37, 45}));
    EXPECT_EQ(whole->getCollisionBoxCount(), 3);
    VMPtr<Frame> other = set->getAnimationFrame(1);
    EXPECT_EQ(other->getIndex(), 1);
    EXPECT_EQ(other->getCollisionBoxCount(), 0);
    EXPECT_EQ(other->getCollisionBoxes(0, boxes, -1), 0);
    EXPECT_EQ(other->getParts(0, parts), 0);
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(8, 8);
    other->paint(image->getGraphics(), 4, 4, 0);
    EXPECT_EQ(pictureOf(image).argb, std::vector<uint32_t>(64, 0xFFFFFFFFu));
}

TEST_F(AnimSetTest, ASetCutShortKeepsWhatWasRead) {
    const std::vector<uint8_t> raw = animSetBytes(kFrames, kAnims);
    // Sections 12 to 16 take one byte a box here, then the durations.
    const size_t boxesAt = raw.size() - (5 * 3 + 2 + 7);
    VMPtr<AnimSet> set = setOf(std::vector<uint8_t>(raw.begin(), raw.begin() + long(boxesAt) + 1));
    set->setGobs(twoGobs());
    EXPECT_EQ(boundsOf(set, 0, 0), (std::vector<jint>{-24, -30, 32, 40}));
    ASSERT_NE(set->boxGeometry.get(), nullptr);
    EXPECT_EQ(values(set->boxGeometry), (std::vector<jint>{-5 << 21, 0, 0}));
    std::vector<jint> attributes;
    for (jint b = 0; b < 3; ++b) attributes.push_back(set->boxAttributes->get(b));
    EXPECT_EQ(attributes, (std::vector<jint>{0, 0, 0}));
    EXPECT_EQ(set->durations.get(), nullptr);

    // Cut inside the frames' box counts: the later frames keep no boxes,
    // never claiming 255 parts and boxes from the end of data.
    Bytes head;
    head.byte(0).u16(0).u16(3).counts({0, 0, 0}).count(1);  // three frames, box counts for one
    set = setOf(head.b);
    ASSERT_NE(set->frames.get(), nullptr);
    EXPECT_EQ(values(set->frames), (std::vector<jint>{1 << 8, 0, 0}));
    EXPECT_EQ(set->getCollisionBoxCount(1), 0);
    EXPECT_EQ(set->boxGeometry.get(), nullptr);
}

TEST_F(AnimSetTest, CountsTheTablesCannotHoldEndReading) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool stepsRead, framesRead, partsRead;
    };
    Bytes manySteps, manyParts, farFrame, farGob, bigCount, tooManyInAll;
    manySteps.byte(0).u16(1).count(1024).value(1);
    std::vector<FrameSpec> wide(1);
    wide[0].parts.assign(256, PartSpec{0});
    manyParts.b = animSetBytes(wide, {});
    farFrame.b = animSetBytes({}, {{1, {{1024, 10}}}});
    farGob.b = animSetBytes({{{{1024}}, {}}}, {});
    bigCount.byte(0).u16(65535).count(1);  // more animations than bytes
    tooManyInAll.byte(0).u16(66);
    for (int i = 0; i < 66; ++i) tooManyInAll.count(1000);
    const Case cases[] = {
        {"1024 steps in an animation", manySteps.b, false, false, false},
        {"256 parts in a frame", manyParts.b, true, true, false},
        {"frame index 1024", farFrame.b, true, false, false},
        {"Gob index 1024", farGob.b, true, true, true},
        {"65535 animations in 4 bytes", bigCount.b, false, false, false},
        {"66000 steps in all", tooManyInAll.b, false, false, false},
    };
    for (const Case& c : cases) {
        VMPtr<AnimSet> set = setOf(c.bytes);
        EXPECT_EQ(set->steps.get() != nullptr, c.stepsRead) << c.what;
        EXPECT_EQ(set->frames.get() != nullptr, c.framesRead) << c.what;
        EXPECT_EQ(set->frameParts.get() != nullptr, c.partsRead) << c.what;
        EXPECT_EQ(set->boxGeometry.get(), nullptr) << c.what;
        EXPECT_EQ(AnimSet::stream.get(), nullptr) << c.what;
    }
}

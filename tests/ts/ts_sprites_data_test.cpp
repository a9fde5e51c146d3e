// The test data set's sprite sheet, Gob records and animation sets, read
// through the resource front end, whole and cut at every length.
#include <climits>

#include "java_lang_Exception.h"
#include "sprites_test_support.h"

using namespace spritetest;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using ts::AnimPlayer;
using ts::AnimSet;
using ts::Gob;
using ts::Resources;
using ts::graphics::CollisionBox;

namespace {

class SpritesDataTest : public VMTest {};

std::vector<jint> boundsOf(const VMPtr<AnimSet>& set, jint frame) {
    VMPtr<VMInts> out = VMArray<jint, 1>::create(4);
    set->getFrameBounds(frame, 0, out);
    return values(out);
}

// Every query and a paint of every frame and animation; what a set cut
// short cannot answer fails with a runtime exception.
void exercise(const VMPtr<AnimSet>& set, const VMPtr<Graphics>& g) {
    auto attempt = [](auto&& work) {
        try {
            work();
        } catch (java::lang::Exception* e) {
            VMPtr<java::lang::Exception> keep(e);
        }
    };
    VMPtr<Boxes> boxes = CollisionBox::ensureCapacity(nullptr, 8);
    VMPtr<VMInts> out = VMArray<jint, 1>::create(40);
    for (jint f = 0; f < 4; ++f) {
        attempt([&] { set->getFrameBounds(f, 3, out); });
        attempt([&] { set->getCollisionBoxes(f, 5, boxes, -1); });
        attempt([&] { set->getFrameParts(f, 6, out); });
        attempt([&] { set->getFrame(f)->paint(g, 40, 40, 1); });
    }
    for (jint a = 0; a < 6; ++a) {
        attempt([&] { set->getAnimationDuration(a); });
        attempt([&] { set->getAnimationFrame(a)->getWidth(4); });
        attempt([&] {
            VMPtr<AnimPlayer> player = AnimPlayer::create()->construct();
            player->setAnimSet(set);
            player->setAnimation(a);
            for (int i = 0; i < 5; ++i) {
                player->update(70);
                player->paint(g);
            }
        });
    }
}

}  // namespace

TEST_F(SpritesDataTest, SheetRecordsGiveTheirGobs) {
    VMPtr<Gobs> gobs = Resources::getGobs(kSheetGobs);
    ASSERT_EQ(gobs->length, 9);
    const std::vector<jint> expected[9] = {
        {-8, -16, 16, 16, 2, 2, 12, 14, 0, 1},  {-8, -16, 16, 16, 2, 2, 12, 14, 0, 2},
        {-8, -16, 16, 16, 2, 2, 12, 14, 0, 3},  {-8, -16, 16, 16, 2, 2, 12, 14, 0, 3},
        {-8, -16, 16, 16, 2, 2, 12, 14, 0, 2},  {-8, -16, 16, 16, 2, 2, 12, 14, 0, 1},
        {-16, -32, 32, 32, 4, 4, 24, 24, 1, 2}, {-300, 200, 16, 16, 0, 0, 0, 0, 0, 3},
        {0, 0, 16, 16, 0, 0, 0, 0, 0, 2},
    };
    const jint regions[9][2] = {{0, 0}, {16, 0}, {32, 0}, {48, 0}, {64, 0}, {80, 0}, {0, 16}, {32, 16}, {48, 16}};
    VMPtr<Image> sheet = Resources::getImage(kSheet);
    for (jint i = 0; i < 9; ++i) {
        VMPtr<Gob> gob = gobs->get(i);
        EXPECT_EQ(fieldsOf(gob), expected[i]) << i;
        const Picture cut =
            pictureOf(Image::createImage(sheet, regions[i][0], regions[i][1], gob->width, gob->height, 0));
        EXPECT_EQ(pictureOf(gob->image).argb, cut.argb) << i;
    }
    // Without the alpha-kind section every kind stays 0.
    EXPECT_EQ(fieldsOf(Resources::getGobs(kPlainGobs)->get(3)), (std::vector<jint>{0, 0, 16, 16, 0, 0, 0, 0, 0, 0}));
    // A font's space glyph is a record without size: no image, nothing thrown.
    VMPtr<Gobs> glyphs = Resources::getGobs(17 * 1024 + 1);
    ASSERT_GT(glyphs->length, 7);
    EXPECT_EQ(glyphs->get(0)->width, 0);
    EXPECT_EQ(glyphs->get(0)->image.get(), nullptr);
    EXPECT_NE(glyphs->get(1)->image.get(), nullptr);
}

TEST_F(SpritesDataTest, AnimationSetsHoldTheDescribedValues) {
    VMPtr<AnimSet> set = Resources::getAnimSet(kEverySet);
    set->setGobs(Resources::getGobs(kSheetGobs));
    EXPECT_EQ(set->getId(), kEverySet);
    ASSERT_EQ(set->getAnimationCount(), 6);
    ASSERT_EQ(set->getFrameCount(), 4);
    EXPECT_EQ(boundsOf(set, 0), (std::vector<jint>{-8, -16, 216, 175}));
    EXPECT_EQ(boundsOf(set, 1), (std::vector<jint>{-16, -32, 32, 32}));
    EXPECT_EQ(boundsOf(set, 2), (std::vector<jint>{INT_MAX, INT_MAX, 0, 0}));
    EXPECT_EQ(boundsOf(set, 3), (std::vector<jint>{-8, -528, 516, 528}));

    // Boxes: x, y, width, height, id, shape.
    VMPtr<Boxes> boxes = CollisionBox::ensureCapacity(nullptr, 4);
    std::vector<std::vector<jint>> seen;
    for (jint f = 0; f < 4; ++f) {
        const jint n = set->getCollisionBoxes(f, 0, boxes);
        EXPECT_EQ(n, set->getCollisionBoxCount(f));
        for (jint i = 0; i < n; ++i) {
            CollisionBox* b = boxes->get(i);
            seen.push_back({f, b->x, b->y, b->width, b->height, b->id, b->shape});
        }
    }
    EXPECT_EQ(seen, (std::vector<std::vector<jint>>{{0, -8, -16, 16, 16, 3, 3},
                                                    {0, -200, 130, 300, 300, 7, 4},
                                                    {1, -16, -32, 32, 32, 0, 3},
                                                    {3, 0, 0, 4, 4, 3, 3},
                                                    {3, 1, 1, 4, 4, 7, 3},
                                                    {3, 2, 2, 6, 6, 3, 4}}));

    // Per animation: play count, duration, and per step frame, dx, dy,
    // interpolation bits, marker level and duration.
    std::vector<jint> plays, durations;
    std::vector<std::vector<jint>> steps;
    for (jint a = 0; a < 6; ++a) {
        VMPtr<AnimPlayer> player = AnimPlayer::create()->construct();
        player->setAnimSet(set);
        player->setAnimation(a);
        plays.push_back(player->getPlayCount());
        durations.push_back(set->getAnimationDuration(a));
        const jint first = jint(uint32_t(set->animations->get(a)) >> 16);
        for (jint k = 0; k < set->getStepCount(a); ++k) {
            const jint w = set->steps->get(first + k), t = set->stepTiming->get(first + k);
            steps.push_back({a, AnimSet::packedIndex(w), AnimSet::signed10(w, 12), AnimSet::signed10(w, 2), w & 3,
                             AnimSet::markerOf(t), set->durations->get(AnimSet::durationOf(t))});
        }
    }
    EXPECT_EQ(plays, (std::vector<jint>{-1, 0, 3, 31, -1, 1}));
    EXPECT_EQ(durations, (std::vector<jint>{500, 40, 65675, 120, 80, 0}));
    EXPECT_EQ(steps, (std::vector<std::vector<jint>>{{0, 0, 0, 0, 1, 0, 100},
                                                     {0, 1, 20, 0, 0, 1, 100},
                                                     {0, 3, 0, 0, 1, 2, 300},
                                                     {1, 2, 0, 0, 0, 3, 40},
                                                     {2, 0, -200, 100, 2, 0, 60},
                                                     {2, 1, 511, -512, 3, 3, 80},
                                                     {2, 3, 0, 0, 0, 0, 65535},
                                                     {3, 1, 0, 0, 0, 0, 120},
                                                     {4, 0, 0, 0, 0, 0, 40},
                                                     {4, 0, 0, 0, 0, 0, 40}}));
    VMPtr<ts::Frame> whole = set->getAnimationFrame(0);
    EXPECT_EQ(std::vector<jint>({whole->offsetX, whole->offsetY, whole->width, whole->height}),
              (std::vector<jint>{-8, -528, 516, 687}));

    // A missing resource gives an empty set, not an exception.
    VMPtr<AnimSet> missing = Resources::getAnimSet(kSheet + 1000);
    EXPECT_EQ(missing->animations.get(), nullptr);
}

TEST_F(SpritesDataTest, EveryCutOfTheResourcesLoadsPartlyOrFails) {
    VMPtr<Gobs> gobs = Resources::getGobs(kSheetGobs);
    VMPtr<Image> image = Image::createImage(80, 80);
    VMPtr<Graphics> g = image->getGraphics();
    for (jint id : {kEverySet, kSmallSet, kEmptySet}) {
        VMPtr<VMArray<jbyte, 1>> whole = Resources::getResource(id);
        const auto* bytes = reinterpret_cast<const uint8_t*>(whole->elements());
        for (jint n = 0; n <= whole->length; ++n) {
            VMPtr<AnimSet> set = setOf(std::vector<uint8_t>(bytes, bytes + n));
            set->setGobs(gobs);
            exercise(set, g);
            // Only the whole resource fills the last table (no duration is 0).
            VMPtr<VMArray<jchar, 1>> d = set->durations;
            const bool complete = d != nullptr && (d->length == 0 || d->get(d->length - 1) != 0);
            EXPECT_EQ(complete, n == whole->length) << id << " cut at " << n;
        }
    }
    for (jint id : {kSheetGobs, kPlainGobs}) {
        VMPtr<VMArray<jbyte, 1>> whole = Resources::getResource(id);
        const auto* bytes = reinterpret_cast<const uint8_t*>(whole->elements());
        for (jint n = 0; n < whole->length; ++n) {
            const std::string thrown = VM_THROWN_CLASS(
                Resources::loadGobs(id, nullptr, streamOf(std::vector<uint8_t>(bytes, bytes + n)), nullptr));
            EXPECT_TRUE(thrown == "java.io.EOFException" || thrown == "java.lang.NegativeArraySizeException")
                << id << " cut at " << n << ": " << thrown;
        }
    }
}

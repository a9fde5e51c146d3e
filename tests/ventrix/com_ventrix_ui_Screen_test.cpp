// Screen objects: answers for empty and out-of-range slots, binding and the
// cache's counts, sequences and animations frame by frame, transforms, hit
// tests, and painting (logged and as golden pictures through Main).
#include <array>
#include <random>

#include "VMAlloc.h"
#include "scenes_test_support.h"
#include "ts_Gob.h"

using com::ventrix::common::Main;
using com::ventrix::ui::Screen;
using com::ventrix::utility::MyObject;
using com::ventrix::utility::ResManager;
using scenetest::kSquares;
using scenetest::kSquareSet;
using ts::graphics::CollisionBox;

namespace scenetest {

// Records the probes of its collides and hits at the probe numbered hitAt.
class ProbeScreen : public Screen {
    VM_DECLARE_CLASS(ProbeScreen, Screen)

public:
    std::vector<std::pair<jint, jint>> probes;
    size_t hitAt = 0;
    using Screen::collides;
    jboolean collides(jint, jint, VMPtr<VMInts> area) override {
        probes.emplace_back((*area)[0], (*area)[1]);
        EXPECT_EQ((*area)[2] * (*area)[3], 1);
        return probes.size() == hitAt;
    }
};

}  // namespace scenetest

VM_REGISTER_CLASS(scenetest::ProbeScreen, .name = "scenetest.ProbeScreen")

namespace {

using Log = std::vector<std::string>;
constexpr jint kOtherGobs = 16 * 1024 + 1, kOnceSet = 16 * 1024 + 3;  // the sprite pack: one animation, played once

VMPtr<VMInts> ints(std::initializer_list<jint> values) {
    VMPtr<VMInts> a = VMInts::create(jint(values.size()));
    jint i = 0;
    for (jint v : values) (*a)[i++] = v;
    return a;
}

std::vector<jint> vec(const VMPtr<VMInts>& a) { return std::vector<jint>(a->elements(), a->elements() + a->length); }

class ScreenTest : public scenetest::SceneTest {
protected:
    VMPtr<Screen> screen(jint slots) {
        VMPtr<Screen> s = Screen::create()->construct();
        s->setSlotCapacity(slots);
        return s;
    }
    static void frame(const VMPtr<Screen>& s, jint ms) {
        MyObject::frameTime = ms;
        s->update(0, 0);
    }
};

}  // namespace

TEST_F(ScreenTest, EmptySlotsAndSlotsBeyondTheTableAnswerAsTheTablesSay) {
    VMPtr<Screen> s = Screen::create()->construct();
    EXPECT_EQ(s->getSlotCount(), 0);
    EXPECT_EQ(s->getSlotCapacity(), 0);
    EXPECT_EQ(vec(s->origin), (std::vector<jint>{0, 0}));
    EXPECT_FALSE(s->backgroundVisible);
    EXPECT_EQ(s->rectLayer, -1);
    s->origin = nullptr;
    EXPECT_EQ(s->getOriginX() + s->getOriginY(), 0);
    s->release();  // no tables: nothing to do
    s->paint(scenetest::logGraphics());

    s = screen(3);
    s->addResource(kSquares);
    for (jint slot : {1, 3}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(s->getSlotIndex(slot), -1);
        EXPECT_EQ(s->getTransform(slot), -1);
        EXPECT_EQ(s->getSlotKind(slot), -1);
        EXPECT_EQ(s->getAnimationFrame(slot), -1);
        EXPECT_EQ(s->getSlotX(slot) | s->getSlotY(slot) | s->getSlotWidth(slot) | s->getSlotHeight(slot), 0);
        EXPECT_EQ(s->getAnimationDuration(slot) | s->getCollisionBoxCount(slot), 0);
        EXPECT_EQ(vec(s->getCollisionRect(slot, 1)), std::vector<jint>(5, 0));
        EXPECT_EQ(vec(s->getAllCollisionRects(slot)), std::vector<jint>(5, 0));
        EXPECT_EQ(s->getCollisionRects(slot, VMInts::create(10)), 0);
        VMPtr<CollisionBox> box = s->getCollisionBox(slot, 1);
        EXPECT_EQ(box->x | box->y | box->width | box->height, 0);
        EXPECT_EQ(box->shape, CollisionBox::RECTANGLE);
        s->setSlotPosition(slot, 5, 5);
        s->mirrorSlot(slot);
        s->setAnimationFrame(slot, 1);
    }
    EXPECT_EQ(s->getImageIndex(1), 0);  // a fresh table
    EXPECT_EQ(s->getImageIndex(3), -1);
    EXPECT_EQ(s->getAnimSetIndex(3), -1);
    EXPECT_EQ(s->getAnimSetIndex(0), -1);  // an image slot has no set
    s->releaseSlot(0);
    EXPECT_EQ(s->getImageIndex(0), -1);

    for (auto [count, expected] : {std::pair{3, 3}, {4, 3}, {-1, 3}, {0, 0}}) {
        s->setSlotCount(count);
        EXPECT_EQ(s->getSlotCount(), expected);
    }
    s->addResource(kSquares);
    s->playAnimation(0, 2);  // not an animation slot
    EXPECT_EQ(s->getSlotIndex(0), 0);
}

TEST_F(ScreenTest, TheThreeKindsBindTheirResourcesAndPositions) {
    VMPtr<Screen> s = screen(4);
    s->addResource(kSquares);
    s->addFrame(kSquares, kSquareSet, 1, 10, 20);
    s->addAnimation(kSquares, kSquareSet, 1, 30, 40);
    EXPECT_EQ(s->getSlotCount(), 3);
    EXPECT_EQ((std::vector<jint>{s->getSlotKind(0), s->getSlotKind(1), s->getSlotKind(2)}),
              (std::vector<jint>{Screen::KIND_IMAGE, Screen::KIND_FRAME, Screen::KIND_ANIMATION}));
    EXPECT_EQ((std::vector<jint>{s->getSlotIndex(0), s->getSlotIndex(1), s->getSlotIndex(2)}),
              (std::vector<jint>{0, 1, 1}));
    EXPECT_EQ(s->getSlotX(1) + s->getSlotY(2), 50);
    EXPECT_EQ(vec(s->slotOffsets->get(2)), (std::vector<jint>{0, 0}));  // the player holds the position
    EXPECT_EQ(s->getAnimationDuration(2), 120);
    EXPECT_EQ(s->getImageIndex(1), s->getImageIndex(2));  // one shared cache entry
    EXPECT_EQ(gobRefs(0), 3);
    const jint set = s->getAnimSetIndex(1);
    EXPECT_EQ(animRefs(set), 1);
    EXPECT_EQ(animRefs(s->getAnimSetIndex(2)), 1);

    // A binder that fails keeps nothing: a frame the set does not have.
    EXPECT_EQ(VM_THROWN_CLASS(s->loadFrame(3, kSquares, kSquareSet, 99, 0, 0)),
              "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(s->getSlotKind(3), -1);
    EXPECT_EQ(s->getImageIndex(3), -1);
    EXPECT_EQ(gobRefs(0), 3);
    EXPECT_EQ(animRefs(set), 1);
}

TEST_F(ScreenTest, CacheCountsEqualTheBindingsAfterAnyMixOfOperations) {
    std::mt19937 random(24);
    std::array<VMPtr<Screen>, 2> screens = {screen(5), screen(3)};
    const std::array<std::pair<jint, jint>, 3> pairs = {
        {{kSquares, kSquareSet}, {kOtherGobs, kOnceSet}, {kSquares, -1}}};
    auto check = [&](int step) {
        std::vector<jint> images(static_cast<size_t>(ResManager::usedSlots)),
            sets(static_cast<size_t>(ResManager::usedSlots));
        for (VMPtr<Screen>& s : screens) {
            for (jint i = 0; i < s->capacity; ++i) {
                if (s->paintables->get(i) == nullptr) continue;
                if (s->getImageIndex(i) >= 0) ++images[size_t(s->getImageIndex(i))];
                if (s->getAnimSetIndex(i) >= 0) ++sets[size_t(s->getAnimSetIndex(i))];
            }
        }
        for (jint k = 0; k < ResManager::usedSlots; ++k) {
            ASSERT_EQ(gobRefs(k), images[size_t(k)]) << "step " << step << " slot " << k;
            ASSERT_EQ(animRefs(k), sets[size_t(k)]) << "step " << step << " slot " << k;
        }
    };
    for (int step = 0; step < 400; ++step) {
        VMPtr<Screen> s = screens[random() % 2];
        const jint slot = jint(random() % uint32_t(s->capacity));
        const auto [gobs, set] = pairs[random() % 3];
        switch (random() % 6) {
            case 0: s->loadResource(slot, gobs); break;
            case 1:
                if (set != -1) s->loadFrame(slot, gobs, set, 0, 1, 2);
                break;
            case 2:
                if (set != -1) s->loadAnimation(slot, gobs, set, 0, 1, 2);
                break;
            case 3: s->releaseSlot(slot); break;
            case 4:
                if (random() % 4 == 0) s->release();  // with slots never bound or released
                break;
            default:
                s->loadResource(slot, gobs);  // the same again: released first
                break;
        }
        check(step);
        if (HasFatalFailure()) return;
    }
}

TEST_F(ScreenTest, DisposingSlotsNeverBoundLeavesOtherObjectsEntries) {
    VMPtr<Screen> a = screen(1);
    a->addResource(kSquares);  // cache slot 0
    VMPtr<Screen> b = screen(3);
    b->loadResource(2, kOtherGobs);
    b->release();  // slots 0 and 1 hold index 0 but were never bound
    EXPECT_EQ(gobRefs(0), 1);
    EXPECT_NE(ResManager::gobCache->get(0), nullptr);
    EXPECT_EQ(b->getImageIndex(2), -1);
    a->clearSlots();  // forgets without giving back
    EXPECT_EQ(gobRefs(0), 1);
    EXPECT_EQ(a->getSlotKind(0), -1);
}

TEST_F(ScreenTest, ASequenceShowsEachIndexThenCountsItsTimeDown) {
    VMPtr<Screen> s = screen(1);
    s->addResource(kOtherGobs);
    s->setSequence(0, ints({3, 4}), ints({100, 50}));
    std::vector<jint> shown, cursors;
    for (int f = 0; f < 8; ++f) {
        frame(s, 40);
        shown.push_back(s->getSlotIndex(0));
        cursors.push_back((*s->sequenceCursors)[0]);
    }
    EXPECT_EQ(shown, (std::vector<jint>{3, 3, 3, 3, 4, 4, 4, 4}));
    EXPECT_EQ(cursors, (std::vector<jint>{0, 0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(vec(s->sequenceDurations->get(0)), (std::vector<jint>{-20, -30}));
    EXPECT_EQ(s->paintables->get(0), ResManager::gobCache->get(s->getImageIndex(0))->get(4));

    // A suspended object does not change; a stopped sequence does not run.
    s->setSequence(0, 1, 100);
    s->setSuspended(true);
    frame(s, 40);
    EXPECT_EQ(s->getSlotIndex(0), 4);
    s->setSuspended(false);
    s->stopAllSequences();
    frame(s, 40);
    EXPECT_EQ(s->getSlotIndex(0), 4);
    // Durations shorter than the indices leave the slot as it was.
    EXPECT_EQ(VM_THROWN_CLASS(s->setSequence(0, ints({1, 2}), ints({5}))), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(vec(s->sequenceIndices->get(0)), (std::vector<jint>{1}));
}

TEST_F(ScreenTest, AnimationsPlayOneAfterTheOtherAndTheLastHoldsItsLastStep) {
    VMPtr<Screen> s = screen(2);
    s->addAnimation(kSquares, kSquareSet, 0, 0, 0);  // 100, then 60 + 60, then 80, then endless
    std::vector<jint> animations;
    for (int f = 0; f < 8; ++f) {
        frame(s, 50);
        animations.push_back(s->getSlotIndex(0));
    }
    EXPECT_EQ(animations, (std::vector<jint>{0, 1, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(s->players->get(0)->getAnimation(), 3);

    s->addAnimation(kOtherGobs, kOnceSet, 0, 0, 0);  // the set's only animation, played once
    for (int f = 0; f < 5; ++f) frame(s, 60);
    EXPECT_EQ(s->getSlotIndex(1), 0);
    EXPECT_EQ(s->players->get(1)->getPlayCount(), 0);

    // Another index keeps the player and starts that animation; the index
    // shown already does not restart it.
    VMPtr<ts::AnimPlayer> player = s->players->get(0);
    frame(s, 40);
    const jint step = player->getStep();
    s->setSlotIndex(0, 3);
    EXPECT_EQ(player->getStep(), step);
    s->setSlotIndex(0, 1);
    EXPECT_EQ(s->players->get(0), player.get());
    EXPECT_EQ(player->getAnimation(), 1);
    EXPECT_EQ(player->getStep(), 0);
    s->playAnimation(0, 2);
    EXPECT_EQ(s->getSlotIndex(0), 2);
}

TEST_F(ScreenTest, MirrorsFlipsAndQuarterTurnsChangeTheSlotsTransform) {
    VMPtr<Screen> s = screen(2);
    s->addFrame(kSquares, kSquareSet, 0, 0, 0);
    s->addAnimation(kSquares, kSquareSet, 0, 0, 0);
    for (jint slot : {0, 1}) {
        SCOPED_TRACE(slot);
        s->mirrorSlot(slot);
        EXPECT_EQ(s->getTransform(slot), 2);
        s->mirrorSlot(slot);
        EXPECT_EQ(s->getTransform(slot), 0);
        s->flipSlot(slot);
        EXPECT_EQ(s->getTransform(slot), 1);
        s->flipSlot(slot);
        s->rotateSlot(slot, true);
        EXPECT_EQ(s->getTransform(slot), ts::Gob::rotateTransform(0, 1));
        s->rotateSlot(slot, false);
        EXPECT_EQ(s->getTransform(slot), 0);
        s->rotateSlot(slot, false);
        EXPECT_EQ(s->getTransform(slot), ts::Gob::rotateTransform(0, -1));
        s->rotateSlot(slot, true, 4);
        EXPECT_EQ(s->getTransform(slot), ts::Gob::rotateTransform(0, -1));
        s->rotateSlot(slot, true, 1);
    }
    EXPECT_EQ((*s->transforms)[1], 0);  // an animation slot's turn lives in its player
    EXPECT_EQ(s->players->get(1)->getTransform(), 0);
}

TEST_F(ScreenTest, CollisionQueriesPlaceTheBoxesOfEachKind) {
    VMPtr<Screen> s = screen(4);
    s->loadResource(0, kSquares);
    s->setSlotPosition(0, 100, 200);
    s->setSlotIndex(0, 3);  // yellow shown; queries still answer from red, image 0
    s->loadFrame(1, kSquares, kSquareSet, 1, 100, 100);
    s->loadAnimation(2, kSquares, kSquareSet, 3, 50, 60);
    s->loadFrame(3, kSquares, kSquareSet, 4, 0, 0);  // no boxes

    EXPECT_EQ(vec(s->getCollisionRect(0, 9)), (std::vector<jint>{94, 194, 12, 12, 0}));
    EXPECT_EQ(vec(s->getAllCollisionRects(0)), (std::vector<jint>{102, 202, 12, 12, 0}));
    EXPECT_EQ(s->getCollisionBoxCount(0), 1);
    VMPtr<CollisionBox> box = s->getCollisionBox(0, 5);
    EXPECT_EQ((std::vector<jint>{box->x, box->y, box->width, box->height}), (std::vector<jint>{94, 194, 12, 12}));
    EXPECT_EQ(vec(s->getCollisionRect1(0)), std::vector<jint>(5, 0));

    EXPECT_EQ(vec(s->getCollisionRect(1, 4)), (std::vector<jint>{92, 100, 16, 8, 4}));
    EXPECT_EQ(vec(s->getCollisionRect3(1)), (std::vector<jint>{92, 92, 16, 8, 3}));
    EXPECT_EQ(vec(s->getCollisionRect(1, 1)), std::vector<jint>(5, 0));  // none with that id
    EXPECT_EQ(vec(s->getAllCollisionRects(1)), (std::vector<jint>{92, 92, 16, 8, 3, 92, 100, 16, 8, 4}));
    s->mirrorSlot(1);  // mirrored boxes, but getAllCollisionRects stays at transform 0
    EXPECT_EQ(vec(s->getCollisionRect(1, 3)), (std::vector<jint>{92, 92, 16, 8, 3}));
    EXPECT_EQ(s->getAllCollisionRects(1)->length, 10);
    s->flipSlot(1);  // transform 3: upside down
    EXPECT_EQ(vec(s->getCollisionRect(1, 3)), (std::vector<jint>{92, 100, 16, 8, 3}));

    // Animation 3 shows frame 0: boxes 1 and 2 at the player's position.
    EXPECT_EQ(vec(s->getCollisionRect(2, 2)), (std::vector<jint>{50, 52, 8, 4, 2}));
    EXPECT_EQ(vec(s->getCollisionRect2(2)), (std::vector<jint>{0, -8, 8, 4, 2}));  // no player position
    box = s->getCollisionBox(2, 1);
    EXPECT_EQ((std::vector<jint>{box->x, box->y, box->width, box->height}), (std::vector<jint>{42, 52, 16, 16}));
    EXPECT_EQ(s->getCollisionBoxCount(2), 2);
    VMPtr<VMInts> out = VMInts::create(10);
    EXPECT_EQ(s->getCollisionRects(2, out), 2);
    EXPECT_EQ(vec(out), (std::vector<jint>{42, 52, 16, 16, 1, 50, 52, 8, 4, 2}));
    VMPtr<VMArray<CollisionBox, 1>> boxes = VMArray<CollisionBox, 1>::create(1);
    boxes->set(0, CollisionBox::create()->construct());
    EXPECT_EQ(s->getCollisionBoxes(2, boxes), 1);  // only what out holds
    EXPECT_EQ(boxes->get(0)->x, 42);

    // A frame without boxes: an empty list, kept in scratch.
    VMPtr<VMInts> none = s->getAllCollisionRects(3);
    EXPECT_EQ(none->length, 0);
    EXPECT_EQ(s->scratch.get(), none.get());
    EXPECT_EQ(s->getBoxIdAt(3, ints({0, 0, 100, 100})), -1);
    EXPECT_EQ(s->getBoxIdAt(0, ints({90, 190, 30, 30})), -1);  // image slots have no ids to give

    // The same answers written into a used array: nothing of its old content
    // stays, found or not (every kind, a missing id, an empty slot).
    VMPtr<VMInts> work = VMInts::create(5);
    for (auto [slot, id] : {std::pair{0, 9}, {1, 3}, {1, 1}, {2, 2}, {2, 7}, {3, 0}, {4, 0}}) {
        for (jint i = 0; i < 5; ++i) (*work)[i] = 77;
        s->placeCollisionRect(slot, id, work.get());
        EXPECT_EQ(vec(work), vec(s->getCollisionRect(slot, id))) << slot << " " << id;
    }
    EXPECT_EQ(VM_THROWN_CLASS(s->placeCollisionRect(0, 0, VMInts::create(4).get())),
              "java.lang.ArrayIndexOutOfBoundsException");
}

TEST_F(ScreenTest, HitTestsAgainstPointsAreasCornersAndBoxes) {
    VMPtr<Screen> s = screen(2);
    s->loadFrame(0, kSquares, kSquareSet, 0, 100, 100);  // box 1: 92, 92, 16, 16
    struct Case {
        std::vector<jint> area;
        bool hit;
    };
    // An area with a size counts when it meets the box (an area wider than
    // the box around it too); without one, its point must lie inside.
    for (const Case& c : {Case{{92, 92, 0, 5}, true}, Case{{91, 92, 0, 0}, false}, Case{{107, 107, 1, 1}, true},
                          Case{{108, 107, 1, 1}, false}, Case{{92, 92, 16, 16}, true}, Case{{92, 92, 17, 16}, true},
                          Case{{80, 80, 40, 40}, true}, Case{{76, 92, 16, 16}, false}, Case{{100, 60, 40, 32}, false},
                          Case{{107, 60, 1, 33}, true}, Case{{107, 107, 5, 0}, true}}) {
        VMPtr<VMInts> area = VMInts::create(4);
        std::copy(c.area.begin(), c.area.end(), area->elements());
        EXPECT_EQ(s->collides(0, 1, area), c.hit) << ::testing::PrintToString(c.area);
    }
    VMPtr<CollisionBox> probe = CollisionBox::create()->construct(92, 92, 16, 16, CollisionBox::RECTANGLE);
    EXPECT_TRUE(s->collides(0, 1, probe));
    // The game asks these of every trap and item each frame: asked again
    // and again, of each kind of slot, they make nothing on the heap and
    // answer as the first time.
    {
        VMPtr<Screen> kinds = screen(3);
        kinds->loadResource(0, kSquares);
        kinds->setSlotPosition(0, 100, 200);
        kinds->loadFrame(1, kSquares, kSquareSet, 0, 100, 100);
        kinds->loadAnimation(2, kSquares, kSquareSet, 3, 50, 60);
        VMPtr<VMInts> point = ints({100, 200, 0, 0}), area = ints({40, 50, 30, 30});
        VMPtr<CollisionBox> far = CollisionBox::create()->construct(0, 0, 4, 4, CollisionBox::RECTANGLE);
        auto answers = [&] {
            std::vector<bool> a;
            for (jint slot = 0; slot < 4; ++slot) {
                a.push_back(kinds->collides(slot, 1, point));
                a.push_back(kinds->collides(slot, 1, area));
                a.push_back(kinds->collides(slot, -1, probe));
                a.push_back(kinds->collides(slot, 1, far));
            }
            return a;
        };
        const std::vector<bool> first = answers();
        EXPECT_EQ(first, (std::vector<bool>{true, false, false, false, false, false, true, false, false, true, false,
                                            false, false, false, false, false}));
        const uint64_t used = _VM_heap.used;
        for (int n = 0; n < 50; ++n) EXPECT_EQ(answers(), first);
        EXPECT_EQ(_VM_heap.used, used);
    }

    // The first overlapped box gives its id (frame 3: box 2 at 0, 0, then
    // box 1 at 16, -8).
    s->loadFrame(1, kSquares, kSquareSet, 3, 0, 0);
    // Boxes by number, placed, as many as the array holds; -1 takes any.
    for (auto [slot, number, room, count, expected] :
         {std::tuple{0, 2, 10, 1, std::vector<jint>{100, 92, 8, 4, 2, 0, 0, 0, 0, 0}},
          std::tuple{0, 1, 5, 1, std::vector<jint>{92, 92, 16, 16, 1}},
          std::tuple{0, -1, 5, 1, std::vector<jint>{92, 92, 16, 16, 1}},
          std::tuple{0, -1, 10, 2, std::vector<jint>{92, 92, 16, 16, 1, 100, 92, 8, 4, 2}},
          std::tuple{0, 3, 5, 0, std::vector<jint>{0, 0, 0, 0, 0}},
          std::tuple{1, 1, 5, 1, std::vector<jint>{16, -8, 16, 16, 1}},
          std::tuple{1, 7, 5, 0, std::vector<jint>{0, 0, 0, 0, 0}}}) {
        VMPtr<VMInts> out = VMInts::create(room);
        EXPECT_EQ(s->getCollisionRects(slot, out, number), count) << slot << " " << number;
        EXPECT_EQ(vec(out), expected) << slot << " " << number;
    }
    EXPECT_EQ(s->getCollisionRects(5, VMInts::create(5), 1), 0);  // beyond the table
    for (auto [x, y, w, id] : {std::array{20, -4, 2, 1}, {2, 2, 2, 2}, {14, 2, 4, 2}, {40, 40, 2, -1}}) {
        EXPECT_EQ(s->getBoxIdAt(1, ints({x, y, w, 2})), id) << x << ", " << y;
    }
    // Hit tests repeated on a slot write over the list the last one left in
    // scratch; a list a caller was given is never written again; a moved
    // slot or a frame with another box count is answered afresh.
    VMPtr<VMInts> given = s->getAllCollisionRects(1);
    const std::vector<jint> givenBefore = vec(given);
    EXPECT_EQ(s->getBoxIdAt(1, ints({2, 2, 2, 2})), 2);
    VMPtr<VMInts> kept = s->scratch;
    EXPECT_NE(kept.get(), given.get());
    s->loadFrame(1, kSquares, kSquareSet, 3, 40, 40);
    EXPECT_EQ(s->getBoxIdAt(1, ints({2, 2, 2, 2})), -1);
    EXPECT_EQ(s->getBoxIdAt(1, ints({60, 32, 2, 2})), 1);
    EXPECT_EQ(s->scratch.get(), kept.get());
    s->loadFrame(1, kSquares, kSquareSet, 2, 100, 100);  // one box
    EXPECT_EQ(s->getBoxIdAt(1, ints({105, 105, 2, 2})), 1);
    EXPECT_EQ(s->scratch->length, 5);
    EXPECT_EQ(vec(given), givenBefore);
    s->loadFrame(1, kSquares, kSquareSet, 3, 0, 0);

    // Under transform 5 the caller's box turns about its centre, in place.
    s->rotateSlot(0, true);
    ASSERT_EQ(s->getTransform(0), 5);
    VMPtr<CollisionBox> turned = CollisionBox::create()->construct(10, 20, 40, 10, CollisionBox::RECTANGLE);
    s->getBoxIdAt(0, turned);
    EXPECT_EQ((std::vector<jint>{turned->x, turned->y, turned->width, turned->height}),
              (std::vector<jint>{25, 5, 10, 40}));
    // A rectangle is turned in a box of the call's own: the caller's array
    // stays, and each call starts from its rectangle again.
    for (auto [x, y, w, h] : {std::array{90, 100, 40, 2}, {90, 100, 2, 40}, {90, 100, 40, 2}}) {
        VMPtr<VMInts> rect = ints({x, y, w, h});
        VMPtr<CollisionBox> same = CollisionBox::create()->construct(x, y, w, h, CollisionBox::RECTANGLE);
        EXPECT_EQ(s->getBoxIdAt(0, rect), s->getBoxIdAt(0, same)) << w;
        EXPECT_EQ(vec(rect), (std::vector<jint>{x, y, w, h}));
    }

    // Corner probes, in order, stopping at the first hit.
    VMPtr<scenetest::ProbeScreen> p = scenetest::ProbeScreen::create();
    p->construct();
    p->setSlotCapacity(1);
    p->hitAt = 3;
    EXPECT_TRUE(p->cornerTouches(0, 1, ints({100, 100, 20, 10})));
    EXPECT_EQ(p->probes, (std::vector<std::pair<jint, jint>>{{90, 95}, {110, 95}, {90, 105}}));
    p->probes.clear();
    p->hitAt = 0;
    EXPECT_FALSE(p->cornerTouches(0, 1, ints({100, 100, 20, 10})));
    EXPECT_EQ(p->probes.size(), 4u);
    EXPECT_FALSE(s->cornerTouches(0, 1, ints({100, 100, 20, 20})));  // corners just outside
    EXPECT_TRUE(s->cornerTouches(0, 1, ints({100, 100, 10, 10})));
}

TEST_F(ScreenTest, PaintingDrawsBackgroundSlotsClipsAndRectanglesInOrder) {
    VMPtr<Screen> s = screen(3);
    s->setRectCapacity(2);
    s->addResource(kSquares);
    s->addResource(kSquares);
    s->setRect(0, ints({10, 20, 30, 40}), 0xFF0000);
    s->addResource(kSquares);
    VMPtr<VMInts> bar = ints({1, 2, 3, 4});
    s->setRect(1, bar, 0x00FF00);
    EXPECT_EQ(s->rectLayer, 2);
    // A rectangle set again (a bar every frame) makes nothing; the screen
    // keeps a copy, so the caller's array changed after stays unseen.
    const uint64_t used = _VM_heap.used;
    for (jint w = 9; w >= 3; --w) {
        (*bar)[2] = w;
        s->setRect(1, bar, 0x00FF00);
    }
    EXPECT_EQ(_VM_heap.used, used);
    (*bar)[2] = 99;
    s->setSlotClip(2, ints({10, 10, 50, 50}));
    s->setSlotClip(1, ints({10, 10, 0, 50}));  // width 0: no clip
    s->setOrigin(5, 0);
    s->getAllCollisionRects(3);  // scratch: a short list the clip must not need
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    g->setClip(1, 2, 300, 400);
    g->log.clear();
    s->paint(g);
    EXPECT_EQ(g->log, (Log{"fill 5 20 30 40 #ff0000", "fill -4 2 3 4 #00ff00", "clip 5 10 50 50", "clip 1 2 300 400",
                           "clip 0 0 480 640"}));

    // Backgrounds: one fill of one colour, else the canvas's gradient; the
    // rectangles above all slots when set after them.
    s->setBackgroundVisible(true);
    s->setBackgroundColor(0x123456);
    s->rectLayer = -1;
    s->removeRect(1);
    g->log.clear();
    s->paint(g);
    EXPECT_EQ(g->log, (Log{"clip 0 0 480 640", "fill 0 0 480 640 #123456", "clip 5 10 50 50", "clip 0 0 480 640",
                           "clip 0 0 480 640", "fill 5 20 30 40 #ff0000"}));
    s->setBackgroundColors(0x000000, 0xFFFFFF);
    g->log.clear();
    s->paint(g);
    EXPECT_EQ(g->only("fill").size(), 1u);  // the gradient does not go through fillRect
}

namespace {

// Two screen objects painted by a scene manager through Main: the first
// with a background, a clipped slot and rectangles between its slots, the
// second with an origin and rectangles above its slots.
class ScreenPictureTest : public ScreenTest {
protected:
    Picture paintOn(jint height, bool gradient) {
        canvas->height = height;
        VMPtr<Main> controller = Main::create()->construct(canvas);
        VMPtr<ventrixtest::RecordingSceneManager> sm = ventrixtest::RecordingSceneManager::create()->construct();
        controller->setSceneManager(sm);

        VMPtr<Screen> a = screen(3);
        a->setRectCapacity(2);
        a->setBackgroundVisible(true);
        if (gradient) {
            a->setBackgroundColors(0x203050, 0x80A0C0);
        } else {
            a->setBackgroundColor(0x305040);
        }
        a->addFrame(kSquares, kSquareSet, 3, 100, 100);  // yellow and red side by side
        a->setSlotClip(0, ints({100, 100, 30, 12}));
        a->addFrame(kSquares, kSquareSet, 1, 60, 100);
        a->setRect(0, ints({40, 90, 200, 6}), 0xFFFFFF);    // over the first two slots
        a->addAnimation(kSquares, kSquareSet, 0, 80, 100);  // over the rectangle
        VMPtr<Screen> b = screen(2);
        b->setRectCapacity(1);
        b->setOrigin(-200, -300);
        b->addResource(kSquares);
        b->rotateSlot(0, true);
        b->addFrame(kSquares, kSquareSet, 3, 40, 0);
        b->setRect(0, ints({30, -4, 60, 4}), 0xFF00FF);  // above both
        sm->painter = [&](javax::microedition::lcdui::Graphics* g) {
            VMPtr<javax::microedition::lcdui::Graphics> graphics(g);
            a->paint(graphics);
            b->paint(graphics);
        };
        VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, height);
        controller->paint(image->getGraphics());
        sm->painter = nullptr;
        return scenetest::pictureOfImage(image);
    }
};

}  // namespace

TEST_F(ScreenPictureTest, GoldenScreensWithOneColourAndGradientBackgrounds) {
    for (jint height : {640, 800}) {
        for (bool gradient : {false, true}) {
            const std::string name =
                std::string("screen_") + (gradient ? "gradient" : "plain") + "_480x" + std::to_string(height);
            SCOPED_TRACE(name);
            Picture p = paintOn(height, gradient);
            EXPECT_TRUE(matchesGolden("ventrix", name, p));
            const jint top = (height - 640) / 2;
            if (top > 0) {
                EXPECT_EQ(p.at(240, top - 1), 0xFF000000u);  // the margin stays black
            }
            EXPECT_NE(p.at(240, top), 0xFF000000u);  // the background starts at the game area
            EXPECT_NE(p.at(240, top + 639), 0xFF000000u);
        }
    }
}

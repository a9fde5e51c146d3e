// The in-game object base: culling on the camera's edges, depth rows, the
// freeze switch against forceUpdate, and the saved value.
#include "ingame_test_support.h"

namespace {

using ingametest::InGameObject;
using ingametest::InGamePlayer;

class InGameObjectTest : public ingametest::InGameTest {
protected:
    // An object whose slot 0 is a looping body walk (4 pixels a step).
    VMPtr<InGameObject> walker(jint x, jint y) {
        VMPtr<InGameObject> o = InGameObject::create()->construct();
        o->setSlotCapacity(1);
        o->addAnimation(InGamePlayer::BODY_IMAGE, InGamePlayer::BODY_SET, InGamePlayer::ANIM_WALK, x, y);
        return o;
    }
};

TEST_F(InGameObjectTest, ConstructionTakesTheSingletonsAndNothingIsSaved) {
    VMPtr<InGameObject> o = InGameObject::create()->construct();
    EXPECT_EQ(o->getSavedState(), -1);
    EXPECT_NE(InGameObject::myKey, nullptr);
    EXPECT_NE(InGameObject::myPointer, nullptr);
    EXPECT_NE(o->audio, nullptr);
    EXPECT_EQ(o->box->length, 5);
    o->savedState = 7;
    o->saveState();  // the base keeps nothing
    EXPECT_EQ(o->getSavedState(), 7);
    o->clearSavedState();
    EXPECT_EQ(o->getSavedState(), -1);
}

TEST_F(InGameObjectTest, OnlyAnAnchorStrictlyInsideTheCameraIsDrawn) {
    InGameObject::setViewPosition(100, 200);
    InGameObject::setViewSize(300, 400);  // x 100..400, y 200..600
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();

    VMPtr<InGameObject> empty = InGameObject::create()->construct();
    empty->inView = true;
    empty->paint(g);  // no slot in use: the flag stays
    EXPECT_TRUE(empty->inView);

    struct Case {
        jint x, y;
        bool drawn;
    };
    const Case cases[] = {{250, 400, true}, {100, 400, false}, {101, 400, true},  {400, 400, false},
                          {399, 400, true}, {250, 200, false}, {250, 201, true},  {250, 600, false},
                          {250, 599, true}, {99, 400, false},  {250, 601, false}, {-5, -5, false}};
    // Both kinds of anchor: an animation player's position and a frame's.
    for (bool animation : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y) + (animation ? " animation" : " frame"));
            VMPtr<InGameObject> o = InGameObject::create()->construct();
            o->setSlotCapacity(1);
            if (animation)
                o->addAnimation(InGamePlayer::BODY_IMAGE, InGamePlayer::BODY_SET, 0, c.x, c.y);
            else
                o->addFrame(InGamePlayer::OVERLAY_IMAGE, InGamePlayer::OVERLAY_SET, 0, c.x, c.y);
            o->inView = !c.drawn;
            o->paint(g);
            EXPECT_EQ(o->inView, c.drawn);
            o->paintAlways(g);  // no camera test, no flag
            EXPECT_EQ(o->inView, c.drawn);
            o->release();
        }
    }
}

TEST_F(InGameObjectTest, DepthCountsRowsUpFromTheBottomOfTheLevel) {
    VMPtr<InGameObject> o = walker(0, 0);
    struct Case {
        jint y, depth;
    };
    // Level height 640, rows of 64.
    for (const Case& c :
         {Case{640, 0}, Case{577, 0}, Case{576, 1}, Case{0, 10}, Case{1, 9}, Case{703, 0}, Case{704, -1}}) {
        SCOPED_TRACE(c.y);
        o->setSlotPosition(0, 0, c.y);
        o->updateDepth();
        EXPECT_EQ(o->getDepth(), c.depth);
    }
    // No rows to count: the depth stays.
    InGameObject::setDepthStep(0);
    o->setSlotPosition(0, 0, 100);
    o->updateDepth();
    EXPECT_EQ(o->getDepth(), -1);
    InGameObject::setDepthStep(64);
    o->releaseSlot(0);
    o->updateDepth();  // slot 0 empty: kept
    EXPECT_EQ(o->getDepth(), -1);
}

TEST_F(InGameObjectTest, FrozenObjectsStandStillButForceUpdateMovesThem) {
    VMPtr<InGameObject> o = walker(100, 600);
    o->update(0, 0);
    const jint x = o->getSlotX(0);
    EXPECT_GT(x, 100);
    EXPECT_EQ(o->getDepth(), 0);

    o->setSlotPosition(0, x, 300);
    InGameObject::frozen = true;
    o->update(0, 0);
    EXPECT_EQ(o->getSlotX(0), x);
    EXPECT_EQ(o->getDepth(), 0);  // not recomputed
    o->forceUpdate();
    EXPECT_EQ(o->getSlotX(0), x + 4);
    EXPECT_EQ(o->getDepth(), 5);
    InGameObject::frozen = false;
    o->update(0, 0);
    EXPECT_EQ(o->getSlotX(0), x + 8);
}

TEST_F(InGameObjectTest, TheBoxSnapshotIsSlotZerosBodyBoxInLevelPixels) {
    VMPtr<InGameObject> o = walker(100, 600);
    o->snapshotCollisionBox();
    VMPtr<VMInts> b = o->box;
    EXPECT_EQ(std::vector<jint>(b->elements(), b->elements() + 5), (std::vector<jint>{95, 580, 10, 20, 0}));
    o->mirrorSlot(0);
    o->snapshotCollisionBox();
    EXPECT_EQ(std::vector<jint>(b->elements(), b->elements() + 5), (std::vector<jint>{95, 580, 10, 20, 0}));
    o->releaseSlot(0);
    o->snapshotCollisionBox();  // no box: an empty one, not the last
    EXPECT_EQ(std::vector<jint>(b->elements(), b->elements() + 5), (std::vector<jint>(5, 0)));
}

}  // namespace

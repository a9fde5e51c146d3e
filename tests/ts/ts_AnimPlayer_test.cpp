// Animation players: stepping by time and play count, markers, motion and
// its interpolation under transforms, and collisions of the displayed frame.
#include "sprites_test_support.h"

using namespace spritetest;
using ts::AnimPlayer;
using ts::AnimSet;
using ts::graphics::CollisionBox;

namespace {

class AnimPlayerTest : public VMTest {};

// Frame 0: one rectangle box (-4, -4, 8, 8) of id 1; frame 1: none.
const std::vector<FrameSpec> kFrames = {{{}, {{-4, -4, 8, 8, 1}}}, {{}, {}}};

VMPtr<AnimPlayer> playerOf(const std::vector<AnimSpec>& anims, jint animation = 0) {
    VMPtr<AnimPlayer> player = AnimPlayer::create()->construct();
    player->setAnimSet(setOf(animSetBytes(kFrames, anims)));
    player->setAnimation(animation);
    return player;
}

}  // namespace

TEST_F(AnimPlayerTest, StepsAdvanceByTimeAndPlayCount) {
    struct Case {
        const char* what;
        AnimSpec anim;
        jint dt;
        bool playing;
        jint step, displayed, elapsed;
    };
    const Case cases[] = {
        {"played once: holds the last step", {1, {{0, 100}, {0, 100}}}, 250, false, 1, 1, 100},
        {"endless: wraps", {-1, {{0, 100}, {0, 100}}}, 250, true, 0, 0, 50},
        {"two plays left", {2, {{0, 100}, {0, 100}}}, 250, true, 0, 0, 50},
        {"marker 3 stops the advance", {-1, {{0, 100}, {0, 100, 0, 0, 0, 3}, {0, 100}}}, 250, true, 1, 1, 150},
        {"marker 2 stays until painted", {-1, {{0, 100}, {0, 50, 0, 0, 0, 2}, {0, 100}}}, 180, true, 2, 1, 30},
        {"endless steps of no time", {-1, {{0, 0}, {0, 0}, {0, 0}}}, 40, true, 0, 0, 40},
        {"interpolated step of no time", {-1, {{0, 0, 0, 0, 1}, {0, 0, 5, 0, 1}}}, 40, true, 0, 0, 40},
    };
    for (const Case& c : cases) {
        VMPtr<AnimPlayer> player = playerOf({c.anim});
        EXPECT_EQ(player->update(c.dt), c.playing) << c.what;
        EXPECT_EQ(player->getStep(), c.step) << c.what;
        EXPECT_EQ(player->getDisplayedStep(), c.displayed) << c.what;
        EXPECT_EQ(player->elapsed, c.elapsed) << c.what;
    }
    // A level-2 step shown and painted: the next update shows the step it is on.
    VMPtr<AnimPlayer> player = playerOf({cases[4].anim});
    player->update(180);
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(4, 4);
    player->paint(image->getGraphics());
    EXPECT_EQ(player->marker, 0);
    player->update(10);
    EXPECT_EQ(player->getDisplayedStep(), 2);
    EXPECT_EQ(player->getElapsedTime(), 100 + 50 + 40);
    // The level-3 step's remaining time is spent by the next update.
    player = playerOf({cases[3].anim});
    player->update(250);
    player->update(0);
    EXPECT_EQ(player->getStep(), 2);
    EXPECT_EQ(player->elapsed, 50);
}

TEST_F(AnimPlayerTest, PlayCountsAndAnimationsWithoutSteps) {
    for (auto [play, seen] : {std::pair<int, int>{-5, -1}, {-32, -1}, {-1, -1}, {0, 0}, {31, 31}}) {
        EXPECT_EQ(playerOf({{play, {{0, 10}}}})->getPlayCount(), seen) << play;
    }
    VMPtr<AnimPlayer> stopped = playerOf({{0, {{0, 10}, {0, 10}}}});
    stopped->setX(7);
    EXPECT_FALSE(stopped->update(100));
    EXPECT_EQ(stopped->getStep(), 0);
    EXPECT_EQ(stopped->getOldX(), 7);
    // The last animation has no steps: nothing is read past the step table.
    VMPtr<AnimPlayer> none = playerOf({{1, {{0, 10}}}, {1, {}}}, 1);
    EXPECT_EQ(none->getStepCount(), 0);
    EXPECT_FALSE(none->update(50));
    EXPECT_FALSE(none->collidesWithPoint(0, 0));
    EXPECT_FALSE(AnimPlayer::create()->construct()->update(10));
}

TEST_F(AnimPlayerTest, MotionFollowsTheStepsUnderTheTransform) {
    struct Case {
        const char* what;
        AnimSpec anim;
        jint transform, dt, x, y;
    };
    const Case cases[] = {
        {"interpolated half way", {-1, {{0, 100, 0, 0, 1}, {0, 100, 20, 0}}}, 0, 50, 10, 0},
        {"mirrored", {-1, {{0, 100, 0, 0, 1}, {0, 100, 20, 0}}}, 2, 50, -10, 0},
        {"flipped", {-1, {{0, 100, 0, 0, 1}, {0, 100, 0, 20}}}, 1, 75, 0, -15},
        {"turned: (4, 0) moves down", {-1, {{0, 100}, {0, 100, 4, 0}}}, 5, 100, 0, 4},
        {"a whole play moves on", {-1, {{0, 100}, {0, 100, 10, 3}}}, 0, 200, 10, 3},
        {"interpolating towards the next play", {-1, {{0, 100, 4}, {0, 100, 10, 0, 1}}}, 0, 150, 12, 0},
        {"not past the end of the last play", {1, {{0, 100}, {0, 100, 10, 0, 1}}}, 0, 150, 10, 0},
    };
    for (const Case& c : cases) {
        VMPtr<AnimPlayer> player = playerOf({c.anim});
        player->setTransform(c.transform);
        player->setX(100);
        player->setY(200);
        player->update(c.dt);
        EXPECT_EQ(player->getX() - 100, c.x) << c.what;
        EXPECT_EQ(player->getY() - 200, c.y) << c.what;
        EXPECT_EQ(player->getMoveX(), c.x) << c.what;
        EXPECT_EQ(player->getOldY(), 200) << c.what;
    }
    // Positions are 16-bit.
    VMPtr<AnimPlayer> player = playerOf({{-1, {{0, 10}}}});
    player->setX(32767);
    player->move(1, 0);
    EXPECT_EQ(player->getX(), -32768);
}

TEST_F(AnimPlayerTest, CollisionsUseTheDisplayedFrameAtThePlayersPlace) {
    VMPtr<AnimPlayer> player = playerOf({{-1, {{0, 100}, {1, 100}}}});
    player->setX(50);
    player->setY(60);
    EXPECT_TRUE(player->collidesWithPoint(53, 63));
    ASSERT_NE(CollisionBox::firstHit.get(), nullptr);
    EXPECT_EQ(text(CollisionBox::firstHit->toString()), "x,y:46,56, WxH:8,8");
    EXPECT_EQ(CollisionBox::secondHit.get(), CollisionBox::scratch.get());
    EXPECT_FALSE(player->collidesWithPoint(54, 63));
    EXPECT_EQ(CollisionBox::firstHit.get(), nullptr);

    VMPtr<AnimPlayer> other = playerOf({{-1, {{0, 100}}}});
    other->setX(57);
    other->setY(60);
    EXPECT_TRUE(player->collidesWithPlayer(other));
    other->setX(58);  // edges touch
    EXPECT_FALSE(player->collidesWithPlayer(other));

    VMPtr<CollisionBox> out = CollisionBox::create()->construct();
    EXPECT_TRUE(player->getCollisionBox(out));
    EXPECT_EQ(out->id, 1);
    EXPECT_EQ(out->x, 46);
    player->update(100);  // frame 1: no boxes
    EXPECT_FALSE(player->collidesWithPoint(50, 60));
    EXPECT_FALSE(player->getCollisionBox(out));
    EXPECT_EQ(out->width, 0);
    EXPECT_FALSE(player->collidesWithPlayer(other));
}

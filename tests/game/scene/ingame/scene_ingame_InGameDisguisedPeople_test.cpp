// The watchers on hand-made tables: warm-up, patrol ends, walls and doors
// (edges strictly inside only; rows outside the wall table have none; locked
// and fixed doors block everyone), the reactions of every kind, the
// interaction from behind, and the chase ending at home.
#include <functional>

#include "people_test_support.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameInteractionItem.h"

namespace {

using com::ventrix::utility::MyObject;
using ingametest::InGameObject;
using ingametest::InGamePlayer;
using scene::ingame::InGameInteractionItem;
using Watcher = scene::ingame::InGameDisguisedPeople;

constexpr jint kFeet = 630;  // depth 0

class InGameDisguisedPeopleTest : public peopletest::PeopleTest {
protected:
    VMPtr<Watcher> make(jint look, jint x, jint mode, jint right = 4000, jint y = kFeet, jint warmUp = 0) {
        const jint row = addRecord(level->disguisedRecords, {look, x, y, 1000, mode, 0, 90, right});
        draws({warmUp});
        VMPtr<Watcher> p = Watcher::create()->construct();
        p->initFromRecord(row);
        return p;
    }
    // The player in a look, its 2 x 2 box at x, 10 above the feet.
    VMPtr<InGamePlayer> spawn(jint x, jint look, bool mirrored = false) {
        VMPtr<InGamePlayer> p = InGamePlayer::create()->construct();
        InGameObject::player = p;
        p->respawn(0, x, kFeet);
        for (int o = 0; o < 7; ++o)
            if (peopletest::kWatcherLooks[o] == look)
                p->loadAnimation(0, look, peopletest::kWatcherSets[o], 0, x, kFeet);
        if (mirrored) p->mirrorSlot(0);
        p->updateDepth();
        p->setExposed(true);
        p->disguiseTimer = 5000;
        VMPtr<VMInts> b = p->getBox();
        (*b)[0] = x, (*b)[1] = kFeet - 10, (*b)[2] = 2, (*b)[3] = 2;
        InGameObject::playerX = x;
        return p;
    }
    // Frames until done() (at most max); the x after each.
    std::vector<jint> walk(
        Watcher* p, const std::function<bool()>& done = [] { return false; }, int max = 130) {
        std::vector<jint> xs;
        for (int n = 0; n < max && !(done && done()); ++n) {
            MyObject::frameTime = 40;
            ingametest::GamePad::getInstance()->update();
            p->update(0, 0);
            xs.push_back(p->getSlotX(0));
        }
        return xs;
    }
    std::function<bool()> turning(Watcher* p) {
        return [p] { return p->getSlotIndex(0) == Watcher::ANIM_TURN; };
    }
};

TEST_F(InGameDisguisedPeopleTest, WarmUpPatrolEndsWallsAndDoors) {
    const std::vector<jint> path = walk(make(0, 100, 1).get());  // a free walker's x, frame by frame
    for (auto [warmUp, frames] : {std::pair{39, 0}, {40, 1}, {4999, 124}}) {
        MyObject::frameTime = 17;
        VMPtr<Watcher> p = make(0, 100, 1, 4000, kFeet, warmUp);
        EXPECT_EQ(p->getSlotX(0), frames == 0 ? 100 : path[frames - 1]) << warmUp;
        EXPECT_EQ(MyObject::frameTime, 17);
        walk(p.get(), {}, 5);
        p->reset();  // the same warm-up again
        EXPECT_EQ(p->getSlotX(0), frames == 0 ? 100 : path[frames - 1]) << warmUp;
    }
    // The patrol's end is inside it; the first x past it turns.
    for (jint right : {path[5], path[5] - 1}) {
        VMPtr<Watcher> p = make(0, 100, 1, right);
        EXPECT_EQ(walk(p.get(), turning(p.get())).back(), right == path[5] ? path[6] : path[5]);
        walk(p.get(), [&] { return p->getSlotIndex(0) == Watcher::ANIM_WALK; });  // 23, 24, walk mirrored
        EXPECT_EQ(p->getTransform(0), 2);
    }
    // One left outside its patrol (by the turn's own steps) and facing back
    // in walks back in and turns again only at the far end: right of the
    // range facing left (look 1 starts mirrored), left of it facing right.
    for (auto [look, x] : {std::pair{1, path[5] + 20}, {0, 60}}) {
        VMPtr<Watcher> p = make(look, x, 1, path[5]);
        const std::vector<jint> xs = walk(p.get(), turning(p.get()));
        ASSERT_GE(xs.size(), 3u) << look;
        EXPECT_EQ(look == 1 ? xs.back() < 90 : xs.back() > path[5], true) << look << " turned at " << xs.back();
    }
    // A body edge on a wall's edge does not count; one step into it turns
    // the watcher and steps it back.
    setWalls({{{path[4] + 5, 40}}});
    VMPtr<Watcher> p = make(0, 100, 1);
    EXPECT_EQ(walk(p.get(), turning(p.get())),
              (std::vector<jint>{path[0], path[1], path[2], path[3], path[4], path[4]}));
    // Rows 3 (past the table) and -1 (below the level) have no walls.
    setWalls({{{0, 2000}}});
    for (jint y : {kFeet - 3 * kDepthStep, 720}) {
        VMPtr<Watcher> q = make(0, 100, 1, 4000, y);
        EXPECT_GT(walk(q.get(), {}, 30).back(), 200) << y;
    }
    setWalls({});

    // A door at 140 (solid part 132..148); outfit 2 of a door is look 0x3008.
    using namespace spritetest;
    FrameSpec shut{{{0, -4, -16}}, {{-8, -40, 16, 40, 0}, {-30, -40, 60, 40, 1}}};
    ingametest::putInCache(0x2415, 0x2404, setOf(animSetBytes({shut, shut}, {{-1, {{0, 40}}}, {-1, {{1, 40}}}})));
    struct Door {
        jint fixed, keyLevel, outfit, look, mode;
        bool chasing, passes;
    } doors[] = {{0, 0, 0, 0, 1, false, false}, {0, 0, 0, 0, 2, false, true},  {0, 0, 0, 0, 1, true, true},
                 {0, 1, 0, 0, 2, false, false}, {0, 2, 0, 0, 1, true, false},  {1, 0, 0, 0, 2, true, false},
                 {0, 0, 2, 2, 1, false, true},  {0, 0, 2, 0, 1, false, false}, {0, 1, 2, 2, 1, false, false},
                 {0, 0, 9, 2, 1, false, false}};
    for (const Door& c : doors) {
        level->interactionRecords = VMIntRows::create(0, 0);
        addRecord(level->interactionRecords, {6, 0, c.fixed, 140, kFeet, c.outfit, c.keyLevel});
        VMPtr<InGameInteractionItem> door = InGameInteractionItem::create()->construct();
        door->initFromRecord(0);
        door->resolveOutfit();
        InGameObject::interactionItems = InGameObject::Objects::create(1);
        InGameObject::interactionItems->set(0, door);
        VMPtr<Watcher> w = make(c.look, 100, c.mode);
        if (c.chasing) w->raiseAlarm();
        walk(w.get(), turning(w.get()), 30);
        const bool passed = w->getSlotX(0) > 160;
        EXPECT_EQ(passed, c.passes) << c.fixed << c.keyLevel << c.outfit << c.look << c.mode << c.chasing;
        EXPECT_EQ(door->getSlotIndex(0), c.passes ? 1 : 0);
        EXPECT_TRUE(passed || w->getSlotX(0) + 5 <= 132);
        // An outfit whose look is not cached (-2) lets nobody through.
        if (c.passes && c.outfit == 2) {
            door->outfitIndex = InGameInteractionItem::OUTFIT_NOT_CACHED;
            door->setSlotIndex(0, 0);
            VMPtr<Watcher> again = make(c.look, 100, c.mode);
            EXPECT_LE(walk(again.get(), turning(again.get()), 30).back() + 5, 132);
        }
    }
    InGameObject::interactionItems = nullptr;

    // The doors a walker meets follow the items' array and rows from frame
    // to frame: an element replaced in the same array, a door moved to
    // another row and back.
    auto doorAt = [&](jint y) {
        level->interactionRecords = VMIntRows::create(0, 0);
        addRecord(level->interactionRecords, {6, 0, 0, 140, y, 0, 0});
        VMPtr<InGameInteractionItem> door = InGameInteractionItem::create()->construct();
        door->initFromRecord(0);
        door->resolveOutfit();
        return door;
    };
    VMPtr<InGameInteractionItem> near = doorAt(kFeet), far = doorAt(kFeet - 2 * kDepthStep);
    InGameObject::interactionItems = InGameObject::Objects::create(1);
    InGameObject::interactionItems->set(0, far);
    VMPtr<Watcher> w = make(0, 100, 1);
    auto passes = [&] {
        w->reset();
        walk(w.get(), turning(w.get()), 30);
        return w->getSlotX(0) > 160;
    };
    EXPECT_TRUE(passes());
    InGameObject::interactionItems->set(0, near);
    EXPECT_FALSE(passes());
    near->setSlotPosition(0, 140, kFeet - 2 * kDepthStep);
    near->forceUpdate();
    EXPECT_TRUE(passes());
    near->setSlotPosition(0, 140, kFeet);
    near->forceUpdate();
    EXPECT_FALSE(passes());
    InGameObject::interactionItems = nullptr;
}

TEST_F(InGameDisguisedPeopleTest, EachKindReactsToThePlayersLookInItsSightAndAtItsBody) {
    // The watcher stands at 200 facing right; its sight covers 250, its body
    // 199, nothing 400. Marks: 0 none, 1 suspicion, 2 alarm.
    constexpr jint S = 250, B = 199, N = 400, ME = InGamePlayer::BODY_IMAGE;
    struct Case {
        jint outfit, look, at;
        bool chasing;
        jint markBefore, mark;
        bool chase, caught, suspicious;
    } cases[] = {
        {1, ME, S, false, 0, 0, false, false, false},     {1, 0x3009, S, false, 0, 1, false, false, true},  // kind 0
        {4, 0x300F, B, false, 2, 1, false, false, true},  {4, ME, B, true, 0, 0, true, false, false},
        {0, 0x3009, S, false, 0, 1, false, false, true},  {0, 0x3009, B, false, 1, 0, false, false, false},  // 2
        {0, 0x300E, S, false, 0, 0, false, false, false}, {0, 0x300C, S, false, 0, 0, false, false, false},
        {2, 0x3009, S, false, 0, 0, false, false, false}, {0, ME, S, false, 0, 2, true, false, false},
        {0, 0x3008, S, false, 1, 2, true, false, false},  {0, 0x3008, B, false, 1, 0, false, false, false},
        {0, 0x3008, B, true, 0, 0, true, true, false},    {5, 0x3009, S, false, 0, 2, true, false, false},  // 3
        {5, 0x300E, S, false, 0, 2, true, false, false},  {5, 0x300C, S, false, 0, 1, false, false, true},
        {3, ME, S, false, 0, 2, true, false, false},      {6, 0x3008, S, false, 0, 1, false, false, true},  // 4
        {3, 0x3008, B, false, 0, 1, false, false, true},  {3, ME, B, false, 0, 0, false, false, false},
        {6, ME, B, true, 0, 0, true, true, false},        {0, 0x3009, N, false, 1, 0, false, false, false},
        {0, ME, N, true, 2, 2, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outfit << " " << std::hex << c.look << std::dec << " at " << c.at);
        VMPtr<Watcher> p = make(c.outfit * 2, 200, 0);
        p->chasing = c.chasing;
        p->setSlotIndex(1, c.markBefore);
        VMPtr<InGamePlayer> player = spawn(c.at, c.look);
        walk(p.get(), {}, 1);
        EXPECT_EQ(p->getSlotIndex(1), c.mark);
        EXPECT_EQ(p->chasing, c.chase);
        EXPECT_EQ(player->getState(), c.caught ? InGamePlayer::CAUGHT : InGamePlayer::STANDING);
        EXPECT_EQ(player->getDisguiseTimer(), c.suspicious ? 5000 - 40 : 5000);
        EXPECT_EQ(p->getSlotIndex(0), c.chase && !c.chasing ? Watcher::ANIM_WALK : Watcher::ANIM_STAND);
    }
    // On another row nothing happens.
    VMPtr<Watcher> p = make(0, 200, 0, 4000, kFeet - kDepthStep);
    spawn(S, ME);
    walk(p.get(), {}, 1);
    EXPECT_FALSE(p->isOnPlayerRow() || p->chasing);
}

TEST_F(InGameDisguisedPeopleTest, FromBehindWithTheSameFacingTheActionKnocksItOutAndTheFarBackTakesItsOutfit) {
    // Look 2 faces right (back 180..192, far back 150..170), look 3 left
    // (back 208..220, far back 230..250).
    struct Case {
        jint look, at;
        bool mirrored, action;
        jint state;
    } cases[] = {{2, 185, false, true, 9}, {2, 185, false, false, 0}, {2, 185, true, true, 0},  {3, 212, true, true, 9},
                 {3, 212, false, true, 0}, {2, 160, true, true, 10},  {3, 240, false, true, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.look << " at " << c.at << " " << c.mirrored << c.action);
        VMPtr<Watcher> p = make(c.look, 200, 0);
        p->setSlotIndex(1, 1);
        VMPtr<InGamePlayer> player = spawn(c.at, InGamePlayer::BODY_IMAGE, c.mirrored);
        if (c.action) keys->pressed = {ingametest::kAction};
        walk(p.get(), {}, 1);
        keys->pressed.clear();
        EXPECT_EQ(p->getSlotIndex(1), 0);
        EXPECT_EQ(player->getState(), c.state);
        EXPECT_EQ(player->getInteractionTarget(), c.state == 0 ? -1 : 1000);
        EXPECT_EQ(player->isEngaged(), c.state != 0);
        if (c.state == 0) continue;
        // The watcher's side of the sequence when the player waits in phase 2.
        player->setPhase(2);
        walk(p.get(), {}, 1);
        EXPECT_EQ(player->getPhase(), 3);
        EXPECT_EQ(p->getSlotIndex(0), c.state == 9 ? Watcher::ANIM_DAZED : Watcher::ANIM_UNDRESSED);
        if (c.state == 10) {  // the player wears the watcher's look, facing as before, seeing nothing
            EXPECT_EQ(Watcher::lookOf(player.get()), 0x3008);
            EXPECT_EQ(player->getTransform(0), c.mirrored ? 2 : 0);
            EXPECT_EQ(player->getCollisionBoxCount(0), 3);
        }
    }
    // One left in his underwear falls and lies in it, and stays in it when
    // knocked out again.
    for (const jint before : {Watcher::ANIM_UNDRESSED, Watcher::ANIM_KNOCKED_OUT_UNDRESSED}) {
        VMPtr<Watcher> p = make(2, 200, 0);
        p->setSlotIndex(0, before);
        VMPtr<InGamePlayer> player = spawn(185, InGamePlayer::BODY_IMAGE, false);
        player->setState(InGamePlayer::USING_ITEM);
        player->setInteractionTarget(1000);
        player->setEngaged(true);
        player->setPhase(InGamePlayer::USE_WAIT);
        walk(p.get(), {}, 1);
        EXPECT_EQ(p->getSlotIndex(0), Watcher::ANIM_DAZED_UNDRESSED);
        player->setPhase(InGamePlayer::USE_WAIT_AGAIN);
        walk(p.get(), {}, 1);
        EXPECT_EQ(p->getSlotIndex(0), Watcher::ANIM_KNOCKED_OUT_UNDRESSED);
    }
}

TEST_F(InGameDisguisedPeopleTest, AChaseEndsAtHomeAfterATurnFacingAsAtTheStartAsResetDoesForEveryLook) {
    setWalls({{{160, 40}}});
    VMPtr<Watcher> p = make(4, 100, 0);  // even: facing right
    p->raiseAlarm();
    EXPECT_EQ(p->getSlotIndex(1), Watcher::MARK_ALARM);
    walk(p.get(), [&] { return !p->chasing; });  // into the wall, turned, back home
    EXPECT_EQ(p->getSlotIndex(0), Watcher::ANIM_STAND);
    EXPECT_EQ(p->getSlotIndex(1), 0);
    EXPECT_LE(std::abs(p->getSlotX(0) - 100), 5);
    EXPECT_EQ(p->getTransform(0), 0);
    VMPtr<Watcher> q = make(5, 100, 1);  // odd: mirrored
    q->mirrorSlot(0);
    q->raiseAlarm();
    walk(q.get(), {}, 3);
    q->reset();
    EXPECT_TRUE(q->getSlotX(0) == 100 && !q->chasing && q->getSlotIndex(1) == 0);
    EXPECT_EQ(q->getTransform(0), 2);
}

}  // namespace

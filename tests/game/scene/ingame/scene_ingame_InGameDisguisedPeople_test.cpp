// The watchers on hand-made level tables: the warm-up, turning at the ends
// of the patrol and at walls (edges strictly inside only, rows outside the
// wall table have none), doors (locked and fixed ones block everyone,
// others open for a chase, for mode 2 or for the matching outfit), the
// reactions of every kind to the player's look, the interaction from
// behind and the outfit taken, the chase ending at home, and reset.
#include <functional>

#include "people_test_support.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameInteractionItem.h"

namespace {

using com::ventrix::utility::MyObject;
using ingametest::GamePad;
using ingametest::InGameObject;
using ingametest::InGamePlayer;
using scene::ingame::InGameDisguisedPeople;
using scene::ingame::InGameInteractionItem;

constexpr jint kFeet = 630;  // the bottom row of the test level (depth 0)

class InGameDisguisedPeopleTest : public peopletest::PeopleTest {
protected:
    // A watcher from a new disguised record; its warm-up draw is `warmUp`.
    VMPtr<InGameDisguisedPeople> make(jint look, jint x, jint mode, jint left = 0, jint right = 4000, jint y = kFeet,
                                      jint warmUp = 0) {
        VMPtr<VMIntRows> old = level->disguisedRecords;
        VMPtr<VMIntRows> rows = VMIntRows::create(old->length + 1, 0);
        for (jint i = 0; i < old->length; ++i) rows->set(i, old->get(i));
        VMPtr<VMInts> r = VMInts::create(8);
        const jint values[8] = {look, x, y, 1000 + old->length, mode, 0, left, right};
        for (jint i = 0; i < 8; ++i) (*r)[i] = values[i];
        rows->set(old->length, r);
        level->disguisedRecords = rows;
        draws({warmUp});
        VMPtr<InGameDisguisedPeople> p = InGameDisguisedPeople::create()->construct();
        p->initFromRecord(old->length);
        return p;
    }
    // The player standing at x on the bottom row in a look (image id).
    VMPtr<InGamePlayer> spawn(jint x, jint look = InGamePlayer::BODY_IMAGE, bool mirrored = false) {
        VMPtr<InGamePlayer> p = InGamePlayer::create()->construct();
        InGameObject::player = p;
        p->respawn(0, x, kFeet);
        if (look != InGamePlayer::BODY_IMAGE) {
            jint set = 0;
            for (int o = 0; o < 7; ++o)
                if (peopletest::kWatcherLooks[o] == look) set = peopletest::kWatcherSets[o];
            p->loadAnimation(0, look, set, 0, x, kFeet);
        }
        if (mirrored) p->mirrorSlot(0);
        p->updateDepth();
        p->setExposed(true);
        p->disguiseTimer = 5000;
        return p;
    }
    // The player's box: 2 x 2 at x, in the height of the watchers' boxes.
    void placeBox(VMPtr<InGamePlayer> p, jint x) {
        VMPtr<VMInts> b = p->getBox();
        (*b)[0] = x;
        (*b)[1] = kFeet - 10;
        (*b)[2] = 2;
        (*b)[3] = 2;
        InGameObject::playerX = x;
        InGameObject::playerY = kFeet;
    }
    // One frame: the pad, then the watchers.
    void frame(std::initializer_list<InGameDisguisedPeople*> people) {
        MyObject::frameTime = 40;
        GamePad::getInstance()->update();
        for (InGameDisguisedPeople* p : people) p->update(0, 0);
    }
    // The x of each frame until done() holds (at most max frames).
    std::vector<jint> walk(InGameDisguisedPeople* p, const std::function<bool()>& done, int max = 200) {
        std::vector<jint> xs;
        for (int n = 0; n < max && !done(); ++n) {
            frame({p});
            xs.push_back(p->getSlotX(0));
        }
        return xs;
    }
    static jint lookOf(com::ventrix::ui::Screen* s) { return InGameDisguisedPeople::lookOf(s); }
};

TEST_F(InGameDisguisedPeopleTest, SetUpFromTheRecordAndTheWarmUpInFramesOf40Milliseconds) {
    VMPtr<InGameDisguisedPeople> p = make(7, 100, 1, 20, 300);
    EXPECT_EQ(lookOf(p.get()), 0x300D);
    EXPECT_EQ(p->getTransform(0), 2);
    EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_WALK);
    EXPECT_EQ(p->getSlotIndex(1), 0);
    EXPECT_EQ(p->reactionKind, 4);
    EXPECT_EQ(p->personId, 1000);
    EXPECT_FALSE(p->passesDoors);
    EXPECT_EQ(p->getLayer(), InGameDisguisedPeople::PEOPLE_LAYER);
    EXPECT_TRUE(make(8, 100, 2)->passesDoors);
    EXPECT_EQ(make(8, 100, 0)->getSlotIndex(0), InGameDisguisedPeople::ANIM_STAND);

    // A free walker right from 100: where it is after n warm-up frames.
    VMPtr<InGameDisguisedPeople> free = make(0, 100, 1);
    const std::vector<jint> path = walk(
        free.get(), [] { return false; }, 130);
    for (auto [warmUp, frames] : {std::pair{39, 0}, {40, 1}, {4999, 124}, {9999, 124}}) {
        SCOPED_TRACE(warmUp);
        MyObject::frameTime = 17;
        VMPtr<InGameDisguisedPeople> q = make(0, 100, 1, 0, 4000, kFeet, warmUp);
        EXPECT_EQ(q->getSlotX(0), frames == 0 ? 100 : path[size_t(frames - 1)]);
        EXPECT_EQ(MyObject::frameTime, 17);
        // reset runs the same warm-up from home.
        walk(
            q.get(), [] { return false; }, 7);
        q->reset();
        EXPECT_EQ(q->getSlotX(0), frames == 0 ? 100 : path[size_t(frames - 1)]);
    }
}

TEST_F(InGameDisguisedPeopleTest, TheEndsOfThePatrolAreInsideItAndAChaserIgnoresThem) {
    VMPtr<InGameDisguisedPeople> free = make(0, 100, 1);
    const std::vector<jint> path = walk(
        free.get(), [] { return false; }, 12);
    for (jint right : {path[5], path[5] - 1}) {
        SCOPED_TRACE(right);
        VMPtr<InGameDisguisedPeople> p = make(0, 100, 1, 90, right);
        const std::vector<jint> xs =
            walk(p.get(), [&] { return p->getSlotIndex(0) == InGameDisguisedPeople::ANIM_TURN; });
        EXPECT_EQ(xs.back(), right == path[5] ? path[6] : path[5]);  // the first x past the end turns
        EXPECT_TRUE(p->headingHome);
        // The turn leads to 24, which mirrors the body and walks it back,
        // down to the left end, where it turns again.
        walk(
            p.get(), [&] { return p->getSlotIndex(0) == InGameDisguisedPeople::ANIM_WALK; }, 5);
        EXPECT_EQ(p->getTransform(0), 2);
        const std::vector<jint> back =
            walk(p.get(), [&] { return p->getSlotIndex(0) == InGameDisguisedPeople::ANIM_TURN; });
        EXPECT_LT(back.back(), 90);
        EXPECT_GE(back.back(), 90 - 8);
        for (size_t i = 0; i + 1 < back.size(); ++i) EXPECT_GE(back[i], 90);
    }
    // Chasing: on past the end.
    VMPtr<InGameDisguisedPeople> chaser = make(0, 100, 1, 90, 110);
    chaser->raiseAlarm();
    walk(
        chaser.get(), [] { return false; }, 20);
    EXPECT_GT(chaser->getSlotX(0), 150);
    EXPECT_EQ(chaser->getSlotIndex(0), InGameDisguisedPeople::ANIM_WALK);
}

TEST_F(InGameDisguisedPeopleTest, AWallStopsABoxEdgeStrictlyInsideItAndRowsOutsideTheTableHaveNone) {
    VMPtr<InGameDisguisedPeople> free = make(0, 100, 1);
    const std::vector<jint> path = walk(
        free.get(), [] { return false; }, 12);
    // The body's right edge (x + 5) reaching the wall's left edge exactly
    // does not count; one step further does, and steps back.
    for (jint k : {4, 6}) {
        SCOPED_TRACE(k);
        setWalls({{{path[size_t(k)] + 5, 40}}});
        VMPtr<InGameDisguisedPeople> p = make(0, 100, 1);
        const std::vector<jint> xs =
            walk(p.get(), [&] { return p->getSlotIndex(0) == InGameDisguisedPeople::ANIM_TURN; });
        ASSERT_EQ(xs.size(), size_t(k + 2));
        EXPECT_EQ(xs.back(), path[size_t(k)]);  // stepped back out of the wall
    }
    // Walking left, the body's left edge (x - 5) on the wall's right end
    // does not count either.
    VMPtr<InGameDisguisedPeople> leftward = make(1, 300, 1);
    const std::vector<jint> back = walk(
        leftward.get(), [] { return false; }, 12);
    setWalls({{{0, back[4] - 5}}});
    VMPtr<InGameDisguisedPeople> left = make(1, 300, 1);
    const std::vector<jint> xs =
        walk(left.get(), [&] { return left->getSlotIndex(0) == InGameDisguisedPeople::ANIM_TURN; });
    ASSERT_EQ(xs.size(), size_t(6));
    EXPECT_EQ(xs.back(), back[4]);

    // Depth 3 (past the table) and -1 (below the level): no walls.
    setWalls({{{0, 2000}}});
    for (jint y : {kFeet - 3 * kDepthStep, 720}) {
        SCOPED_TRACE(y);
        VMPtr<InGameDisguisedPeople> p = make(0, 100, 1, 0, 4000, y);
        walk(
            p.get(), [] { return false; }, 30);
        EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_WALK);
        EXPECT_GT(p->getSlotX(0), 200);
    }
}

TEST_F(InGameDisguisedPeopleTest, DoorsOpenForAChaseForMode2OrTheOutfitAndLockedOrFixedOnesBlockEveryone) {
    // A door at 140 (solid box 132 to 148) on the bottom row.
    ingametest::putInCache(0x2415, 0x2404, [] {
        using namespace spritetest;
        FrameSpec shut{{{0, -4, -16}}, {{-8, -40, 16, 40, 0}, {-30, -40, 60, 40, 1}}};
        return setOf(animSetBytes({shut, shut}, {{-1, {{0, 40}}}, {-1, {{1, 40}}}}));
    }());
    struct Case {
        jint fixed, keyLevel, outfit;  // the door's record; outfit 2 is the look 0x3008
        jint look, mode;
        bool chasing, passes;
    } cases[] = {
        {0, 0, 0, 0, 1, false, false}, {0, 0, 0, 0, 2, false, true},  {0, 0, 0, 0, 1, true, true},
        {0, 1, 0, 0, 2, false, false}, {0, 2, 0, 0, 1, true, false},  {1, 0, 0, 0, 1, true, false},
        {1, 0, 0, 0, 2, false, false}, {0, 0, 2, 2, 1, false, true},  {0, 0, 2, 0, 1, false, false},
        {0, 1, 2, 2, 1, false, false}, {0, 0, 9, 2, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fixed << c.keyLevel << c.outfit << " look " << c.look << " mode " << c.mode
                                        << (c.chasing ? " chasing" : ""));
        VMPtr<VMIntRows> records = VMIntRows::create(1, 0);
        VMPtr<VMInts> r = VMInts::create(7);
        const jint values[7] = {6, 0, c.fixed, 140, kFeet, c.outfit, c.keyLevel};
        for (jint i = 0; i < 7; ++i) (*r)[i] = values[i];
        records->set(0, r);
        level->interactionRecords = records;
        VMPtr<InGameInteractionItem> door = InGameInteractionItem::create()->construct();
        door->initFromRecord(0);
        door->resolveOutfit();
        VMPtr<InGameObject::Objects> items = InGameObject::Objects::create(1);
        items->set(0, door);
        InGameObject::interactionItems = items;

        VMPtr<InGameDisguisedPeople> p = make(c.look, 100, c.mode, 0, 400);
        if (c.chasing) p->raiseAlarm();
        walk(
            p.get(), [&] { return p->getSlotIndex(0) == InGameDisguisedPeople::ANIM_TURN; }, 30);
        if (c.passes) {
            EXPECT_GT(p->getSlotX(0), 160);
            EXPECT_EQ(door->getSlotIndex(0), 1);
        } else {
            EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_TURN);
            EXPECT_LE(p->getSlotX(0) + 5, 132);
            EXPECT_EQ(door->getSlotIndex(0), 0);
        }
    }
    // An outfit whose look was not cached resolves to -2: it lets nobody by.
    InGameInteractionItem* door = dynamic_cast<InGameInteractionItem*>(InGameObject::interactionItems->get(0));
    door->outfitIndex = -2;
    VMPtr<InGameDisguisedPeople> p = make(0, 100, 1, 0, 400);
    walk(
        p.get(), [&] { return p->getSlotIndex(0) == InGameDisguisedPeople::ANIM_TURN; }, 30);
    EXPECT_LE(p->getSlotX(0) + 5, 132);
    InGameObject::interactionItems = nullptr;
}

TEST_F(InGameDisguisedPeopleTest, EachKindReactsToThePlayersLookInItsSightAndAtItsBody) {
    constexpr jint SIGHT = 250, BODY = 199, AWAY = 400, PLAYER = InGamePlayer::BODY_IMAGE;
    struct Case {
        jint outfit, playerLook, at;
        bool chasing;
        jint markBefore;
        jint mark;  // afterwards
        bool chase, caught, suspicious;
    } cases[] = {
        // Kinds 0 and 1 (outfits 1, 4): any outfit is suspicious, the
        // player's own look nothing; they never chase.
        {1, PLAYER, SIGHT, false, 0, 0, false, false, false},
        {1, 0x3009, SIGHT, false, 0, 1, false, false, true},
        {4, 0x300F, BODY, false, 2, 1, false, false, true},
        {4, PLAYER, BODY, true, 0, 0, true, false, false},
        // Kind 2 (outfits 0, 2): its own look is suspicious in sight; the
        // porter, cook and boss pass; any other look is chased and caught.
        {0, 0x3009, SIGHT, false, 0, 1, false, false, true},
        {0, 0x3009, BODY, false, 1, 0, false, false, false},
        {0, 0x300E, SIGHT, false, 0, 0, false, false, false},
        {0, 0x300C, SIGHT, false, 0, 0, false, false, false},
        {2, 0x3009, SIGHT, false, 0, 0, false, false, false},
        {0, PLAYER, SIGHT, false, 0, 2, true, false, false},
        {0, 0x3008, SIGHT, false, 1, 2, true, false, false},
        {0, 0x3008, BODY, false, 1, 0, false, false, false},
        {0, 0x3008, BODY, true, 0, 0, true, true, false},
        // Kind 3 (outfit 5): the porter and the cook are chased too.
        {5, 0x3009, SIGHT, false, 0, 2, true, false, false},
        {5, 0x300E, SIGHT, false, 0, 2, true, false, false},
        {5, 0x300C, SIGHT, false, 0, 1, false, false, true},
        // Kind 4 (outfits 3, 6): only the player's own look is chased.
        {3, PLAYER, SIGHT, false, 0, 2, true, false, false},
        {6, 0x3008, SIGHT, false, 0, 1, false, false, true},
        {3, 0x3008, BODY, false, 0, 1, false, false, true},
        {3, PLAYER, BODY, false, 0, 0, false, false, false},
        {6, PLAYER, BODY, true, 0, 0, true, true, false},
        // No box met: suspicion ends, the alarm stays.
        {0, 0x3009, AWAY, false, 1, 0, false, false, false},
        {0, PLAYER, AWAY, true, 2, 2, true, false, false},
        {1, PLAYER, AWAY, false, 0, 0, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "outfit " << c.outfit << " look " << std::hex << c.playerLook << std::dec
                                        << " at " << c.at << (c.chasing ? " chasing" : ""));
        VMPtr<InGameDisguisedPeople> p = make(c.outfit * 2, 200, 0);
        p->chasing = c.chasing;
        p->setSlotIndex(1, c.markBefore);
        VMPtr<InGamePlayer> player = spawn(c.at, c.playerLook);
        placeBox(player, c.at);
        frame({p.get()});
        EXPECT_TRUE(p->isOnPlayerRow());
        EXPECT_EQ(p->getSlotIndex(1), c.mark);
        EXPECT_EQ(p->chasing, c.chase);
        EXPECT_EQ(player->getState(), c.caught ? InGamePlayer::CAUGHT : InGamePlayer::STANDING);
        EXPECT_EQ(player->getDisguiseTimer(), c.suspicious ? 5000 - 40 : 5000);
        if (c.chase && !c.chasing) {
            EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_WALK);
        }
        if (c.caught) {
            EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_STAND);
        }
    }
    // Another row, or a player not exposed: nothing.
    VMPtr<InGameDisguisedPeople> p = make(0, 200, 0, 0, 4000, kFeet - kDepthStep);
    VMPtr<InGamePlayer> player = spawn(SIGHT);
    placeBox(player, SIGHT);
    frame({p.get()});
    EXPECT_FALSE(p->isOnPlayerRow());
    EXPECT_FALSE(p->chasing);
    p = make(0, 200, 0);
    player->setExposed(false);
    frame({p.get()});
    EXPECT_FALSE(p->chasing);
}

TEST_F(InGameDisguisedPeopleTest, FromBehindWithTheSameFacingTheActionKnocksItOutAndTheFarBackTakesItsOutfit) {
    struct Case {
        jint look;      // 2: facing right (back box 180 to 192), 3: facing left (208 to 220)
        jint at;        // the player's box and x
        bool mirrored;  // the player faces left
        bool action;
        jint state;  // the player's afterwards
    } cases[] = {
        {2, 185, false, true, InGamePlayer::USING_ITEM}, {2, 185, true, false, InGamePlayer::STANDING},
        {2, 185, true, true, InGamePlayer::STANDING},    {3, 212, true, true, InGamePlayer::USING_ITEM},
        {3, 212, false, true, InGamePlayer::STANDING},   {2, 160, true, true, InGamePlayer::DISGUISING},
        {3, 240, false, true, InGamePlayer::DISGUISING}, {2, 160, false, false, InGamePlayer::STANDING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "look " << c.look << " at " << c.at << (c.mirrored ? " mirrored" : "")
                                        << (c.action ? " action" : ""));
        VMPtr<InGameDisguisedPeople> p = make(c.look, 200, 0);
        p->setSlotIndex(1, 1);
        VMPtr<InGamePlayer> player = spawn(c.at, InGamePlayer::BODY_IMAGE, c.mirrored);
        placeBox(player, c.at);
        keys->pressed = c.action ? std::set<jint>{ingametest::kAction} : std::set<jint>{};
        frame({p.get()});
        keys->pressed.clear();
        EXPECT_EQ(p->getSlotIndex(1), 0);
        EXPECT_EQ(player->getState(), c.state);
        const bool started = c.state != InGamePlayer::STANDING;
        EXPECT_EQ(player->isEngaged(), started);
        EXPECT_EQ(player->isExposed(), !started);
        EXPECT_EQ(player->getInteractionTarget(), started ? p->personId : -1);
        if (!started) continue;

        // The person's side of the sequence, at the phases the player waits in.
        player->setPhase(2);
        frame({p.get()});
        EXPECT_EQ(player->getPhase(), 3);
        if (c.state == InGamePlayer::USING_ITEM) {
            EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_DAZED);
            EXPECT_EQ(p->getSlotX(0), c.at);
            player->setPhase(5);
            frame({p.get()});
            EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_KNOCKED_OUT);
            EXPECT_EQ(player->getPhase(), 6);
        } else {
            EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_UNDRESSED);
            EXPECT_EQ(lookOf(player.get()), 0x3008);  // the person's look, as it faced
            EXPECT_EQ(player->getSlotIndex(0), InGameDisguisedPeople::ANIM_PLAYER_CHANGE);
            EXPECT_EQ(player->getTransform(0), c.mirrored ? 2 : 0);
        }
        // Other phases: nothing.
        frame({p.get()});
        EXPECT_EQ(player->getPhase(), c.state == InGamePlayer::USING_ITEM ? 6 : 3);
    }
}

TEST_F(InGameDisguisedPeopleTest, AChaseEndsAtHomeAfterATurnAndResetRestoresTheStart) {
    setWalls({{{160, 40}}});
    for (jint look : {0, 1, 4, 5}) {
        SCOPED_TRACE(look);
        // A standing watcher, alarmed, walks its way into the wall, turns,
        // and stops back home facing as it stood.
        VMPtr<InGameDisguisedPeople> p = make(look, 100, 0);
        if (look % 2 == 1) {
            p->mirrorSlot(0);  // let it run right, into the wall
        }
        p->raiseAlarm();
        EXPECT_EQ(p->getSlotIndex(1), InGameDisguisedPeople::MARK_ALARM);
        EXPECT_FALSE(p->headingHome);
        walk(
            p.get(), [&] { return !p->chasing; }, 100);
        EXPECT_FALSE(p->chasing);
        EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_STAND);
        EXPECT_EQ(p->getSlotIndex(1), 0);
        EXPECT_LE(std::abs(p->getSlotX(0) - 100), 5);
        EXPECT_EQ(p->getTransform(0), look % 2 == 1 ? 2 : 0);

        // Reset from anywhere: home, no chase, no mark, its own facing.
        p->raiseAlarm();
        p->setPassesDoors(true);
        p->mirrorSlot(0);
        walk(
            p.get(), [] { return false; }, 3);
        p->reset();
        EXPECT_EQ(p->getSlotX(0), 100);
        EXPECT_FALSE(p->chasing);
        EXPECT_FALSE(p->passesDoors);
        EXPECT_TRUE(p->headingHome);
        EXPECT_EQ(p->getSlotIndex(1), 0);
        EXPECT_EQ(p->getSlotIndex(0), InGameDisguisedPeople::ANIM_STAND);
        EXPECT_EQ(p->getTransform(0), look % 2 == 1 ? 2 : 0);
    }
    VMPtr<InGameDisguisedPeople> walker = make(2, 100, 2);
    walker->setPassesDoors(false);
    walker->reset();
    EXPECT_TRUE(walker->passesDoors);
    EXPECT_EQ(walker->getSlotIndex(0), InGameDisguisedPeople::ANIM_WALK);
    walker->turnAround();
    EXPECT_EQ(walker->getSlotIndex(0), InGameDisguisedPeople::ANIM_TURN);
}

}  // namespace

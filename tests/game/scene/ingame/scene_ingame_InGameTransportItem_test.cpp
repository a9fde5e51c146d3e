// Transport items on hand-made level tables: paths in travel order, stairs
// entered only by the held key of their end, an elevator boarded at its door
// rows and ridden up and out, a passage to its other end, and a busy player
// who never boards.
#include <functional>

#include "game_test_support.h"
#include "ingame_test_support.h"
#include "java_lang_IllegalArgumentException.h"
#include "scene_ingame_InGameTransportItem.h"

namespace {

using com::ventrix::utility::MyObject;
using ingametest::GamePad;
using ingametest::InGameObject;
using ingametest::InGamePlayer;
using ingametest::kAction, ingametest::kDown, ingametest::kUp;
using P = InGamePlayer;
using T = scene::ingame::InGameTransportItem;

// One frame with the given boxes; every animation one 40 ms step; the
// finite ones lead to the next number; dy(a) moves animation a (two steps).
VMPtr<ts::AnimSet> lookSet(
    std::vector<spritetest::BoxSpec> boxes, int count, std::set<int> once,
    std::function<int(int)> dy = [](int) { return 0; }) {
    using namespace spritetest;
    std::vector<AnimSpec> anims;
    for (int a = 0; a < count; ++a)
        anims.push_back(dy(a) != 0 ? AnimSpec{1, {{0, 40, 0, dy(a)}, {0, 40, 0, dy(a)}}}
                                   : AnimSpec{once.count(a) ? 1 : -1, {{0, 40}}});
    return setOf(animSetBytes({{{{0, -4, -8}}, boxes}}, anims));
}

class TransportTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        sam::SamGameSave::currentLevel = 0;
        // The airport's pairs. Stairs: box 0 the foot, box 1 the landing 64
        // up and right. The elevator's box spans the shaft; its car moves a
        // row down (1) or up (3). The hatch opens (1) and closes (3).
        ingametest::putInCache(0x100C, 0x1000, lookSet({{-8, -48, 40, 48, 0}, {56, -112, 40, 48, 1}}, 1, {}));
        ingametest::putInCache(0x100E, 0x1002, lookSet({{-24, -300, 48, 600, 0}}, 13, {6, 8}, [](int a) {
                                   return a == 1 ? 32 : a == 3 ? -32 : 0;
                               }));
        ingametest::putInCache(0x100F, 0x1003, lookSet({{-20, -60, 40, 60, 0}}, 5, {1, 3}));
        player = InGamePlayer::create()->construct();
        InGameObject::player = player;
    }

    // Component records (airport: variant, path, x, y) and path points
    // (path, id, next, x, y, type); one transport per record.
    void level(const std::vector<std::vector<jint>>& components, const std::vector<std::vector<jint>>& points) {
        VMPtr<VMIntRows> records = VMIntRows::create(jint(components.size()), 5);
        for (size_t i = 0; i < components.size(); ++i)
            for (jint k = 0; k < 5; ++k) (*records->get(jint(i)))[k] = k == 0 ? 1 : components[i][k - 1];
        VMPtr<VMArray<jint, 3>> parts = VMArray<jint, 3>::create(2);
        for (jint g = 0; g < 2; ++g) {
            std::vector<std::vector<jint>> mine;
            for (const auto& p : points)
                if (p[0] == g) mine.push_back(p);
            parts->set(g, VMIntRows::create(jint(mine.size()), 6));
            for (size_t i = 0; i < mine.size(); ++i)
                for (jint k = 0; k < 6; ++k) (*parts->get(g)->get(jint(i)))[k] = mine[i][k];
        }
        level_()->componentRecords = records;
        level_()->transportParts = parts;
        items.clear();
        for (size_t i = 0; i < components.size(); ++i) {
            items.push_back(T::create()->construct());
            items.back()->setUp(jint(i));
        }
    }
    scene::ingame::LevelLoader* level_() { return InGameObject::levelLoader.get(); }
    void spawn(jint x, jint y, bool busy = false) {
        player->respawn(0, x, y);
        player->endInteraction();
        if (busy) player->beginInteraction(77, 9);
        player->setExposed(true);
    }
    // One frame as the scene runs it: the pad, the transports, the player.
    void frame(bool transportsOnly = false) {
        MyObject::frameTime = 40;
        GamePad::getInstance()->update();
        for (auto& t : items) t->update(0, 0);
        if (!transportsOnly) player->update(0, 0);
    }
    void press(jint action, bool transportsOnly = false) {
        keys->pressed = {action};
        frame(transportsOnly);
        keys->pressed.clear();
    }
    void runUntil(const std::function<bool()>& done, int max = 60) {
        for (int n = 0; n < max && !done(); ++n) frame();
        ASSERT_TRUE(done()) << "not reached in " << max << " frames";
    }
    bool is(jint state, jint phase = -1) {
        return player->getState() == state && (phase < 0 || player->getPhase() == phase);
    }

    VMPtr<InGamePlayer> player;
    std::vector<VMPtr<T>> items;
};

TEST_F(TransportTest, PathsInTravelOrderAndEachTypesSlots) {
    // Ids 5 -> 9 -> 10 (9's next, 7, is smaller: the id after); no 11.
    level({{1, 0, 100, 630}},
          {{0, 9, 7, 164, 566, 1}, {0, 5, 9, 100, 630, 1}, {0, 10, 0, 200, 540, 1}, {0, 12, 0, 0, 0, 1}});
    T* stairs = items[0].get();
    EXPECT_EQ(stairs->getTransportType(), 1);
    EXPECT_EQ(leveltest::ints(stairs->path->get(0)), (std::vector<jint>{0, 5, 9, 100, 630, 1}));
    EXPECT_EQ((*stairs->path->get(2))[1], 10);
    EXPECT_EQ(stairs->path->get(3), nullptr);  // the chain breaks there
    EXPECT_EQ(stairs->getTransform(0), 2);     // odd variants are mirrored
    EXPECT_EQ(stairs->getLayer(), 80);

    // An elevator two rows high (cabin, three doors from the top, car) and
    // both ends of a passage, each with its own place as point 0.
    level({{4, 0, 300, 630}, {5, 1, 500, 630}, {5, 1, 800, 502}},
          {{0, 0, 1, 300, 630, 2}, {0, 1, 0, 300, 502, 2}, {1, 0, 1, 500, 630, 3}, {1, 1, 0, 800, 502, 3}});
    T* lift = items[0].get();
    ASSERT_EQ(lift->getSlotCount(), 5);
    EXPECT_EQ(lift->doorLayer, 4);
    for (jint s = 0; s < 5; ++s) {
        const bool door = s != 0 && s != 4;
        EXPECT_EQ(lift->getSlotIndex(s), door ? T::DOOR_CLOSED : T::CABIN_REST);
        EXPECT_EQ(lift->getSlotY(s), door ? 502 + (s - 1) * 64 : 630);
    }
    EXPECT_EQ((*items[1]->path->get(0))[3], 500);
    EXPECT_EQ((*items[2]->path->get(0))[3], 800);

    // A location without that pair, or a path the level lacks: refused.
    VMPtr<VMInts> record = level_()->componentRecords->get(0);
    for (auto [field, value] : {std::pair{0, 0}, {2, 7}}) {
        (*record)[field] = value;
        EXPECT_THROW(T::create()->construct()->setUp(0), java::lang::IllegalArgumentException*);
    }
}

TEST_F(TransportTest, StairsEnterOnlyByTheHeldKeyOfTheirEnd) {
    level({{0, 0, 100, 630}}, {{0, 0, 1, 100, 630, 0}, {0, 1, 0, 164, 566, 0}});
    struct Case {
        jint x, y, held;
        bool busy;
        jint phase;  // of the climb; -1 none
    } cases[] = {{105, 630, kUp, false, 0},   {105, 630, kDown, false, -1}, {170, 566, kUp, false, -1},
                 {170, 566, kDown, false, 4}, {105, 630, kUp, true, -1},    {300, 630, kUp, false, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " " << c.held << " " << c.busy);
        spawn(c.x, c.y, c.busy);
        keys->held = {c.held};
        frame(true);
        EXPECT_EQ(player->getState(), c.phase < 0 ? P::STANDING : P::CLIMBING);
        if (c.phase < 0) continue;
        EXPECT_EQ(player->getPhase(), c.phase);
        EXPECT_EQ(player->getInteractionTarget(), 0);
        EXPECT_EQ(player->path->length, 2);
    }
}

TEST_F(TransportTest, TheElevatorIsRiddenUpAndLeftAtTheTopRow) {
    level({{4, 0, 300, 630}}, {{0, 0, 1, 300, 630, 2}, {0, 1, 0, 300, 502, 2}});
    T* lift = items[0].get();
    spawn(300, 630);
    press(kAction);
    ASSERT_TRUE(is(P::MOUNTING));
    EXPECT_EQ(lift->doorLayer, 3);  // the bottom row's door
    // The door opens, the player gets in, the door closes, the shaft shows.
    runUntil([&] { return is(P::HELD, 1); });
    EXPECT_EQ(lift->getSlotIndex(1), T::SHAFT_TOP);
    EXPECT_EQ(lift->getSlotIndex(3), T::SHAFT);

    // Down at the bottom row does not start the car; up does, two rows; up
    // at the top row does nothing more.
    keys->held = {kDown};
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_EQ(lift->getSlotIndex(4), T::CAR_STANDING);
    keys->held = {kUp};
    runUntil([&] { return player->getSlotY(0) == 502 && lift->getSlotIndex(4) == 4; });
    for (int i = 0; i < 4; ++i) frame();
    EXPECT_EQ(player->getSlotY(0), 502);
    EXPECT_EQ(lift->getSlotY(0), 502);  // the cabin went along

    // Action: the top door opens, the player steps out, the door closes.
    keys->held.clear();
    press(kAction);
    EXPECT_EQ(lift->doorLayer, 1);
    EXPECT_EQ(lift->getSlotIndex(2), T::DOOR_CLOSED);
    runUntil([&] { return is(P::STANDING); });
    frame();
    EXPECT_FALSE(player->isEngaged());
    EXPECT_EQ(lift->getSlotIndex(1), T::DOOR_SHUT);
    lift->reset(0);
    EXPECT_EQ(lift->getSlotIndex(1), T::DOOR_CLOSED);
    EXPECT_EQ(lift->getSlotY(0), 630);
}

TEST_F(TransportTest, TheElevatorBoardsOnlyAtItsDoorRowsAndNotWhenBusy) {
    level({{4, 0, 300, 630}}, {{0, 0, 1, 300, 630, 2}, {0, 1, 0, 300, 502, 2}});
    // Rows 0 (above the top door) and 4 (below the bottom one) meet the
    // cabin's and the car's boxes but hold no door. The cabin waits at a
    // busy player's row, kept inside the shaft.
    for (jint y : {438, 694, 502}) {
        for (bool busy : {false, true}) {
            SCOPED_TRACE(testing::Message() << y << " " << busy);
            spawn(300, y, busy);
            press(kAction, true);
            EXPECT_EQ(player->getState(), y == 502 && !busy ? P::MOUNTING : P::STANDING);
            if (busy) {
                EXPECT_EQ(items[0]->getSlotY(0), y == 694 ? 630 : 502);
            }
        }
    }
}

TEST_F(TransportTest, APassageTakesThePlayerToItsOtherEnd) {
    level({{5, 1, 500, 630}, {5, 1, 800, 502}}, {{1, 0, 1, 500, 630, 3}, {1, 1, 0, 800, 502, 3}});
    spawn(500, 630, true);  // busy: never enters
    press(kAction);
    EXPECT_TRUE(is(P::STANDING));
    spawn(500, 630);
    press(kAction);
    ASSERT_TRUE(is(P::MOUNTING));
    // The near hatch opens, lets the player in and closes behind.
    runUntil([&] { return is(P::RIDING, 2) && items[0]->getSlotIndex(0) == T::HATCH_SHUT; });
    EXPECT_EQ(player->getSlotX(0), 800);
    // Once the camera has come, the far hatch opens and lets the player out.
    player->setOrigin(700, 400);
    runUntil([&] { return is(P::STANDING); });
    frame();
    EXPECT_EQ(items[1]->getSlotIndex(0), T::HATCH_SHUT);
    EXPECT_EQ(player->getSlotY(0), 502);
    items[1]->reset(1);
    EXPECT_EQ(items[1]->getSlotIndex(0), T::HATCH_CLOSED);
}

}  // namespace

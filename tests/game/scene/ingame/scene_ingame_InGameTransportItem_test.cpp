// Transport items on hand-made level tables: stairs entered at either end by
// the right held key only, an elevator boarded at its door rows and ridden
// up and out, a passage from one end to the other, and a busy player who
// never boards.
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
using scene::ingame::InGameTransportItem;
using T = InGameTransportItem;

// The airport's pairs (location 1): variant 0 stairs, 4 elevator, 5 passage.
constexpr jint kStairs = 0x100C, kStairsSet = 0x1000;
constexpr jint kLift = 0x100E, kLiftSet = 0x1002;
constexpr jint kHatch = 0x100F, kHatchSet = 0x1003;

// One frame, one box set per look; the finite animations play one 40 ms step
// and lead to the next number.
VMPtr<ts::AnimSet> lookSet(std::vector<spritetest::BoxSpec> boxes, jint count, std::set<int> once,
                           std::function<int(int)> dy = nullptr) {
    using namespace spritetest;
    std::vector<AnimSpec> anims;
    for (int a = 0; a < count; ++a) {
        const int step = dy ? dy(a) : 0;
        if (step != 0)
            anims.push_back({1, {{0, 40, 0, step}, {0, 40, 0, step}}});
        else
            anims.push_back({once.count(a) ? 1 : -1, {{0, 40}}});
    }
    return setOf(animSetBytes({{{{0, -4, -8}}, boxes}}, anims));
}

class TransportTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = 0;
        // Stairs: the foot (box 0) and the top landing (box 1), 64 up and right.
        ingametest::putInCache(kStairs, kStairsSet, lookSet({{-8, -48, 40, 48, 0}, {56, -112, 40, 48, 1}}, 1, {}));
        // The elevator: a box as high as the shaft on every slot; the car
        // moves a row (64) down in 1 and up in 3.
        ingametest::putInCache(kLift, kLiftSet, lookSet({{-24, -300, 48, 600, 0}}, 13, {6, 8}, [](int a) {
                                   return a == 1 ? 32 : a == 3 ? -32 : 0;
                               }));
        ingametest::putInCache(kHatch, kHatchSet, lookSet({{-20, -60, 40, 60, 0}}, 5, {1, 3}));
        VMPtr<InGamePlayer> p = InGamePlayer::create()->construct();
        InGameObject::player = p;
        player = p;
    }

    // Component records and the path groups they name.
    struct Component {
        jint variant, path, x, y;
    };
    struct Point {
        jint path, id, next, x, y, type;
    };
    void level(const std::vector<Component>& components, const std::vector<Point>& points) {
        VMPtr<VMIntRows> records = VMIntRows::create(jint(components.size()), 5);
        for (size_t i = 0; i < components.size(); ++i) {
            const Component& c = components[i];
            const jint values[5] = {1, c.variant, c.path, c.x, c.y};
            for (jint k = 0; k < 5; ++k) (*records->get(jint(i)))[k] = values[k];
        }
        jint groups = 0;
        for (const Point& p : points) groups = std::max(groups, p.path + 1);
        VMPtr<VMArray<jint, 3>> parts = VMArray<jint, 3>::create(groups);
        for (jint g = 0; g < groups; ++g) {
            std::vector<Point> mine;
            for (const Point& p : points)
                if (p.path == g) mine.push_back(p);
            VMPtr<VMIntRows> rows = VMIntRows::create(jint(mine.size()), 6);
            for (size_t i = 0; i < mine.size(); ++i) {
                const Point& p = mine[i];
                const jint values[6] = {p.path, p.id, p.next, p.x, p.y, p.type};
                for (jint k = 0; k < 6; ++k) (*rows->get(jint(i)))[k] = values[k];
            }
            parts->set(g, rows);
        }
        InGameObject::levelLoader->componentRecords = records;
        InGameObject::levelLoader->transportParts = parts;
        items.clear();
        for (size_t i = 0; i < components.size(); ++i) {
            VMPtr<T> t = T::create()->construct();
            t->setUp(jint(i));
            items.push_back(t);
        }
    }
    void spawn(jint x, jint y) {
        player->respawn(0, x, y);
        player->setExposed(true);
    }
    // One frame as the scene runs it: the pad, the transports, the player.
    void frame() {
        MyObject::frameTime = 40;
        GamePad::getInstance()->update();
        for (auto& t : items) t->update(0, 0);
        player->update(0, 0);
    }
    int runUntil(const std::function<bool()>& done, int max = 40) {
        for (int n = 1; n <= max; ++n) {
            frame();
            if (done()) return n;
        }
        ADD_FAILURE() << "not reached in " << max << " frames";
        return max;
    }
    // Holds or presses a key for one frame (a press is seen once).
    void press(jint action) {
        keys->pressed = {action};
        frame();
        keys->pressed.clear();
    }
    bool state(jint s, jint phase = -1) {
        return player->getState() == s && (phase < 0 || player->getPhase() == phase);
    }

    VMPtr<InGamePlayer> player;
    std::vector<VMPtr<T>> items;
};

TEST_F(TransportTest, PathsAreCopiedInTravelOrderAndLooksFollowTheType) {
    // Stored out of order; ids 5 -> 9 -> 7 (the next id 7 is smaller: 10 follows).
    level({{1, 0, 100, 630}},
          {{0, 9, 7, 164, 566, 1}, {0, 5, 9, 100, 630, 1}, {0, 10, 0, 200, 540, 1}, {0, 12, 0, 0, 0, 1}});
    T* stairs = items[0].get();
    EXPECT_EQ(stairs->getTransportType(), 1);
    ASSERT_EQ(stairs->path->length, 4);
    EXPECT_EQ(leveltest::ints(stairs->path->get(0)), (std::vector<jint>{0, 5, 9, 100, 630, 1}));
    EXPECT_EQ((*stairs->path->get(1))[1], 9);
    EXPECT_EQ((*stairs->path->get(2))[1], 10);
    EXPECT_EQ(stairs->path->get(3), nullptr);  // no point 11: the chain breaks there
    EXPECT_EQ(stairs->getTransform(0), 2);     // odd variants are mirrored
    EXPECT_EQ(stairs->getLayer(), 80);

    // An elevator two rows high: cabin, three doors from the top, the car.
    level({{4, 0, 300, 630}, {5, 1, 500, 630}, {5, 1, 800, 502}},
          {{0, 0, 1, 300, 630, 2}, {0, 1, 0, 300, 502, 2}, {1, 0, 1, 500, 630, 3}, {1, 1, 0, 800, 502, 3}});
    T* lift = items[0].get();
    ASSERT_EQ(lift->getSlotCount(), 5);
    EXPECT_EQ(lift->doorLayer, 4);
    EXPECT_EQ(lift->getLayer(), 50);
    for (jint s = 0; s < 5; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(lift->getSlotIndex(s), s == 0 || s == 4 ? T::CABIN_REST : T::DOOR_CLOSED);
        EXPECT_EQ(lift->getSlotY(s), s == 0 || s == 4 ? 630 : 502 + (s - 1) * 64);
    }
    // Each end of the passage has its own place as point 0.
    EXPECT_EQ((*items[1]->path->get(0))[3], 500);
    EXPECT_EQ((*items[2]->path->get(0))[3], 800);
    EXPECT_EQ((*items[2]->path->get(1))[3], 500);

    // A location without that pair, or a path the level lacks, is refused.
    (*InGameObject::levelLoader->componentRecords->get(0))[0] = 0;
    EXPECT_THROW(T::create()->construct()->setUp(0), java::lang::IllegalArgumentException*);
    (*InGameObject::levelLoader->componentRecords->get(0))[0] = 1;
    (*InGameObject::levelLoader->componentRecords->get(0))[2] = 7;
    EXPECT_THROW(T::create()->construct()->setUp(0), java::lang::IllegalArgumentException*);
}

TEST_F(TransportTest, StairsEnterOnlyByTheHeldKeyOfTheirEnd) {
    level({{0, 0, 100, 630}}, {{0, 0, 1, 100, 630, 0}, {0, 1, 0, 164, 566, 0}});
    struct Case {
        const char* what;
        jint x, y;
        jint held;
        bool busy;
        jint state, phase;  // afterwards
    };
    const std::vector<Case> cases = {
        {"foot, up", 105, 630, kUp, false, InGamePlayer::CLIMBING, 0},
        {"foot, down", 105, 630, kDown, false, InGamePlayer::STANDING, 0},
        {"top, up", 170, 566, kUp, false, InGamePlayer::STANDING, 0},
        {"top, down", 170, 566, kDown, false, InGamePlayer::CLIMBING, 4},
        {"foot, up, busy", 105, 630, kUp, true, InGamePlayer::STANDING, 0},
        {"away, up", 300, 630, kUp, false, InGamePlayer::STANDING, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        spawn(c.x, c.y);
        player->endInteraction();
        if (c.busy) player->beginInteraction(77, 9);
        keys->held = {c.held};
        GamePad::getInstance()->update();
        items[0]->update(0, 0);
        EXPECT_EQ(player->getState(), c.state);
        EXPECT_EQ(player->getPhase(), c.phase);
        if (c.state == InGamePlayer::CLIMBING) {
            EXPECT_EQ(player->getInteractionTarget(), 0);
            EXPECT_EQ(player->getInteractionKind(), 0);
            EXPECT_FALSE(player->isExposed());
            EXPECT_EQ(player->path->length, 2);
        }
    }
}

TEST_F(TransportTest, TheElevatorIsRiddenUpAndLeftAtTheTopRow) {
    level({{4, 0, 300, 630}}, {{0, 0, 1, 300, 630, 2}, {0, 1, 0, 300, 502, 2}});
    T* lift = items[0].get();
    spawn(300, 630);
    press(kAction);
    ASSERT_TRUE(state(InGamePlayer::MOUNTING));
    EXPECT_EQ(lift->doorLayer, 3);  // the bottom row's door
    EXPECT_EQ(player->getInteractionTarget(), 0);

    // The door opens, the player gets in, the door closes, the shaft shows.
    runUntil([&] { return state(InGamePlayer::HELD, 1); });
    EXPECT_EQ(lift->getSlotIndex(1), T::SHAFT_TOP);
    EXPECT_EQ(lift->getSlotIndex(2), T::SHAFT);
    EXPECT_EQ(lift->getSlotIndex(3), T::SHAFT);

    // Down at the bottom row does not start the car; up does, twice.
    keys->held = {kDown};
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_EQ(lift->getSlotIndex(4), T::CAR_STANDING);
    keys->held = {kUp};
    runUntil([&] { return player->getSlotY(0) == 502 && lift->getSlotIndex(4) == 4; });
    EXPECT_EQ(lift->getSlotY(0), 502);  // the cabin went along
    // Up at the top row does nothing more.
    for (int i = 0; i < 4; ++i) frame();
    EXPECT_EQ(player->getSlotY(0), 502);
    EXPECT_EQ(lift->getSlotIndex(4), 4);

    // Action: the top door opens, the player steps out and the door closes.
    keys->held.clear();
    press(kAction);
    EXPECT_EQ(lift->doorLayer, 1);
    EXPECT_EQ(lift->getSlotIndex(4), T::CABIN_REST);
    EXPECT_EQ(lift->getSlotIndex(2), T::DOOR_CLOSED);
    runUntil([&] { return state(InGamePlayer::STANDING); }, 60);
    frame();  // the door has finished closing
    EXPECT_FALSE(player->isEngaged());
    EXPECT_EQ(player->getSlotY(0), 502);
    EXPECT_EQ(lift->getSlotIndex(1), T::DOOR_SHUT);

    // The rest look comes back.
    lift->reset(0);
    EXPECT_EQ(lift->getSlotIndex(1), T::DOOR_CLOSED);
    EXPECT_EQ(lift->getSlotY(0), 630);
    EXPECT_EQ(lift->doorLayer, 4);
}

TEST_F(TransportTest, TheElevatorBoardsOnlyAtItsDoorRowsAndNotWhenBusy) {
    level({{4, 0, 300, 630}}, {{0, 0, 1, 300, 630, 2}, {0, 1, 0, 300, 502, 2}});
    T* lift = items[0].get();
    // Rows 0 (above the top door) and 4 (below the bottom one) meet the
    // cabin's and the car's boxes but hold no door.
    for (jint y : {502 - 64, 630 + 64, 502}) {
        for (bool busy : {false, true}) {
            SCOPED_TRACE(testing::Message() << y << (busy ? " busy" : ""));
            spawn(300, y);
            player->endInteraction();
            if (busy) player->beginInteraction(77, 9);
            keys->pressed = {kAction};
            GamePad::getInstance()->update();
            lift->update(0, 0);
            keys->pressed.clear();
            EXPECT_EQ(player->getState(), y == 502 && !busy ? InGamePlayer::MOUNTING : InGamePlayer::STANDING);
            if (busy) {  // the cabin waits at the player's row, kept inside the shaft
                EXPECT_EQ(lift->getSlotY(0), y == 502 - 64 ? 502 : y == 502 ? 502 : 630);
            }
        }
    }
}

TEST_F(TransportTest, APassageTakesThePlayerToItsOtherEnd) {
    level({{5, 1, 500, 630}, {5, 1, 800, 502}}, {{1, 0, 1, 500, 630, 3}, {1, 1, 0, 800, 502, 3}});
    T* near = items[0].get();
    T* far = items[1].get();
    spawn(500, 630);
    press(kAction);
    ASSERT_TRUE(state(InGamePlayer::MOUNTING));
    EXPECT_EQ(player->getInteractionKind(), 3);
    // The near hatch opens, the player goes in and it closes behind.
    runUntil([&] { return state(InGamePlayer::RIDING, 2); });
    EXPECT_EQ(player->getSlotX(0), 800);
    runUntil([&] { return near->getSlotIndex(0) == T::HATCH_SHUT; });
    // Once the camera has come, the far hatch opens and lets the player out.
    player->setOrigin(700, 400);
    runUntil([&] { return state(InGamePlayer::STANDING); }, 60);
    frame();
    EXPECT_EQ(far->getSlotIndex(0), T::HATCH_SHUT);
    EXPECT_EQ(player->getSlotY(0), 502);
    EXPECT_FALSE(player->isEngaged());
    far->reset(1);
    EXPECT_EQ(far->getSlotIndex(0), T::HATCH_CLOSED);

    // A busy player standing on a hatch never enters.
    spawn(500, 630);
    player->beginInteraction(77, 9);
    press(kAction);
    EXPECT_TRUE(state(InGamePlayer::STANDING));
}

}  // namespace

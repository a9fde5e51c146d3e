// Walking up behind a guard on the pad and pressing action: one finger lets
// go of the arrow before it can come down on the action button, and the
// agent still takes the step under way. Played on the tutorial's patrolling
// guard (a porter, who catches a plain face), walking away and standing with
// his back turned: for each place where the finger leaves the arrow, what a
// press after a pause does, and the frames until a catch when no press comes.
// Let go behind him, a press within half a second (12 frames) never gets the
// agent caught.
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "game_run.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"

using playharness::Harness;
using scene::ingame::InGameDisguisedPeople;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameScene;

namespace {

constexpr int NOTHING = 0, KNOCKED_OUT = InGamePlayer::USING_ITEM, JACKET = InGamePlayer::DISGUISING,
              CAUGHT = InGamePlayer::CAUGHT;
constexpr int NO_PRESS = -1, NEVER = -1;  // NEVER: no catch within the frames watched

class KnockOutRunTest : public gamerun::GameRun {
protected:
    static auto* guard() { return dynamic_cast<InGameDisguisedPeople*>(InGameObject::disguisedPeople->get(0)); }
    // From the agent's middle to the guard's, along the way they both face.
    static int gap() { return guard()->getSlotX(0) - InGameObject::playerX; }

    // The agent, plain and standing, on the guard's floor where the
    // tutorial's hatch lets it out, and the guard back at his start: walking
    // his patrol, or standing there; then until his back is turned within
    // 140 px, as the tutorial's own solution waits for him.
    bool restage(bool walking) {
        InGamePlayer* p = InGameObject::player.get();
        p->endInteraction();
        p->progress = -1;  // the body afresh, in the agent's own clothes
        p->respawn(0, 370, InGameObject::playerY);
        p->setExposed(true);
        InGameDisguisedPeople* g = guard();
        g->mode = walking ? InGameDisguisedPeople::MODE_WALKING : InGameDisguisedPeople::MODE_STANDING;
        g->reset();
        harness.step();
        const nlohmann::json wait = nlohmann::json::parse(
            R"({"wait": true, "until": {"watcher": {"index": 0, "backTurned": true, "within": 140}}})");
        if (walking) return playStep(wait);
        // Standing, he faces right, his back to the agent coming from the left.
        return g->getTransform(0) == 0 && g->getSlotX(0) > InGameObject::playerX;
    }
};

TEST_F(KnockOutRunTest, LettingGoBehindAGuardAndPressingWithinHalfASecondNeverGetsTheAgentCaught) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    // The tutorial by the pad, up to its patrolling guard's floor.
    byPad = true;
    const nlohmann::json solution = solutionOf("tutorial");
    size_t at = 0;
    while (at < solution.size() && !solution[at].value("until", nlohmann::json::object()).contains("watcher")) ++at;
    ASSERT_LT(at, solution.size());
    ASSERT_TRUE(startLevel(global::GameScene::TUTORIAL, 0) && playSteps(solution, 0, at));

    struct Case {
        bool walking;  // the guard walks away, or stands
        int letGo;     // the arrow is let go once the gap is at most this
        int wait;      // frames from letting go to the press; NO_PRESS
        int outcome;   // what the press leads to (the player's state)
        int caughtIn;  // without a press: frames from letting go to the catch, or NEVER
    } cases[] = {
        // clang-format off
        // Standing with his back turned. The agent still takes some 12 px
        // after the finger leaves the arrow: let go from a step behind him
        // (his jacket) to touching his back (down he goes), the press works
        // however late it comes; let go at his back's very edge, the agent
        // ends at his middle, where a press finds no back; let go past his
        // middle and the agent walks on into his sight.
        {false, 100, 1, NOTHING, NEVER}, {false, 70, 1, JACKET, NEVER},
        {false, 56, 1, JACKET, NEVER}, {false, 56, 12, JACKET, NEVER}, {false, 56, NO_PRESS, NOTHING, NEVER},
        {false, 40, 1, KNOCKED_OUT, NEVER},
        {false, 24, 1, KNOCKED_OUT, NEVER}, {false, 24, 12, KNOCKED_OUT, NEVER}, {false, 24, NO_PRESS, NOTHING, NEVER},
        {false, 20, 1, KNOCKED_OUT, NEVER}, {false, 20, 12, KNOCKED_OUT, NEVER}, {false, 16, 1, NOTHING, NEVER},
        {false, 8, 12, NOTHING, NEVER}, {false, -14, NO_PRESS, CAUGHT, 2},
        // Walking away, he leaves the agent behind while the finger moves:
        // touching becomes a step behind, and his middle his back.
        {true, 56, 1, JACKET, NEVER}, {true, 56, 12, JACKET, NEVER}, {true, 40, 1, JACKET, NEVER},
        {true, 24, 1, KNOCKED_OUT, NEVER}, {true, 24, 12, JACKET, NEVER}, {true, 24, NO_PRESS, NOTHING, NEVER},
        {true, 16, 1, KNOCKED_OUT, NEVER}, {true, 16, 12, KNOCKED_OUT, NEVER},
        {true, 8, 1, KNOCKED_OUT, NEVER}, {true, 8, 12, KNOCKED_OUT, NEVER},
        {true, 4, 1, NOTHING, NEVER}, {true, 4, 12, KNOCKED_OUT, NEVER},
        {true, -4, 12, KNOCKED_OUT, NEVER}, {true, -4, NO_PRESS, NOTHING, NEVER},
        // clang-format on
    };
    const auto right = padButton(padCode("right"));
    const auto action = padButton(padCode("action"));
    ASSERT_TRUE(right.first >= 0 && action.first >= 0) << "the pad's arrow or action button is missing";
    std::printf("guard     let go at  gap  gap 4 frames on  wait  outcome  caught after\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.walking ? "walking" : "standing") << ", let go at " << c.letGo
                                        << ", press after " << c.wait);
        ASSERT_TRUE(restage(c.walking));
        harness.touchDown(right.first, right.second);
        ASSERT_TRUE(harness.stepUntil([&] { return gap() <= c.letGo; }, 400));
        harness.touchUp(right.first, right.second);
        const int letGoAt = gap();
        const auto outcome = [] {
            if (Harness::inGameState() == InGameScene::CAUGHT) return CAUGHT;
            const jint s = InGameObject::player->getState();
            return s == KNOCKED_OUT || s == JACKET || s == CAUGHT ? s : NOTHING;
        };
        int seen = NOTHING, caughtIn = NEVER, frame = 0, settled = 0;
        // The pause, the finger on the action button, its lift (the press),
        // then long enough for anything the press or the guard starts.
        for (; frame < 150 && seen == NOTHING; ++frame) {
            if (c.wait != NO_PRESS && frame == c.wait) harness.touchDown(action.first, action.second);
            if (c.wait != NO_PRESS && frame == c.wait + 1) harness.touchUp(action.first, action.second);
            harness.step();
            if (frame == 4) settled = gap();
            seen = outcome();
        }
        if (seen == CAUGHT) caughtIn = frame;
        if (c.wait != NO_PRESS && frame <= c.wait + 1) ADD_FAILURE() << "something happened before the press: " << seen;
        std::printf("%-9s %9d %4d %16d %5d %8d %13d\n", c.walking ? "walking" : "standing", c.letGo, letGoAt, settled,
                    c.wait, seen, caughtIn);
        EXPECT_EQ(seen, c.outcome);
        EXPECT_EQ(caughtIn, c.caughtIn);
        EXPECT_FALSE(c.letGo > 0 && c.wait != NO_PRESS && seen == CAUGHT) << "caught after a press, let go behind him";
        if (seen == CAUGHT) {
            ASSERT_TRUE(harness.stepUntil([] { return Harness::inGameState() == InGameScene::CAUGHT; }, 300));
            ASSERT_TRUE(confirmCaught());
        }
        // Whatever the press started plays out before the next case.
        harness.stepUntil([] { return InGameObject::player->getState() == InGamePlayer::STANDING; }, 300);
    }
}

// Knocked out, a guard lends his outfit to a press anywhere beside him: at
// his head, his feet or over him, and again, lying in his underwear, once the
// outfit has been taken.
TEST_F(KnockOutRunTest, ALyingGuardLendsHisOutfitToAPressAnywhereBesideHim) {
    if (std::getenv("VESSILO_GC_STRESS") != nullptr) GTEST_SKIP() << "a whole level is left to the other runs";
    const nlohmann::json solution = solutionOf("tutorial");
    size_t at = 0;
    while (at < solution.size() && !solution[at].value("until", nlohmann::json::object()).contains("watcher")) ++at;
    ASSERT_TRUE(startLevel(global::GameScene::TUTORIAL, 0) && playSteps(solution, 0, at));
    ASSERT_TRUE(restage(false));
    const auto step = [](const std::string& text) { return nlohmann::json::parse(text); };
    ASSERT_TRUE(playStep(
        step(R"({"hold": "right", "until": {"xAtLeast": )" + std::to_string(guard()->getSlotX(0) - 28) + "}}")));
    ASSERT_TRUE(playStep(step(R"({"press": "action", "until": {"state": 9}})")));
    ASSERT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
    const jint lying = guard()->getSlotX(0);
    for (int offset : {-48, -20, 0, 20, 48}) {
        SCOPED_TRACE(testing::Message() << "pressed " << offset << " px from him");
        InGamePlayer* p = InGameObject::player.get();
        p->progress = -1;
        p->respawn(0, lying + offset, InGameObject::playerY);
        p->setExposed(true);
        harness.step();
        EXPECT_TRUE(playStep(step(R"({"press": "action", "until": {"state": 10}})")));
        EXPECT_TRUE(playStep(step(R"({"wait": true, "until": {"state": 0}})")));
        EXPECT_EQ(guard()->getSlotIndex(0), InGameDisguisedPeople::ANIM_UNDRESSED);
        guard()->setSlotIndex(0, InGameDisguisedPeople::ANIM_KNOCKED_OUT_UNDRESSED);
    }
}

}  // namespace

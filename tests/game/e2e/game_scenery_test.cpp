// The scenery drawn over the agent in the tutorial (the airport): at a
// closed door he is stopped beside it and stays in sight, in an open door
// he is seen through its frame, and walking on the floor under a flight of
// stairs or an escalator he shows through its steps and rails. At the top of
// either flight the path's last point is where the top tread meets the
// upper floor: the agent's soles rest on it. One golden holds the four
// views side by side.
#include <functional>
#include <string>

#include "ce_window.h"
#include "com_ventrix_utility_MyObject.h"
#include "game_run.h"
#include "golden.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "lcdui_test_support.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTransportItem.h"

using global::GameScene;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using scene::ingame::InGameObject;
using scene::ingame::InGameTransportItem;

namespace {

constexpr int kCropWidth = 160, kCropHeight = 176;

class SceneryTest : public gamerun::GameRun {
protected:
    // `key` held (none when 0) until `done` holds, at most `most` frames,
    // then `after` frames without it; false when `done` never held.
    bool hold(unsigned key, int most, const std::function<bool()>& done = {}, int after = 2) {
        if (key != 0) harness.keyDown(key);
        const bool held = harness.stepUntil([&] { return done && done(); }, most);
        if (key != 0) harness.keyUp(key);
        harness.step(after);
        return held;
    }
    // The agent placed with his feet at (x, y), then `frames` frames with
    // `key` held (none when 0).
    void placeAndStep(jint x, jint y, unsigned key, int frames) {
        InGameObject::player->setPositionAll(x, y);
        hold(key, frames);
    }
    // The presented frame around the agent, copied into the sheet's
    // column `column`; the body's share in sight is checked on the way.
    void takeView(int column, const char* what) {
        const BodySeen seen = bodySeen();
        EXPECT_TRUE(seen.checked) << what;
        EXPECT_GE(seen.shown * 2, seen.drawn) << what << ": " << seen.shown << " of " << seen.drawn;
        jint body[4];
        ASSERT_TRUE(bodyOnScreen(body)) << what;
        const Picture frame = harness.frame();
        const int left = body[0] + body[2] / 2 - kCropWidth / 2, top = body[1] + body[3] - kCropHeight + 48;
        for (int y = 0; y < kCropHeight; ++y)
            for (int x = 0; x < kCropWidth; ++x) {
                const int fx = left + x, fy = top + y;
                const bool inside = fx >= 0 && fy >= 0 && fx < frame.width && fy < frame.height;
                sheet.argb[size_t(y) * size_t(sheet.width) + size_t(column * kCropWidth + x)] =
                    inside ? frame.at(fx, fy) : 0xFF000000u;
            }
    }
    // The lowest opaque row of the agent and the highest opaque row of the
    // flight `t` just under it, in the columns of the agent's anchor
    // (screen rows).
    std::pair<int, int> solesAndTread(InGameObject* t) {
        jint body[4];
        if (!bodyOnScreen(body)) return {-1, -1};
        const jint ax = body[0] + body[2] / 2;
        auto alone = [&](InGameObject* o) {
            VMPtr<Image> image = Image::createImage(480, 640);
            VMPtr<Graphics> g = image->getGraphics();
            g->setColor(0xFF00FF);
            g->fillRect(0, 0, 480, 640);
            if (o != nullptr) o->paint(g);
            return pictureOf(image);
        };
        const Picture agent = alone(InGameObject::player.get()), flight = alone(t);
        const uint32_t ground = alone(nullptr).at(0, 0);
        int soles = -1, tread = 640;
        for (int x = ax - 3; x <= ax + 3; ++x)
            for (int y = 0; y < 640; ++y)
                if (agent.at(x, y) != ground) soles = std::max(soles, y);
        // The tread under them, below the hand rail's end post.
        for (int x = ax - 3; x <= ax + 3; ++x)
            for (int y = soles - 8; y < 640; ++y)
                if (flight.at(x, y) != ground) tread = std::min(tread, y);
        return {soles, tread};
    }

    // The level's flights of stairs and escalators.
    static std::vector<InGameTransportItem*> flights() {
        std::vector<InGameTransportItem*> found;
        for (jint i = 0; i < InGameObject::transportItems->length; ++i) {
            auto* t = dynamic_cast<InGameTransportItem*>(InGameObject::transportItems->get(i));
            if (t != nullptr && t->transportType <= 1) found.push_back(t);
        }
        return found;
    }

    // The agent placed on flight `t`'s first point and up held until he
    // stands on its last point; there his soles must rest on the tread
    // under them (screen rows, within 2), and once he is left alone the
    // climb must be over. False when he never gets there.
    bool climbToTop(InGameTransportItem* t, const std::string& what) {
        VMInts* first = t->path->get(0);
        VMInts* last = t->path->get(t->path->length - 1);
        if (first == nullptr || last == nullptr) return false;
        placeAndStep((*first)[3], (*first)[4], 0, 30);
        const auto atTop = [&] { return InGameObject::playerX == (*last)[3] && InGameObject::playerY == (*last)[4]; };
        if (!hold(ce::VK_UP, 300, atTop, 0)) return false;
        const auto [soles, tread] = solesAndTread(t);
        std::printf("%s: soles on row %d, top tread from row %d\n", what.c_str(), soles, tread);
        EXPECT_LE(std::abs(tread - soles - 1), 2) << what << ": soles " << soles << ", tread " << tread;
        harness.step(3);
        EXPECT_NE(InGameObject::player->getState(), scene::ingame::InGamePlayer::CLIMBING) << "left alone at the top";
        return true;
    }

    Picture sheet{4 * kCropWidth, kCropHeight, std::vector<uint32_t>(4 * kCropWidth * kCropHeight, 0xFF000000u)};
};

TEST_F(SceneryTest, TheAgentStaysInSightAtDoorsAndUnderFlights) {
    ASSERT_TRUE(startLevel(GameScene::TUTORIAL, -1));
    ASSERT_TRUE(playSteps(solutionOf("tutorial"), 0, 1));

    // The door the tutorial opens with its first key card: the agent
    // walks into it from the right and is stopped, then opens it and
    // stands in it.
    InGameObject* door = nullptr;
    for (jint i = 0; i < InGameObject::interactionItems->length; ++i) {
        InGameObject* d = InGameObject::interactionItems->get(i);
        if (d != nullptr && d->getSlotX(0) == 960) door = d;
    }
    ASSERT_NE(door, nullptr);
    const jint doorX = door->getSlotX(0), floor = door->getSlotY(0);
    placeAndStep(doorX + 64, floor, ce::VK_LEFT, 40);
    EXPECT_GT(InGameObject::playerX, doorX + 8) << "stopped by the closed door";
    takeView(0, "at the closed door");
    InGameObject::player->progress = 1;  // its key card
    pressKey(ce::VK_RETURN);
    harness.step(20);

    ASSERT_TRUE(hold(ce::VK_LEFT, 60, [&] { return InGameObject::playerX <= doorX; }));
    takeView(1, "in the open door");

    // Under each flight, 40 px in from its first point on the lower floor;
    // then up it to its last point and off its top.
    for (InGameTransportItem* t : flights()) {
        VMInts* first = t->path->get(0);
        VMInts* last = t->path->get(t->path->length - 1);
        ASSERT_NE(last, nullptr);
        const jint way = (*last)[3] > (*first)[3] ? 1 : -1;
        const int column = (*first)[3] < 800 ? 2 : 3;  // the stairs, then the escalator
        const std::string flight = column == 2 ? "stairs" : "escalator";
        SCOPED_TRACE(flight);
        placeAndStep((*first)[3] + way * 40, (*first)[4], 0, 40);
        takeView(column, ("under the " + flight).c_str());
        ASSERT_TRUE(climbToTop(t, flight + " top"));
        hold(way > 0 ? ce::VK_RIGHT : ce::VK_LEFT, 10, {}, 0);
        EXPECT_NE(InGameObject::playerX, (*last)[3]) << "walks off the top";
    }
    EXPECT_TRUE(matchesGolden("game", "ingame_scenery", sheet, {16, 0.01}));
}

// Every flight of every level: its top tread lies under the agent's soles
// where its path ends, the mirrored flights as the others.
class FlightTopTest : public SceneryTest, public ::testing::WithParamInterface<int> {};

TEST_P(FlightTopTest, EveryFlightsTopTreadCarriesTheAgentAtItsLastPoint) {
    const std::string name = gamerun::levelName(GetParam());
    ASSERT_TRUE(startLevel(GetParam()));
    ASSERT_TRUE(playSteps(solutionOf(name), 0, 1));
    // Watchers and traps are taken out of the scene: the agent is put at
    // each flight's foot wherever they are.
    for (InGameObject::Objects* kind : {InGameObject::disguisedPeople.get(), InGameObject::traps.get()})
        for (jint i = 0; kind != nullptr && i < kind->length; ++i)
            if (kind->get(i) != nullptr) inGame()->removeObject(VMPtr<com::ventrix::utility::MyObject>(kind->get(i)));
    for (InGameTransportItem* t : flights()) {
        const std::string flight = name + " flight at " + std::to_string(t->getSlotX(0)) + ", " +
                                   std::to_string(t->getSlotY(0)) + (t->getTransform(0) != 0 ? " (mirrored)" : "");
        ASSERT_TRUE(climbToTop(t, flight))
            << flight << ": the agent at " << InGameObject::playerX << ", " << InGameObject::playerY << " in state "
            << InGameObject::player->getState() << ", scene state " << inGame()->state;
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, FlightTopTest, ::testing::Range(-1, 11), gamerun::levelParamName);

}  // namespace

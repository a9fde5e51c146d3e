// Playing a level in the in-game scene: the camera, the head-up display, the
// checkpoints and the state machine, on small levels loaded stage by stage
// and driven frame by frame as the scene manager drives them: the scene's
// update, the touch poll, the paint.
#include <string>
#include <vector>

#include "ingame_test_support.h"
#include "scene/menu/menu_test_support.h"
#include "scene_test_support.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyFont.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTargetItem.h"
#include "scene_ingame_MyListMenu.h"
#include "ts_input_PointerInputEventManager.h"

using com::ventrix::ui::Screen;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameScene;
using scene::ingame::InGameTargetItem;
using scene::ingame::MyListMenu;

namespace playtest {

// An object that counts the restart points saved on it.
class SaveCounter : public InGameObject {
    VM_DECLARE_CLASS(SaveCounter, InGameObject)

public:
    int saves = 0;
    VMPtr<SaveCounter> construct() {
        Super::construct();
        return this;
    }
    void saveState() override { ++saves; }
};

// A save object that only notes the records asked for.
class NoteSave : public sam::SamGameSave {
    VM_DECLARE_CLASS(NoteSave, sam::SamGameSave)

public:
    std::vector<jint> saved;
    VMPtr<NoteSave> construct() {
        Super::construct();
        return this;
    }
    void saveRecord(jint kind) override { saved.push_back(kind); }
};

}  // namespace playtest

VM_REGISTER_CLASS(playtest::SaveCounter, .name = "playtest.SaveCounter")
VM_REGISTER_CLASS(playtest::NoteSave, .name = "playtest.NoteSave")

namespace {

// A level of 40 x 30 tiles of 32 (1280 x 960: a view of 480 x 640), the
// player at (96, 900) and targets in a row at y 880.
nlohmann::json playLevel(std::vector<jint> targetXs) {
    nlohmann::json level = ingamescene::smallLevel();
    nlohmann::json cells = nlohmann::json::array();
    for (int r = 0; r < 30; ++r) {
        nlohmann::json row = nlohmann::json::array();
        for (int c = 0; c < 40; ++c) row.push_back(1 + (r + c) % 2);
        cells.push_back(row);
    }
    level["map"] = {{"width", 40}, {"height", 30}, {"cells", cells}};
    nlohmann::json targets = nlohmann::json::array();
    for (size_t i = 0; i < targetXs.size(); ++i)
        targets.push_back({{"x", targetXs[i]}, {"y", 880}, {"kind", 0}, {"index", i}});
    for (auto& group : level["objects"]) {
        if (group["type"] == 21) group["objects"] = {{{"x", 96}, {"y", 900}, {"value", 0}}};
        if (group["type"] == 23) {
            group["span"] = 2000;
            group["objects"] = targets;
        }
    }
    return level;
}

class PlayTest : public ingamescene::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        keys = ingametest::ScriptKey::create()->construct();
        MyKey::instance = keys;
        InGameObject::myKey = nullptr;
        InGameObject::myPointer = nullptr;
        InGameObject::reachedTargets = 0;
        sam::SamGameSave::unlockedLevel = 0;
        ts::input::PointerInputEventManager::setEnabled(true);
    }
    void TearDown() override {
        if (s != nullptr) s->dispose();
        s = nullptr;
        save = nullptr;
        screenImage = nullptr;
        MyKey::instance = nullptr;
        InGameObject::player = nullptr;
        InGameObject::targetItems = nullptr;
        InGameObject::levelLoader = nullptr;
        InGameObject::frozen = false;
        scene::ingame::GamePad::instance = nullptr;
        SceneFixture::TearDown();
    }

    // The scene loaded up to play: its level view, its objects and the
    // overlays; state 6 from the level's start.
    void build(jint level, const nlohmann::json& file) {
        serve(level, file);
        // Made first: it reads the stored progress.
        save = playtest::NoteSave::create()->construct();
        save->saved.clear();
        sam::SamGameSave::currentLevel = level;
        s = level < 0 ? InGameScene::create()->construct(12) : InGameScene::create()->construct();
        s->canvas = canvas;
        do s->loadStage0();
        while (s->stage0Busy != 0);
        do s->loadStage1();
        while (s->stage1Busy != 0);
        p = s->player;
        ASSERT_EQ(s->state, InGameScene::RESTART);
        s->loadStage2();
        s->trimObjects();
        s->sortPaintOrder();
        s->loading = false;
        s->gameSave = save;
    }
    // One frame as the scene manager runs it; keys held for this frame.
    void frame(std::set<jint> pressed = {}) {
        keys->pressed = std::move(pressed);
        s->update();
        keys->pressed.clear();
        MyPointer::getInstance()->update();
        paint();
    }
    void paint() {
        if (screenImage == nullptr) screenImage = javax::microedition::lcdui::Image::createImage(480, 640);
        VMPtr<javax::microedition::lcdui::Graphics> g = screenImage->getGraphics();
        g->setColor(0x203040);
        g->fillRect(0, 0, 480, 640);
        s->paint(g);
    }
    void confirm() { frame({ingametest::kAction}); }
    // A tap: pressed and released before the next frame's poll.
    void tap(jint x, jint y) {
        canvas->pointerPressed(x, y);
        canvas->pointerReleased(x, y);
    }
    // Frames until the state is `state` (at most `most`); the frames run.
    int until(jint state, int most = 400) {
        int n = 0;
        while (s->state != state && n < most) {
            frame();
            ++n;
        }
        return n;
    }
    // Confirms until the story board closes (or the scene is left).
    void readStory() {
        for (int n = 0; n < 30 && s->storyBoard->isVisible() && manager->asked.empty(); ++n) confirm();
    }
    // The player caught, the caught panel in (its first animation run) and
    // confirmed: the scene restarts.
    void getCaughtAndConfirm() {
        p->setState(InGamePlayer::CAUGHT);
        ASSERT_EQ(until(InGameScene::CAUGHT), 3);
        s->overlayScreenA->setSlotIndex(0, 1);
        confirm();
    }
    // The pause panel open with its menu.
    void openPauseMenu() {
        s->pause();
        ASSERT_EQ(s->state, InGameScene::PAUSED);
        for (int n = 0; n < 100 && !menu()->isVisible(); ++n) frame();
        ASSERT_TRUE(menu()->isVisible());
    }
    // Taps menu entry `row`, then the question's yes (box 1) or no (box 0).
    void chooseEntry(jint row) {
        VMPtr<ts::graphics::CollisionBox> box = MyPointer::getInstance()->touchBoxes->get(row);
        tap(box->x + box->width / 2, box->y + box->height / 2);
        frame();
        frame();
    }
    void answer(jint box) {
        VMPtr<VMInts> r = VMInts::create(10);
        ASSERT_GT(s->pausePanel->getCollisionRects(1, r, box), 0);
        tap((*r)[0] + (*r)[2] / 2, (*r)[1] + (*r)[3] / 2);
        frame();
        frame();
    }
    InGameObject* target(jint i) { return s->targetItems->get(i); }
    std::vector<jint> cam() { return {(*s->camera)[0], (*s->camera)[1]}; }
    std::vector<jint> camTarget() { return {(*s->cameraTarget)[0], (*s->cameraTarget)[1]}; }
    MyListMenu* menu() { return dynamic_cast<MyListMenu*>(s->panel.get()); }
    // Plays the level from its start up to play (state 1), confirming each
    // story page.
    void playToPlaying() {
        for (int n = 0; n < 600 && s->state != InGameScene::PLAYING; ++n) {
            if (s->storyBoard->isVisible())
                confirm();
            else
                frame();
        }
        ASSERT_EQ(s->state, InGameScene::PLAYING);
    }

    VMPtr<ingametest::ScriptKey> keys;
    VMPtr<InGameScene> s;
    VMPtr<InGamePlayer> p;
    VMPtr<playtest::NoteSave> save;
    VMPtr<javax::microedition::lcdui::Image> screenImage;
};

TEST_F(PlayTest, CameraClampsStepsAndFollows) {
    build(0, playLevel({400, 1100}));
    EXPECT_EQ((std::vector<jint>{s->viewWidth, s->viewHeight, s->worldWidth, s->worldHeight, s->cameraStep}),
              (std::vector<jint>{480, 640, 1280, 960, 48}));
    struct Clamp {
        jint x, y, cx, cy;
    };
    for (const Clamp& c :
         {Clamp{-50, -1, 0, 0}, Clamp{100, 200, 100, 200}, Clamp{1000, 900, 800, 320}, Clamp{800, 320, 800, 320}}) {
        s->setCameraTarget(c.x, c.y);
        EXPECT_EQ(camTarget(), (std::vector<jint>{c.cx, c.cy})) << c.x << "," << c.y;
    }

    // Whole steps, then the rest exactly, toward and away from the origin.
    (*s->camera)[0] = 0;
    (*s->camera)[1] = 320;
    s->setCameraTarget(100, 300);
    EXPECT_FALSE(s->stepCamera());
    EXPECT_EQ(cam(), (std::vector<jint>{48, 300}));
    EXPECT_FALSE(s->stepCamera());
    EXPECT_TRUE(s->stepCamera());
    EXPECT_EQ(cam(), (std::vector<jint>{100, 300}));
    EXPECT_TRUE(s->stepCamera());
    s->setCameraTarget(10, 299);
    EXPECT_FALSE(s->stepCamera());
    EXPECT_EQ(cam(), (std::vector<jint>{52, 299}));
    EXPECT_TRUE(s->stepCamera());

    // A quarter of the view ahead of the player, behind it when mirrored.
    p->respawn(0, 600, 900);
    s->followPlayer();
    const jint h = p->getSlotHeight(0);
    EXPECT_EQ(camTarget(), (std::vector<jint>{600 - 120, std::min<jint>(320, 900 - (h + 640) / 2)}));
    p->mirrorSlot(0);
    ASSERT_NE(p->getTransform(0), 0);
    s->followPlayer();
    EXPECT_EQ(camTarget()[0], 600 - 360);

    // A world no wider than the view keeps x at 0.
    s->worldWidth = s->viewWidth = 480;
    for (jint x : {-5, 0, 7, 900}) {
        s->setCameraTarget(x, 0);
        EXPECT_EQ(camTarget()[0], 0) << x;
    }
}

TEST_F(PlayTest, ApplyCameraReachesTheObjectsAndMarksTheActiveTargetOnTheViewsEdge) {
    build(0, playLevel({400, 1100}));
    frame();  // the restart builds the targets
    struct Case {
        jint cx, cy;
        bool active;
        jint mx, my;  // the marker's point
    };
    for (const Case& c : {Case{600, 100, true, 600, 740}, Case{0, 320, true, 400, 880}, Case{100, 0, true, 400, 640},
                          Case{0, 0, false, 0, 0}}) {
        (*s->camera)[0] = c.cx;
        (*s->camera)[1] = c.cy;
        target(0)->setSlotIndex(1, c.active ? InGameScene::TARGET_ACTIVE : 1);
        target(1)->setSlotIndex(1, 1);
        s->applyCamera();
        EXPECT_EQ(p->getOriginX(), c.cx);
        EXPECT_EQ(target(1)->getOriginY(), c.cy);
        EXPECT_EQ(s->cellLayer->getViewX(), c.cx);
        EXPECT_EQ(InGameObject::viewX, c.cx - 480);
        EXPECT_EQ(InGameObject::viewY, c.cy - 640);
        EXPECT_EQ(s->targetIndicator->getSlotIndex(1), InGameScene::MARKER_HIDDEN);
        if (!c.active) {
            EXPECT_EQ(s->targetIndicator->getSlotIndex(0), InGameScene::MARKER_HIDDEN);
            continue;
        }
        EXPECT_EQ(s->targetIndicator->getSlotIndex(0), InGameScene::MARKER_SHOWN);
        EXPECT_EQ((std::vector<jint>{s->targetIndicator->getSlotX(0), s->targetIndicator->getSlotY(0)}),
                  (std::vector<jint>{c.mx, c.my}));
        EXPECT_EQ((std::vector<jint>{target(0)->getSlotX(1), target(0)->getSlotY(1)}), (std::vector<jint>{c.mx, c.my}));
    }
    // A still camera still reaches an object put into a kind's array since
    // (one made before the camera last moved, so only the array tells).
    VMPtr<InGameObject> spare = InGameObject::create()->construct();
    (*s->camera)[0] = 33;
    (*s->camera)[1] = 44;
    s->applyCamera();
    s->applyCamera();
    EXPECT_EQ(spare->getOriginX(), 0);
    VMPtr<InGameObject> kept = target(1);
    s->targetItems->set(1, spare);
    s->applyCamera();
    EXPECT_EQ((std::vector<jint>{spare->getOriginX(), spare->getOriginY()}), (std::vector<jint>{33, 44}));
    s->targetItems->set(1, kept);
}

TEST_F(PlayTest, TheBarShowsTheDisguiseTimeAndTheIconTheOutfit) {
    build(0, playLevel({400}));
    frame();
    VMPtr<VMInts> full = VMInts::create(5);
    s->screen->getCollisionRects(2, full, 0);
    ASSERT_GT((*full)[2], 1);
    struct Case {
        jint time, width, icon;
    };
    for (const Case& c : {Case{0, 1, 0}, Case{2500, (*full)[2] * 2500 / 5000, 5}, Case{5000, (*full)[2], 0},
                          Case{1, (*full)[2] / 5000, 5}}) {
        s->screen->setSlotIndex(3, 5);
        p->disguiseTimer = c.time;
        s->updateHud();
        VMPtr<VMInts> bar = s->screen->rects->get(2);
        ASSERT_NE(bar.get(), nullptr);
        EXPECT_EQ((std::vector<jint>{(*bar)[0], (*bar)[1], (*bar)[2], (*bar)[3]}),
                  (std::vector<jint>{(*full)[0], (*full)[1], c.width, (*full)[3]}))
            << c.time;
        // Chosen at 5000 only; the player's own body is the first icon.
        EXPECT_EQ(s->screen->getSlotIndex(3), c.icon) << c.time;
    }
    EXPECT_EQ((*s->screen->rectColors)[2], InGameScene::BAR_COLOR);
}

TEST_F(PlayTest, EnteringAZoneSavesOnceAndAgainAfterLeaving) {
    nlohmann::json level = playLevel({400, 1100});
    level["objects"].push_back({{"type", 14}, {"span", 2000}, {"objects", {{{"x", 300}, {"y", 880}, {"kind", 1}}}}});
    build(0, level);
    playToPlaying();
    // Taken and reached before the checkpoint: the key and target 0.
    InGameObject* key = s->keyItems->get(0);
    key->setSlotIndex(0, 0);
    target(0)->setSlotIndex(0, 1);
    VMPtr<playtest::SaveCounter> item = playtest::SaveCounter::create()->construct();
    VMPtr<InGameObject::Objects> items = InGameObject::Objects::create(1);
    items->set(0, item);
    s->interactionItems = items;
    VMPtr<VMIntRows> zones = VMIntRows::create(2, 4);
    for (jint k : {0, 1}) {
        (*zones->get(k))[0] = 200 + 500 * k;
        (*zones->get(k))[1] = 800;
        (*zones->get(k))[2] = 128;
        (*zones->get(k))[3] = 96;
    }
    s->levelLoader->zoneRecords = zones;
    struct Step {
        jint x;
        jint zone, checkpoint, saves;
    };
    for (const Step& st : {Step{100, -1, -1, 0}, Step{260, 0, 0, 1}, Step{270, 0, 0, 1}, Step{450, -1, 0, 1},
                           Step{260, 0, 0, 2}, Step{760, 1, 1, 3}, Step{760, 1, 1, 3}}) {
        p->setPositionAll(st.x, 880);
        s->updateCheckpoints();
        EXPECT_EQ((std::vector<jint>{s->lastCheckpointZone, s->checkpoint, item->saves}),
                  (std::vector<jint>{st.zone, st.checkpoint, st.saves}))
            << st.x;
    }
    // Changed after the checkpoint: lost again by the restart.
    key->setSlotIndex(0, 2);
    target(0)->setSlotIndex(0, 0);
    target(1)->setSlotIndex(0, 1);

    // Caught after the second zone: back at the middle of its bottom edge,
    // the camera placed at once, play again.
    const jint h = p->getSlotHeight(0);
    ASSERT_NO_FATAL_FAILURE(getCaughtAndConfirm());
    ASSERT_EQ(s->state, InGameScene::RESTART);
    frame();
    EXPECT_EQ(s->state, InGameScene::PLAYING);
    EXPECT_EQ((std::vector<jint>{p->getSlotX(0), p->getSlotY(0)}), (std::vector<jint>{700 + 64, 800 + 96}));
    EXPECT_EQ(cam(), (std::vector<jint>{700 - 120, std::min<jint>(320, 800 - (h + 640) / 2)}));
    EXPECT_TRUE(s->screen->isVisible());
    EXPECT_FALSE(s->overlayScreenA->isVisible());
    EXPECT_EQ(s->overlayScreenA->getSlotCount(), 0);
    EXPECT_FALSE(InGameObject::frozen);
    EXPECT_EQ((std::vector<jint>{key->getSlotIndex(0), target(0)->getSlotIndex(0), target(1)->getSlotIndex(0)}),
              (std::vector<jint>{0, 1, 0}));
    EXPECT_EQ(InGameObject::reachedTargets, 1);
    EXPECT_EQ(s->currentTarget, 2);
}

// From the level's start: the restart in one frame, the level story in the
// next two, the pan over the targets, the camera back to the player and the
// first target's story, then play. The frames before the story show the
// world over the player's start and no story box (it would hold another
// text until the level's own is set).
TEST_F(PlayTest, ALevelStartsWithItsStoryAPanOverTheTargetsAndTheFirstTargetsStory) {
    build(3, playLevel({400, 1100}));
    EXPECT_FALSE(s->storyBoard->isVisible());
    frame();  // T: the restart
    EXPECT_EQ(s->state, InGameScene::LEVEL_STORY);
    EXPECT_TRUE(InGameObject::frozen);
    EXPECT_FALSE(s->screen->isVisible());
    EXPECT_EQ(cam(), (std::vector<jint>{0, 320}));
    EXPECT_FALSE(s->storyBoard->isVisible());
    EXPECT_EQ(InGameObject::reachedTargets, 0);
    EXPECT_EQ(s->currentTarget, 1);
    EXPECT_EQ((std::vector<jint>{p->getSlotX(0), p->getSlotY(0)}), (std::vector<jint>{96, 900}));
    EXPECT_EQ(s->step, 0);
    frame();  // T + 1: the camera at the player's start
    EXPECT_EQ(cam(), (std::vector<jint>{0, 320}));
    EXPECT_FALSE(s->storyBoard->isVisible());
    EXPECT_EQ(s->step, 1);
    frame();  // T + 2: the level's story
    EXPECT_TRUE(s->storyBoard->isVisible());
    EXPECT_TRUE(s->storyBoard->isActive());
    EXPECT_EQ(s->step, 2);
    frame();
    EXPECT_EQ(s->state, InGameScene::LEVEL_STORY) << "no confirm, no change";
    for (int n = 0; n < 20 && s->state == InGameScene::LEVEL_STORY; ++n) confirm();
    ASSERT_EQ(s->state, InGameScene::INTRO_PAN);
    EXPECT_FALSE(s->storyBoard->isVisible());

    // The pan: to target 0 (its view clamped), its marker's first
    // animation, then target 1.
    EXPECT_EQ(camTarget(), (std::vector<jint>{400 - 240, 320}));
    int frames = 0;
    while (s->introTarget == 0 && frames++ < 50) frame();
    EXPECT_EQ(cam(), camTarget());
    EXPECT_EQ(target(0)->getSlotIndex(1), 0);
    // Its marker's first animation runs (frozen as the world is), then
    // target 1's turn.
    while (s->introTarget == 1 && frames++ < 100) frame();
    EXPECT_EQ(target(0)->getSlotIndex(1), InGameScene::TARGET_ACTIVE);
    EXPECT_EQ(target(1)->getSlotIndex(1), 0);
    EXPECT_EQ(s->introTarget, 2);
    EXPECT_EQ(camTarget(), (std::vector<jint>{800, 320}));
    while (s->step == 0 && frames++ < 200) frame();
    EXPECT_EQ(s->introTarget, 3);
    EXPECT_EQ(target(1)->getSlotIndex(1), InGameScene::TARGET_ACTIVE);
    frame();
    ASSERT_EQ(s->state, InGameScene::INTRO_FOLLOW);

    // Back to the player, then the first target's story.
    until(InGameScene::PLAYING, 60);
    EXPECT_EQ(s->state, InGameScene::INTRO_FOLLOW);
    EXPECT_TRUE(s->storyBoard->isVisible());
    for (int n = 0; n < 20 && s->state == InGameScene::INTRO_FOLLOW; ++n) confirm();
    EXPECT_EQ(s->state, InGameScene::PLAYING);
    EXPECT_TRUE(s->screen->isVisible());
    EXPECT_FALSE(InGameObject::frozen);
}

TEST_F(PlayTest, CaughtPanelComesOneFrameAfterTheCatchAndTakesConfirmOnlyAfterItsFirstAnimation) {
    build(0, playLevel({400, 1100}));
    playToPlaying();
    p->setState(InGamePlayer::CAUGHT);
    frame();  // the player's catch runs
    EXPECT_FALSE(p->isCaughtSettled());
    frame();
    EXPECT_TRUE(p->isCaughtSettled());
    EXPECT_EQ(s->step, 1);
    EXPECT_FALSE(s->overlayScreenA->isVisible());
    frame();
    EXPECT_EQ(s->state, InGameScene::CAUGHT);
    EXPECT_TRUE(s->overlayScreenA->isVisible());
    EXPECT_FALSE(s->screen->isVisible());
    EXPECT_EQ(s->overlayScreenA->getSlotCount(), 2);
    EXPECT_EQ(s->overlayScreenA->getSlotIndex(1), 2);
    EXPECT_FALSE(s->caughtWord->isVisible()) << "the word waits for the panel to drop in";
    // A confirm before the panel's first animation has run is not taken.
    if (s->overlayScreenA->getSlotIndex(0) == 0) {
        confirm();
        EXPECT_EQ(s->state, InGameScene::CAUGHT);
    }
    for (int n = 0; n < 400 && s->overlayScreenA->getSlotIndex(0) != 1; ++n) frame();
    ASSERT_EQ(s->overlayScreenA->getSlotIndex(0), 1);
    frame();
    EXPECT_EQ(s->overlayScreenA->getSlotIndex(1), 1);
    EXPECT_EQ(s->state, InGameScene::CAUGHT);
    // The panel says what happened, in the title font.
    EXPECT_TRUE(s->caughtWord->isVisible());
    EXPECT_EQ(text(s->caughtWord->labelText->get(0)),
              text(com::ventrix::utility::MyFont::getInstance()->texts->getString(InGameScene::CAUGHT_TEXT)));
    EXPECT_EQ((*s->caughtWord->labelFont)[0], 1);
    EXPECT_GT(s->caughtWord->getLayer(), s->overlayScreenA->getLayer());
    confirm();
    EXPECT_EQ(s->state, InGameScene::RESTART);
    frame();  // no checkpoint reached: from the level's start
    EXPECT_EQ(s->state, InGameScene::LEVEL_STORY);
    EXPECT_FALSE(s->overlayScreenA->isVisible());
    EXPECT_FALSE(s->caughtWord->isVisible());
}

// A restart from the level's start (chosen in the pause menu, or a catch
// before any checkpoint) gives a fresh agent: no key taken, the agent's own
// clothes and no disguise time, the key back in its place. A catch after a
// checkpoint gives back what the checkpoint kept.
// The image resource the player's body is drawn from.
jint lookOf(InGamePlayer* p) {
    const jint index = p->getImageIndex(0);
    VMInts* ids = com::ventrix::utility::ResManager::slotKeys->get(com::ventrix::utility::ResManager::KEY_GOBS);
    return index >= 0 && index < ids->length ? (*ids)[index] : -1;
}

TEST_F(PlayTest, ARestartFromTheStartForgetsTheKeysAndTheOutfit) {
    enum How { kRestartChosen, kCaughtBeforeCheckpoint, kCaughtAfterCheckpoint };
    for (How how : {kRestartChosen, kCaughtBeforeCheckpoint, kCaughtAfterCheckpoint}) {
        SCOPED_TRACE(how);
        nlohmann::json level = playLevel({400, 1100});
        level["objects"].push_back(
            {{"type", 14}, {"span", 2000}, {"objects", {{{"x", 300}, {"y", 880}, {"kind", 2}}}}});
        build(0, level);
        playToPlaying();
        const jint ownLook = lookOf(p.get());
        // The key taken, a guard's outfit put on (his look as the agent wears it).
        InGameObject* key = s->keyItems->get(0);
        key->setSlotIndex(0, scene::ingame::InGameKeyItem::TAKEN);
        p->raiseProgress(3);
        p->loadAnimation(0, 0x3009, scene::ingame::InGameDisguisedPeople::playerSetOf(0), 0, p->getSlotX(0),
                         p->getSlotY(0));
        p->disguiseTimer = 2000;
        ASSERT_NE(lookOf(p.get()), ownLook);
        if (how == kCaughtAfterCheckpoint) {
            VMPtr<VMIntRows> zones = VMIntRows::create(1, 4);
            (*zones->get(0))[0] = 0;
            (*zones->get(0))[1] = 800;
            (*zones->get(0))[2] = 1280;
            (*zones->get(0))[3] = 160;
            s->levelLoader->zoneRecords = zones;
            s->lastCheckpointZone = -1;  // entered from outside
            s->updateCheckpoints();
            ASSERT_EQ(s->checkpoint, 0);
        }
        if (how == kRestartChosen) {
            openPauseMenu();
            chooseEntry(1);
            answer(1);
        } else {
            ASSERT_NO_FATAL_FAILURE(getCaughtAndConfirm());
        }
        ASSERT_EQ(s->state, InGameScene::RESTART);
        frame();
        if (how == kCaughtAfterCheckpoint) {
            EXPECT_EQ(s->state, InGameScene::PLAYING);
            EXPECT_EQ(p->getProgress(), 3);
            EXPECT_NE(lookOf(p.get()), ownLook);
            EXPECT_EQ(p->getDisguiseTimer(), 5000);
            EXPECT_EQ(key->getSlotIndex(0), scene::ingame::InGameKeyItem::TAKEN);
        } else {
            EXPECT_EQ(s->state, InGameScene::LEVEL_STORY);
            EXPECT_EQ(p->getProgress(), 0) << "no key counts any more";
            EXPECT_EQ(lookOf(p.get()), InGamePlayer::BODY_IMAGE);
            EXPECT_EQ(p->getDisguiseTimer(), 0);
            EXPECT_EQ(key->getSlotIndex(0), 3) << "the key lies in its place";
            EXPECT_EQ((std::vector<jint>{key->getSlotX(0), key->getSlotY(0)}), (std::vector<jint>{300, 880}));
            // Played again to the same point: the checkpoint's save is the
            // fresh agent, not the one before the restart.
            playToPlaying();
            EXPECT_EQ(p->getProgress(), 0);
        }
        s->dispose();
        s = nullptr;
    }
}

// The pause panel: opened only in play, its menu once open; the pause
// button's tap pauses; resume closes the panel and plays on.
TEST_F(PlayTest, PauseOnlyInPlayAndResumeClosesThePanel) {
    build(0, playLevel({400, 1100}));
    frame();
    s->pause();
    EXPECT_EQ(s->state, InGameScene::LEVEL_STORY) << "no pause before play";
    EXPECT_FALSE(s->pausePanel->isVisible());
    playToPlaying();

    // The pause button, tapped on the display.
    VMPtr<VMInts> button = VMInts::create(5);
    ASSERT_GT(s->screen->getCollisionRects(1, button, 0), 0);
    tap((*button)[0] + (*button)[2] / 2, (*button)[1] + (*button)[3] / 2);
    frame();  // polled
    frame();  // read
    EXPECT_EQ(s->state, InGameScene::PAUSED);
    EXPECT_TRUE(InGameObject::frozen);
    EXPECT_TRUE(s->quietOnResume);
    EXPECT_TRUE(s->pausePanel->isVisible());
    EXPECT_EQ(s->screen->getSlotIndex(1), 4);
    EXPECT_FALSE(menu()->isVisible());
    s->pause();  // paused already: nothing
    EXPECT_EQ(s->state, InGameScene::PAUSED);

    for (int n = 0; n < 100 && !menu()->isVisible(); ++n) frame();
    ASSERT_TRUE(menu()->isVisible());
    EXPECT_EQ(s->pausePanel->getSlotIndex(0), 1);
    EXPECT_TRUE(menu()->isActive());

    // Resume: the first entry.
    VMPtr<ts::graphics::CollisionBox> row = MyPointer::getInstance()->touchBoxes->get(0);
    tap(row->x + row->width / 2, row->y + row->height / 2);
    frame();
    frame();
    EXPECT_FALSE(menu()->isVisible());
    EXPECT_FALSE(InGameObject::frozen);
    EXPECT_FALSE(s->quietOnResume);
    EXPECT_EQ(s->pausePanel->getSlotIndex(0), 2);
    for (int n = 0; n < 100 && s->state == InGameScene::PAUSED; ++n) frame();
    EXPECT_EQ(s->state, InGameScene::PLAYING);
    EXPECT_FALSE(s->pausePanel->isVisible());
    EXPECT_EQ(s->screen->getSlotIndex(1), 2);
    EXPECT_EQ(s->screen->getSlotX(1), 480);
}

}  // namespace

namespace {

// After the last target: levels 2, 5 and 8 go straight to the chapter
// picture, the tutorial and the other levels play the level-complete panel
// first; level 10 ends in the main menu. unlockedLevel is saved only when
// it grows.
TEST_F(PlayTest, TheLastTargetEndsTheLevelInItsScene) {
    struct Case {
        jint level, unlockedBefore;
        bool completePanel;
        jint scene, levelAfter, unlockedAfter;
        bool saved;
    };
    // The level's tune playing with the sound on (the audio object muted, as
    // the sound question leaves it at every start).
    VMPtr<com::ventrix::utility::AudioAndVibration> audio = com::ventrix::utility::AudioAndVibration::getInstance();
    VMPtr<menutest::RecordingMedia> media = menutest::RecordingMedia::create();
    VMPtr<VMInts> sounds = VMInts::create(1);
    (*sounds)[0] = 0x5405;
    audio->setSoundIds(sounds);
    audio->setCueTable(VMIntRows::create(12, 1));  // every cue: sound 0
    for (const Case& c :
         {Case{2, 0, false, 14, 3, 3, true}, Case{5, 7, false, 14, 6, 7, false}, Case{8, 8, false, 14, 9, 9, true},
          Case{0, 0, true, 13, 1, 1, true}, Case{-1, 0, true, 13, 0, 0, false}, Case{10, 10, true, 1, 10, 10, false}}) {
        SCOPED_TRACE(c.level);
        manager->asked.clear();
        audio->mediaManager = media;
        audio->musicLoaded = true;
        audio->currentCue = c.level < 0 ? InGameScene::MENU_MUSIC : c.level;
        audio->setMuted(true);
        media->log.clear();
        build(c.level, playLevel({400}));
        sam::SamGameSave::unlockedLevel = c.unlockedBefore;
        playToPlaying();
        InGameObject::reachedTargets = s->currentTarget;  // the target is reached
        frame();
        if (c.level == 10) {
            EXPECT_EQ(s->state, InGameScene::FINAL_PAN);
            for (int n = 0; n < 100 && s->state == InGameScene::FINAL_PAN; ++n) frame();
        }
        ASSERT_EQ(s->state, InGameScene::OBJECTIVE_STORY);
        frame();
        EXPECT_TRUE(InGameObject::frozen);
        EXPECT_TRUE(s->storyBoard->isVisible());
        readStory();
        if (c.completePanel) {
            ASSERT_EQ(s->state, InGameScene::LEVEL_COMPLETE);
            EXPECT_FALSE(InGameObject::frozen);
            frame();
            EXPECT_EQ(p->getState(), 12);
            frame();
            EXPECT_FALSE(s->overlayScreenB->isVisible()) << "waits for the player's cheer";
            p->setSlotIndex(0, 27);
            frame();
            EXPECT_TRUE(s->overlayScreenB->isVisible());
            EXPECT_TRUE(InGameObject::frozen);
            EXPECT_EQ(s->overlayScreenB->getSlotCount(), 2);
            // On screen about two seconds of play before the next scene.
            jint shownMs = 0;
            for (int n = 0; n < 200 && manager->asked.empty(); ++n) {
                frame();
                shownMs += com::ventrix::utility::MyObject::frameTime;
            }
            EXPECT_EQ(s->overlayScreenB->getSlotIndex(0), 1);
            EXPECT_GE(shownMs, 1900);
            EXPECT_LE(shownMs, 2500);
        } else {
            EXPECT_TRUE(InGameObject::frozen) << "the world stays frozen";
            EXPECT_FALSE(s->overlayScreenB->isVisible());
        }
        EXPECT_EQ(manager->asked, std::vector<jint>{c.scene});
        // The next scene has the menu's tune.
        EXPECT_EQ(audio->currentCue, InGameScene::MENU_MUSIC);
        ASSERT_FALSE(media->log.empty());
        EXPECT_EQ(media->log.back(), "playOnChannel 0 0");
        EXPECT_EQ(sam::SamGameSave::currentLevel, c.levelAfter);
        EXPECT_EQ(sam::SamGameSave::unlockedLevel, c.unlockedAfter);
        EXPECT_EQ(save->saved, c.saved ? std::vector<jint>{1} : std::vector<jint>{});
        s->dispose();
        s = nullptr;
    }
    audio->mediaManager = nullptr;
    audio->musicLoaded = false;
    audio->setMuted(false);
}

// A target that is not the last: its story, then play on toward the next.
// At level 9 the story waits until target 0 shows its second animation.
TEST_F(PlayTest, ATargetThatIsNotTheLastLeadsBackToPlay) {
    build(9, playLevel({400, 1100}));
    playToPlaying();
    InGameObject::reachedTargets = 1;
    frame();
    EXPECT_EQ(s->state, InGameScene::PLAYING) << "level 9 waits for target 0";
    target(0)->setSlotIndex(0, 2);
    frame();
    ASSERT_EQ(s->state, InGameScene::OBJECTIVE_STORY);
    frame();
    readStory();
    EXPECT_EQ(s->state, InGameScene::PLAYING);
    EXPECT_EQ(s->currentTarget, 2);
    EXPECT_FALSE(InGameObject::frozen);
    EXPECT_TRUE(s->screen->isVisible());
    EXPECT_TRUE(manager->asked.empty());
}

// Level 10's last pan aims at its first bystander, or at the player when
// the level has none.
TEST_F(PlayTest, TheFinalPanAimsAtTheFirstBystanderOrThePlayer) {
    build(10, playLevel({400, 1100}));
    playToPlaying();
    for (bool bystander : {false, true}) {
        SCOPED_TRACE(bystander);
        VMPtr<InGameObject::Objects> people = InGameObject::Objects::create(bystander ? 1 : 0);
        if (bystander) people->set(0, target(1));
        s->generalPeople = people;
        InGameScene::Screen* aim = bystander ? static_cast<InGameScene::Screen*>(target(1)) : p.get();
        s->state = InGameScene::FINAL_PAN;
        s->step = 0;
        frame();
        const jint depth = InGameObject::depthStep;
        std::vector<jint> want = camTarget();
        s->setCameraTarget(aim->getSlotX(0) - 240, aim->getSlotY(0) - 320 - depth / 4);
        EXPECT_EQ(want, camTarget());
        for (int n = 0; n < 100 && s->state == InGameScene::FINAL_PAN; ++n) frame();
        EXPECT_EQ(cam(), want);
        EXPECT_EQ(s->state, InGameScene::OBJECTIVE_STORY);
    }
}

// The pause menu's quit and restart ask first; the question names the
// entry; no goes back to the menu, yes quits to the menu or the level
// selection, or restarts at the level's start whatever the checkpoint.
TEST_F(PlayTest, PauseMenuQuitAndRestartAskFirst) {
    struct Case {
        jint level, row, answerBox;
        jint scene;  // -1: none
        jint state;
    };
    for (const Case& c : {Case{3, 2, 0, -1, InGameScene::PAUSED}, Case{3, 2, 1, 10, InGameScene::PAUSED},
                          Case{-1, 2, 1, 1, InGameScene::PAUSED}, Case{3, 1, 1, -1, InGameScene::RESTART}}) {
        SCOPED_TRACE(std::to_string(c.level) + " row " + std::to_string(c.row) + " box " + std::to_string(c.answerBox));
        manager->asked.clear();
        build(c.level, playLevel({400, 1100}));
        playToPlaying();
        s->checkpoint = 0;  // a checkpoint reached: a restart still starts afresh
        VMPtr<VMIntRows> zones = VMIntRows::create(1, 4);
        s->levelLoader->zoneRecords = zones;
        openPauseMenu();
        const jint entry = c.row == 2 ? 16 : 26;
        chooseEntry(c.row);
        ASSERT_TRUE(s->confirmOpen);
        EXPECT_EQ(s->confirmAction, c.row == 2 ? 1 : 0);
        EXPECT_FALSE(menu()->isVisible());
        EXPECT_TRUE(s->confirmDialog->isVisible());
        // The question names the entry: its first line is replaced.
        EXPECT_EQ(text(s->confirmDialog->labelText->get(0)),
                  text(com::ventrix::utility::MyFont::getInstance()->texts->getString(entry)));
        EXPECT_EQ((std::vector<jint>{s->pausePanel->getSlotIndex(1), s->pausePanel->getSlotIndex(3),
                                     s->pausePanel->getSlotIndex(2)}),
                  (std::vector<jint>{5, 7, 6}));
        answer(c.answerBox);
        if (c.scene >= 0)
            EXPECT_EQ(manager->asked, std::vector<jint>{c.scene});
        else
            EXPECT_TRUE(manager->asked.empty());
        EXPECT_EQ(s->state, c.state);
        if (c.answerBox == 0) {
            EXPECT_FALSE(s->confirmOpen);
            EXPECT_EQ(s->confirmAction, -1);
            EXPECT_TRUE(menu()->isVisible());
            EXPECT_FALSE(s->confirmDialog->isVisible());
        }
        if (c.state == InGameScene::RESTART) {
            frame();
            EXPECT_EQ(s->state, InGameScene::LEVEL_STORY);
            // Restarted from the start: the panel closed at once.
            EXPECT_EQ(s->checkpoint, -1);
            EXPECT_FALSE(s->quietOnResume);
            EXPECT_FALSE(s->pausePanel->isVisible());
            EXPECT_EQ(s->pausePanel->getSlotIndex(0), 3);
            EXPECT_FALSE(menu()->isVisible());
            EXPECT_FALSE(s->confirmDialog->isVisible());
            EXPECT_FALSE(s->confirmOpen);
        }
        s->dispose();
        s = nullptr;
    }
}

}  // namespace

namespace {

// The pictures of a level's sequences: the intro pan half-way between the
// two targets, the caught panel, the level-complete panel and the pause
// panel with its question open.
TEST_F(PlayTest, GoldenIntroPanCaughtCompleteAndQuestion) {
    const GoldenTolerance text{48, 0.004};
    build(0, playLevel({400, 1100}));
    frame();
    for (int n = 0; n < 300 && s->state != InGameScene::INTRO_PAN; ++n)
        s->storyBoard->isVisible() ? confirm() : frame();
    for (int n = 0; n < 300 && !(s->introTarget == 2 && cam()[0] >= 480); ++n) frame();
    EXPECT_TRUE(matchesGolden("game", "ingame_intro_pan", scenetest::pictureOfImage(screenImage), text));

    playToPlaying();
    p->setState(InGamePlayer::CAUGHT);
    for (int n = 0; n < 300 && s->overlayScreenA->getSlotIndex(1) != 1; ++n) frame();
    EXPECT_TRUE(matchesGolden("game", "ingame_caught", scenetest::pictureOfImage(screenImage), text));
    confirm();
    frame();
    playToPlaying();

    openPauseMenu();
    chooseEntry(2);
    ASSERT_TRUE(s->confirmOpen);
    EXPECT_TRUE(matchesGolden("game", "ingame_question", scenetest::pictureOfImage(screenImage), text));
    answer(0);
    chooseEntry(0);
    for (int n = 0; n < 100 && s->state != InGameScene::PLAYING; ++n) frame();

    InGameObject::reachedTargets = 2;
    s->currentTarget = 2;
    frame();
    frame();
    readStory();
    ASSERT_EQ(s->state, InGameScene::LEVEL_COMPLETE);
    frame();
    p->setSlotIndex(0, 27);
    for (int n = 0; n < 200 && s->overlayScreenB->getSlotIndex(0) != 1 && manager->asked.empty(); ++n) {
        frame();
        if (s->overlayScreenB->isVisible() && s->overlayScreenB->getAnimationFrame(0) >= 3) break;
    }
    EXPECT_TRUE(matchesGolden("game", "ingame_level_complete", scenetest::pictureOfImage(screenImage), text));
}

}  // namespace

// The level build over the tutorial level (every kind once or more) with
// the game's packs: its steps and frames, the order in which the objects
// join the scene, the camera, the freeze and the restart state; a level
// without keys; and a second build that gives back the first one's objects.
#include <filesystem>
#include <fstream>
#include <typeinfo>

#include "com_ventrix_utility_ResManager.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameGeneralPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTargetItem.h"
#include "scene_ingame_InGameTransportItem.h"
#include "scene_ingame_InGameTrap.h"
#include "scene_test_support.h"

namespace {

using com::ventrix::ui::LoadingPage;
using com::ventrix::utility::ResManager;
using namespace scene::ingame;

// The tutorial level over the airport's own tile set; without its keys when
// asked.
nlohmann::json tutorial(bool keys = true) {
    std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/tutorial.json");
    nlohmann::json level = nlohmann::json::parse(in);
    level["tileSet"]["image"] = 0x1019;
    if (!keys) {
        nlohmann::json groups = nlohmann::json::array();
        for (const auto& g : level["objects"])
            if (g["type"] != 14) groups.push_back(g);
        level["objects"] = groups;
    }
    return level;
}

class LevelBuildTest : public ingamescene::SceneFixture {
protected:
    // Stage 0 to its end, then the build; the counters before each build
    // call.
    std::vector<jint> load(InGameScene* s, bool fails = false) {
        do s->loadStage0();
        while (s->stage0Busy != 0 && !s->failed);
        return build(s, fails);
    }
    std::vector<jint> build(InGameScene* s, bool fails = false) {
        std::vector<jint> counters;
        do {
            counters.push_back(s->stage1Busy);
            s->loadStage1();
        } while (s->stage1Busy != 0 && !s->failed && counters.size() < 30);
        EXPECT_EQ(s->failed, fails);
        return counters;
    }
    // The kinds of the scene's in-game objects in list order (one letter a
    // kind), and the list's objects.
    static std::string kinds(InGameScene* s, std::vector<com::ventrix::utility::MyObject*>* all = nullptr) {
        std::string out;
        VMPtr<com::ventrix::ui::Scene::Objects> list = s->objects;
        for (jint i = 0; i < list->length; ++i) {
            com::ventrix::utility::MyObject* o = list->get(i);
            if (o == nullptr) continue;
            if (all) all->push_back(o);
            if (o == s->targetIndicator.get())
                out += 'M';
            else if (dynamic_cast<InGameKeyItem*>(o))
                out += 'K';
            else if (dynamic_cast<InGameTrap*>(o))
                out += 'X';
            else if (dynamic_cast<InGameGeneralPeople*>(o))
                out += 'G';
            else if (dynamic_cast<InGameDisguisedPeople*>(o))
                out += 'D';
            else if (dynamic_cast<InGameInteractionItem*>(o))
                out += 'I';
            else if (dynamic_cast<InGameTargetItem*>(o))
                out += 'T';
            else if (dynamic_cast<InGameTransportItem*>(o))
                out += 'R';
            else if (dynamic_cast<InGamePlayer*>(o))
                out += 'P';
        }
        return out;
    }
    static jint cacheHolders() {
        jint n = 0;
        for (VMInts* refs : {ResManager::gobRefs.get(), ResManager::animRefs.get()})
            for (jint i = 0; i < refs->length; ++i) n += (*refs)[i];
        return n;
    }
};

TEST_F(LevelBuildTest, FourteenStepsMakeEveryObjectInOrderAndLeaveTheLevelFrozenForItsRestart) {
    serve(0, tutorial());
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    EXPECT_EQ(load(s.get()), (std::vector<jint>{0, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(LoadingPage::getInstance()->progress, 8 + 14);

    // Keys, traps, bystanders, watchers, doors, targets, transports, the
    // player; the markers came first.
    EXPECT_EQ(kinds(s.get()), "MKXXGGDDDDIITTTTTTTTTTRRRRRP");
    LevelLoader* level = s->levelLoader.get();
    EXPECT_EQ(s->keyItems->length, level->keyCount);
    EXPECT_EQ(s->transportItems->length, 5);
    EXPECT_EQ(s->targetIndicator->getSlotCount(), 10);
    EXPECT_EQ(s->targetIndicator->getLayer(), 85);
    // Every kind reaches the others through the statics.
    EXPECT_EQ((std::vector<void*>{InGameObject::player.get(), InGameObject::transportItems.get(),
                                  InGameObject::interactionItems.get(), InGameObject::traps.get(),
                                  InGameObject::disguisedPeople.get(), InGameObject::targetItems.get()}),
              (std::vector<void*>{s->player.get(), s->transportItems.get(), s->interactionItems.get(), s->traps.get(),
                                  s->disguisedPeople.get(), s->targetItems.get()}));

    // The camera starts at the first target's marker and is to centre the
    // target (420, 692), kept inside the 1536 x 896 world seen 480 x 640.
    VMPtr<VMInts> marker = level->targetMarkers->get(0);
    EXPECT_EQ(leveltest::ints(s->camera.get()), (std::vector<jint>{(*marker)[0], (*marker)[1]}));
    EXPECT_EQ(leveltest::ints(s->cameraTarget.get()), (std::vector<jint>{420 - 240, 896 - 640}));
    EXPECT_EQ(s->cameraStep, 48);
    EXPECT_EQ(s->player->getOriginX(), (*marker)[0]);
    EXPECT_TRUE(InGameObject::frozen);
    EXPECT_EQ((std::vector<jint>{s->state, s->step, s->checkpoint, s->introTarget}),
              (std::vector<jint>{InGameScene::RESTART, 0, -1, 0}));
    s->dispose();
}

TEST_F(LevelBuildTest, ALevelWithoutKeysTakesThirteenStepsAndHasAnEmptyKeyArray) {
    serve(0, tutorial(false));
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    EXPECT_EQ(load(s.get()), (std::vector<jint>{0, 13, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    ASSERT_NE(s->keyItems.get(), nullptr);
    EXPECT_EQ(s->keyItems->length, 0);
    EXPECT_EQ(kinds(s.get()), "MXXGGDDDDIITTTTTTTTTTRRRRRP");

    // A view under ten pixels wide still pans a pixel a frame.
    s->viewWidth = 9;
    InGameObject::frozen = false;
    build(s.get());
    EXPECT_EQ(s->cameraStep, 1);
    s->dispose();
}

TEST_F(LevelBuildTest, ALevelWhoseTrapsHaveNoPackEndsTheLoadingWithOneLine) {
    for (const char* file : {"rsc/RP10part0.rp", "rsc/RP10part1.rp"}) std::filesystem::remove(dir.root() + file);
    serve(0, tutorial());
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    testing::internal::CaptureStdout();
    load(s.get(), true);
    const std::string out = testing::internal::GetCapturedStdout();
    // The scene's one line (after the resource layer's own report).
    EXPECT_NE(out.find("Level 0 not loaded: No resource 10245 in pack 10\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("not loaded"), out.rfind("not loaded"));
    EXPECT_EQ(manager->asked, (std::vector<jint>{global::GameScene::BROWSE_LEVELS}));
    EXPECT_EQ(s->disguisedPeople.get(), nullptr);  // no later step ran
    s->dispose();
}

TEST_F(LevelBuildTest, ASecondBuildGivesBackTheFirstLevelsObjects) {
    serve(0, tutorial());
    serve(1, tutorial(false));
    VMPtr<InGameScene> s = InGameScene::create()->construct();
    load(s.get());
    const jint holders = cacheHolders();
    std::vector<com::ventrix::utility::MyObject*> first;
    const std::string firstKinds = kinds(s.get(), &first);
    // Held here, so that no collection frees them and hands their memory to
    // the second build's objects (the address test below would then match).
    std::vector<VMPtr<com::ventrix::utility::MyObject>> held(first.begin(), first.end());
    VMPtr<InGameScene::Objects> oldKeys = s->keyItems;
    VMPtr<InGamePlayer> oldPlayer = s->player;

    // The same level again: the same objects anew, the cache held as often.
    InGameObject::frozen = false;
    build(s.get());
    std::vector<com::ventrix::utility::MyObject*> second;
    EXPECT_EQ(kinds(s.get(), &second), firstKinds);
    EXPECT_EQ(cacheHolders(), holders);
    for (auto* o : first) {
        if (dynamic_cast<InGameObject*>(o) == nullptr) continue;  // the display and panels stay
        EXPECT_EQ(std::count(second.begin(), second.end(), o), 0);
        EXPECT_EQ(dynamic_cast<com::ventrix::ui::Screen*>(o)->getSlotKind(0), com::ventrix::ui::Screen::KIND_NONE);
    }
    EXPECT_EQ(oldPlayer->getSlotKind(0), com::ventrix::ui::Screen::KIND_NONE);
    EXPECT_EQ(oldKeys->get(0), nullptr);  // slots emptied as they are released

    // Another level without keys: no key item of the first survives.
    sam::SamGameSave::currentLevel = 1;
    load(s.get());
    EXPECT_EQ(kinds(s.get()).find('K'), std::string::npos);
    EXPECT_EQ(s->keyItems->length, 0);
    s->dispose();
}

}  // namespace

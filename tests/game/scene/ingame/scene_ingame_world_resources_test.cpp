// Every resource the in-game world names, loaded from the game's packs the
// way the kinds load them: each look's pair through the resource cache, each
// animation (and every frame its steps show), each still frame and the
// collision-box ids the kinds test; every background item of every
// location; the tile sets; the level view's own resources.
#include <map>
#include <set>

#include "com_ventrix_utility_ResManager.h"
#include "javax_microedition_lcdui_Image.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"
#include "scene_test_support.h"
#include "ts_AnimSet.h"
#include "ts_Resources.h"
#include "world_tables.h"

using com::ventrix::utility::ResManager;
using scene::ingame::InGameScene;
using scene::ingame::LevelLoader;

namespace {

class WorldResourcesTest : public ingamescene::SceneFixture {
protected:
    // The animation set of the pair, loaded as the kinds load it.
    VMPtr<ts::AnimSet> load(jint first, jint second) {
        ResManager::load(first, second);
        return ResManager::animCache->get(ResManager::getSecondIndex());
    }

    // The frames the steps of animation a show.
    static std::vector<jint> framesOf(ts::AnimSet* set, jint a) {
        std::vector<jint> frames;
        const jint word = (*set->animations)[a];
        const jint first = jint(uint32_t(word) >> 16), count = word & 1023;
        for (jint k = 0; k < count; ++k) frames.push_back(ts::AnimSet::packedIndex((*set->steps)[first + k]));
        return frames;
    }

    // Checks frame f of the set: it exists, draws, and carries the box ids.
    void checkFrame(ts::AnimSet* set, jint f, const std::vector<jint>& boxes, const std::string& where) {
        ASSERT_LT(f, set->getFrameCount()) << where;
        VMPtr<VMInts> rects = VMInts::create(64);
        for (jint id : boxes) EXPECT_GT(set->getCollisionRects(f, 0, rects, id), 0) << where << " box " << id;
        set->paintFrame(canvasImage->getGraphics(), f, 40, 40, 0);
    }

    void SetUp() override {
        ingamescene::SceneFixture::SetUp();
        canvasImage = javax::microedition::lcdui::Image::createImage(80, 80);
    }
    void TearDown() override {
        canvasImage = nullptr;
        ingamescene::SceneFixture::TearDown();
    }
    VMPtr<javax::microedition::lcdui::Image> canvasImage;
};

TEST_F(WorldResourcesTest, EveryLookOfTheKindsLoadsWithItsAnimationsFramesAndBoxes) {
    const std::vector<worldtables::Look> looks = worldtables::everyLook();
    std::set<std::pair<jint, jint>> pairs;
    for (const worldtables::Look& look : looks) {
        SCOPED_TRACE(look.what);
        pairs.insert({look.first, look.second});
        VMPtr<ts::AnimSet> set = load(look.first, look.second);
        ASSERT_NE(set.get(), nullptr);
        ASSERT_NE(set->getGobs().get(), nullptr);
        for (jint a : look.animations) {
            ASSERT_LT(a, set->getAnimationCount()) << "animation " << a;
            const std::vector<jint> frames = framesOf(set.get(), a);
            EXPECT_FALSE(frames.empty()) << "animation " << a;
            for (jint f : frames) checkFrame(set.get(), f, look.boxes, "animation " + std::to_string(a));
        }
        for (jint f : look.frames) checkFrame(set.get(), f, look.boxes, "frame " + std::to_string(f));
        ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
    }
    // The five locations' transports and doors, 7 outfits, 6 bystanders, 11
    // target pairs, 5 trap pairs and the player's and the level view's own.
    EXPECT_EQ(pairs.size(), 68u);
}

TEST_F(WorldResourcesTest, EveryBackgroundItemOfEveryLocationLoads) {
    for (jint c = 0; c < LevelLoader::LOCATIONS; ++c) {
        const jint items = c == 0 || c == 3 ? 7 : LevelLoader::catalogueSize(c);
        jint lastSet = -1, runs = 0;
        for (jint item = 0; item < items; ++item) {
            SCOPED_TRACE("location " + std::to_string(c) + " item " + std::to_string(item));
            jint image = 0, sets = 0, frame = 0;
            ASSERT_TRUE(InGameScene::backgroundItem(c, item, image, sets, frame));
            VMPtr<ts::AnimSet> set = load(image, sets);
            ASSERT_NE(set.get(), nullptr);
            checkFrame(set.get(), frame, {}, "frame " + std::to_string(frame));
            if (sets != lastSet) ++runs, lastSet = sets;
            ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
        }
        jint image = 0, sets = 0, frame = 0;
        EXPECT_FALSE(InGameScene::backgroundItem(c, items, image, sets, frame));
        EXPECT_FALSE(InGameScene::backgroundItem(c, -1, image, sets, frame));
        // Each run of a catalogue is one set: the mansion, park and hotel use
        // seven, the base five, the airport's split sign run counts twice.
        const std::map<jint, jint> expected = {{1, 8}, {2, 7}, {4, 7}, {5, 5}, {6, 7}};
        if (expected.count(c) != 0) {
            EXPECT_EQ(runs, expected.at(c)) << c;
        }
    }
}

// The last frame of each run: a frame past the run would belong to no set.
TEST_F(WorldResourcesTest, EachCatalogueRunEndsOnItsSetsLastFrame) {
    for (jint c : {2, 4, 5, 6}) {
        for (jint item = 0; item < LevelLoader::catalogueSize(c); ++item) {
            jint image = 0, sets = 0, frame = 0, nextImage = 0, nextSets = -1, nextFrame = 0;
            InGameScene::backgroundItem(c, item, image, sets, frame);
            const bool last =
                !InGameScene::backgroundItem(c, item + 1, nextImage, nextSets, nextFrame) || nextSets != sets;
            if (!last) continue;
            VMPtr<ts::AnimSet> set = load(image, sets);
            EXPECT_EQ(set->getFrameCount(), frame + 1) << "location " << c << " item " << item;
            ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
        }
    }
}

TEST_F(WorldResourcesTest, TileSetsAndTheLevelViewsOwnResources) {
    // The day sets of eight tiles; the night and rain sets add two of sky.
    const std::map<jint, jint> columns = {{0x1019, 8},  {0x1419, 8},  {0x1C0D, 8},  {0x2015, 8},  {0x240E, 8},
                                          {0x101A, 10}, {0x141A, 10}, {0x1C1D, 10}, {0x2016, 10}, {0x241E, 10}};
    for (auto [id, count] : columns) {
        VMPtr<javax::microedition::lcdui::Image> tiles = ts::Resources::getImage(id);
        ASSERT_NE(tiles.get(), nullptr) << id;
        EXPECT_EQ(tiles->getWidth(), count * 32) << id;
        EXPECT_EQ(tiles->getHeight(), 32) << id;
    }
    VMPtr<VMArray<ts::Gob, 1>> icons = ts::Resources::getGobs(0x3803);
    ASSERT_NE(icons.get(), nullptr);
    EXPECT_GT(icons->length, 0);
    // The outfit icons the levels choose and the refusal icons stay inside
    // the overlay's frames.
    VMPtr<ts::AnimSet> overlay = load(0x3404, 0x3400);
    for (jint o : worldtables::levelOutfits()) EXPECT_LT(o + 24, overlay->getFrameCount()) << o;
}

}  // namespace

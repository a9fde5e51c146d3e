// Pictures of the shipped levels: every level file is read by the level
// loader and drawn whole from its tables with the looks the kinds use (first
// frame of each start animation), its paths, walls, patrol ranges and
// checkpoint zones. Every record must name a look that loads. With
// VESSILO_LEVEL_PICTURES set to a folder the pictures are written there
// (level_tutorial.png, level_0.png, ...) to be looked at.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "com_ventrix_utility_ResManager.h"
#include "golden.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "lcdui_test_support.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"
#include "scene_test_support.h"
#include "ts_AnimSet.h"
#include "ts_Resources.h"
#include "world_tables.h"

using com::ventrix::utility::ResManager;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using scene::ingame::InGameScene;
using scene::ingame::LevelLoader;

namespace {

constexpr jint kMirror = 2;

class LevelPictureTest : public ingamescene::SceneFixture {
protected:
    VMPtr<Graphics> g;
    int drawn = 0;

    // Draws frame `frame` of the pair, or the first frame of `animation`.
    void look(jint first, jint second, jint animation, jint frame, jint x, jint y, bool mirror = false) {
        ResManager::load(first, second);
        VMPtr<ts::AnimSet> set = ResManager::animCache->get(ResManager::getSecondIndex());
        ASSERT_NE(set.get(), nullptr) << first << "/" << second;
        if (animation >= 0) {
            ASSERT_LT(animation, set->getAnimationCount()) << first << "/" << second;
            const jint word = (*set->animations)[animation];
            ASSERT_GT(word & 1023, 0);
            frame = ts::AnimSet::packedIndex((*set->steps)[jint(uint32_t(word) >> 16)]);
        }
        ASSERT_LT(frame, set->getFrameCount()) << first << "/" << second;
        set->paintFrame(g, frame, x, y, mirror ? kMirror : 0);
        ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
        ++drawn;
    }

    void frameRect(jint x, jint y, jint w, jint h, jint argb) {
        g->setAlphaColor(argb);
        g->drawRect(x, y, w - 1, h - 1);
        g->drawRect(x + 1, y + 1, w - 3, h - 3);
    }

    // Draws the loaded level; returns the number of records drawn.
    VMPtr<Image> picture() {
        LevelLoader* l = loader;
        const jint tw = l->tileWidth, th = l->tileHeight;
        const jint width = tw * l->mapWidth, height = th * l->mapHeight;
        VMPtr<Image> image = Image::createImage(width, height);
        g = image->getGraphics();
        g->setColor(0x202020);
        g->fillRect(0, 0, width, height);
        VMPtr<Image> tiles = ts::Resources::getImage(l->tileSetImage);
        for (jint y = 0; y < l->mapHeight; ++y) {
            for (jint x = 0; x < l->mapWidth; ++x) {
                const jint cell = (*l->map)[x + y * l->mapWidth];
                if (cell == 0) continue;
                g->drawRegion(tiles, ((cell & 0xFFF) - 1) * tw, (cell >> 12) * th, tw, th, 0, x * tw, y * th,
                              Graphics::TOP | Graphics::LEFT);
            }
        }
        // Decorations, then the world's objects in their drawing order.
        for (jint c = 0; c < LevelLoader::LOCATIONS; ++c) {
            VMIntRows* items = l->bgItems->get(c);
            for (jint k = 0; items != nullptr && k < items->length; ++k) {
                VMInts* r = items->get(k);
                jint image = 0, set = 0, frame = 0;
                EXPECT_TRUE(InGameScene::backgroundItem(c, (*r)[0], image, set, frame));
                look(image, set, -1, frame, (*r)[1], (*r)[2]);
            }
        }
        const jint step = 4 * th;
        for (jint k = 0; k < l->componentCount; ++k) {
            VMInts* r = l->componentRecords->get(k);
            auto [first, second] = worldtables::transports()[(*r)[0]][(*r)[1]];
            VMIntRows* points = l->transportParts->get((*r)[2]);
            const jint type = (*points->get(0))[5];
            if (type == 2) {
                jint top = (*r)[4], bottom = (*r)[4];
                for (jint p = 0; p < points->length; ++p)
                    top = std::min(top, (*points->get(p))[4]), bottom = std::max(bottom, (*points->get(p))[4]);
                for (jint y = top; y <= bottom; y += step) look(first, second, 5, -1, (*r)[3], y);
                look(first, second, 10, -1, (*r)[3], (*r)[4]);
            } else {
                look(first, second, 0, -1, (*r)[3], (*r)[4], (*r)[1] % 2 == 1 && type < 2);
            }
            g->setColor(type == 3 ? 0x40E0FF : 0xFFE040);
            for (jint p = 0; p + 1 < points->length; ++p) {
                VMInts* a = points->get(p);
                VMInts* b = points->get(p + 1);
                g->drawLine((*a)[3], (*a)[4], (*b)[3], (*b)[4]);
                g->fillRect((*b)[3] - 3, (*b)[4] - 3, 7, 7);
            }
        }
        for (jint k = 0; k < l->trapCount; ++k) {
            VMInts* r = l->trapRecords->get(k);
            auto [first, second] = worldtables::traps()[(*r)[0]];
            if ((*r)[0] >= 4) look(first, second, -1, 0, (*r)[1], (*r)[2]);
            look(first, second, 0, -1, (*r)[1], (*r)[2], (*r)[0] == 1);
        }
        for (jint k = 0; k < l->targetCount; ++k) {
            VMInts* r = l->targetMarkers->get(k);
            auto [first, second] = worldtables::targets()[(*r)[2]];
            look(first, second, 0, -1, (*r)[0], (*r)[1], (*r)[2] == 7);
            if ((*r)[2] == 6 || (*r)[2] == 7) look(first, second, 2, -1, (*r)[0], (*r)[1]);
            look(0x3407, 0x3403, 0, -1, (*r)[0], (*r)[1]);
        }
        for (jint k = 0; k < l->generalCount; ++k) {
            VMInts* r = l->generalRecords->get(k);
            auto [first, second] = worldtables::bystanders()[(*r)[0] / 2];
            look(first, second, 2 * (*r)[3], -1, (*r)[1], (*r)[2], (*r)[0] % 2 == 1);
        }
        for (jint k = 0; k < l->disguisedCount; ++k) {
            VMInts* r = l->disguisedRecords->get(k);
            auto [first, second] = worldtables::outfits()[(*r)[0] / 2];
            look(first, second, 0, -1, (*r)[1], (*r)[2], (*r)[0] % 2 == 1);
            if ((*r)[4] != 0) {
                g->setColor(0xFF4040);
                g->fillRect((*r)[6], (*r)[2] + 4, (*r)[7] - (*r)[6], 3);
            }
        }
        look(0x3406, 0x3402, 0, -1, (*l->playerRecord)[1], (*l->playerRecord)[2]);
        for (jint k = 0; k < l->keyCount; ++k) {
            VMInts* r = l->keyRecords->get(k);
            look(0x3405, 0x3401, (*r)[0] + 1, -1, (*r)[1], (*r)[2]);
        }
        for (jint k = 0; k < l->interactionCount; ++k) {
            VMInts* r = l->interactionRecords->get(k);
            const worldtables::Fittings& f = worldtables::fittings()[(*r)[0]];
            const jint v = (*r)[1];
            if ((*r)[2] != 0)
                look(f.first + f.offsets[v], f.second + f.offsets[v], -1, f.animations[v], (*r)[3], (*r)[4]);
            else
                look(f.first + f.offsets[v], f.second + f.offsets[v], f.animations[v], -1, (*r)[3], (*r)[4]);
        }
        // Walls by depth row, checkpoint zones.
        for (jint row = 0; row < l->floorAreas->length; ++row) {
            VMIntRows* walls = l->floorAreas->get(row);
            for (jint k = 0; k < walls->length; ++k) {
                VMInts* r = walls->get(k);
                frameRect((*r)[1], height - step * (row + 1), (*r)[3], step, 0xC0FF3030);
            }
        }
        for (jint k = 0; k < l->zoneCount; ++k) {
            VMInts* r = l->zoneRecords->get(k);
            frameRect((*r)[0], (*r)[1], (*r)[2], (*r)[3], 0xC030FF60);
        }
        return image;
    }
};

TEST_F(LevelPictureTest, EveryShippedLevelDrawsWhole) {
    const char* folder = std::getenv("VESSILO_LEVEL_PICTURES");
    for (jint level = -1; level <= 10; ++level) {
        const std::string name = level < 0 ? "tutorial" : std::to_string(level);
        SCOPED_TRACE(name);
        std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + (level < 0 ? "tutorial" : "level" + name) +
                         ".json");
        std::stringstream text;
        text << in.rdbuf();
        ASSERT_TRUE(in);
        serve(level, nlohmann::json::parse(text.str()));
        testing::internal::CaptureStdout();
        const bool selected = loader->selectLevel(level);
        ASSERT_TRUE(selected) << testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStdout();
        drawn = 0;
        VMPtr<Image> image = picture();
        if (HasFatalFailure()) return;
        EXPECT_GT(drawn, 10);
        if (folder != nullptr) {
            EXPECT_TRUE(writePng(std::string(folder) + "/level_" + name + ".png", pictureOf(image)));
        }
        g = nullptr;
    }
}

}  // namespace

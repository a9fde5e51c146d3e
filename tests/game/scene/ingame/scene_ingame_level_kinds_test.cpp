// Every shipped level's people, doors, keys and targets built by their kinds
// from the loader's tables on the game's own packs, then a second of frames
// with the player at its start: no record names a look, animation or frame
// these kinds cannot use, and every target counts as not done.
#include <fstream>
#include <sstream>

#include "com_ventrix_utility_MyObject.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameGeneralPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameTargetItem.h"
#include "com_ventrix_common_Main.h"
#include "java_lang_Exception.h"
#include "ts_util_FastRandom.h"
#include "java_lang_String.h"
#include "scene_test_support.h"

using scene::ingame::InGameDisguisedPeople;
using scene::ingame::InGameGeneralPeople;
using scene::ingame::InGameInteractionItem;
using scene::ingame::InGameKeyItem;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameTargetItem;

namespace {

class LevelKindsTest : public ingamescene::SceneFixture {};

TEST_F(LevelKindsTest, EveryShippedLevelBuildsItsObjects) {
    _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
    VMPtr<ts::util::FastRandom> keptRandom = com::ventrix::common::Main::random;
    for (jint level = -1; level <= 10; ++level) {
        const std::string name = level < 0 ? "tutorial" : "level" + std::to_string(level);
        SCOPED_TRACE(name);
        std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + name + ".json");
        std::stringstream content;
        content << in.rdbuf();
        serve(level, nlohmann::json::parse(content.str()));
        if (!loader->selectLevel(level)) {
            ADD_FAILURE() << "not loaded";
            continue;
        }
        _VM_ensureInitialized(InGameObject::_VM_classRecord);
        InGameObject::levelLoader = loader;
        InGameObject::frozen = false;
        InGameObject::setViewSize(1440, 1920);
        InGameObject::setViewPosition(0, 0);
        InGameObject::setDepthStep(4 * loader->tileHeight);
        com::ventrix::utility::MyObject::frameTime = 40;
        VMPtr<ts::util::FastRandom> random = ts::util::FastRandom::create();
        random->construct(7);
        com::ventrix::common::Main::random = random;
        VMPtr<InGamePlayer> player = InGamePlayer::create()->construct();
        InGameObject::player = player;
        player->respawn(0, (*loader->playerRecord)[1], (*loader->playerRecord)[2]);
        std::vector<VMPtr<InGameObject>> objects;
        std::string where = "bystanders";
        try {
            for (jint i = 0; i < loader->generalCount; ++i) {
                VMPtr<InGameGeneralPeople> p = InGameGeneralPeople::create()->construct();
                p->initFromRecord(i);
                objects.push_back(p);
            }
            where = "watchers";
            for (jint i = 0; i < loader->disguisedCount; ++i) {
                VMPtr<InGameDisguisedPeople> p = InGameDisguisedPeople::create()->construct();
                p->initFromRecord(i);
                objects.push_back(p);
            }
            where = "doors";
            std::vector<VMPtr<InGameInteractionItem>> doors;
            for (jint i = 0; i < loader->interactionCount; ++i) {
                VMPtr<InGameInteractionItem> d = InGameInteractionItem::create()->construct();
                d->initFromRecord(i);
                doors.push_back(d);
                objects.push_back(d);
            }
            where = "keys";
            for (jint i = 0; i < loader->keyCount; ++i) {
                VMPtr<InGameKeyItem> k = InGameKeyItem::create()->construct();
                k->initFromRecord(i);
                objects.push_back(k);
            }
            where = "targets";
            InGameObject::reachedTargets = loader->targetCount;
            for (jint i = 0; i < loader->targetCount; ++i) {
                VMPtr<InGameTargetItem> t = InGameTargetItem::create()->construct();
                t->initFromRecord(i);
                objects.push_back(t);
            }
            EXPECT_EQ(InGameObject::reachedTargets, 0);
            where = "frames";
            for (auto& d : doors) d->resolveOutfit();
            for (int frame = 0; frame < 25; ++frame) {
                player->update(0, 0);
                for (auto& o : objects) o->update(0, 0);
            }
        } catch (java::lang::Exception* thrown) {
            VMPtr<java::lang::Exception> keep = thrown;
            VMPtr<java::lang::String> why = keep->toString();
            ADD_FAILURE() << "a kind threw while building or updating at step " << where << ": " << text(why);
        }
        for (auto& o : objects) o->release();
        player->release();
        InGameObject::player = nullptr;
        InGameObject::levelLoader = nullptr;
    }
    com::ventrix::common::Main::random = keptRandom;
}

}  // namespace

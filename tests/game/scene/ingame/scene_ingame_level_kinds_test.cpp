// Every shipped level built by the world's kinds from the loader's tables on
// the game's own packs (no record names a look, animation, frame or path the
// kinds cannot use), then played by its solution frame by frame: the player,
// every kind and the game pad as in play (the scene's state machine is left
// out: confirms are skipped and play counts as running). Each step must meet
// its conditions within 1500 frames and the player is never caught.
#include <fstream>
#include <map>
#include <sstream>

#include "com_ventrix_utility_MyObject.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameGeneralPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameTargetItem.h"
#include "scene_ingame_InGameTransportItem.h"
#include "scene_ingame_InGameTrap.h"
#include "com_ventrix_common_Main.h"
#include "java_lang_Exception.h"
#include "ts_util_FastRandom.h"
#include "java_lang_String.h"
#include "scene_test_support.h"
#include "ingame_test_support.h"
#include "scene_ingame_GamePad.h"
#include "com_ventrix_utility_MyKey.h"

using scene::ingame::GamePad;
using scene::ingame::InGameDisguisedPeople;
using scene::ingame::InGameGeneralPeople;
using scene::ingame::InGameInteractionItem;
using scene::ingame::InGameKeyItem;
using scene::ingame::InGameObject;
using scene::ingame::InGamePlayer;
using scene::ingame::InGameTargetItem;
using scene::ingame::InGameTransportItem;
using scene::ingame::InGameTrap;

namespace {

class LevelKindsTest : public ingamescene::SceneFixture {};

TEST_F(LevelKindsTest, EveryShippedLevelIsPlayedThroughByItsSolution) {
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
        InGameObject::setViewSize(8192, 8192);
        InGameObject::setViewPosition(0, 0);
        InGameObject::setDepthStep(4 * loader->tileHeight);
        com::ventrix::utility::MyObject::frameTime = 40;
        _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
        VMPtr<ts::util::FastRandom> random = ts::util::FastRandom::create();
        random->construct(7);
        com::ventrix::common::Main::random = random;
        VMPtr<InGamePlayer> player = InGamePlayer::create()->construct();
        InGameObject::player = player;
        player->respawn(0, (*loader->playerRecord)[1], (*loader->playerRecord)[2]);
        std::vector<VMPtr<InGameObject>> objects;
        std::string where = "transports";
        try {
            for (jint i = 0; i < loader->componentCount; ++i) {
                VMPtr<InGameTransportItem> t = InGameTransportItem::create()->construct();
                t->setUp(i);
                objects.push_back(t);
            }
            where = "traps";
            for (jint i = 0; i < loader->trapCount; ++i) {
                VMPtr<InGameTrap> t = InGameTrap::create()->construct();
                t->setUp(i);
                objects.push_back(t);
            }
            where = "bystanders";
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
            auto kindArray = [&](auto pick) {
                std::vector<InGameObject*> chosen;
                for (auto& o : objects)
                    if (pick(o.get())) chosen.push_back(o.get());
                VMPtr<InGameObject::Objects> a = InGameObject::Objects::create(jint(chosen.size()));
                for (size_t i = 0; i < chosen.size(); ++i) a->set(jint(i), chosen[i]);
                return a;
            };
            InGameObject::targetItems =
                kindArray([](InGameObject* o) { return dynamic_cast<InGameTargetItem*>(o) != nullptr; });
            InGameObject::interactionItems =
                kindArray([](InGameObject* o) { return dynamic_cast<InGameInteractionItem*>(o) != nullptr; });
            InGameObject::disguisedPeople =
                kindArray([](InGameObject* o) { return dynamic_cast<InGameDisguisedPeople*>(o) != nullptr; });
            InGameObject::traps = kindArray([](InGameObject* o) { return dynamic_cast<InGameTrap*>(o) != nullptr; });
            InGameObject::transportItems =
                kindArray([](InGameObject* o) { return dynamic_cast<InGameTransportItem*>(o) != nullptr; });
            // Play the solution.
            VMPtr<ingametest::ScriptKey> keys = ingametest::ScriptKey::create()->construct();
            _VM_ensureInitialized(com::ventrix::utility::MyKey::_VM_classRecord);
            com::ventrix::utility::MyKey::instance = keys;
            InGameObject::myKey = nullptr;
            _VM_ensureInitialized(GamePad::_VM_classRecord);
            GamePad::instance = nullptr;
            VMPtr<GamePad> pad = GamePad::getInstance();
            const std::map<std::string, jint> action = {
                {"up", 14}, {"down", 17}, {"left", 15}, {"right", 16}, {"action", 18}};
            const nlohmann::json file = nlohmann::json::parse(content.str());
            int index = 0;
            player->setExposed(true);
            for (const nlohmann::json& step : file.value("solution", nlohmann::json::array())) {
                ++index;
                if (step.contains("confirm")) continue;
                int frames = 0;
                bool done = false;
                while (!done && frames < 1500) {
                    keys->pressed.clear();
                    keys->held.clear();
                    if (step.contains("hold")) keys->held.insert(action.at(step["hold"]));
                    if (step.contains("press") && frames == 0) keys->pressed.insert(action.at(step["press"]));
                    com::ventrix::utility::MyObject::frameTime = 40;
                    player->update(0, 0);
                    for (auto& o : objects) o->update(0, 0);
                    pad->update();
                    player->setExposed(true);
                    ++frames;
                    if (player->getState() == 11) break;
                    done = true;
                    const nlohmann::json until = step.value("until", nlohmann::json::object());
                    for (auto& [name, value] : until.items()) {
                        const jint v = value.is_boolean() ? 1 : value.get<jint>();
                        if (name == "xAtLeast") done &= InGameObject::playerX >= v;
                        if (name == "xAtMost") done &= InGameObject::playerX <= v;
                        if (name == "row") done &= player->getDepth() == v;
                        if (name == "state") done &= player->getState() == v;
                        if (name == "targets") done &= InGameObject::reachedTargets >= v;
                        if (name == "frames") done &= frames >= v;
                    }
                }
                if (!done) {
                    ADD_FAILURE() << "step " << index << " " << step.dump() << " not reached: x "
                                  << InGameObject::playerX << " row " << player->getDepth() << " state "
                                  << player->getState() << " phase " << player->getPhase() << " targets "
                                  << InGameObject::reachedTargets << " progress " << player->getProgress() << " frames "
                                  << frames;
                    break;
                }
            }
        } catch (java::lang::Exception* thrown) {
            VMPtr<java::lang::Exception> keep = thrown;
            VMPtr<java::lang::String> why = keep->toString();
            ADD_FAILURE() << "a kind threw while building or updating at step " << where << ": " << text(why);
        }
        com::ventrix::utility::MyKey::instance = nullptr;
        GamePad::instance = nullptr;
        InGameObject::targetItems = nullptr;
        InGameObject::interactionItems = nullptr;
        InGameObject::disguisedPeople = nullptr;
        InGameObject::traps = nullptr;
        InGameObject::transportItems = nullptr;
        for (auto& o : objects) o->release();
        player->release();
        InGameObject::player = nullptr;
        InGameObject::levelLoader = nullptr;
    }
    com::ventrix::common::Main::random = keptRandom;
}

}  // namespace

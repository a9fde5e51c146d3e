// Test support for the people: scripted random numbers, and hand-made looks
// of the watchers, their mark and the bystanders cached under the game's ids.
#pragma once

#include <vector>

#include "com_ventrix_common_Main.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "ingame_test_support.h"
#include "ts_util_FastRandom.h"
#include "vm_test.h"

namespace peopletest {

// Draws from a list (its last value repeats), counted.
class ScriptRandom : public ts::util::FastRandom {
    VM_DECLARE_CLASS(ScriptRandom, ts::util::FastRandom)

public:
    std::vector<jint> values{0};
    int draws = 0;
    jint nextInt() override { return values[std::min(size_t(draws++), values.size() - 1)]; }
};

constexpr jint kWatcherLooks[7] = {0x3009, 0x3008, 0x300E, 0x300D, 0x300F, 0x300C, 0x300A};
constexpr jint kWatcherSets[7] = {0x3001, 0x3000, 0x3006, 0x3005, 0x3007, 0x3004, 0x3002};

class PeopleTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        using namespace spritetest;
        ingametest::InGameTest::SetUp();
        // Watchers: boxes 0 body (-5, -20, 10, 21: down to the feet row),
        // 1 back (-20..-8), 2 sight (8..88), 3 back far (-50..-30); walk (1)
        // moves 4 px a 40 ms step; 21 and 23 play once and lead on.
        std::vector<AnimSpec> anims;
        for (int a = 0; a < 30; ++a) anims.push_back({a == 21 || a == 23 ? 1 : -1, {{0, 40, a == 1 ? 4 : 0, 0}}});
        FrameSpec body{{{0, -4, -16}},
                       {{-5, -20, 10, 21, 0}, {-20, -20, 12, 20, 1}, {8, -20, 80, 20, 2}, {-50, -20, 20, 20, 3}}};
        for (int o = 0; o < 7; ++o)
            ingametest::putInCache(kWatcherLooks[o], kWatcherSets[o], setOf(animSetBytes({body}, anims)));
        // The player wears a look with the same frames but no sight box: a
        // set of its own drawn with the watcher's image entry, as a load of
        // the pair makes it.
        FrameSpec worn{{{0, -4, -16}}, {{-5, -20, 10, 21, 0}, {-20, -20, 12, 20, 1}, {-50, -20, 20, 20, 3}}};
        using com::ventrix::utility::ResManager;
        const jint watcherSlots = ResManager::usedSlots - 7;
        for (int o = 0; o < 7; ++o) {
            ingametest::putInCache(kWatcherLooks[o], scene::ingame::InGameDisguisedPeople::playerSetOf(o),
                                   setOf(animSetBytes({worn}, anims)));
            const jint slot = ResManager::usedSlots - 1;
            (*ResManager::slotKeys->get(ResManager::KEY_GOBS))[slot] = ResManager::FREE;
            VMPtr<ResManager::Gobs> image = ResManager::gobCache->get(watcherSlots + o);
            ResManager::animCache->get(slot)->setGobs(image);
        }
        FrameSpec plain{{{0, -4, -16}}, {}};
        ingametest::putInCache(0x300B, 0x3003, setOf(animSetBytes({plain, plain, plain}, {{-1, {{0, 40}}}})));
        // Bystanders: the idles 0, 2, ... 8 play one 40 ms step and lead on
        // to the odd number after them, which loops.
        std::vector<AnimSpec> idles;
        for (int a = 0; a < 10; ++a) idles.push_back({a % 2 == 0 ? 1 : -1, {{0, 40}}});
        const jint bystanders[6][2] = {{0x2C06, 0x2C00}, {0x2C07, 0x2C01}, {0x2C09, 0x2C03},
                                       {0x2C0A, 0x2C04}, {0x2C0B, 0x2C05}, {0x2C08, 0x2C02}};
        for (auto [look, set] : bystanders) ingametest::putInCache(look, set, setOf(animSetBytes({plain}, idles)));
        _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
        keptRandom = com::ventrix::common::Main::random;
        random = ScriptRandom::create();
        random->construct(1);
        com::ventrix::common::Main::random = random;
    }
    void TearDown() override {
        com::ventrix::common::Main::random = keptRandom;
        keptRandom = nullptr;
        random = nullptr;
        ingametest::InGameTest::TearDown();
    }
    void draws(std::vector<jint> values) {
        random->values = std::move(values);
        random->draws = 0;
    }
    // A new record row of the table `rows`; its index.
    static jint addRecord(VMField<VMIntRows>& rows, std::vector<jint> values) {
        VMPtr<VMIntRows> old = rows;
        VMPtr<VMIntRows> grown = VMIntRows::create(old->length + 1, 0);
        for (jint i = 0; i < old->length; ++i) grown->set(i, old->get(i));
        VMPtr<VMInts> r = VMInts::create(jint(values.size()));
        for (size_t i = 0; i < values.size(); ++i) (*r)[jint(i)] = values[i];
        grown->set(old->length, r);
        rows = grown;
        return old->length;
    }

    VMPtr<ts::util::FastRandom> keptRandom;
    VMPtr<ScriptRandom> random;
};

}  // namespace peopletest

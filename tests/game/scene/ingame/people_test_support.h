// Test support for the people of a level: scripted random numbers, and the
// hand-made looks of the watchers, their mark and the bystanders put into
// the resource cache under the game's ids.
#pragma once

#include <vector>

#include "com_ventrix_common_Main.h"
#include "ingame_test_support.h"
#include "vm_test.h"
#include "ts_util_FastRandom.h"

namespace peopletest {

// Random numbers from a list (its last value repeats); counts the draws.
class ScriptRandom : public ts::util::FastRandom {
    VM_DECLARE_CLASS(ScriptRandom, ts::util::FastRandom)

public:
    std::vector<jint> values{0};
    int draws = 0;
    jint nextInt() override {
        const size_t i = size_t(draws) < values.size() ? size_t(draws) : values.size() - 1;
        draws += 1;
        return values[i];
    }
};

// A watcher's look. Every frame has the boxes 0 body (-5, -20, 10, 21: it
// holds the feet row), 1 back (-20, -20, 12, 20), 2 sight (8, -20, 80, 20)
// and 3 back far (-50, -20, 20, 20). Animation 1 (walk) moves 4 pixels a
// 40 ms step; 21 and 23 play once and lead to the next number; the rest
// loop.
inline VMPtr<ts::AnimSet> watcherSet() {
    using namespace spritetest;
    std::vector<AnimSpec> anims;
    for (int a = 0; a < 28; ++a) anims.push_back({a == 21 || a == 23 ? 1 : -1, {{0, 40, a == 1 ? 4 : 0, 0}}});
    FrameSpec frame{{{0, -4, -16}},
                    {{-5, -20, 10, 21, 0}, {-20, -20, 12, 20, 1}, {8, -20, 80, 20, 2}, {-50, -20, 20, 20, 3}}};
    return setOf(animSetBytes({frame}, anims));
}

// The mark: frames 0 to 2.
inline VMPtr<ts::AnimSet> markSet() {
    using namespace spritetest;
    return setOf(animSetBytes({{{{0, -4, -40}}, {}}, {{{0, -4, -40}}, {}}, {{{0, -4, -40}}, {}}}, {{-1, {{0, 40}}}}));
}

// A bystander: the idles 0, 2, 4, 6, 8 play one 40 ms step and lead to the
// odd number after them, which loops.
inline VMPtr<ts::AnimSet> bystanderSet() {
    using namespace spritetest;
    std::vector<AnimSpec> anims;
    for (int a = 0; a < 10; ++a) anims.push_back({a % 2 == 0 ? 1 : -1, {{0, 40}}});
    return setOf(animSetBytes({{{{0, -4, -16}}, {}}}, anims));
}

// The watchers' looks (image ids) and sets by outfit, and the bystanders'.
constexpr jint kWatcherLooks[7] = {0x3009, 0x3008, 0x300E, 0x300D, 0x300F, 0x300C, 0x300A};
constexpr jint kWatcherSets[7] = {0x3001, 0x3000, 0x3006, 0x3005, 0x3007, 0x3004, 0x3002};
constexpr jint kBystanderLooks[6] = {0x2C06, 0x2C07, 0x2C09, 0x2C0A, 0x2C0B, 0x2C08};
constexpr jint kBystanderSets[6] = {0x2C00, 0x2C01, 0x2C03, 0x2C04, 0x2C05, 0x2C02};

class PeopleTest : public ingametest::InGameTest {
protected:
    void SetUp() override {
        ingametest::InGameTest::SetUp();
        for (int o = 0; o < 7; ++o) ingametest::putInCache(kWatcherLooks[o], kWatcherSets[o], watcherSet());
        ingametest::putInCache(0x300B, 0x3003, markSet());
        for (int o = 0; o < 6; ++o) ingametest::putInCache(kBystanderLooks[o], kBystanderSets[o], bystanderSet());
        using com::ventrix::common::Main;
        _VM_ensureInitialized(Main::_VM_classRecord);
        keptRandom = Main::random;
        random = ScriptRandom::create();
        random->construct(1);
        Main::random = random;
    }
    void TearDown() override {
        com::ventrix::common::Main::random = keptRandom;
        keptRandom = nullptr;
        random = nullptr;
        ingametest::InGameTest::TearDown();
    }
    // The next draws of Main::randomInt.
    void draws(std::vector<jint> values) {
        random->values = std::move(values);
        random->draws = 0;
    }

    VMPtr<ts::util::FastRandom> keptRandom;
    VMPtr<ScriptRandom> random;
};

}  // namespace peopletest

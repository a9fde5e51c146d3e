// The game's art packs (assets/game) read back through the resource front
// end: each animation set with the image parts it is drawn with has the
// animations, frames and boxes the in-game code asks for.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "program_dir.h"
#include "sprites_test_support.h"

using namespace spritetest;
using ts::AnimPlayer;
using ts::AnimSet;
using ts::Resources;
using ts::graphics::CollisionBox;

namespace {

class GameArtTest : public VMTest {};

// The game's packs as the build generated them beside the program (the
// build makes them before the framework's tests).
void putGamePacks(const TempProgramDir& dir) {
    for (const auto& e : std::filesystem::directory_iterator(VESSILO_GAME_RSC)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        dir.put("rsc/" + e.path().filename().string(), content.str());
    }
}

std::vector<jint> boxIdsOf(const VMPtr<AnimSet>& set, jint frame) {
    VMPtr<Boxes> boxes = CollisionBox::ensureCapacity(nullptr, 8);
    const jint n = set->getCollisionBoxes(frame, 0, boxes);
    std::vector<jint> ids;
    for (jint i = 0; i < n; ++i) ids.push_back(boxes->get(i)->id);
    return ids;
}

jint playCountOf(const VMPtr<AnimSet>& set, jint animation) {
    VMPtr<AnimPlayer> player = AnimPlayer::create()->construct();
    player->setAnimSet(set);
    player->setAnimation(animation);
    return player->getPlayCount();
}

TEST_F(GameArtTest, SetsReadBackWithTheirPartsAnimationsAndBoxes) {
    TempProgramDir dir("gameart");
    putGamePacks(dir);

    struct Pair {
        jint set, gobs, animations, frames;
    };
    for (const Pair& p : {Pair{0x3402, 0x3406, 28, 27}, Pair{0x3400, 0x3404, 4, 67}, Pair{0x3401, 0x3405, 5, 9},
                          Pair{0x3403, 0x3407, 3, 4}, Pair{0x3800, 0x3804, 10, 12}, Pair{0x3801, 0x3805, 2, 2},
                          Pair{0x3802, 0x3806, 5, 12}, Pair{0x4800, 0x4804, 3, 3}, Pair{0x4801, 0x4805, 1, 1},
                          Pair{0x4802, 0x4806, 2, 4}, Pair{0x4803, 0x4807, 2, 4}}) {
        SCOPED_TRACE(p.set);
        VMPtr<AnimSet> set = Resources::getAnimSet(p.set);
        set->setGobs(Resources::getGobs(p.gobs));
        ASSERT_EQ(set->getAnimationCount(), p.animations);
        ASSERT_EQ(set->getFrameCount(), p.frames);
        // Every frame's parts are in the list (bounds read each part).
        VMPtr<VMInts> bounds = VMArray<jint, 1>::create(4);
        for (jint f = 0; f < p.frames; ++f) set->getFrameBounds(f, 0, bounds);
    }

    VMPtr<AnimSet> player = Resources::getAnimSet(0x3402);
    for (jint f = 0; f < player->getFrameCount(); ++f) EXPECT_EQ(boxIdsOf(player, f), (std::vector<jint>{0, 1, 2, 3}));
    for (jint a : {4, 6, 8, 11, 17, 21, 26}) EXPECT_EQ(playCountOf(player, a), 1) << a;
    for (jint a : {0, 1, 5, 18, 25, 27}) EXPECT_LT(playCountOf(player, a), 0) << a;

    VMPtr<AnimSet> hud = Resources::getAnimSet(0x3800);
    EXPECT_EQ(boxIdsOf(hud, 3), std::vector<jint>{0});
    EXPECT_EQ(boxIdsOf(hud, 8), std::vector<jint>{1});
    VMPtr<AnimSet> pad = Resources::getAnimSet(0x3801);
    EXPECT_EQ(boxIdsOf(pad, 0), (std::vector<jint>{1, 2, 3, 4}));
    EXPECT_EQ(boxIdsOf(pad, 1), std::vector<jint>{5});
    VMPtr<AnimSet> panel = Resources::getAnimSet(0x3802);
    EXPECT_EQ(boxIdsOf(panel, 0), (std::vector<jint>{0, 5}));
    EXPECT_EQ(boxIdsOf(panel, 11), (std::vector<jint>{1, 2, 3}));  // the open panel
    EXPECT_EQ(boxIdsOf(panel, 1), std::vector<jint>{});            // the list's row marker
    EXPECT_EQ(boxIdsOf(panel, 5), (std::vector<jint>{0, 1}));
    // The icon list: one part per outfit.
    EXPECT_EQ(Resources::getGobs(0x3803)->length, 8);
}

}  // namespace

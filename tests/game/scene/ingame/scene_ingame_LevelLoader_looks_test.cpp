// The level loader's rule of which transport looks fit which path, held
// against the game's own art: a look fits a transport type exactly when its
// animation set holds every animation and collision box that type plays
// (stairs: animation 0 with the foot and landing boxes 0 and 1; the
// elevator: animations 0 to 12; the passage: 0 to 4) and is not the look of
// another type.
#include "com_ventrix_utility_ResManager.h"
#include "scene_ingame_InGameTransportItem.h"
#include "scene_ingame_LevelLoader.h"
#include "scene_test_support.h"
#include "ts_AnimSet.h"

using com::ventrix::utility::ResManager;
using scene::ingame::InGameTransportItem;
using scene::ingame::LevelLoader;

namespace {

class TransportLooksTest : public ingamescene::SceneFixture {};

TEST_F(TransportLooksTest, ALookFitsAPathTypeExactlyWhenItsSetHoldsWhatThatTypePlays) {
    // What a transport of each type plays of its look: animations 0 to
    // `animations` - 1, and collision boxes in the first frame.
    const struct Needs {
        jint type;
        jint animations;
        std::vector<jint> boxes;
    } types[] = {
        {InGameTransportItem::STAIRS_UP, 1, {0, 1}},
        {InGameTransportItem::STAIRS_DOWN, 1, {0, 1}},
        {InGameTransportItem::ELEVATOR, InGameTransportItem::SHAFT + 1, {0}},
        {InGameTransportItem::PASSAGE, InGameTransportItem::HATCH_SHUT + 1, {0}},
    };
    VMPtr<VMInts> rects = VMInts::create(64);
    for (jint location : {1, 2, 4, 5, 6}) {  // the codes the levels' transports carry
        for (jint variant = 0; variant <= LevelLoader::MAX_COMPONENT_VARIANT; ++variant) {
            jint image = 0, set = 0;
            ASSERT_TRUE(InGameTransportItem::resources(location, variant, image, set));
            ResManager::load(image, set);
            VMPtr<ts::AnimSet> anims = ResManager::animCache->get(ResManager::getSecondIndex());
            ASSERT_NE(anims.get(), nullptr);
            jint fitting = 0;
            for (const Needs& needs : types) {
                SCOPED_TRACE("location " + std::to_string(location) + " variant " + std::to_string(variant) + " type " +
                             std::to_string(needs.type));
                // The elevator's and the hatch's sets hold animation 0 too:
                // a look fits the type whose animations it holds, no more.
                bool holds = anims->getAnimationCount() >= needs.animations;
                for (jint id : needs.boxes) holds = holds && anims->getCollisionRects(0, 0, rects, id) > 0;
                const bool exactly = holds && (needs.animations == anims->getAnimationCount());
                EXPECT_EQ(LevelLoader::lookFits(variant, needs.type), exactly);
                fitting += exactly ? 1 : 0;
            }
            EXPECT_GE(fitting, 1) << "a look no transport can wear";
            ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
        }
    }
}

}  // namespace

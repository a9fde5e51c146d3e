// Doors and fittings on hand-made level tables: the button opens them with
// the key level and the outfit they ask for, a refusal names what is
// missing, the solid part pushes the player back, fixed items never open.
#include "items_test_support.h"
#include "scene_ingame_InGameInteractionItem.h"

namespace {

using itemtest::InGameObject;
using itemtest::InGamePlayer;
using scene::ingame::InGameInteractionItem;

constexpr jint kOutfit1 = 0x3009;  // outfit 1's look

class InGameInteractionItemTest : public itemtest::ItemTest {
protected:
    void SetUp() override {
        itemtest::ItemTest::SetUp();
        // The hotel's two pairs (variants 0 and 1, 2) and the airport's first.
        for (auto [image, set] : {std::pair{0x2415, 0x2404}, {0x2416, 0x2405}, {0x1010, 0x1004}})
            itemtest::put(image, set, itemtest::loopSet(7, {-8, -88, 16, 88}, {-40, -88, 80, 88}));
        itemtest::put(kOutfit1, 0x3C03, ingametest::bodySet());
    }
    // One item at (200, 630), set up as the level build does.
    VMPtr<InGameInteractionItem> item(jint loc, jint variant, jint fixed, jint outfit, jint keyLevel) {
        level->interactionRecords = VMIntRows::create(1, 7);
        const jint values[] = {loc, variant, fixed, 200, 630, outfit, keyLevel};
        for (jint k = 0; k < 7; ++k) (*level->interactionRecords->get(0))[k] = values[k];
        VMPtr<InGameInteractionItem> it = InGameInteractionItem::create()->construct();
        it->initFromRecord(0);
        it->resolveOutfit();
        return it;
    }
    // The player walking at x in that look, with that progress and last step.
    void place(jint x, jint look, jint progress, jint dx = 0) {
        const jint set = look == InGamePlayer::BODY_IMAGE ? InGamePlayer::BODY_SET
                         : look == kOutfit1               ? 0x3C03
                                                          : ingametest::kOtherSet;
        player->loadAnimation(0, look, set, 0, x, 630);
        standAt(x);
        player->progress = progress;
        player->pendingOverlay = -1;
        player->state = InGamePlayer::WALKING;
        InGameObject::playerDX = dx;
    }
};

TEST_F(InGameInteractionItemTest, TheButtonOpensWithKeyAndOutfitOrNamesWhatIsMissing) {
    const jint own = InGamePlayer::BODY_IMAGE;
    struct Case {
        const char* name;
        jint outfit, keyLevel, look, progress, startAnim, anim, overlay;
    };
    const Case cases[] = {
        {"key missing", 0, 2, own, 1, 0, 0, 9},
        {"key reached", 0, 2, own, 2, 0, 5, -1},
        {"open door shut", 0, 0, own, 0, 2, 3, -1},
        {"a closing door", 0, 0, own, 0, 4, 5, -1},
        {"busy door", 0, 0, own, 0, 1, 1, -1},
        {"outfit missing", 1, 0, own, 0, 0, 0, 1},
        {"outfit worn", 1, 0, kOutfit1, 0, 0, 5, -1},
        {"outfit and key missing", 1, 2, own, 0, 0, 0, 1},
        // Outfit 3's look is not cached: no cache index matches it, not even
        // the one equal to its number, where the player's look lies.
        {"uncached outfit", 3, 0, ingametest::kOtherLook, 0, 0, 0, 3},
        {"outfit number above 7", 9, 0, own, 0, 0, 5, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VMPtr<InGameInteractionItem> door = item(6, 0, 0, c.outfit, c.keyLevel);
        door->setSlotIndex(0, c.startAnim);
        place(225, c.look, c.progress);  // in the use area, clear of the solid part
        press({});
        door->update(0, 0);
        EXPECT_EQ(door->getSlotIndex(0), c.startAnim == 4 ? 0 : c.startAnim);  // 4 falls back to 0
        door->setSlotIndex(0, c.startAnim);
        press({ingametest::kAction});
        door->update(0, 0);
        EXPECT_EQ(door->getSlotIndex(0), c.anim);
        EXPECT_EQ(player->pendingOverlay, c.overlay);
        EXPECT_EQ(player->isExposed(), c.anim == c.startAnim);  // opening hides the player
        EXPECT_EQ(player->getState(), InGamePlayer::WALKING);
    }
    EXPECT_EQ(item(6, 0, 0, 3, 0)->getOutfitIndex(), InGameInteractionItem::OUTFIT_NOT_CACHED);
    // Before the looks are resolved (the watchers' warm-up) an outfit door lets nobody through.
    VMPtr<InGameInteractionItem> early = InGameInteractionItem::create()->construct();
    early->initFromRecord(0);
    EXPECT_EQ(early->getOutfitIndex(), InGameInteractionItem::OUTFIT_NOT_CACHED);
    EXPECT_EQ(item(6, 0, 0, 9, 0)->getOutfitIndex(), InGameInteractionItem::NO_OUTFIT);
}

TEST_F(InGameInteractionItemTest, TheSolidPartPushesBackAndFixedItemsNeverOpen) {
    VMPtr<InGameInteractionItem> door = item(1, 0, 0, 0, 0);
    place(202, InGamePlayer::BODY_IMAGE, 0, 4);  // walking in: stopped and moved back
    press({ingametest::kAction});
    door->update(0, 0);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    EXPECT_EQ(player->getSlotX(0), 198);
    EXPECT_EQ(door->getSlotIndex(0), 0);
    place(202, InGamePlayer::BODY_IMAGE, 0, 0);  // standing in it: the button works
    door->update(0, 0);
    EXPECT_EQ(door->getSlotIndex(0), 5);
    place(202, InGamePlayer::BODY_IMAGE, 0, 4);  // a closing door lets it through
    door->setSlotIndex(0, 4);
    door->update(0, 0);
    EXPECT_EQ(door->getSlotIndex(0), 1);
    EXPECT_EQ(player->getSlotX(0), 202);

    VMPtr<InGameInteractionItem> still = item(6, 2, 1, 0, 0);  // hotel variant 2: offset 1, frame 1
    EXPECT_EQ(still->getSlotKind(0), InGameInteractionItem::KIND_FRAME);
    EXPECT_EQ(still->getSlotIndex(0), 1);
    place(202, InGamePlayer::BODY_IMAGE, 0, 0);
    still->update(0, 0);
    EXPECT_EQ(still->getSlotIndex(0), 1);
    EXPECT_TRUE(player->isExposed());
    place(202, InGamePlayer::BODY_IMAGE, 0, 4);
    still->update(0, 0);
    EXPECT_EQ(player->getSlotX(0), 198);
    still->saveState();
    EXPECT_EQ(still->getSavedState(), -1);
    EXPECT_EQ(item(6, 2, 0, 0, 0)->getSlotIndex(0), 1);  // as a door it starts open
}

}  // namespace

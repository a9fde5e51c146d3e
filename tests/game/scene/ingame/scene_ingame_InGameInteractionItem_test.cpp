// Doors and fittings on hand-made level tables: opened by the action button
// with the key level and the outfit they ask for, refusals naming what is
// missing, the solid part pushing the player back, fixed items.
#include "items_test_support.h"
#include "scene_ingame_InGameInteractionItem.h"

namespace {

using itemtest::InGameObject;
using itemtest::InGamePlayer;
using scene::ingame::InGameInteractionItem;

constexpr jint kAction = ingametest::kAction;
constexpr jint kOutfitSet = 0x3C03;  // the animation set worn with outfit 1's look

class InGameInteractionItemTest : public itemtest::ItemTest {
protected:
    void SetUp() override {
        itemtest::ItemTest::SetUp();
        const itemtest::Box solid{-8, -88, 16, 88}, use{-40, -88, 80, 88};
        // Hotel variants 0 and 1/2, the airport's first door.
        for (auto [image, set] : std::vector<std::pair<jint, jint>>{{0x2415, 0x2404}, {0x2416, 0x2405}, {0x1010, 0x1004}})
            itemtest::put(image, set, itemtest::loopSet(7, solid, &use));
        // Outfit 1's look.
        itemtest::put(InGameInteractionItem::OUTFIT_LOOKS[1], kOutfitSet, ingametest::bodySet());
    }

    // One item at (200, 630): location, variant, fixed, outfit, key level.
    VMPtr<InGameInteractionItem> item(jint loc, jint variant, jint fixed, jint outfit, jint keyLevel) {
        VMPtr<VMIntRows> rows = VMIntRows::create(1, 7);
        const jint values[] = {loc, variant, fixed, 200, 630, outfit, keyLevel};
        for (jint k = 0; k < 7; ++k) (*rows->get(0))[k] = values[k];
        level->interactionRecords = rows;
        VMPtr<InGameInteractionItem> it = InGameInteractionItem::create()->construct();
        it->initFromRecord(0);
        it->resolveOutfit();
        return it;
    }
    // The player at (x, 630) in its own look (0) or outfit 1's, progress p,
    // its last step dx.
    void placePlayer(jint x, jint look, jint progress, jint dx = 0) {
        standAt(x, 630);
        if (look == 0)
            player->loadAnimation(0, InGamePlayer::BODY_IMAGE, InGamePlayer::BODY_SET, 0, x, 630);
        else
            player->loadAnimation(0, look, look == ingametest::kOtherLook ? ingametest::kOtherSet : kOutfitSet, 0, x,
                                  630);
        player->syncPosition();
        player->setExposed(true);
        player->progress = progress;
        player->pendingOverlay = -1;
        player->state = InGamePlayer::WALKING;
        InGameObject::playerDX = dx;
    }
};

TEST_F(InGameInteractionItemTest, TheButtonOpensWithTheKeyAndOutfitOrNamesWhatIsMissing) {
    const jint outfit1 = InGameInteractionItem::OUTFIT_LOOKS[1];
    struct Case {
        const char* name;
        jint outfit, keyLevel, look, progress, startAnim, anim, overlay;
    };
    const Case cases[] = {
        {"key missing", 0, 2, 0, 1, 0, 0, 9},
        {"key reached", 0, 2, 0, 2, 0, 5, -1},
        {"key passed", 0, 2, 0, 4, 0, 5, -1},
        {"key level 4 missing", 0, 4, 0, 3, 0, 0, 11},
        {"nothing asked", 0, 0, outfit1, 0, 0, 5, -1},
        {"open door shut", 0, 0, 0, 0, 2, 3, -1},
        {"opened again", 0, 0, 0, 0, 6, 3, -1},
        {"a closing door", 0, 0, 0, 0, 4, 5, -1},
        {"busy door", 0, 0, 0, 0, 1, 1, -1},
        {"outfit missing", 1, 0, 0, 0, 0, 0, 1},
        {"outfit worn", 1, 0, outfit1, 0, 0, 5, -1},
        {"outfit and key missing", 1, 2, 0, 0, 0, 0, 1},
        {"outfit worn, key missing", 1, 2, outfit1, 1, 0, 0, 1},
        {"refused while open", 1, 0, 0, 0, 2, 2, -1},
        // Outfit 3's look is not cached: no cache index matches it, not even
        // the one equal to its number (the look the player wears there).
        {"uncached outfit", 3, 0, ingametest::kOtherLook, 0, 0, 0, 3},
        {"outfit number above 7", 9, 0, 0, 0, 0, 5, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VMPtr<InGameInteractionItem> door = item(6, 0, 0, c.outfit, c.keyLevel);
        door->setSlotIndex(0, c.startAnim);
        placePlayer(225, c.look, c.progress);  // in the use area only
        press({});
        door->update(0, 0);
        EXPECT_EQ(door->getSlotIndex(0), c.startAnim == 4 ? 0 : c.startAnim);  // no button
        door->setSlotIndex(0, c.startAnim);
        press({kAction});
        door->update(0, 0);
        EXPECT_EQ(door->getSlotIndex(0), c.anim);
        EXPECT_EQ(player->pendingOverlay, c.overlay);
        EXPECT_EQ(player->isExposed(), c.anim == c.startAnim);  // opening hides the player
        EXPECT_EQ(player->getState(), InGamePlayer::WALKING);  // the use area does not stop it
    }
    EXPECT_EQ(item(6, 0, 0, 3, 0)->getOutfitIndex(), InGameInteractionItem::OUTFIT_NOT_CACHED);
    EXPECT_EQ(item(6, 0, 0, 0, 0)->getOutfitIndex(), InGameInteractionItem::NO_OUTFIT);
    EXPECT_EQ(item(6, 0, 0, 9, 0)->getOutfitIndex(), InGameInteractionItem::NO_OUTFIT);
    VMPtr<InGameInteractionItem> door = item(6, 0, 0, 1, 0);
    EXPECT_EQ(door->getOutfitIndex(), itemtest::cacheIndexOf(outfit1));
}

TEST_F(InGameInteractionItemTest, TheSolidPartPushesBack) {
    VMPtr<InGameInteractionItem> door = item(1, 0, 0, 0, 0);
    EXPECT_EQ(door->getLayer(), 75);
    // Walking in: stopped and moved back by its last step, the button unheard.
    placePlayer(202, 0, 0, 4);
    press({kAction});
    door->update(0, 0);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    EXPECT_EQ(player->getSlotX(0), 198);
    EXPECT_EQ(door->getSlotIndex(0), 0);
    // Standing in it: the button works.
    placePlayer(202, 0, 0, 0);
    door->update(0, 0);
    EXPECT_EQ(player->getState(), InGamePlayer::STANDING);
    EXPECT_EQ(door->getSlotIndex(0), 5);
    // A door closing (4) lets the player through and shows 1.
    placePlayer(202, 0, 0, 4);
    door->setSlotIndex(0, 4);
    door->update(0, 0);
    EXPECT_EQ(door->getSlotIndex(0), 1);
    EXPECT_EQ(player->getSlotX(0), 202);
    EXPECT_EQ(player->getState(), InGamePlayer::WALKING);
    // Off its row, engaged or hidden: nothing.
    for (int i = 0; i < 3; ++i) {
        placePlayer(202, 0, 0, 4);
        if (i == 0) player->setPositionAll(202, 630 - 64), player->syncPosition(), player->updateDepth();
        if (i == 1) player->setEngaged(true);
        if (i == 2) player->setExposed(false);
        door->update(0, 0);
        EXPECT_EQ(player->getState(), InGamePlayer::WALKING);
    }
    // 4 falls back to 0 at the end of the update, with the player away.
    placePlayer(400, 0, 0);
    door->setSlotIndex(0, 4);
    door->update(0, 0);
    EXPECT_EQ(door->getSlotIndex(0), 0);
    door->saveState();
    EXPECT_EQ(door->getSavedState(), 0);
}

TEST_F(InGameInteractionItemTest, AFixedItemIsAStillFrameThatNeverOpens) {
    // Hotel variant 2: offset 1, frame 1.
    VMPtr<InGameInteractionItem> fixedItem = item(6, 2, 1, 0, 0);
    EXPECT_TRUE(fixedItem->isFixed());
    EXPECT_EQ(fixedItem->getSlotKind(0), InGameInteractionItem::KIND_FRAME);
    EXPECT_EQ(fixedItem->getSlotIndex(0), 1);
    placePlayer(202, 0, 0, 0);
    press({kAction});
    fixedItem->update(0, 0);
    EXPECT_EQ(fixedItem->getSlotIndex(0), 1);
    EXPECT_TRUE(player->isExposed());
    placePlayer(202, 0, 0, 4);
    fixedItem->update(0, 0);
    EXPECT_EQ(player->getSlotX(0), 198);  // still solid
    fixedItem->saveState();
    EXPECT_EQ(fixedItem->getSavedState(), -1);

    // The same variant as a door starts open (animation 1), its level read.
    VMPtr<InGameInteractionItem> door = item(6, 2, 0, 0, 3);
    EXPECT_EQ(door->getSlotKind(0), InGameInteractionItem::KIND_ANIMATION);
    EXPECT_EQ(door->getSlotIndex(0), 1);
    EXPECT_EQ(door->getRequiredKeyLevel(), 3);
    EXPECT_EQ(door->getDepth(), 0);
}

}  // namespace

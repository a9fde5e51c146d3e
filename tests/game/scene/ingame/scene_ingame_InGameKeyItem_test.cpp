// Keys on hand-made level tables: the four levels, taken by touch on the
// player's row, progress only rising, reset and restore.
#include "items_test_support.h"
#include "scene_ingame_InGameKeyItem.h"

namespace {

using scene::ingame::InGameKeyItem;

class InGameKeyItemTest : public itemtest::ItemTest {};

TEST_F(InGameKeyItemTest, KeysAreTakenByTouchResetAndRestored) {
    itemtest::put(0x3405, 0x3401, itemtest::loopSet(5, {-16, -20, 32, 20}));
    level->keyRecords = VMIntRows::create(4, 3);
    VMPtr<InGameKeyItem> keyAt[4];
    for (jint i = 0; i < 4; ++i) {  // kinds 0 to 3 at x 100 to 400
        VMPtr<VMInts> r = level->keyRecords->get(i);
        (*r)[0] = i, (*r)[1] = 100 * (i + 1), (*r)[2] = 630;
        keyAt[i] = InGameKeyItem::create()->construct();
        keyAt[i]->initFromRecord(i);
        EXPECT_EQ(keyAt[i]->getSlotIndex(0), i + 1);
        keyAt[i]->reset(i);
    }
    auto frame = [&] {
        for (auto& k : keyAt) k->update(0, 0);
    };
    standAt(300, 630 - 64);
    frame();  // off the row
    standAt(300);
    player->setEngaged(true);
    frame();
    EXPECT_EQ(keyAt[2]->getSlotIndex(0), 3);
    standAt(300);
    frame();
    EXPECT_EQ(keyAt[2]->getSlotIndex(0), 0);
    EXPECT_EQ(player->getProgress(), 3);
    standAt(200);
    frame();  // a level-2 key leaves progress at 3
    EXPECT_EQ(keyAt[1]->getSlotIndex(0), 0);
    EXPECT_EQ(player->getProgress(), 3);
    player->progress = 0;
    keyAt[2]->setSlotPosition(0, 200, 630);
    frame();  // a taken key is not tested again
    EXPECT_EQ(player->getProgress(), 0);

    keyAt[1]->initFromRecord(1);  // the reset saved it lying there
    EXPECT_EQ(keyAt[1]->getSlotIndex(0), 2);
    keyAt[2]->saveState();  // a checkpoint after taking it
    keyAt[2]->initFromRecord(2);
    EXPECT_EQ(keyAt[2]->getSlotIndex(0), 0);
    keyAt[2]->reset(2);
    EXPECT_EQ(keyAt[2]->getSlotIndex(0), 3);
    EXPECT_EQ(keyAt[2]->getSlotX(0), 300);
    EXPECT_EQ(keyAt[2]->getSavedState(), 3);
}

}  // namespace

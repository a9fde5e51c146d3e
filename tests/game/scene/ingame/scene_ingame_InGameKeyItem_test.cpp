// Keys on hand-made level tables: the four key levels, taken by touch on the
// player's row, the player's progress only rising, reset and restore.
#include "items_test_support.h"
#include "scene_ingame_InGameKeyItem.h"

namespace {

using itemtest::InGameObject;
using scene::ingame::InGameKeyItem;

class InGameKeyItemTest : public itemtest::ItemTest {
protected:
    void SetUp() override {
        itemtest::ItemTest::SetUp();
        itemtest::put(InGameKeyItem::KEY_IMAGE, InGameKeyItem::KEY_SET, itemtest::loopSet(5, {-16, -20, 32, 20}));
        // Kinds 0 to 3 at x 100, 200, 300, 400 on the bottom row.
        VMPtr<VMIntRows> rows = VMIntRows::create(4, 3);
        for (jint i = 0; i < 4; ++i) {
            (*rows->get(i))[0] = i;
            (*rows->get(i))[1] = 100 * (i + 1);
            (*rows->get(i))[2] = 630;
        }
        level->keyRecords = rows;
        for (jint i = 0; i < 4; ++i) {
            keys_[i] = InGameKeyItem::create()->construct();
            keys_[i]->initFromRecord(i);
        }
    }
    void TearDown() override {
        for (auto& k : keys_) k = nullptr;
        itemtest::ItemTest::TearDown();
    }
    void frame() {
        for (auto& k : keys_) k->update(0, 0);
    }

    VMPtr<InGameKeyItem> keys_[4];
};

TEST_F(InGameKeyItemTest, TouchTakesAKeyAndProgressOnlyRises) {
    for (jint i = 0; i < 4; ++i) {
        EXPECT_EQ(keys_[i]->keyLevel, i + 1);
        EXPECT_EQ(keys_[i]->getSlotIndex(0), i + 1);
        EXPECT_EQ(keys_[i]->getLayer(), 75);
    }
    standAt(600, 630);
    frame();
    EXPECT_EQ(player->getProgress(), 0);

    // Off the row, engaged or hidden: left lying.
    standAt(300, 630 - 64);
    frame();
    standAt(300, 630);
    player->setEngaged(true);
    frame();
    player->setEngaged(false);
    player->setExposed(false);
    frame();
    EXPECT_EQ(keys_[2]->getSlotIndex(0), 3);
    EXPECT_EQ(player->getProgress(), 0);

    player->setExposed(true);
    frame();  // the level-3 key
    EXPECT_EQ(keys_[2]->getSlotIndex(0), InGameKeyItem::TAKEN);
    EXPECT_EQ(player->getProgress(), 3);
    standAt(200, 630);
    frame();  // a level-2 key taken later leaves progress at 3
    EXPECT_EQ(keys_[1]->getSlotIndex(0), InGameKeyItem::TAKEN);
    EXPECT_EQ(player->getProgress(), 3);

    // A taken key is not tested again, even moved under the player.
    player->progress = 0;
    keys_[2]->setSlotPosition(0, 200, 630);
    frame();
    EXPECT_EQ(player->getProgress(), 0);
}

TEST_F(InGameKeyItemTest, ResetSavesAtOnceAndARestoreShowsTheCheckpoint) {
    for (jint i = 0; i < 4; ++i) keys_[i]->reset(i);
    EXPECT_EQ(keys_[0]->getSavedState(), 1);
    standAt(100, 630);
    frame();
    EXPECT_EQ(keys_[0]->getSlotIndex(0), InGameKeyItem::TAKEN);
    keys_[0]->initFromRecord(0);  // caught before the next checkpoint: lies there again
    EXPECT_EQ(keys_[0]->getSlotIndex(0), 1);

    frame();
    for (auto& k : keys_) k->saveState();  // the checkpoint after taking it
    keys_[0]->initFromRecord(0);
    EXPECT_EQ(keys_[0]->getSlotIndex(0), InGameKeyItem::TAKEN);

    keys_[3]->setSlotPosition(0, 10, 10);
    keys_[0]->reset(0);
    keys_[3]->reset(3);
    EXPECT_EQ(keys_[0]->getSlotIndex(0), 1);
    EXPECT_EQ(keys_[3]->getSlotX(0), 400);
    EXPECT_EQ(keys_[3]->getSlotY(0), 630);

    // A restore with nothing saved keeps the key lying there.
    VMPtr<InGameKeyItem> fresh = InGameKeyItem::create()->construct();
    fresh->initFromRecord(1);
    fresh->initFromRecord(1);
    EXPECT_EQ(fresh->getSlotIndex(0), 2);
}

}  // namespace

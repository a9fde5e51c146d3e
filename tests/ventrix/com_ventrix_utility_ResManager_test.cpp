// ResManager: counted, shared slots of the test data set's sprite pack, and
// the growth of its tables.
#include "com_ventrix_utility_ResManager.h"
#include "ts_Resources.h"
#include "vm_test.h"

using com::ventrix::utility::ResManager;

namespace {

constexpr jint kGobs = 16 * 1024 + 1, kOtherGobs = 16 * 1024 + 4, kAnim = 16 * 1024 + 3;

class ResManagerTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        ResManager::instance = nullptr;  // the first load starts afresh
    }
    void TearDown() override { ts::Resources::unloadPack(); }
    static jint refs(jint slot) { return (*ResManager::gobRefs)[slot] * 10 + (*ResManager::animRefs)[slot]; }
    static jint key(jint row, jint slot) { return (*ResManager::slotKeys->get(row))[slot]; }
    static ts::AnimSet* anim(jint slot) { return ResManager::animCache->get(slot); }
};

}  // namespace

TEST_F(ResManagerTest, APairIsSharedCountedAndDroppedWithItsLastHolder) {
    ResManager::load(kGobs, kAnim);
    ResManager::load(kGobs, kAnim);
    EXPECT_EQ(ResManager::getFirstIndex(), 0);
    EXPECT_EQ(ResManager::getSecondIndex(), 0);
    EXPECT_EQ(refs(0), 22);
    EXPECT_EQ(anim(0)->gobs.get(), ResManager::gobCache->get(0));  // bound to the cached images
    ResManager::release(0, 0);
    EXPECT_NE(anim(0), nullptr);
    ResManager::release(0, 0);
    EXPECT_EQ(anim(0), nullptr);
    EXPECT_EQ(ResManager::gobCache->get(0), nullptr);
    EXPECT_EQ(key(0, 0) & key(1, 0) & key(2, 0), -1);

    ResManager::load(kGobs, -1);  // freed slots are not handed out again
    EXPECT_EQ(ResManager::getFirstIndex(), 1);
    EXPECT_EQ(ResManager::getSecondIndex(), -1);
    ResManager::load(-1, -1);
    EXPECT_EQ(ResManager::getFirstIndex() & ResManager::getSecondIndex(), -1);
    ResManager::load(kOtherGobs, kAnim);  // other images: a set of its own
    EXPECT_EQ(ResManager::getSecondIndex(), 2);
    EXPECT_EQ(key(2, 2), kOtherGobs);
    EXPECT_EQ(anim(2)->gobs.get(), ResManager::gobCache->get(2));
    EXPECT_EQ(ResManager::usedSlots, 3);
}

TEST_F(ResManagerTest, TheTablesGrowTo10_15And22AndClearKeepsTheirSize) {
    std::vector<jint> capacities;
    for (int i = 0; i < 15; ++i) {
        ResManager::load(kGobs, kAnim);  // after a release: a fresh slot each time
        if (i < 14) ResManager::release(ResManager::getFirstIndex(), ResManager::getSecondIndex());
        capacities.push_back(ResManager::capacity);
    }
    EXPECT_EQ(capacities, (std::vector<jint>{5, 5, 5, 5, 10, 10, 10, 10, 10, 15, 15, 15, 15, 15, 22}));
    EXPECT_EQ(ResManager::slotKeys->get(2)->length, 22);
    EXPECT_EQ(refs(14), 11);  // the live entry kept its place and counts
    EXPECT_EQ(key(0, 14), kGobs);
    EXPECT_NE(ts::Resources::decodedImages, nullptr);  // the sheet, kept for the next Gob set
    ResManager::clear();
    EXPECT_EQ(ts::Resources::decodedImages, nullptr);  // no decoded image outlives the scene
    EXPECT_EQ(ResManager::capacity, 22);
    EXPECT_EQ(refs(14), 0);
    EXPECT_EQ(key(1, 21), -1);
    ResManager::load(kGobs, -1);
    EXPECT_EQ(ResManager::getFirstIndex(), 0);
}

TEST_F(ResManagerTest, AnAnimationWithoutImagesIsBoundToNoneAndSharedOnItsId) {
    ResManager::load(-1, kAnim);
    EXPECT_EQ(ResManager::getFirstIndex(), -1);
    EXPECT_EQ(ResManager::getSecondIndex(), 0);
    EXPECT_EQ(key(2, 0), -1);
    EXPECT_EQ(anim(0)->gobs, nullptr);
    ResManager::load(-1, kAnim);  // matches on its id and its missing images
    EXPECT_EQ(ResManager::getSecondIndex(), 0);
    EXPECT_EQ(refs(0), 2);
    ResManager::load(kGobs, kAnim);  // with images: a set of its own
    EXPECT_EQ(ResManager::getSecondIndex(), 1);
    EXPECT_EQ(anim(1)->gobs.get(), ResManager::gobCache->get(1));
}

TEST_F(ResManagerTest, ReleasesOfSlotsNotHandedOutOrWithoutHoldersAreIgnored) {
    ResManager::load(kGobs, kAnim);
    ResManager::load(kOtherGobs, -1);
    for (auto [gobSlot, animSlot] : {std::pair{2, 2}, {-5, 7}, {4, -1}, {100, 100}, {1, 1}}) {
        ResManager::release(gobSlot, animSlot);  // slot 1 has no animation holder
    }
    EXPECT_EQ(refs(0), 11);
    EXPECT_EQ(refs(1), 0);       // its one image holder went
    ResManager::release(1, -1);  // no holders left: the count stays 0
    EXPECT_EQ(refs(1), 0);
    ResManager::load(kOtherGobs, -1);  // a fresh slot, counted from 0
    EXPECT_EQ(ResManager::getFirstIndex(), 2);
    EXPECT_EQ(refs(2), 10);
    EXPECT_EQ(refs(0), 11);
}

TEST_F(ResManagerTest, DestroyLeavesTheCacheAsNewAndTheNextLoadRebuildsIt) {
    for (int i = 0; i < 6; ++i) ResManager::load(kGobs, i % 2 == 0 ? -1 : kAnim);
    ResManager::load(kOtherGobs, kAnim);
    ResManager::destroy();
    EXPECT_EQ(ts::Resources::decodedImages, nullptr);
    EXPECT_EQ(ResManager::gobCache, nullptr);
    EXPECT_EQ(ResManager::animCache, nullptr);
    EXPECT_EQ(ResManager::capacity, 5);
    EXPECT_EQ(ResManager::usedSlots, 0);
    EXPECT_EQ(ResManager::getFirstIndex() & ResManager::getSecondIndex(), -1);
    EXPECT_EQ(refs(0), 0);
    EXPECT_EQ(key(1, 0), -1);
    // Disposals and the exit's clear after destroy find nothing to do.
    ResManager::release(0, 0);
    ResManager::clear();
    ResManager::destroy();
    ResManager::load(kGobs, kAnim);
    EXPECT_EQ(ResManager::getFirstIndex(), 0);
    EXPECT_EQ(refs(0), 11);
    EXPECT_EQ(anim(0)->gobs.get(), ResManager::gobCache->get(0));
    EXPECT_EQ(ResManager::gobCache->length, 5);
}

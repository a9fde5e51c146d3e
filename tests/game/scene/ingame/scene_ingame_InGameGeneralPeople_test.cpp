// The bystanders: look, facing and start animation from the record, the
// random warm-up, a new idle whenever an odd animation shows (also while
// frozen), and no movement ever.
#include "people_test_support.h"
#include "scene_ingame_InGameGeneralPeople.h"

VM_REGISTER_CLASS(peopletest::ScriptRandom, .name = "peopletest.ScriptRandom")

namespace {

using scene::ingame::InGameGeneralPeople;
using scene::ingame::InGameObject;

class InGameGeneralPeopleTest : public peopletest::PeopleTest {
protected:
    VMPtr<InGameGeneralPeople> make(jint look, jint start, std::vector<jint> randoms = {0}) {
        const jint row = addRecord(level->generalRecords, {look, 300, 500, start});
        draws(std::move(randoms));
        VMPtr<InGameGeneralPeople> p = InGameGeneralPeople::create()->construct();
        p->initFromRecord(row);
        return p;
    }
};

TEST_F(InGameGeneralPeopleTest, RecordWarmUpAndIdlesWithoutEverMoving) {
    VMPtr<InGameGeneralPeople> p = make(7, 2);  // outfit 3, mirrored; field 3 = 2
    EXPECT_EQ(p->getSlotIndex(0), 4);
    EXPECT_EQ(p->getTransform(0), 2);
    EXPECT_EQ((*com::ventrix::utility::ResManager::slotKeys->get(0))[p->getImageIndex(0)], 0x2C0A);
    EXPECT_EQ(make(10, 0)->getTransform(0), 0);
    // Each warm-up update ends an idle and draws the next: draws after the
    // first count the updates. The frame time is kept.
    for (auto [warmUp, updates] : {std::pair{39, 0}, {40, 1}, {9999, 249}, {19999, 249}}) {
        com::ventrix::utility::MyObject::frameTime = 17;
        make(0, 0, {warmUp, 0});
        EXPECT_EQ(random->draws - 1, updates) << warmUp;
        EXPECT_EQ(com::ventrix::utility::MyObject::frameTime, 17);
    }
    // Frozen: no advance, but an odd animation still draws.
    com::ventrix::utility::MyObject::frameTime = 40;
    InGameObject::frozen = true;
    p->update(0, 0);
    EXPECT_EQ(p->getSlotIndex(0), 4);
    p->setSlotIndex(0, 5);
    draws({3});
    p->update(0, 0);
    EXPECT_EQ(p->getSlotIndex(0), 6);
    InGameObject::frozen = false;
    draws({0, 1, 2, 3, 4, 5});
    std::vector<jint> shown;
    for (int i = 0; i < 6; ++i) {
        p->update(0, 0);
        shown.push_back(p->getSlotIndex(0));
        EXPECT_EQ(p->getSlotX(0), 300);
        EXPECT_EQ(p->getSlotY(0), 500);
    }
    EXPECT_EQ(shown, (std::vector<jint>{0, 2, 4, 6, 8, 0}));
    EXPECT_EQ(VM_THROWN_CLASS(make(12, 0)), "java.lang.ArrayIndexOutOfBoundsException");
}

}  // namespace

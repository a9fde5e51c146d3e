// The bystanders: set up from the loader's general records (look and
// facing, place, start animation), warmed up by a random time, picking a
// new idle whenever an odd animation shows (even while frozen), and never
// moving.
#include "people_test_support.h"
#include "scene_ingame_InGameGeneralPeople.h"

VM_REGISTER_CLASS(peopletest::ScriptRandom, .name = "peopletest.ScriptRandom")

namespace {

using scene::ingame::InGameGeneralPeople;
using scene::ingame::InGameObject;

class InGameGeneralPeopleTest : public peopletest::PeopleTest {
protected:
    // A bystander from a new general record; the first draw is its warm-up.
    VMPtr<InGameGeneralPeople> make(jint look, jint x, jint y, jint start) {
        VMPtr<VMIntRows> old = level->generalRecords;
        VMPtr<VMIntRows> rows = VMIntRows::create(old->length + 1, 0);
        for (jint i = 0; i < old->length; ++i) rows->set(i, old->get(i));
        VMPtr<VMInts> r = VMInts::create(4);
        (*r)[0] = look;
        (*r)[1] = x;
        (*r)[2] = y;
        (*r)[3] = start;
        rows->set(old->length, r);
        level->generalRecords = rows;
        VMPtr<InGameGeneralPeople> p = InGameGeneralPeople::create()->construct();
        p->initFromRecord(old->length);
        return p;
    }
};

TEST_F(InGameGeneralPeopleTest, RecordsGiveLookFacingPlaceAndStartAnimation) {
    draws({0});  // no warm-up
    struct Case {
        jint look, start;
        jint image, transform;
    } cases[] = {{0, 2, 0x2C06, 0}, {1, 0, 0x2C06, 2}, {4, 1, 0x2C09, 0}, {11, 3, 0x2C08, 2}, {7, 4, 0x2C0A, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.look);
        VMPtr<InGameGeneralPeople> p = make(c.look, 120, 600, c.start);
        EXPECT_EQ(p->getSlotIndex(0), 2 * c.start);  // field 3 = 2 starts animation 4
        EXPECT_EQ(p->getTransform(0), c.transform);
        EXPECT_EQ(p->getLayer(), InGameGeneralPeople::GENERAL_LAYER);
        VMPtr<VMArray<jint, 2>> keys = com::ventrix::utility::ResManager::slotKeys;
        EXPECT_EQ((*keys->get(0))[p->getImageIndex(0)], c.image);
        EXPECT_EQ(p->getSlotX(0), 120);
        EXPECT_EQ(p->getSlotY(0), 600);
    }
}

TEST_F(InGameGeneralPeopleTest, TheWarmUpRunsOneUpdateFor40MillisecondsAndKeepsTheFrameTime) {
    // Each update of the hand-made look ends an idle and draws the next one,
    // so the draws after the warm-up's own count the updates.
    for (auto [warmUp, updates] : {std::pair{0, 0}, {39, 0}, {40, 1}, {9999, 249}, {19999, 249}}) {
        SCOPED_TRACE(warmUp);
        com::ventrix::utility::MyObject::frameTime = 17;
        draws({warmUp, 0});
        make(0, 50, 600, 0);
        EXPECT_EQ(random->draws - 1, updates);
        EXPECT_EQ(com::ventrix::utility::MyObject::frameTime, 17);
    }
}

TEST_F(InGameGeneralPeopleTest, OddAnimationsDrawTheNextIdleEvenWhileFrozenAndNobodyMoves) {
    draws({0});
    VMPtr<InGameGeneralPeople> p = make(3, 300, 500, 0);
    // Frozen: the idle does not advance, but an odd one still draws.
    InGameObject::frozen = true;
    for (int i = 0; i < 5; ++i) p->update(0, 0);
    EXPECT_EQ(p->getSlotIndex(0), 0);
    p->setSlotIndex(0, 5);
    draws({3});
    p->update(0, 0);
    EXPECT_EQ(p->getSlotIndex(0), 6);
    InGameObject::frozen = false;
    // Running: every idle leads on and the draw picks among 0, 2, ..., 8.
    draws({0, 1, 2, 3, 4, 5, 6, 7});
    std::vector<jint> shown;
    for (int i = 0; i < 8; ++i) {
        p->update(0, 0);
        shown.push_back(p->getSlotIndex(0));
        EXPECT_EQ(p->getSlotX(0), 300);
        EXPECT_EQ(p->getSlotY(0), 500);
    }
    EXPECT_EQ(shown, (std::vector<jint>{0, 2, 4, 6, 8, 0, 2, 4}));
    EXPECT_EQ(p->getTransform(0), 2);
}

TEST_F(InGameGeneralPeopleTest, RecordsPastTheTablesAreRefused) {
    draws({0});
    EXPECT_EQ(VM_THROWN_CLASS(make(12, 0, 0, 0)), "java.lang.ArrayIndexOutOfBoundsException");
    VMPtr<InGameGeneralPeople> p = InGameGeneralPeople::create()->construct();
    EXPECT_EQ(VM_THROWN_CLASS(p->initFromRecord(7)), "java.lang.ArrayIndexOutOfBoundsException");
}

}  // namespace

// javax.microedition.rms.RecordEnumerationImpl: walking both ways, filters
// and comparators, and a snapshot kept updated as the store changes.
#include <functional>
#include <string>
#include <vector>

#include "java_lang_RuntimeException.h"
#include "javax_microedition_rms_RecordEnumeration.h"
#include "rms_test_support.h"

namespace rmstest {

using javax::microedition::rms::RecordComparator;
using javax::microedition::rms::RecordEnumeration;
using javax::microedition::rms::RecordFilter;

// Orders records by their first byte.
class FirstByteOrder : public virtual java::lang::Object, public virtual RecordComparator {
    VM_DECLARE_CLASS(FirstByteOrder, java::lang::Object)

public:
    jint compare(VMPtr<VMBytes> a, VMPtr<VMBytes> b) override {
        jbyte x = (*a)[0], y = (*b)[0];
        return x < y ? PRECEDES : x > y ? FOLLOWS : EQUIVALENT;
    }
};

// Keeps records whose first byte is a lower-case letter; throws for '!'.
class LowerCaseOnly : public virtual java::lang::Object, public virtual RecordFilter {
    VM_DECLARE_CLASS(LowerCaseOnly, java::lang::Object)

public:
    jboolean matches(VMPtr<VMBytes> candidate) override {
        if (candidate->length > 0 && (*candidate)[0] == '!')
            _VM_throw(java::lang::RuntimeException::create()->construct());
        return candidate->length > 0 && (*candidate)[0] >= 'a' && (*candidate)[0] <= 'z';
    }
};

}  // namespace rmstest

VM_REGISTER_CLASS(rmstest::FirstByteOrder, .name = "rmstest.FirstByteOrder")
VM_REGISTER_CLASS(rmstest::LowerCaseOnly, .name = "rmstest.LowerCaseOnly")

namespace rmstest {
namespace {

constexpr const char* kInvalidId = "javax.microedition.rms.InvalidRecordIDException";

class RecordEnumerationTest : public RmsTest {
protected:
    VMPtr<RecordStore> store = open("enumerated");
    VMPtr<FirstByteOrder> byFirstByte = FirstByteOrder::create();
    VMPtr<LowerCaseOnly> lowerCase = LowerCaseOnly::create();

    // The contents the enumeration walks through from its current position.
    static std::string rest(const VMPtr<RecordEnumeration>& e) {
        std::string out;
        while (e->hasNextElement()) out += text(e->nextRecord()) + " ";
        return out;
    }
};

TEST_F(RecordEnumerationTest, WalksBothWaysAndStopsAtEitherEnd) {
    VMPtr<RecordEnumeration> empty = store->enumerateRecords(nullptr, nullptr, false);
    EXPECT_EQ(empty->numRecords(), 0);
    EXPECT_FALSE(empty->hasNextElement());
    EXPECT_FALSE(empty->hasPreviousElement());
    EXPECT_EQ(VM_THROWN_TEXT(empty->nextRecordId()), kInvalidId);
    EXPECT_EQ(VM_THROWN_TEXT(empty->previousRecordId()), kInvalidId);

    for (const char* content : {"c", "a", "b"}) add(store, content);
    VMPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, nullptr, false);
    EXPECT_EQ(e->numRecords(), 3);
    EXPECT_TRUE(e->hasPreviousElement());  // from before the first, backwards starts at the last
    EXPECT_EQ(e->nextRecordId(), 1);
    EXPECT_FALSE(e->hasPreviousElement());
    EXPECT_EQ(e->nextRecordId(), 2);
    EXPECT_EQ(e->nextRecordId(), 3);
    EXPECT_EQ(VM_THROWN_TEXT(e->nextRecordId()), kInvalidId);
    EXPECT_EQ(e->previousRecordId(), 2);  // the failed call did not move
    EXPECT_EQ(e->previousRecordId(), 1);
    EXPECT_EQ(VM_THROWN_TEXT(e->previousRecordId()), kInvalidId);
    e->reset();
    EXPECT_EQ(e->previousRecordId(), 3);
    EXPECT_EQ(text(e->previousRecord()), "a");
}

TEST_F(RecordEnumerationTest, FiltersAndSortsByTheApplicationsObjects) {
    for (const char* content : {"e", "A", "a", "c", "B", "d"}) add(store, content);
    EXPECT_EQ(rest(store->enumerateRecords(nullptr, byFirstByte, false)), "A B a c d e ");
    EXPECT_EQ(rest(store->enumerateRecords(lowerCase, nullptr, false)), "e a c d ");
    VMPtr<RecordEnumeration> both = store->enumerateRecords(lowerCase, byFirstByte, false);
    EXPECT_EQ(both->numRecords(), 4);
    EXPECT_EQ(rest(both), "a c d e ");
    // A throwing filter reaches the caller.
    add(store, "!");
    EXPECT_EQ(VM_THROWN_CLASS(both->rebuild()), "java.lang.RuntimeException");
    EXPECT_EQ(VM_THROWN_CLASS(store->enumerateRecords(lowerCase, nullptr, true)), "java.lang.RuntimeException");
    store->deleteRecord(7);  // no half-built enumeration listens
    both->rebuild();
    EXPECT_EQ(rest(both), "a c d e ");
}

TEST_F(RecordEnumerationTest, KeptUpdatedWithAComparatorNewRecordsTakeTheirPlace) {
    for (const char* content : {"e", "a", "c"}) add(store, content);
    VMPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, byFirstByte, true);
    EXPECT_EQ(text(e->nextRecord()), "a");
    EXPECT_EQ(text(e->nextRecord()), "c");
    add(store, "d");  // between the current and the next
    add(store, "b");  // before the current: the current stays current
    EXPECT_EQ(e->numRecords(), 5);
    EXPECT_EQ(text(e->previousRecord()), "b");
    EXPECT_EQ(rest(e), "c d e ");
}

TEST_F(RecordEnumerationTest, KeptUpdatedWithoutAComparatorNewRecordsGoInFront) {
    for (const char* content : {"x", "y", "z"}) add(store, content);
    VMPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, nullptr, true);
    EXPECT_EQ(e->nextRecordId(), 1);
    add(store, "new");
    EXPECT_EQ(rest(e), "y z ");
    e->reset();
    EXPECT_EQ(rest(e), "new x y z ");
}

TEST_F(RecordEnumerationTest, ChangesAndDeletesReachAKeptUpdatedSnapshotOnly) {
    for (const char* content : {"a", "b", "c", "D"}) add(store, content);
    VMPtr<RecordEnumeration> kept = store->enumerateRecords(lowerCase, byFirstByte, true);
    VMPtr<RecordEnumeration> still = store->enumerateRecords(lowerCase, byFirstByte, false);
    EXPECT_EQ(kept->nextRecordId(), 1);
    EXPECT_EQ(kept->nextRecordId(), 2);
    store->deleteRecord(2);  // the current one: the position moves back
    EXPECT_EQ(kept->nextRecordId(), 3);
    store->setRecord(1, bytes("Z"), 0, 1);  // no longer matches
    store->setRecord(4, bytes("d"), 0, 1);  // matches now
    kept->reset();
    EXPECT_EQ(rest(kept), "c d ");
    EXPECT_EQ(still->numRecords(), 3);          // the snapshot taken, unchanged...
    EXPECT_EQ(text(still->nextRecord()), "Z");  // ...its records read as they are now
    EXPECT_EQ(VM_THROWN_CLASS(still->nextRecord()), "javax.microedition.rms.RecordStoreException");

    kept->keepUpdated(false);
    EXPECT_FALSE(kept->isKeptUpdated());
    add(store, "e");
    EXPECT_EQ(kept->numRecords(), 2);
    still->keepUpdated(true);  // rebuilds and starts before the first
    EXPECT_TRUE(still->isKeptUpdated());
    EXPECT_EQ(rest(still), "c d e ");
}

TEST_F(RecordEnumerationTest, AClosedStoreOrADestroyedEnumerationStopsTheWalk) {
    add(store, "a");
    add(store, "b");
    VMPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, nullptr, true);
    VMPtr<RecordEnumeration> gone = store->enumerateRecords(nullptr, nullptr, true);
    gone->destroy();
    std::function<void()> refused[] = {
        [&] { gone->numRecords(); },
        [&] { gone->nextRecord(); },
        [&] { gone->nextRecordId(); },
        [&] { gone->previousRecord(); },
        [&] { gone->previousRecordId(); },
        [&] { gone->hasNextElement(); },
        [&] { gone->hasPreviousElement(); },
        [&] { gone->reset(); },
        [&] { gone->rebuild(); },
        [&] { gone->keepUpdated(false); },
        [&] { gone->isKeptUpdated(); },
        [&] { gone->destroy(); },
    };
    for (auto& call : refused) EXPECT_EQ(VM_THROWN_TEXT(call()), "java.lang.IllegalStateException");
    add(store, "c");  // the destroyed one no longer listens

    store->closeRecordStore();
    EXPECT_EQ(e->numRecords(), 3);
    EXPECT_FALSE(e->hasNextElement());
    EXPECT_FALSE(e->hasPreviousElement());
    EXPECT_EQ(VM_THROWN_CLASS(e->nextRecord()), "javax.microedition.rms.RecordStoreNotOpenException");
    EXPECT_EQ(VM_THROWN_CLASS(e->rebuild()), "javax.microedition.rms.RecordStoreNotOpenException");
    EXPECT_EQ(e->nextRecordId(), 1);  // the failed nextRecord had moved on already
}

}  // namespace
}  // namespace rmstest

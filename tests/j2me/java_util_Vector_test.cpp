// java.util.Vector and its enumerator: growth, index failures and their
// messages, search by equals, copying out, the text form, the live
// enumeration, dispatch through overridable operations and the monitor.
#include <string>

#include "VMRuntime.h"
#include "VMThread.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_util_NoSuchElementException.h"
#include "java_util_Vector.h"
#include "java_util_VectorEnumerator.h"
#include "vm_test.h"

namespace vectortest {

// An element with a text of its own and an equality by a number; counts
// the equals calls made on it, and those made while the current thread
// holds the watched object's monitor.
class Item : public java::lang::Object {
    VM_DECLARE_CLASS(Item, java::lang::Object)

public:
    jint id = 0;
    jint equalsCalls = 0;
    java::lang::Object* watched = nullptr;
    jint callsWithMonitor = 0;
    VMPtr<Item> construct(jint itemId) {
        Super::construct();
        id = itemId;
        return this;
    }
    jboolean equals(VMPtr<java::lang::Object> other) override {
        ++equalsCalls;
        if (watched != nullptr && watched->_VM_owner == VMThread::current() && watched->_VM_count > 0)
            ++callsWithMonitor;
        auto* item = dynamic_cast<Item*>(other.get());
        return item != nullptr && item->id == id;
    }
    VMPtr<java::lang::String> toString() override {
        return java::lang::String::_VM_fromUTF8(("item" + std::to_string(id)).c_str());
    }
};

// A vector whose two searching operations count their calls.
class CountingVector : public java::util::Vector {
    VM_DECLARE_CLASS(CountingVector, java::util::Vector)

public:
    using Vector::indexOf;
    using Vector::lastIndexOf;
    jint indexCalls = 0;
    jint lastIndexCalls = 0;
    jint indexOf(VMPtr<java::lang::Object> elem, jint index) override {
        ++indexCalls;
        return Vector::indexOf(elem, index);
    }
    jint lastIndexOf(VMPtr<java::lang::Object> elem, jint index) override {
        ++lastIndexCalls;
        return Vector::lastIndexOf(elem, index);
    }
};

}  // namespace vectortest

VM_REGISTER_CLASS(vectortest::Item, .name = "vectortest.Item")
VM_REGISTER_CLASS(vectortest::CountingVector, .name = "vectortest.CountingVector")

using namespace java::lang;
using java::util::Enumeration;
using java::util::Vector;
using vectortest::Item;

namespace {

class VectorTest : public VMTest {
protected:
    static VMPtr<Vector> make(jint capacity = 10, jint increment = 0) {
        return Vector::create()->construct(capacity, increment);
    }
    // A vector holding the strings s0, s1, ... (n of them).
    static VMPtr<Vector> strings(jint n) {
        VMPtr<Vector> v = make();
        for (jint i = 0; i < n; ++i) v->addElement(String::_VM_fromUTF8(("s" + std::to_string(i)).c_str()));
        return v;
    }
    static std::string str(const VMPtr<Object>& o) { return o == nullptr ? "<null>" : text(o->toString()); }
};

const char* const kIndexFailure = "java.lang.ArrayIndexOutOfBoundsException: index >= elementCount";

TEST_F(VectorTest, ClassesAreRegistered) {
    Class* vector = _VM_findClass("java.util.Vector");
    ASSERT_EQ(vector, Vector::_VM_getClass());
    VMPtr<Object> made = vector->newInstance();
    auto* fresh = dynamic_cast<Vector*>(made.get());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->size(), 0);
    EXPECT_EQ(fresh->capacity(), 10);

    Class* enumeration = _VM_findClass("java.util.Enumeration");
    ASSERT_EQ(enumeration, Enumeration::_VM_getClass());
    EXPECT_TRUE(enumeration->isInterface());
    Class* enumerator = _VM_findClass("java.util.VectorEnumerator");
    ASSERT_EQ(enumerator, java::util::VectorEnumerator::_VM_getClass());
    EXPECT_TRUE(_VM_implements(_VM_classRegistry(), enumerator, enumeration));
    EXPECT_EQ(enumerator->newInstanceFunction, nullptr);
    EXPECT_EQ(make()->elements()->getClass(), enumerator);
}

TEST_F(VectorTest, GrowthFollowsTheIncrementOrDoubles) {
    EXPECT_EQ(VM_THROWN_TEXT(Vector::create()->construct(-1)),
              "java.lang.IllegalArgumentException: Negative initialCapacity");
    auto capacities = [](VMPtr<Vector> v, int adds) {
        std::string seen = std::to_string(v->capacity());
        for (int i = 0; i < adds; ++i) {
            jint before = v->capacity();
            v->addElement(nullptr);
            if (v->capacity() != before) seen += "," + std::to_string(v->capacity());
        }
        return seen;
    };
    EXPECT_EQ(capacities(Vector::create()->construct(), 41), "10,20,40,80");
    EXPECT_EQ(capacities(make(5, 3), 12), "5,8,11,14");
    EXPECT_EQ(capacities(make(0), 5), "0,1,2,4,8");
    EXPECT_EQ(capacities(make(4, -7), 5), "4,8");  // a negative step doubles

    VMPtr<Vector> v = strings(3);
    v->ensureCapacity(5);
    EXPECT_EQ(v->capacity(), 10);  // already enough
    v->ensureCapacity(11);
    EXPECT_EQ(v->capacity(), 20);
    v->ensureCapacity(55);
    EXPECT_EQ(v->capacity(), 55);  // the minimum wins over doubling
    EXPECT_EQ(str(v->elementAt(2)), "s2");
}

TEST_F(VectorTest, ElementAccessChecksTheIndex) {
    VMPtr<Vector> v = strings(3);
    EXPECT_EQ(str(v->elementAt(0)), "s0");
    EXPECT_EQ(str(v->firstElement()), "s0");
    EXPECT_EQ(str(v->lastElement()), "s2");
    EXPECT_EQ(VM_THROWN_TEXT(v->elementAt(3)), kIndexFailure);
    EXPECT_EQ(VM_THROWN_TEXT(v->setElementAt(VM_STR("x"), 3)), kIndexFailure);
    EXPECT_EQ(VM_THROWN_TEXT(v->removeElementAt(3)), kIndexFailure);
    // Below zero: the array's own failure with the index, nothing touched.
    const std::string minusOne = "java.lang.ArrayIndexOutOfBoundsException: Array index out of range: -1";
    EXPECT_EQ(VM_THROWN_TEXT(v->removeElementAt(-1)), minusOne);
    EXPECT_EQ(VM_THROWN_TEXT(v->elementAt(-1)), minusOne);
    EXPECT_EQ(VM_THROWN_TEXT(v->setElementAt(VM_STR("x"), -1)), minusOne);
    EXPECT_EQ(VM_THROWN_TEXT(v->insertElementAt(VM_STR("x"), -1)), minusOne);
    EXPECT_EQ(VM_THROWN_TEXT(v->indexOf(VM_STR("s0"), -1)), minusOne);
    EXPECT_EQ(text(v->toString()), "[s0, s1, s2]");

    VMPtr<Vector> empty = make();
    EXPECT_EQ(VM_THROWN_TEXT(empty->firstElement()), "java.util.NoSuchElementException");
    EXPECT_EQ(VM_THROWN_TEXT(empty->lastElement()), "java.util.NoSuchElementException");
    EXPECT_EQ(VM_THROWN_TEXT(empty->elementAt(0)), kIndexFailure);

    v->setElementAt(nullptr, 1);
    EXPECT_EQ(v->elementAt(1), nullptr);
}

TEST_F(VectorTest, InsertAndRemoveShiftTheElements) {
    VMPtr<Vector> v = strings(3);
    v->insertElementAt(VM_STR("end"), 3);  // at the size: appends
    v->insertElementAt(VM_STR("front"), 0);
    v->insertElementAt(VM_STR("mid"), 2);
    EXPECT_EQ(text(v->toString()), "[front, s0, mid, s1, s2, end]");
    EXPECT_EQ(VM_THROWN_TEXT(v->insertElementAt(VM_STR("x"), 7)), kIndexFailure);

    v->removeElementAt(2);
    v->removeElementAt(0);
    v->removeElementAt(3);  // the last one
    EXPECT_EQ(text(v->toString()), "[s0, s1, s2]");
    EXPECT_EQ(v->elementData->get(3), nullptr);  // the vacated slots hold null
    EXPECT_EQ(v->elementData->get(4), nullptr);

    // Insertion into a full vector grows it first.
    VMPtr<Vector> full = make(2);
    full->addElement(VM_STR("a"));
    full->addElement(VM_STR("b"));
    full->insertElementAt(VM_STR("c"), 1);
    EXPECT_EQ(full->capacity(), 4);
    EXPECT_EQ(text(full->toString()), "[a, c, b]");

    EXPECT_TRUE(v->removeElement(String::_VM_fromUTF8("s1")));  // found by equals
    EXPECT_FALSE(v->removeElement(VM_STR("nothing")));
    EXPECT_EQ(text(v->toString()), "[s0, s2]");
    v->removeAllElements();
    EXPECT_EQ(v->size(), 0);
    EXPECT_EQ(v->capacity(), 10);
    EXPECT_EQ(v->elementData->get(0), nullptr);
    EXPECT_EQ(v->elementData->get(1), nullptr);
}

TEST_F(VectorTest, SetSizeTruncatesOrGrows) {
    VMPtr<Vector> v = strings(5);
    EXPECT_EQ(VM_THROWN_TEXT(v->setSize(-1)), "java.lang.ArrayIndexOutOfBoundsException: new size is negative");
    v->setSize(2);
    EXPECT_EQ(v->size(), 2);
    EXPECT_EQ(v->capacity(), 10);
    for (jint i = 2; i < 5; ++i) EXPECT_EQ(v->elementData->get(i), nullptr) << i;
    v->setSize(4);  // within the capacity: the new elements are null
    EXPECT_EQ(text(v->toString()), "[s0, s1, null, null]");
    v->setSize(15);
    EXPECT_EQ(v->capacity(), 20);
    v->setSize(50);
    EXPECT_EQ(v->capacity(), 50);
    EXPECT_EQ(v->size(), 50);
    EXPECT_EQ(str(v->elementAt(1)), "s1");
    EXPECT_EQ(v->elementAt(49), nullptr);
    v->setSize(0);
    EXPECT_TRUE(v->isEmpty());
}

TEST_F(VectorTest, SearchMatchesByTheArgumentsEquals) {
    VMPtr<Vector> v = make();
    VMPtr<Item> one = Item::create()->construct(1);
    v->addElement(one);
    v->addElement(nullptr);
    v->addElement(Item::create()->construct(2));
    v->addElement(Item::create()->construct(1));
    v->addElement(nullptr);

    VMPtr<Item> probe = Item::create()->construct(1);
    EXPECT_EQ(v->indexOf(probe), 0);
    EXPECT_EQ(v->indexOf(probe, 1), 3);
    EXPECT_EQ(v->lastIndexOf(probe), 3);
    EXPECT_EQ(v->lastIndexOf(probe, 2), 0);
    EXPECT_TRUE(v->contains(Item::create()->construct(2)));
    EXPECT_FALSE(v->contains(Item::create()->construct(9)));
    // The probe's equals is asked about every slot, null ones included.
    probe->equalsCalls = 0;
    EXPECT_EQ(v->indexOf(probe, 1), 3);
    EXPECT_EQ(probe->equalsCalls, 3);
    EXPECT_EQ(one->equalsCalls, 0);

    EXPECT_EQ(v->indexOf(nullptr), 1);  // null finds null slots only
    EXPECT_EQ(v->lastIndexOf(nullptr), 4);
    EXPECT_EQ(v->indexOf(probe, 5 + 5), -1);
    EXPECT_EQ(v->lastIndexOf(probe, -1), -1);
    EXPECT_EQ(VM_THROWN_TEXT(v->lastIndexOf(probe, 5)), "java.lang.IndexOutOfBoundsException: index >= elementCount");
    EXPECT_EQ(make()->lastIndexOf(probe), -1);
    EXPECT_EQ(make()->indexOf(nullptr), -1);
}

TEST_F(VectorTest, SearchesGoThroughTheOverridableOperations) {
    VMPtr<vectortest::CountingVector> v = vectortest::CountingVector::create();
    v->construct();
    v->addElement(VM_STR("a"));
    v->addElement(VM_STR("b"));
    EXPECT_TRUE(v->contains(VM_STR("b")));
    EXPECT_EQ(v->indexOf(VM_STR("a")), 0);
    EXPECT_TRUE(v->removeElement(VM_STR("a")));
    EXPECT_EQ(v->indexCalls, 3);
    EXPECT_EQ(v->lastIndexOf(VM_STR("b")), 0);
    EXPECT_EQ(v->lastIndexCalls, 1);
}

TEST_F(VectorTest, CopyIntoStoresThroughTheDestination) {
    VMPtr<Vector> v = strings(3);
    VMPtr<VMArray<Object, 1>> shorter = VMArray<Object, 1>::create(2);
    EXPECT_EQ(VM_THROWN_TEXT(v->copyInto(shorter)),
              "java.lang.ArrayIndexOutOfBoundsException: destination array too small");
    EXPECT_EQ(shorter->get(0), nullptr);

    VMPtr<VMArray<Object, 1>> longer = VMArray<Object, 1>::create(5);
    VMPtr<Item> marker = Item::create()->construct(7);
    longer->set(3, VMPtr<Object>(marker));
    v->copyInto(longer);
    EXPECT_EQ(str(longer->get(2)), "s2");
    EXPECT_EQ(longer->get(3), static_cast<Object*>(marker.get()));  // untouched

    VMPtr<VMArray<String, 1>> texts = VMArray<String, 1>::create(3);
    v->copyInto(texts);
    EXPECT_EQ(text(texts->get(1)), "s1");

    v->setElementAt(Item::create()->construct(1), 2);
    EXPECT_EQ(VM_THROWN_TEXT(v->copyInto(VMArray<String, 1>::create(3))), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_TEXT(v->copyInto(VMArray<jint, 1>::create(3))), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_TEXT(v->copyInto(nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_TEXT(make()->copyInto(VMArray<Object, 1>::create(0))), "");
}

TEST_F(VectorTest, TrimToSizeKeepsAFullArray) {
    VMPtr<Vector> full = make(3);
    for (int i = 0; i < 3; ++i) full->addElement(VM_STR("x"));
    VMArray<Object, 1>* before = full->elementData.get();
    full->trimToSize();
    EXPECT_EQ(full->elementData.get(), before);

    VMPtr<Vector> v = strings(3);
    v->trimToSize();
    EXPECT_EQ(v->capacity(), 3);
    EXPECT_EQ(text(v->toString()), "[s0, s1, s2]");
    v->addElement(VM_STR("s3"));
    EXPECT_EQ(v->capacity(), 6);
}

TEST_F(VectorTest, TextForm) {
    VMPtr<Vector> v = make();
    EXPECT_EQ(text(v->toString()), "[]");
    v->addElement(VM_STR("a"));
    EXPECT_EQ(text(v->toString()), "[a]");
    v->addElement(nullptr);
    v->addElement(VM_STR("b"));
    EXPECT_EQ(text(v->toString()), "[a, null, b]");
    VMPtr<Vector> nested = make();
    nested->addElement(Item::create()->construct(4));
    nested->addElement(v);
    EXPECT_EQ(text(nested->toString()), "[item4, [a, null, b]]");
    nested->addElement(nested);  // holds itself: no endless recursion
    EXPECT_EQ(text(nested->toString()), "[item4, [a, null, b], (this Collection)]");
}

TEST_F(VectorTest, EnumerationIsLive) {
    VMPtr<Vector> v = strings(2);
    VMPtr<Enumeration> walk = v->elements();
    ASSERT_TRUE(walk->hasMoreElements());
    EXPECT_EQ(str(walk->nextElement()), "s0");
    v->addElement(VM_STR("late"));  // added behind the walk: visited
    EXPECT_EQ(str(walk->nextElement()), "s1");
    EXPECT_EQ(str(walk->nextElement()), "late");
    EXPECT_FALSE(walk->hasMoreElements());
    EXPECT_EQ(VM_THROWN_TEXT(walk->nextElement()), "java.util.NoSuchElementException: VectorEnumerator");

    // A removal shifts the elements under the walk: one is skipped.
    VMPtr<Vector> shrinking = strings(3);
    VMPtr<Enumeration> skipping = shrinking->elements();
    EXPECT_EQ(str(skipping->nextElement()), "s0");
    shrinking->removeElementAt(0);
    EXPECT_EQ(str(skipping->nextElement()), "s2");
    EXPECT_FALSE(skipping->hasMoreElements());
    EXPECT_FALSE(make()->elements()->hasMoreElements());
}

TEST_F(VectorTest, MonitorIsHeldInsideAndFreeAfterAFailure) {
    VMPtr<Vector> v = strings(2);
    EXPECT_EQ(VM_THROWN_TEXT(v->elementAt(5)), kIndexFailure);
    EXPECT_EQ(v->_VM_count, 0);
    VMPtr<Enumeration> walk = v->elements();
    walk->nextElement();
    walk->nextElement();
    EXPECT_NE(VM_THROWN_TEXT(walk->nextElement()), "");
    EXPECT_EQ(v->_VM_count, 0);

    // The probe's equals runs while the searching thread holds the monitor,
    // also through the unsynchronized contains and the nested removeElement.
    VMPtr<Item> spy = Item::create()->construct(1);
    spy->watched = v.get();
    EXPECT_FALSE(v->contains(spy));
    EXPECT_EQ(spy->equalsCalls, 2);
    EXPECT_EQ(spy->callsWithMonitor, 2);
    EXPECT_FALSE(v->removeElement(spy));
    EXPECT_EQ(spy->callsWithMonitor, 4);
    EXPECT_EQ(v->_VM_count, 0);
    EXPECT_EQ(v->_VM_owner, nullptr);
}

TEST_F(VectorTest, ElementsSurviveCollections) {
    VMPtr<Vector> v = make(0);
    for (jint i = 0; i < 300; ++i) v->addElement(Item::create()->construct(i));
    v->insertElementAt(Item::create()->construct(-1), 0);
    VMThread::current()->inFlight = nullptr;
    _VM_collect(_VM_runtime);
    ASSERT_EQ(v->size(), 301);
    for (jint i = 0; i < 301; ++i) {
        auto* item = dynamic_cast<Item*>(v->elementAt(i).get());
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->id, i - 1);
    }
    VMPtr<Enumeration> walk = v->elements();
    v = nullptr;  // the enumerator alone keeps the vector
    _VM_collect(_VM_runtime);
    jint seen = 0;
    while (walk->hasMoreElements()) {
        walk->nextElement();
        ++seen;
    }
    EXPECT_EQ(seen, 301);
}

}  // namespace

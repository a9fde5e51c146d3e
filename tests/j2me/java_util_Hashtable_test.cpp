// java.util.Hashtable: capacities and thresholds, bucket placement, the
// null rules, chains, the enumeration order and the text form, dispatch
// through put and rehash, and entries kept across collections.
#include <string>
#include <vector>

#include "VMRuntime.h"
#include "java_lang_Integer.h"
#include "java_lang_Long.h"
#include "VMThread.h"
#include "java_util_Hashtable.h"
#include "java_util_HashtableEntry.h"
#include "java_util_HashtableEnumerator.h"
#include "vm_test.h"

namespace hashtabletest {

// A key with a chosen hash code, equal to keys of the same name.
class Key : public java::lang::Object {
    VM_DECLARE_CLASS(Key, java::lang::Object)

public:
    jint hash = 0;
    std::string name;
    VMPtr<Key> construct(const std::string& keyName, jint keyHash) {
        Super::construct();
        name = keyName;
        hash = keyHash;
        return this;
    }
    jint hashCode() override { return hash; }
    jboolean equals(VMPtr<java::lang::Object> other) override {
        auto* key = dynamic_cast<Key*>(other.get());
        return key != nullptr && key->name == name;
    }
    VMPtr<java::lang::String> toString() override { return java::lang::String::_VM_fromUTF8(name.c_str()); }
};

// A table whose put and rehash count their calls.
class CountingTable : public java::util::Hashtable {
    VM_DECLARE_CLASS(CountingTable, java::util::Hashtable)

public:
    jint puts = 0;
    jint rehashes = 0;
    VMPtr<java::lang::Object> put(VMPtr<java::lang::Object> key, VMPtr<java::lang::Object> value) override {
        ++puts;
        return Hashtable::put(key, value);
    }

protected:
    void rehash() override {
        ++rehashes;
        Hashtable::rehash();
    }
};

}  // namespace hashtabletest

VM_REGISTER_CLASS(hashtabletest::Key, .name = "hashtabletest.Key")
VM_REGISTER_CLASS(hashtabletest::CountingTable, .name = "hashtabletest.CountingTable")

using namespace java::lang;
using hashtabletest::Key;
using java::util::Enumeration;
using java::util::Hashtable;
using java::util::HashtableEntry;

namespace {

class HashtableTest : public VMTest {
protected:
    static VMPtr<Hashtable> make(jint capacity = 11) { return Hashtable::create()->construct(capacity); }
    static VMPtr<Key> key(const std::string& name, jint hash) { return Key::create()->construct(name, hash); }
    static VMPtr<String> s(const std::string& t) { return String::_VM_fromUTF8(t.c_str()); }
    static std::string str(const VMPtr<Object>& o) { return o == nullptr ? "<null>" : text(o->toString()); }
    // The texts an enumeration hands out, in order.
    static std::string walk(VMPtr<Enumeration> e) {
        std::string out;
        while (e->hasMoreElements()) out += (out.empty() ? "" : " ") + str(e->nextElement());
        return out;
    }
    // The key names of a bucket's chain, from its head.
    static std::string chain(const VMPtr<Hashtable>& t, jint bucket) {
        std::string out;
        for (HashtableEntry* e = t->table->get(bucket); e != nullptr; e = e->next)
            out += (out.empty() ? "" : " ") + str(e->key);
        return out;
    }
};

TEST_F(HashtableTest, ClassesAreRegistered) {
    Class* table = _VM_findClass("java.util.Hashtable");
    ASSERT_EQ(table, Hashtable::_VM_getClass());
    VMPtr<Object> made = table->newInstance();
    auto* fresh = dynamic_cast<Hashtable*>(made.get());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->table->length, 11);
    EXPECT_TRUE(fresh->isEmpty());

    Class* entry = _VM_findClass("java.util.HashtableEntry");
    ASSERT_EQ(entry, HashtableEntry::_VM_getClass());
    EXPECT_NE(dynamic_cast<HashtableEntry*>(entry->newInstance().get()), nullptr);
    Class* enumerator = _VM_findClass("java.util.HashtableEnumerator");
    ASSERT_EQ(enumerator, java::util::HashtableEnumerator::_VM_getClass());
    EXPECT_TRUE(_VM_implements(_VM_classRegistry(), enumerator, Enumeration::_VM_getClass()));
    EXPECT_EQ(enumerator->newInstanceFunction, nullptr);
}

TEST_F(HashtableTest, CapacityAndThresholdGrowTogether) {
    EXPECT_EQ(VM_THROWN_TEXT(make(-1)), "java.lang.IllegalArgumentException");  // no message

    VMPtr<Hashtable> tiny = make(0);
    EXPECT_EQ(tiny->table->length, 1);
    EXPECT_EQ(tiny->threshold, 0);
    tiny->put(s("a"), s("1"));  // grows before inserting
    EXPECT_EQ(tiny->table->length, 3);
    EXPECT_EQ(tiny->threshold, 2);
    EXPECT_EQ(str(tiny->get(s("a"))), "1");

    VMPtr<Hashtable> t = make();
    std::vector<std::string> seen;
    auto note = [&] { seen.push_back(std::to_string(t->table->length) + "/" + std::to_string(t->threshold)); };
    note();
    for (int i = 0; i < 18; ++i) {
        jint before = t->table->length;
        t->put(s("k" + std::to_string(i)), s("v"));
        if (t->table->length != before) {
            EXPECT_TRUE(i == 8 || i == 17) << "grew at key " << i;  // the 9th and the 18th key
            note();
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"11/8", "23/17", "47/35"}));
    for (int i = 0; i < 18; ++i) EXPECT_EQ(str(t->get(s("k" + std::to_string(i)))), "v") << i;
    EXPECT_EQ(t->size(), 18);
}

TEST_F(HashtableTest, BucketOfANegativeHashIsTheSignClearedRemainder) {
    VMPtr<Hashtable> t = make();
    t->put(key("minus-one", -1), s("x"));
    EXPECT_EQ(chain(t, 1), "minus-one");  // 0x7FFFFFFF mod 11
    t->put(key("min", INT32_MIN), s("y"));
    EXPECT_EQ(chain(t, 0), "min");
    t->put(key("minus-eleven", -11), s("z"));  // 0x7FFFFFF5 mod 11 = 2
    EXPECT_EQ(chain(t, 2), "minus-eleven");
    EXPECT_EQ(str(t->get(key("minus-one", -1))), "x");
    EXPECT_EQ(str(t->get(key("min", INT32_MIN))), "y");
}

TEST_F(HashtableTest, NullsAreRejected) {
    VMPtr<Hashtable> t = make();
    t->put(s("a"), s("1"));
    EXPECT_EQ(VM_THROWN_CLASS(t->put(s("b"), nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t->put(s("a"), nullptr)), "java.lang.NullPointerException");  // present key too
    EXPECT_EQ(VM_THROWN_CLASS(t->put(nullptr, s("1"))), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t->containsKey(nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t->contains(nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t->get(nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t->remove(nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(t->size(), 1);
    EXPECT_EQ(str(t->get(s("a"))), "1");
    EXPECT_EQ(t->_VM_count, 0);  // the monitor is given back on the way out
}

TEST_F(HashtableTest, PutReplacesGetAndContainsFind) {
    VMPtr<Hashtable> t = make();
    EXPECT_EQ(t->put(s("a"), s("1")), nullptr);
    EXPECT_EQ(str(t->put(s("a"), s("2"))), "1");  // an equal key, another object
    EXPECT_EQ(t->size(), 1);
    EXPECT_EQ(str(t->get(s("a"))), "2");
    EXPECT_EQ(t->get(s("b")), nullptr);
    EXPECT_TRUE(t->containsKey(s("a")));
    EXPECT_FALSE(t->containsKey(s("2")));
    EXPECT_TRUE(t->contains(s("2")));  // by the stored value's equals
    EXPECT_FALSE(t->contains(s("a")));

    // Equal under equals but with different hash codes: different keys.
    t->put(key("same", 1), s("one"));
    t->put(key("same", 2), s("two"));
    EXPECT_EQ(t->size(), 3);
    EXPECT_EQ(str(t->get(key("same", 1))), "one");
    EXPECT_EQ(str(t->get(key("same", 2))), "two");
    EXPECT_EQ(t->get(key("same", 3)), nullptr);
}

// Strings and integers are compared without calling through their equals;
// other keys in the same chain still have their own equals called. Keys of
// one hash code: a key of a test class, a string, integers, and the two
// strings "Aa" and "BB", whose hash codes are equal.
TEST_F(HashtableTest, StringIntegerAndOtherKeysOfOneHashCodeStayApart) {
    VMPtr<Hashtable> t = make();
    auto integer = [](jint v) { return VMPtr<Object>(Integer::create()->construct(v)); };
    t->put(integer(5), s("int"));
    t->put(s(std::string(1, '\x05')), s("str"));
    EXPECT_EQ(str(t->get(integer(5))), "int");  // only strings and integers in the chain
    t->put(key("k", 5), s("key"));
    EXPECT_EQ(chain(t, 5), "k \x05 5");
    EXPECT_EQ(str(t->get(integer(5))), "int");  // past the test class's key
    EXPECT_EQ(str(t->get(s(std::string(1, '\x05')))), "str");
    EXPECT_EQ(str(t->get(key("k", 5))), "key");
    EXPECT_EQ(t->get(integer(6)), nullptr);
    EXPECT_FALSE(t->containsKey(Long::create()->construct(5)));
    EXPECT_TRUE(t->containsKey(integer(5)));

    const jint h = s("Aa")->hashCode();
    ASSERT_EQ(s("BB")->hashCode(), h);
    VMPtr<Hashtable> u = make();
    u->put(s("Aa"), s("1"));
    u->put(s("BB"), s("2"));
    u->put(integer(h), s("3"));
    EXPECT_EQ(str(u->get(s("Aa"))), "1");
    EXPECT_EQ(str(u->get(s("BB"))), "2");
    EXPECT_EQ(str(u->get(integer(h))), "3");
    EXPECT_EQ(str(u->put(s("BB"), s("4"))), "2");
    EXPECT_EQ(str(u->remove(s("Aa"))), "1");
    EXPECT_EQ(u->get(s("Aa")), nullptr);
    EXPECT_EQ(str(u->get(s("BB"))), "4");
    EXPECT_EQ(u->size(), 2);
}

TEST_F(HashtableTest, RemoveUnlinksFromAnyPlaceInTheChain) {
    VMPtr<Hashtable> t = make();
    for (const char* name : {"p", "q", "r"}) t->put(key(name, 4), s(name));  // one bucket
    EXPECT_EQ(chain(t, 4), "r q p");                                         // newest first
    EXPECT_EQ(str(t->remove(key("q", 4))), "q");
    EXPECT_EQ(chain(t, 4), "r p");
    EXPECT_EQ(str(t->get(key("p", 4))), "p");
    EXPECT_EQ(str(t->get(key("r", 4))), "r");
    EXPECT_EQ(t->remove(key("q", 4)), nullptr);
    EXPECT_EQ(t->remove(key("p", 15)), nullptr);  // same bucket, other hash
    EXPECT_EQ(t->size(), 2);
    EXPECT_EQ(str(t->remove(key("r", 4))), "r");  // the head
    EXPECT_EQ(str(t->remove(key("p", 4))), "p");  // the last one
    EXPECT_EQ(chain(t, 4), "");
    EXPECT_TRUE(t->isEmpty());
}

TEST_F(HashtableTest, ClearEmptiesButKeepsTheCapacity) {
    VMPtr<Hashtable> t = make();
    for (int i = 0; i < 20; ++i) t->put(s(std::to_string(i)), s("v"));
    const jint capacity = t->table->length;
    t->clear();
    EXPECT_EQ(t->size(), 0);
    EXPECT_FALSE(t->keys()->hasMoreElements());
    EXPECT_FALSE(t->elements()->hasMoreElements());
    EXPECT_EQ(t->table->length, capacity);
    EXPECT_EQ(t->get(s("3")), nullptr);
    t->put(s("3"), s("w"));
    EXPECT_EQ(str(t->get(s("3"))), "w");
}

TEST_F(HashtableTest, EnumerationVisitsBucketsDownwardsNewestFirst) {
    VMPtr<Hashtable> t = make();
    t->put(key("a", 0), s("A"));
    t->put(key("b", 10), s("B"));
    t->put(key("c", 11), s("C"));  // bucket 0, after a
    t->put(key("d", 5), s("D"));
    EXPECT_EQ(walk(t->keys()), "b d c a");
    EXPECT_EQ(walk(t->elements()), "B D C A");
    // nextElement works without a preceding hasMoreElements.
    VMPtr<Enumeration> direct = t->keys();
    for (const char* expected : {"b", "d", "c", "a"}) EXPECT_EQ(str(direct->nextElement()), expected);
    EXPECT_EQ(VM_THROWN_TEXT(direct->nextElement()), "java.util.NoSuchElementException: HashtableEnumerator");
}

TEST_F(HashtableTest, RehashRelinksInReverseVisitingOrder) {
    VMPtr<Hashtable> t = make(1);
    t->put(key("a", 0), s("1"));   // capacity 3 from the first put
    t->put(key("b", 21), s("2"));  // bucket 0 of 3: chain b a
    EXPECT_EQ(chain(t, 0), "b a");
    HashtableEntry* before = t->table->get(0);
    t->put(key("c", 6), s("3"));  // count 2 reaches 2: capacity 7
    ASSERT_EQ(t->table->length, 7);
    EXPECT_EQ(chain(t, 0), "a b");  // both still in bucket 0, order reversed
    EXPECT_EQ(chain(t, 6), "c");
    EXPECT_EQ(walk(t->keys()), "c a b");
    bool moved = false;  // entries are moved, not copied
    for (HashtableEntry* e = t->table->get(0); e != nullptr; e = e->next) moved |= e == before;
    EXPECT_TRUE(moved);
}

TEST_F(HashtableTest, GrowthGoesThroughRehashAndPutAgain) {
    VMPtr<hashtabletest::CountingTable> t = hashtabletest::CountingTable::create();
    t->construct();
    for (int i = 0; i < 9; ++i) t->put(s("k" + std::to_string(i)), s("v"));
    EXPECT_EQ(t->rehashes, 1);
    EXPECT_EQ(t->puts, 10);  // the 9th key is put again after the rehash
    EXPECT_EQ(t->size(), 9);
    t->put(s("k0"), s("w"));  // replacing never grows
    EXPECT_EQ(t->rehashes, 1);
}

TEST_F(HashtableTest, TextForm) {
    VMPtr<Hashtable> t = make();
    EXPECT_EQ(text(t->toString()), "{}");
    t->put(s("a"), s("1"));
    EXPECT_EQ(text(t->toString()), "{a=1}");
    t->put(s("b"), s("2"));  // hash 98 -> bucket 10, before a's bucket 9
    EXPECT_EQ(text(t->toString()), "{b=2, a=1}");
    VMPtr<Hashtable> nested = make();
    nested->put(key("inner", 3), t);
    EXPECT_EQ(text(nested->toString()), "{inner={b=2, a=1}}");
    VMPtr<Hashtable> self = make();
    self->put(self, self);  // holds itself as key and value: no endless recursion
    EXPECT_EQ(text(self->toString()), "{(this Map)=(this Map)}");
}

TEST_F(HashtableTest, EntriesSurviveCollections) {
    VMPtr<Hashtable> t = make(0);
    for (int i = 0; i < 500; ++i) t->put(s("key" + std::to_string(i)), s("value" + std::to_string(i)));
    for (int i = 0; i < 500; i += 2) t->remove(s("key" + std::to_string(i)));
    VMThread::current()->inFlight = nullptr;
    _VM_collect(_VM_runtime);
    EXPECT_EQ(t->size(), 250);
    for (int i = 0; i < 500; ++i) {
        VMPtr<Object> value = t->get(s("key" + std::to_string(i)));
        if (i % 2 == 0)
            EXPECT_EQ(value, nullptr) << i;
        else
            EXPECT_EQ(str(value), "value" + std::to_string(i));
    }
    jint counted = 0;
    for (VMPtr<Enumeration> e = t->elements(); e->hasMoreElements(); e->nextElement()) ++counted;
    EXPECT_EQ(counted, 250);
}

}  // namespace

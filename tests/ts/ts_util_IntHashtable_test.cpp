// ts.util.IntHashtable: growth, chains, removal, clearing, cloning.
#include <algorithm>
#include <vector>

#include "java_lang_Integer.h"
#include "ts_test_support.h"
#include "ts_util_IntHashtable.h"

using java::lang::Integer;
using java::lang::Object;
using ts::util::IntHashtable;

namespace {

class IntHashtableTest : public VMTest {
protected:
    tstest::Booted booted;

    static VMPtr<Object> boxed(jint v) { return Integer::create()->construct(v); }
    static jint unboxed(const VMPtr<Object>& o) { return dynamic_cast<Integer*>(o.get())->value; }
    static VMPtr<IntHashtable> table(jint capacity) { return IntHashtable::create()->construct(capacity); }
    static std::vector<jint> keysOf(const VMPtr<IntHashtable>& t) {
        VMPtr<VMArray<jint, 1>> keys = VMArray<jint, 1>::create(t->size());
        t->getKeys(keys);
        return std::vector<jint>(keys->elements(), keys->elements() + keys->length);
    }
};

TEST_F(IntHashtableTest, GrowsToTwiceThePlusOneWhenTheCountReachesThreeQuarters) {
    struct Case {
        jint capacity, puts, buckets, threshold;
    };
    for (const Case& c : {Case{1, 0, 1, 0}, Case{1, 1, 3, 2}, Case{0, 1, 3, 2}, Case{-4, 1, 3, 2},
                          Case{128, 96, 128, 96}, Case{128, 97, 257, 192}, Case{3, 3, 7, 5}}) {
        VMPtr<IntHashtable> t = table(c.capacity);
        for (jint k = 0; k < c.puts; ++k) t->put(k * 7, boxed(k));
        EXPECT_EQ(t->table->length, c.buckets) << c.capacity << " after " << c.puts;
        EXPECT_EQ(t->threshold, c.threshold) << c.capacity << " after " << c.puts;
        EXPECT_EQ(t->size(), c.puts);
        for (jint k = 0; k < c.puts; ++k) EXPECT_EQ(unboxed(t->get(k * 7)), k);
    }
}

TEST_F(IntHashtableTest, PutReplacesGetMissesAndNullValuesAreKept) {
    VMPtr<IntHashtable> t = table(8);
    EXPECT_EQ(t->put(5, boxed(1)), nullptr);
    EXPECT_EQ(unboxed(t->put(5, boxed(2))), 1);
    EXPECT_EQ(t->size(), 1);
    EXPECT_EQ(unboxed(t->get(5)), 2);
    EXPECT_EQ(t->get(6), nullptr);
    EXPECT_FALSE(t->containsKey(6));
    t->put(6, nullptr);
    EXPECT_TRUE(t->containsKey(6));
    EXPECT_EQ(t->get(6), nullptr);
    EXPECT_EQ(t->size(), 2);
}

TEST_F(IntHashtableTest, KeysDifferingInTheSignBitShareABucketAndStayApart) {
    VMPtr<IntHashtable> t = table(7);
    const jint other = -5 & 0x7FFFFFFF;
    t->put(-5, boxed(1));
    t->put(other, boxed(2));
    t->put(INT32_MIN, boxed(3));
    t->put(0, boxed(4));
    EXPECT_EQ(unboxed(t->get(-5)), 1);
    EXPECT_EQ(unboxed(t->get(other)), 2);
    EXPECT_EQ(unboxed(t->get(INT32_MIN)), 3);
    EXPECT_EQ(unboxed(t->get(0)), 4);
    // Same bucket: the later key heads the chain.
    const jint bucket = other % 7;
    EXPECT_EQ(t->table->get(bucket)->key, other);
    EXPECT_EQ(t->table->get(bucket)->next->key, -5);
}

TEST_F(IntHashtableTest, RemoveUnlinksFromAnyPlaceInTheChain) {
    // Keys 0, 5 and 10 share bucket 0 of five: the chain is 10, 5, 0.
    for (jint key : {10, 5, 0}) {
        VMPtr<IntHashtable> t = table(5);
        for (jint k : {0, 5, 10}) t->put(k, boxed(k));
        EXPECT_EQ(unboxed(t->remove(key)), key);
        EXPECT_EQ(t->remove(key), nullptr);
        EXPECT_EQ(t->size(), 2);
        for (jint k : {0, 5, 10}) EXPECT_EQ(t->containsKey(k), k != key) << k;
    }
}

TEST_F(IntHashtableTest, KeysAndValuesComeFromTheLastBucketFirstEachChainFromItsHead) {
    VMPtr<IntHashtable> t = table(7);
    for (jint k : {1, 8, 2, 4}) t->put(k, boxed(k * 10));
    EXPECT_EQ(keysOf(t), (std::vector<jint>{4, 2, 8, 1}));
    VMPtr<VMArray<Object, 1>> values = VMArray<Object, 1>::create(4);
    t->getValues(values);
    EXPECT_EQ(unboxed(values->get(0)), 40);
    EXPECT_EQ(unboxed(values->get(3)), 10);
}

TEST_F(IntHashtableTest, ClearKeepsTheCapacityAndCloneIsIndependent) {
    VMPtr<IntHashtable> t = table(4);
    for (jint k = 0; k < 20; ++k) t->put(k, boxed(k));
    VMPtr<IntHashtable> copy = dynamic_cast<IntHashtable*>(t->clone().get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->size(), 20);
    EXPECT_EQ(copy->table->length, t->table->length);
    EXPECT_EQ(keysOf(copy), keysOf(t));
    EXPECT_EQ(copy->get(3), t->get(3));  // values are shared
    copy->put(100, boxed(100));
    copy->remove(4);
    EXPECT_FALSE(t->containsKey(100));
    EXPECT_TRUE(t->containsKey(4));
    const jint capacity = t->table->length;
    t->clear();
    EXPECT_TRUE(t->isEmpty());
    EXPECT_EQ(t->get(3), nullptr);
    EXPECT_EQ(t->table->length, capacity);
    EXPECT_EQ(copy->size(), 20);
}

TEST_F(IntHashtableTest, ManyKeysSurviveGrowthAndCollection) {
    VMPtr<IntHashtable> t = table(1);
    for (jint k = 0; k < 5000; ++k) t->put(k * 7919, boxed(k));
    _VM_collect(_VM_runtime);
    for (jint k = 0; k < 5000; ++k) ASSERT_EQ(unboxed(t->get(k * 7919)), k);
    std::vector<jint> keys = keysOf(t);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

}  // namespace

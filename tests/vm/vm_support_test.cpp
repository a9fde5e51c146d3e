// The runtime's native structures: 8-bit text holders, the doubly linked
// list and the string-keyed map.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "VM.h"
#include "vm_test.h"

namespace {

class VMCStringTest : public VMTest {};

TEST_F(VMCStringTest, EveryChangeLeavesAnExactlySizedBlockAndFreesTheOldOne) {
    // Garbage of earlier tests goes first: in the collector's stress mode the
    // allocations below would otherwise free it and change the count.
    _VM_collect(_VM_runtime);
    const uint64_t used = _VM_heap.used;
    VMCString holder;
    _VM_cstrAppend(&holder, "[");
    _VM_cstrAppend(&holder, "L");
    EXPECT_STREQ(holder.text, "[L");
    EXPECT_EQ(_VM_blockSize(holder.text), 3u + 4u);
    _VM_cstrAppend(&holder, nullptr);
    _VM_cstrAppendN(&holder, "java.lang", 4);
    _VM_cstrAppendN(&holder, "ignored", 0);
    _VM_cstrAppendN(&holder, "ab", 10);  // at most n, never past the end
    EXPECT_STREQ(holder.text, "[Ljavaab");
    EXPECT_EQ(_VM_blockSize(holder.text), 9u + 4u);

    _VM_cstrSetN(&holder, "world", 0);  // nothing to take: unchanged
    _VM_cstrSetN(&holder, nullptr, 4);
    EXPECT_STREQ(holder.text, "[Ljavaab");
    _VM_cstrSetN(&holder, "world", 3);
    EXPECT_STREQ(holder.text, "wor");
    EXPECT_EQ(_VM_blockSize(holder.text), 4u + 4u);
    _VM_cstrSet(&holder, "hello");
    EXPECT_EQ(_VM_cstrLength(&holder), 5u);
    _VM_cstrSet(&holder, nullptr);
    EXPECT_EQ(_VM_cstrLength(&holder), 0u);
    EXPECT_STREQ(holder.c_str(), "");
    _VM_cstrFree(&holder);
    _VM_cstrFree(&holder);  // a second free finds nothing
    EXPECT_EQ(_VM_heap.used, used);
}

TEST_F(VMCStringTest, TheHoldersOwnTextMayBeGivenBack) {
    VMCString holder;
    _VM_cstrAssign(&holder, "abcdef");
    _VM_cstrSet(&holder, holder.text + 2);
    EXPECT_STREQ(holder.text, "cdef");
    _VM_cstrSetN(&holder, holder.text + 1, 2);
    EXPECT_STREQ(holder.text, "de");
    _VM_cstrAppend(&holder, holder.text);
    EXPECT_STREQ(holder.text, "dede");
    _VM_cstrAppendN(&holder, holder.text + 1, 2);
    EXPECT_STREQ(holder.text, "dedeed");
    _VM_cstrFree(&holder);
}

TEST_F(VMCStringTest, CopiesAreIndependentAndComparisonsTreatEmptyAsEmptyText) {
    VMCString a, b, c, empty, emptyCopy;
    _VM_cstrAssign(&a, "alpha");
    _VM_cstrCopy(&b, &a);
    _VM_cstrAssign(&c, "beta");
    _VM_cstrCopy(&emptyCopy, &empty);
    EXPECT_NE(a.text, b.text);
    EXPECT_EQ(emptyCopy.text, nullptr);
    EXPECT_EQ(_VM_cstrCompare(&a, &b), 0);
    EXPECT_LT(_VM_cstrCompare(&a, &c), 0);
    EXPECT_GT(_VM_cstrCompare(&a, &empty), 0);
    EXPECT_EQ(_VM_cstrCompare(&empty, &emptyCopy), 0);
    EXPECT_TRUE(_VM_cstrEquals(&a, "alpha"));
    EXPECT_FALSE(_VM_cstrEquals(&a, "alphabet"));
    EXPECT_FALSE(_VM_cstrEquals(&a, nullptr));
    EXPECT_TRUE(_VM_cstrEquals(&empty, ""));
    _VM_cstrAppend(&a, "!");
    EXPECT_STREQ(b.text, "alpha");
    for (VMCString* h : {&a, &b, &c}) _VM_cstrFree(h);
}

// --- VMList ---------------------------------------------------------------------------

// The values front to back, checked against the walk back to front.
std::vector<void*> values(const VMList& list) {
    std::vector<void*> forward, backward;
    for (VMListNode* n = _VM_listFirst(&list); n != nullptr; n = _VM_listNext(&list, n))
        forward.push_back(_VM_listValue(&list, n));
    for (VMListNode* n = list.last; n != nullptr; n = n->previous) backward.insert(backward.begin(), n->value);
    EXPECT_EQ(forward, backward);
    return forward;
}

class VMListTest : public VMTest {
protected:
    int a = 1, b = 2, c = 3;
    void* A = &a;
    void* B = &b;
    void* C = &c;
};

TEST_F(VMListTest, PushesIgnoreNullAndClearFreesOnlyTheNodes) {
    const uint64_t used = _VM_heap.used;
    VMList list;
    _VM_listInit(&list);
    _VM_listPushBack(&list, B);
    _VM_listPushFront(&list, A);
    _VM_listPushBack(&list, C);
    _VM_listPushBack(&list, nullptr);
    _VM_listPushFront(&list, nullptr);
    EXPECT_EQ(values(list), (std::vector<void*>{A, B, C}));
    EXPECT_EQ(_VM_listCount(&list), 3);
    EXPECT_EQ(_VM_listNext(&list, nullptr), nullptr);
    EXPECT_EQ(_VM_listValue(&list, nullptr), nullptr);
    _VM_listClear(&list);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    EXPECT_EQ(_VM_heap.used, used);
    EXPECT_EQ(a, 1);
}

TEST_F(VMListTest, RemovingFromAnEmptyListEitherEndOrTheMiddle) {
    VMList list;
    _VM_listRemove(&list, A);
    _VM_listRemoveNode(&list, nullptr);
    EXPECT_EQ(list.first, nullptr);

    for (void* v : {A, B, C, B}) _VM_listPushBack(&list, v);
    _VM_listRemove(&list, B);  // the first B only
    EXPECT_EQ(values(list), (std::vector<void*>{A, C, B}));
    _VM_listRemove(&list, B);  // the last node
    EXPECT_EQ(values(list), (std::vector<void*>{A, C}));
    _VM_listRemove(&list, &list);  // absent
    _VM_listRemoveNode(&list, list.first);
    EXPECT_EQ(values(list), (std::vector<void*>{C}));
    _VM_listRemove(&list, C);  // the only node
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    _VM_listPushFront(&list, A);
    EXPECT_EQ(values(list), (std::vector<void*>{A}));
    _VM_listClear(&list);
}

// --- VMStringMap -----------------------------------------------------------------------

class VMStringMapTest : public VMTest {};

TEST_F(VMStringMapTest, HashTakesBytesAsSignedAndBucketsTakeItAsUnsigned) {
    EXPECT_EQ(_VM_stringHash(""), 0);
    EXPECT_EQ(_VM_stringHash("hello world"), 1794106052);
    EXPECT_EQ(_VM_stringHash("\xe9t\xe9"), -18530);
    const char* negative = "javax.microedition.io.StreamConnection";
    EXPECT_EQ(_VM_stringHash(negative), -245643958);

    VMStringMap map;
    _VM_mapInit(&map);
    EXPECT_EQ(map.bucketCount, 200u);
    EXPECT_EQ(_VM_mapBucketOf(&map, negative), 138u);
    EXPECT_EQ(_VM_mapBucketOf(&map, "\xff"), 95u);
    EXPECT_EQ(_VM_mapBucketOf(&map, "hello world"), 52u);
    int value = 7;
    _VM_mapPut(&map, negative, &value);
    EXPECT_EQ(_VM_mapGet(&map, negative), &value);
    ASSERT_NE(map.buckets[138], nullptr);
    EXPECT_STREQ(map.buckets[138]->key, negative);
    _VM_mapFree(&map);
}

TEST_F(VMStringMapTest, EntriesOwnTheirKeysAndChainInInsertionOrder) {
    const uint64_t used = _VM_heap.used;
    VMStringMap map;
    _VM_mapInit(&map, 1);
    int one = 1, two = 2, three = 3;
    char key[] = "first";
    _VM_mapPut(&map, key, &one);
    std::strcpy(key, "other");  // the map kept a copy
    _VM_mapPut(&map, "second", &two);
    _VM_mapPut(&map, "third", &three);
    _VM_mapPut(&map, nullptr, &three);  // ignored
    EXPECT_EQ(map.entryCount, 3u);
    EXPECT_EQ(_VM_mapGet(&map, "first"), &one);
    EXPECT_EQ(_VM_mapGet(&map, "other"), nullptr);
    EXPECT_EQ(_VM_mapGet(&map, nullptr), nullptr);
    EXPECT_FALSE(_VM_mapContains(&map, "thir"));
    std::vector<std::string> chain;
    for (VMStringMapEntry* e = map.buckets[0]; e != nullptr; e = e->next) chain.push_back(e->key);
    EXPECT_EQ(chain, (std::vector<std::string>{"first", "second", "third"}));
    _VM_mapFree(&map);
    EXPECT_EQ(_VM_mapGet(&map, "first"), nullptr);  // a freed map finds nothing
    EXPECT_EQ(_VM_heap.used, used);
}

}  // namespace

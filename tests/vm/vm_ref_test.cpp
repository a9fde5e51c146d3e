// Typed references, their scopes, and what the collector keeps through them.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "VM.h"
#include "hal.h"
#include "java_lang_Throwable.h"
#include "vm_test.h"

using java::lang::Object;

namespace t2ref {

// A list cell whose reference fields are reached only through their owner.
class Node final : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Node, java::lang::Object)

public:
    VMField<Node> next;
    VMField<java::lang::Object> payload;

    void markReferences(uint32_t bits) override {
        _VM_markRef(next, bits);
        _VM_markRef(payload, bits);
    }
};

}  // namespace t2ref

VM_REGISTER_CLASS(t2ref::Node, .name = "t2.ref.Node")

namespace {

using t2ref::Node;

VMStatic<Object> staticRoot;

std::vector<VMRef*> refsOf(VMRef* head) {
    std::vector<VMRef*> refs;
    for (VMRef* r = head; r != nullptr; r = r->link) refs.push_back(r);
    return refs;
}

bool listed(VMRef* head, const VMRef* ref) {
    for (VMRef* r = head; r != nullptr; r = r->link)
        if (r == ref) return true;
    return false;
}

bool inHeap(const Object* object) {
    for (Object* o = _VM_runtime->heapHead; o != nullptr; o = o->_VM_next)
        if (o == object) return true;
    return false;
}

void collect() { _VM_collect(_VM_runtime); }

class VMRefTest : public VMTest {};

TEST_F(VMRefTest, LocalsArePushedAndUnlinkedInAnyOrder) {
    VMRef** list = _VM_currentStackList;
    const std::vector<VMRef*> before = refsOf(*list);
    std::optional<VMPtr<Object>> a, b, c, d;
    a.emplace(Object::create());
    b.emplace(*a);
    c.emplace();
    d.emplace();
    EXPECT_EQ(refsOf(*list).size(), before.size() + 4);
    EXPECT_EQ(*list, &*d);
    EXPECT_EQ(c->scope, &_VM_stackScopeObject);
    b.reset();  // from the middle
    EXPECT_EQ(c->link, &*a);
    a.reset();  // the oldest
    EXPECT_EQ(c->link, before.empty() ? nullptr : before.front());
    d.reset();  // the head
    EXPECT_EQ(*list, &*c);
    c.reset();
    EXPECT_EQ(refsOf(*list), before);

    // Removing a reference that is not listed changes nothing.
    VMPtr<Node> owner = Node::create();
    const std::vector<VMRef*> now = refsOf(*list);
    _VM_scopeListRemove(list, &owner->next);
    EXPECT_EQ(refsOf(*list), now);
}

TEST_F(VMRefTest, FieldsAreInNoListAndAssignmentKeepsEveryReferenceInItsScope) {
    VMPtr<Node> owner = Node::create();
    VMPtr<Object> local;
    VMRef* const localLink = local.link;
    owner->payload = Object::create();
    local = owner->payload;
    staticRoot = local;
    EXPECT_EQ(owner->payload.scope, &_VM_instanceScopeObject);
    EXPECT_EQ(owner->payload.link, nullptr);
    EXPECT_EQ(local.link, localLink);
    EXPECT_EQ(staticRoot.scope, _VM_staticScope());
    for (VMRef* head : {*_VM_currentStackList, _VM_staticScope()->head, _VM_nativeScope()->head, _VM_weakScope()->head})
        EXPECT_FALSE(listed(head, &owner->payload));
    EXPECT_TRUE(listed(_VM_staticScope()->head, &staticRoot));
    staticRoot = nullptr;

    VMWeak<Object> weak;
    VMNative<Object> native;
    EXPECT_EQ(_VM_weakScope()->head, &weak);
    EXPECT_EQ(_VM_nativeScope()->head, &native);
    EXPECT_FALSE(listed(*_VM_currentStackList, &weak));
}

TEST_F(VMRefTest, CopyingAFieldOrAStaticIntoALocalMakesANewRoot) {
    VMWeak<Node> ownerWatch;
    VMWeak<Object> fieldWatch, staticWatch;
    std::optional<VMPtr<Object>> fieldCopy, staticCopy;
    {
        VMPtr<Node> owner = Node::create();
        owner->payload = Object::create();
        ownerWatch = owner;
        fieldWatch = owner->payload;
        fieldCopy.emplace(owner->payload);
        EXPECT_EQ(fieldCopy->scope, &_VM_stackScopeObject);
    }  // owner leaves from below the head
    staticRoot = Object::create();
    staticWatch = staticRoot;
    collect();
    EXPECT_FALSE(staticWatch.isNull());  // a static is a root by itself
    staticCopy.emplace(staticRoot);
    staticRoot = nullptr;
    collect();
    EXPECT_TRUE(ownerWatch.isNull());
    EXPECT_EQ(fieldWatch.get(), fieldCopy->get());
    EXPECT_EQ(staticWatch.get(), staticCopy->get());
    fieldCopy.reset();
    staticCopy.reset();
    collect();
    EXPECT_TRUE(fieldWatch.isNull());
    EXPECT_TRUE(staticWatch.isNull());
}

TEST_F(VMRefTest, FieldTargetsLiveAsLongAsTheirOwnerAndNativeReferencesAreRoots) {
    VMWeak<Node> ownerWatch, childWatch;
    VMWeak<Object> nativeWatch;
    VMPtr<Node> owner = Node::create();
    owner->next = Node::create();
    ownerWatch = owner;
    childWatch = owner->next;
    {
        VMNative<Object> native;
        native = Object::create();
        nativeWatch = native;
        collect();
        EXPECT_FALSE(childWatch.isNull());
        EXPECT_FALSE(nativeWatch.isNull());
    }
    owner = nullptr;
    collect();
    EXPECT_TRUE(ownerWatch.isNull());
    EXPECT_TRUE(childWatch.isNull());
    EXPECT_TRUE(nativeWatch.isNull());
}

TEST_F(VMRefTest, LongChainsAreMarkedAndSweptWithoutDeepRecursion) {
    VM_SKIP_UNDER_STRESS();
    collect();
    const size_t count = _VM_heapCount(_VM_runtime);
    const uint64_t used = _VM_heap.used;
    constexpr int kLength = 200000;
    VMWeak<Node> tail;
    {
        VMPtr<Node> head = Node::create();
        tail = head;
        for (int i = 1; i < kLength; ++i) {
            VMPtr<Node> node = Node::create();
            node->next = head;
            head = node;
        }
        collect();
        EXPECT_FALSE(tail.isNull());
        EXPECT_EQ(_VM_heapCount(_VM_runtime), count + kLength);
    }
    collect();
    EXPECT_TRUE(tail.isNull());
    EXPECT_EQ(_VM_heapCount(_VM_runtime), count);
    EXPECT_EQ(_VM_heap.used, used);
}

TEST_F(VMRefTest, WeakReferenceIsClearedEvenWhenItsTargetIsKeptForAnotherReason) {
    VMWeak<Object> rooted, dropped, unfinished;
    VMPtr<Object> root = Object::create();
    rooted = root;
    dropped = Object::create();
    Object* kept = Object::create().get();
    _VM_setConstructing(kept);  // still being built: kept
    unfinished = kept;
    collect();
    EXPECT_EQ(rooted.get(), root.get());
    EXPECT_TRUE(dropped.isNull());
    EXPECT_TRUE(unfinished.isNull());
    EXPECT_TRUE(inHeap(kept));
    _VM_endConstruction(kept);
    collect();
    EXPECT_FALSE(inHeap(kept));
}

TEST_F(VMRefTest, NullReferencesReadAsNullAndThrowWhenUsed) {
    VMPtr<Object> empty;
    VMPtr<Node> owner = Node::create();
    EXPECT_TRUE(empty.isNull());
    EXPECT_EQ(empty.getObject(), nullptr);
    EXPECT_EQ(VM_THROWN_CLASS(empty->hashCode()), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS((void)*empty), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(owner->next->hashCode()), "java.lang.NullPointerException");
    owner->next = owner;
    owner->next.clear();
    EXPECT_TRUE(owner->next.isNull());
}

TEST_F(VMRefTest, EqualityComparesTheObjectsNamed) {
    VMPtr<Node> node = Node::create();
    VMPtr<Object> asObject = node;
    VMPtr<Object> other = Object::create();
    VMPtr<Object> nullObject;
    VMPtr<Node> nullNode;
    EXPECT_EQ(asObject.get(), static_cast<Object*>(node.get()));
    EXPECT_TRUE(asObject == node);
    EXPECT_TRUE(asObject != other);
    EXPECT_TRUE(nullObject == nullNode);
    EXPECT_TRUE(nullObject == nullptr);
    EXPECT_TRUE(node != nullptr);
    EXPECT_FALSE(node == nullNode);
    node->next = node;
    EXPECT_TRUE(node->next == asObject);
    node->next = nullptr;
    VMPtr<Object> converted = nullNode;
    EXPECT_TRUE(converted == nullptr);
}

void printFatal(const char* message) { std::fprintf(stderr, "fatal: %s\n", message); }

class VMRefDeathTest : public VMTest {};

TEST_F(VMRefDeathTest, LocalWithoutACurrentThreadIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            _VM_currentStackList = nullptr;
            VMPtr<Object> orphan;
        },
        testing::ExitedWithCode(1), "A local reference was made while no runtime thread is current!");
}

}  // namespace

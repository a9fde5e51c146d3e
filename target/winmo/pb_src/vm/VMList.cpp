// Native doubly linked list.
#include "VMList.h"

#include "VMObject.h"

namespace {
VMListNode* newNode(void* value) {
    auto* node = static_cast<VMListNode*>(_VM_alloc(sizeof(VMListNode), 1));
    node->value = value;
    node->next = node->previous = nullptr;
    return node;
}
}  // namespace

void _VM_listInit(VMList* list) { list->first = list->last = nullptr; }

void _VM_listPushFront(VMList* list, void* value) {
    if (value == nullptr) return;
    VMListNode* node = newNode(value);
    node->next = list->first;
    if (list->first != nullptr)
        list->first->previous = node;
    else
        list->last = node;
    list->first = node;
}

void _VM_listPushBack(VMList* list, void* value) {
    if (value == nullptr) return;
    VMListNode* node = newNode(value);
    node->previous = list->last;
    if (list->last != nullptr)
        list->last->next = node;
    else
        list->first = node;
    list->last = node;
}

void _VM_listRemoveNode(VMList* list, VMListNode* node) {
    if (node == nullptr) return;
    if (node->previous != nullptr)
        node->previous->next = node->next;
    else
        list->first = node->next;
    if (node->next != nullptr)
        node->next->previous = node->previous;
    else
        list->last = node->previous;
    _VM_free(node);
}

void _VM_listRemove(VMList* list, void* value) {
    for (VMListNode* n = list->first; n != nullptr; n = n->next) {
        if (n->value == value) {
            _VM_listRemoveNode(list, n);
            return;
        }
    }
}

void _VM_listClear(VMList* list) {
    VMListNode* n = list->first;
    while (n != nullptr) {
        VMListNode* next = n->next;
        _VM_free(n);
        n = next;
    }
    list->first = list->last = nullptr;
}

VMListNode* _VM_listFirst(const VMList* list) { return list->first; }
VMListNode* _VM_listNext(const VMList*, const VMListNode* node) { return node != nullptr ? node->next : nullptr; }
void* _VM_listValue(const VMList*, const VMListNode* node) { return node != nullptr ? node->value : nullptr; }

int _VM_listCount(const VMList* list) {
    int n = 0;
    for (VMListNode* node = list->first; node != nullptr; node = node->next) ++n;
    return n;
}

// The runtime's native doubly linked list (thread list, listener lists,
// interface lists of class records). Nodes come from the runtime allocator;
// a null value is never stored.
#pragma once

struct VMListNode {
    void* value = nullptr;
    VMListNode* next = nullptr;
    VMListNode* previous = nullptr;
};

struct VMList {
    VMListNode* first = nullptr;
    VMListNode* last = nullptr;
};

void _VM_listInit(VMList* list);
void _VM_listPushFront(VMList* list, void* value);
void _VM_listPushBack(VMList* list, void* value);
void _VM_listRemoveNode(VMList* list, VMListNode* node);
void _VM_listRemove(VMList* list, void* value);
void _VM_listClear(VMList* list);
VMListNode* _VM_listFirst(const VMList* list);
VMListNode* _VM_listNext(const VMList* list, const VMListNode* node);
void* _VM_listValue(const VMList* list, const VMListNode* node);
int _VM_listCount(const VMList* list);

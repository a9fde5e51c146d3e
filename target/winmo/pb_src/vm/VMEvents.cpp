// The listener registry through which platform events reach the runtime, and
// the runtime's diagnostic reports.
#include <new>

#include "VMRuntime.h"
#include "VMThread.h"
#include "java_lang_Throwable.h"

namespace {

struct VMEventRegistry {
    VMList lists[3];  // priority 0, every other priority, priority 2
};

VMEventRegistry* registry = nullptr;

void freeEntries(VMList* list) {
    for (VMListNode* node = list->first; node != nullptr; node = node->next) _VM_free(node->value);
    _VM_listClear(list);
}

}  // namespace

void _VM_createEventListeners() {
    if (registry != nullptr) return;
    registry = new (_VM_alloc(sizeof(VMEventRegistry), 0)) VMEventRegistry();
    for (VMList& list : registry->lists) _VM_listInit(&list);
}

VMEventListener* _VM_addEventListener(VMEventCallback callback, uint32_t mask, jint priority) {
    if (registry == nullptr) return nullptr;
    auto* entry = new (_VM_alloc(sizeof(VMEventListener), 0)) VMEventListener();
    entry->callback = callback;
    entry->mask = mask;
    int list = priority == 0 ? 0 : priority == 2 ? 2 : 1;
    _VM_listPushBack(&registry->lists[list], entry);
    return entry;
}

int _VM_dispatchEvent(int type, int count, const intptr_t* args) {
    if (registry == nullptr) return 0;
    // Types of 32 and above select no listener.
    if (type < 0 || type >= 32) return 0;
    const uint32_t bit = 1u << type;
    try {
        try {
            for (VMList& list : registry->lists) {
                for (VMListNode* node = list.first; node != nullptr; node = node->next) {
                    auto* entry = static_cast<VMEventListener*>(node->value);
                    if ((entry->mask & bit) != 0 && entry->callback != nullptr) entry->callback(type, count, args);
                    // A listener may have torn the registry down (shutdown).
                    if (registry == nullptr) return 0;
                }
            }
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
            keep->printStackTrace();
            return 2;
        }
    } catch (...) {
        return 2;
    }
    return 0;
}

void _VM_destroyEventListeners() {
    if (registry == nullptr) return;
    freeEntries(&registry->lists[2]);
    freeEntries(&registry->lists[1]);
    freeEntries(&registry->lists[0]);
    _VM_free(registry);
    registry = nullptr;
}

// --- diagnostics -----------------------------------------------------------------

namespace {
VMDiagnosticSink diagnosticSink = nullptr;
}

void _VM_setDiagnosticSink(VMDiagnosticSink sink) { diagnosticSink = sink; }

void _VM_report(const char* text) {
    if (diagnosticSink != nullptr && text != nullptr) diagnosticSink(text);
}

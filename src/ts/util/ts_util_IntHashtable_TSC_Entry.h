// ts.util.IntHashtable$Entry: one key and value of an IntHashtable, linked
// into the chain of its bucket.
#pragma once

#include "VMClass.h"

namespace ts::util {

class IntHashtable_TSC_Entry : public virtual java::lang::Object {
    VM_DECLARE_CLASS(IntHashtable_TSC_Entry, java::lang::Object)

public:
    jint key = 0;
    VMField<IntHashtable_TSC_Entry> next;  // the next entry of the chain, or null
    VMField<java::lang::Object> value;

    VMPtr<IntHashtable_TSC_Entry> construct();

    // A new entry with the same key and value (shared), whose next is the
    // clone of this one's next: cloning the head copies the whole chain.
    virtual VMPtr<java::lang::Object> clone();

    void markReferences(uint32_t bits) override {
        _VM_markRef(next, bits);
        _VM_markRef(value, bits);
    }
};

}  // namespace ts::util

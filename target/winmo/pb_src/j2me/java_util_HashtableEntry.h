// java.util.HashtableEntry: one key-value pair of a Hashtable bucket chain.
#pragma once

#include "VMArray.h"

namespace java::util {

class HashtableEntry : public virtual java::lang::Object {
    VM_DECLARE_CLASS(HashtableEntry, java::lang::Object)

public:
    // The key's hash code when the entry was made.
    jint hash = 0;
    // The next entry of the chain, null at its end. It sits beside the hash:
    // a walk along a chain reads these two of every entry, in one cache line.
    VMField<HashtableEntry> next;
    VMField<java::lang::Object> key;
    VMField<java::lang::Object> value;

    VMPtr<HashtableEntry> construct();

    void markReferences(uint32_t bits) override {
        _VM_markRef(key, bits);
        _VM_markRef(value, bits);
        _VM_markRef(next, bits);
    }
};

}  // namespace java::util

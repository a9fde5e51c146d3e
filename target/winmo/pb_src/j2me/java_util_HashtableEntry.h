// java.util.HashtableEntry: one key-value pair of a Hashtable bucket chain.
#pragma once

#include "VMArray.h"

namespace java::util {

class HashtableEntry : public virtual java::lang::Object {
    VM_DECLARE_CLASS(HashtableEntry, java::lang::Object)

public:
    // The key's hash code when the entry was made.
    jint hash = 0;
    VMField<java::lang::Object> key;
    VMField<java::lang::Object> value;
    // The next entry of the chain, null at its end.
    VMField<HashtableEntry> next;

    VMPtr<HashtableEntry> construct();

    void markReferences(uint32_t bits) override {
        _VM_markRef(key, bits);
        _VM_markRef(value, bits);
        _VM_markRef(next, bits);
    }
};

}  // namespace java::util

// java.util.HashtableEntry: one key-value pair of a Hashtable bucket chain.
#pragma once

#include "VMArray.h"

namespace java::util {

class HashtableEntry : public virtual java::lang::Object {
    VM_DECLARE_CLASS(HashtableEntry, java::lang::Object)

public:
    // The key's hash code when the entry was made.
    jint hash = 0;
    // The next entry of the chain, null at its end, the key and the value.
    // A table holds as many entries as keys, so they are plain pointers (8
    // bytes, not a VMField's 32), marked below; only the table's own code
    // reaches them. The link sits beside the hash: a walk along a chain
    // reads these two of every entry, in one cache line.
    HashtableEntry* next = nullptr;
    java::lang::Object* key = nullptr;
    java::lang::Object* value = nullptr;

    VMPtr<HashtableEntry> construct();

    void markReferences(uint32_t bits) override {
        _VM_mark(key, bits);
        _VM_mark(value, bits);
        if (next != nullptr) _VM_mark(next, bits);
    }
};

}  // namespace java::util

// java.util.HashtableEnumerator: the walk over a Hashtable's keys or values.
#pragma once

#include "java_util_Enumeration.h"
#include "java_util_HashtableEntry.h"

namespace java::util {

class HashtableEnumerator : public virtual java::lang::Object, public virtual Enumeration {
    VM_DECLARE_CLASS(HashtableEnumerator, java::lang::Object)

public:
    using BucketArray = VMArray<HashtableEntry, 1>;

    // True hands out keys, false values.
    jboolean keys = false;
    // The walk goes on in the buckets below this index.
    jint index = 0;
    // The bucket array as it was when the walk began.
    VMField<BucketArray> table;
    // The next entry to hand out, or null.
    VMField<HashtableEntry> entry;

    VMPtr<HashtableEnumerator> construct(VMPtr<BucketArray> buckets, jboolean handOutKeys);

    jboolean hasMoreElements() override;
    // NoSuchElementException "HashtableEnumerator" past the end.
    VMPtr<java::lang::Object> nextElement() override;

    void markReferences(uint32_t bits) override {
        _VM_markRef(table, bits);
        _VM_markRef(entry, bits);
    }

private:
    // Moves to the next non-empty bucket while no entry is at hand.
    void advance();
};

}  // namespace java::util

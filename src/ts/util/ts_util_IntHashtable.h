// ts.util.IntHashtable: a chained hash table from int keys to objects,
// without key objects. Buckets grow to 2n + 1 when the count reaches three
// quarters of the capacity.
#pragma once

#include "VMArray.h"
#include "VMModulo.h"
#include "ts_util_IntHashtable_TSC_Entry.h"

namespace ts::util {

class IntHashtable : public virtual java::lang::Object {
    VM_DECLARE_CLASS(IntHashtable, java::lang::Object)

public:
    using Entry = IntHashtable_TSC_Entry;

    jint count = 0;
    VMField<VMArray<Entry, 1>> table;
    jint threshold = 0;  // the count at which the next new key grows the table

    // Capacity initialCapacity, at least 1.
    VMPtr<IntHashtable> construct(jint initialCapacity);

    // Every key into keys from index 0 (the array must hold size() of them):
    // buckets from the last to the first, each chain from its head.
    virtual void getKeys(VMPtr<VMArray<jint, 1>> keys);
    virtual jboolean containsKey(jint key);
    // Empties the table; the capacity stays.
    virtual void clear();
    // The removed key's value, or null. Under the table's monitor.
    virtual VMPtr<java::lang::Object> remove(jint key);
    // Every value, in the order of getKeys.
    virtual void getValues(VMPtr<VMArray<java::lang::Object, 1>> values);
    // A table of the same capacity with copies of the chains (values shared).
    virtual VMPtr<java::lang::Object> clone();
    virtual jboolean isEmpty();
    // The key's value, or null.
    virtual VMPtr<java::lang::Object> get(jint key);
    // The key's previous value, or null when it is new.
    virtual VMPtr<java::lang::Object> put(jint key, VMPtr<java::lang::Object> value);
    virtual jint size();

    void markReferences(uint32_t bits) override { _VM_markRef(table, bits); }

private:
    void rehash();
    jint bucketOf(jint key, jint length) {
        return jint(bucketModulo.remainder(uint32_t(key) & 0x7FFFFFFFu, uint32_t(length)));
    }

    // Finds a key's bucket without a division.
    VMModulo bucketModulo;
};

}  // namespace ts::util

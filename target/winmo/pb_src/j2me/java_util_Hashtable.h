// java.util.Hashtable: a map from keys to values (neither may be null) by
// separate chaining, growing to twice its capacity plus one when three
// quarters full.
#pragma once

#include "VMArray.h"
#include "VMModulo.h"
#include "java_lang_String.h"
#include "java_util_Enumeration.h"
#include "java_util_HashtableEntry.h"

namespace java::util {

class Hashtable : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Hashtable, java::lang::Object)

public:
    using BucketArray = VMArray<HashtableEntry, 1>;

    // The bucket heads; the length is the capacity (never 0).
    VMField<BucketArray> table;
    jint count = 0;
    // The entry count at which the next new key grows the table:
    // capacity * 75 / 100.
    jint threshold = 0;
    // Finds a hash code's bucket without a division.
    VMModulo bucketModulo;

    // Capacity 11.
    VMPtr<Hashtable> construct();
    // IllegalArgumentException for a negative capacity; 0 is taken as 1.
    VMPtr<Hashtable> construct(jint initialCapacity);

    virtual jint size();
    virtual jboolean isEmpty();
    virtual VMPtr<Enumeration> keys();
    virtual VMPtr<Enumeration> elements();
    // Whether some key maps to a value equal to this one.
    virtual jboolean contains(VMPtr<java::lang::Object> value);
    virtual jboolean containsKey(VMPtr<java::lang::Object> key);
    virtual VMPtr<java::lang::Object> get(VMPtr<java::lang::Object> key);
    // The previous value of the key, or null.
    virtual VMPtr<java::lang::Object> put(VMPtr<java::lang::Object> key, VMPtr<java::lang::Object> value);
    // The removed value, or null.
    virtual VMPtr<java::lang::Object> remove(VMPtr<java::lang::Object> key);
    virtual void clear();

    // "{k=v, k=v}" in the order of the enumerations.
    VMPtr<java::lang::String> toString() override;

    void markReferences(uint32_t bits) override { _VM_markRef(table, bits); }

protected:
    // Moves every entry into a bucket array of twice the capacity plus one.
    // Runs under the caller's monitor.
    virtual void rehash();
};

}  // namespace java::util

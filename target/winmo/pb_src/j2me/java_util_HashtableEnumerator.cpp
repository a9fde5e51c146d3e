// java.util.HashtableEnumerator: the walk over a Hashtable's keys or values.
#include "java_util_HashtableEnumerator.h"

#include "java_util_NoSuchElementException.h"

namespace java::util {

VMPtr<HashtableEnumerator> HashtableEnumerator::construct(VMPtr<BucketArray> buckets, jboolean handOutKeys) {
    Super::construct();
    if (buckets == nullptr) _VM_throwNullPointer();
    keys = handOutKeys;
    index = buckets->length;
    table = buckets;
    entry = nullptr;
    return this;
}

void HashtableEnumerator::advance() {
    // Buckets from the last index down to 0, each chain from its head.
    while (entry == nullptr && index > 0) {
        --index;
        entry = table->get(index);
    }
}

jboolean HashtableEnumerator::hasMoreElements() {
    advance();
    return entry != nullptr;
}

VMPtr<java::lang::Object> HashtableEnumerator::nextElement() {
    advance();
    if (entry == nullptr) _VM_throw(NoSuchElementException::create()->construct(VM_STR("HashtableEnumerator")));
    VMPtr<java::lang::Object> result = keys ? entry->key : entry->value;
    entry = entry->next;
    return result;
}

}  // namespace java::util

// Registered under the table's source name: the class exists only to walk tables.
VM_REGISTER_CLASS(java::util::HashtableEnumerator, .name = "java.util.HashtableEnumerator",
                  .sourceName = "target/winmo/pb_src/j2me/java_util_Hashtable", .interfaces = {"java.util.Enumeration"})

// ts.util.IntHashtable: a chained hash table from int keys to objects, without key objects.
#include "ts_util_IntHashtable.h"

namespace ts::util {

using java::lang::Object;

VMPtr<IntHashtable> IntHashtable::construct(jint initialCapacity) {
    Super::construct();
    const jint capacity = initialCapacity <= 1 ? 1 : initialCapacity;
    table = VMArray<Entry, 1>::create(capacity);
    threshold = jint(int64_t(capacity) * 3 >> 2);
    count = 0;
    return this;
}

void IntHashtable::getKeys(VMPtr<VMArray<jint, 1>> keys) {
    if (keys == nullptr) _VM_throwNullPointer();
    VMArray<Entry, 1>* buckets = table.target;
    jint k = 0;
    for (jint i = buckets->length - 1; i >= 0; --i) {
        for (Entry* e = buckets->elements()[i]; e != nullptr; e = e->next.target) keys->set(k++, e->key);
    }
}

jboolean IntHashtable::containsKey(jint key) {
    VMArray<Entry, 1>* buckets = table.target;
    for (Entry* e = buckets->elements()[bucketOf(key, buckets->length)]; e != nullptr; e = e->next.target) {
        if (e->key == key) return true;
    }
    return false;
}

void IntHashtable::clear() {
    if (count == 0) return;
    count = 0;
    VMArray<Entry, 1>* buckets = table.target;
    for (jint i = buckets->length - 1; i >= 0; --i) buckets->elements()[i] = nullptr;
}

VMPtr<Object> IntHashtable::remove(jint key) {
    VMSynchronized lock(this);
    VMArray<Entry, 1>* buckets = table.target;
    const jint index = bucketOf(key, buckets->length);
    Entry* previous = nullptr;
    for (Entry* e = buckets->elements()[index]; e != nullptr; previous = e, e = e->next.target) {
        if (e->key != key) continue;
        if (previous == nullptr) {
            buckets->elements()[index] = e->next.target;
        } else {
            previous->next = e->next.target;
        }
        --count;
        return e->value;
    }
    return nullptr;
}

void IntHashtable::getValues(VMPtr<VMArray<Object, 1>> values) {
    if (values == nullptr) _VM_throwNullPointer();
    VMArray<Entry, 1>* buckets = table.target;
    jint k = 0;
    for (jint i = buckets->length - 1; i >= 0; --i) {
        for (Entry* e = buckets->elements()[i]; e != nullptr; e = e->next.target) values->set(k++, e->value.target);
    }
}

VMPtr<Object> IntHashtable::clone() {
    VMPtr<VMArray<Entry, 1>> buckets = table;
    VMPtr<IntHashtable> copy = create();
    copy->Super::construct();
    copy->table = VMArray<Entry, 1>::create(buckets->length);
    copy->threshold = threshold;
    copy->count = count;
    for (jint i = buckets->length - 1; i >= 0; --i) {
        Entry* head = buckets->elements()[i];
        if (head == nullptr) continue;
        VMPtr<Object> chain = head->clone();
        copy->table->elements()[i] = dynamic_cast<Entry*>(chain.get());
    }
    return copy;
}

jboolean IntHashtable::isEmpty() { return count == 0; }

jint IntHashtable::size() { return count; }

VMPtr<Object> IntHashtable::get(jint key) {
    VMArray<Entry, 1>* buckets = table.target;
    for (Entry* e = buckets->elements()[bucketOf(key, buckets->length)]; e != nullptr; e = e->next.target) {
        if (e->key == key) return e->value;
    }
    return nullptr;
}

VMPtr<Object> IntHashtable::put(jint key, VMPtr<Object> value) {
    VMArray<Entry, 1>* buckets = table.target;
    const jint index = bucketOf(key, buckets->length);
    for (Entry* e = buckets->elements()[index]; e != nullptr; e = e->next.target) {
        if (e->key != key) continue;
        VMPtr<Object> old = e->value;
        e->value = value;
        return old;
    }
    if (count >= threshold) {
        rehash();
        return put(key, value);
    }
    // The new entry; the bucket array is held by the field and is not moved
    // by a collection that the allocation may run.
    Entry* entry = Entry::create()->construct().get();
    entry->key = key;
    entry->value = value;
    entry->next = buckets->elements()[index];
    buckets->elements()[index] = entry;
    ++count;
    return nullptr;
}

void IntHashtable::rehash() {
    VMPtr<VMArray<Entry, 1>> old = table;
    const jint newCapacity = old->length * 2 + 1;
    VMPtr<VMArray<Entry, 1>> grown = VMArray<Entry, 1>::create(newCapacity);
    threshold = jint(int64_t(newCapacity) * 3 >> 2);
    // Entries are relinked, not copied: nothing below allocates.
    for (jint i = old->length - 1; i >= 0; --i) {
        for (Entry* e = old->elements()[i]; e != nullptr;) {
            Entry* following = e->next.target;
            const jint index = bucketOf(e->key, newCapacity);
            e->next = grown->elements()[index];
            grown->elements()[index] = e;
            e = following;
        }
    }
    table = grown;
}

}  // namespace ts::util

VM_REGISTER_CLASS(ts::util::IntHashtable, .name = "ts.util.IntHashtable")

// java.util.Hashtable: a map from keys to values by separate chaining.
#include "java_util_Hashtable.h"

#include <cstdint>

#include "java_lang_Integer.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_util_HashtableEnumerator.h"

using java::lang::Object;
using java::lang::String;

namespace {

using java::util::HashtableEntry;

// The bucket of a hash code: the sign-cleared hash modulo the capacity.
inline jint bucketOf(VMModulo& modulo, jint hash, jint capacity) {
    return jint(modulo.remainder(uint32_t(hash) & 0x7FFFFFFFu, uint32_t(capacity)));
}

// Three quarters of the capacity, truncated (in 64 bits, so that very large
// capacities do not give a negative limit).
inline jint thresholdFor(jint capacity) { return jint(int64_t(capacity) * 75 / 100); }

inline bool matches(HashtableEntry* entry, jint hash, const VMPtr<Object>& key) {
    return entry->hash == hash && entry->key->equals(key);
}

// Where a key's entry sits. The walk holds the bucket array it walks and the
// entry it is at: equals may run code that changes the table.
struct ChainPosition {
    VMPtr<java::util::Hashtable::BucketArray> buckets;
    jint index = 0;
    VMPtr<HashtableEntry> entry;     // null when the key is absent
    VMPtr<HashtableEntry> previous;  // null when the entry heads its chain
};

// The one chain lookup of containsKey, get, put and remove.
void findKey(java::util::Hashtable* table, jint hash, const VMPtr<Object>& key, ChainPosition& at) {
    at.buckets = table->table;
    at.index = bucketOf(table->bucketModulo, hash, at.buckets->length);
    at.previous = nullptr;
    for (at.entry = at.buckets->elements()[at.index]; at.entry != nullptr; at.entry = at.entry->next) {
        if (matches(at.entry.get(), hash, key)) return;
        at.previous = at.entry;
    }
}

// A lookup that needs no references: when every key it compares with is a
// string or an integer, whose equals runs no other code, nothing can change
// the table or collect while it walks. Sets `decided` false, and answers
// null, at the first key of another class: the caller then takes findKey,
// which calls that key's own equals.
HashtableEntry* findPlainKey(java::util::Hashtable* table, jint hash, Object* key, bool& decided) {
    java::util::Hashtable::BucketArray* buckets = table->table.target;
    const jint index = bucketOf(table->bucketModulo, hash, buckets->length);
    decided = true;
    // A string or an integer equals itself: the stored key that is the very
    // object asked for needs no look at its class or contents.
    const bool plainKey = _VM_asFinal<String>(key) != nullptr || _VM_asFinal<java::lang::Integer>(key) != nullptr;
    for (HashtableEntry* e = buckets->elements()[index]; e != nullptr; e = e->next) {
        if (e->hash != hash) continue;
        Object* stored = e->key;
        if (stored == key && plainKey) return e;
        bool equal;
        if (auto* s = _VM_asFinal<String>(stored)) {
            equal = s->_VM_equals(key);
        } else if (auto* i = _VM_asFinal<java::lang::Integer>(stored)) {
            equal = i->_VM_equals(key);
        } else {
            decided = false;
            return nullptr;
        }
        if (equal) return e;
    }
    return nullptr;
}

}  // namespace

namespace java::util {

VMPtr<Hashtable> Hashtable::construct() { return construct(11); }

VMPtr<Hashtable> Hashtable::construct(jint initialCapacity) {
    Super::construct();
    if (initialCapacity < 0) _VM_throwIllegalArgumentException();
    if (initialCapacity == 0) initialCapacity = 1;
    table = BucketArray::create(initialCapacity);
    threshold = thresholdFor(initialCapacity);
    return this;
}

jint Hashtable::size() { return count; }

jboolean Hashtable::isEmpty() { return count == 0; }

VMPtr<Enumeration> Hashtable::keys() {
    VMSynchronized lock(this);
    return HashtableEnumerator::create()->construct(table, true);
}

VMPtr<Enumeration> Hashtable::elements() {
    VMSynchronized lock(this);
    return HashtableEnumerator::create()->construct(table, false);
}

jboolean Hashtable::contains(VMPtr<Object> value) {
    VMSynchronized lock(this);
    if (value == nullptr) _VM_throwNullPointer();
    // The walk keeps the array and the entry it is at: equals may run code
    // that changes this table.
    VMPtr<BucketArray> buckets = table;
    VMPtr<HashtableEntry> e;
    for (jint i = buckets->length - 1; i >= 0; --i)
        for (e = buckets->elements()[i]; e != nullptr; e = e->next)
            if (e->value->equals(value)) return true;
    return false;
}

jboolean Hashtable::containsKey(VMPtr<Object> key) {
    VMSynchronized lock(this);
    if (key == nullptr) _VM_throwNullPointer();
    const jint h = key->hashCode();
    bool decided = false;
    HashtableEntry* found = findPlainKey(this, h, key.target, decided);
    if (decided) return found != nullptr;
    ChainPosition at;
    findKey(this, h, key, at);
    return at.entry != nullptr;
}

VMPtr<Object> Hashtable::get(VMPtr<Object> key) {
    // The result is made first, so that every reference below leaves the
    // stack list from its head.
    VMPtr<Object> result;
    VMSynchronized lock(this);
    if (key == nullptr) _VM_throwNullPointer();
    const jint h = key->hashCode();
    bool decided = false;
    if (HashtableEntry* found = findPlainKey(this, h, key.target, decided)) {
        result = found->value;
        return result;
    }
    if (decided) return result;
    ChainPosition at;
    findKey(this, h, key, at);
    if (at.entry != nullptr) result = at.entry->value;
    return result;
}

VMPtr<Object> Hashtable::put(VMPtr<Object> key, VMPtr<Object> value) {
    VMSynchronized lock(this);
    if (value == nullptr) _VM_throwNullPointer();
    if (key == nullptr) _VM_throwNullPointer();
    const jint h = key->hashCode();
    bool decided = false;
    if (HashtableEntry* found = findPlainKey(this, h, key.target, decided)) {
        VMPtr<Object> old = found->value;
        found->value = value.get();
        return old;
    }
    if (!decided) {
        ChainPosition at;
        findKey(this, h, key, at);
        if (at.entry != nullptr) {
            VMPtr<Object> old = at.entry->value;
            at.entry->value = value.get();
            return old;
        }
    }
    if (count >= threshold) {
        rehash();
        return put(key, value);
    }
    VMPtr<HashtableEntry> entry = HashtableEntry::create()->construct();
    entry->hash = h;
    entry->key = key.get();
    entry->value = value.get();
    // Linked into the current array (the lookup above may have run code that
    // replaced it).
    HashtableEntry** heads = table->elements();
    const jint index = bucketOf(bucketModulo, h, table->length);
    entry->next = heads[index];
    heads[index] = entry.get();
    ++count;
    return nullptr;
}

VMPtr<Object> Hashtable::remove(VMPtr<Object> key) {
    VMSynchronized lock(this);
    if (key == nullptr) _VM_throwNullPointer();
    ChainPosition at;
    findKey(this, key->hashCode(), key, at);
    if (at.entry == nullptr) return nullptr;
    if (at.previous != nullptr)
        at.previous->next = at.entry->next;
    else
        at.buckets->elements()[at.index] = at.entry->next;
    --count;
    return at.entry->value;
}

void Hashtable::clear() {
    VMSynchronized lock(this);
    HashtableEntry** heads = table->elements();
    for (jint i = table->length - 1; i >= 0; --i) heads[i] = nullptr;
    count = 0;
}

void Hashtable::rehash() {
    VMPtr<BucketArray> old = table;
    const jint oldCapacity = old->length;
    const int64_t newCapacity = int64_t(oldCapacity) * 2 + 1;
    if (newCapacity > INT32_MAX) _VM_throwOutOfMemoryError();  // no larger array exists
    VMPtr<BucketArray> fresh = BucketArray::create(jint(newCapacity));
    threshold = thresholdFor(jint(newCapacity));
    table = fresh;
    // Entries are relinked, not copied; nothing below allocates.
    HashtableEntry** from = old->elements();
    HashtableEntry** to = fresh->elements();
    VMModulo modulo;
    constexpr jint kAhead = 24;
    for (jint i = oldCapacity - 1; i >= 0; --i) {
        // The hash and link of an entry a few buckets on are fetched while
        // this bucket's chain moves.
        if (i >= kAhead && from[i - kAhead] != nullptr) __builtin_prefetch(&from[i - kAhead]->next, 1);
        for (HashtableEntry* e = from[i]; e != nullptr;) {
            HashtableEntry* next = e->next;
            const jint index = bucketOf(modulo, e->hash, jint(newCapacity));
            e->next = to[index];
            to[index] = e;
            e = next;
        }
    }
}

VMPtr<String> Hashtable::toString() {
    VMSynchronized lock(this);
    const jint max = size() - 1;
    VMPtr<java::lang::StringBuffer> text = java::lang::StringBuffer::create()->construct();
    text->append("{");
    VMPtr<Enumeration> keyWalk = keys();
    VMPtr<Enumeration> valueWalk = elements();
    for (jint i = 0; i <= max; ++i) {
        VMPtr<Object> key = keyWalk->nextElement();
        VMPtr<Object> value = valueWalk->nextElement();
        // A table that holds itself is written as such, not walked again.
        if (key.get() == this)
            text->append("(this Map)");
        else
            text->append(key);
        text->append("=");
        if (value.get() == this)
            text->append("(this Map)");
        else
            text->append(value);
        if (i < max) text->append(", ");
    }
    text->append("}");
    return text->toString();
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::Hashtable, .name = "java.util.Hashtable",
                  .newInstance = _VM_newInstanceOf<java::util::Hashtable>)

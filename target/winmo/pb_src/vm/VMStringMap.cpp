// String-keyed chained hash map.
#include "VMStringMap.h"

#include <cstring>

#include "VMObject.h"

int32_t _VM_stringHash(const char* key) {
    uint32_t h = 0;
    for (const char* p = key; *p != 0; ++p) h = h * 31u + uint32_t(int32_t(static_cast<signed char>(*p)));
    return int32_t(h);
}

void _VM_mapInit(VMStringMap* map, uint32_t bucketCount) {
    if (bucketCount == 0) bucketCount = 1;
    map->buckets = static_cast<VMStringMapEntry**>(_VM_alloc(sizeof(VMStringMapEntry*) * bucketCount, 1));
    map->bucketCount = bucketCount;
    map->entryCount = 0;
}

void _VM_mapFree(VMStringMap* map) {
    if (map->buckets == nullptr) return;
    for (uint32_t b = 0; b < map->bucketCount; ++b) {
        VMStringMapEntry* e = map->buckets[b];
        while (e != nullptr) {
            VMStringMapEntry* next = e->next;
            _VM_free(e->key);
            _VM_free(e);
            e = next;
        }
    }
    _VM_free(map->buckets);
    map->buckets = nullptr;
    map->bucketCount = 0;
    map->entryCount = 0;
}

uint32_t _VM_mapBucketOf(const VMStringMap* map, const char* key) {
    return uint32_t(_VM_stringHash(key)) % map->bucketCount;
}

void* _VM_mapGet(const VMStringMap* map, const char* key) {
    if (key == nullptr || map->buckets == nullptr) return nullptr;
    for (VMStringMapEntry* e = map->buckets[_VM_mapBucketOf(map, key)]; e != nullptr; e = e->next)
        if (std::strcmp(e->key, key) == 0) return e->value;
    return nullptr;
}

bool _VM_mapContains(const VMStringMap* map, const char* key) {
    if (key == nullptr || map->buckets == nullptr) return false;
    for (VMStringMapEntry* e = map->buckets[_VM_mapBucketOf(map, key)]; e != nullptr; e = e->next)
        if (std::strcmp(e->key, key) == 0) return true;
    return false;
}

void _VM_mapPut(VMStringMap* map, const char* key, void* value) {
    if (key == nullptr || map->buckets == nullptr) return;
    auto* entry = static_cast<VMStringMapEntry*>(_VM_alloc(sizeof(VMStringMapEntry), 1));
    size_t n = std::strlen(key);
    entry->key = static_cast<char*>(_VM_alloc(n + 1, 1));
    std::memcpy(entry->key, key, n);
    entry->value = value;
    entry->next = nullptr;
    VMStringMapEntry** slot = &map->buckets[_VM_mapBucketOf(map, key)];
    while (*slot != nullptr) slot = &(*slot)->next;
    *slot = entry;
    ++map->entryCount;
}

// Chained hash map keyed by NUL-terminated 8-bit strings (class registry,
// string intern table, runtime property table).
#pragma once

#include <cstdint>

struct VMStringMapEntry {
    void* value = nullptr;
    char* key = nullptr;  // owned copy
    VMStringMapEntry* next = nullptr;
};

struct VMStringMap {
    VMStringMapEntry** buckets = nullptr;
    uint32_t bucketCount = 0;
    uint32_t entryCount = 0;
};

constexpr uint32_t VM_STRING_MAP_BUCKETS = 200;

// h := h * 31 + signed byte, wrapping at 32 bits.
int32_t _VM_stringHash(const char* key);
void _VM_mapInit(VMStringMap* map, uint32_t bucketCount = VM_STRING_MAP_BUCKETS);
void _VM_mapFree(VMStringMap* map);
// The value under key, or null.
void* _VM_mapGet(const VMStringMap* map, const char* key);
bool _VM_mapContains(const VMStringMap* map, const char* key);
// Appends an entry at the end of its chain (the caller checks for duplicates).
void _VM_mapPut(VMStringMap* map, const char* key, void* value);
uint32_t _VM_mapBucketOf(const VMStringMap* map, const char* key);

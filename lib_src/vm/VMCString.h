// The runtime's own 8-bit texts: a one-word holder of a NUL-terminated text
// whose storage (exactly length + 1 bytes) comes from the runtime allocator.
// A plain native value, not a collected object.
#pragma once

#include <cstddef>

struct VMCString {
    char* text = nullptr;

    const char* c_str() const { return text != nullptr ? text : ""; }
};

void _VM_cstrInit(VMCString* holder);
void _VM_cstrFree(VMCString* holder);
void _VM_cstrAssign(VMCString* holder, const char* text);
void _VM_cstrCopy(VMCString* holder, const VMCString* other);
void _VM_cstrSet(VMCString* holder, const char* text);
void _VM_cstrSetN(VMCString* holder, const char* text, size_t n);
void _VM_cstrAppend(VMCString* holder, const char* text);
void _VM_cstrAppendN(VMCString* holder, const char* text, size_t n);
size_t _VM_cstrLength(const VMCString* holder);
int _VM_cstrCompare(const VMCString* holder, const VMCString* other);
bool _VM_cstrEquals(const VMCString* holder, const char* text);

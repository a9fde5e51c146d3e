// The runtime's 8-bit text holder.
#include "VMCString.h"

#include <cstring>

#include "VMObject.h"

namespace {
char* copyOf(const char* text, size_t n) {
    auto* block = static_cast<char*>(_VM_alloc(n + 1, 1));  // zero-filled
    std::memcpy(block, text, n);
    return block;
}
}  // namespace

void _VM_cstrInit(VMCString* holder) { holder->text = nullptr; }

void _VM_cstrFree(VMCString* holder) {
    _VM_free(holder->text);
    holder->text = nullptr;
}

void _VM_cstrAssign(VMCString* holder, const char* text) {
    holder->text = nullptr;
    if (text != nullptr) holder->text = copyOf(text, std::strlen(text));
}

void _VM_cstrCopy(VMCString* holder, const VMCString* other) {
    const char* text = other != nullptr ? other->text : nullptr;
    holder->text = nullptr;
    if (text != nullptr) holder->text = copyOf(text, std::strlen(text));
}

void _VM_cstrSet(VMCString* holder, const char* text) {
    // Copy first: the text may be the holder's own.
    char* copy = text != nullptr ? copyOf(text, std::strlen(text)) : nullptr;
    _VM_free(holder->text);
    holder->text = copy;
}

void _VM_cstrSetN(VMCString* holder, const char* text, size_t n) {
    if (text == nullptr || n == 0) return;
    size_t available = strnlen(text, n);
    char* copy = copyOf(text, available);
    _VM_free(holder->text);
    holder->text = copy;
}

void _VM_cstrAppend(VMCString* holder, const char* text) {
    if (text == nullptr) return;
    _VM_cstrAppendN(holder, text, std::strlen(text));
}

void _VM_cstrAppendN(VMCString* holder, const char* text, size_t n) {
    if (text == nullptr || n == 0) return;
    size_t add = strnlen(text, n);
    size_t old = _VM_cstrLength(holder);
    auto* block = static_cast<char*>(_VM_alloc(old + add + 1, 1));
    if (old != 0) std::memcpy(block, holder->text, old);
    std::memcpy(block + old, text, add);  // text may lie inside the old block
    _VM_free(holder->text);
    holder->text = block;
}

size_t _VM_cstrLength(const VMCString* holder) { return holder->text != nullptr ? std::strlen(holder->text) : 0; }

int _VM_cstrCompare(const VMCString* holder, const VMCString* other) {
    return std::strcmp(holder->c_str(), other->c_str());
}

bool _VM_cstrEquals(const VMCString* holder, const char* text) {
    if (text == nullptr) return false;
    return std::strcmp(holder->c_str(), text) == 0;
}

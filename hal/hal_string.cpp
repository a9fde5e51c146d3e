// Platform layer: reference-counted UTF-16 strings; UTF-8 text is decoded by
// the runtime's one codec.
#include "hal_string.h"

#include "VMUtf8.h"
#include "hal_system.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

struct NativeString {
    std::atomic<int32_t> references{1};
    char16_t* characters = nullptr;  // NUL-terminated; null when there are none
    int32_t length = 0;
};

namespace {

// A string of `length` characters, NUL-terminated and not yet filled (none
// when the length is 0); null when memory runs out.
NativeString* newString(size_t length) {
    auto* string = new (std::nothrow) NativeString;
    if (!string) return nullptr;
    if (length > 0) {
        auto* characters = static_cast<char16_t*>(std::malloc((length + 1) * sizeof(char16_t)));
        if (!characters) {
            delete string;
            return nullptr;
        }
        characters[length] = 0;
        string->characters = characters;
        string->length = static_cast<int32_t>(length);
    }
    return string;
}

}  // namespace

NativeString* HAL_createString(const char16_t* characters, int32_t length) {
    if (!characters || length <= 0) return newString(0);
    NativeString* string = newString(static_cast<size_t>(length));
    if (string) std::memcpy(string->characters, characters, static_cast<size_t>(length) * sizeof(char16_t));
    return string;
}

NativeString* HAL_createStringUTF8(const char* text) {
    if (!text) return nullptr;
    const size_t size = std::strlen(text);
    if (size > static_cast<size_t>(INT32_MAX)) return nullptr;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    const jint length = static_cast<jint>(size);
    bool ok;
    jint count = _VM_utf8CountChars(bytes, length, ok);
    if (!ok) return nullptr;
    NativeString* string = newString(static_cast<size_t>(count));
    if (!string || count == 0) return string;
    _VM_utf8Decode(string->characters, count, bytes, length, ok);
    // The count walked the same lead bytes the decoding reads: every counted
    // character was stored.
    string->characters[count] = 0;
    string->length = count;
    return string;
}

int HAL_freeString(NativeString* string) {
    if (!string) return HAL_BAD_ARGUMENT;
    if (string->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        std::free(string->characters);
        delete string;
    }
    return HAL_OK;
}

int HAL_getStringLength(NativeString* string, int32_t* length) {
    if (!string || !length) return HAL_BAD_ARGUMENT;
    *length = string->length;
    return HAL_OK;
}

int HAL_getStringCharacters(NativeString* string, char16_t* buffer) {
    if (!string || !buffer) return HAL_BAD_ARGUMENT;
    if (!string->characters) return HAL_BAD_ARGUMENT;
    std::memcpy(buffer, string->characters, static_cast<size_t>(string->length) * sizeof(char16_t));
    return HAL_OK;
}

// Platform layer: reference-counted UTF-16 strings.
#include "hal_string.h"

#include "hal_system.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

struct NativeString {
    std::atomic<int32_t> references{1};
    char16_t* characters = nullptr;  // NUL-terminated; null when there are none
    int32_t length = 0;
};

namespace {

constexpr char16_t kReplacement = 0xFFFD;

NativeString* makeString(const char16_t* characters, size_t length) {
    auto* string = new (std::nothrow) NativeString;
    if (!string) return nullptr;
    if (characters && length > 0) {
        auto* copy = static_cast<char16_t*>(std::malloc((length + 1) * sizeof(char16_t)));
        if (!copy) {
            delete string;
            return nullptr;
        }
        std::memcpy(copy, characters, length * sizeof(char16_t));
        copy[length] = 0;
        string->characters = copy;
        string->length = static_cast<int32_t>(length);
    }
    return string;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes UTF-8 into UTF-16. Surrogates written as 3-byte forms pass through
// unchanged, so text whose supplementary characters were encoded pair by pair
// decodes to the same units; C0 80 is the two-byte form of U+0000. Every
// malformed or truncated sequence becomes one U+FFFD and decoding resumes at
// the first byte that did not fit.
void decodeUtf8(const unsigned char* in, std::vector<char16_t>& out) {
    while (*in) {
        unsigned char lead = *in;
        if (lead < 0x80) {
            out.push_back(lead);
            ++in;
            continue;
        }
        int extra;
        uint32_t code;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (lead == 0xC0 && in[1] == 0x80) {
            out.push_back(0);
            in += 2;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;  // shorter forms are overlong
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            code = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            out.push_back(kReplacement);
            ++in;
            continue;
        }
        ++in;
        bool complete = true;
        for (int i = 0; i < extra; ++i) {
            unsigned char byte = *in;
            bool fits = i == 0 ? (byte >= low && byte <= high) : isContinuation(byte);
            if (!fits) {
                complete = false;
                break;
            }
            code = (code << 6) | (byte & 0x3F);
            ++in;
        }
        if (!complete) {
            out.push_back(kReplacement);
        } else if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
}

}  // namespace

NativeString* HAL_createString(const char16_t* characters, int32_t length) {
    if (!characters || length <= 0) return makeString(nullptr, 0);
    return makeString(characters, static_cast<size_t>(length));
}

NativeString* HAL_createStringUTF8(const char* text) {
    if (!text) return nullptr;
    std::vector<char16_t> units;
    try {
        units.reserve(std::strlen(text));
        decodeUtf8(reinterpret_cast<const unsigned char*>(text), units);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (units.size() > static_cast<size_t>(INT32_MAX)) return nullptr;
    return makeString(units.data(), units.size());
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

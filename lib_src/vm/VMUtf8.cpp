// The runtime's UTF-8 codec.
#include "VMUtf8.h"

#include <algorithm>

jint _VM_utf8EncodeChar(jchar c, jint room, uint8_t*& p, bool modified) {
    if (room <= 0) return room;
    uint8_t form[3];
    jint length;
    if (c == 0 && modified) {
        form[0] = 0xC0;
        form[1] = 0x80;
        length = 2;
    } else if (c <= 0x7F) {
        form[0] = uint8_t(c);
        length = 1;
    } else if (c <= 0x7FF) {
        form[0] = uint8_t(0xC0 | (c >> 6));
        form[1] = uint8_t(0x80 | (c & 0x3F));
        length = 2;
    } else {
        form[0] = uint8_t(0xE0 | (c >> 12));
        form[1] = uint8_t(0x80 | ((c >> 6) & 0x3F));
        form[2] = uint8_t(0x80 | (c & 0x3F));
        length = 3;
    }
    if (length > room) return room - length;
    for (jint i = 0; i < length; ++i) *p++ = form[i];
    return room - length;
}

jlong _VM_utf8Length(const jchar* chars, jint n, bool modified) {
    // Without branches, so that the compiler can take many characters a step.
    const jlong zeroExtra = modified ? 1 : 0;
    jlong total = 0;
    for (jint i = 0; i < n; ++i) {
        const jchar c = chars[i];
        total += 1 + jlong(c > 0x7F) + jlong(c > 0x7FF) + (c == 0 ? zeroExtra : 0);
    }
    return total;
}

jint _VM_utf8Encode(uint8_t* dst, jint& room, const jchar* chars, jint n, bool modified, bool terminate) {
    const jint capacity = room;
    jint left = terminate ? capacity - 1 : capacity;
    uint8_t* p = dst;
    // Once a character does not fit, no later one is written either.
    for (jint i = 0; i < n && left > 0;) {
        // A run of U+0001 to U+007F: one byte each, as they are.
        const jint limit = std::min(n - i, left);
        jint run = 0;
        while (run < limit && jchar(chars[i + run] - 1) < 0x7F) {
            p[run] = uint8_t(chars[i + run]);
            ++run;
        }
        p += run;
        i += run;
        left -= run;
        if (i < n && left > 0) left = _VM_utf8EncodeChar(chars[i++], left, p, modified);
    }
    if (terminate && capacity >= 1) *p = 0;
    room = jint(p - dst);
    return n;
}

jchar _VM_utf8DecodeChar(jint& remaining, const uint8_t*& p, bool& ok) {
    ok = true;
    if (remaining <= 0) {
        --remaining;
        return 0x80;
    }
    --remaining;
    const uint8_t b = *p;
    switch (b >> 4) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7: ++p; return b;
        case 12:
        case 13: {
            ++p;
            remaining -= 1;
            if (remaining < 0) return 0x80;
            const uint8_t b1 = *p++;
            if ((b1 & 0xC0) != 0x80) return 0x80;
            return jchar(((b & 0x1F) << 6) + (b1 & 0x3F));
        }
        case 14: {
            ++p;
            remaining -= 2;
            if (remaining < 0) return 0x80;
            const uint8_t b1 = *p++;
            const uint8_t b2 = *p++;
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return 0x80;
            return jchar(((b & 0x0F) << 12) + ((b1 & 0x3F) << 6) + (b2 & 0x3F));
        }
        default:  // a continuation byte where a lead belongs, or a four-byte lead
            ok = false;
            return 0;
    }
}

jint _VM_utf8CountChars(const uint8_t* bytes, jint len, bool& ok) {
    ok = true;
    jint chars = 0;
    for (int64_t i = 0; i < len; ++chars) {
        const uint8_t b = bytes[i];
        if (b < 0x80) {
            // The rest of a run of one-byte forms.
            int64_t end = i + 1;
            while (end < len && bytes[end] < 0x80) ++end;
            chars += jint(end - i - 1);
            i = end;
        } else if ((b >> 4) == 12 || (b >> 4) == 13) {
            i += 2;
        } else if ((b >> 4) == 14) {
            i += 3;
        } else {
            ok = false;
            break;
        }
    }
    return chars;
}

jint _VM_utf8Decode(jchar* dst, jint& n, const uint8_t* bytes, jint len, bool& ok) {
    ok = true;
    const jint room = n;
    jint stored = 0;
    jint remaining = len < 0 ? 0 : len;
    const uint8_t* p = bytes;
    while (remaining > 0 && stored < room && ok) {
        // A run of one-byte forms first.
        const jint limit = std::min(remaining, room - stored);
        jint run = 0;
        while (run < limit && p[run] < 0x80) {
            dst[stored + run] = p[run];
            ++run;
        }
        stored += run;
        p += run;
        remaining -= run;
        if (remaining <= 0 || stored >= room) break;
        jchar c = _VM_utf8DecodeChar(remaining, p, ok);
        dst[stored++] = ok ? c : jchar(0);
    }
    n = stored;
    // remaining is at least -2 here; the sum cannot leave the 64-bit range.
    const int64_t consumed = int64_t(len < 0 ? 0 : len) - remaining;
    return consumed > INT32_MAX ? INT32_MAX : jint(consumed);
}

bool _VM_utf8EqualsChars(const uint8_t* bytes, jint len, const jchar* chars, jint n) {
    jint remaining = len;
    const uint8_t* p = bytes;
    jint i = 0;
    while (remaining > 0) {
        if (i >= n) return false;
        bool ok;
        jchar c = _VM_utf8DecodeChar(remaining, p, ok);
        if (!ok || c != chars[i]) return false;
        ++i;
    }
    return i == n || (n < 0 && i == 0);
}

std::string _VM_utf8ForHost(const char16_t* text, size_t n) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t i = 0; i < n && text[i] != 0; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

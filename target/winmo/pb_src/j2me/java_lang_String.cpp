// java.lang.String: an immutable sequence of 16-bit characters.
#include "java_lang_String.h"

#include <algorithm>
#include <cstring>

#include "VMStringMap.h"
#include "VMThrow.h"
#include "hal_string.h"
#include "hal_system.h"
#include "java_io_UnsupportedEncodingException.h"
#include "java_lang_Character.h"
#include "java_lang_Double.h"
#include "java_lang_Float.h"
#include "java_lang_IndexOutOfBoundsException.h"
#include "java_lang_Integer.h"
#include "java_lang_Long.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_StringIndexOutOfBoundsException.h"
#include "java_lang_System.h"

// --- intern table -------------------------------------------------------------

VMStringMap* _VM_internTable() {
    static VMStringMap* table = nullptr;
    if (table == nullptr) {
        table = new VMStringMap();
        _VM_mapInit(table);
    }
    return table;
}

namespace {

using java::lang::String;

// Latin-1 and ASCII decode alike: each byte is one character.
enum class Encoding { Utf8, SingleByte };

// The encoding a name stands for; UnsupportedEncodingException (with the
// name) for any other name, NullPointerException for null.
Encoding encodingOf(const VMPtr<String>& enc) {
    if (enc == nullptr) _VM_throwNullPointer();
    if (enc->_VM_equalsLiteral("UTF-8") || enc->_VM_equalsLiteral("UTF8")) return Encoding::Utf8;
    if (enc->_VM_equalsLiteral("ISO-8859-1") || enc->_VM_equalsLiteral("ISO8859_1") ||
        enc->_VM_equalsLiteral("US-ASCII") || enc->_VM_equalsLiteral("ASCII"))
        return Encoding::SingleByte;
    _VM_throw(java::io::UnsupportedEncodingException::create()->construct(enc));
}

[[noreturn]] void throwIndexMessage(jint value) {
    _VM_throw(java::lang::IndexOutOfBoundsException::create()->construct(java::lang::Integer::toString(value)));
}

[[noreturn]] void throwStringIndexMessage(jint value) {
    _VM_throw(java::lang::StringIndexOutOfBoundsException::create()->construct(java::lang::Integer::toString(value)));
}

[[noreturn]] void throwBadUtf8() {
    _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("Improperly formatted UTF-8 string.")));
}

// Frees a runtime block on every exit.
struct BlockGuard {
    void* block;
    ~BlockGuard() { _VM_free(block); }
};

// The characters as modified UTF-8 with a NUL, in a runtime block; written is
// the byte count without the NUL.
void* encodeModified(const String* s, jint& written) {
    const jlong length = _VM_utf8Length(s->_VM_chars(), s->count, true);
    if (length + 1 > INT32_MAX) _VM_throwOutOfMemoryError();
    auto* buffer = static_cast<uint8_t*>(_VM_alloc(size_t(length) + 1, 1));
    written = jint(length + 1);
    _VM_utf8Encode(buffer, written, s->_VM_chars(), s->count, true, true);
    return buffer;
}

}  // namespace

namespace java::lang {

// --- construction ----------------------------------------------------------------

VMPtr<String> String::construct() {
    Super::construct();
    value = VMChars::create(0);
    offset = 0;
    count = 0;
    return this;
}

VMPtr<String> String::construct(const char* utf8) {
    Super::construct();
    if (utf8 == nullptr) _VM_throwNullPointer();
    const size_t n = std::strlen(utf8);
    if (n > size_t(INT32_MAX)) _VM_throwOutOfMemoryError();
    auto* bytes = reinterpret_cast<const uint8_t*>(utf8);
    bool ok;
    jint chars = _VM_utf8CountChars(bytes, jint(n), ok);
    value = VMChars::create(chars);
    _VM_utf8Decode(value->elements(), chars, bytes, jint(n), ok);
    offset = 0;
    count = chars;
    return this;
}

VMPtr<String> String::construct(jint off, jint cnt, VMPtr<VMChars> chars) {
    Super::construct();
    value = chars;
    offset = off;
    count = cnt;
    return this;
}

VMPtr<String> String::construct(VMPtr<VMChars> chars, jint off, jint cnt) {
    Super::construct();
    if (chars == nullptr) _VM_throwNullPointer();
    if (off < 0) _VM_throwStringIndexOutOfBoundsException(off);
    if (cnt < 0) _VM_throwStringIndexOutOfBoundsException(cnt);
    if (off > chars->length - cnt) _VM_throwStringIndexOutOfBoundsException(off + cnt);
    VMPtr<VMChars> copy = VMChars::create(cnt);
    if (cnt > 0) std::memcpy(copy->elements(), chars->elements() + off, size_t(cnt) * sizeof(jchar));
    value = copy;
    offset = 0;
    count = cnt;
    return this;
}

VMPtr<String> String::construct(VMPtr<VMBytes> bytes) {
    if (bytes == nullptr) _VM_throwNullPointer();
    return construct(bytes, 0, bytes->length, VM_STR("UTF-8"));
}

VMPtr<String> String::construct(VMPtr<VMBytes> bytes, jint off, jint len) {
    return construct(bytes, off, len, VM_STR("UTF-8"));
}

VMPtr<String> String::construct(VMPtr<VMBytes> bytes, jint off, jint len, VMPtr<String> enc) {
    Super::construct();
    if (bytes == nullptr) _VM_throwNullPointer();
    if (off < 0) throwIndexMessage(off);
    if (len < 0) throwIndexMessage(len);
    if (off > bytes->length - len) throwIndexMessage(off + len);
    const Encoding encoding = encodingOf(enc);
    offset = 0;
    if (encoding != Encoding::Utf8) {
        // One path for Latin-1 and ASCII: each byte is the character of the
        // same unsigned value.
        VMPtr<VMChars> chars = VMChars::create(len);
        const jbyte* source = bytes->elements() + off;
        jchar* target = chars->elements();
        for (jint i = 0; i < len; ++i) target[i] = jchar(uint8_t(source[i]));
        value = chars;
        count = len;
        return this;
    }
    bool ok;
    jint n = _VM_utf8CountChars(bytes->elements() + off, len, ok);
    if (!ok) throwBadUtf8();
    VMPtr<VMChars> chars = VMChars::create(n);
    _VM_utf8Decode(chars->elements(), n, bytes->elements() + off, len, ok);
    if (!ok) throwBadUtf8();
    value = chars;
    count = n;
    return this;
}

VMPtr<String> String::construct(VMPtr<StringBuffer> buffer) {
    Super::construct();
    if (buffer == nullptr) _VM_throwNullPointer();
    VMSynchronized lock(buffer);
    if (buffer->value == nullptr) _VM_throwNullPointer();  // a buffer never constructed
    buffer->shared = true;
    value = buffer->value;
    offset = 0;
    count = buffer->count;
    return this;
}

VMPtr<String> String::_VM_init(NativeString* handle) {
    Super::construct();
    if (handle == nullptr) _VM_throwNullPointer();
    int32_t length = 0;
    if (HAL_getStringLength(handle, &length) != HAL_OK || length < 0)
        HAL_fatalError("HAL_getStringLength() failed in String::_VM_init().");
    VMPtr<VMChars> chars = VMChars::create(length);
    // A string without characters has nothing to fetch (the platform reports
    // that case as a failure of the character copy).
    if (length > 0 && HAL_getStringCharacters(handle, chars->elements()) != HAL_OK)
        HAL_fatalError("HAL_getStringCharacters() failed in String::_VM_init().");
    value = chars;
    offset = 0;
    count = length;
    return this;
}

VMPtr<String> String::_VM_initLength(const jchar* chars, jint length) {
    Super::construct();
    if (length < 0) _VM_throwNegativeArraySizeException();
    if (length > 0 && chars == nullptr) _VM_throwNullPointer();
    value = VMChars::create(length);
    if (length > 0) std::memcpy(value->elements(), chars, size_t(length) * sizeof(jchar));
    offset = 0;
    count = length;
    return this;
}

VMPtr<String> String::_VM_fromUTF8(const char* utf8) { return create()->construct(utf8); }

VMPtr<String> String::_VM_intern(const char* literal) {
    if (literal == nullptr) return nullptr;
    VMStringMap* table = _VM_internTable();
    if (void* found = _VM_mapGet(table, literal)) return static_cast<VMNative<String>*>(found)->target;
    VMPtr<String> s = _VM_fromUTF8(literal);
    auto* root = new (_VM_alloc(sizeof(VMNative<String>), 1)) VMNative<String>();
    *root = s;
    _VM_mapPut(table, literal, root);
    return s;
}

// --- queries -------------------------------------------------------------------------

jchar String::charAt(jint index) {
    if (index < 0 || index >= count) _VM_throwStringIndexOutOfBoundsException(index);
    return _VM_chars()[index];
}

void String::getChars(jint srcBegin, jint srcEnd, VMPtr<VMChars> dst, jint dstBegin) {
    if (srcBegin < 0) throwStringIndexMessage(srcBegin);
    if (srcEnd > count) throwStringIndexMessage(srcEnd);
    if (srcBegin > srcEnd) throwStringIndexMessage(srcEnd - srcBegin);
    // The array copy checks the destination range.
    System::arraycopy(value, offset + srcBegin, dst, dstBegin, srcEnd - srcBegin);
}

jint String::hashCode() {
    jint h = _VM_hash;
    if (h != 0) return h;
    const jchar* chars = _VM_chars();
    for (jint i = 0; i < count; ++i) h = 31 * h + chars[i];
    _VM_hash = h;
    return h;
}

jboolean String::equals(VMPtr<Object> anObject) { return _VM_equals(anObject.target); }

jboolean String::_VM_equals(Object* anObject) {
    if (anObject == this) return true;
    auto* other = _VM_asFinal<String>(anObject);
    if (other == nullptr || other->count != count) return false;
    return std::memcmp(_VM_chars(), other->_VM_chars(), size_t(count) * sizeof(jchar)) == 0;
}

jboolean String::equalsIgnoreCase(VMPtr<String> anotherString) {
    if (anotherString == nullptr || anotherString->count != count) return false;
    return regionMatches(true, 0, anotherString, 0, count);
}

jboolean String::regionMatches(jboolean ignoreCase, jint toffset, VMPtr<String> other, jint ooffset, jint len) {
    if (ooffset < 0 || toffset < 0) return false;
    if (other == nullptr) _VM_throwNullPointer();
    if (int64_t(toffset) > int64_t(count) - len || int64_t(ooffset) > int64_t(other->count) - len) return false;
    const jchar* a = _VM_chars() + toffset;
    const jchar* b = other->_VM_chars() + ooffset;
    for (jint i = 0; i < len; ++i) {
        if (a[i] == b[i]) continue;
        if (ignoreCase && Character::toUpperCase(a[i]) == Character::toUpperCase(b[i])) continue;
        return false;
    }
    return true;
}

jboolean String::startsWith(VMPtr<String> prefix, jint toffset) {
    if (prefix == nullptr) _VM_throwNullPointer();
    if (toffset < 0 || toffset > count - prefix->count) return false;
    return std::memcmp(_VM_chars() + toffset, prefix->_VM_chars(), size_t(prefix->count) * sizeof(jchar)) == 0;
}

jboolean String::startsWith(VMPtr<String> prefix) { return startsWith(prefix, 0); }

jint String::indexOf(jint ch) { return indexOf(ch, 0); }

jint String::indexOf(jint ch, jint fromIndex) {
    if (fromIndex < 0) fromIndex = 0;
    if (fromIndex >= count) return -1;
    const jchar* chars = _VM_chars();
    for (jint i = fromIndex; i < count; ++i)
        if (jint(chars[i]) == ch) return i;
    return -1;
}

jint String::lastIndexOf(jint ch) { return lastIndexOf(ch, count - 1); }

jint String::lastIndexOf(jint ch, jint fromIndex) {
    jint start = fromIndex < count - 1 ? fromIndex : count - 1;
    const jchar* chars = _VM_chars();
    for (jint i = start; i >= 0; --i)
        if (jint(chars[i]) == ch) return i;
    return -1;
}

// --- derived strings -------------------------------------------------------------------

VMPtr<String> String::substring(jint beginIndex) { return substring(beginIndex, count); }

VMPtr<String> String::substring(jint beginIndex, jint endIndex) {
    if (beginIndex < 0) _VM_throwStringIndexOutOfBoundsException(beginIndex);
    if (endIndex > count) _VM_throwStringIndexOutOfBoundsException(endIndex);
    if (beginIndex > endIndex) _VM_throwStringIndexOutOfBoundsException(endIndex - beginIndex);
    if (beginIndex == 0 && endIndex == count) return this;
    return create()->construct(offset + beginIndex, endIndex - beginIndex, value);
}

VMPtr<String> String::replace(jchar oldChar, jchar newChar) {
    if (oldChar == newChar) return this;
    const jchar* chars = _VM_chars();
    jint first = 0;
    while (first < count && chars[first] != oldChar) ++first;
    if (first == count) return this;
    VMPtr<VMChars> result = VMChars::create(count);
    chars = _VM_chars();
    jchar* target = result->elements();
    std::memcpy(target, chars, size_t(first) * sizeof(jchar));
    for (jint i = first; i < count; ++i) target[i] = chars[i] == oldChar ? newChar : chars[i];
    return create()->construct(0, count, result);
}

VMPtr<String> String::toLowerCase() {
    const jchar* chars = _VM_chars();
    jint first = 0;
    while (first < count && Character::toLowerCase(chars[first]) == chars[first]) ++first;
    if (first == count) return this;
    VMPtr<VMChars> result = VMChars::create(count);
    chars = _VM_chars();
    jchar* target = result->elements();
    std::memcpy(target, chars, size_t(first) * sizeof(jchar));
    for (jint i = first; i < count; ++i) target[i] = Character::toLowerCase(chars[i]);
    return create()->construct(0, count, result);
}

VMPtr<String> String::trim() {
    const jchar* chars = _VM_chars();
    jint begin = 0;
    jint end = count;
    while (begin < end && chars[begin] <= u' ') ++begin;
    while (begin < end && chars[end - 1] <= u' ') --end;
    if (begin == 0 && end == count) return this;
    return substring(begin, end);
}

VMPtr<String> String::valueOf(VMPtr<Object> obj) {
    if (obj == nullptr) return VM_STR("null");
    return obj->toString();
}

VMPtr<String> String::valueOf(jboolean b) { return b ? VM_STR("true") : VM_STR("false"); }

VMPtr<String> String::valueOf(jchar c) { return create()->_VM_initLength(&c, 1); }

VMPtr<String> String::valueOf(jint i) { return Integer::toString(i); }

VMPtr<String> String::valueOf(jlong l) { return Long::toString(l, 10); }

VMPtr<String> String::valueOf(jfloat f) { return Float::toString(f); }

VMPtr<String> String::valueOf(jdouble d) { return Double::toString(d); }

// --- runtime entry points -----------------------------------------------------------------

jboolean String::_VM_equalsLiteral(const char* literal) {
    if (literal == nullptr) return false;
    const size_t n = std::strlen(literal);
    if (n > size_t(INT32_MAX)) return false;
    return _VM_utf8EqualsChars(reinterpret_cast<const uint8_t*>(literal), jint(n), _VM_chars(), count);
}

VMCString* String::_VM_appendToCString(VMCString* holder) {
    jint written = 0;
    BlockGuard buffer{encodeModified(this, written)};
    _VM_cstrAppendN(holder, static_cast<const char*>(buffer.block), size_t(written));
    return holder;
}

VMCString* String::_VM_toCString(VMCString* holder) {
    jint written = 0;
    BlockGuard buffer{encodeModified(this, written)};
    if (written == 0)
        _VM_cstrFree(holder);  // the empty string replaces the old text too
    else
        _VM_cstrSetN(holder, static_cast<const char*>(buffer.block), size_t(written));
    return holder;
}

std::string String::_VM_toStdString() {
    jint written = 0;
    BlockGuard buffer{encodeModified(this, written)};
    return std::string(static_cast<const char*>(buffer.block), size_t(written));
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::String, .name = "java.lang.String", .newInstance = _VM_newInstanceOf<java::lang::String>)

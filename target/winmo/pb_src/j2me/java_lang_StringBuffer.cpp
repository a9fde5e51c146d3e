// java.lang.StringBuffer: a growable, synchronized sequence of characters.
#include "java_lang_StringBuffer.h"

#include <cstring>

#include "VMThrow.h"
#include "hal_system.h"
#include "java_lang_Integer.h"
#include "java_lang_StringIndexOutOfBoundsException.h"
#include "java_lang_System.h"

namespace {

void checkInitialised(const java::lang::StringBuffer* buffer) {
    if (!buffer->initialised) HAL_fatalError("Using StringBuffer without initialization!");
}

// A length that must fit a Java int: anything larger cannot be allocated.
jint checkedLength(int64_t length) {
    if (length > INT32_MAX) _VM_throwOutOfMemoryError();
    return jint(length);
}

[[noreturn]] void throwIndex(jint index) { _VM_throwStringIndexOutOfBoundsException(index); }

}  // namespace

namespace java::lang {

VMPtr<StringBuffer> StringBuffer::construct() { return construct(16); }

VMPtr<StringBuffer> StringBuffer::construct(jint length) {
    Super::construct();
    value = VMChars::create(length);
    count = 0;
    shared = false;
    initialised = true;
    return this;
}

VMPtr<StringBuffer> StringBuffer::construct(VMPtr<String> str) {
    if (str == nullptr) _VM_throwNullPointer();
    construct(checkedLength(int64_t(str->count) + 16));
    return append(str);
}

VMPtr<StringBuffer> StringBuffer::construct(const char* utf8) {
    if (utf8 == nullptr) _VM_throwNullPointer();
    const size_t n = std::strlen(utf8);
    if (n > size_t(INT32_MAX)) _VM_throwOutOfMemoryError();
    construct(checkedLength(int64_t(n) + 16));
    return append(utf8, jint(n));
}

void StringBuffer::expandCapacity(jint minimumCapacity) {
    int64_t newCapacity = (int64_t(capacity()) + 1) * 2;
    if (newCapacity > INT32_MAX) newCapacity = INT32_MAX;
    if (minimumCapacity > newCapacity) newCapacity = minimumCapacity;
    VMPtr<VMChars> chars = VMChars::create(jint(newCapacity));
    if (count > 0) std::memcpy(chars->elements(), value->elements(), size_t(count) * sizeof(jchar));
    value = chars;
    shared = false;
}

void StringBuffer::copy() {
    VMPtr<VMChars> chars = VMChars::create(capacity());
    if (count > 0) std::memcpy(chars->elements(), value->elements(), size_t(count) * sizeof(jchar));
    value = chars;
    shared = false;
}

VMPtr<StringBuffer> StringBuffer::append(VMPtr<String> str) {
    VMSynchronized lock(this);
    checkInitialised(this);
    if (str == nullptr) str = String::valueOf(VMPtr<Object>());
    const jint n = str->count;
    const jint newCount = checkedLength(int64_t(count) + n);
    if (newCount > capacity()) expandCapacity(newCount);
    // Only characters at or above count are written: no copy when shared. The
    // string may be this buffer's own text, so the ranges may share an array.
    if (n > 0) std::memmove(value->elements() + count, str->_VM_chars(), size_t(n) * sizeof(jchar));
    count = newCount;
    return this;
}

VMPtr<StringBuffer> StringBuffer::append(VMPtr<Object> obj) {
    VMSynchronized lock(this);
    return append(String::valueOf(obj));
}

VMPtr<StringBuffer> StringBuffer::append(jchar c) {
    VMSynchronized lock(this);
    checkInitialised(this);
    const jint newCount = checkedLength(int64_t(count) + 1);
    if (newCount > capacity()) expandCapacity(newCount);
    value->elements()[count] = c;
    count = newCount;
    return this;
}

VMPtr<StringBuffer> StringBuffer::append(jint i) {
    VMSynchronized lock(this);
    checkInitialised(this);
    // The text of Integer.toString(i), written straight into the buffer.
    char digits[33];
    const char* start = _VM_intToAscii(i, 10, digits + 33);
    const jint n = jint(digits + 33 - start);
    const jint newCount = checkedLength(int64_t(count) + n);
    if (newCount > capacity()) expandCapacity(newCount);
    jchar* out = value->elements() + count;
    for (jint k = 0; k < n; ++k) out[k] = jchar(uint8_t(start[k]));
    count = newCount;
    return this;
}

VMPtr<StringBuffer> StringBuffer::append(jboolean b) { return append(String::valueOf(b)); }
VMPtr<StringBuffer> StringBuffer::append(jlong l) { return append(String::valueOf(l)); }
VMPtr<StringBuffer> StringBuffer::append(jfloat f) { return append(String::valueOf(f)); }
VMPtr<StringBuffer> StringBuffer::append(jdouble d) { return append(String::valueOf(d)); }

VMPtr<StringBuffer> StringBuffer::append(const char* utf8) {
    VMSynchronized lock(this);
    if (utf8 == nullptr) _VM_throwNullPointer();
    const size_t n = std::strlen(utf8);
    if (n > size_t(INT32_MAX)) _VM_throwOutOfMemoryError();
    return append(utf8, jint(n));
}

VMPtr<StringBuffer> StringBuffer::append(const char* utf8, jint length) {
    VMSynchronized lock(this);
    checkInitialised(this);
    if (utf8 == nullptr) _VM_throwNullPointer();
    auto* bytes = reinterpret_cast<const uint8_t*>(utf8);
    bool ok;
    // The text ends before a bad lead byte; nothing is raised for it.
    jint n = _VM_utf8CountChars(bytes, length, ok);
    const jint newCount = checkedLength(int64_t(count) + n);
    if (newCount > capacity()) expandCapacity(newCount);
    _VM_utf8Decode(value->elements() + count, n, bytes, length, ok);
    count += n;
    return this;
}

VMPtr<StringBuffer> StringBuffer::insert(jint offset, VMPtr<String> str) {
    VMSynchronized lock(this);
    if (offset < 0 || offset > count) _VM_throw(StringIndexOutOfBoundsException::create()->construct());
    if (str == nullptr) str = String::valueOf(VMPtr<Object>());
    const jint n = str->count;
    const jint newCount = checkedLength(int64_t(count) + n);
    if (newCount > capacity())
        expandCapacity(newCount);
    else if (shared)
        copy();
    // The array is now this buffer's own, so str (even this buffer's former
    // text) lies in a different array or outside the moved range.
    jchar* chars = value->elements();
    std::memmove(chars + offset + n, chars + offset, size_t(count - offset) * sizeof(jchar));
    if (n > 0) std::memmove(chars + offset, str->_VM_chars(), size_t(n) * sizeof(jchar));
    count = newCount;
    return this;
}

VMPtr<StringBuffer> StringBuffer::insert(jint offset, jchar c) {
    VMSynchronized lock(this);
    const jint newCount = checkedLength(int64_t(count) + 1);
    if (newCount > capacity())
        expandCapacity(newCount);
    else if (shared)
        copy();
    // The array copy rejects an offset outside 0 to count (the larger or
    // private array taken above stays).
    System::arraycopy(value, offset, value, offset + 1, count - offset);
    value->elements()[offset] = c;
    count = newCount;
    return this;
}

VMPtr<StringBuffer> StringBuffer::insert(jint offset, jint i) {
    VMSynchronized lock(this);
    return insert(offset, Integer::toString(i));
}

VMPtr<StringBuffer> StringBuffer::insert(jint offset, jboolean b) { return insert(offset, String::valueOf(b)); }
VMPtr<StringBuffer> StringBuffer::insert(jint offset, jlong l) { return insert(offset, String::valueOf(l)); }
VMPtr<StringBuffer> StringBuffer::insert(jint offset, jfloat f) { return insert(offset, String::valueOf(f)); }
VMPtr<StringBuffer> StringBuffer::insert(jint offset, jdouble d) { return insert(offset, String::valueOf(d)); }

void StringBuffer::setLength(jint newLength) {
    VMSynchronized lock(this);
    if (newLength < 0) throwIndex(newLength);
    if (value == nullptr) _VM_throwNullPointer();  // a buffer never constructed
    if (newLength > capacity()) expandCapacity(newLength);
    if (count >= newLength) {
        count = newLength;
        if (shared) {
            if (newLength <= 0) {
                // A buffer emptied for reuse gets a fresh default array.
                value = VMChars::create(16);
                shared = false;
            } else {
                copy();
            }
        }
        return;
    }
    if (shared) copy();
    std::memset(value->elements() + count, 0, size_t(newLength - count) * sizeof(jchar));
    count = newLength;
}

void StringBuffer::getChars(jint srcBegin, jint srcEnd, VMPtr<VMChars> dst, jint dstBegin) {
    VMSynchronized lock(this);
    if (srcBegin < 0) throwIndex(srcBegin);
    if (srcEnd < 0 || srcEnd > count) throwIndex(srcEnd);
    if (srcBegin > srcEnd) _VM_throw(StringIndexOutOfBoundsException::create()->construct(VM_STR("srcBegin > srcEnd")));
    // The array copy checks the destination range.
    System::arraycopy(value, srcBegin, dst, dstBegin, srcEnd - srcBegin);
}

VMPtr<String> StringBuffer::toString() {
    if (value == nullptr) _VM_throwNullPointer();  // a buffer never constructed
    VMPtr<String> result = String::create()->construct(0, count, value);
    shared = true;
    return result;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::StringBuffer, .name = "java.lang.StringBuffer",
                  .newInstance = _VM_newInstanceOf<java::lang::StringBuffer>)

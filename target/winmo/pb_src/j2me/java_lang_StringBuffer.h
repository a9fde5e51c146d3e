// java.lang.StringBuffer: a growable, synchronized sequence of characters.
//
// toString() hands the buffer's array to the new string without a copy and
// marks the buffer shared; while shared, the characters below count belong
// to that string too, so the buffer copies its array before changing any of
// them (appending writes only above count and needs no copy).
#pragma once

#include "VMArray.h"
#include "java_lang_String.h"

namespace java::lang {

class StringBuffer final : public virtual Object {
    VM_DECLARE_CLASS(StringBuffer, Object)

public:
    VMField<VMArray<jchar, 1>> value;
    jint count = 0;
    jboolean shared = false;
    jboolean initialised = false;

    // Capacity 16, `length`, the string's length + 16, strlen + 16.
    VMPtr<StringBuffer> construct();
    VMPtr<StringBuffer> construct(jint length);
    VMPtr<StringBuffer> construct(VMPtr<String> str);
    VMPtr<StringBuffer> construct(const char* utf8);

    jint length() const { return count; }

    // A null string or object appends "null".
    VMPtr<StringBuffer> append(VMPtr<String> str);
    VMPtr<StringBuffer> append(VMPtr<Object> obj);
    VMPtr<StringBuffer> append(jchar c);
    VMPtr<StringBuffer> append(jint i);
    // One form per primitive type, so each reaches its own as in Java (byte
    // and short widen to int); each appends String.valueOf of the value.
    VMPtr<StringBuffer> append(jboolean b);
    VMPtr<StringBuffer> append(jlong l);
    VMPtr<StringBuffer> append(jfloat f);
    VMPtr<StringBuffer> append(jdouble d);
    // NUL-terminated or counted UTF-8 text.
    VMPtr<StringBuffer> append(const char* utf8);
    VMPtr<StringBuffer> append(const char* utf8, jint length);
    // A C character would silently pick the int form, a raw object pointer
    // the boolean one: use u'c', pass a VMPtr.
    VMPtr<StringBuffer> append(char c) = delete;
    VMPtr<StringBuffer> append(const void*) = delete;

    // An offset outside 0 to count: StringIndexOutOfBoundsException for a
    // string or an int, ArrayIndexOutOfBoundsException (from the array copy)
    // for a char.
    VMPtr<StringBuffer> insert(jint offset, VMPtr<String> str);
    VMPtr<StringBuffer> insert(jint offset, jchar c);
    VMPtr<StringBuffer> insert(jint offset, jint i);
    VMPtr<StringBuffer> insert(jint offset, jboolean b);
    VMPtr<StringBuffer> insert(jint offset, jlong l);
    VMPtr<StringBuffer> insert(jint offset, jfloat f);
    VMPtr<StringBuffer> insert(jint offset, jdouble d);
    VMPtr<StringBuffer> insert(jint offset, char c) = delete;
    VMPtr<StringBuffer> insert(jint offset, const void*) = delete;

    // Truncates, or pads with U+0000.
    void setLength(jint newLength);
    void getChars(jint srcBegin, jint srcEnd, VMPtr<VMArray<jchar, 1>> dst, jint dstBegin);
    // A string sharing this buffer's array (no copy).
    VMPtr<String> toString() override;

    // Grows to at least minimumCapacity: (capacity + 1) * 2, or more when asked.
    void expandCapacity(jint minimumCapacity);
    // Takes a private copy of the array (same capacity).
    void copy();

    void markReferences(uint32_t bits) override { _VM_markRef(value, bits); }

private:
    // The length of the array (0 before a constructor has run).
    jint capacity() const { return value.target != nullptr ? value.target->length : 0; }
};

}  // namespace java::lang

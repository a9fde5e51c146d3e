// java.lang.String: an immutable sequence of 16-bit characters. Its bytes
// are read and written by the runtime's one UTF-8 codec (VMUtf8.h), which
// this header brings along for the data streams, the writers and the
// property table.
#pragma once

#include <string>

#include "VMArray.h"
#include "VMStringMap.h"
#include "VMUtf8.h"

struct NativeString;

namespace java::lang {

class StringBuffer;

class String final : public virtual Object {
    VM_DECLARE_CLASS(String, Object)

public:
    VMField<VMArray<jchar, 1>> value;
    jint offset = 0;
    jint count = 0;
    // hashCode, once computed (0: not yet, or a hash of 0, which is then
    // computed on every call).
    jint _VM_hash = 0;

    // --- construction ---------------------------------------------------------
    VMPtr<String> construct();
    // From NUL-terminated UTF-8 (modified UTF-8 accepted). Malformed input
    // raises nothing: the string ends before the first bad lead byte.
    VMPtr<String> construct(const char* utf8);
    // Library-internal: takes the array unchanged, no checks, no copy.
    VMPtr<String> construct(jint offset, jint count, VMPtr<VMArray<jchar, 1>> value);
    // String(char[] value, int offset, int count): copies the characters.
    VMPtr<String> construct(VMPtr<VMArray<jchar, 1>> value, jint offset, jint count);
    // String(byte[] ...): decodes by the named encoding ("UTF-8" by default).
    VMPtr<String> construct(VMPtr<VMArray<jbyte, 1>> bytes);
    VMPtr<String> construct(VMPtr<VMArray<jbyte, 1>> bytes, jint off, jint len);
    VMPtr<String> construct(VMPtr<VMArray<jbyte, 1>> bytes, jint off, jint len, VMPtr<String> enc);
    // Shares the buffer's array (the buffer copies before changing it).
    VMPtr<String> construct(VMPtr<StringBuffer> buffer);
    // From a platform string.
    VMPtr<String> _VM_init(NativeString* handle);
    // From a buffer of 16-bit characters (copied).
    VMPtr<String> _VM_initLength(const jchar* chars, jint length);

    static VMPtr<String> _VM_fromUTF8(const char* utf8);
    // The one string for a literal (null for null).
    static VMPtr<String> _VM_intern(const char* literal);

    // --- queries ----------------------------------------------------------------
    jint length() const { return count; }
    jchar charAt(jint index);
    void getChars(jint srcBegin, jint srcEnd, VMPtr<VMArray<jchar, 1>> dst, jint dstBegin);
    jint hashCode() override;
    jboolean equals(VMPtr<Object> anObject) override;
    // equals on a bare object: runs no other code and allocates nothing.
    jboolean _VM_equals(Object* anObject);
    jboolean equalsIgnoreCase(VMPtr<String> anotherString);
    jboolean regionMatches(jboolean ignoreCase, jint toffset, VMPtr<String> other, jint ooffset, jint len);
    jboolean startsWith(VMPtr<String> prefix, jint toffset);
    jboolean startsWith(VMPtr<String> prefix);
    jint indexOf(jint ch);
    jint indexOf(jint ch, jint fromIndex);
    jint lastIndexOf(jint ch);
    jint lastIndexOf(jint ch, jint fromIndex);

    // --- derived strings ----------------------------------------------------------
    VMPtr<String> substring(jint beginIndex);
    VMPtr<String> substring(jint beginIndex, jint endIndex);
    VMPtr<String> replace(jchar oldChar, jchar newChar);
    VMPtr<String> toLowerCase();
    VMPtr<String> trim();
    VMPtr<String> toString() override { return VMPtr<String>(this); }

    // One form per primitive type, so each reaches its own as in Java
    // (byte and short widen to int).
    static VMPtr<String> valueOf(VMPtr<Object> obj);
    static VMPtr<String> valueOf(jboolean b);
    static VMPtr<String> valueOf(jchar c);
    static VMPtr<String> valueOf(jint i);
    static VMPtr<String> valueOf(jlong l);
    static VMPtr<String> valueOf(jfloat f);
    static VMPtr<String> valueOf(jdouble d);
    // A C character is no 16-bit character (use u'c'), and a raw object
    // pointer must not silently pick the boolean form (pass a VMPtr).
    static VMPtr<String> valueOf(char c) = delete;
    static VMPtr<String> valueOf(const void*) = delete;

    void markReferences(uint32_t bits) override { _VM_markRef(value, bits); }

    // --- runtime entry points -------------------------------------------------------
    const jchar* _VM_chars() const { return value.target->elements() + offset; }
    // True when the NUL-terminated UTF-8 text decodes to exactly these characters.
    jboolean _VM_equalsLiteral(const char* literal);
    // Appends the characters as NUL-terminated modified UTF-8.
    VMCString* _VM_appendToCString(VMCString* holder);
    // Replaces the holder's text with the characters as modified UTF-8.
    VMCString* _VM_toCString(VMCString* holder);
    // The characters as UTF-8 (diagnostics and tests).
    std::string _VM_toStdString();
};

}  // namespace java::lang

// The intern table: literal bytes -> String (held through the native scope).
VMStringMap* _VM_internTable();

// A string literal, interned.
#define VM_STR(literal) java::lang::String::_VM_intern(literal)

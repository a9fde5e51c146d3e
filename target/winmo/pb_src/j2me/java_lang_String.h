// java.lang.String: an immutable sequence of 16-bit characters.
//
// This header also holds the runtime's one UTF-8 codec: one to three bytes
// per 16-bit character, no four-byte forms (a surrogate pair is two units,
// each encoded on its own). Where a routine takes `modified`, U+0000 is
// written as the two bytes C0 80 instead of one zero byte. The data streams,
// the writers and the property table use these routines directly.
#pragma once

#include <string>

#include "VMArray.h"
#include "VMStringMap.h"

struct NativeString;

// --- UTF-8 codec --------------------------------------------------------------

// Encodes one character into at most `room` bytes at p. Writes nothing when
// room <= 0 or when the character's form does not fit. Returns room minus
// the form's length (negative when it did not fit), except that room <= 0
// comes back unchanged (so 0 does not mean the character was written); p
// advances by the bytes written.
jint _VM_utf8EncodeChar(jchar c, jint room, uint8_t*& p, bool modified);
// The number of bytes the n characters encode to (0 for n < 1).
jlong _VM_utf8Length(const jchar* chars, jint n, bool modified);
// Encodes n characters into dst. With `terminate`, one byte of room is kept
// for a NUL stored after the last byte written (when room allows one at
// all). Encoding stops at the first character that no longer fits. On
// return, room is the number of bytes written (the NUL not counted). Returns n.
jint _VM_utf8Encode(uint8_t* dst, jint& room, const jchar* chars, jint n, bool modified, bool terminate);
// Decodes one character from p. `remaining` (bytes left) always decreases by
// the form's length. At or past the end: U+0080, nothing read. A lead byte
// 0x80-0xBF or 0xF0-0xFF: ok = false, result 0, p stays on that byte (and
// remaining has still decreased by 1). A bad continuation byte or a form cut
// off by the end: U+0080 with ok = true (missing bytes are not read, but
// remaining goes negative by their number). Overlong forms are accepted.
jchar _VM_utf8DecodeChar(jint& remaining, const uint8_t*& p, bool& ok);
// Characters in len bytes, walking lead bytes only; a bad lead byte stops
// the count with ok = false; a form cut off by the end counts as one.
jint _VM_utf8CountChars(const uint8_t* bytes, jint len, bool& ok);
// Decodes at most n characters (n in: room in dst; out: characters stored).
// Stops at the end of the bytes, when dst is full, or after a failed
// character (stored as 0, ok = false). Returns the bytes consumed, which
// counts the missing bytes of a form cut off by the end (so it then exceeds len).
jint _VM_utf8Decode(jchar* dst, jint& n, const uint8_t* bytes, jint len, bool& ok);
// True when the bytes decode to exactly the n characters.
bool _VM_utf8EqualsChars(const uint8_t* bytes, jint len, const jchar* chars, jint n);

// Byte-array conveniences (jbyte is signed; the codec reads bytes unsigned).
inline jint _VM_utf8CountChars(const jbyte* bytes, jint len, bool& ok) {
    return _VM_utf8CountChars(reinterpret_cast<const uint8_t*>(bytes), len, ok);
}
inline jint _VM_utf8Decode(jchar* dst, jint& n, const jbyte* bytes, jint len, bool& ok) {
    return _VM_utf8Decode(dst, n, reinterpret_cast<const uint8_t*>(bytes), len, ok);
}
inline jint _VM_utf8Encode(jbyte* dst, jint& room, const jchar* chars, jint n, bool modified, bool terminate) {
    return _VM_utf8Encode(reinterpret_cast<uint8_t*>(dst), room, chars, n, modified, terminate);
}

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

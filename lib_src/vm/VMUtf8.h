// The runtime's one UTF-8 codec: one to three bytes per 16-bit character,
// no four-byte forms (a surrogate pair is two units, each encoded on its
// own). Where a routine takes `modified`, U+0000 is written as the two bytes
// C0 80 instead of one zero byte. java.lang.String, the data streams and the
// writers use it, and so does the platform layer for its strings, file names
// and URLs: it needs nothing but the basic types.
#pragma once

#include <cstddef>
#include <string>

#include "VMTypes.h"

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

// Standard UTF-8 for the host system's own names (files, window titles,
// programs to start): a surrogate pair becomes one four-byte form and an
// unpaired surrogate U+FFFD. Reads up to the first NUL or n units,
// whichever comes first; null gives "".
std::string _VM_utf8ForHost(const char16_t* text, size_t n = size_t(-1));

// Platform layer: reference-counted UTF-16 strings handed to the runtime.
#pragma once

#include <cstdint>

struct NativeString;

// A new string holding a copy of the characters, reference count 1. Null
// characters or a zero length make a string without characters. Returns null
// when memory runs out.
NativeString* HAL_createString(const char16_t* characters, int32_t length);
// A new string from NUL-terminated UTF-8 text, decoded exactly as
// `new String(bytes)` decodes it (the runtime's codec: one to three bytes a
// character, a bad continuation byte or a form cut off by the end gives
// U+0080). Null for null text, for text that constructor refuses (a lead
// byte 0x80-0xBF or 0xF0-0xFF, so no four-byte form) and when memory runs
// out.
NativeString* HAL_createStringUTF8(const char* text);

// Null -> HAL_BAD_ARGUMENT; otherwise drops one reference (at 0 the string is
// freed); HAL_OK.
int HAL_freeString(NativeString* string);
// Null argument -> HAL_BAD_ARGUMENT; else the length (0 without characters),
// HAL_OK.
int HAL_getStringLength(NativeString* string, int32_t* length);
// Null argument or a string without characters -> HAL_BAD_ARGUMENT; else
// copies length characters into buffer, HAL_OK.
int HAL_getStringCharacters(NativeString* string, char16_t* buffer);

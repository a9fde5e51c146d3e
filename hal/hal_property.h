// Platform layer: the system (0) and application (1) property tables, read
// from "sys.prop" and "app.prop" in the properties/ folder beside the program.
#pragma once

#include <cstdint>

// Reads both files (a missing file gives an empty table). Each line holds a
// key, a colon, a blank and the value; later lines win. Keys and values are
// UTF-8, decoded as `new String(bytes)` decodes them; a line whose text that
// constructor would refuse is left out.
void HAL_loadProperties();
void HAL_releaseProperties();

// The value's length in characters, or -1 when the key is absent (or null
// with a positive length).
int32_t HAL_getSystemPropertyLength(const char16_t* key, int32_t keyLength);
int32_t HAL_getApplicationPropertyLength(const char16_t* key, int32_t keyLength);
// Copies min(value length, *length) characters into buffer and sets *length
// to that count: HAL_OK. HAL_BAD_ARGUMENT for a null key with a positive
// length or a missing length pointer (or a missing buffer for a non-empty
// copy); HAL_NOT_FOUND when absent.
int HAL_getSystemProperty(const char16_t* key, int32_t keyLength, char16_t* buffer, int32_t* length);
int HAL_getApplicationProperty(const char16_t* key, int32_t keyLength, char16_t* buffer, int32_t* length);

// Platform layer: the application's resource files, read-only, from the
// folder rsc/ inside the program directory.
//
// A resource name is a relative path of UTF-16 characters; '/' and '\'
// both separate its folders. A name that is empty, absolute, holds a NUL
// character, an unpaired surrogate or a ".." folder is refused with
// HAL_BAD_ARGUMENT before any file is opened.
#pragma once

#include <cstdint>

struct HAL_ResourceFile;

// Opens a resource for reading. A null pointer, a length <= 0 or a refused
// name: HAL_BAD_ARGUMENT. A path too long to build: HAL_OUT_OF_MEMORY. No
// such file (or not a plain file): *handle = null and HAL_NOT_FOUND. Success:
// *handle and HAL_OK.
int HAL_openResource(HAL_ResourceFile** handle, const char16_t* name, int32_t length);
// The file's length in bytes; -1 for a null handle or a failed query.
int64_t HAL_getResourceSize(HAL_ResourceFile* handle);
// Reads up to *count bytes from the offset (from the start of the file) into
// buffer; *count becomes the number read. A null argument, a negative offset
// or count: HAL_BAD_ARGUMENT. A failed read: HAL_IO_ERROR with *count = 0.
// Otherwise HAL_OK, also when no byte was left (then *count = 0).
int HAL_readResource(HAL_ResourceFile* handle, void* buffer, int64_t offset, int32_t* count);
// Closes the file; null is ignored.
void HAL_closeResource(HAL_ResourceFile* handle);
// Reads a whole resource into a new block from HAL_malloc (the caller frees
// it with HAL_free). HAL_OK with *buffer and *size; the open statuses above;
// HAL_OUT_OF_MEMORY when the file does not fit a block or 32-bit size;
// HAL_IO_ERROR when a read fails.
int HAL_loadResource(const char16_t* name, int32_t length, uint8_t** buffer, int32_t* size);

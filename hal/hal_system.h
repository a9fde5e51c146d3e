// Platform layer: process-wide services (fatal stop, console, identity, memory,
// host callbacks).
#pragma once

#include <cstddef>
#include <cstdint>

#include "hal_block.h"

// Platform status codes shared by every family.
enum HAL_Status : int {
    HAL_OK = 0,
    HAL_FAILED = 1,
    HAL_BAD_ARGUMENT = 2,
    HAL_END_OF_DATA = 3,
    HAL_NOT_FOUND = 4,
    HAL_OUT_OF_MEMORY = 5,
    HAL_AUDIO_ERROR = 6,
    HAL_IO_ERROR = 7,
    HAL_ORIENTATION_ERROR = 8,
};

struct NativeThreadRecord;

// The six host callbacks through which the platform drives the runtime.
struct HAL_HostCallbacks {
    // Create the runtime and boot it.
    int (*initRuntime)(uint64_t baseLimit, uint64_t maximum, NativeThreadRecord* platformThread,
                       const char* bootClassName, int32_t entryArgument) = nullptr;
    // Dispatch a runtime event (hal_events.h) to the runtime's listeners.
    int (*dispatchEvent)(int type, int count, const intptr_t* args) = nullptr;
    // Yield the runtime to other runtime threads.
    void (*yield)() = nullptr;
    // (Re)enter the runtime on the calling thread after taking the runtime lock.
    void* (*enter)() = nullptr;
    // Collect garbage.
    void (*collect)() = nullptr;
    // Shut the runtime down and destroy it.
    void (*destroyRuntime)() = nullptr;
};

// Installs the callback table (copied). Passing null clears it.
void HAL_setHostCallbacks(const HAL_HostCallbacks* callbacks);
const HAL_HostCallbacks& HAL_hostCallbacks();
// Runs the enter callback when one is installed.
void HAL_hostEnter();

// Ends the process at once with exit code 1. Standard output is flushed first;
// the message itself is not shown.
[[noreturn]] void HAL_fatalError(const char* message);
// Optional observer for fatal stops (tests use it to see the message).
using HAL_FatalHook = void (*)(const char* message);
void HAL_setFatalHook(HAL_FatalHook hook);
// The message of the last fatal stop requested in this process (tests).
const char* HAL_lastFatalMessage();

// Writes the low 8 bits of ch to standard output; flushes after a newline.
// Returns HAL_OK, or HAL_END_OF_DATA when the write or the flush fails.
int HAL_consoleWrite(int ch);
// Pushes out what standard output holds. HAL_OK, or HAL_END_OF_DATA when the
// flush fails.
int HAL_consoleFlush();

const char* HAL_getPlatformName();     // "WindowsMobile"
const char* HAL_getPlatformVersion();  // "1"

// Memory. Blocks from HAL_allocReleasingReserve carry no header of the
// platform's own; they come from the C library's malloc and are returned with
// HAL_freeBlock, which is given the size they were asked for.
void* HAL_allocReleasingReserve(size_t size, int release);
void HAL_freeBlock(void* block, size_t size);
// The common case of HAL_allocReleasingReserve inline, and the byte counts
// behind it and HAL_getAllocatedBytes: hal_block.h.
// Bytes the platform layer holds for its own use (each block counted with a
// 16-byte header).
uint64_t HAL_getAllocatedBytes();
void* HAL_malloc(size_t n);
void HAL_free(void* block);
// Gives memory back to the system, but only when the blocks in use (those of
// HAL_allocReleasingReserve and HAL_malloc) have shrunk to half or less of
// the most seen at a compaction request since the last time it did, and by at
// least 8 MB: garbage made and collected again does not pay for giving memory
// back and taking it again.
void HAL_compactHeap();
// How often HAL_compactHeap has given memory back (tests).
uint32_t HAL_heapCompactions();
void HAL_reserveMemory();
void HAL_releaseMemoryReserve();
bool HAL_hasMemoryReserve();

// Directory holding the program file (with a trailing '/'); the rsc/,
// properties/ and database/ folders sit inside it. Tests may override it.
const char* HAL_programDirectory();
void HAL_setProgramDirectory(const char* dir);

// The locale name for "microedition.locale" ("it-it", "fr-fr", "pt-pt",
// "de-de", "es-es", "ru", otherwise "en-us"), newly allocated with HAL_malloc
// (free with HAL_free); null when the locale cannot be read.
char* HAL_getLocale();
// The phone's offset from UTC now, in milliseconds (local time = UTC +
// offset, daylight-saving time included while in force); 0 when the zone
// cannot be read.
int32_t HAL_getTimeZoneOffset();
// The device id as lower-case hexadecimal digits: at most
// min(40, *length) characters written, *length set to their number.
// HAL_BAD_ARGUMENT for a null argument, HAL_FAILED when no id can be made,
// else HAL_OK.
int HAL_getDeviceId(char16_t* characters, int32_t* length);
// Keeps a copy of the URL to open once the application has ended and sets
// *mustExit to 1 (when given). HAL_BAD_ARGUMENT for null characters with a
// positive length.
int HAL_openURL(const char16_t* characters, int32_t length, int32_t* mustExit);
// Asks the host to end the application (posts the exit message to the main
// window). Always HAL_OK.
int HAL_requestExit();
// The status the program ends with once it has ended in order, when that
// end is not a success: an application that ends after a failure sets 1. The
// first status set stays; 0 is ignored.
void HAL_setExitStatus(int status);

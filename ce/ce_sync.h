// Kernel objects: named mutexes (one instance per name across processes) and
// events, closed through CloseHandle.
#pragma once

#include "ce_types.h"

namespace ce {

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// A mutex; a named one exists once per user across processes. It is held as
// a lock file in the user's runtime folder ($XDG_RUNTIME_DIR, else
// /tmp/vessilo-<uid>), locked by the first creator: a later CreateMutexW of
// the same name (from this or another process) still gets a handle, with
// GetLastError() == ERROR_ALREADY_EXISTS. Null when the file cannot be made.
// Ownership is not modelled beyond that (initialOwner is ignored).
HANDLE CreateMutexW(void* attributes, BOOL initialOwner, const char16_t* name);

// An event; manual-reset events stay signalled until ResetEvent, auto-reset
// ones are reset by the wait that sees them. The name is ignored.
HANDLE CreateEventW(void* attributes, BOOL manualReset, BOOL initialState, const char16_t* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Waits up to timeout ms for an event: WAIT_OBJECT_0, WAIT_TIMEOUT or
// WAIT_FAILED for a handle that is not an event.
DWORD WaitForSingleObject(HANDLE handle, DWORD timeout);

// Closes a mutex (giving up its name when this handle held it) or an event.
BOOL CloseHandle(HANDLE handle);

// The folder that holds the lock files and the window registrations.
const char* RuntimeFolder();

}  // namespace ce

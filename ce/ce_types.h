// The phone system's basic types, as the stand-ins in ce/ use them. Handles
// are opaque values: a window or kernel object is looked up by its handle,
// so a stale handle is refused instead of being followed.
#pragma once

#include <cstdint>

namespace ce {

using BOOL = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

struct WindowHandle;  // never defined: a window handle is a number
struct KernelHandle;  // never defined: so is a kernel object handle
using HWND = WindowHandle*;
using HANDLE = KernelHandle*;
using HINSTANCE = void*;

// Error codes of GetLastError.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;

// The calling thread's last error.
DWORD GetLastError();
void SetLastError(DWORD error);

// Milliseconds since the system started (wraps after 49.7 days).
DWORD GetTickCount();

}  // namespace ce

// The shell: starting the browser on a URL.
#pragma once

#include "ce_types.h"

namespace ce {

struct SHELLEXECUTEINFO {
    DWORD cbSize = sizeof(SHELLEXECUTEINFO);
    DWORD fMask = 0;
    HWND hwnd = nullptr;
    const char16_t* lpVerb = nullptr;
    const char16_t* lpFile = nullptr;
    const char16_t* lpParameters = nullptr;
    const char16_t* lpDirectory = nullptr;
    int nShow = 0;
    HINSTANCE hInstApp = nullptr;
};

// Starts a program. The one program known here is the browser
// ("iexplore.exe"), started on the URL in lpParameters; a lpFile that is
// itself a URL is opened the same way. Only http and https URLs are opened,
// with the desktop's opener (xdg-open, or the program named by
// VESSILO_URL_OPENER), started directly, without a shell. Anything else is
// refused: FALSE with ERROR_ACCESS_DENIED (a scheme other than http or https)
// or ERROR_NO_ASSOCIATION (another program).
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

}  // namespace ce

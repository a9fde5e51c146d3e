// Small stand-ins for the phone platform's system calls that the platform
// layer relies on. They are written for Linux and keep only the behaviour
// the platform layer uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ce {

// --- locale ------------------------------------------------------------------
// The LOCALE_ILANGUAGE code (four upper-case hexadecimal digits, e.g. "0409")
// of the user's default locale, taken from LC_ALL, then LC_MESSAGES, then
// LANG. False when no code can be given (never on Linux: "C"/"POSIX" and
// unknown languages give "0409").
bool GetLocaleLanguageCode(std::u16string* code);
// The code for a POSIX locale name such as "de_DE.UTF-8" (exposed for tests).
std::u16string LanguageCodeForLocaleName(const char* localeName);

// --- device identity ------------------------------------------------------------
// A stable identifier of this machine mixed with the application's data:
// the SHA-1 digest of the machine id (/etc/machine-id, or the host name when
// that file is missing), the application data and the version. Writes up to
// *outputLength bytes (20 at most) and sets *outputLength to the digest
// length. False for null arguments or an empty application data.
bool GetDeviceUniqueID(const uint8_t* appData, size_t appDataLength, uint32_t version, uint8_t* output,
                       size_t* outputLength);
// SHA-1 of a byte string (20 bytes).
void Sha1(const uint8_t* data, size_t length, uint8_t digest[20]);

// --- window messages -------------------------------------------------------------
// Posts a message to the main window's queue. False when no main window exists.
bool PostMainWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Takes the oldest posted message; false when none is queued.
bool TakeMainWindowMessage(uint32_t* message, uintptr_t* wParam, intptr_t* lParam);
// Whether the main window exists (the host bridge sets this).
void SetMainWindowExists(bool exists);

// --- idle timer and power registry -------------------------------------------------
// The power time-outs in seconds, as the registry would give them; a value of
// 0 means "cannot be read". Tests set them; on Linux they start unset.
enum class PowerValue { BattPowerOff, ExtPowerOff, ScreenPowerOff, BattSuspendTimeout, ACSuspendTimeout, Count };
void SetPowerTimeout(PowerValue value, uint32_t seconds);
bool QueryPowerTimeout(PowerValue value, uint32_t* seconds);
// Timer 1 of the main window: its period in ms, 0 when killed.
void SetIdleTimer(uint32_t periodMs);
void KillIdleTimer();
uint32_t IdleTimerPeriod();
// Keeps the screen from blanking (counts the resets for tests).
void SystemIdleTimerReset();
uint64_t SystemIdleTimerResetCount();

// --- display orientation ---------------------------------------------------------
// The display's rotation as the platform numbers it (0 to 4).
int GetDisplayOrientation();
bool SetDisplayOrientation(int platformCode);

// --- shell ---------------------------------------------------------------------
// The URL to open once the application has ended ("" when none).
void SetPendingURL(const std::u16string& url);
std::u16string PendingURL();

}  // namespace ce

// Power: the power time-outs of the registry, the idle timer, and power
// notifications through a point-to-point message queue.
#pragma once

#include <cstdint>

#include "ce_types.h"

namespace ce {

// --- registry values ----------------------------------------------------------------
// The power time-outs in seconds, as the registry would give them; a value of
// 0 means "cannot be read". Tests set them; on Linux they start unset.
enum class PowerValue { BattPowerOff, ExtPowerOff, ScreenPowerOff, BattSuspendTimeout, ACSuspendTimeout, Count };
void SetPowerTimeout(PowerValue value, uint32_t seconds);
bool QueryPowerTimeout(PowerValue value, uint32_t* seconds);

// --- idle timer ------------------------------------------------------------------
// Keeps the screen from blanking (counts the resets for tests).
void SystemIdleTimerReset();
uint64_t SystemIdleTimerResetCount();

// --- power notifications ----------------------------------------------------------
struct MSGQUEUEOPTIONS {
    DWORD dwSize = sizeof(MSGQUEUEOPTIONS);
    DWORD dwFlags = 0;
    DWORD dwMaxMessages = 0;
    DWORD cbMaxMessage = 0;
    BOOL bReadAccess = TRUE;
};

// What a power notification carries.
struct POWER_BROADCAST {
    DWORD Message = 0;  // PBT_TRANSITION
    DWORD Flags = 0;    // POWER_STATE_ON, POWER_STATE_OFF, POWER_STATE_SUSPEND ...
    DWORD Length = 0;
};

constexpr DWORD PBT_TRANSITION = 0x00000001;
constexpr DWORD POWER_NOTIFY_ALL = 0xFFFFFFFF;
constexpr DWORD POWER_STATE_ON = 0x00010000;
constexpr DWORD POWER_STATE_OFF = 0x00020000;
constexpr DWORD POWER_STATE_SUSPEND = 0x00200000;

// A queue of fixed-size messages (cbMaxMessage bytes each); reading blocks.
HANDLE CreateMsgQueue(const char16_t* name, const MSGQUEUEOPTIONS* options);
// Takes the oldest message: TRUE with its bytes; FALSE after timeout ms
// (ERROR_TIMEOUT) or when the queue was closed (ERROR_INVALID_HANDLE).
BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD bufferSize, DWORD* bytesRead, DWORD timeout, DWORD* flags);
// Closes the queue; a reader waiting on it returns FALSE at once.
BOOL CloseMsgQueue(HANDLE queue);
constexpr DWORD ERROR_TIMEOUT = 1460;

// Delivers a POWER_BROADCAST to the queue for every change of power state.
// Returns a handle for StopPowerNotifications, null for an unknown queue.
HANDLE RequestPowerNotifications(HANDLE queue, DWORD flags);
BOOL StopPowerNotifications(HANDLE notifications);

// The system's power changing (tests; nothing on a desktop turns it off):
// every registered queue gets a PBT_TRANSITION with POWER_STATE_ON or
// POWER_STATE_SUSPEND.
void SetSystemPower(bool on);

}  // namespace ce

// Platform layer: power, the idle timer and the power-notification thread.
#pragma once

#include <cstdint>

// Stops the idle timer (timer 1 of the main window); when on is non-zero,
// starts it again with nine tenths of the shortest power time-out (at most
// 5000 ms, 5000 ms when none is set) so that the device does not fall
// asleep. Returns 1.
int HAL_setKeepDeviceAwake(int on);
// The timer's routine for the main window's timer 1: resets the idle timer.
// (Called with a timer id, for tests: only timer 1 while it runs resets it.)
void HAL_idleTimerTick(int timerId);
// Forgets the cached period (tests).
void HAL_resetKeepAwakePeriod();

// Starts the native power-notification thread, which posts window message
// 0x403 to the main window for each change of power: wParam 1 for power on,
// 0 otherwise. 0 on failure.
int HAL_startPowerThread();
// Stops it and waits for it to end (shutdown).
void HAL_stopPowerThread();

// Platform layer: power and the idle timer.
#pragma once

#include <cstdint>

// Stops the idle timer; when on is non-zero, starts it again with nine tenths
// of the shortest power time-out (at most 5000 ms, 5000 ms when none is set)
// so that the device does not fall asleep. Returns 1.
int HAL_setKeepDeviceAwake(int on);
// The timer's routine: resets the idle timer for the main window's timer 1.
void HAL_idleTimerTick(int timerId);
// Forgets the cached period (tests).
void HAL_resetKeepAwakePeriod();

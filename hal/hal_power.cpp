// Platform layer: power and the idle timer.
#include "hal_power.h"

#include <mutex>

#include "ce.h"

namespace {

std::mutex g_mutex;
uint32_t g_period = 0;  // cached; 0 until first computed

uint32_t computePeriod() {
    uint32_t shortest = 0;
    for (ce::PowerValue value : {ce::PowerValue::BattPowerOff, ce::PowerValue::ExtPowerOff,
                                 ce::PowerValue::ScreenPowerOff, ce::PowerValue::BattSuspendTimeout,
                                 ce::PowerValue::ACSuspendTimeout}) {
        uint32_t seconds = 0;
        if (ce::QueryPowerTimeout(value, &seconds) && seconds != 0 && (shortest == 0 || seconds < shortest)) {
            shortest = seconds;
        }
    }
    uint64_t period = static_cast<uint64_t>(shortest) * 9000 / 10;
    if (period == 0 || period > 5000) period = 5000;
    return static_cast<uint32_t>(period);
}

}  // namespace

int HAL_setKeepDeviceAwake(int on) {
    ce::KillIdleTimer();
    if (on == 0) return 1;
    uint32_t period;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (g_period == 0) g_period = computePeriod();
        period = g_period;
    }
    ce::SystemIdleTimerReset();
    ce::SetIdleTimer(period);
    return 1;
}

void HAL_idleTimerTick(int timerId) {
    if (timerId == 1 && ce::IdleTimerPeriod() != 0) ce::SystemIdleTimerReset();
}

void HAL_resetKeepAwakePeriod() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_period = 0;
}

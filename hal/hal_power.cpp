// Platform layer: power, the idle timer and the power-notification thread.
#include "hal_power.h"

#include <mutex>
#include <thread>

#include "ce.h"
#include "hal_message.h"

namespace {

std::mutex g_mutex;
uint32_t g_period = 0;  // cached; 0 until first computed

uint32_t computePeriod() {
    uint32_t shortest = 0;
    for (ce::PowerValue value :
         {ce::PowerValue::BattPowerOff, ce::PowerValue::ExtPowerOff, ce::PowerValue::ScreenPowerOff,
          ce::PowerValue::BattSuspendTimeout, ce::PowerValue::ACSuspendTimeout}) {
        uint32_t seconds = 0;
        if (ce::QueryPowerTimeout(value, &seconds) && seconds != 0 && (shortest == 0 || seconds < shortest)) {
            shortest = seconds;
        }
    }
    uint64_t period = static_cast<uint64_t>(shortest) * 9000 / 10;
    if (period == 0 || period > 5000) period = 5000;
    return static_cast<uint32_t>(period);
}

void timerRoutine(ce::HWND window, ce::UINT message, uintptr_t timerId, ce::DWORD time) {
    (void)message;
    (void)time;
    if (window == HAL_getMainWindow() && timerId == 1) ce::SystemIdleTimerReset();
}

// --- the power thread -------------------------------------------------------------

std::mutex g_threadMutex;
std::thread g_powerThread;
ce::HANDLE g_powerQueue = nullptr;
ce::HANDLE g_powerNotifications = nullptr;

void powerThreadMain(ce::HANDLE queue) {
    ce::POWER_BROADCAST message;
    ce::DWORD read = 0, flags = 0;
    // Ends when the queue is closed.
    while (ce::ReadMsgQueue(queue, &message, sizeof message, &read, ce::INFINITE, &flags)) {
        if (read < sizeof message || message.Message != ce::PBT_TRANSITION) continue;
        const ce::WPARAM on = (message.Flags & ce::POWER_STATE_ON) != 0 ? 1 : 0;
        if (ce::HWND window = HAL_getMainWindow()) ce::PostMessageW(window, HAL_WM_POWER, on, 0);
    }
}

}  // namespace

int HAL_setKeepDeviceAwake(int on) {
    ce::HWND window = HAL_getMainWindow();
    ce::KillTimer(window, 1);
    if (on == 0) return 1;
    uint32_t period;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (g_period == 0) g_period = computePeriod();
        period = g_period;
    }
    ce::SystemIdleTimerReset();
    ce::SetTimer(window, 1, period, timerRoutine);
    return 1;
}

void HAL_idleTimerTick(int timerId) {
    ce::HWND window = HAL_getMainWindow();
    if (timerId == 1 && ce::TimerPeriod(window, 1) != 0) timerRoutine(window, ce::WM_TIMER, 1, ce::GetTickCount());
}

void HAL_resetKeepAwakePeriod() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_period = 0;
}

int HAL_startPowerThread() {
    std::lock_guard<std::mutex> guard(g_threadMutex);
    if (g_powerThread.joinable()) return 1;
    ce::MSGQUEUEOPTIONS options;
    options.dwMaxMessages = 8;
    options.cbMaxMessage = sizeof(ce::POWER_BROADCAST);
    options.bReadAccess = ce::TRUE;
    g_powerQueue = ce::CreateMsgQueue(nullptr, &options);
    if (!g_powerQueue) return 0;
    g_powerNotifications = ce::RequestPowerNotifications(g_powerQueue, ce::PBT_TRANSITION);
    if (!g_powerNotifications) {
        ce::CloseMsgQueue(g_powerQueue);
        g_powerQueue = nullptr;
        return 0;
    }
    try {
        g_powerThread = std::thread(powerThreadMain, g_powerQueue);
    } catch (const std::system_error&) {
        ce::StopPowerNotifications(g_powerNotifications);
        ce::CloseMsgQueue(g_powerQueue);
        g_powerNotifications = g_powerQueue = nullptr;
        return 0;
    }
    return 1;
}

void HAL_stopPowerThread() {
    std::lock_guard<std::mutex> guard(g_threadMutex);
    if (!g_powerThread.joinable()) return;
    ce::StopPowerNotifications(g_powerNotifications);
    ce::CloseMsgQueue(g_powerQueue);
    g_powerThread.join();
    g_powerNotifications = g_powerQueue = nullptr;
}

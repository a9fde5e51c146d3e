// Power: registry time-outs, the idle timer, power notifications.
#include "ce_power.h"

#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "ce_internal.h"
#include "ce_sync.h"

namespace ce {

// --- registry values and idle timer -------------------------------------------------

namespace {

std::mutex g_powerMutex;
uint32_t g_powerTimeouts[static_cast<int>(PowerValue::Count)] = {};
uint64_t g_idleResets = 0;

}  // namespace

void SetPowerTimeout(PowerValue value, uint32_t seconds) {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    g_powerTimeouts[static_cast<int>(value)] = seconds;
}

bool QueryPowerTimeout(PowerValue value, uint32_t* seconds) {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    uint32_t v = g_powerTimeouts[static_cast<int>(value)];
    if (v == 0 || !seconds) return false;
    *seconds = v;
    return true;
}

void SystemIdleTimerReset() {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    ++g_idleResets;
}

uint64_t SystemIdleTimerResetCount() {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    return g_idleResets;
}

// --- message queues and power notifications -------------------------------------------

namespace {

struct MessageQueue : detail::KernelObject {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<std::vector<unsigned char>> messages;
    size_t messageSize = 0;
    size_t maxMessages = 0;  // 0: no limit
    bool closed = false;

    void close() override {
        {
            std::lock_guard<std::mutex> guard(mutex);
            closed = true;
            messages.clear();
        }
        ready.notify_all();
    }

    bool write(const void* data, size_t size) {
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (closed || size > messageSize || (maxMessages != 0 && messages.size() >= maxMessages)) return false;
            const auto* bytes = static_cast<const unsigned char*>(data);
            messages.emplace_back(bytes, bytes + size);
        }
        ready.notify_one();
        return true;
    }
};

struct PowerNotifications : detail::KernelObject {
    std::weak_ptr<MessageQueue> queue;
    DWORD flags = 0;
};

std::mutex g_notifyMutex;
std::vector<std::weak_ptr<PowerNotifications>> g_notifications;

}  // namespace

HANDLE CreateMsgQueue(const char16_t* name, const MSGQUEUEOPTIONS* options) {
    (void)name;
    if (!options || options->cbMaxMessage == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto queue = std::make_shared<MessageQueue>();
    queue->messageSize = options->cbMaxMessage;
    queue->maxMessages = options->dwMaxMessages;
    return detail::AddObject(queue);
}

BOOL ReadMsgQueue(HANDLE handle, void* buffer, DWORD bufferSize, DWORD* bytesRead, DWORD timeout, DWORD* flags) {
    auto queue = detail::Find<MessageQueue>(handle);
    if (!queue || !buffer) {
        SetLastError(queue ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::unique_lock<std::mutex> guard(queue->mutex);
    auto ready = [&] { return queue->closed || !queue->messages.empty(); };
    if (timeout == INFINITE) {
        queue->ready.wait(guard, ready);
    } else if (!queue->ready.wait_for(guard, std::chrono::milliseconds(timeout), ready)) {
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    if (queue->closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::vector<unsigned char> message = std::move(queue->messages.front());
    queue->messages.pop_front();
    if (message.size() > bufferSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(buffer, message.data(), message.size());
    if (bytesRead) *bytesRead = static_cast<DWORD>(message.size());
    if (flags) *flags = 0;
    return TRUE;
}

BOOL CloseMsgQueue(HANDLE queue) {
    if (!detail::Find<MessageQueue>(queue)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(queue);
}

HANDLE RequestPowerNotifications(HANDLE queueHandle, DWORD flags) {
    auto queue = detail::Find<MessageQueue>(queueHandle);
    if (!queue) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto notifications = std::make_shared<PowerNotifications>();
    notifications->queue = queue;
    notifications->flags = flags;
    {
        std::lock_guard<std::mutex> guard(g_notifyMutex);
        g_notifications.push_back(notifications);
    }
    return detail::AddObject(notifications);
}

BOOL StopPowerNotifications(HANDLE notifications) {
    if (!detail::Find<PowerNotifications>(notifications)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(notifications);
}

void SetSystemPower(bool on) {
    POWER_BROADCAST message;
    message.Message = PBT_TRANSITION;
    message.Flags = on ? POWER_STATE_ON : POWER_STATE_SUSPEND;
    std::vector<std::shared_ptr<PowerNotifications>> targets;
    {
        std::lock_guard<std::mutex> guard(g_notifyMutex);
        for (auto it = g_notifications.begin(); it != g_notifications.end();) {
            if (auto live = it->lock()) {
                targets.push_back(live);
                ++it;
            } else {
                it = g_notifications.erase(it);
            }
        }
    }
    for (const auto& target : targets) {
        // A stopped registration is no longer in the handle table.
        if ((target->flags & PBT_TRANSITION) == 0) continue;
        if (auto queue = target->queue.lock()) queue->write(&message, sizeof message);
    }
}

}  // namespace ce

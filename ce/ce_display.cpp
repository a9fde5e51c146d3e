// Display settings: the screen's rotation.
#include "ce_display.h"

#include <mutex>

namespace ce {

namespace {
std::mutex g_orientationMutex;
int g_orientation = 0;
}  // namespace

int GetDisplayOrientation() {
    std::lock_guard<std::mutex> guard(g_orientationMutex);
    return g_orientation;
}

bool SetDisplayOrientation(int platformCode) {
    if (platformCode < 0 || platformCode > 4) return false;
    std::lock_guard<std::mutex> guard(g_orientationMutex);
    g_orientation = platformCode;
    return true;
}

}  // namespace ce

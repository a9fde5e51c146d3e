// Platform layer: display services.
#include "hal_display.h"

#include "ce.h"
#include "hal_system.h"

// The platform numbers orientations 0 to 4 as well, shifted by one: entry
// code c is platform code c - 1 for 1 to 4, and entry code 0 is platform 4.
int HAL_getOrientation(int32_t* code) {
    int platform = ce::GetDisplayOrientation();
    if (code && platform >= 0 && platform <= 4) *code = platform == 4 ? 0 : platform + 1;
    return HAL_OK;
}

int HAL_setOrientation(int32_t code) {
    if (code < 0 || code > 4) return HAL_ORIENTATION_ERROR;
    int platform = code == 0 ? 4 : code - 1;
    return ce::SetDisplayOrientation(platform) ? HAL_OK : HAL_ORIENTATION_ERROR;
}

namespace {
int g_startOrientation = -1;
}  // namespace

void HAL_setUpDisplayOrientation() { g_startOrientation = ce::GetDisplayOrientation(); }

void HAL_restoreDisplayOrientation() {
    if (g_startOrientation >= 0) ce::SetDisplayOrientation(g_startOrientation);
    g_startOrientation = -1;
}

// Platform layer: display services (orientation).
#pragma once

#include <cstdint>

// Orientation codes 0 to 4 as the class libraries number them.
// Always HAL_OK; *code is left unwritten when the platform reports an unknown
// orientation.
int HAL_getOrientation(int32_t* code);
// HAL_ORIENTATION_ERROR for a code outside 0 to 4 or when the platform
// refuses it, else HAL_OK.
int HAL_setOrientation(int32_t code);

// Start-up: remembers the display's orientation; shutdown puts it back.
void HAL_setUpDisplayOrientation();
void HAL_restoreDisplayOrientation();

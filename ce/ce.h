// Small stand-ins for the phone system's calls that the platform layer
// relies on, written for Linux (SDL2 for the window and input) and keeping
// only the behaviour the platform layer uses. One header per family.
#pragma once

#include "ce_device.h"
#include "ce_display.h"
#include "ce_hash.h"
#include "ce_locale.h"
#include "ce_power.h"
#include "ce_shell.h"
#include "ce_sync.h"
#include "ce_types.h"
#include "ce_window.h"

// The platform layer's entry points, all families.
#pragma once

#include "hal_audio.h"
#include "hal_device.h"
#include "hal_display.h"
#include "hal_host.h"
#include "hal_input.h"
#include "hal_number.h"
#include "hal_power.h"
#include "hal_property.h"
#include "hal_recordstore.h"
#include "hal_resource.h"
#include "hal_string.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "hal_window.h"

// The platform layer's entry points, all families.
#pragma once

#include "hal_resource.h"
#include "hal_string.h"
#include "hal_system.h"
#include "hal_thread.h"

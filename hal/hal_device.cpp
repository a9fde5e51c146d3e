// Platform layer: optional device libraries, none of which a desktop has.
#include "hal_device.h"

void HAL_loadDeviceLibraries() {}
int HAL_hasOpticalMouse() { return 0; }
void HAL_setOpticalMouseMode(int mode) { (void)mode; }
void HAL_openSensorLibrary() {}
void HAL_closeSensorLibrary() {}

// Platform layer: optional device libraries (a maker's optical mouse, a
// motion sensor). None of them exists on a desktop: they are looked for at
// start-up and found missing.
#pragma once

// Loads the maker's SDK when present (never here).
void HAL_loadDeviceLibraries();
// Non-zero when the SDK is loaded and reports an optical mouse (never here).
int HAL_hasOpticalMouse();
void HAL_setOpticalMouseMode(int mode);
// Opens and closes the motion-sensor library when present (never here).
void HAL_openSensorLibrary();
void HAL_closeSensorLibrary();

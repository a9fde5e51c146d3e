// Boots the runtime once per process for tests, benchmarks and fuzz targets
// (later calls do nothing). The calling thread becomes the runtime's main
// thread and keeps the runtime lock, as the host holds it around every
// callback; code that uses the runtime must run on that thread.
#pragma once

void vmBootOnce();

// Benchmark support: a booted runtime for benchmarks that need one.
#pragma once

// Boots the runtime once per process (later calls do nothing). The calling
// thread becomes the runtime's main thread and keeps the runtime lock, so
// benchmarks that use the runtime must run on the thread that booted it.
void benchBoot();

#include "vm_boot.h"

#include <cstdio>
#include <cstdlib>

#include "VMRuntime.h"
#include "hal.h"

void vmBootOnce() {
    static bool booted = false;
    if (booted) return;
    booted = true;
    _VM_installHostCallbacks();
    HAL_enterVMLock();
    int status = vmInitCallback(uint64_t(64) << 20, uint64_t(1) << 30, HAL_getCurrentThread(), nullptr, 0);
    if (status != 1) {
        std::fprintf(stderr, "runtime boot failed: %d\n", status);
        std::abort();
    }
}

void vmFuzzInputDone() {
    if (VMThread* self = VMThread::current()) self->inFlight = nullptr;
    _VM_collect(_VM_runtime);
}

VM_REGISTER_CLASS(vmtest::Task, .name = "vmtest.Task", .interfaces = {"java.lang.Runnable"})

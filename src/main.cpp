// Vessilo: program entry.
#include "VMRuntime.h"
#include "hal.h"

int main() {
    _VM_installHostCallbacks();
    HAL_reserveMemory();
    HAL_loadProperties();
    HAL_enterVMLock();
    int status = HAL_hostCallbacks().initRuntime(uint64_t(16) << 20, uint64_t(144) << 20, HAL_getCurrentThread(),
                                                 nullptr, 0);
    HAL_hostCallbacks().destroyRuntime();
    HAL_leaveVMLock();
    HAL_releaseProperties();
    HAL_releaseMemoryReserve();
    // No application is loaded yet: a boot without a boot class is the
    // expected outcome.
    return status == 1 ? 0 : status;
}

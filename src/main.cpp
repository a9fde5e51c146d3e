// Vessilo: program entry.
#include "hal.h"
#include "VMRuntime.h"

int main() {
    _VM_installHostCallbacks();
    HAL_reserveMemory();
    HAL_enterVMLock();
    int status = HAL_hostCallbacks().initRuntime(uint64_t(16) << 20, uint64_t(144) << 20, HAL_getCurrentThread(),
                                                 nullptr, 0);
    HAL_leaveVMLock();
    HAL_releaseMemoryReserve();
    return status == 1 ? 0 : status;
}

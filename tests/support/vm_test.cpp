#include "vm_test.h"

#include "hal.h"
#include "java_lang_Throwable.h"

void vmTestBoot() {
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

std::string text(const VMPtr<java::lang::String>& s) {
    if (s == nullptr) return "<null>";
    return s->_VM_toStdString();
}

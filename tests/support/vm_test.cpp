#include "vm_test.h"

#include "vm_boot.h"
#include "java_lang_Throwable.h"

void vmTestBoot() { vmBootOnce(); }

std::string text(const VMPtr<java::lang::String>& s) {
    if (s == nullptr) return "<null>";
    return s->_VM_toStdString();
}

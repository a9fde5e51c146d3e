#include "vm_test.h"

#include "vm_boot.h"
#include "java_lang_Throwable.h"

void vmTestBoot() { vmBootOnce(); }

std::string text(const VMPtr<java::lang::String>& s) {
    if (s == nullptr) return "<null>";
    return s->_VM_toStdString();
}

VM_REGISTER_CLASS(vmtest::Task, .name = "vmtest.Task", .sourceName = "tests/support/vm_test",
                  .interfaces = {"java.lang.Runnable"})

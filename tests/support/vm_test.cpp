#include "vm_test.h"

#include "vm_boot.h"
#include "VMRuntime.h"
#include "java_lang_Throwable.h"

void vmTestBoot() { vmBootOnce(); }

std::string text(const VMPtr<java::lang::String>& s) {
    if (s == nullptr) return "<null>";
    return s->_VM_toStdString();
}

void vmJoinEndedThreads() {
    if (_VM_runtime == nullptr || _VM_runtimeDestroyed) return;
    for (VMListNode* node = _VM_runtime->threads.first; node != nullptr; node = node->next) {
        auto* thread = static_cast<VMThread*>(node->value);
        if (thread->attached || thread->state != VMThread::ENDED || thread->platformThread == nullptr) continue;
        // Its run is over; the platform thread may still be on its way out,
        // and may need the runtime lock for that, so the wait gives it up.
        const uint64_t deadline = HAL_getTickCount() + 1000;
        while (!HAL_isThreadFinished(thread->platformThread) && HAL_getTickCount() < deadline) {
            VMThread* self = VMThread::current();
            try {
                if (self != nullptr && self->state == VMThread::RUNNING)
                    VMThread::sleep(self, 1);
                else
                    HAL_sleep(1);
            } catch (java::lang::Throwable* interrupted) {
                (void)interrupted;  // an interrupt meant for the test; the wait goes on
            }
        }
        HAL_joinFinishedThread(thread->platformThread);
    }
}

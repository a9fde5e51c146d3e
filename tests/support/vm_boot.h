// Boots the runtime once per process for tests, benchmarks and fuzz targets
// (later calls do nothing). The calling thread becomes the runtime's main
// thread and keeps the runtime lock, as the host holds it around every
// callback; code that uses the runtime must run on that thread.
#pragma once

#include <functional>

#include "VM.h"
#include "java_lang_Runnable.h"

void vmBootOnce();

// The end of one fuzz input: nothing stays in flight and the garbage is
// collected, so an input frees about as many blocks as it made and the fuzzer's
// leak check runs only where blocks really stayed behind.
void vmFuzzInputDone();

namespace vmtest {

// A runnable whose run() is whatever the caller gives it.
class Task : public virtual java::lang::Object, public virtual java::lang::Runnable {
    VM_DECLARE_CLASS(Task, java::lang::Object)

public:
    std::function<void()> body;
    void run() override {
        if (body) body();
    }
};

}  // namespace vmtest

// Test support: a booted runtime, with the runtime lock held by the test
// thread (as the host holds it around every callback).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "VM.h"
#include "hal_thread.h"
#include "java_lang_String.h"
#include "java_lang_Throwable.h"
#include "vm_boot.h"

// Boots the runtime once per test program (later calls do nothing).
void vmTestBoot();

class VMTest : public ::testing::Test {
protected:
    void SetUp() override { vmTestBoot(); }
};

// The text of a string, as UTF-8.
std::string text(const VMPtr<java::lang::String>& s);
// Runs a statement and returns the class name of the throwable it threw, or
// "" when it threw nothing.
#define VM_THROWN_CLASS(statement)                    \
    ([&]() -> std::string {                           \
        try {                                         \
            statement;                                \
        } catch (java::lang::Throwable * thrown_) {   \
            return thrown_->getClass()->name.c_str(); \
        }                                             \
        return std::string();                         \
    }())

// Sleeps on the calling runtime thread (giving up the runtime lock) until the
// condition holds; false when 30 s went by first, so that a broken runtime
// fails the test instead of hanging it.
template <class Condition>
bool vmWaitFor(Condition condition) {
    const uint64_t deadline = HAL_getTickCount() + 30000;
    while (!condition()) {
        if (HAL_getTickCount() > deadline) return false;
        VMThread::sleep(VMThread::current(), 1);
    }
    return true;
}

// Joins the platform threads of the runtime threads that have ended (as the
// runtime's shutdown does, which a test program never reaches), giving each
// one still on its way out up to a second. Fixtures that start threads call
// it once those threads have ended; test_main calls it once more at the end.
void vmJoinEndedThreads();

// "class: message" (the throwable's toString) of what the statement threw,
// or "" when it threw nothing.
#define VM_THROWN_TEXT(statement)                        \
    ([&]() -> std::string {                              \
        try {                                            \
            statement;                                   \
        } catch (java::lang::Throwable * thrown_) {      \
            VMPtr<java::lang::Throwable> keep_(thrown_); \
            return text(keep_->toString());              \
        }                                                \
        return std::string();                            \
    }())

// True while the collector's stress mode is on (a collection every Nth
// allocation): tests that count collections or build huge heaps skip then.
inline bool vmStressMode() {
    const char* value = std::getenv("VESSILO_GC_STRESS");
    return value != nullptr && value[0] != 0 && value[0] != '0';
}
#define VM_SKIP_UNDER_STRESS() \
    if (vmStressMode()) GTEST_SKIP() << "not meaningful in the collector's stress mode"

// For a test that relies on state a process has once (a class initialised
// for the first time, listeners added to the one registry): on a repetition
// in the same process (--gtest_repeat) it says so and skips.
#define VM_ONCE_PER_PROCESS(why)                                                      \
    do {                                                                              \
        static int runs_ = 0;                                                         \
        if (runs_++ > 0) GTEST_SKIP() << "relies on once-per-process state: " << why; \
    } while (0)

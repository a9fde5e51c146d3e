// Test support: a booted runtime, with the runtime lock held by the test
// thread (as the host holds it around every callback).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "VM.h"
#include "java_lang_String.h"
#include "java_lang_Throwable.h"

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
#define VM_THROWN_CLASS(statement)                                        \
    ([&]() -> std::string {                                                \
        try {                                                              \
            statement;                                                     \
        } catch (java::lang::Throwable * thrown_) {                        \
            return thrown_->getClass()->name.c_str();                      \
        }                                                                  \
        return std::string();                                              \
    }())

#include "ts_test_support.h"

VM_REGISTER_CLASS(tstest::TestCanvas, .name = "tstest.TestCanvas")
VM_REGISTER_CLASS(tstest::IdleMIDlet, .name = "tstest.IdleMIDlet")

#include "ts_test_support.h"

VM_REGISTER_CLASS(tstest::TestCanvas, .name = "tstest.TestCanvas", .sourceName = "tests/support/ts_test_support")
VM_REGISTER_CLASS(tstest::IdleMIDlet, .name = "tstest.IdleMIDlet", .sourceName = "tests/support/ts_test_support")

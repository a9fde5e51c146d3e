#include "textcells_test_support.h"

VM_REGISTER_CLASS(tstest::RecordingGraphics, .name = "tstest.RecordingGraphics")

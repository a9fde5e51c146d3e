// The game's data set (assets/game) as the generator makes it, made once
// for every test of the process that reads it: the tests that read it run
// in one process (tests/CMakeLists.txt), as making it takes seconds.
#pragma once

#include "describe.h"

namespace assetgen_test {

const assetgen::Generated& gameGenerated();

}  // namespace assetgen_test

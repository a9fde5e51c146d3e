# The sanitizer tree of the test command (tools/bootstrap.sh) and of the fuzz
# targets (tools/fuzz.sh), given to CMake as its initial cache:
#   cmake -S . -B build-asan -G Ninja -C cmake/VessiloSanitizeTree.cmake
# One tree serves both: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer everywhere, the fuzzer's coverage in every
# object, the fuzzer's own main in the fuzz targets alone; the test programs
# run as they would in any tree (the coverage costs them little). The
# program's layers are optimised (-O1, usual for the sanitizers): the fuzzer
# runs many times as many inputs in its time, and the tests run faster, for
# about half as much again of their build time. The tests' own files are not:
# with the sanitizers, clang takes two to three times as long to build them at
# -O1. Line tables are all the sanitizers' reports need, and quicker to build
# than full debug information.
set(CMAKE_C_COMPILER clang CACHE FILEPATH "C compiler")
set(CMAKE_CXX_COMPILER clang++ CACHE FILEPATH "C++ compiler")
set(CMAKE_BUILD_TYPE Debug CACHE STRING "Build type")
set(CMAKE_C_FLAGS_DEBUG "-O0 -gline-tables-only" CACHE STRING "C flags of the debug build")
set(CMAKE_CXX_FLAGS_DEBUG "-O0 -gline-tables-only" CACHE STRING "C++ flags of the debug build")
set(VESSILO_LAYER_FLAGS -O1 CACHE STRING "Compile options of the program's layers alone")
set(VESSILO_SANITIZE ON CACHE BOOL "AddressSanitizer and UndefinedBehaviorSanitizer")
set(VESSILO_FUZZ ON CACHE BOOL "Build the fuzz targets")
set(VESSILO_BENCH OFF CACHE BOOL "Build the benchmarks")

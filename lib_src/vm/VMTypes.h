// Primitive types as the Java side sees them.
#pragma once

#include <cstddef>
#include <cstdint>

using jboolean = bool;
using jbyte = int8_t;
using jchar = char16_t;
using jshort = int16_t;
using jint = int32_t;
using jlong = int64_t;
using jfloat = float;
using jdouble = double;

// Array element type codes.
enum VMTypeCode : jint {
    VM_T_REFERENCE = 1,
    VM_T_BOOLEAN = 4,
    VM_T_CHAR = 5,
    VM_T_FLOAT = 6,
    VM_T_DOUBLE = 7,
    VM_T_BYTE = 8,
    VM_T_SHORT = 9,
    VM_T_INT = 10,
    VM_T_LONG = 11,
};

// Object header flag bits.
enum : uint32_t {
    VM_FLAG_REACHED = 1,
    VM_FLAG_MARKED = 2,
    VM_FLAG_FINALIZABLE = 4,
    VM_FLAG_FINALIZED = 8,
    VM_FLAG_CONSTRUCTING = 16,
};

namespace java::lang {
class Object;
class Class;
class String;
class Throwable;
}  // namespace java::lang

class VMThread;
struct VMRuntime;

// java.lang.System: the clock, array copying, system properties, the request
// for a collection and the console streams.
#pragma once

#include "VMClass.h"
#include "java_io_PrintStream.h"
#include "java_lang_String.h"

namespace java::lang {

class System final : public virtual Object {
    VM_DECLARE_CLASS(System, Object)

public:
    // Milliseconds since 1970-01-01 00:00:00 UTC. The wall clock is read once,
    // to the whole second; from then on the value follows the platform's
    // 64-bit millisecond tick count, so later changes of the phone's clock
    // are not seen and two readings differ by exactly the ticks between them.
    static jlong currentTimeMillis();
    // Milliseconds of the platform's monotonic clock, for measuring the
    // time between two readings (frame timing): it never goes back.
    static jlong _VM_tickMillis();
    // Copies length elements of src from srcPos on to dst from dstPos on, as
    // if through a temporary copy. NullPointerException for a null array;
    // ArrayStoreException for an object that is not an array, for arrays of
    // different primitive types or of primitives and references, and for a
    // reference not assignable to dst's element class (the elements before
    // it are stored); ArrayIndexOutOfBoundsException for a negative position
    // or length or a range beyond either array.
    static void arraycopy(VMPtr<Object> src, jint srcPos, VMPtr<Object> dst, jint dstPos, jint length);
    // The runtime's own property of that name, else the platform's system
    // property, else null. NullPointerException for a null key,
    // IllegalArgumentException for an empty one.
    static VMPtr<String> getProperty(VMPtr<String> key);
    static void gc();

    // The console: one print stream over the console byte stream; err is
    // the same stream as out. Made by the static initialiser.
    static VMStatic<java::io::PrintStream> out;
    static VMStatic<java::io::PrintStream> err;
    static void _VM_clinit();

    // The milliseconds from 1970-01-01 00:00:00 to the given date and time
    // (month 1 to 12, day 1 to 31), in 64-bit arithmetic.
    static jlong _VM_clockMillis(jint year, jint month, jint day, jint hour, jint minute, jint second);

    // The clock's offset from the tick count, fixed by the first reading.
    static jlong clockOffset;
    static jboolean clockSet;
};

}  // namespace java::lang

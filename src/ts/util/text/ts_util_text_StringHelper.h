// ts.util.text.StringHelper: the string search of the line breaker.
#pragma once

#include "VM.h"
#include "java_lang_String.h"

namespace ts::util::text {

class StringHelper : public virtual java::lang::Object {
    VM_DECLARE_CLASS(StringHelper, java::lang::Object)

public:
    VMPtr<StringHelper> construct();

    // The largest index i with lowest <= i <= highest and s.charAt(i) == c,
    // searched from highest down; -1 when there is none or highest < lowest.
    // StringIndexOutOfBoundsException for an index of the range outside s.
    static jint lastIndexOf(VMPtr<java::lang::String> s, jchar c, jint lowest, jint highest);
};

}  // namespace ts::util::text

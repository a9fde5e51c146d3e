// ts.util.text.StringHelper: the string search of the line breaker.
#include "ts_util_text_StringHelper.h"

namespace ts::util::text {

VMPtr<StringHelper> StringHelper::construct() {
    Super::construct();
    return this;
}

jint StringHelper::lastIndexOf(VMPtr<java::lang::String> s, jchar c, jint lowest, jint highest) {
    if (s == nullptr) _VM_throwNullPointer();
    if (highest < lowest) return -1;
    if (highest >= s->length()) _VM_throwStringIndexOutOfBoundsException(highest);
    if (lowest < 0) lowest = -1;  // the search reaches index -1 and fails there
    const jchar* chars = s->_VM_chars();
    for (jint i = highest; i >= lowest; --i) {
        if (i < 0) _VM_throwStringIndexOutOfBoundsException(i);
        if (chars[i] == c) return i;
    }
    return -1;
}

}  // namespace ts::util::text

VM_REGISTER_CLASS(ts::util::text::StringHelper, .name = "ts.util.text.StringHelper",
                  .newInstance = _VM_newInstanceOf<ts::util::text::StringHelper>)

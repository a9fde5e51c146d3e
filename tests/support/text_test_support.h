// Helpers shared by the text and number class tests.
#pragma once

#include <string>

#include "vm_test.h"

namespace texttest {

inline VMPtr<java::lang::String> str(const char* utf8) { return java::lang::String::_VM_fromUTF8(utf8); }

inline VMPtr<java::lang::String> str16(const std::u16string& chars) {
    return java::lang::String::create()->_VM_initLength(chars.data(), jint(chars.size()));
}

// The string's characters exactly (U+0000 included).
inline std::u16string chars(const VMPtr<java::lang::String>& s) {
    if (s == nullptr) return u"<null>";
    return std::u16string(s->_VM_chars(), size_t(s->count));
}

inline VMPtr<VMArray<jbyte, 1>> bytes(const std::string& raw) {
    VMPtr<VMArray<jbyte, 1>> array = VMArray<jbyte, 1>::create(jint(raw.size()));
    for (size_t i = 0; i < raw.size(); ++i) (*array)[jint(i)] = jbyte(raw[i]);
    return array;
}

}  // namespace texttest

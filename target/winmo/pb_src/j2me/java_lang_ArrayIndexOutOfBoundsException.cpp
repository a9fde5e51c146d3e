// java.lang.ArrayIndexOutOfBoundsException: an array index below 0 or past the end.
#include "java_lang_ArrayIndexOutOfBoundsException.h"

#include <string>

namespace java::lang {

VMPtr<ArrayIndexOutOfBoundsException> ArrayIndexOutOfBoundsException::construct() {
    Super::construct();
    return this;
}

VMPtr<ArrayIndexOutOfBoundsException> ArrayIndexOutOfBoundsException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

VMPtr<ArrayIndexOutOfBoundsException> ArrayIndexOutOfBoundsException::construct(jint index) {
    std::string text = "Array index out of range: " + std::to_string(index);
    Super::construct(java::lang::String::_VM_fromUTF8(text.c_str()));
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::ArrayIndexOutOfBoundsException, .name = "java.lang.ArrayIndexOutOfBoundsException",
                  .newInstance = _VM_newInstanceOf<java::lang::ArrayIndexOutOfBoundsException>)

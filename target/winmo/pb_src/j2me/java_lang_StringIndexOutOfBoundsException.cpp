// java.lang.StringIndexOutOfBoundsException: an index or range outside a string.
#include "java_lang_StringIndexOutOfBoundsException.h"

#include <string>

namespace java::lang {

VMPtr<StringIndexOutOfBoundsException> StringIndexOutOfBoundsException::construct() {
    Super::construct();
    return this;
}

VMPtr<StringIndexOutOfBoundsException> StringIndexOutOfBoundsException::construct(VMPtr<java::lang::String> text) {
    Super::construct(text);
    return this;
}

VMPtr<StringIndexOutOfBoundsException> StringIndexOutOfBoundsException::construct(jint index) {
    std::string text = "String index out of range: " + std::to_string(index);
    Super::construct(java::lang::String::_VM_fromUTF8(text.c_str()));
    return this;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::StringIndexOutOfBoundsException, .name = "java.lang.StringIndexOutOfBoundsException",
                  .newInstance = _VM_newInstanceOf<java::lang::StringIndexOutOfBoundsException>)

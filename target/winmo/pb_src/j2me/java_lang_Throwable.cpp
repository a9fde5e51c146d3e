// java.lang.Throwable
#include "java_lang_Throwable.h"

#include "java_lang_StringBuffer.h"

#include "VMThread.h"
#include "hal_system.h"

namespace {

// Console output of the stack trace (goes through System.out once the
// console stream exists).
void print(const char* text) {
    for (const char* p = text; *p != 0; ++p) HAL_consoleWrite(static_cast<unsigned char>(*p));
}

void print(java::lang::String* text) {
    VMCString holder;
    text->_VM_appendToCString(&holder);
    print(holder.c_str());
    _VM_cstrFree(&holder);
}

}  // namespace

namespace java::lang {

VMPtr<Throwable> Throwable::construct() { return this; }

VMPtr<Throwable> Throwable::construct(VMPtr<String> text) {
    message = text;
    return this;
}

VMPtr<String> Throwable::getMessage() { return message; }

VMPtr<String> Throwable::toString() {
    VMPtr<String> name = getClass()->getName();
    VMPtr<String> text = getMessage();
    if (text == nullptr) return name;
    VMPtr<StringBuffer> buffer = StringBuffer::create()->construct(name);
    buffer->append(": ");
    buffer->append(text);
    return buffer->toString();
}

void Throwable::printStackTrace() {
    VMPtr<String> threadName;
    if (_VM_currentThreadName(threadName)) {
        print("Exception in thread \"");
        if (threadName != nullptr) print(threadName.target);
        print("\" ");
    } else {
        print("Exception ");
    }
    print(getClass()->getName().target);
    VMPtr<String> text = getMessage();
    if (text != nullptr) {
        print(": ");
        print(text.target);
    }
    print("\n");
    print("    at <unknown>\n");
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Throwable, .name = "java.lang.Throwable",
                  .sourceName = "target/winmo/pb_src/j2me/java_lang_Throwable",
                  .newInstance = _VM_newInstanceOf<java::lang::Throwable>)

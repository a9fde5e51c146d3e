// java.lang.Throwable: the root of every error the system reports.
#include "java_lang_Throwable.h"

#include "VMThread.h"
#include "hal_system.h"
#include "java_io_PrintStream.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"

namespace {

// Until System is initialised (early in start-up) the console is reached
// directly.
void printRaw(const char* text) {
    for (const char* p = text; *p != 0; ++p) HAL_consoleWrite(static_cast<unsigned char>(*p));
}

void printRaw(java::lang::String* text) {
    VMCString holder;
    text->_VM_appendToCString(&holder);
    printRaw(holder.c_str());
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
    const bool hasThread = _VM_currentThreadName(threadName);
    VMPtr<String> name = getClass()->getName();
    VMPtr<String> text = getMessage();
    VMPtr<java::io::PrintStream> out;
    if (System::_VM_classRecord != nullptr && System::_VM_classRecord->initState == VM_CLASS_INITIALIZED)
        out = System::out;
    if (out == nullptr) {
        printRaw(hasThread ? "Exception in thread \"" : "Exception ");
        if (hasThread) {
            if (threadName != nullptr) printRaw(threadName.target);
            printRaw("\" ");
        }
        printRaw(name.target);
        if (text != nullptr) {
            printRaw(": ");
            printRaw(text.target);
        }
        printRaw("\n    at <unknown>\n");
        return;
    }
    if (hasThread) {
        out->print("Exception in thread \"");
        if (threadName != nullptr) out->print(threadName);
        out->print("\" ");
    } else {
        out->print("Exception ");
    }
    out->print(name);
    if (text != nullptr) {
        out->print(": ");
        out->println(text);
    } else {
        out->println();
    }
    out->println("    at <unknown>");
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Throwable, .name = "java.lang.Throwable",
                  .newInstance = _VM_newInstanceOf<java::lang::Throwable>)

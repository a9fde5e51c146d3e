// java.io.PrintStream: prints values as text on a byte stream.
#include "java_io_PrintStream.h"

#include "VMThrow.h"
#include "java_io_IOException.h"
#include "java_lang_Integer.h"
#include "java_lang_NullPointerException.h"

namespace java::io {

using java::lang::String;

VMPtr<PrintStream> PrintStream::construct(VMPtr<OutputStream> out) {
    Super::construct();
    if (out == nullptr) _VM_throwNullPointer();
    byteOut = out;
    charOut = OutputStreamWriter::create()->construct(out);
    return this;
}

VMPtr<OutputStreamWriter> PrintStream::openWriter() {
    VMPtr<OutputStreamWriter> writer = charOut;
    if (writer == nullptr) _VM_throwNullPointer();
    return writer;
}

void PrintStream::write(jint b) {
    VMSynchronized lock(this);
    openWriter();
    VMPtr<OutputStream> out = byteOut;
    try {
        out->write(b);
    } catch (IOException*) {
        trouble = true;
    }
}

void PrintStream::write(VMPtr<VMArray<jbyte, 1>> buf, jint off, jint len) {
    VMSynchronized lock(this);
    openWriter();
    VMPtr<OutputStream> out = byteOut;
    try {
        out->write(buf, off, len);
    } catch (IOException*) {
        trouble = true;
    }
}

void PrintStream::flush() {
    VMSynchronized lock(this);
    VMPtr<OutputStreamWriter> writer = openWriter();
    try {
        writer->flush();
    } catch (IOException*) {
        trouble = true;
    }
}

void PrintStream::close() {
    VMSynchronized lock(this);
    if (closing) return;
    closing = true;
    try {
        VMPtr<OutputStreamWriter> writer = charOut;
        if (writer != nullptr) writer->close();
    } catch (IOException*) {
        trouble = true;
    }
    charOut = nullptr;
    byteOut = nullptr;
}

jboolean PrintStream::checkError() {
    if (charOut != nullptr) flush();
    return trouble;
}

void PrintStream::setError() { trouble = true; }

void PrintStream::writeText(VMPtr<String> s) {
    VMSynchronized lock(this);
    VMPtr<OutputStreamWriter> writer = openWriter();
    try {
        writer->write(s);
    } catch (IOException*) {
        trouble = true;
    }
}

void PrintStream::print(const char* text) {
    VMSynchronized lock(this);
    openWriter();
    if (text == nullptr) _VM_throwNullPointer();
    for (const char* p = text; *p != 0; ++p) write(static_cast<jint>(static_cast<unsigned char>(*p)));
}

void PrintStream::print(VMPtr<String> s) { writeText(s == nullptr ? VM_STR("null") : s); }

void PrintStream::print(VMPtr<VMArray<jchar, 1>> s) {
    VMSynchronized lock(this);
    VMPtr<OutputStreamWriter> writer = openWriter();
    if (s == nullptr) _VM_throwNullPointer();
    try {
        writer->write(s);
    } catch (IOException*) {
        trouble = true;
    }
}

void PrintStream::print(VMPtr<java::lang::Object> obj) { writeText(String::valueOf(obj)); }
void PrintStream::print(jboolean b) { writeText(String::valueOf(b)); }
void PrintStream::print(jchar c) { writeText(String::valueOf(c)); }
void PrintStream::print(jlong l) { writeText(String::valueOf(l)); }
void PrintStream::print(jfloat f) { writeText(String::valueOf(f)); }
void PrintStream::print(jdouble d) { writeText(String::valueOf(d)); }
void PrintStream::print(jint i) { writeText(java::lang::Integer::toString(i)); }

void PrintStream::println() {
    VMSynchronized lock(this);
    VMPtr<OutputStreamWriter> writer = openWriter();
    try {
        writer->write(static_cast<jint>(u'\n'));
    } catch (IOException*) {
        trouble = true;
    }
}

// Each println prints its value and the line end under one hold of the
// monitor, so that no other output of this stream comes between them.
#define VM_PRINTLN(...)                        \
    void PrintStream::println(__VA_ARGS__ x) { \
        VMSynchronized lock(this);             \
        print(x);                              \
        println();                             \
    }
VM_PRINTLN(const char*)
VM_PRINTLN(VMPtr<java::lang::Object>)
VM_PRINTLN(VMPtr<String>)
VM_PRINTLN(VMPtr<VMArray<jchar, 1>>)
VM_PRINTLN(jdouble)
VM_PRINTLN(jfloat)
VM_PRINTLN(jlong)
VM_PRINTLN(jint)
VM_PRINTLN(jchar)
VM_PRINTLN(jboolean)
#undef VM_PRINTLN

}  // namespace java::io

VM_REGISTER_CLASS(java::io::PrintStream, .name = "java.io.PrintStream")

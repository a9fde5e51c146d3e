// java.io.PrintStream: prints values as text on a byte stream. It never
// throws an I/O error: a failure sets the error flag that checkError()
// reports.
#pragma once

#include "java_io_OutputStream.h"
#include "java_io_OutputStreamWriter.h"
#include "java_lang_String.h"

namespace java::io {

class PrintStream : public OutputStream {
    VM_DECLARE_CLASS(PrintStream, OutputStream)

public:
    jboolean trouble = false;
    jboolean closing = false;
    VMField<OutputStreamWriter> charOut;  // null once closed
    VMField<OutputStream> byteOut;        // null once closed

    // NullPointerException for a null stream.
    VMPtr<PrintStream> construct(VMPtr<OutputStream> out);

    void write(VMPtr<VMArray<jbyte, 1>> buf, jint off, jint len) override;
    using OutputStream::write;
    void write(jint b) override;
    void flush() override;
    void close() override;
    virtual jboolean checkError();

    // Every byte of the NUL-terminated text goes to write(int), unchanged.
    virtual void print(const char* text);
    virtual void print(VMPtr<java::lang::Object> obj);
    virtual void print(VMPtr<java::lang::String> s);
    virtual void print(VMPtr<VMArray<jchar, 1>> s);
    virtual void print(jdouble d);
    virtual void print(jfloat f);
    virtual void print(jlong l);
    virtual void print(jint i);
    virtual void print(jchar c);
    virtual void print(jboolean b);
    virtual void println(const char* text);
    virtual void println(VMPtr<java::lang::Object> x);
    virtual void println(VMPtr<java::lang::String> x);
    virtual void println(VMPtr<VMArray<jchar, 1>> x);
    virtual void println(jdouble x);
    virtual void println(jfloat x);
    virtual void println(jlong x);
    virtual void println(jint x);
    virtual void println(jchar x);
    virtual void println(jboolean x);
    virtual void println();
    virtual void setError();

    // A C character must not silently pick the int form, nor a raw object
    // pointer the boolean one: pass a reference (VMPtr) instead.
    void print(char) = delete;
    void println(char) = delete;
    void print(const void*) = delete;
    void println(const void*) = delete;

    void markReferences(uint32_t bits) override {
        OutputStream::markReferences(bits);
        _VM_markRef(charOut, bits);
        _VM_markRef(byteOut, bits);
    }

private:
    // The open writer, or NullPointerException once closed.
    VMPtr<OutputStreamWriter> openWriter();
    void writeText(VMPtr<java::lang::String> s);
};

}  // namespace java::io

// com.tarsel.sorrel.cldc.io.ConsoleOutputStream: the byte stream behind the
// console. Each byte goes to standard output; a newline pushes it out.
#pragma once

#include "java_io_OutputStream.h"

namespace com::tarsel::sorrel::cldc::io {

class ConsoleOutputStream : public java::io::OutputStream {
    VM_DECLARE_CLASS(ConsoleOutputStream, java::io::OutputStream)

public:
    VMPtr<ConsoleOutputStream> construct();

    using java::io::OutputStream::write;
    // Console failures are silent.
    void write(jint b) override;
    // Pushes out what standard output still holds.
    void flush() override;
    void close() override {}
};

}  // namespace com::tarsel::sorrel::cldc::io

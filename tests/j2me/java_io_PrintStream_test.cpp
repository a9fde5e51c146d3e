// The print stream: text of every value kind, byte order between the writer
// and direct byte writes, the error flag in place of I/O exceptions, closing,
// and the console stream behind it.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "com_tarsel_sorrel_cldc_io_ConsoleOutputStream.h"
#include "java_io_IOException.h"
#include "java_io_PrintStream.h"
#include "java_lang_Integer.h"
#include "java_lang_NullPointerException.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_System.h"
#include "vm_test.h"

namespace ioprinttest {

// Collects the bytes it is given; throws IOException while `failing`.
class Sink : public java::io::OutputStream {
    VM_DECLARE_CLASS(Sink, java::io::OutputStream)

public:
    std::string bytes;
    bool failing = false;
    int flushes = 0;
    int closes = 0;

    void write(jint b) override {
        if (failing) _VM_throw(java::io::IOException::create()->construct());
        bytes.push_back(static_cast<char>(b & 0xFF));
    }
    using OutputStream::write;
    void flush() override { ++flushes; }
    void close() override { ++closes; }
};

}  // namespace ioprinttest

VM_REGISTER_CLASS(ioprinttest::Sink, .name = "ioprinttest.Sink")

using ioprinttest::Sink;
using java::io::PrintStream;

namespace {

struct Printer {
    VMPtr<Sink> sink = Sink::create();
    VMPtr<PrintStream> out;
    Printer() {
        sink->construct();
        out = PrintStream::create()->construct(sink);
    }
};

}  // namespace

class PrintStreamTest : public VMTest {};

TEST_F(PrintStreamTest, PrintsEveryKindOfValue) {
    Printer p;
    p.out->print(VMPtr<java::lang::String>());
    p.out->print(u' ');
    p.out->print(VMPtr<java::lang::Object>());
    p.out->println();
    p.out->println(true);
    p.out->println(u'\u00e9');
    p.out->println(jint(-42));
    p.out->println(jlong(1) << 40);
    p.out->println(1.5f);
    p.out->println(0.25);
    p.out->println(VM_STR("caf\xC3\xA9"));
    p.out->println(VMPtr<java::lang::Object>(java::lang::Integer::create()->construct(7)));
    VMPtr<VMArray<jchar, 1>> chars = VMArray<jchar, 1>::create(2);
    (*chars)[0] = u'o';
    (*chars)[1] = u'k';
    p.out->println(chars);
    EXPECT_EQ(p.sink->bytes, "null null\ntrue\n\xC3\xA9\n-42\n1099511627776\n1.5\n0.25\ncaf\xC3\xA9\n7\nok\n");
}

TEST_F(PrintStreamTest, DirectBytesAndWriterTextKeepCallOrder) {
    Printer p;
    p.out->print(VM_STR("a"));
    p.out->write(jint(0x42));
    p.out->print("\xFF\x80z");  // bytes above 0x7F pass unchanged
    p.out->print(VM_STR("c"));
    p.out->println("!");
    EXPECT_EQ(p.sink->bytes, std::string("aB\xFF\x80zc!\n"));
}

TEST_F(PrintStreamTest, IOExceptionsSetTheErrorFlagInstead) {
    Printer p;
    EXPECT_FALSE(p.out->checkError());
    p.sink->failing = true;
    EXPECT_EQ(VM_THROWN_CLASS(p.out->write(jint(1))), "");
    EXPECT_EQ(VM_THROWN_CLASS(p.out->println(VM_STR("lost"))), "");
    p.sink->failing = false;
    EXPECT_TRUE(p.out->checkError());
    // The stream stays usable, and the flag never clears.
    p.out->print(VM_STR("kept"));
    EXPECT_EQ(p.sink->bytes, "kept");
    EXPECT_TRUE(p.out->checkError());

    Printer q;
    q.out->setError();
    EXPECT_TRUE(q.out->checkError());
}

TEST_F(PrintStreamTest, CloseOnceThenEveryGuardedOperationThrows) {
    Printer p;
    int flushesBefore = p.sink->flushes;
    p.out->close();
    EXPECT_EQ(p.sink->closes, 1);
    p.out->close();
    EXPECT_EQ(p.sink->closes, 1);
    EXPECT_FALSE(p.out->checkError());  // no flush after close
    EXPECT_EQ(p.sink->flushes, flushesBefore);
    EXPECT_EQ(VM_THROWN_CLASS(p.out->print(VM_STR("x"))), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(p.out->write(jint(1))), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(p.out->println()), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(p.out->flush()), "java.lang.NullPointerException");
    EXPECT_EQ(p.sink->bytes, "");

    EXPECT_EQ(VM_THROWN_CLASS(PrintStream::create()->construct(nullptr)), "java.lang.NullPointerException");
}

namespace {

// Points standard output at a file for the scope.
class StdoutToFile {
public:
    StdoutToFile() : path_("/tmp/vessilo-console-" + std::to_string(::getpid())) {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
    ~StdoutToFile() {
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        ::unlink(path_.c_str());
    }
    // What has reached the file so far (not what stdout still buffers).
    std::string contents() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::string path_;
    int saved_ = -1;
};

}  // namespace

TEST_F(PrintStreamTest, ConsoleFlushesAtNewlineAndOnFlush) {
    StdoutToFile capture;
    VMPtr<PrintStream> out =
        PrintStream::create()->construct(com::tarsel::sorrel::cldc::io::ConsoleOutputStream::create()->construct());
    out->println(jint(42));
    EXPECT_EQ(capture.contents(), "42\n");
    out->print(VM_STR("partial"));
    out->flush();
    EXPECT_EQ(capture.contents(), "42\npartial");
}

TEST_F(PrintStreamTest, SystemOutIsTheConsoleAndCarriesStackTraces) {
    using java::lang::System;
    _VM_ensureInitialized(System::_VM_classRecord);
    ASSERT_NE(System::out.get(), nullptr);
    EXPECT_EQ(System::err.get(), System::out.get());

    VMPtr<PrintStream> console = System::out;
    Printer p;
    System::out = p.out;
    java::lang::NullPointerException::create()->construct()->printStackTrace();
    java::lang::RuntimeException::create()->construct(VM_STR("bad \xC3\xA9"))->printStackTrace();
    System::out = console;
    EXPECT_EQ(p.sink->bytes,
              "Exception in thread \"System\" java.lang.NullPointerException\n    at <unknown>\n"
              "Exception in thread \"System\" java.lang.RuntimeException: bad \xC3\xA9\n    at <unknown>\n");
}

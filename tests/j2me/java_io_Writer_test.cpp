// The writers: the base class's chunked string copy, the output-stream
// writer's UTF-8 chunks, closing, range tests and the writer's monitor.
#include <climits>
#include <string>
#include <vector>

#include "java_io_IOException.h"
#include "java_io_OutputStreamWriter.h"
#include "vm_test.h"

namespace iowritertest {

// Records the byte stream's calls; can fail an array write on request, and
// notes whether the watched object's monitor was held by the writing thread.
class ByteRecorder : public java::io::OutputStream {
    VM_DECLARE_CLASS(ByteRecorder, java::io::OutputStream)

public:
    std::vector<int> bytes;
    std::vector<int> writes;  // the length of each array write
    int flushes = 0;
    int closes = 0;
    int failAtWrite = 0;  // 1-based; 0 never
    java::lang::Object* watched = nullptr;
    bool monitorHeld = true;

    void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override {
        if (watched != nullptr && watched->_VM_owner != VMThread::current()) monitorHeld = false;
        if (int(writes.size()) + 1 == failAtWrite) _VM_throw(java::io::IOException::create()->construct());
        writes.push_back(len);
        for (jint i = 0; i < len; ++i) bytes.push_back((*b)[off + i] & 0xFF);
    }
    void write(jint b) override { bytes.push_back(b & 0xFF); }
    using OutputStream::write;
    void flush() override { ++flushes; }
    void close() override { ++closes; }
};

// A writer of the base class that records the character runs it is given.
class CharRecorder : public java::io::Writer {
    VM_DECLARE_CLASS(CharRecorder, java::io::Writer)

public:
    std::u16string chars;
    std::vector<int> runs;
    bool monitorHeld = true;

    using Writer::write;
    void write(VMPtr<VMArray<jchar, 1>> cbuf, jint off, jint len) override {
        if (lock->_VM_owner != VMThread::current()) monitorHeld = false;
        runs.push_back(len);
        for (jint i = 0; i < len; ++i) chars += (*cbuf)[off + i];
    }
    void flush() override {}
    void close() override {}
};

}  // namespace iowritertest

VM_REGISTER_CLASS(iowritertest::ByteRecorder, .name = "iowritertest.ByteRecorder")
VM_REGISTER_CLASS(iowritertest::CharRecorder, .name = "iowritertest.CharRecorder")

using namespace java::io;
using iowritertest::ByteRecorder;
using iowritertest::CharRecorder;
using java::lang::String;

namespace {

VMPtr<String> str(const std::u16string& s) { return String::create()->_VM_initLength(s.data(), jint(s.size())); }

VMPtr<VMChars> charsOf(const std::u16string& s) {
    VMPtr<VMChars> a = VMChars::create(jint(s.size()));
    for (jint i = 0; i < a->length; ++i) (*a)[i] = s[size_t(i)];
    return a;
}

// An output-stream writer over a recorder that watches the writer's monitor.
struct Target {
    VMPtr<ByteRecorder> recorder = ByteRecorder::create();
    VMPtr<OutputStreamWriter> writer;

    Target() {
        recorder->construct();
        writer = OutputStreamWriter::create()->construct(recorder);
        recorder->watched = writer.get();
    }
};

class WriterTest : public VMTest {};

TEST_F(WriterTest, Classes) {
    java::lang::Class* writer = _VM_findClass("java.io.Writer");
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(writer->isAbstractFlag);
    EXPECT_EQ(_VM_superClass(_VM_classRegistry(), OutputStreamWriter::_VM_getClass()), writer);
    EXPECT_EQ(VM_THROWN_CLASS(OutputStreamWriter::_VM_getClass()->newInstance()), "java.lang.IllegalAccessException");
    EXPECT_EQ(VM_THROWN_CLASS(OutputStreamWriter::create()->construct(VMPtr<OutputStream>())),
              "java.lang.NullPointerException");
}

TEST_F(WriterTest, EncodesUtf8InOneWrite) {
    Target t;
    EXPECT_EQ(t.writer->lock.get(), static_cast<java::lang::Object*>(t.writer.get()));
    t.writer->write(str(u"A\u00E9\u20AC"));
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{6}));
    EXPECT_EQ(t.recorder->bytes, (std::vector<int>{0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
    EXPECT_TRUE(t.recorder->monitorHeld);

    t.recorder->bytes.clear();
    t.writer->write(str(std::u16string(1, u'\0')));  // one zero byte, not C0 80
    t.writer->write(str(u"\U0001F600"));             // a pair: two three-byte forms
    t.writer->write(0x10041);                        // only the low 16 bits
    t.writer->write(0x7FF);
    EXPECT_EQ(t.recorder->bytes, (std::vector<int>{0x00, 0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80, 0x41, 0xDF, 0xBF}));
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{6, 1, 6, 1, 2}));
}

TEST_F(WriterTest, LongTextGoesOutInWholeFormChunks) {
    Target t;
    t.writer->write(str(std::u16string(1000, u'\u20AC')));
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{2046, 954}));
    VMArray<jbyte, 1>* scratch = t.writer->byteBuffer.get();

    t.recorder->writes.clear();
    t.writer->write(charsOf(std::u16string(5000, u'x')), 0, 5000);
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{2048, 2048, 904}));
    EXPECT_EQ(t.writer->byteBuffer.get(), scratch);  // made once, reused
    EXPECT_EQ(t.writer->byteBuffer->length, 2048);
    EXPECT_TRUE(t.recorder->monitorHeld);
}

TEST_F(WriterTest, ChunksEndOnWholeFormsAtTheBufferEdge) {
    Target t;
    // A two-byte form with one byte of room left starts the next chunk.
    t.writer->write(str(std::u16string(2047, u'x') + u"\u00E9"));
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{2047, 2}));
    EXPECT_EQ(t.recorder->bytes.back(), 0xA9);

    // A zero character is one byte and fills the buffer exactly; the next
    // character, with no room at all, goes into the next chunk.
    t.recorder->writes.clear();
    t.recorder->bytes.clear();
    t.writer->write(str(std::u16string(2047, u'x') + std::u16string(1, u'\0') + u"y"));
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{2048, 1}));
    EXPECT_EQ(t.recorder->bytes[2047], 0x00);
    EXPECT_EQ(t.recorder->bytes[2048], 'y');
    EXPECT_EQ(t.recorder->bytes.size(), 2049u);
}

TEST_F(WriterTest, RangesAreTestedBeforeAnythingIsWritten) {
    Target t;
    VMPtr<VMChars> six = charsOf(u"abcdef");
    const char* ioobe = "java.lang.IndexOutOfBoundsException";
    EXPECT_EQ(VM_THROWN_TEXT(t.writer->write(six, 2, 5)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(six, -1, 1)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(six, 7, 0)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(six, 0, -1)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(six, 1, INT_MAX)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(str(u"abc"), 2, 2)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(str(u"abc"), INT_MAX, INT_MAX)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(VMPtr<VMChars>(), 0, 1)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(VMPtr<String>(), 0, 1)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(VMPtr<String>())), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(VMPtr<VMChars>())), "java.lang.NullPointerException");
    EXPECT_TRUE(t.recorder->bytes.empty());

    t.writer->write(six, 6, 0);
    t.writer->write(str(u"abc"), 3, 0);
    EXPECT_TRUE(t.recorder->writes.empty());
    EXPECT_EQ(t.writer->byteBuffer.get(), nullptr);  // nothing was encoded yet

    t.writer->write(six, 4, 2);
    t.writer->write(str(u"abc"), 1, 1);
    EXPECT_EQ(t.recorder->bytes, (std::vector<int>{'e', 'f', 'b'}));
}

TEST_F(WriterTest, ClosingClosesTheStreamOnce) {
    Target t;
    t.writer->flush();
    EXPECT_EQ(t.recorder->flushes, 1);
    t.writer->close();
    t.writer->close();
    EXPECT_EQ(t.recorder->closes, 1);
    EXPECT_EQ(t.recorder->flushes, 1);  // closing flushes nothing

    const char* closed = "java.io.IOException: Stream closed";
    EXPECT_EQ(VM_THROWN_TEXT(t.writer->write(charsOf(u"abc"), 0, 0)), closed);
    EXPECT_EQ(VM_THROWN_TEXT(t.writer->write(str(u"abc"))), closed);
    EXPECT_EQ(VM_THROWN_TEXT(t.writer->write('x')), closed);
    EXPECT_EQ(VM_THROWN_TEXT(t.writer->flush()), closed);
    EXPECT_TRUE(t.recorder->bytes.empty());
}

TEST_F(WriterTest, ByteStreamFailuresPassThroughAfterEarlierChunks) {
    Target t;
    t.recorder->failAtWrite = 2;
    EXPECT_EQ(VM_THROWN_CLASS(t.writer->write(str(std::u16string(3000, u'y')))), "java.io.IOException");
    EXPECT_EQ(t.recorder->writes, (std::vector<int>{2048}));
    // The failure gave the writer's monitor back.
    t.recorder->failAtWrite = 0;
    t.writer->write('z');
    EXPECT_EQ(t.writer->_VM_owner, nullptr);
}

TEST_F(WriterTest, BaseCopiesStringsThroughItsScratchBuffer) {
    VMPtr<CharRecorder> w = CharRecorder::create();
    w->construct();
    std::u16string text2500;
    for (int i = 0; i < 2500; ++i) text2500 += char16_t(u'a' + i % 26);
    w->write(str(text2500));
    EXPECT_EQ(w->runs, (std::vector<int>{1024, 1024, 452}));
    EXPECT_EQ(w->chars, text2500);
    ASSERT_NE(w->writeBuffer.get(), nullptr);
    EXPECT_EQ(w->writeBuffer->length, 1024);

    w->chars.clear();
    w->write(str(u"hello"), 1, 3);
    w->write(0x10021);  // the low 16 bits: '!'
    EXPECT_TRUE(w->monitorHeld);
    w->write(charsOf(u"xy"));  // straight to the subclass's array write
    EXPECT_EQ(w->chars, u"ell!xy");
    w->write(str(u"abc"), 7, 0);  // nothing to copy: no test either
}

TEST_F(WriterTest, BaseStringRangeFailuresComeFromTheStringCopy) {
    VMPtr<CharRecorder> w = CharRecorder::create();
    w->construct();
    EXPECT_EQ(VM_THROWN_TEXT(w->write(str(u"abc"), 2, 5)), "java.lang.StringIndexOutOfBoundsException: 7");
    EXPECT_EQ(VM_THROWN_TEXT(w->write(str(u"abc"), -1, 2)), "java.lang.StringIndexOutOfBoundsException: -1");
    // The end of the copied range wraps past the 32-bit range: still refused.
    EXPECT_EQ(VM_THROWN_CLASS(w->write(str(u"abc"), INT_MAX, 5)), "java.lang.StringIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(w->write(VMPtr<String>(), 0, 1)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(w->write(VMPtr<String>())), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(w->write(VMPtr<VMChars>())), "java.lang.NullPointerException");
    EXPECT_TRUE(w->runs.empty());
    EXPECT_EQ(w->_VM_owner, nullptr);
}

}  // namespace

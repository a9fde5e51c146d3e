// The data streams: big-endian primitives, IEEE 754 bit patterns, modified
// UTF-8 strings with their length prefix, end of data and malformed input.
#include <bit>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "java_io_ByteArrayInputStream.h"
#include "java_io_ByteArrayOutputStream.h"
#include "java_io_DataInputStream.h"
#include "java_io_DataOutputStream.h"
#include "vm_test.h"

namespace iodatatest {

// Records what reaches it: every write(int) value, and every array write as
// one call.
class CallRecorder : public java::io::OutputStream {
    VM_DECLARE_CLASS(CallRecorder, java::io::OutputStream)

public:
    std::vector<int> bytes;
    std::vector<int> singleWrites;
    std::vector<int> arrayWrites;  // the length of each array write

    void write(jint b) override {
        singleWrites.push_back(b);
        bytes.push_back(b & 0xFF);
    }
    void write(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override {
        arrayWrites.push_back(len);
        for (jint i = 0; i < len; ++i) bytes.push_back((*b)[off + i] & 0xFF);
    }
    using OutputStream::write;
};

// A data input stream that counts the bytes taken through its own read().
class CountingDataInput : public java::io::DataInputStream {
    VM_DECLARE_CLASS(CountingDataInput, java::io::DataInputStream)

public:
    int reads = 0;
    using DataInputStream::read;
    jint read() override {
        ++reads;
        return DataInputStream::read();
    }
};

// A data output stream that counts the calls of its own writeInt and
// writeLong.
class CountingDataOutput : public java::io::DataOutputStream {
    VM_DECLARE_CLASS(CountingDataOutput, java::io::DataOutputStream)

public:
    int ints = 0;
    int longs = 0;
    void writeInt(jint v) override {
        ++ints;
        DataOutputStream::writeInt(v);
    }
    void writeLong(jlong v) override {
        ++longs;
        DataOutputStream::writeLong(v);
    }
};

// An input stream whose array reads hand over at most one byte, and nothing
// on every other call.
class TrickleInput : public java::io::InputStream {
    VM_DECLARE_CLASS(TrickleInput, java::io::InputStream)

public:
    std::vector<int> data;
    size_t next = 0;
    bool dry = true;

    jint read() override { return next < data.size() ? data[next++] : -1; }
    jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override {
        if (len == 0) return 0;
        dry = !dry;
        if (dry) return 0;
        jint c = read();
        if (c < 0) return -1;
        (*b)[off] = jbyte(c);
        return 1;
    }
    using InputStream::read;
};

}  // namespace iodatatest

VM_REGISTER_CLASS(iodatatest::CallRecorder, .name = "iodatatest.CallRecorder")
VM_REGISTER_CLASS(iodatatest::CountingDataInput, .name = "iodatatest.CountingDataInput")
VM_REGISTER_CLASS(iodatatest::CountingDataOutput, .name = "iodatatest.CountingDataOutput")
VM_REGISTER_CLASS(iodatatest::TrickleInput, .name = "iodatatest.TrickleInput")

using namespace java::io;
using iodatatest::CallRecorder;
using iodatatest::CountingDataInput;
using iodatatest::CountingDataOutput;
using iodatatest::TrickleInput;
using java::lang::String;

namespace {

VMPtr<String> str(const std::u16string& s) { return String::create()->_VM_initLength(s.data(), jint(s.size())); }

std::u16string chars(const VMPtr<String>& s) { return std::u16string(s->_VM_chars(), size_t(s->length())); }

class DataStreamTest : public VMTest {
protected:
    static VMPtr<DataInputStream> over(std::initializer_list<int> values) {
        VMPtr<VMBytes> b = VMBytes::create(jint(values.size()));
        jint i = 0;
        for (int v : values) (*b)[i++] = jbyte(v);
        return DataInputStream::create()->construct(ByteArrayInputStream::create()->construct(b));
    }
};

// A data output stream over a recorder (made inside a test: references are
// locals of the running test thread).
struct Sink {
    VMPtr<CallRecorder> recorder = CallRecorder::create();
    VMPtr<DataOutputStream> out;

    Sink() {
        recorder->construct();
        out = DataOutputStream::create()->construct(recorder);
    }
    // A data input stream over what the recorder has collected.
    VMPtr<DataInputStream> readBack() {
        VMPtr<VMBytes> b = VMBytes::create(jint(recorder->bytes.size()));
        for (jint i = 0; i < b->length; ++i) (*b)[i] = jbyte(recorder->bytes[size_t(i)]);
        return DataInputStream::create()->construct(ByteArrayInputStream::create()->construct(b));
    }
};

TEST_F(DataStreamTest, ClassesAndInterfaces) {
    java::lang::Class* input = _VM_findClass("java.io.DataInput");
    java::lang::Class* output = _VM_findClass("java.io.DataOutput");
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(input->isInterface());
    EXPECT_TRUE(output->isInterface());
    EXPECT_TRUE(input->isAssignableFrom(DataInputStream::_VM_getClass()));
    EXPECT_TRUE(output->isAssignableFrom(DataOutputStream::_VM_getClass()));
    EXPECT_FALSE(input->isAssignableFrom(DataOutputStream::_VM_getClass()));
    EXPECT_TRUE(InputStream::_VM_getClass()->isAssignableFrom(DataInputStream::_VM_getClass()));
    EXPECT_TRUE(OutputStream::_VM_getClass()->isAssignableFrom(DataOutputStream::_VM_getClass()));
}

TEST_F(DataStreamTest, IntegersAreWrittenBigEndianOneByteAtATime) {
    Sink sink;
    sink.out->writeInt(0x01020304);
    EXPECT_EQ(sink.recorder->singleWrites, (std::vector<int>{1, 2, 3, 4}));
    sink.out->writeShort(-1);
    sink.out->writeChar(0x12345);  // only the low 16 bits
    sink.out->writeByte(0x1FF);
    sink.out->writeBoolean(true);
    sink.out->writeBoolean(false);
    sink.out->writeInt(INT_MIN);
    sink.out->writeLong(0x0102030405060708LL);
    EXPECT_EQ(sink.recorder->bytes, (std::vector<int>{1, 2, 3, 4, 0xFF, 0xFF, 0x23, 0x45, 0xFF, 1, 0, 0x80,
                                                      0, 0, 0, 1, 2,    3,    4,    5,    6,    7, 8}));
    EXPECT_TRUE(sink.recorder->arrayWrites.empty());
    for (int b : sink.recorder->singleWrites) EXPECT_TRUE(b >= 0 && b <= 255) << b;
}

TEST_F(DataStreamTest, FloatingPointKeepsItsBitPatterns) {
    Sink sink;
    sink.out->writeFloat(1.0f);
    sink.out->writeDouble(1.0);
    EXPECT_EQ(sink.recorder->bytes, (std::vector<int>{0x3F, 0x80, 0, 0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));

    // Made at run time: constant folding may quiet a signalling NaN.
    volatile jint floatBits = 0x7FC00123;
    volatile jlong doubleBits = 0x7FF0000000000ABCLL;
    const jfloat oddNaN = std::bit_cast<jfloat>(jint(floatBits));
    const jdouble oddDoubleNaN = std::bit_cast<jdouble>(jlong(doubleBits));
    sink.out->writeFloat(oddNaN);
    sink.out->writeDouble(oddDoubleNaN);
    sink.out->writeFloat(-0.0f);
    sink.out->writeDouble(-INFINITY);
    VMPtr<DataInputStream> in = sink.readBack();
    EXPECT_EQ(in->readFloat(), 1.0f);
    EXPECT_EQ(in->readDouble(), 1.0);
    EXPECT_EQ(std::bit_cast<jint>(in->readFloat()), 0x7FC00123);
    EXPECT_EQ(std::bit_cast<jlong>(in->readDouble()), 0x7FF0000000000ABCLL);
    EXPECT_EQ(std::bit_cast<jint>(in->readFloat()), jint(0x80000000));
    EXPECT_EQ(in->readDouble(), -INFINITY);

    // writeDouble goes through writeLong; writeFloat writes its own bytes.
    VMPtr<CountingDataOutput> counting = CountingDataOutput::create();
    counting->construct(ByteArrayOutputStream::create()->construct());
    counting->writeFloat(1.0f);
    counting->writeDouble(1.0);
    EXPECT_EQ(counting->ints, 0);
    EXPECT_EQ(counting->longs, 1);
}

TEST_F(DataStreamTest, PrimitivesRoundTrip) {
    Sink sink;
    sink.out->writeBoolean(true);
    sink.out->writeByte(-5);
    sink.out->writeShort(-2);
    sink.out->writeChar(0xFFFE);
    sink.out->writeInt(-123456789);
    sink.out->writeLong(INT64_MIN + 7);
    sink.out->writeLong(0x00000000FFFFFFFFLL);  // low half taken unsigned
    VMPtr<DataInputStream> in = sink.readBack();
    EXPECT_TRUE(in->readBoolean());
    EXPECT_EQ(in->readByte(), -5);
    EXPECT_EQ(in->readShort(), -2);
    EXPECT_EQ(in->readChar(), 0xFFFE);
    EXPECT_EQ(in->readInt(), -123456789);
    EXPECT_EQ(in->readLong(), INT64_MIN + 7);
    EXPECT_EQ(in->readLong(), 0x00000000FFFFFFFFLL);
    EXPECT_EQ(in->read(), -1);

    VMPtr<DataInputStream> unsignedIn = over({0xFF, 0xFF, 0xFE, 2});
    EXPECT_EQ(unsignedIn->readUnsignedByte(), 255);
    EXPECT_EQ(unsignedIn->readUnsignedShort(), 0xFFFE);
    EXPECT_TRUE(unsignedIn->readBoolean());  // any byte but 0
}

TEST_F(DataStreamTest, ReadsTakeEveryByteThroughTheStreamsOwnRead) {
    VMPtr<VMBytes> b = VMBytes::create(16);
    VMPtr<CountingDataInput> in = CountingDataInput::create();
    in->construct(ByteArrayInputStream::create()->construct(b));
    in->readInt();
    EXPECT_EQ(in->reads, 4);
    in->readLong();
    EXPECT_EQ(in->reads, 12);
    EXPECT_EQ(VM_THROWN_CLASS(in->readDouble()), "java.io.EOFException");  // all four left are taken
    EXPECT_EQ(in->reads, 20);
}

TEST_F(DataStreamTest, EndOfDataInsideAValue) {
    VMPtr<DataInputStream> in = over({1, 2});
    EXPECT_EQ(VM_THROWN_CLASS(in->readInt()), "java.io.EOFException");
    EXPECT_EQ(in->available(), 0);  // both bytes were taken

    const char* eof = "java.io.EOFException";
    EXPECT_EQ(VM_THROWN_CLASS(over({})->readBoolean()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({})->readByte()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({})->readUnsignedByte()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({1})->readShort()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({1})->readChar()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({1, 2, 3, 4, 5, 6, 7})->readLong()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({1, 2, 3})->readFloat()), eof);
    EXPECT_EQ(VM_THROWN_CLASS(over({1})->readUTF()), eof);
}

TEST_F(DataStreamTest, ReadFullyFillsOrFails) {
    VMPtr<VMBytes> b = VMBytes::create(4);
    VMPtr<DataInputStream> in = over({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(VM_THROWN_CLASS(in->readFully(b, 0, -1)), "java.lang.IndexOutOfBoundsException");
    in->readFully(b, 0, 0);
    EXPECT_EQ(in->available(), 6);
    in->readFully(b);
    EXPECT_EQ(b->get(3), 4);
    EXPECT_EQ(VM_THROWN_CLASS(in->readFully(b, 1, 4)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(in->readFully(b, 0, 3)), "java.io.EOFException");
    EXPECT_EQ(VM_THROWN_CLASS(in->readFully(VMPtr<VMBytes>())), "java.lang.NullPointerException");

    // Short and empty reads of the wrapped stream are repeated until done.
    VMPtr<TrickleInput> trickle = TrickleInput::create();
    trickle->construct();
    trickle->data = {9, 8, 7};
    VMPtr<DataInputStream> slow = DataInputStream::create()->construct(trickle);
    slow->readFully(b, 1, 3);
    EXPECT_EQ(b->get(1), 9);
    EXPECT_EQ(b->get(3), 7);
}

TEST_F(DataStreamTest, SkipBytesStopsAtTheEnd) {
    VMPtr<DataInputStream> in = over({1, 2, 3, 4});
    EXPECT_EQ(in->skipBytes(0), 0);
    EXPECT_EQ(in->skipBytes(-4), 0);
    EXPECT_EQ(in->skipBytes(1), 1);
    EXPECT_EQ(in->skipBytes(10), 3);
    EXPECT_EQ(in->skipBytes(INT_MAX), 0);
}

TEST_F(DataStreamTest, StreamOperationsPassThrough) {
    VMPtr<DataInputStream> in = over({1, 2, 3, 4});
    EXPECT_TRUE(in->markSupported());
    EXPECT_EQ(in->read(), 1);
    in->mark(10);
    VMPtr<VMBytes> b = VMBytes::create(2);
    EXPECT_EQ(in->read(b), 2);
    EXPECT_EQ(in->available(), 1);
    in->reset();
    EXPECT_EQ(in->skip(2), 2);
    EXPECT_EQ(in->read(b, 0, 2), 1);
    EXPECT_EQ(in->read(b, 0, 2), -1);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 1, 2)), "java.lang.IndexOutOfBoundsException");
    in->close();

    VMPtr<ByteArrayOutputStream> sink = ByteArrayOutputStream::create()->construct();
    VMPtr<DataOutputStream> data = DataOutputStream::create()->construct(sink);
    data->write(65);
    data->write(b);
    data->flush();
    data->close();
    EXPECT_EQ(sink->size(), 3);
    EXPECT_EQ(VM_THROWN_CLASS(data->write(66)), "java.lang.RuntimeException");  // the closed sink
}

TEST_F(DataStreamTest, WriteUTFSendsOneArrayWrite) {
    Sink sink;
    sink.out->writeUTF(str(u""));
    sink.out->writeUTF(str(std::u16string(1, u'\0')));
    sink.out->writeUTF(str(u"\u20AC"));
    sink.out->writeUTF(str(u"A\u00E9"));
    EXPECT_EQ(sink.recorder->arrayWrites, (std::vector<int>{2, 4, 5, 5}));
    EXPECT_TRUE(sink.recorder->singleWrites.empty());
    EXPECT_EQ(sink.recorder->bytes,
              (std::vector<int>{0, 0, 0, 2, 0xC0, 0x80, 0, 3, 0xE2, 0x82, 0xAC, 0, 3, 0x41, 0xC3, 0xA9}));
    sink.out->writeChars(str(u"A\u20AC"));
    EXPECT_EQ(sink.recorder->singleWrites, (std::vector<int>{0, 0x41, 0x20, 0xAC}));
}

TEST_F(DataStreamTest, WriteUTFRefusesMoreThan65535Bytes) {
    Sink sink;
    sink.out->writeUTF(str(std::u16string(21845, u'\u0800')));  // exactly 65535 bytes
    ASSERT_EQ(sink.recorder->arrayWrites, (std::vector<int>{65537}));
    EXPECT_EQ(sink.recorder->bytes[0], 0xFF);
    EXPECT_EQ(sink.recorder->bytes[1], 0xFF);

    EXPECT_EQ(VM_THROWN_CLASS(sink.out->writeUTF(str(std::u16string(21846, u'\u0800')))),
              "java.io.UTFDataFormatException");
    EXPECT_EQ(VM_THROWN_CLASS(sink.out->writeUTF(str(std::u16string(32768, u'\0')))), "java.io.UTFDataFormatException");
    EXPECT_EQ(sink.recorder->arrayWrites.size(), 1u);  // nothing more was written

    VMPtr<DataInputStream> in = sink.readBack();
    EXPECT_EQ(chars(in->readUTF()), std::u16string(21845, u'\u0800'));
}

TEST_F(DataStreamTest, ReadUTFDecodesModifiedUtf8) {
    EXPECT_EQ(chars(over({0, 0})->readUTF()), u"");
    EXPECT_EQ(chars(over({0, 2, 0xC0, 0x80})->readUTF()), std::u16string(1, u'\0'));
    EXPECT_EQ(chars(over({0, 2, 0xC3, 0x28})->readUTF()), u"\u0080");  // bad continuation byte
    EXPECT_EQ(chars(over({0, 3, 0xE2, 0x82, 0xAC, 0x41})->readUTF()), u"\u20AC");
    EXPECT_EQ(chars(over({0, 4, 0xE0, 0x80, 0x80, 0x41})->readUTF()), std::u16string(u"\0A", 2));  // overlong

    const char* malformed = "java.io.UTFDataFormatException";
    EXPECT_EQ(VM_THROWN_CLASS(over({0, 1, 0x80})->readUTF()), malformed);
    EXPECT_EQ(VM_THROWN_CLASS(over({0, 1, 0xF0})->readUTF()), malformed);
    EXPECT_EQ(VM_THROWN_CLASS(over({0, 2, 0xE2, 0x82})->readUTF()), malformed);  // form cut off
    EXPECT_EQ(VM_THROWN_CLASS(over({0, 1, 0xC3})->readUTF()), malformed);
    EXPECT_EQ(VM_THROWN_CLASS(over({0, 5, 0x41, 0x42, 0x43})->readUTF()), "java.io.EOFException");
}

TEST_F(DataStreamTest, LongStringsRoundTrip) {
    Sink sink;
    std::u16string mixed;
    for (int i = 0; i < 3000; ++i) mixed += char16_t(i % 7 == 0 ? 0 : (i * 37) % 0xFFFF);
    sink.out->writeUTF(str(mixed));
    sink.out->writeUTF(str(u"tail"));
    VMPtr<DataInputStream> in = sink.readBack();
    EXPECT_EQ(chars(in->readUTF()), mixed);
    EXPECT_EQ(chars(in->readUTF()), u"tail");
}

TEST_F(DataStreamTest, NullsThrowNullPointerException) {
    Sink sink;
    const char* npe = "java.lang.NullPointerException";
    EXPECT_EQ(VM_THROWN_CLASS(sink.out->writeUTF(VMPtr<String>())), npe);
    EXPECT_EQ(VM_THROWN_CLASS(sink.out->writeChars(VMPtr<String>())), npe);
    EXPECT_EQ(VM_THROWN_CLASS(sink.out->write(VMPtr<VMBytes>())), npe);
    VMPtr<DataInputStream> noInput = DataInputStream::create()->construct(VMPtr<InputStream>());
    EXPECT_EQ(VM_THROWN_CLASS(noInput->readInt()), npe);
    EXPECT_EQ(VM_THROWN_CLASS(noInput->readUTF()), npe);
    VMPtr<DataOutputStream> noOutput = DataOutputStream::create()->construct(VMPtr<OutputStream>());
    EXPECT_EQ(VM_THROWN_CLASS(noOutput->writeInt(1)), npe);
    EXPECT_EQ(VM_THROWN_CLASS(noOutput->writeUTF(str(u"x"))), npe);
}

}  // namespace

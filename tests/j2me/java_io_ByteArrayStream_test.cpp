// The stream bases and the byte-array streams: default bodies built on the
// single-byte operations, the shared range test, the in-memory streams'
// positions, growth, closing and text form.
#include <climits>
#include <string>
#include <vector>

#include "java_io_ByteArrayInputStream.h"
#include "java_io_ByteArrayOutputStream.h"
#include "java_io_IOException.h"
#include "java_lang_RuntimeException.h"
#include "vm_test.h"

namespace iobytetest {

// An input stream over a script of byte values; it counts its read() calls
// and throws IOException at the read whose number is failAt (1-based).
class ScriptedInput : public java::io::InputStream {
    VM_DECLARE_CLASS(ScriptedInput, java::io::InputStream)

public:
    std::vector<jint> script;
    size_t next = 0;
    int reads = 0;
    int failAt = 0;

    using InputStream::read;
    jint read() override {
        ++reads;
        if (reads == failAt) _VM_throw(java::io::IOException::create()->construct());
        if (next >= script.size()) return -1;
        return script[next++];
    }
};

// An output stream that records every write(int) argument.
class RecordingOutput : public java::io::OutputStream {
    VM_DECLARE_CLASS(RecordingOutput, java::io::OutputStream)

public:
    std::vector<jint> written;

    using OutputStream::write;
    void write(jint b) override { written.push_back(b); }
};

}  // namespace iobytetest

VM_REGISTER_CLASS(iobytetest::ScriptedInput, .name = "iobytetest.ScriptedInput")
VM_REGISTER_CLASS(iobytetest::RecordingOutput, .name = "iobytetest.RecordingOutput")

using namespace java::io;
using iobytetest::RecordingOutput;
using iobytetest::ScriptedInput;
using java::lang::String;

namespace {

VMPtr<VMBytes> bytesOf(std::initializer_list<int> values) {
    VMPtr<VMBytes> b = VMBytes::create(jint(values.size()));
    jint i = 0;
    for (int v : values) (*b)[i++] = jbyte(v);
    return b;
}

std::vector<int> contents(const VMPtr<VMBytes>& b) {
    std::vector<int> out;
    for (jint i = 0; i < b->length; ++i) out.push_back(b->get(i) & 0xFF);
    return out;
}

VMPtr<ScriptedInput> scripted(std::vector<jint> script) {
    VMPtr<ScriptedInput> in = ScriptedInput::create();
    in->construct();
    in->script = std::move(script);
    return in;
}

class StreamBaseTest : public VMTest {};
class ByteArrayInputStreamTest : public VMTest {};
class ByteArrayOutputStreamTest : public VMTest {};

// --- the bases ----------------------------------------------------------------

TEST_F(StreamBaseTest, ClassesAreRegisteredAsAbstract) {
    for (const char* name : {"java.io.InputStream", "java.io.OutputStream"}) {
        java::lang::Class* record = _VM_findClass(name);
        ASSERT_NE(record, nullptr) << name;
        EXPECT_TRUE(record->isAbstractFlag) << name;
        EXPECT_EQ(VM_THROWN_CLASS(record->newInstance()), "java.lang.InstantiationException");
    }
    EXPECT_EQ(_VM_superClass(_VM_classRegistry(), ByteArrayInputStream::_VM_getClass()), InputStream::_VM_getClass());
    EXPECT_EQ(_VM_superClass(_VM_classRegistry(), ByteArrayOutputStream::_VM_getClass()), OutputStream::_VM_getClass());
}

TEST_F(StreamBaseTest, ArrayReadLoopsOverSingleByteReads) {
    VMPtr<ScriptedInput> in = scripted({1, 2, 255});
    VMPtr<VMBytes> b = VMBytes::create(6);
    EXPECT_EQ(in->read(b, 0, 0), 0);
    EXPECT_EQ(in->reads, 0);  // len 0 reads nothing
    EXPECT_EQ(in->read(b, 1, 5), 3);
    EXPECT_EQ(contents(b), (std::vector<int>{0, 1, 2, 255, 0, 0}));
    EXPECT_EQ(in->read(b, 0, 6), -1);
    EXPECT_EQ(in->read(b), -1);
}

TEST_F(StreamBaseTest, LaterReadFailureEndsTheArrayReadButTheFirstPropagates) {
    VMPtr<ScriptedInput> in = scripted({7, 8, 9});
    in->failAt = 2;
    VMPtr<VMBytes> b = VMBytes::create(4);
    EXPECT_EQ(in->read(b, 0, 4), 1);
    EXPECT_EQ(b->get(0), 7);
    EXPECT_EQ(b->get(1), 0);

    VMPtr<ScriptedInput> failing = scripted({7});
    failing->failAt = 1;
    EXPECT_EQ(VM_THROWN_CLASS(failing->read(b, 0, 4)), "java.io.IOException");
}

TEST_F(StreamBaseTest, RangeAndNullTestsComeBeforeAnyRead) {
    VMPtr<ScriptedInput> in = scripted({1, 2, 3});
    VMPtr<VMBytes> b = VMBytes::create(6);
    const char* ioobe = "java.lang.IndexOutOfBoundsException";
    EXPECT_EQ(VM_THROWN_TEXT(in->read(b, 2, 5)), ioobe);  // no message
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, -1, 1)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 7, 0)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 0, -1)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 1, INT_MAX)), ioobe);  // the sum overflows
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, INT_MAX, INT_MAX)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(VMPtr<VMBytes>(), 0, 1)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(in->read(VMPtr<VMBytes>())), "java.lang.NullPointerException");
    EXPECT_EQ(in->reads, 0);
    EXPECT_EQ(in->read(b, 6, 0), 0);  // off at the end with len 0 is fine
}

TEST_F(StreamBaseTest, SkipAndMarkDefaults) {
    VMPtr<ScriptedInput> in = scripted({1, 2, 3, 4});
    EXPECT_EQ(in->skip(0), 0);
    EXPECT_EQ(in->skip(-3), 0);
    EXPECT_EQ(in->reads, 0);
    EXPECT_EQ(in->skip(10), 4);
    EXPECT_EQ(in->available(), 0);
    EXPECT_FALSE(in->markSupported());
    in->mark(10);
    EXPECT_EQ(VM_THROWN_TEXT(in->reset()), "java.io.IOException: mark/reset not supported");
    in->close();
}

TEST_F(StreamBaseTest, ArrayWritePassesEachByteSignExtended) {
    VMPtr<RecordingOutput> out = RecordingOutput::create();
    out->construct();
    VMPtr<VMBytes> b = bytesOf({1, 0xFF, 0x80, 5});
    out->write(b, 1, 2);
    EXPECT_EQ(out->written, (std::vector<jint>{-1, -128}));
    out->write(b);
    EXPECT_EQ(out->written.size(), 6u);
    EXPECT_EQ(VM_THROWN_CLASS(out->write(b, 3, 2)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(out->write(b, 2, INT_MAX)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(out->write(VMPtr<VMBytes>(), 0, 0)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(out->write(VMPtr<VMBytes>())), "java.lang.NullPointerException");
    EXPECT_EQ(out->written.size(), 6u);
    out->flush();
    out->close();
}

// --- ByteArrayInputStream ----------------------------------------------------------

TEST_F(ByteArrayInputStreamTest, ReadsBytesUnsignedAndThenEnd) {
    VMPtr<ByteArrayInputStream> in = ByteArrayInputStream::create()->construct(bytesOf({0xFF, 0, 0x41}));
    EXPECT_EQ(in->available(), 3);
    EXPECT_EQ(in->read(), 255);
    EXPECT_EQ(in->read(), 0);
    EXPECT_EQ(in->read(), 0x41);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(), -1);
    VMPtr<VMBytes> b = VMBytes::create(2);
    EXPECT_EQ(in->read(b, 0, 0), -1);  // at the end even len 0 gives -1
}

TEST_F(ByteArrayInputStreamTest, ArrayReadIsCutToWhatIsLeft) {
    VMPtr<VMBytes> source = bytesOf({1, 2, 3, 4, 5});
    VMPtr<ByteArrayInputStream> in = ByteArrayInputStream::create()->construct(source);
    VMPtr<VMBytes> b = VMBytes::create(8);
    EXPECT_EQ(in->read(b, 1, 3), 3);
    EXPECT_EQ(in->read(b, 4, 4), 2);
    EXPECT_EQ(contents(b), (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 0}));
    EXPECT_EQ(in->read(b, 0, 8), -1);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 5, 4)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(in->read(VMPtr<VMBytes>(), 0, 1)), "java.lang.NullPointerException");
    // The array is shared, not copied.
    source->set(0, 9);
    in->reset();
    EXPECT_EQ(in->read(), 9);
}

TEST_F(ByteArrayInputStreamTest, OffsetFormCountsAndMarks) {
    VMPtr<VMBytes> ten = VMBytes::create(10);
    for (jint i = 0; i < 10; ++i) (*ten)[i] = jbyte(i);
    VMPtr<ByteArrayInputStream> in = ByteArrayInputStream::create()->construct(ten, 8, 5);
    EXPECT_EQ(in->count, 10);
    EXPECT_EQ(in->available(), 2);
    EXPECT_EQ(in->read(), 8);
    in->reset();  // before any mark: back to the offset
    EXPECT_EQ(in->read(), 8);
    in->mark(0);
    EXPECT_EQ(in->read(), 9);
    in->reset();
    EXPECT_EQ(in->read(), 9);
    EXPECT_TRUE(in->markSupported());

    // An offset plus length beyond 32 bits still ends at the array's end.
    VMPtr<ByteArrayInputStream> wide = ByteArrayInputStream::create()->construct(ten, 2, INT_MAX);
    EXPECT_EQ(wide->count, 10);
    EXPECT_EQ(wide->available(), 8);
}

TEST_F(ByteArrayInputStreamTest, SkipIsClampedToWhatIsLeft) {
    VMPtr<ByteArrayInputStream> in = ByteArrayInputStream::create()->construct(bytesOf({1, 2, 3, 4}));
    EXPECT_EQ(in->skip(-5), 0);
    EXPECT_EQ(in->skip(1), 1);
    EXPECT_EQ(in->skip(INT64_MAX), 3);
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->skip(1), 0);
    EXPECT_EQ(in->read(), -1);
}

TEST_F(ByteArrayInputStreamTest, PositionsOutsideTheArrayNeverTouchIt) {
    EXPECT_EQ(VM_THROWN_CLASS(ByteArrayInputStream::create()->construct(VMPtr<VMBytes>())),
              "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(ByteArrayInputStream::create()->construct(VMPtr<VMBytes>(), 0, 1)),
              "java.lang.NullPointerException");

    VMPtr<VMBytes> four = bytesOf({1, 2, 3, 4});
    VMPtr<VMBytes> b = VMBytes::create(4);
    VMPtr<ByteArrayInputStream> before = ByteArrayInputStream::create()->construct(four, -3, 5);
    EXPECT_EQ(VM_THROWN_CLASS(before->read()), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(before->read(b, 0, 4)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(before->skip(3), 3);  // back inside the array
    EXPECT_EQ(before->read(), 1);

    VMPtr<ByteArrayInputStream> after = ByteArrayInputStream::create()->construct(four, 9, 2);
    EXPECT_EQ(after->read(), -1);
    EXPECT_EQ(after->read(b, 0, 4), -1);
    EXPECT_EQ(after->skip(5), 0);
}

// --- ByteArrayOutputStream ----------------------------------------------------------

TEST_F(ByteArrayOutputStreamTest, GrowsByDoublingOrToWhatIsNeeded) {
    EXPECT_EQ(VM_THROWN_TEXT(ByteArrayOutputStream::create()->construct(-1)),
              "java.lang.IllegalArgumentException: Negative initial size");

    VMPtr<ByteArrayOutputStream> out = ByteArrayOutputStream::create()->construct();
    EXPECT_EQ(out->buf->length, 32);
    for (int i = 0; i < 33; ++i) out->write(i);
    EXPECT_EQ(out->buf->length, 64);
    EXPECT_EQ(out->size(), 33);
    VMPtr<VMBytes> copy = out->toByteArray();
    EXPECT_EQ(copy->length, 33);
    EXPECT_EQ(copy->get(32), 32);

    VMPtr<ByteArrayOutputStream> empty = ByteArrayOutputStream::create()->construct(0);
    empty->write(bytesOf({1, 2, 3, 4, 5}), 0, 5);
    EXPECT_EQ(empty->buf->length, 5);
    empty->write(bytesOf({6}), 0, 1);
    EXPECT_EQ(empty->buf->length, 10);
    EXPECT_EQ(contents(empty->toByteArray()), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(ByteArrayOutputStreamTest, ArrayWriteChecksItsRange) {
    VMPtr<ByteArrayOutputStream> out = ByteArrayOutputStream::create()->construct();
    VMPtr<VMBytes> b = bytesOf({1, 2, 3});
    out->write(b, 3, 0);
    EXPECT_EQ(VM_THROWN_CLASS(out->write(b, 2, 2)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(out->write(b, -1, 1)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(out->write(b, 1, INT_MAX)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(out->write(VMPtr<VMBytes>(), 0, 0)), "java.lang.NullPointerException");
    EXPECT_EQ(out->size(), 0);
}

TEST_F(ByteArrayOutputStreamTest, ResetKeepsTheBuffer) {
    VMPtr<ByteArrayOutputStream> out = ByteArrayOutputStream::create()->construct(4);
    out->write(bytesOf({1, 2, 3, 4, 5, 6}), 0, 6);
    VMBytes* kept = out->buf.get();
    out->reset();
    EXPECT_EQ(out->size(), 0);
    EXPECT_EQ(out->buf.get(), kept);
    out->write(9);
    EXPECT_EQ(contents(out->toByteArray()), (std::vector<int>{9}));
}

TEST_F(ByteArrayOutputStreamTest, ClosedStreamRefusesSingleWritesButAppendsArrays) {
    VMPtr<ByteArrayOutputStream> out = ByteArrayOutputStream::create()->construct(3);
    out->write(1);
    out->close();
    const char* refused = "java.lang.RuntimeException: Writing to closed ByteArrayOutputStream";
    EXPECT_EQ(VM_THROWN_TEXT(out->write(2)), refused);
    EXPECT_EQ(VM_THROWN_TEXT(out->reset()), refused);
    EXPECT_EQ(out->size(), 1);

    // Not full: a copy. Exactly full: the internal array itself.
    VMPtr<VMBytes> partial = out->toByteArray();
    EXPECT_NE(partial.get(), out->buf.get());
    out->write(bytesOf({2, 3}), 0, 2);
    EXPECT_EQ(out->size(), 3);
    EXPECT_EQ(out->toByteArray().get(), out->buf.get());
    EXPECT_EQ(contents(out->toByteArray()), (std::vector<int>{1, 2, 3}));
}

TEST_F(ByteArrayOutputStreamTest, ToStringDecodesUtf8) {
    VMPtr<ByteArrayOutputStream> out = ByteArrayOutputStream::create()->construct();
    out->write(bytesOf({0x48, 0x69}));
    EXPECT_EQ(text(out->toString()), "Hi");

    auto decoded = [](std::initializer_list<int> bytes) {
        VMPtr<ByteArrayOutputStream> o = ByteArrayOutputStream::create()->construct();
        o->write(bytesOf(bytes));
        VMPtr<String> s = o->toString();
        return std::u16string(s->_VM_chars(), size_t(s->length()));
    };
    EXPECT_EQ(decoded({0xE2, 0x82, 0xAC, 0xC3, 0xA9}), u"\u20AC\u00E9");
    EXPECT_EQ(decoded({0xC0, 0x80}), std::u16string(1, u'\0'));
    EXPECT_EQ(decoded({0xC3, 0x28}), u"\u0080");         // bad continuation byte
    EXPECT_EQ(decoded({0x41, 0xE2, 0x82}), u"A\u0080");  // cut-off form
    EXPECT_EQ(decoded({}), u"");

    const char* malformed = "java.lang.RuntimeException: Improperly formatted UTF-8 string.";
    VMPtr<ByteArrayOutputStream> bad = ByteArrayOutputStream::create()->construct();
    bad->write(bytesOf({0x41, 0x80}));
    EXPECT_EQ(VM_THROWN_TEXT(bad->toString()), malformed);
    bad = ByteArrayOutputStream::create()->construct();
    bad->write(bytesOf({0xF0, 0x9F, 0x98, 0x80}));
    EXPECT_EQ(VM_THROWN_TEXT(bad->toString()), malformed);
}

TEST_F(ByteArrayOutputStreamTest, NewInstanceGivesTheDefaultStream) {
    VMPtr<java::lang::Object> made = ByteArrayOutputStream::_VM_getClass()->newInstance();
    auto* out = dynamic_cast<ByteArrayOutputStream*>(made.get());
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->buf->length, 32);
    EXPECT_EQ(out->size(), 0);
}

TEST_F(ByteArrayOutputStreamTest, CountsBeyond32BitsAreOutOfMemory) {
    // Only the count is set: nothing that large is allocated.
    VMPtr<ByteArrayOutputStream> out = ByteArrayOutputStream::create()->construct(4);
    out->count = INT_MAX;
    EXPECT_EQ(VM_THROWN_CLASS(out->write(1)), "java.lang.OutOfMemoryError");
    out->count = INT_MAX - 2;
    EXPECT_EQ(VM_THROWN_CLASS(out->write(bytesOf({1, 2, 3}), 0, 3)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(out->buf->length, 4);
}

}  // namespace

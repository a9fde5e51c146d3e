// Every primitive argument type reaches the overload Java source would call,
// without a cast: boolean, char, int, long, float and double their own form,
// byte and short widened to int. That this file compiles is most of the
// test (an ambiguous or missing form is a compile error); the texts are
// checked too.
#include <string>

#include "java_io_ByteArrayOutputStream.h"
#include "java_io_OutputStreamWriter.h"
#include "java_io_PrintStream.h"
#include "java_lang_Integer.h"
#include "java_lang_String.h"
#include "java_lang_StringBuffer.h"
#include "text_test_support.h"

using namespace java::lang;
using namespace texttest;

namespace {

// One value of each primitive type, and the texts Java gives them in order.
constexpr jboolean kBoolean = true;
constexpr jbyte kByte = -5;
constexpr jchar kChar = u'x';
constexpr jshort kShort = 300;
constexpr jint kInt = -70000;
constexpr jlong kLong = 5000000000LL;
constexpr jfloat kFloat = 0.5f;
constexpr jdouble kDouble = 2.25;
const std::string kTexts = "true|-5|x|300|-70000|5000000000|0.5|2.25|";

// Calls f with each value above, each with its own type.
template <class F>
void eachPrimitive(F f) {
    f(kBoolean);
    f(kByte);
    f(kChar);
    f(kShort);
    f(kInt);
    f(kLong);
    f(kFloat);
    f(kDouble);
}

std::string utf8(const VMPtr<String>& s) { return s->_VM_toStdString(); }

// Neither a raw object pointer (which would pass as a boolean) nor a C
// character (which would pass as an int) is accepted.
template <class A>
concept ValueOfTakes = requires(A a) {
    String::valueOf(a);
};
template <class A>
concept AppendTakes = requires(StringBuffer* b, A a) {
    b->append(a);
};
template <class A>
concept InsertTakes = requires(StringBuffer* b, A a) {
    b->insert(0, a);
};
template <class A>
concept PrintlnTakes = requires(java::io::PrintStream* out, A a) {
    out->println(a);
};
static_assert(ValueOfTakes<jshort> && AppendTakes<jlong> && InsertTakes<jbyte> && PrintlnTakes<jfloat>);
static_assert(!ValueOfTakes<Object*> && !AppendTakes<String*> && !InsertTakes<Object*> && !PrintlnTakes<String*>);
static_assert(!ValueOfTakes<char> && !AppendTakes<char> && !InsertTakes<char> && !PrintlnTakes<char>);

class PrimitiveOverloadTest : public VMTest {};

TEST_F(PrimitiveOverloadTest, StringValueOf) {
    std::string all;
    eachPrimitive([&](auto value) { all += utf8(String::valueOf(value)) + "|"; });
    EXPECT_EQ(all, kTexts);
}

TEST_F(PrimitiveOverloadTest, StringBufferAppendAndInsert) {
    VMPtr<StringBuffer> appended = StringBuffer::create()->construct();
    VMPtr<StringBuffer> inserted = StringBuffer::create()->construct();
    eachPrimitive([&](auto value) {
        appended->append(value)->append(u'|');
        inserted->insert(inserted->length(), value)->insert(inserted->length(), u'|');
    });
    EXPECT_EQ(utf8(appended->toString()), kTexts);
    EXPECT_EQ(utf8(inserted->toString()), kTexts);
}

TEST_F(PrimitiveOverloadTest, PrintStreamPrintAndPrintln) {
    VMPtr<java::io::ByteArrayOutputStream> bytes = java::io::ByteArrayOutputStream::create()->construct();
    VMPtr<java::io::PrintStream> out = java::io::PrintStream::create()->construct(bytes);
    eachPrimitive([&](auto value) {
        out->print(value);
        out->print(u'|');
    });
    eachPrimitive([&](auto value) { out->println(value); });
    EXPECT_EQ(utf8(bytes->toString()), kTexts + "true\n-5\nx\n300\n-70000\n5000000000\n0.5\n2.25\n");
}

// The int-taking operations take what Java widens to int: byte, short, char.
TEST_F(PrimitiveOverloadTest, IntOperationsTakeByteShortAndChar) {
    VMPtr<java::io::ByteArrayOutputStream> bytes = java::io::ByteArrayOutputStream::create()->construct();
    bytes->write(jbyte('a'));
    bytes->write(jshort('b'));
    bytes->write(jchar(u'c'));
    bytes->write(jint('d'));
    VMPtr<java::io::OutputStreamWriter> writer = java::io::OutputStreamWriter::create()->construct(bytes);
    writer->write(jchar(u'\u00E9'));
    writer->write(jbyte('!'));
    EXPECT_EQ(utf8(bytes->toString()), "abcd\u00E9!");

    EXPECT_EQ(str("abx")->indexOf(kChar), 2);
    EXPECT_EQ(utf8(Integer::toString(kByte)) + utf8(Integer::toString(kShort)), "-5300");
}

}  // namespace

// java.lang.StringBuffer: growth, appends and inserts, sharing with strings
// and copy-on-write, setLength, getChars, monitors and misuse.
#include <cstdio>

#include "hal.h"
#include "java_lang_Integer.h"
#include "java_lang_StringBuffer.h"
#include "text_test_support.h"

using namespace java::lang;
using namespace texttest;

namespace {

VMPtr<StringBuffer> buffer() { return StringBuffer::create()->construct(); }

jint capacity(const VMPtr<StringBuffer>& b) { return b->value->length; }

class StringBufferTest : public VMTest {};

TEST_F(StringBufferTest, CapacityGrowsByDoublingPlusTwoOrToWhatOneAppendNeeds) {
    VMPtr<StringBuffer> b = buffer();
    EXPECT_EQ(capacity(b), 16);
    for (int i = 0; i < 17; ++i) b->append(u'x');
    EXPECT_EQ(capacity(b), 34);
    for (int i = 0; i < 18; ++i) b->append(u'y');
    EXPECT_EQ(capacity(b), 70);
    EXPECT_EQ(b->length(), 35);

    VMPtr<StringBuffer> big = buffer();
    big->append(str16(std::u16string(100, u'z')));
    EXPECT_EQ(capacity(big), 100);
    EXPECT_EQ(capacity(StringBuffer::create()->construct(str("abc"))), 19);
    EXPECT_EQ(capacity(StringBuffer::create()->construct("h\xC3\xA9")), 19);
    EXPECT_EQ(capacity(StringBuffer::create()->construct(0)), 0);
    EXPECT_EQ(VM_THROWN_CLASS(StringBuffer::create()->construct(-1)), "java.lang.NegativeArraySizeException");
    VMPtr<Object> made = StringBuffer::_VM_getClass()->newInstance();
    EXPECT_EQ(dynamic_cast<StringBuffer*>(made.get())->value->length, 16);
}

TEST_F(StringBufferTest, AppendsOfEveryKind) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct(str("n="));
    b->append(jint(-2147483647 - 1))->append(u' ')->append(VMPtr<String>())->append(u' ');
    b->append(VMPtr<Object>())->append(u' ')->append(VMPtr<Object>(Integer::create()->construct(7)));
    b->append("|caf\xC3\xA9")->append("xyz", 2);
    EXPECT_EQ(chars(b->toString()), u"n=-2147483648 null null 7|caf\u00E9xy");
    // Counted UTF-8 ends before a bad lead byte, without an exception.
    VMPtr<StringBuffer> c = StringBuffer::create()->construct(
        "a\xFF"
        "b");
    EXPECT_EQ(chars(c->toString()), u"a");
    c->append("\xC0\x80z", 3);
    EXPECT_EQ(chars(c->toString()), std::u16string(u"a") + u'\0' + u"z");
    c->append("ignored", -4);
    EXPECT_EQ(c->length(), 3);
    EXPECT_EQ(VM_THROWN_CLASS(c->append(static_cast<const char*>(nullptr))), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(c->append(static_cast<const char*>(nullptr), 3)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(StringBuffer::create()->construct(VMPtr<String>())), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(StringBuffer::create()->construct(static_cast<const char*>(nullptr))),
              "java.lang.NullPointerException");
}

TEST_F(StringBufferTest, AppendingItsOwnTextWorks) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("abcdefghij");
    b->append(b->toString());
    EXPECT_EQ(chars(b->toString()), u"abcdefghijabcdefghij");
    b->append(b->toString());  // this time it must grow
    EXPECT_EQ(b->length(), 40);
    EXPECT_EQ(chars(b->toString()->substring(30)), u"abcdefghij");
    b->insert(3, b->toString());
    EXPECT_EQ(b->length(), 80);
    EXPECT_EQ(chars(b->toString()->substring(0, 6)), u"abcabc");
}

TEST_F(StringBufferTest, ToStringSharesAndLaterChangesCopyFirst) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("hello");
    VMPtr<String> s = b->toString();
    EXPECT_EQ(s->value.get(), b->value.get());
    EXPECT_TRUE(b->shared);
    // Appending writes above the string's count: no copy needed.
    b->append(u'!');
    EXPECT_EQ(b->value.get(), s->value.get());
    EXPECT_EQ(chars(s), u"hello");
    // Inserting copies first.
    b->insert(0, u'>');
    EXPECT_NE(b->value.get(), s->value.get());
    EXPECT_FALSE(b->shared);
    EXPECT_EQ(chars(s), u"hello");
    EXPECT_EQ(chars(b->toString()), u">hello!");

    // setLength(0) of a shared buffer gives a fresh default array.
    VMPtr<String> t = b->toString();
    b->setLength(0);
    EXPECT_EQ(capacity(b), 16);
    EXPECT_NE(b->value.get(), t->value.get());
    EXPECT_FALSE(b->shared);
    EXPECT_EQ(chars(t), u">hello!");

    // Shrinking to a smaller length copies; growing pads with U+0000.
    b->append("abcdef");
    VMPtr<String> u = b->toString();
    b->setLength(2);
    EXPECT_NE(b->value.get(), u->value.get());
    b->setLength(4);
    EXPECT_EQ(chars(b->toString()), std::u16string(u"ab") + u'\0' + u'\0');
    EXPECT_EQ(chars(u), u"abcdef");
    VMPtr<String> v = b->toString();
    b->setLength(6);
    b->insert(0, str("Z"));
    EXPECT_EQ(chars(v), std::u16string(u"ab") + u'\0' + u'\0');
}

TEST_F(StringBufferTest, SetLengthRangesAndGrowth) {
    VMPtr<StringBuffer> b = buffer();
    b->append("abc");
    b->setLength(40);
    EXPECT_EQ(capacity(b), 40);
    EXPECT_EQ(b->length(), 40);
    EXPECT_EQ(b->toString()->charAt(39), u'\0');
    EXPECT_EQ(VM_THROWN_TEXT(b->setLength(-1)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -1");
    EXPECT_EQ(b->length(), 40);
    b->setLength(1);
    EXPECT_EQ(chars(b->toString()), u"a");
}

TEST_F(StringBufferTest, InsertsAtAnyOffsetAndRejectsBadOnesWithoutChange) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("ace");
    b->insert(1, u'b')->insert(3, str("d"))->insert(5, jint(42))->insert(0, VMPtr<String>());
    EXPECT_EQ(chars(b->toString()), u"nullabcde42");
    b->insert(b->length(), str("!"));  // at the end: an append
    EXPECT_EQ(chars(b->toString()), u"nullabcde42!");

    VMPtr<StringBuffer> c = StringBuffer::create()->construct("xy");
    EXPECT_EQ(VM_THROWN_TEXT(c->insert(3, str("z"))), "java.lang.StringIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_TEXT(c->insert(-1, str("z"))), "java.lang.StringIndexOutOfBoundsException");
    // A char is moved in by the array copy, whose range check rejects the offset.
    for (jint bad : {3, -1, INT32_MAX, INT32_MIN})
        EXPECT_EQ(VM_THROWN_CLASS(c->insert(bad, u'z')), "java.lang.ArrayIndexOutOfBoundsException") << bad;
    EXPECT_EQ(VM_THROWN_CLASS(c->insert(INT32_MIN, jint(5))), "java.lang.StringIndexOutOfBoundsException");
    EXPECT_EQ(chars(c->toString()), u"xy");
    EXPECT_EQ(capacity(c), 18);
}

TEST_F(StringBufferTest, GetCharsChecksAndMessages) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("hello");
    VMPtr<VMChars> dst = VMChars::create(3);
    b->getChars(1, 4, dst, 0);
    EXPECT_EQ(dst->get(0), u'e');
    EXPECT_EQ(dst->get(2), u'l');
    EXPECT_EQ(VM_THROWN_TEXT(b->getChars(3, 2, dst, 0)),
              "java.lang.StringIndexOutOfBoundsException: srcBegin > srcEnd");
    EXPECT_EQ(VM_THROWN_TEXT(b->getChars(-1, 2, dst, 0)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -1");
    EXPECT_EQ(VM_THROWN_TEXT(b->getChars(0, 6, dst, 0)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: 6");
    EXPECT_EQ(VM_THROWN_TEXT(b->getChars(0, -1, dst, 0)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -1");
    EXPECT_EQ(VM_THROWN_CLASS(b->getChars(0, 4, dst, 0)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(b->getChars(0, 1, dst, -1)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(b->getChars(0, 1, VMPtr<VMChars>(), 0)), "java.lang.NullPointerException");
}

TEST_F(StringBufferTest, OperationsGiveTheMonitorBackAlsoWhenThrowing) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("abc");
    b->append(u'd');
    EXPECT_EQ(b->_VM_owner, nullptr);
    EXPECT_EQ(VM_THROWN_CLASS(b->insert(9, u'x')), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(b->_VM_owner, nullptr);
    EXPECT_EQ(b->_VM_count, 0);
    {
        // Held by the caller: the operations re-enter it.
        VMSynchronized lock(b);
        b->append(str("e"))->setLength(3);
        EXPECT_EQ(b->_VM_count, 1);
    }
    EXPECT_EQ(b->_VM_owner, nullptr);
}

// Lengths beyond what an int can count are refused before anything changes.
TEST_F(StringBufferTest, OverflowingLengthsAreOutOfMemoryNotWrapped) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("abc");
    // Pretend the buffer already holds INT32_MAX characters: the added length
    // must not wrap to a small or negative count.
    VMPtr<String> two = str("xy");
    const jint saved = b->count;
    b->count = INT32_MAX - 1;
    EXPECT_EQ(VM_THROWN_CLASS(b->append(two)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(VM_THROWN_CLASS(b->insert(0, two)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(VM_THROWN_CLASS(b->append("xyz", 3)), "java.lang.OutOfMemoryError");
    b->count = INT32_MAX;
    EXPECT_EQ(VM_THROWN_CLASS(b->append(u'x')), "java.lang.OutOfMemoryError");
    EXPECT_EQ(VM_THROWN_CLASS(b->insert(0, u'x')), "java.lang.OutOfMemoryError");
    EXPECT_EQ(b->count, INT32_MAX);
    b->count = saved;
    EXPECT_EQ(chars(b->toString()), u"abc");
}

TEST_F(StringBufferTest, HugeGrowthRequestsFailCleanly) {
    VMPtr<StringBuffer> b = StringBuffer::create()->construct("abc");
    EXPECT_EQ(VM_THROWN_CLASS(b->setLength(INT32_MAX)), "java.lang.OutOfMemoryError");
    EXPECT_EQ(chars(b->toString()), u"abc");
    EXPECT_EQ(capacity(b), 19);
}

void printFatal(const char* message) { std::fprintf(stderr, "fatal: %s\n", message); }

class StringBufferDeathTest : public VMTest {};

TEST_F(StringBufferDeathTest, AppendingToAnUnconstructedBufferIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            StringBuffer::create()->append(u'x');
        },
        testing::ExitedWithCode(1), "Using StringBuffer without initialization!");
    EXPECT_EXIT(
        {
            HAL_setFatalHook(printFatal);
            StringBuffer::create()->append("text");
        },
        testing::ExitedWithCode(1), "Using StringBuffer without initialization!");
}

}  // namespace

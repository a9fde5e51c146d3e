// java.lang.String and the UTF-8 codec: construction and decoding, queries,
// derived strings, the intern table and the runtime entry points.
#include <cstring>
#include <random>
#include <vector>

#include "hal_string.h"
#include "java_lang_String.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_StringBuffer.h"
#include "text_test_support.h"

using namespace java::lang;
using namespace texttest;

namespace {

std::string encode(const std::u16string& s, bool modified, jint room, bool terminate, jint* written = nullptr) {
    std::string out(size_t(room > 0 ? room : 0) + 4, '#');
    jint r = room;
    EXPECT_EQ(_VM_utf8Encode(reinterpret_cast<uint8_t*>(out.data()), r, s.data(), jint(s.size()), modified, terminate),
              jint(s.size()));
    if (written != nullptr) *written = r;
    return out;
}

std::u16string decodeAll(const std::string& in, bool* okOut = nullptr, jint* consumed = nullptr) {
    std::u16string out(in.size() + 1, u'#');
    jint n = jint(out.size());
    bool ok = false;
    jint used = _VM_utf8Decode(out.data(), n, reinterpret_cast<const uint8_t*>(in.data()), jint(in.size()), ok);
    if (okOut != nullptr) *okOut = ok;
    if (consumed != nullptr) *consumed = used;
    out.resize(size_t(n));
    return out;
}

// --- codec ----------------------------------------------------------------------------

class Utf8CodecTest : public VMTest {};

TEST_F(Utf8CodecTest, EncodesOneToThreeBytesAndModifiedZero) {
    EXPECT_EQ(encode(u"A\u00E9\u20AC", false, 6, false), "A\xC3\xA9\xE2\x82\xAC####");
    // A surrogate pair is two separately encoded units.
    EXPECT_EQ(encode(u"\xD83D\xDE00", false, 6, false), "\xED\xA0\xBD\xED\xB8\x80####");
    EXPECT_EQ(encode(std::u16string(1, u'\0'), true, 2, false), std::string("\xC0\x80####", 6));
    EXPECT_EQ(encode(std::u16string(1, u'\0'), false, 1, false), std::string("\0####", 5));
    const std::u16string mixed = std::u16string(u"a") + u'\0' + u"\u07FF\u0800";
    EXPECT_EQ(_VM_utf8Length(mixed.data(), jint(mixed.size()), true), 1 + 2 + 2 + 3);
    EXPECT_EQ(_VM_utf8Length(mixed.data(), jint(mixed.size()), false), 1 + 1 + 2 + 3);
    EXPECT_EQ(_VM_utf8Length(mixed.data(), 0, true), 0);
    EXPECT_EQ(_VM_utf8Length(mixed.data(), -3, true), 0);
}

TEST_F(Utf8CodecTest, EncodeCharReportsRoomAndWritesNothingThatDoesNotFit) {
    uint8_t buffer[4] = {0, 0, 0, 0};
    uint8_t* p = buffer;
    EXPECT_EQ(_VM_utf8EncodeChar(u'\u20AC', 2, p, false), -1);
    EXPECT_EQ(p, buffer);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(_VM_utf8EncodeChar(u'x', 0, p, false), 0);
    EXPECT_EQ(_VM_utf8EncodeChar(u'x', -5, p, false), -5);
    EXPECT_EQ(p, buffer);
    EXPECT_EQ(_VM_utf8EncodeChar(u'\u20AC', 4, p, false), 1);
    EXPECT_EQ(p, buffer + 3);
}

TEST_F(Utf8CodecTest, EncodeStopsAtTheFirstCharacterThatDoesNotFitAndTerminates) {
    jint written = -1;
    // Room 4 with a terminator: 3 bytes for text; the euro sign would need 3
    // after "a", so only "a" and then the NUL are written.
    EXPECT_EQ(encode(u"a\u20ACb", false, 4, true, &written), std::string("a\0######", 8));
    EXPECT_EQ(written, 1);
    EXPECT_EQ(encode(u"ab", false, 3, true, &written), std::string("ab\0####", 7));
    EXPECT_EQ(written, 2);
    EXPECT_EQ(encode(u"ab", false, 2, false, &written), "ab####");
    EXPECT_EQ(written, 2);
    // No room at all: nothing, not even a terminator.
    EXPECT_EQ(encode(u"ab", false, 0, true, &written), "####");
    EXPECT_EQ(written, 0);
}

TEST_F(Utf8CodecTest, DecodesFormsOverlongZeroAndBrokenSequences) {
    bool ok = false;
    EXPECT_EQ(decodeAll("A\xC3\xA9\xE2\x82\xAC", &ok), u"A\u00E9\u20AC");
    EXPECT_TRUE(ok);
    EXPECT_EQ(decodeAll("\xC0\x80"), std::u16string(1, u'\0'));
    // A bad continuation byte gives U+0080 and is swallowed.
    EXPECT_EQ(decodeAll("\xC3\x28"), u"\u0080");
    jint consumed = 0;
    // A form cut off by the end: U+0080, and the missing byte is counted.
    EXPECT_EQ(decodeAll("\xE2\x82", &ok, &consumed), u"\u0080");
    EXPECT_TRUE(ok);
    EXPECT_EQ(consumed, 3);
    // A four-byte lead or a stray continuation fails; the failed character is
    // stored as 0 and ends the decode.
    EXPECT_EQ(decodeAll("a\xF0\x9F\x98\x80", &ok, &consumed), std::u16string(u"a") + u'\0');
    EXPECT_FALSE(ok);
    EXPECT_EQ(decodeAll("\x80z", &ok), std::u16string(1, u'\0'));
    EXPECT_FALSE(ok);
}

TEST_F(Utf8CodecTest, DecodeCharFailureLeavesThePointerOnTheByte) {
    const uint8_t in[] = {0xBF, 0x41};
    const uint8_t* p = in;
    jint remaining = 2;
    bool ok = true;
    EXPECT_EQ(_VM_utf8DecodeChar(remaining, p, ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(p, in);
    EXPECT_EQ(remaining, 1);
    remaining = 0;
    EXPECT_EQ(_VM_utf8DecodeChar(remaining, p, ok), 0x80);
    EXPECT_TRUE(ok);
    EXPECT_EQ(remaining, -1);
    EXPECT_EQ(p, in);
}

TEST_F(Utf8CodecTest, DecodeStopsWhenTheDestinationIsFull) {
    jchar out[2] = {0, 0};
    jint n = 2;
    bool ok = false;
    EXPECT_EQ(_VM_utf8Decode(out, n, reinterpret_cast<const uint8_t*>("abc"), 3, ok), 2);
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(ok);
    n = 0;
    EXPECT_EQ(_VM_utf8Decode(out, n, reinterpret_cast<const uint8_t*>("abc"), 3, ok), 0);
    EXPECT_EQ(n, 0);
}

// The codec takes runs of one-byte forms at once: on random mixes of one-,
// two- and three-byte characters, zeros and bad bytes, with every kind of
// room, it gives what one character at a time gives.
TEST_F(Utf8CodecTest, RunsOfOneByteFormsGiveWhatOneCharacterAtATimeGives) {
    std::mt19937 random(7);
    const jchar pool[] = {u'a', u'z', u'\x7F', u'\0', u'\u00E9', u'\u07FF', u'\u20AC', u'\uFFFF'};
    for (int round = 0; round < 400; ++round) {
        std::u16string text;
        for (int i = int(random() % 40); i > 0; --i) text += pool[random() % (random() % 2 ? 2 : 8)];
        const bool modified = random() % 2 != 0;
        const jint room = jint(random() % 90) - 2;
        // Encoding, against one character at a time.
        std::string expected(size_t(room > 0 ? room : 0) + 4, '#');
        uint8_t* p = reinterpret_cast<uint8_t*>(expected.data());
        for (jint i = 0, left = room; i < jint(text.size()) && left > 0; ++i)
            left = _VM_utf8EncodeChar(text[size_t(i)], left, p, modified);
        jint written = -1;
        ASSERT_EQ(encode(text, modified, room, false, &written), expected) << round;
        ASSERT_EQ(written, jint(p - reinterpret_cast<uint8_t*>(expected.data()))) << round;
        ASSERT_EQ(_VM_utf8Length(text.data(), jint(text.size()), modified),
                  jlong(encode(text, modified, 1000, false).find('#')))
            << round;
        // Decoding what was written, with a bad byte now and then, into room
        // for fewer characters than there may be.
        std::string bytes = expected.substr(0, size_t(written));
        if (!bytes.empty() && random() % 4 == 0) bytes[random() % bytes.size()] = char(0x80 | (random() % 0x80));
        std::vector<jchar> want(bytes.size() + 1, 0), got(bytes.size() + 1, 0);
        const jint capacity = jint(random() % (bytes.size() + 2));
        jint remaining = jint(bytes.size()), stored = 0;
        const uint8_t* q = reinterpret_cast<const uint8_t*>(bytes.data());
        bool wantOk = true;
        while (remaining > 0 && stored < capacity && wantOk) {
            const jchar c = _VM_utf8DecodeChar(remaining, q, wantOk);
            want[size_t(stored++)] = wantOk ? c : jchar(0);
        }
        jint n = capacity;
        bool ok = false;
        const jint used =
            _VM_utf8Decode(got.data(), n, reinterpret_cast<const uint8_t*>(bytes.data()), jint(bytes.size()), ok);
        ASSERT_EQ(n, stored) << round;
        ASSERT_EQ(ok, wantOk) << round;
        ASSERT_EQ(used, jint(bytes.size()) - remaining) << round;
        ASSERT_EQ(want, got) << round;
        bool countOk = false;
        jint expectedCount = 0;
        for (size_t i = 0; i < bytes.size();) {
            const uint8_t b = uint8_t(bytes[i]);
            if (b < 0x80)
                i += 1;
            else if (b >> 5 == 6)
                i += 2;
            else if (b >> 4 == 14)
                i += 3;
            else
                break;
            ++expectedCount;
        }
        ASSERT_EQ(_VM_utf8CountChars(reinterpret_cast<const uint8_t*>(bytes.data()), jint(bytes.size()), countOk),
                  expectedCount)
            << round;
    }
}

TEST_F(Utf8CodecTest, CountWalksLeadBytesOnly) {
    bool ok = false;
    auto count = [&](const char* s) {
        return _VM_utf8CountChars(reinterpret_cast<const uint8_t*>(s), jint(std::strlen(s)), ok);
    };
    EXPECT_EQ(count("a\xC3\xA9\xE2\x82\xAC"), 3);
    EXPECT_TRUE(ok);
    EXPECT_EQ(count("ab\xE2"), 3);  // a cut-off form counts as one
    EXPECT_TRUE(ok);
    EXPECT_EQ(count("ab\x80zz"), 2);
    EXPECT_FALSE(ok);
    EXPECT_EQ(count("\xF8"), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(_VM_utf8CountChars(reinterpret_cast<const uint8_t*>("x"), -1, ok), 0);
    EXPECT_TRUE(ok);
}

TEST_F(Utf8CodecTest, EqualsCharsNeedsBothSidesUsedUpTogether) {
    const std::u16string abc = u"ab\u20AC";
    auto equals = [&](const char* s, jint n) {
        return _VM_utf8EqualsChars(reinterpret_cast<const uint8_t*>(s), jint(std::strlen(s)), abc.data(), n);
    };
    EXPECT_TRUE(equals("ab\xE2\x82\xAC", 3));
    EXPECT_FALSE(equals("ab\xE2\x82\xAC", 2));
    EXPECT_FALSE(equals("ab", 3));
    EXPECT_FALSE(equals("ax\xE2\x82\xAC", 3));
    EXPECT_TRUE(equals("", 0));
    EXPECT_FALSE(equals("\x80", 0));
}

// Arbitrary bytes never read outside the input nor write outside the output,
// and the count and the decode agree on well-formed lead positions.
TEST_F(Utf8CodecTest, GarbageInputIsHandledSafely) {
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        const size_t length = random() % 24;
        std::vector<uint8_t> in(length);
        for (uint8_t& b : in) b = uint8_t(random());
        bool countOk = false;
        const jint counted = _VM_utf8CountChars(in.data(), jint(length), countOk);
        ASSERT_LE(counted, jint(length));
        std::vector<jchar> out(length + 1, 0xFFFF);
        jint n = counted;
        bool ok = false;
        const jint consumed = _VM_utf8Decode(out.data(), n, in.data(), jint(length), ok);
        ASSERT_LE(n, counted);
        ASSERT_EQ(out[size_t(counted)], 0xFFFF);  // nothing past the room given
        if (countOk) {
            ASSERT_TRUE(ok);
            ASSERT_EQ(n, counted);
            ASSERT_GE(consumed, jint(length));
            ASSERT_LE(consumed, jint(length) + 2);
        }
        // Through the byte-array constructor: a string or the one exception.
        VMPtr<VMArray<jbyte, 1>> array = VMArray<jbyte, 1>::create(jint(length));
        if (length > 0) std::memcpy(array->elements(), in.data(), length);
        const std::string thrown = VM_THROWN_CLASS(String::create()->construct(array));
        ASSERT_TRUE(thrown.empty() == countOk) << thrown;
        if (!thrown.empty()) {
            ASSERT_EQ(thrown, "java.lang.RuntimeException");
        }
        // Encoding what was decoded and decoding again gives the same characters.
        std::vector<uint8_t> again(size_t(n) * 3 + 1);
        jint room = jint(again.size());
        _VM_utf8Encode(again.data(), room, out.data(), n, true, true);
        std::vector<jchar> back(size_t(n) + 1);
        jint m = n;
        _VM_utf8Decode(back.data(), m, again.data(), room, ok);
        ASSERT_EQ(m, n);
        ASSERT_TRUE(std::equal(out.begin(), out.begin() + n, back.begin()));
    }
}

// --- construction ------------------------------------------------------------------------

class StringConstructionTest : public VMTest {};

TEST_F(StringConstructionTest, FromUtf8TextEndsBeforeTheFirstBadLeadByte) {
    EXPECT_EQ(chars(str("caf\xC3\xA9")), u"caf\u00E9");
    EXPECT_EQ(chars(str("\xC0\x80x")), std::u16string(1, u'\0') + u"x");
    EXPECT_EQ(chars(str("ab\xFF"
                        "cd")),
              u"ab");
    EXPECT_EQ(chars(str("ab\xE2\x82")), u"ab\u0080");
    EXPECT_EQ(VM_THROWN_CLASS(str(nullptr)), "java.lang.NullPointerException");
    VMPtr<String> empty = String::create()->construct();
    EXPECT_EQ(empty->count, 0);
    EXPECT_EQ(empty->value->length, 0);
    VMPtr<Object> made = String::_VM_getClass()->newInstance();
    EXPECT_EQ(made->getClass(), String::_VM_getClass());
}

TEST_F(StringConstructionTest, CharArrayConstructorCopiesAndChecksItsRange) {
    VMPtr<VMChars> source = VMChars::create(4);
    for (jint i = 0; i < 4; ++i) (*source)[i] = jchar(u'a' + i);
    VMPtr<String> s = String::create()->construct(source, 1, 2);
    (*source)[1] = u'x';
    EXPECT_EQ(chars(s), u"bc");
    EXPECT_NE(s->value.get(), source.get());
    EXPECT_EQ(chars(String::create()->construct(source, 0, 4)), u"axcd");
    EXPECT_EQ(chars(String::create()->construct(source, 4, 0)), u"");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(source, 2, 3)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: 5");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(source, -1, 1)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -1");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(source, 0, -2)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -2");
    // A count so large that offset + count wraps is still refused.
    EXPECT_EQ(VM_THROWN_CLASS(String::create()->construct(source, 2, INT32_MAX)),
              "java.lang.StringIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(String::create()->construct(VMPtr<VMChars>(), 0, 0)), "java.lang.NullPointerException");
}

TEST_F(StringConstructionTest, ByteDecodingByEncodingName) {
    EXPECT_EQ(chars(String::create()->construct(bytes("\xC0\x80"))), std::u16string(1, u'\0'));
    EXPECT_EQ(chars(String::create()->construct(bytes("\xC3\x28"))), u"\u0080");
    EXPECT_EQ(chars(String::create()->construct(bytes("\xE2\x82"))), u"\u0080");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(bytes("\xF0\x9F\x98\x80"))),
              "java.lang.RuntimeException: Improperly formatted UTF-8 string.");
    for (const char* latin : {"ISO-8859-1", "ISO8859_1", "US-ASCII", "ASCII"})
        EXPECT_EQ(chars(String::create()->construct(bytes("\xE9z"), 0, 2, str(latin))), u"\u00E9z") << latin;
    EXPECT_EQ(chars(String::create()->construct(bytes("x\xC3\xA9y"), 1, 2, str("UTF8"))), u"\u00E9");
    EXPECT_EQ(chars(String::create()->construct(bytes("x\xC3\xA9y"), 1, 2, str("UTF-8"))), u"\u00E9");
    EXPECT_EQ(chars(String::create()->construct(bytes("abc"), 1, 2)), u"bc");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(bytes("ab"), 0, 2, str("utf-8"))),
              "java.io.UnsupportedEncodingException: utf-8");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(bytes("ab"), 0, 2, str("Cp1252"))),
              "java.io.UnsupportedEncodingException: Cp1252");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(bytes("ab"), 0, 2, VMPtr<String>())),
              "java.lang.NullPointerException");
}

TEST_F(StringConstructionTest, ByteRangeChecksComeFirstAndNameTheValue) {
    VMPtr<VMArray<jbyte, 1>> four = bytes("abcd");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(four, -1, 1, str("bogus"))),
              "java.lang.IndexOutOfBoundsException: -1");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(four, 0, -3)), "java.lang.IndexOutOfBoundsException: -3");
    EXPECT_EQ(VM_THROWN_TEXT(String::create()->construct(four, 3, 2)), "java.lang.IndexOutOfBoundsException: 5");
    EXPECT_EQ(VM_THROWN_CLASS(String::create()->construct(four, 1, INT32_MAX)), "java.lang.IndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(String::create()->construct(VMPtr<VMArray<jbyte, 1>>())),
              "java.lang.NullPointerException");
    EXPECT_EQ(chars(String::create()->construct(four, 4, 0)), u"");
}

TEST_F(StringConstructionTest, PlatformStringsIncludingEmptyOnes) {
    NativeString* native = HAL_createString(u"h\u00E9llo", 5);
    EXPECT_EQ(chars(String::create()->_VM_init(native)), u"h\u00E9llo");
    HAL_freeString(native);
    // A platform string without characters is an empty string, not a fatal stop.
    for (NativeString* empty : {HAL_createString(nullptr, 0), HAL_createStringUTF8("")}) {
        VMPtr<String> s = String::create()->_VM_init(empty);
        EXPECT_EQ(s->count, 0);
        EXPECT_EQ(s->value->length, 0);
        HAL_freeString(empty);
    }
    EXPECT_EQ(VM_THROWN_CLASS(String::create()->_VM_init(nullptr)), "java.lang.NullPointerException");
}

// The platform layer decodes UTF-8 with the same codec: a platform string
// from some bytes is the string new String(bytes) makes, and where that
// constructor throws, the platform gives no string.
TEST_F(StringConstructionTest, PlatformDecodingAgreesWithNewStringFromBytes) {
    for (const char* text : {"plain", "caf\xC3\xA9", "\xC0\x80", "\xC3\x28!", "\xE2\x82", "\xE2\x28\xA1x",
                             "\xED\xA0\xBD\xED\xB8\x80", "\x80", "a\xF0\x9F\x98\x80", "\xFF"}) {
        NativeString* native = HAL_createStringUTF8(text);
        std::u16string expected = u"<refused>";
        try {
            expected = chars(String::create()->construct(bytes(text)));
        } catch (RuntimeException* refused) {
            VMPtr<RuntimeException> keep(refused);
        }
        std::u16string platform = u"<refused>";
        if (native != nullptr) {
            platform = chars(String::create()->_VM_init(native));
            HAL_freeString(native);
        }
        EXPECT_EQ(platform, expected) << text;
    }
}

TEST_F(StringConstructionTest, FromBufferSharesTheArrayAndMarksTheBufferShared) {
    VMPtr<StringBuffer> buffer = StringBuffer::create()->construct("abc");
    VMPtr<String> s = String::create()->construct(buffer);
    EXPECT_EQ(s->value.get(), buffer->value.get());
    EXPECT_TRUE(buffer->shared);
    buffer->insert(0, u'x');
    EXPECT_EQ(chars(s), u"abc");
    EXPECT_EQ(chars(buffer->toString()), u"xabc");
}

// --- queries -----------------------------------------------------------------------------

class StringQueryTest : public VMTest {};

TEST_F(StringQueryTest, HashEqualsAndCharAt) {
    EXPECT_EQ(str("")->hashCode(), 0);
    EXPECT_EQ(str("abc")->hashCode(), 96354);
    EXPECT_EQ(str("polygenelubricants")->hashCode(), jint(0x80000000));  // wraps
    VMPtr<String> abc = str("abc");
    EXPECT_TRUE(abc->equals(str("abc")));
    EXPECT_TRUE(abc->equals(abc));
    EXPECT_FALSE(abc->equals(str("abd")));
    EXPECT_FALSE(abc->equals(str("ab")));
    EXPECT_FALSE(abc->equals(VMPtr<Object>()));
    EXPECT_FALSE(abc->equals(Object::create()));
    EXPECT_EQ(abc->charAt(2), u'c');
    EXPECT_EQ(VM_THROWN_TEXT(abc->charAt(3)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: 3");
    EXPECT_EQ(VM_THROWN_CLASS(abc->charAt(-1)), "java.lang.StringIndexOutOfBoundsException");
    // A substring compares by its own window.
    EXPECT_TRUE(str("xabcx")->substring(1, 4)->equals(abc));
    EXPECT_EQ(str("xabcx")->substring(1, 4)->hashCode(), 96354);
}

// The hash is kept after the first call: every later call, on strings of
// every origin (a window into a larger array, an array shared with a buffer
// that then changes, numbers, random text), gives what the characters give.
TEST_F(StringQueryTest, AKeptHashIsTheHashOfTheCharacters) {
    auto fresh = [](const VMPtr<String>& s) {
        jint h = 0;
        for (jint i = 0; i < s->length(); ++i) h = 31 * h + s->charAt(i);
        return h;
    };
    VMPtr<StringBuffer> buffer = StringBuffer::create()->construct(str("shared"));
    VMPtr<String> shared = buffer->toString();
    std::vector<VMPtr<String>> strings = {str(""),
                                          str("abc"),
                                          str("polygenelubricants"),
                                          str("xabcx")->substring(1, 4),
                                          str("xabcx")->substring(2),
                                          shared,
                                          String::valueOf(jint(-2147483647 - 1)),
                                          String::valueOf(jint(0))};
    std::mt19937 random(31);
    for (int i = 0; i < 40; ++i) {
        std::u16string text(random() % 12, u' ');
        for (char16_t& c : text) c = char16_t(random() % 3 == 0 ? random() : u'a' + random() % 26);
        strings.push_back(
            String::create()->_VM_initLength(reinterpret_cast<const jchar*>(text.data()), jint(text.size())));
    }
    for (const VMPtr<String>& s : strings) {
        const jint expected = fresh(s);
        EXPECT_EQ(s->hashCode(), expected);
        EXPECT_EQ(s->hashCode(), expected);  // the kept one
    }
    // The buffer copies before it changes: the string and its kept hash stay.
    buffer->setLength(2);
    buffer->append(str("op!"));
    EXPECT_EQ(shared->hashCode(), fresh(str("shared")));
    EXPECT_EQ(buffer->toString()->hashCode(), fresh(str("shop!")));
}

TEST_F(StringQueryTest, GetCharsChecksBothRanges) {
    VMPtr<String> s = str("hello")->substring(1);  // "ello" at offset 1
    VMPtr<VMChars> dst = VMChars::create(4);
    s->getChars(1, 3, dst, 2);
    EXPECT_EQ(dst->get(2), u'l');
    EXPECT_EQ(dst->get(3), u'l');
    EXPECT_EQ(VM_THROWN_TEXT(s->getChars(-1, 2, dst, 0)), "java.lang.StringIndexOutOfBoundsException: -1");
    EXPECT_EQ(VM_THROWN_TEXT(s->getChars(0, 5, dst, 0)), "java.lang.StringIndexOutOfBoundsException: 5");
    EXPECT_EQ(VM_THROWN_TEXT(s->getChars(3, 1, dst, 0)), "java.lang.StringIndexOutOfBoundsException: -2");
    EXPECT_EQ(VM_THROWN_CLASS(s->getChars(0, 2, dst, 3)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(s->getChars(0, 2, dst, -1)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(s->getChars(0, 2, dst, INT32_MAX)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(s->getChars(0, 2, VMPtr<VMChars>(), 0)), "java.lang.NullPointerException");
    s->getChars(2, 2, dst, 4);  // nothing to copy, at the very end: fine
}

TEST_F(StringQueryTest, IndexOfAndLastIndexOf) {
    VMPtr<String> s = str("banana");
    EXPECT_EQ(s->indexOf(u'a'), 1);
    EXPECT_EQ(s->indexOf(u'a', -5), 1);
    EXPECT_EQ(s->indexOf(u'a', 2), 3);
    EXPECT_EQ(s->indexOf(u'a', 6), -1);
    EXPECT_EQ(s->indexOf(u'a' + 65536), -1);
    EXPECT_EQ(s->lastIndexOf(u'a'), 5);
    EXPECT_EQ(s->lastIndexOf(u'a', 1000), 5);
    EXPECT_EQ(s->lastIndexOf(u'a', 4), 3);
    EXPECT_EQ(s->lastIndexOf(u'b', -1), -1);
    EXPECT_EQ(str("")->lastIndexOf(u'a'), -1);
    // A substring searches its own window and reports indices within it.
    VMPtr<String> tail = s->substring(2);  // "nana"
    EXPECT_EQ(tail->indexOf(u'b'), -1);
    EXPECT_EQ(tail->indexOf(u'a'), 1);
    EXPECT_EQ(tail->lastIndexOf(u'n', 1), 0);
}

TEST_F(StringQueryTest, PrefixesAndRegions) {
    VMPtr<String> abc = str("abc");
    EXPECT_TRUE(abc->regionMatches(true, 0, str("ABC"), 0, 3));
    EXPECT_FALSE(abc->regionMatches(false, 0, str("ABC"), 0, 3));
    EXPECT_FALSE(abc->regionMatches(true, -1, str("ABC"), 0, 0));
    EXPECT_TRUE(abc->regionMatches(false, 1, str("xbc"), 1, 0));
    EXPECT_TRUE(abc->regionMatches(false, 3, str("x"), 1, 0));
    EXPECT_FALSE(abc->regionMatches(false, 1, str("xbc"), 1, INT32_MAX));
    EXPECT_TRUE(abc->regionMatches(false, 1, str("xbc"), 1, INT32_MIN));
    EXPECT_TRUE(str("\u00E9t\u00E9")->equalsIgnoreCase(str("\u00C9T\u00C9")));
    EXPECT_FALSE(abc->equalsIgnoreCase(str("abcd")));
    EXPECT_FALSE(abc->equalsIgnoreCase(VMPtr<String>()));

    EXPECT_TRUE(abc->startsWith(str("ab")));
    EXPECT_TRUE(abc->startsWith(str("bc"), 1));
    EXPECT_TRUE(abc->startsWith(str(""), 3));
    EXPECT_FALSE(abc->startsWith(str("c"), 3));
    EXPECT_FALSE(abc->startsWith(str(""), -1));
    EXPECT_FALSE(abc->startsWith(str(""), 4));
    EXPECT_EQ(VM_THROWN_CLASS(abc->startsWith(VMPtr<String>())), "java.lang.NullPointerException");
}

// --- derived strings ---------------------------------------------------------------------

class StringDerivedTest : public VMTest {};

TEST_F(StringDerivedTest, SubstringSharesTheArrayOrReturnsItself) {
    VMPtr<String> s = str("hello");
    EXPECT_EQ(s->substring(0, 5).get(), s.get());
    VMPtr<String> tail = s->substring(5);
    EXPECT_EQ(tail->count, 0);
    EXPECT_EQ(tail->value.get(), s->value.get());
    VMPtr<String> mid = s->substring(1, 3);
    EXPECT_EQ(chars(mid), u"el");
    EXPECT_EQ(mid->value.get(), s->value.get());
    EXPECT_EQ(chars(mid->substring(1)), u"l");
    EXPECT_EQ(VM_THROWN_TEXT(s->substring(-1, 2)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -1");
    EXPECT_EQ(VM_THROWN_TEXT(s->substring(0, 6)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: 6");
    EXPECT_EQ(VM_THROWN_TEXT(s->substring(4, 2)),
              "java.lang.StringIndexOutOfBoundsException: String index out of range: -2");
}

TEST_F(StringDerivedTest, ReplaceCaseAndTrimReturnTheReceiverWhenNothingChanges) {
    VMPtr<String> s = str("a-b-c");
    EXPECT_EQ(s->replace(u'-', u'-').get(), s.get());
    EXPECT_EQ(s->replace(u'x', u'y').get(), s.get());
    EXPECT_EQ(chars(s->replace(u'-', u'_')), u"a_b_c");
    EXPECT_EQ(chars(s->substring(2)->replace(u'-', u'+')), u"b+c");

    VMPtr<String> lower = str("abc\u00DF\u00FF");
    EXPECT_EQ(lower->toLowerCase().get(), lower.get());
    EXPECT_EQ(chars(str("AbC\u00C0\u00D7\u00DE")->toLowerCase()), u"abc\u00E0\u00D7\u00FE");
    // Converted from the first changed character on; the unchanged prefix is kept.
    EXPECT_EQ(chars(str("abcD\u00C9f")->substring(1)->toLowerCase()), u"bcd\u00E9f");

    VMPtr<String> empty = str("");
    EXPECT_EQ(empty->trim().get(), empty.get());
    VMPtr<String> blanks = str("   ");
    EXPECT_EQ(blanks->trim()->count, 0);
    EXPECT_EQ(blanks->trim()->value.get(), blanks->value.get());
    VMPtr<String> plain = str("x y");
    EXPECT_EQ(plain->trim().get(), plain.get());
    EXPECT_EQ(chars(str16(std::u16string(u"\t ") + u'\0' + u"x y\n")->trim()), u"x y");
}

TEST_F(StringDerivedTest, ValueOfEveryType) {
    EXPECT_EQ(String::valueOf(VMPtr<Object>()).get(), String::valueOf(VMPtr<Object>()).get());
    EXPECT_EQ(String::valueOf(VMPtr<Object>()).get(), VM_STR("null").get());
    EXPECT_EQ(String::valueOf(true).get(), VM_STR("true").get());
    EXPECT_EQ(text(String::valueOf(false)), "false");
    EXPECT_EQ(chars(String::valueOf(jchar(0x20AC))), u"\u20AC");
    EXPECT_EQ(text(String::valueOf(jlong(INT64_MIN))), "-9223372036854775808");
    EXPECT_EQ(text(String::valueOf(0.5f)), "0.5");
    EXPECT_EQ(text(String::valueOf(100.0)), "100");
    VMPtr<String> s = str("self");
    EXPECT_EQ(String::valueOf(VMPtr<Object>(s)).get(), s.get());
}

// --- intern table and runtime entry points -----------------------------------------------

class StringRuntimeTest : public VMTest {};

TEST_F(StringRuntimeTest, LiteralsShareOneStringThatSurvivesCollections) {
    VMPtr<String> literal = VM_STR("intern-me");
    EXPECT_EQ(VM_STR("intern-me").get(), literal.get());
    EXPECT_EQ(String::_VM_intern(nullptr), nullptr);
    VMPtr<String> made = str("intern-me");
    EXPECT_NE(made.get(), literal.get());
    EXPECT_TRUE(made->equals(literal));
    _VM_collect(_VM_runtime);
    EXPECT_EQ(chars(VM_STR("intern-me")), u"intern-me");
}

TEST_F(StringRuntimeTest, CStringConversionUsesModifiedUtf8) {
    VMCString holder;
    _VM_cstrSet(&holder, "old");
    VMPtr<String> withZero = str16(std::u16string(u"a") + u'\0' + u"\u00E9");
    withZero->_VM_toCString(&holder);
    EXPECT_EQ(std::string(holder.c_str()), "a\xC0\x80\xC3\xA9");
    withZero->substring(2)->_VM_appendToCString(&holder);
    EXPECT_EQ(std::string(holder.c_str()), "a\xC0\x80\xC3\xA9\xC3\xA9");
    // The empty string replaces the text as well.
    str("")->_VM_toCString(&holder);
    EXPECT_EQ(std::string(holder.c_str()), "");
    str("")->_VM_appendToCString(&holder);
    EXPECT_EQ(std::string(holder.c_str()), "");
    _VM_cstrFree(&holder);
    EXPECT_EQ(withZero->_VM_toStdString(), "a\xC0\x80\xC3\xA9");
}

TEST_F(StringRuntimeTest, EqualsLiteralComparesDecodedCharacters) {
    EXPECT_TRUE(str("UTF-8")->_VM_equalsLiteral("UTF-8"));
    EXPECT_FALSE(str("UTF-8")->_VM_equalsLiteral("utf-8"));
    EXPECT_FALSE(str("UTF-8")->_VM_equalsLiteral("UTF-8x"));
    EXPECT_FALSE(str("UTF-8")->_VM_equalsLiteral(nullptr));
    EXPECT_TRUE(str16(std::u16string(1, u'\0'))->_VM_equalsLiteral("\xC0\x80"));
    EXPECT_TRUE(str("")->_VM_equalsLiteral(""));
}

}  // namespace

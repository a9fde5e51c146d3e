// The number and character classes: Integer, Long, Float, Double, Character
// and Math; text conversions both ways, including garbage input.
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "java_lang_Character.h"
#include "java_lang_Double.h"
#include "java_lang_Float.h"
#include "java_lang_Integer.h"
#include "java_lang_Long.h"
#include "java_lang_Math.h"
#include "text_test_support.h"

using namespace java::lang;
using namespace texttest;

namespace {

class IntegerTest : public VMTest {};

TEST_F(IntegerTest, ToStringInEveryRadix) {
    EXPECT_EQ(text(Integer::toString(INT32_MIN)), "-2147483648");
    EXPECT_EQ(text(Integer::toString(INT32_MAX)), "2147483647");
    EXPECT_EQ(text(Integer::toString(0)), "0");
    EXPECT_EQ(text(Integer::toString(255, 16)), "ff");
    EXPECT_EQ(text(Integer::toString(255, 1)), "255");
    EXPECT_EQ(text(Integer::toString(255, 37)), "255");
    EXPECT_EQ(text(Integer::toString(-35, 36)), "-z");
    EXPECT_EQ(text(Integer::toString(INT32_MIN, 2)), "-10000000000000000000000000000000");
    EXPECT_EQ(text(Integer::toHexString(0)), "0");
    EXPECT_EQ(text(Integer::toHexString(-1)), "ffffffff");
    EXPECT_EQ(text(Integer::toHexString(0x1A2B)), "1a2b");
    EXPECT_EQ(text(Integer::toUnsignedString(-1, 1)), std::string(32, '1'));
    EXPECT_EQ(text(Integer::toUnsignedString(8, 3)), "10");
    EXPECT_EQ(VM_THROWN_CLASS(Integer::toUnsignedString(5, 0)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(Integer::toUnsignedString(5, 6)), "java.lang.IllegalArgumentException");
}

TEST_F(IntegerTest, ParseIntLimitsAndMessages) {
    EXPECT_EQ(Integer::parseInt(str("2147483647")), INT32_MAX);
    EXPECT_EQ(Integer::parseInt(str("-2147483648")), INT32_MIN);
    EXPECT_EQ(Integer::parseInt(str("-0")), 0);
    EXPECT_EQ(Integer::parseInt(str("007")), 7);
    EXPECT_EQ(Integer::parseInt(str("zz"), 36), 1295);
    EXPECT_EQ(Integer::parseInt(str("-FF"), 16), -255);
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("2147483648"))), "java.lang.NumberFormatException: 2147483648");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("-2147483649"))), "java.lang.NumberFormatException: -2147483649");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("99999999999"))), "java.lang.NumberFormatException: 99999999999");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("-"))), "java.lang.NumberFormatException: -");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str(""))), "java.lang.NumberFormatException: empty String");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str(""), 1)), "java.lang.NumberFormatException: empty String");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("+5"))), "java.lang.NumberFormatException: +5");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str(" 5"))), "java.lang.NumberFormatException:  5");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("12a"))), "java.lang.NumberFormatException: 12a");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("--1"))), "java.lang.NumberFormatException: --1");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("1"), 1)),
              "java.lang.NumberFormatException: radix less than Character.MIN_RADIX");
    EXPECT_EQ(VM_THROWN_TEXT(Integer::parseInt(str("1"), 37)),
              "java.lang.NumberFormatException: radix greater than Character.MAX_RADIX");
    EXPECT_EQ(VM_THROWN_CLASS(Integer::parseInt(VMPtr<String>())), "java.lang.NullPointerException");
    // Latin-1 letters are no digits in any radix.
    EXPECT_EQ(VM_THROWN_CLASS(Integer::parseInt(str("\xC3\x80"), 16)), "java.lang.NumberFormatException");
    EXPECT_EQ(VM_THROWN_CLASS(Integer::parseInt(str("1\xC3\xA0"), 36)), "java.lang.NumberFormatException");
    // A substring parses by its own window.
    EXPECT_EQ(Integer::parseInt(str("x123y")->substring(1, 4)), 123);
}

// Random text made of characters that matter to the parser (and some that
// do not): parseInt either returns or throws NumberFormatException, and what
// parses is a sign and ASCII digits only.
TEST_F(IntegerTest, GarbageTextNeverCrashesTheParser) {
    std::u16string alphabet = u"0123456789+-.eEfFdDxXaAzZ \t\u00C0\u0663\uFFFFNaInfty";
    alphabet += u'\0';
    alphabet += char16_t(0xD800);
    std::mt19937 random(4242);
    for (int round = 0; round < 4000; ++round) {
        std::u16string s;
        const size_t length = random() % 14;
        for (size_t i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
        VMPtr<String> text16 = str16(s);
        for (jint radix : {10, 36}) {
            std::string thrown;
            try {
                Integer::parseInt(text16, radix);
                if (radix == 10) {
                    for (size_t i = s[0] == u'-' ? 1 : 0; i < s.size(); ++i)
                        ASSERT_TRUE(s[i] >= u'0' && s[i] <= u'9') << int(s[i]);
                }
            } catch (Throwable* t) {
                thrown = t->getClass()->name.c_str();
            }
            if (!thrown.empty()) {
                ASSERT_EQ(thrown, "java.lang.NumberFormatException");
            }
        }
    }
}

// Text of random ints parses back to the same value in every radix; text of
// random longs matches an independent conversion.
TEST_F(IntegerTest, RadixTextRoundTrips) {
    std::mt19937 random(4243);
    auto reference = [](jlong value, jint radix) {
        uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
        std::string digits;
        do {
            digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % uint64_t(radix)]);
            magnitude /= uint64_t(radix);
        } while (magnitude != 0);
        return value < 0 ? "-" + digits : digits;
    };
    for (int round = 0; round < 2000; ++round) {
        const jint i = jint(random());
        ASSERT_EQ(Integer::parseInt(Integer::toString(i)), i);
        const jint radix = jint(2 + random() % 35);
        ASSERT_EQ(Integer::parseInt(Integer::toString(i, radix), radix), i);
        ASSERT_EQ(text(Integer::toString(i, radix)), reference(i, radix));
        const jlong l = jlong((uint64_t(random()) << 32) | random());
        ASSERT_EQ(text(Long::toString(l, radix)), reference(l, radix));
        ASSERT_EQ(text(Long::toString(l, 10)), std::to_string(l));
    }
}

TEST_F(IntegerTest, BoxedValues) {
    VMPtr<Integer> seven = Integer::create()->construct(7);
    EXPECT_EQ(seven->hashCode(), 7);
    EXPECT_EQ(seven->value, 7);
    EXPECT_TRUE(seven->equals(Integer::create()->construct(7)));
    EXPECT_FALSE(seven->equals(Integer::create()->construct(8)));
    EXPECT_FALSE(seven->equals(Long::create()->construct(7)));
    EXPECT_FALSE(seven->equals(VMPtr<Object>()));
    EXPECT_EQ(text(Integer::create()->construct(-12)->toString()), "-12");
    EXPECT_EQ(Integer::_VM_getClass()->newInstanceFunction, nullptr);
    EXPECT_EQ(_VM_findClass("java.lang.Integer"), Integer::_VM_getClass());
}

class LongTest : public VMTest {};

TEST_F(LongTest, ToStringHashAndEquals) {
    EXPECT_EQ(text(Long::toString(INT64_MIN, 10)), "-9223372036854775808");
    EXPECT_EQ(text(Long::toString(INT64_MAX, 16)), "7fffffffffffffff");
    EXPECT_EQ(text(Long::toString(INT64_MIN, 2)), "-1" + std::string(63, '0'));
    EXPECT_EQ(text(Long::toString(42, 99)), "42");
    VMPtr<Long> l = Long::create()->construct((jlong(1) << 32) + 1);
    EXPECT_EQ(l->hashCode(), 0);
    EXPECT_EQ(Long::create()->construct(-1)->hashCode(), 0);
    EXPECT_EQ(Long::create()->construct(5)->hashCode(), 5);
    EXPECT_EQ(text(l->toString()), "4294967297");
    EXPECT_TRUE(l->equals(Long::create()->construct((jlong(1) << 32) + 1)));
    EXPECT_FALSE(l->equals(Long::create()->construct(1)));
    EXPECT_FALSE(l->equals(Integer::create()->construct(1)));
    EXPECT_FALSE(l->equals(VMPtr<Object>()));
    EXPECT_EQ(text(Long::create()->construct(INT64_MIN)->toString()), "-9223372036854775808");
}

class CharacterTest : public VMTest {};

TEST_F(CharacterTest, Latin1ClassificationAndCaseMapping) {
    EXPECT_TRUE(Character::isLowerCase(u'a'));
    EXPECT_TRUE(Character::isLowerCase(0xDF));
    EXPECT_TRUE(Character::isLowerCase(0xFF));
    EXPECT_FALSE(Character::isLowerCase(0xF7));
    EXPECT_TRUE(Character::isUpperCase(0xC0));
    EXPECT_FALSE(Character::isUpperCase(0xD7));
    EXPECT_FALSE(Character::isUpperCase(0xDF));
    EXPECT_TRUE(Character::isDigit(u'9'));
    EXPECT_FALSE(Character::isDigit(0x0663));  // other scripts' digits are not
    EXPECT_EQ(Character::toUpperCase(0xFF), 0xFF);
    EXPECT_EQ(Character::toUpperCase(0xDF), 0xDF);
    EXPECT_EQ(Character::toUpperCase(0xE9), 0xC9);
    EXPECT_EQ(Character::toLowerCase(0xD7), 0xD7);
    EXPECT_EQ(Character::toLowerCase(0xDE), 0xFE);
    EXPECT_EQ(Character::toLowerCase(0x0410), 0x0410);
    // Every character maps back from its upper-case form when it is lower case.
    for (jint c = 0; c < 0x100; ++c) {
        jchar ch = jchar(c);
        if (Character::isUpperCase(ch)) {
            EXPECT_EQ(Character::toUpperCase(Character::toLowerCase(ch)), ch) << c;
        }
    }
}

TEST_F(CharacterTest, DigitsAreAsciiDigitsAndLettersOnly) {
    EXPECT_EQ(Character::digit(u'z', 36), 35);
    EXPECT_EQ(Character::digit(u'Z', 36), 35);
    EXPECT_EQ(Character::digit(u'g', 16), -1);
    EXPECT_EQ(Character::digit(u'F', 16), 15);
    EXPECT_EQ(Character::digit(u'7', 8), 7);
    EXPECT_EQ(Character::digit(u'8', 8), -1);
    EXPECT_EQ(Character::digit(u'1', 1), -1);
    EXPECT_EQ(Character::digit(u'1', 37), -1);
    for (jint c = 0x80; c < 0x10000; ++c) ASSERT_EQ(Character::digit(jchar(c), 36), -1) << c;
    EXPECT_EQ(Character::digit(u'@', 36), -1);
    EXPECT_EQ(Character::digit(u'[', 36), -1);
    EXPECT_EQ(Character::digit(u'`', 36), -1);
    EXPECT_EQ(Character::digit(u'{', 36), -1);
}

class FloatingTest : public VMTest {};

TEST_F(FloatingTest, ConstantsComeFromThePlatformLayer) {
    _VM_ensureInitialized(Float::_VM_classRecord);
    _VM_ensureInitialized(Double::_VM_classRecord);
    EXPECT_EQ(std::bit_cast<jint>(Float::MAX_VALUE), 0x7F7FFFFF);
    EXPECT_EQ(std::bit_cast<jint>(Float::MIN_VALUE), 1);
    EXPECT_EQ(std::bit_cast<jint>(Float::NaN), 0x7FC00000);
    EXPECT_EQ(std::bit_cast<jint>(Float::NEGATIVE_INFINITY), jint(0xFF800000));
    EXPECT_EQ(Float::POSITIVE_INFINITY, std::numeric_limits<float>::infinity());
    EXPECT_EQ(std::bit_cast<jlong>(Double::MAX_VALUE), 0x7FEFFFFFFFFFFFFF);
    EXPECT_EQ(std::bit_cast<jlong>(Double::MIN_VALUE), 1);
    EXPECT_EQ(std::bit_cast<jlong>(Double::NaN), 0x7FF8000000000000);
    EXPECT_EQ(Double::NEGATIVE_INFINITY, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(std::bit_cast<jlong>(Double::POSITIVE_INFINITY), 0x7FF0000000000000);
}

// The constants hold their values from program start: usable in constant
// expressions, so code run before the class is initialised (another class's
// static initialiser) never reads 0.0.
constinit const jfloat kStartNaN = Float::NaN;
constinit const jdouble kStartMax = Double::MAX_VALUE;
static_assert(std::bit_cast<jint>(Float::NEGATIVE_INFINITY) == jint(0xFF800000) &&
              std::bit_cast<jint>(Float::MIN_VALUE) == 1 && Float::MAX_VALUE == std::numeric_limits<float>::max());
static_assert(std::bit_cast<jlong>(Double::NaN) == 0x7FF8000000000000 &&
              Double::POSITIVE_INFINITY == std::numeric_limits<double>::infinity() &&
              Double::MIN_VALUE == std::numeric_limits<double>::denorm_min());

TEST_F(FloatingTest, ConstantsHoldBeforeClassInitialisation) {
    EXPECT_EQ(std::bit_cast<jint>(kStartNaN), 0x7FC00000);
    EXPECT_EQ(std::bit_cast<jlong>(kStartMax), 0x7FEFFFFFFFFFFFFF);
}

TEST_F(FloatingTest, BitPatternsAreTakenUnchanged) {
    EXPECT_EQ(Float::intBitsToFloat(0x3F800000), 1.0f);
    EXPECT_EQ(Float::intBitsToFloat(0x40490FDB), 3.14159274f);
    EXPECT_TRUE(std::signbit(Float::intBitsToFloat(jint(0x80000000))));
    // A NaN keeps its payload.
    const jint oddNaN = 0x7FC12345;
    EXPECT_EQ(std::bit_cast<jint>(Float::intBitsToFloat(oddNaN)), oddNaN);
}

TEST_F(FloatingTest, TextIsTheCLibrarysG) {
    EXPECT_EQ(text(Double::toString(0.5)), "0.5");
    EXPECT_EQ(text(Double::toString(100.0)), "100");
    EXPECT_EQ(text(Double::toString(1234567.0)), "1.23457E+06");
    EXPECT_EQ(text(Double::toString(0.0001)), "0.0001");
    EXPECT_EQ(text(Double::toString(0.00001)), "1E-05");
    EXPECT_EQ(text(Double::toString(-2.5)), "-2.5");
    EXPECT_EQ(text(Float::toString(0.1f)), "0.1");
    EXPECT_EQ(text(Float::toString(3.0e38f)), "3E+38");
    EXPECT_EQ(text(Double::toString(std::numeric_limits<double>::infinity())), "INF");
    EXPECT_EQ(text(Double::toString(-std::numeric_limits<double>::max())), "-1.79769E+308");
}

TEST_F(FloatingTest, RegistrationsAndMath) {
    for (const char* name : {"java.lang.Integer", "java.lang.Long", "java.lang.Double", "java.lang.Float",
                             "java.lang.Character", "java.lang.Math"}) {
        Class* record = _VM_findClass(name);
        ASSERT_NE(record, nullptr) << name;
        EXPECT_EQ(record->newInstanceFunction, nullptr) << name;
        EXPECT_EQ(_VM_superClass(_VM_classRegistry(), record), Object::_VM_getClass()) << name;
    }
    EXPECT_EQ(Math::min(3, -4), -4);
    EXPECT_EQ(Math::min(INT32_MIN, INT32_MAX), INT32_MIN);
}

}  // namespace

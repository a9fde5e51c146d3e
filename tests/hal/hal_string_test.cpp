// Reference-counted UTF-16 strings.
#include "hal_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The string's characters, or "<none>" when it has none.
std::u16string contents(NativeString* s) {
    int32_t length = -1;
    EXPECT_EQ(HAL_getStringLength(s, &length), 0);
    std::u16string buffer(static_cast<size_t>(length) + 1, u'#');
    if (HAL_getStringCharacters(s, buffer.data()) != 0) return u"<none>";
    EXPECT_EQ(buffer.back(), u'#');  // exactly length characters written
    buffer.pop_back();
    return buffer;
}

std::u16string decode(const char* utf8) {
    NativeString* s = HAL_createStringUTF8(utf8);
    std::u16string result = contents(s);
    HAL_freeString(s);
    return result;
}

TEST(HalStringTest, CreateCopiesCharacters) {
    char16_t source[] = u"abc";
    NativeString* s = HAL_createString(source, 3);
    source[0] = u'x';
    EXPECT_EQ(contents(s), u"abc");
    EXPECT_EQ(HAL_freeString(s), 0);
}

TEST(HalStringTest, EmptyStringsHaveNoCharacters) {
    char16_t buffer[1];
    for (NativeString* s : {HAL_createString(nullptr, 5), HAL_createString(u"abc", 0), HAL_createString(u"abc", -1),
                            HAL_createStringUTF8("")}) {
        ASSERT_NE(s, nullptr);
        int32_t length = -1;
        EXPECT_EQ(HAL_getStringLength(s, &length), 0);
        EXPECT_EQ(length, 0);
        EXPECT_EQ(HAL_getStringCharacters(s, buffer), 2);
        HAL_freeString(s);
    }
}

TEST(HalStringTest, NullArgumentsAreRejected) {
    int32_t length;
    char16_t buffer[4];
    NativeString* s = HAL_createString(u"ab", 2);
    EXPECT_EQ(HAL_freeString(nullptr), 2);
    EXPECT_EQ(HAL_getStringLength(nullptr, &length), 2);
    EXPECT_EQ(HAL_getStringLength(s, nullptr), 2);
    EXPECT_EQ(HAL_getStringCharacters(nullptr, buffer), 2);
    EXPECT_EQ(HAL_getStringCharacters(s, nullptr), 2);
    EXPECT_EQ(HAL_createStringUTF8(nullptr), nullptr);
    HAL_freeString(s);
}

TEST(HalStringTest, DecodesUtf8AsTheRuntimeCodecDoes) {
    EXPECT_EQ(decode("plain"), u"plain");
    EXPECT_EQ(decode("caf\xC3\xA9 \xE2\x82\xAC"), u"caf\u00E9 \u20AC");
    EXPECT_EQ(decode("\xED\xA0\xBD\xED\xB8\x80"), u"\xD83D\xDE00");  // a pair written unit by unit
    EXPECT_EQ(decode("a\xC0\x80z"), std::u16string(u"a\0z", 3));
    // Damaged forms give U+0080 and decoding goes on, as in new String(bytes).
    EXPECT_EQ(decode("\xC3\x28z"), u"\u0080z");  // a bad continuation byte is taken with its form
    EXPECT_EQ(decode("\xE2\x82"), u"\u0080");    // cut off by the end
    EXPECT_EQ(decode("\xC1\x81"), u"A");         // overlong forms are accepted
}

TEST(HalStringTest, TextTheRuntimeWouldRefuseGivesNoString) {
    for (const char* text : {"\x80x", "ab\xBF", "\xF0\x9F\x98\x80!", "\xF8\xFF"})
        EXPECT_EQ(HAL_createStringUTF8(text), nullptr) << text;
}

}  // namespace

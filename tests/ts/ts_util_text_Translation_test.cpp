// ts.util.text.Translation: reading a table, decoding texts, both offset
// widths, the shared buffer, decodeAll, and malformed tables.
#include <string>
#include <vector>

#include "java_io_ByteArrayInputStream.h"
#include "pack_writer.h"
#include "ts_test_support.h"
#include "ts_util_text_Translation.h"

using java::lang::String;
using java::lang::StringBuffer;
using ts::util::text::Translation;

namespace {

class TranslationTest : public VMTest {
protected:
    tstest::Booted booted;

    static VMPtr<VMBytes> bytes(const std::string& raw) {
        return tstest::bytesOf(std::vector<uint8_t>(raw.begin(), raw.end()));
    }
    static VMPtr<Translation> read(const std::string& raw, jint size) {
        return Translation::create()->construct(java::io::DataInputStream::create()->construct(
                                                    java::io::ByteArrayInputStream::create()->construct(bytes(raw))),
                                                size);
    }
    static VMPtr<Translation> read(const std::string& raw) { return read(raw, jint(raw.size())); }
    static std::u16string chars(const VMPtr<String>& s) {
        return std::u16string(s->_VM_chars(), s->_VM_chars() + s->length());
    }
    static std::u16string chars(const VMPtr<StringBuffer>& sb) { return chars(sb->toString()); }
    static std::u16string decoded(const std::string& raw) {
        VMPtr<StringBuffer> sb = StringBuffer::create()->construct();
        Translation::decodeText(bytes(raw), 0, jint(raw.size()), sb, 0);
        return chars(sb);
    }
};

TEST_F(TranslationTest, DecodesOneToThreeByteFormsAndTurnsBadLeadBytesIntoZero) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    for (const Case& c : {Case{"A\xc3\xa9\xe2\x82\xac", u"A\u00e9\u20ac"}, Case{"\x80", std::u16string(1, u'\0')},
                          Case{std::string("\xf0"
                                           "A",
                                           2),
                               std::u16string(u"\0A", 2)},
                          Case{std::string("\xc0\x80", 2), std::u16string(1, u'\0')},  // overlong
                          Case{"\xc3\x28", u"\u00e8"},                                 // continuation unchecked
                          Case{"\xff\xbf", std::u16string(2, u'\0')}, Case{"", u""}}) {
        EXPECT_EQ(decoded(c.bytes), c.text);
    }
}

TEST_F(TranslationTest, AFormCutByTheEndOfTheDataTakesZeros) {
    // The last text ends inside a three-byte form; its missing bytes are 0.
    VMPtr<Translation> t = read(packwriter::textTable({"ab", "\xe2\x82"}));
    EXPECT_EQ(chars(t->getString(1)), std::u16string(1, jchar(0x2080)));
    // A form cut by the text's own end takes the next text's bytes.
    VMPtr<Translation> u = read(packwriter::textTable({"\xc3", "\xa9z"}));
    EXPECT_EQ(chars(u->getString(0)), u"\u00e9");
    EXPECT_EQ(chars(u->getString(1)), std::u16string(u"\0z", 2));
    EXPECT_EQ(decoded("\xe2"), std::u16string(1, jchar(0x2000)));
}

TEST_F(TranslationTest, OffsetsAre16BitUpTo65535BytesAnd32BitBeyond) {
    for (jint size : {65535, 65536}) {
        // Five texts: 12 bytes of counts and lengths, "first", three fillers, "last!".
        const size_t fill = size_t(size) - 12 - 10;
        std::vector<std::string> texts = {"first", std::string(fill / 3, 'x'), std::string(fill / 3, 'y'),
                                          std::string(fill - 2 * (fill / 3), 'z'), "last!"};
        VMPtr<Translation> t = read(packwriter::textTable(texts), size);
        EXPECT_EQ(t->charOffsets != nullptr, size <= 65535) << size;
        EXPECT_EQ(t->intOffsets != nullptr, size > 65535) << size;
        EXPECT_EQ(t->textCount, 5);
        EXPECT_EQ(t->getOffset(4), 5 + jint(fill));
        EXPECT_EQ(t->getLength(3), jint(texts[3].size()));
        EXPECT_EQ(chars(t->getString(4)), u"last!");
        EXPECT_EQ(chars(t->getString(3)), std::u16string(texts[3].size(), u'z'));
    }
}

TEST_F(TranslationTest, InsertAppendAndGetTextPlaceTheTextInTheBuffer) {
    VMPtr<Translation> t = read(packwriter::textTable({"\xc3\xa9t\xc3\xa9", "", "x"}));
    VMPtr<StringBuffer> sb = StringBuffer::create()->construct("abc");
    t->insertText(0, sb, 2);
    EXPECT_EQ(chars(sb), u"ab\u00e9t\u00e9c");
    t->insertText(1, sb, 1);
    EXPECT_EQ(chars(sb), u"ab\u00e9t\u00e9c");
    t->appendText(2, sb);
    EXPECT_EQ(chars(sb), u"ab\u00e9t\u00e9cx");
    VMPtr<String> shared = sb->toString();  // the buffer's array now belongs to a string too
    t->insertText(2, sb, 0);
    EXPECT_EQ(chars(shared), u"ab\u00e9t\u00e9cx");
    EXPECT_EQ(chars(t->getText(0, sb)), u"\u00e9t\u00e9");
    EXPECT_EQ(chars(t->getString(1)), u"");
    EXPECT_EQ(VM_THROWN_CLASS(t->insertText(0, sb, 9)), "java.lang.StringIndexOutOfBoundsException");
}

TEST_F(TranslationTest, GetStringGivesNewStringsUntilDecodeAllThenTheSameOnes) {
    std::string longText(200, 'y');
    VMPtr<Translation> t = read(packwriter::textTable({"one", longText, "three"}));
    VMPtr<String> a = t->getString(0);
    VMPtr<String> b = t->getString(2);
    EXPECT_EQ(chars(a), u"one");  // the shared buffer's next text leaves it alone
    EXPECT_EQ(chars(b), u"three");
    EXPECT_EQ(t->getString(1)->length(), 200);
    t->decodeAll();
    EXPECT_EQ(t->textData, nullptr);
    EXPECT_EQ(t->charOffsets, nullptr);
    ASSERT_NE(t->textCache, nullptr);
    EXPECT_EQ(t->getString(2).get(), t->getString(2).get());
    EXPECT_EQ(chars(t->getString(0)), u"one");
    VMPtr<StringBuffer> sb = StringBuffer::create()->construct("<>");
    EXPECT_EQ(chars(t->insertText(2, sb, 1)), u"<three>");
    t->decodeAll();  // a second time changes nothing
    EXPECT_EQ(chars(t->getString(1)), std::u16string(200, u'y'));
}

TEST_F(TranslationTest, EmptyTableAndZeroLengthTexts) {
    VMPtr<Translation> t = read(packwriter::textTable({}));
    EXPECT_EQ(t->textCount, 0);
    EXPECT_EQ(t->getOffset(0), 0);
    t->decodeAll();
    EXPECT_EQ(t->textCache->length, 0);
    // A size larger than the texts need leaves zeros that no text covers.
    VMPtr<Translation> u = read(packwriter::textTable({"ab"}), 4 + 2 + 3);
    EXPECT_EQ(u->textData->length, 5);
    EXPECT_EQ(chars(u->getString(0)), u"ab");
}

TEST_F(TranslationTest, MalformedTablesThrowAndNeverReadOutside) {
    std::string negative = packwriter::textTable({"ab", "cd"});
    negative[6] = char(0xFF);  // the second length becomes -254
    struct Case {
        std::string raw;
        jint size;
        const char* thrown;
    };
    for (const Case& c : {Case{negative, jint(negative.size()), "java.io.IOException: Negative length of text 1"},
                          Case{packwriter::textTable({"abc"}), 3, "java.lang.NegativeArraySizeException"},
                          Case{packwriter::textTable({"abcdef"}), 8, "java.lang.IndexOutOfBoundsException"},
                          Case{packwriter::textTable({"abc"}).substr(0, 5), 7, "java.io.EOFException"},
                          Case{"\x00", 2, "java.io.EOFException"},
                          Case{packwriter::textTable({"abc"}), 1 << 24, "java.io.EOFException"}}) {
        EXPECT_EQ(VM_THROWN_TEXT(read(c.raw, c.size)), c.thrown) << c.size;
    }
}

}  // namespace

// The canvas's number, pixel and sorting helpers.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <random>

#include "java_lang_StringBuffer.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_test_support.h"

using java::lang::String;
using java::lang::StringBuffer;
using javax::microedition::lcdui::Image;
using ts::TsCanvas;

namespace {

class TsCanvasUtilTest : public VMTest {};

VMPtr<VMInts> ints(const std::vector<jint>& values) {
    VMPtr<VMInts> a = VMInts::create(jint(values.size()));
    std::copy(values.begin(), values.end(), a->elements());
    return a;
}

// The pixels of an image.
std::vector<jint> pixelsOf(const VMPtr<Image>& image) {
    const jint w = image->getWidth(), h = image->getHeight();
    VMPtr<VMInts> out = VMInts::create(w * h);
    image->getRGB(out, 0, w, 0, 0, w, h);
    return std::vector<jint>(out->elements(), out->elements() + out->length);
}

// A colour as an image keeps it (images hold fewer bits a channel).
jint kept(jint argb) { return pixelsOf(Image::createRGBImage(ints({argb}), 1, 1, false))[0]; }

}  // namespace

TEST_F(TsCanvasUtilTest, NumbersAreInsertedWithTheirPadding) {
    struct Case {
        const char* before;
        jint value, minDigits, offset;
        const char* after;
    };
    const Case cases[] = {
        {"", 5, 3, 0, "005"},
        {"ab", 123, 2, 1, "a123b"},
        {"x", -42, 4, 1, "x-0042"},
        {"", 0, 0, 0, "0"},
        {"", 65535, 7, 0, "0065535"},
        {"", 65536, 8, 0, "65536"},
        {"<>", INT_MIN, 12, 1, "<-2147483648>"},
        {"", INT_MAX, 0, 0, "2147483647"},
        {"", -7, 1, 0, "-7"},
    };
    for (const Case& c : cases) {
        VMPtr<StringBuffer> sb = StringBuffer::create()->construct(String::_VM_fromUTF8(c.before));
        TsCanvas::insertNumber(sb, c.value, c.minDigits, c.offset);
        EXPECT_EQ(text(sb->toString()), c.after) << c.value;
    }
}

TEST_F(TsCanvasUtilTest, SortIntsSortsLikeStdSortAndBinarySearchFindsOrPlaces) {
    std::mt19937 random(77);
    for (int size : {0, 1, 2, 3, 7, 64, 333, 1000, 2000}) {
        for (int spread : {4, 1 << 30}) {
            std::vector<jint> values(size_t(size) + 5);
            for (jint& v : values) v = jint(random() % uint32_t(spread)) - spread / 2;
            VMPtr<VMInts> a = ints(values);
            TsCanvas::sortInts(a, size);  // the 5 after n stay where they are
            std::sort(values.begin(), values.begin() + size);
            EXPECT_EQ(std::vector<jint>(a->elements(), a->elements() + a->length), values) << size;
        }
    }
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::sortInts(ints({1, 2}), 3)), "java.lang.ArrayIndexOutOfBoundsException");

    VMPtr<VMInts> a = ints({-5, 0, 3, 3, 9, 100});
    const std::pair<jint, jint> searches[] = {{-5, 0}, {9, 4}, {100, 5}, {-6, 0}, {1, 2}, {50, 5}, {101, 6}};
    for (auto [key, index] : searches) EXPECT_EQ(TsCanvas::binarySearch(a, 5, key), index) << key;
    const jint at3 = TsCanvas::binarySearch(a, 5, 3);
    EXPECT_TRUE(at3 == 2 || at3 == 3);
    EXPECT_EQ(TsCanvas::binarySearch(a, 2, 9), 3);   // only a[0..2] searched
    EXPECT_EQ(TsCanvas::binarySearch(a, -1, 9), 0);  // nothing searched
}

TEST_F(TsCanvasUtilTest, AlphaKinds) {
    const jint opaque = jint(0xFF102030), clear = 0x00102030, half = 0x80102030;
    VMPtr<VMInts> pixels = ints({opaque, clear, half, opaque, opaque, opaque});  // 3 x 2
    EXPECT_EQ(TsCanvas::getAlphaKind(pixels, 0, 3, 0, 1, 3, 1), 1);
    EXPECT_EQ(TsCanvas::getAlphaKind(pixels, 0, 3, 0, 0, 2, 2), 2);
    EXPECT_EQ(TsCanvas::getAlphaKind(pixels, 0, 3, 0, 0, 3, 2), 3);
    EXPECT_EQ(TsCanvas::getAlphaKind(pixels, 1, 3, 1, 0, 1, 1), 3);  // offset + x
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::getAlphaKind(pixels, 0, 3, 0, 1, 3, 2)),
              "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_FALSE(TsCanvas::hasTranslucentPixel(ints({opaque, jint(0xF0000000)})));
    EXPECT_TRUE(TsCanvas::hasTranslucentPixel(ints({opaque, jint(0xEFFFFFFF)})));
}

TEST_F(TsCanvasUtilTest, IndexImageMovesTheKeyColourToEntryZeroAndRefusesTooManyColours) {
    const jint red = jint(0xFFFF0000), green = jint(0xFF00FF00), key = jint(0xFFF804F8), blue = jint(0xFF0000FF);
    VMPtr<Image> image = Image::createRGBImage(ints({red, green, key, red, blue, key}), 3, 2, false);
    VMPtr<VMInts> palette = VMInts::create(256);
    VMPtr<VMBytes> indices = TsCanvas::indexImage(image, palette);
    EXPECT_EQ(tstest::rawOf(indices), (std::vector<uint8_t>{2, 1, 0, 2, 3, 0}));
    EXPECT_EQ(std::vector<jint>(palette->elements(), palette->elements() + 5),
              (std::vector<jint>{kept(key), kept(green), kept(red), kept(blue), 0}));

    std::vector<jint> many(257);
    for (uint32_t i = 0; i < many.size(); ++i) many[i] = jint(0xFF000000u | (i % 32) << 19 | (i / 32) << 10);
    VMPtr<VMInts> untouched = VMInts::create(256);
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::indexImage(Image::createRGBImage(ints(many), 257, 1, false), untouched)),
              "java.lang.IllegalArgumentException");
    EXPECT_TRUE(std::all_of(untouched->elements(), untouched->elements() + 256, [](jint c) { return c == 0; }));
}

namespace {

void putChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    const uint32_t n = uint32_t(data.size());
    for (int i = 0; i < 4; ++i) png.push_back(uint8_t(n >> (24 - 8 * i)));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    const uint32_t crc = uint32_t(crc32(0, typed.data(), uInt(typed.size())));
    for (int i = 0; i < 4; ++i) png.push_back(uint8_t(crc >> (24 - 8 * i)));
}

// A 2 x 1 image of palette entries 0 and 1; its "PLTE" data starts at byte
// 41 (signature 8, IHDR 25, length and type 8).
std::vector<uint8_t> palettePng(const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", {0, 0, 0, 2, 0, 0, 0, 1, 8, 3, 0, 0, 0});
    putChunk(png, "PLTE", rgb);
    const uint8_t raw[] = {0, 0, 1};
    std::vector<uint8_t> packed(64);
    uLongf packedLength = packed.size();
    compress(packed.data(), &packedLength, raw, sizeof raw);
    packed.resize(packedLength);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace

// The palette's CRC is a chunk's CRC-32 over "PLTE" and the data: known
// values, and zlib's over palettes of every length up to a full one.
TEST_F(TsCanvasUtilTest, APaletteCrcIsTheChunkCrcOverItsTypeAndData) {
    const auto crcOf = [](const std::vector<uint8_t>& data) {
        std::vector<uint8_t> bytes = data;
        bytes.resize(bytes.size() + 4, 0xAA);
        VMPtr<VMBytes> palette = tstest::bytesOf(bytes);
        TsCanvas::updatePaletteCrc(palette);
        const uint8_t* out = reinterpret_cast<const uint8_t*>(palette->elements()) + data.size();
        return uint32_t(out[0]) << 24 | uint32_t(out[1]) << 16 | uint32_t(out[2]) << 8 | out[3];
    };
    std::vector<uint8_t> full(768);
    for (size_t i = 0; i < full.size(); ++i) full[i] = uint8_t(i);
    const std::pair<std::vector<uint8_t>, uint32_t> known[] = {
        {{}, 0x4BA88955u},
        {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0xAE9EC448u},
        {full, 0xF650DFB7u},
    };
    for (const auto& [data, crc] : known) EXPECT_EQ(crcOf(data), crc) << data.size();
    std::mt19937 random(7);
    std::vector<uint8_t> data;
    for (int length = 0; length <= 768; length += 3) {
        uLong crc = crc32(0L, reinterpret_cast<const Bytef*>("PLTE"), 4);
        if (!data.empty()) crc = crc32(crc, data.data(), uInt(data.size()));
        ASSERT_EQ(crcOf(data), uint32_t(crc)) << length;
        for (int k = 0; k < 3; ++k) data.push_back(uint8_t(random()));
    }
}

TEST_F(TsCanvasUtilTest, ARecolouredPaletteWithItsCrcUpdatedDecodes) {
    std::vector<uint8_t> png = palettePng({255, 0, 0, 0, 0, 255});
    // The game recolours the palette data and fixes the CRC after it.
    VMPtr<VMBytes> chunk = tstest::bytesOf(std::vector<uint8_t>(png.begin() + 41, png.begin() + 41 + 6 + 4));
    (*chunk)[1] = jbyte(0x80);
    (*chunk)[3] = 0x40;
    TsCanvas::updatePaletteCrc(chunk);
    std::vector<uint8_t> recoloured = png;
    std::copy(chunk->elements(), chunk->elements() + chunk->length, recoloured.begin() + 41);
    VMPtr<Image> image = Image::createImage(tstest::bytesOf(recoloured), 0, jint(recoloured.size()));
    EXPECT_EQ(pixelsOf(image), (std::vector<jint>{kept(jint(0xFFFF8000)), kept(jint(0xFF4000FF))}));
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::updatePaletteCrc(VMBytes::create(3))), "java.lang.IllegalArgumentException");
}

// ts.Resources over the test data set (assets/test/, generated into the test
// programs' rsc/) and over packs of the test's own: every resource reads back
// the bytes its description gave, palettes, the bitmap file image, packs from
// the record store, text tables, and the canvas's exit.
#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "golden.h"
#include "java_io_ByteArrayInputStream.h"
#include "pack_writer.h"
#include "program_dir.h"
#include "ts_Resources.h"
#include "ts_test_support.h"

using ts::Resources;
using ts::TsCanvas;
using Image = javax::microedition::lcdui::Image;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        }
        ::closedir(d);
    }
    return names;
}

class ResourcesTest : public VMTest {
protected:
    tstest::Booted booted;

    void SetUp() override {
        VMTest::SetUp();
        Resources::unloadPack();
    }
    void TearDown() override { Resources::unloadPack(); }

    static std::string str(const VMPtr<VMBytes>& b) {
        std::vector<uint8_t> v = tstest::rawOf(b);
        return std::string(v.begin(), v.end());
    }
    static VMPtr<VMBytes> bytes(const std::string& s) {
        return tstest::bytesOf(std::vector<uint8_t>(s.begin(), s.end()));
    }
    static std::vector<uint32_t> pixels(const VMPtr<Image>& image) {
        VMPtr<VMArray<jint, 1>> argb = VMArray<jint, 1>::create(image->getWidth() * image->getHeight());
        image->getRGB(argb, 0, image->getWidth(), 0, 0, image->getWidth(), image->getHeight());
        return std::vector<uint32_t>(argb->elements(), argb->elements() + argb->length);
    }
    static std::string seed(const std::string& kindAndName) {
        return readFile(testProgramDir() + "seeds/" + kindAndName);
    }
    // A pack of the given resources, loaded as pack 0.
    static void loadOwnPack(const std::vector<std::string>& resources, std::vector<int8_t> types = {}) {
        ASSERT_TRUE(Resources::loadPack(java::io::DataInputStream::create()->construct(
            java::io::ByteArrayInputStream::create()->construct(bytes(packwriter::plainPack(resources, types))))));
    }
};

TEST_F(ResourcesTest, EveryResourceOfTheDataSetReadsBackItsBytes) {
    int checked = 0, images = 0;
    for (const std::string& kind : filesIn(testProgramDir() + "seeds")) {
        if (kind == "pack") continue;
        for (const std::string& name : filesIn(testProgramDir() + "seeds/" + kind)) {
            const jint pack = std::stoi(name.substr(0, name.find('-')));
            const jint id = pack * 1024 + std::stoi(name.substr(name.find('-') + 1));
            const std::string expected = seed(kind + "/" + name);
            SCOPED_TRACE(kind + "/" + name);
            EXPECT_EQ(str(Resources::getResource(id)), expected);
            EXPECT_EQ(Resources::getResourceSize(id), jint(expected.size()));
            VMPtr<java::io::DataInputStream> in = Resources::getResourceAsStream(id);
            std::string streamed;
            for (jint b; (b = in->read()) >= 0;) streamed.push_back(char(b));
            EXPECT_EQ(streamed, expected);
            in->reset();  // marked at the resource's start
            EXPECT_EQ(in->available(), jint(expected.size()));
            VMPtr<VMBytes> data = Resources::getResourceData(id);
            EXPECT_EQ(str(data).substr(size_t(Resources::getResourceOffset(id)), expected.size()), expected);
            if (kind == "png") {
                // By name where the PNG fills its own file, else through its bytes.
                EXPECT_EQ(pixels(Resources::getImage(id)),
                          pixels(Image::createImage(bytes(expected), 0, jint(expected.size()))));
                ++images;
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 40);
    EXPECT_GE(images, 10);
    EXPECT_EQ(Resources::getResourceType(3 * 1024 + 1), -3);
    EXPECT_EQ(Resources::getResourceType(20 * 1024 + 0), -6);
    EXPECT_EQ(text(Resources::resourcePack->getResourceFileName(3 * 1024 + 6)), "/RP3part7.png");
}

TEST_F(ResourcesTest, PaletteImagesAreRecolouredAndBothArraysComeBack) {
    const jint id = 2 * 1024;  // 8 x 8, palette: transparent, red, blue
    VMPtr<VMBytes> palette = Resources::getPalette(id);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->length, 13);
    EXPECT_EQ(Resources::getTransparentIndex(id), 0);
    EXPECT_EQ(Resources::getTransparentIndex(id + 2), -1);  // no tRNS
    EXPECT_EQ(Resources::getPalette(id + 1), nullptr);      // no palette
    const std::string stored = str(Resources::getResource(id));
    const std::vector<uint32_t> before = pixels(Resources::getImage(id));
    // Red becomes green.
    (*palette)[3] = 0x00;
    (*palette)[4] = jbyte(0xFF);
    (*palette)[5] = 0x00;
    TsCanvas::updatePaletteCrc(palette);
    const std::string mine = str(palette);
    const std::vector<uint32_t> after = pixels(Resources::getImage(id, palette));
    ASSERT_EQ(after.size(), before.size());
    int recoloured = 0;
    const uint32_t red = before[2];  // row 0 is "..rrrr.."
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == red) {
            EXPECT_EQ(after[i], 0xFF00FF00u);
            ++recoloured;
        } else {
            EXPECT_EQ(after[i], before[i]);
        }
    }
    EXPECT_GT(recoloured, 0);
    EXPECT_EQ(str(Resources::getResource(id)), stored);
    EXPECT_EQ(str(palette), mine);
    // A palette of another length is refused before anything is exchanged.
    VMPtr<VMBytes> longer = VMBytes::create(14);
    EXPECT_EQ(VM_THROWN_CLASS(Resources::getImage(id, longer)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(str(Resources::getResource(id)), stored);
    EXPECT_EQ(str(longer), std::string(14, '\0'));
    // An exchange and its repetition restore both arrays.
    VMPtr<VMBytes> data = bytes(stored);
    Resources::swapPalette(data, 0, palette);
    EXPECT_NE(str(data), stored);
    Resources::swapPalette(data, 0, palette);
    EXPECT_EQ(str(data), stored);
    EXPECT_EQ(str(palette), mine);
}

TEST_F(ResourcesTest, AFailedDecodeStillRestoresThePackAndThePalette) {
    const std::string png = seed("png/2-0");
    VMPtr<VMBytes> palette = Resources::readPalette(Resources::createStream(bytes(png), 0, jint(png.size())));
    ASSERT_NE(palette, nullptr);
    // Everything up to the image data: the palette is found, the decoding fails.
    const std::string cut = png.substr(0, png.find("IDAT") - 4);
    loadOwnPack({"front", cut});
    for (jint i = 0; i < palette->length; ++i) (*palette)[i] = jbyte(i * 5);
    const std::string mine = str(palette);
    EXPECT_EQ(VM_THROWN_CLASS(Resources::getImage(1, palette)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(str(Resources::getResource(1)), cut);
    EXPECT_EQ(str(palette), mine);
    // The walk stays inside the resource: a PNG without "PLTE" whose bytes end
    // before "IEND" does not read into the next resource.
    loadOwnPack({png.substr(0, 33), png});
    EXPECT_EQ(VM_THROWN_CLASS(Resources::getImage(0, palette)), "java.io.EOFException");
    EXPECT_EQ(str(Resources::getResource(1)), png);
}

// The same PNG bytes decoded again (a pack's Gob sets share one sheet) reuse
// the kept decoded pixels in an image of their own; other bytes (another
// palette, another pack under the same id, a damaged copy) decode afresh.
TEST_F(ResourcesTest, TheSameBytesAgainShareTheDecodedPixelsAndOthersDecodeAfresh) {
    Resources::forgetDecodedImages();
    // A decoded image is the one kept first; one made from a kept one is not.
    auto decoded = [](const VMPtr<Image>& image) { return Resources::decodedImages->get(0) == image.get(); };
    const jint id = 2 * 1024;  // 8 x 8, palette: transparent, red, blue
    const VMPtr<Image> first = Resources::getImage(id), again = Resources::getImage(id);
    EXPECT_TRUE(decoded(first));
    EXPECT_FALSE(decoded(again));
    EXPECT_NE(again.get(), first.get());
    const std::vector<uint32_t> original = pixels(first);
    EXPECT_EQ(pixels(again), original);
    VMPtr<VMBytes> palette = Resources::getPalette(id);
    (*palette)[4] = jbyte(0xFF);  // red becomes yellow
    TsCanvas::updatePaletteCrc(palette);
    EXPECT_NE(pixels(Resources::getImage(id, palette)), original);
    EXPECT_EQ(pixels(Resources::getImage(id)), original);
    const std::string png = seed("png/2-0"), other = seed("png/2-2");
    std::string damaged = png;
    damaged[png.find("IDAT") + 6] ^= 0x10;  // the chunk's CRC no longer holds
    loadOwnPack({other, png, damaged});
    EXPECT_EQ(pixels(Resources::getImage(0)), pixels(Image::createImage(bytes(other), 0, jint(other.size()))));
    EXPECT_EQ(VM_THROWN_CLASS(Resources::getImage(2)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(pixels(Resources::getImage(1)), original);
    EXPECT_EQ(Resources::decodedBytes->length, Resources::DECODED_KEPT);  // the latest first
    EXPECT_EQ(str(VMPtr<VMBytes>(Resources::decodedBytes->get(1))), other);
    Resources::forgetDecodedImages();
    EXPECT_EQ(Resources::decodedImages, nullptr);
    EXPECT_TRUE(decoded(Resources::getImage(1)));
}

TEST_F(ResourcesTest, BitmapFileOfA3By2Image) {
    TempProgramDir dir("resbmp");
    Picture picture;
    picture.width = 3;
    picture.height = 2;
    // Colours that RGB565 holds exactly; 0xFF00FF is the transparent key.
    picture.argb = {0xFF108210, 0xFFFF00FF, 0xFF108210, 0xFF420042, 0xFF420042, 0xFF84FF00};
    ASSERT_TRUE(writePng(dir.root() + "p.png", picture));
    loadOwnPack({readFile(dir.root() + "p.png")});
    TsCanvas::getInstance();  // the canvas class is initialised before its statics are set
    VMPtr<VMBytes> saved = VMBytes::create(4);
    TsCanvas::saveBuffer = saved;
    TsCanvas::savePosition = 3;
    const std::string bmp = str(Resources::getImageAsBmp(0));
    EXPECT_EQ(TsCanvas::saveBuffer.get(), saved.get());
    EXPECT_EQ(TsCanvas::savePosition, 3);
    std::string expected;
    auto le16 = [&](uint32_t v) { expected += char(v), expected += char(v >> 8); };
    auto le32 = [&](uint32_t v) { le16(v), le16(v >> 16); };
    le16(0x4D42), le32(54 + 1024 + 8), le32(0), le32(1078), le32(40), le32(3), le32(2), le16(1), le16(8), le32(0),
        le32(8), le32(0), le32(0), le32(256), le32(256);
    // Colours in order of first appearance, the key colour moved to entry 0.
    for (uint32_t c : {0xFF00FFu, 0x108210u, 0x420042u, 0x84FF00u}) le32(c | 0xFF000000u);
    for (int i = 4; i < 256; ++i) le32(0xFF000000u);
    expected += std::string("\x2\x2\x3\0", 4);  // the bottom row first, padded to 4 bytes
    expected += std::string("\x1\x0\x1\0", 4);
    EXPECT_EQ(bmp, expected);
    TsCanvas::saveBuffer = nullptr;
}

TEST_F(ResourcesTest, AFailedBitmapFileGivesTheSaveBufferBack) {
    TsCanvas::getInstance();
    VMPtr<VMBytes> saved = VMBytes::create(4);
    TsCanvas::saveBuffer = saved;
    TsCanvas::savePosition = 2;
    EXPECT_EQ(VM_THROWN_CLASS(Resources::getImageAsBmp(2 * 1024 + 1)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(TsCanvas::saveBuffer.get(), saved.get());
    EXPECT_EQ(TsCanvas::savePosition, 2);
    EXPECT_EQ(VM_THROWN_CLASS(Resources::getImageAsBmp(2 * 1024 + 99)), "java.lang.RuntimeException");
    EXPECT_EQ(TsCanvas::saveBuffer.get(), saved.get());
    EXPECT_EQ(TsCanvas::savePosition, 2);
    TsCanvas::saveBuffer = nullptr;
}

TEST_F(ResourcesTest, PackByteImagesRoundTripThroughARecordStore) {
    TempProgramDir dir("resstore");
    VMPtr<tstest::TestCanvas> canvas = tstest::stoppedCanvas();
    VMPtr<VMArray<jbyte, 2>> resources = VMArray<jbyte, 2>::create(3);
    resources->set(0, bytes("first"));
    resources->set(1, bytes(""));
    resources->set(2, bytes(std::string(70000, 'z')));
    VMPtr<VMBytes> types = bytes(std::string("\x01\xfd\xfa", 3));
    VMPtr<VMBytes> image = Resources::buildPackBytes(resources, types);
    EXPECT_EQ(image->length, 7 + 15 + 70005);
    canvas->saveRecordStore(77, image);
    ASSERT_TRUE(Resources::loadPackFromStore(77));
    EXPECT_EQ(str(Resources::getResource(0)), "first");
    EXPECT_EQ(Resources::getResourceSize(1), 0);
    EXPECT_EQ(Resources::getResourceType(1), -3);
    EXPECT_EQ(str(Resources::getResource(2)), std::string(70000, 'z'));
    EXPECT_FALSE(Resources::loadPackFromStore(78));  // no such store
    EXPECT_EQ(Resources::resourcePack->resourceSizes, nullptr);
    ASSERT_TRUE(Resources::loadPackFromStore(77));
    EXPECT_FALSE(Resources::loadPackFromStore(-1));
    EXPECT_EQ(Resources::resourcePack->resourceSizes, nullptr);
    // The data set's pack written as a byte image (pack 23) reads the same.
    EXPECT_EQ(str(Resources::buildPackBytes(resources, VMBytes::create(0))), std::string("\x41\0\0\0\0\0\0", 7));
}

TEST_F(ResourcesTest, TextTablesFromPlainAndFileSystemPacks) {
    VMPtr<ts::util::text::Translation> t = Resources::getTranslation(20 * 1024);
    ASSERT_EQ(t->textCount, 7);
    EXPECT_NE(t->charOffsets, nullptr);
    const char16_t* texts[] = {u"A",
                               u"\u00e9",
                               u"\u20ac",
                               u"A\u00e9\u20ac",
                               u"",
                               u"Hello, world",
                               u"Gr\u00fc\u00dfe aus K\u00f6ln \u2013 10 \u20ac"};
    for (jint i = 0; i < 7; ++i) {
        VMPtr<java::lang::String> s = t->getString(i);
        EXPECT_EQ(std::u16string(s->_VM_chars(), s->_VM_chars() + s->length()), texts[i]) << i;
    }
    VMPtr<ts::util::text::Translation> big = Resources::getTranslation(20 * 1024 + 1);
    EXPECT_NE(big->intOffsets, nullptr);
    EXPECT_EQ(text(big->getString(1)), "middle");
    EXPECT_EQ(big->getString(2)->length(), 2 * 6553);
    VMPtr<ts::util::text::Translation> fromFile = Resources::getTranslation(3 * 1024 + 4);
    EXPECT_EQ(text(fromFile->getString(1)), "system");
}

// The canvas answers every resource operation as ts.Resources does.
TEST_F(ResourcesTest, TheCanvasOffersTheResourceOperationsAsItsOwn) {
    VMPtr<tstest::TestCanvas> canvas = tstest::stoppedCanvas();
    const jint paletted = 2 * 1024, sheet = 16 * 1024;
    EXPECT_EQ(str(canvas->getResource(paletted)), str(Resources::getResource(paletted)));
    VMPtr<java::io::DataInputStream> in = canvas->getResourceAsStream(paletted);
    EXPECT_EQ(in->readInt(), jint(0x89504E47));  // the PNG signature
    EXPECT_EQ(canvas->getResourceType(sheet), Resources::getResourceType(sheet));
    VMPtr<VMBytes> palette = canvas->getPalette(paletted);
    EXPECT_EQ(str(palette), str(Resources::getPalette(paletted)));
    EXPECT_EQ(canvas->getPalette(paletted + 1), nullptr);
    EXPECT_EQ(canvas->getTransparentIndex(paletted), 0);
    EXPECT_EQ(canvas->getTransparentIndex(paletted + 2), -1);
    EXPECT_EQ(pixels(canvas->getImage(sheet)), pixels(Resources::getImage(sheet)));
    EXPECT_EQ(pixels(canvas->getImage(paletted, palette)), pixels(Resources::getImage(paletted)));
    const std::string png = str(Resources::getResource(sheet));
    VMPtr<VMBytes> framed = bytes("xy" + png);
    EXPECT_EQ(pixels(canvas->createPngImage(framed, 2, jint(png.size()))), pixels(Resources::getImage(sheet)));
    EXPECT_EQ(VM_THROWN_CLASS(canvas->createPngImage(framed, 0, 2)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(canvas->getGobs(sheet + 1)->length, Resources::getGobs(sheet + 1)->length);
    EXPECT_EQ(canvas->getGobs(sheet + 1, nullptr)->length, Resources::getGobs(sheet + 1)->length);
    VMPtr<VMArray<jint, 1>> frames = canvas->getAnimSet(sheet + 2)->frames;
    VMPtr<VMArray<jint, 1>> expected = Resources::getAnimSet(sheet + 2)->frames;
    EXPECT_EQ(std::vector<jint>(frames->elements(), frames->elements() + frames->length),
              std::vector<jint>(expected->elements(), expected->elements() + expected->length));

    // Packs through the canvas: a byte image, loaded from a stream and from
    // the record store, and dropped.
    TempProgramDir dir("rescanvas");
    VMPtr<VMArray<jbyte, 2>> resources = VMArray<jbyte, 2>::create(2);
    resources->set(0, bytes("one"));
    resources->set(1, bytes("two!"));
    VMPtr<VMBytes> image = canvas->buildPackBytes(resources, bytes(std::string("\x01\x02", 2)));
    EXPECT_EQ(str(image), str(Resources::buildPackBytes(resources, bytes(std::string("\x01\x02", 2)))));
    ASSERT_TRUE(canvas->loadPack(
        java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(image))));
    EXPECT_EQ(str(canvas->getResource(1)), "two!");
    EXPECT_EQ(canvas->getResourceType(1), 2);
    canvas->unloadPack();
    EXPECT_EQ(Resources::resourcePack->resourceSizes, nullptr);
    ASSERT_TRUE(canvas->saveRecordStore(40, image));
    ASSERT_TRUE(canvas->loadPackFromStore(40));
    EXPECT_EQ(str(canvas->getResource(0)), "one");
    EXPECT_FALSE(canvas->loadPackFromStore(41));

    // The bitmap file image of a pack's PNG.
    Picture picture;
    picture.width = 1;
    picture.height = 1;
    picture.argb = {0xFF108210};
    ASSERT_TRUE(writePng(dir.root() + "p.png", picture));
    loadOwnPack({readFile(dir.root() + "p.png")});
    EXPECT_EQ(str(canvas->getImageAsBmp(0)), str(Resources::getImageAsBmp(0)));
}

TEST_F(ResourcesTest, TheCanvasExitDropsThePack) {
    EXPECT_EQ(Resources::getResourceSize(16 * 1024), jint(seed("png/16-0").size()));
    ASSERT_NE(Resources::resourcePack->resourceSizes, nullptr);
    VMPtr<tstest::TestCanvas> canvas = tstest::TestCanvas::create()->construct(nullptr);
    canvas->postEvent(TsCanvas::EVENT_EXIT);
    EXPECT_EQ(Resources::resourcePack->resourceSizes, nullptr);
    EXPECT_EQ(ts::io::resource::ResourcePack::currentPack, -1);
    vmWaitFor([&] { return !canvas->thread->isAlive(); });
}

}  // namespace

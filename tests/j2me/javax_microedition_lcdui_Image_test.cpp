// Image: the factories and their checks, resources, decoding failures,
// regions under transforms, and reading pixels back.
#include <png.h>

#include <climits>

#include "hal_surface.h"
#include "java_lang_Class.h"
#include "lcdui_test_support.h"
#include "program_dir.h"

using java::lang::String;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {

class ImageTest : public VMTest {};

// A 3 x 2 RGBA PNG file: red, green, blue / half-transparent white, clear, black.
std::string smallPng() {
    Picture p{3, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF, 0x00000000, 0xFF000000}};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 3;
    image.height = 2;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, p.argb.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, p.argb.data(), 0, nullptr);
    out.resize(size);
    return out;
}

VMPtr<VMArray<jbyte, 1>> bytesOf(const std::string& s) {
    VMPtr<VMArray<jbyte, 1>> a = VMArray<jbyte, 1>::create(jint(s.size()));
    std::memcpy(a->elements(), s.data(), s.size());
    return a;
}

}  // namespace

TEST_F(ImageTest, ResourcesResolveAgainstThePackageAndFailuresAreIOExceptions) {
    TempProgramDir dir("image");
    dir.put("rsc/javax/microedition/lcdui/a.png", smallPng());
    dir.put("rsc/b.png", smallPng());
    dir.put("rsc/broken.png", smallPng().substr(0, 40));
    VMPtr<Image> a = Image::createImage(VM_STR("a.png"));
    EXPECT_EQ(a->getWidth(), 3);
    EXPECT_EQ(a->getHeight(), 2);
    EXPECT_FALSE(a->isMutable());
    EXPECT_TRUE(a->hasAlpha());
    EXPECT_EQ(Image::createImage(VM_STR("/b.png"))->getWidth(), 3);
    EXPECT_EQ(VM_THROWN_TEXT(Image::createImage(VM_STR("/missing.png"))),
              "java.io.IOException: HAL_createImageWithResource() error: 4");
    EXPECT_EQ(VM_THROWN_TEXT(Image::createImage(VM_STR("/broken.png"))),
              "java.io.IOException: HAL_createImageWithResource() error: 6");
    EXPECT_EQ(VM_THROWN_CLASS(Image::createImage(VMPtr<String>())), "java.lang.NullPointerException");
    // Names the resource layer refuses are resources that cannot be had.
    const std::u16string refused[] = {u"/",
                                      u"/../b.png",
                                      u"a/../../../b.png",
                                      u"//etc/x.png",
                                      std::u16string(u"/b.png\0x", 8),
                                      u"/b\xD800.png",
                                      u"/b\xDC00.png"};
    for (const std::u16string& name : refused) {
        VMPtr<String> refusedName =
            String::create()->_VM_initLength(reinterpret_cast<const jchar*>(name.data()), jint(name.size()));
        EXPECT_EQ(VM_THROWN_TEXT(Image::createImage(refusedName)),
                  "java.io.IOException: HAL_createImageWithResource() error: 2")
            << name.size();
    }
    // Read back with the alpha kept and the colours through RGB565.
    Picture p = pictureOf(a);
    EXPECT_EQ(p.argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF, 0x00000000, 0xFF000000}));
}

TEST_F(ImageTest, BytesAreCheckedThenDecodedAndGarbageIsABadFormat) {
    VMPtr<VMArray<jbyte, 1>> data = bytesOf("xx" + smallPng());
    VMPtr<Image> image = Image::createImage(data, 2, data->length - 2);
    EXPECT_EQ(image->getWidth(), 3);
    EXPECT_EQ(VM_THROWN_CLASS(image->getGraphics()), "java.lang.IllegalStateException");
    VMPtr<VMArray<jbyte, 1>> empty = VMArray<jbyte, 1>::create(0);
    struct Case {
        VMPtr<VMArray<jbyte, 1>> bytes;
        jint offset, length;
        const char* thrown;
    };
    const Case cases[] = {{data, data->length, 0, "java.lang.ArrayIndexOutOfBoundsException"},
                          {empty, 0, 0, "java.lang.ArrayIndexOutOfBoundsException"},
                          {data, -1, 4, "java.lang.ArrayIndexOutOfBoundsException"},
                          {data, 2, INT_MAX, "java.lang.ArrayIndexOutOfBoundsException"},
                          {data, 1, -1, "java.lang.ArrayIndexOutOfBoundsException"},
                          {nullptr, 0, 0, "java.lang.NullPointerException"}};
    for (const Case& c : cases) {
        EXPECT_EQ(VM_THROWN_CLASS(Image::createImage(c.bytes, c.offset, c.length)), c.thrown)
            << c.offset << " " << c.length;
    }
    for (jint length : {10, 0}) {
        EXPECT_EQ(VM_THROWN_TEXT(Image::createImage(data, 0, length)),
                  "java.lang.IllegalArgumentException: HAL_createImageWithData() error: HAL_BAD_FORMAT_ERR");
    }
}

TEST_F(ImageTest, MutableImagesCopiesAndRegions) {
    VMPtr<Image> red = Image::createImage(4, 4, false, 0x00FF0000);
    EXPECT_TRUE(red->isMutable());
    EXPECT_FALSE(red->hasAlpha());
    EXPECT_EQ(pictureOf(red).argb, std::vector<uint32_t>(16, 0xFFFF0000u));
    EXPECT_EQ(pictureOf(Image::createImage(2, 2)).argb, std::vector<uint32_t>(4, 0xFFFFFFFFu));
    EXPECT_EQ(pictureOf(Image::createImage(2, 1, true, 0x40102030)).argb,
              std::vector<uint32_t>(2, 0x40000000u | hal::widen565(hal::to565(0x102030))));
    VMPtr<Graphics> g1 = red->getGraphics();
    EXPECT_NE(g1.get(), red->getGraphics().get());
    // An immutable copy of a mutable image keeps the pixels it had.
    VMPtr<Image> copy = Image::createImage(red);
    g1->setColor(0x0000FF);
    g1->fillRect(0, 0, 4, 4);
    EXPECT_FALSE(copy->isMutable());
    EXPECT_EQ(pictureOf(copy).argb, std::vector<uint32_t>(16, 0xFFFF0000u));
    // Whole immutable images come back as they are; regions are new images
    // of the transformed size.
    EXPECT_NE(Image::createImage(copy).get(), copy.get());
    EXPECT_EQ(Image::createImage(copy, 0, 0, 4, 4, 0).get(), copy.get());
    EXPECT_NE(Image::createImage(red, 0, 0, 4, 4, 0).get(), red.get());
    VMPtr<Image> big = Image::createImage(10, 20);
    VMPtr<Image> turned = Image::createImage(big, 0, 0, 10, 20, 5);
    EXPECT_EQ(turned->getWidth(), 20);
    EXPECT_EQ(turned->getHeight(), 10);
    EXPECT_EQ(Image::createImage(big, 0, 0, 10, 10, 0x105)->getWidth(), 10);
    for (auto bad : std::initializer_list<std::function<void()>>{
             [&] { Image::createImage(big, 0, 0, 10, 10, 8); }, [&] { Image::createImage(big, 1, 0, INT_MAX, 1, 0); },
             [&] { Image::createImage(big, 0, 0, 0, 1, 0); }, [&] { Image::createImage(-1, 5); },
             [&] { Image::createImage(0, 5); }, [&] { Image::createImage(5, 0, true, 0); },
             [&] { Image::createRGBImage(VMArray<jint, 1>::create(4), 0, 4, false); }}) {
        EXPECT_EQ(VM_THROWN_CLASS(bad()), "java.lang.IllegalArgumentException");
    }
    EXPECT_EQ(VM_THROWN_CLASS(Image::createRGBImage(VMArray<jint, 1>::create(4), 65536, 65536, false)),
              "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(Image::createImage(VMPtr<Image>())), "java.lang.NullPointerException");
}

TEST_F(ImageTest, GetRGBChecksEveryRowWhicheverWayTheScanlengthRuns) {
    VMPtr<Image> image = Image::createRGBImage(intArray({0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}), 2, 2, false);
    // Rows backwards: row i goes to offset - i * width.
    VMPtr<VMArray<jint, 1>> out = VMArray<jint, 1>::create(4);
    image->getRGB(out, 2, -2, 0, 0, 2, 2);
    Picture back{2, 2, std::vector<uint32_t>(out->elements(), out->elements() + 4)};
    EXPECT_EQ(back.argb, (std::vector<uint32_t>{0xFF000000 | hal::widen565(hal::to565(3)),
                                                0xFF000000 | hal::widen565(hal::to565(4)), 0xFF000000, 0xFF000000}));
    struct Case {
        jint offset, scan, x, y, w, h;
        const char* thrown;
    };
    const Case cases[] = {{0, 2, 1, 0, 2, 1, "java.lang.IllegalArgumentException"},
                          {0, 1, 0, 0, 2, 1, "java.lang.IllegalArgumentException"},
                          {0, 2, 0, 0, 0, 2, ""},
                          {3, -2, 0, 0, 2, 2, "java.lang.ArrayIndexOutOfBoundsException"},
                          {1, -2, 0, 0, 2, 2, "java.lang.ArrayIndexOutOfBoundsException"},
                          {-1, 2, 0, 0, 1, 1, "java.lang.ArrayIndexOutOfBoundsException"},
                          {0, INT_MAX, 0, 0, 1, 2, "java.lang.ArrayIndexOutOfBoundsException"},
                          {0, 2, 0, INT_MAX, 1, 2, "java.lang.IllegalArgumentException"}};
    for (const Case& c : cases) {
        EXPECT_EQ(VM_THROWN_CLASS(image->getRGB(out, c.offset, c.scan, c.x, c.y, c.w, c.h)), c.thrown)
            << c.offset << " " << c.scan << " " << c.x << " " << c.y << " " << c.w << " " << c.h;
    }
    EXPECT_EQ(VM_THROWN_CLASS(image->getRGB(nullptr, 0, 2, 0, 0, 1, 1)), "java.lang.NullPointerException");
}

// Fuzz target: the PNG chunk walk of the resource front end: the palette
// lookup, the transparent index and the palette exchange, also through a
// decoding.
//
// Input layout: byte 0 bit 0 tries a palette one byte too long as well;
// bit 1 decodes the image with its palette exchanged; the rest is the PNG.
//
// Allowed outcomes: each routine throws java.lang.Exception or answers; an
// exchange is all or nothing, and exchanging twice (or a decoding with the
// palette) leaves the PNG and the palette exactly as they were. A palette
// of the wrong length is refused without a change. Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "VM.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_lang_Exception.h"
#include "java_lang_IllegalArgumentException.h"
#include "ts_Resources.h"
#include "vm_boot.h"

namespace {

using ts::Resources;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_png_palette: %s\n", what);
    std::abort();
}

std::vector<jbyte> copyOf(const VMPtr<VMBytes>& a) {
    return std::vector<jbyte>(a->elements(), a->elements() + a->length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size == 0) return 0;
    const uint8_t control = data[0];
    VMPtr<VMBytes> png = VMBytes::create(jint(size - 1));
    if (size > 1) std::memcpy(png->elements(), data + 1, size - 1);
    const std::vector<jbyte> original = copyOf(png);

    VMPtr<VMBytes> palette;
    try {
        palette = Resources::readPalette(Resources::createStream(png, 0, png->length));
    } catch (java::lang::Exception*) {}
    try {
        const jint index = Resources::findTransparentIndex(Resources::createStream(png, 0, png->length));
        if (index < -1) fail("a transparent index below -1");
    } catch (java::lang::Exception*) {}
    if (palette != nullptr) {
        // A changed palette of the right length goes in and comes back out.
        for (jint i = 0; i < palette->length; ++i) palette->elements()[i] = jbyte(~palette->elements()[i]);
        const std::vector<jbyte> colours = copyOf(palette);
        try {
            Resources::swapPalette(png, 0, palette);
            Resources::swapPalette(png, 0, palette);
        } catch (java::lang::Exception*) {}
        if (copyOf(png) != original || copyOf(palette) != colours) fail("two exchanges did not restore both arrays");
        if (control & 2) {
            try {
                Resources::createImageWithPalette(png, 0, png->length, palette);
            } catch (java::lang::Exception*) {}
            if (copyOf(png) != original || copyOf(palette) != colours) fail("a decoding did not restore both arrays");
        }
        if (control & 1) {
            VMPtr<VMBytes> longer = VMBytes::create(palette->length + 1);
            try {
                Resources::swapPalette(png, 0, longer);
                fail("a palette of the wrong length was exchanged");
            } catch (java::lang::IllegalArgumentException*) {}
            if (copyOf(png) != original) fail("a refused palette changed the PNG");
        }
    } else {
        // No palette: an exchange of any palette changes nothing or is refused.
        VMPtr<VMBytes> any = VMBytes::create(16);
        try {
            Resources::swapPalette(png, 0, any);
        } catch (java::lang::Exception*) {}
        if (copyOf(png) != original) fail("an exchange without a palette changed the PNG");
    }
    vmFuzzInputDone();
    return 0;
}

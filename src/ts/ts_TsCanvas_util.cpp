// ts.TsCanvas: numbers, pixels and sorting.
#include "ts_TsCanvas.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "VMThrow.h"
#include "java_lang_Integer.h"

namespace ts {

using java::lang::String;
using java::lang::StringBuffer;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {

// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320), one table
// step per byte.
constexpr std::array<uint32_t, 256> kCrcTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

// Continues crc (0 to start) over size bytes.
uint32_t updateCrc(uint32_t crc, const uint8_t* bytes, size_t size) {
    uint32_t c = ~crc;
    for (size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ bytes[i]) & 0xFFu] ^ (c >> 8);
    return ~c;
}

}  // namespace

// --- numbers, pixels and sorting ---------------------------------------------------

jint TsCanvas::parseInt(VMPtr<String> s) { return java::lang::Integer::parseInt(s); }

void TsCanvas::appendNumber(VMPtr<StringBuffer> sb, jint n) {
    if (sb == nullptr) _VM_throwNullPointer();
    sb->append(n);
}

void TsCanvas::insertNumber(VMPtr<StringBuffer> sb, jint value, jint minDigits, jint offset) {
    if (sb == nullptr) _VM_throwNullPointer();
    // The magnitude in 64 bits: -2147483648 has none in 32.
    jlong magnitude = value;
    if (magnitude < 0) {
        sb->insert(offset, jchar('-'));
        ++offset;
        magnitude = -magnitude;
    }
    if (magnitude >= 65536) {
        sb->insert(offset, magnitude);
        return;
    }
    jint digits = 0;
    do {
        sb->insert(offset, jchar('0' + magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude > 0);
    for (; digits < minDigits; ++digits) sb->insert(offset, jchar('0'));
}

jint TsCanvas::getAlphaKind(VMPtr<VMInts> argb, jint offset, jint scanLength, jint x, jint y, jint width, jint height) {
    if (argb == nullptr) _VM_throwNullPointer();
    jint kind = 1;
    for (jint row = 0; row < height; ++row) {
        for (jint column = 0; column < width; ++column) {
            const jlong index = jlong(offset) + jlong(y + row) * scanLength + x + column;
            if (index < 0 || index >= argb->length) _VM_throwArrayIndexOutOfBoundsException(jint(index));
            const uint32_t alpha = uint32_t(argb->elements()[index]) >> 24;
            if (alpha == 0)
                kind = 2;
            else if (alpha != 0xFF)
                return 3;
        }
    }
    return kind;
}

jboolean TsCanvas::hasTranslucentPixel(VMPtr<VMInts> argb) {
    if (argb == nullptr) _VM_throwNullPointer();
    const jint* pixels = argb->elements();
    for (jint i = 0; i < argb->length; ++i) {
        if ((uint32_t(pixels[i]) >> 24) < 0xF0) return true;
    }
    return false;
}

VMPtr<Image> TsCanvas::createRGBImage(VMPtr<VMInts> argb, jint width, jint height, jboolean processAlpha) {
    return Image::createRGBImage(argb, width, height, processAlpha);
}

void TsCanvas::getRGB(VMPtr<Image> image, VMPtr<VMInts> out, jint offset, jint scanLength, jint x, jint y, jint width,
                      jint height) {
    if (image == nullptr) _VM_throwNullPointer();
    image->getRGB(out, offset, scanLength, x, y, width, height);
}

void TsCanvas::drawRegion(VMPtr<Image> image, jint xSrc, jint ySrc, jint width, jint height, VMPtr<Graphics> g,
                          jint xDest, jint yDest) {
    if (g == nullptr) _VM_throwNullPointer();
    g->drawRegion(image, xSrc, ySrc, width, height, 0, xDest, yDest, Graphics::TOP | Graphics::LEFT);
}

void TsCanvas::sortInts(VMPtr<VMInts> a, jint n) {
    if (a == nullptr) _VM_throwNullPointer();
    if (n > a->length) _VM_throwArrayIndexOutOfBoundsException(a->length);
    jint* v = a->elements();
    // Comb sort. The gap shrinks by 197/256 but never below 1, and the sort
    // ends with a pass at gap 1 that swaps nothing.
    jint gap = n;
    for (bool swapped = true; gap > 1 || swapped;) {
        gap = std::max(1, jint(jlong(gap) * 197 / 256));
        swapped = false;
        for (jint i = 0; i + gap < n; ++i) {
            if (v[i] > v[i + gap]) {
                std::swap(v[i], v[i + gap]);
                swapped = true;
            }
        }
    }
}

jint TsCanvas::binarySearch(VMPtr<VMInts> a, jint last, jint key) {
    if (a == nullptr) _VM_throwNullPointer();
    if (last >= a->length) _VM_throwArrayIndexOutOfBoundsException(last);
    const jint* v = a->elements();
    jint low = 0, high = last;
    while (low <= high) {
        const jint middle = jint((jlong(low) + high) / 2);
        if (v[middle] < key)
            low = middle + 1;
        else if (v[middle] > key)
            high = middle - 1;
        else
            return middle;
    }
    return low;
}

VMPtr<VMBytes> TsCanvas::indexImage(VMPtr<Image> image, VMPtr<VMInts> palette) {
    if (image == nullptr || palette == nullptr) _VM_throwNullPointer();
    const jint width = image->getWidth(), height = image->getHeight();
    VMPtr<VMInts> pixels = VMInts::create(width * height);
    image->getRGB(pixels, 0, width, 0, 0, width, height);
    // The colours in order of first appearance; more than 256 is refused
    // before anything is written.
    std::unordered_map<jint, jint> indexOf;
    std::vector<jint> colours;
    const jint* px = pixels->elements();
    for (jint i = 0; i < pixels->length; ++i) {
        if (indexOf.emplace(px[i], jint(colours.size())).second) {
            colours.push_back(px[i]);
            if (colours.size() > 256) _VM_throwIllegalArgumentException();
        }
    }
    if (jint(colours.size()) > palette->length) _VM_throwArrayIndexOutOfBoundsException(palette->length);
    // The transparent key colour goes to entry 0.
    for (size_t k = 0; k < colours.size(); ++k) {
        if ((uint32_t(colours[k]) & 0xF0F0F0u) != 0xF000F0u) continue;
        if (k != 0) {
            std::swap(colours[0], colours[k]);
            indexOf[colours[0]] = 0;
            indexOf[colours[k]] = jint(k);
        }
        break;
    }
    for (size_t k = 0; k < colours.size(); ++k) (*palette)[jint(k)] = colours[k];
    VMPtr<VMBytes> indices = VMBytes::create(pixels->length);
    jbyte* out = indices->elements();
    px = pixels->elements();
    for (jint i = 0; i < pixels->length; ++i) out[i] = jbyte(indexOf[px[i]]);
    return indices;
}

void TsCanvas::updatePaletteCrc(VMPtr<VMBytes> palette) {
    if (palette == nullptr) _VM_throwNullPointer();
    if (palette->length < 4) _VM_throwIllegalArgumentException();
    // A chunk's CRC covers its type and its data.
    static const uint8_t kType[] = {'P', 'L', 'T', 'E'};
    uint32_t crc = updateCrc(0, kType, 4);
    crc = updateCrc(crc, reinterpret_cast<const uint8_t*>(palette->elements()), size_t(palette->length - 4));
    jbyte* out = palette->elements() + palette->length - 4;
    for (int i = 0; i < 4; ++i) out[i] = jbyte(crc >> (24 - 8 * i));
}

}  // namespace ts

// ts.Resources: the one door to the game's resources.
#include "ts_Resources.h"

#include <cstring>

#include "java_io_ByteArrayInputStream.h"
#include "java_io_EOFException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_Throwable.h"
#include "ts_TsCanvas.h"
#include "ts_io_resource_ResourcePackChunked.h"
#include "ts_io_resource_ResourcePackSaver.h"

namespace ts {

using java::lang::Throwable;
using ts::io::resource::ResourcePack;

namespace {

[[noreturn]] void throwEOF() { _VM_throw(java::io::EOFException::create()->construct()); }

}  // namespace

VMStatic<ResourcePack> Resources::resourcePack;
jint Resources::pngPosition = 0;

void Resources::_VM_clinit() {
    pngPosition = 0;
    decodedImages = nullptr;
    decodedBytes = nullptr;
    resourcePack = ts::io::resource::ResourcePackChunked::create()->construct();
}

VMPtr<Resources> Resources::construct() {
    Super::construct();
    return this;
}

// --- the pack ------------------------------------------------------------------------------

VMPtr<VMBytes> Resources::getResource(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->getResource(id);
}

VMPtr<Resources::DataInputStream> Resources::getResourceAsStream(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<DataInputStream> in = VMPtr<ResourcePack>(resourcePack)->getResourceAsStream(id);
    if (in->markSupported()) in->mark(0);
    return in;
}

VMPtr<VMBytes> Resources::getResourceData(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->getResourceData(id);
}

jint Resources::getResourceOffset(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->getResourceOffset(id);
}

jint Resources::getResourceSize(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->getResourceSize(id);
}

jint Resources::getResourceType(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->getResourceType(id);
}

jboolean Resources::loadPack(VMPtr<DataInputStream> in) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->load(in, 0);
}

void Resources::unloadPack() {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<ResourcePack>(resourcePack)->unload();
}

jboolean Resources::loadPackFromStore(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    if (id == -1) return loadPack(nullptr);
    VMPtr<VMBytes> bytes = TsCanvas::getInstance()->loadRecordStore(id);
    if (bytes == nullptr) return loadPack(nullptr);
    return loadPack(DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)));
}

VMPtr<Resources::DataInputStream> Resources::createStream(VMPtr<VMBytes> data, jint offset, jint length) {
    return DataInputStream::create()->construct(
        java::io::ByteArrayInputStream::create()->construct(data, offset, length));
}

VMStatic<VMArray<javax::microedition::lcdui::Image, 1>> Resources::decodedImages;
VMStatic<VMArray<jbyte, 2>> Resources::decodedBytes;

VMPtr<javax::microedition::lcdui::Image> Resources::createImage(VMPtr<VMBytes> data, jint offset, jint length) {
    _VM_ensureInitialized(_VM_classRecord);
    // A range the decoder would refuse is left to it and its exception.
    const bool inside = data != nullptr && offset >= 0 && length > 0 && jlong(offset) + length <= data->length;
    if (!inside) return Image::createImage(data, offset, length);
    if (decodedImages == nullptr) {
        decodedImages = VMArray<Image, 1>::create(DECODED_KEPT);
        decodedBytes = VMArray<jbyte, 2>::create(DECODED_KEPT);
    }
    VMPtr<VMArray<Image, 1>> images = decodedImages;
    VMPtr<VMArray<jbyte, 2>> sources = decodedBytes;
    const jbyte* png = data->elements() + offset;
    jint found = -1;
    for (jint i = 0; i < DECODED_KEPT && found < 0; ++i) {
        VMBytes* kept = sources->get(i);
        if (kept != nullptr && kept->length == length && std::memcmp(kept->elements(), png, size_t(length)) == 0) {
            found = i;
        }
    }
    VMPtr<Image> kept;
    VMPtr<VMBytes> source;
    VMPtr<Image> image;
    if (found >= 0) {
        kept = images->get(found);
        source = sources->get(found);
        image = Image::createImage(kept);
    } else {
        image = kept = Image::createImage(data, offset, length);
        source = VMBytes::create(length);
        std::memcpy(source->elements(), png, size_t(length));
        found = DECODED_KEPT - 1;  // the least recently used makes way
    }
    for (jint i = found; i > 0; --i) {
        images->set(i, images->get(i - 1));
        sources->set(i, sources->get(i - 1));
    }
    images->set(0, kept);
    sources->set(0, source);
    return image;
}

void Resources::forgetDecodedImages() {
    _VM_ensureInitialized(_VM_classRecord);
    decodedImages = nullptr;
    decodedBytes = nullptr;
}

VMPtr<javax::microedition::lcdui::Image> Resources::getImage(jint id) { return getImage(id, nullptr); }

VMPtr<javax::microedition::lcdui::Image> Resources::getImage(jint id, VMPtr<VMBytes> palette) {
    _VM_ensureInitialized(_VM_classRecord);
    return VMPtr<ResourcePack>(resourcePack)->getImage(id, palette);
}

VMPtr<ts::util::text::Translation> Resources::getTranslation(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<DataInputStream> in = getResourceAsStream(id);
    const jint size = getResourceSize(id);
    return ts::util::text::Translation::create()->construct(in, size);
}

VMPtr<VMBytes> Resources::buildPackBytes(VMPtr<VMArray<jbyte, 2>> resources, VMPtr<VMBytes> types) {
    return ts::io::resource::ResourcePackSaver::buildPack(resources, types);
}

// --- PNG chunks ----------------------------------------------------------------------------

jint Resources::findPaletteChunk(VMPtr<DataInputStream> in) {
    _VM_ensureInitialized(_VM_classRecord);
    ResourcePack::skipFully(in, 8);
    jlong position = 8;
    jint length = in->readInt();
    jint type = in->readInt();
    position += 8;
    while (type != PLTE) {
        if (type == IEND) return -1;
        // The length is unsigned on file: a chunk that large runs past the end.
        const jlong skip = jlong(uint32_t(length)) + 4;
        ResourcePack::skipFully(in, skip);
        position += skip;
        length = in->readInt();
        type = in->readInt();
        position += 8;
        if (position > INT32_MAX) throwEOF();
    }
    pngPosition = jint(position);
    return length;
}

VMPtr<VMBytes> Resources::readPalette(VMPtr<DataInputStream> in) {
    const jint n = findPaletteChunk(in);
    if (n < 0) return nullptr;
    return ResourcePack::readBytes(in, jlong(n) + 4);
}

jint Resources::findTransparentIndex(VMPtr<DataInputStream> in) {
    ResourcePack::skipFully(in, 33);
    const jint paletteLength = in->readInt();
    ResourcePack::skipFully(in, jlong(uint32_t(paletteLength)) + 8);
    const jint length = in->readInt();
    const jint type = in->readInt();
    if (type != TRNS) return -1;
    for (jint i = 0; i < length; ++i) {
        if (in->readByte() == 0) return i;
    }
    return -1;
}

VMPtr<VMBytes> Resources::getPalette(jint id) { return readPalette(getResourceAsStream(id)); }

jint Resources::getTransparentIndex(jint id) { return findTransparentIndex(getResourceAsStream(id)); }

// --- palette exchange ----------------------------------------------------------------------

jint Resources::locatePalette(VMPtr<VMBytes> data, jint offset, jint length, VMPtr<VMBytes> palette) {
    if (data == nullptr) _VM_throwNullPointer();
    if (offset < 0 || offset > data->length) _VM_throwArrayIndexOutOfBoundsException(offset);
    if (length < 0 || jlong(offset) + length > data->length) _VM_throwArrayIndexOutOfBoundsException(offset + length);
    const jint n = findPaletteChunk(createStream(data, offset, length));
    if (n == -1) return -1;
    // The palette takes exactly the chunk's data and CRC: anything else
    // would run into the next chunk.
    if (n < 0 || jlong(palette->length) != jlong(n) + 4) {
        VMPtr<java::lang::StringBuffer> message = java::lang::StringBuffer::create()->construct();
        message->append("Palette of ");
        message->append(palette->length);
        message->append(" bytes for a PLTE chunk of ");
        message->append(n);
        message->append(" bytes");
        _VM_throw(java::lang::IllegalArgumentException::create()->construct(message->toString()));
    }
    if (jlong(pngPosition) + palette->length > length) throwEOF();
    return offset + pngPosition;
}

void Resources::exchange(VMPtr<VMBytes> data, jint at, VMPtr<VMBytes> palette) {
    jbyte* png = data->elements() + at;
    jbyte* colours = palette->elements();
    for (jint i = 0; i < palette->length; ++i) {
        const jbyte b = png[i];
        png[i] = colours[i];
        colours[i] = b;
    }
}

void Resources::swapPalette(VMPtr<VMBytes> data, jint offset, VMPtr<VMBytes> palette) {
    _VM_ensureInitialized(_VM_classRecord);
    if (palette == nullptr) return;
    if (data == nullptr) _VM_throwNullPointer();
    const jint at = locatePalette(data, offset, data->length - offset, palette);
    if (at >= 0) exchange(data, at, palette);
}

VMPtr<javax::microedition::lcdui::Image> Resources::createImageWithPalette(VMPtr<VMBytes> data, jint offset,
                                                                           jint length, VMPtr<VMBytes> palette) {
    _VM_ensureInitialized(_VM_classRecord);
    if (palette == nullptr) return createImage(data, offset, length);
    const jint at = locatePalette(data, offset, length, palette);
    if (at < 0) return createImage(data, offset, length);
    exchange(data, at, palette);
    VMPtr<Image> image;
    try {
        image = createImage(data, offset, length);
    } catch (Throwable* failure) {
        VMPtr<Throwable> keep(failure);
        exchange(data, at, palette);  // both arrays back as they were
        _VM_throw(keep);
    }
    exchange(data, at, palette);
    return image;
}

// --- bitmap file ---------------------------------------------------------------------------

VMPtr<VMBytes> Resources::getImageAsBmp(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    _VM_ensureInitialized(TsCanvas::_VM_classRecord);
    VMPtr<VMBytes> savedBuffer = TsCanvas::saveBuffer;
    const jint savedPosition = TsCanvas::savePosition;
    VMPtr<VMBytes> out;
    try {
        VMPtr<Image> image = getImage(id);
        const jint width = image->getWidth();
        const jint height = image->getHeight();
        VMPtr<VMArray<jint, 1>> palette = VMArray<jint, 1>::create(256);
        VMPtr<VMBytes> indices = TsCanvas::indexImage(image, palette);
        if (jlong(indices->length) < jlong(width) * height) _VM_throwArrayIndexOutOfBoundsException(indices->length);
        jint pad = 4 - width % 4;
        if (pad == 4) pad = 0;
        const jint row = width + pad;
        const jlong pixels = jlong(row) * height;
        if (pixels > INT32_MAX - 1078) _VM_throwOutOfMemoryError();
        const jint total = 54 + 1024 + jint(pixels);
        out = VMBytes::create(total);
        TsCanvas::saveBuffer = out;
        TsCanvas::savePosition = 0;
        TsCanvas::writeShortLE(0x4D42);
        TsCanvas::writeIntLE(total);
        TsCanvas::writeIntLE(0);
        TsCanvas::writeIntLE(1078);
        TsCanvas::writeIntLE(40);
        TsCanvas::writeIntLE(width);
        TsCanvas::writeIntLE(height);
        TsCanvas::writeShortLE(1);
        TsCanvas::writeShortLE(8);
        TsCanvas::writeIntLE(0);
        TsCanvas::writeIntLE(jint(pixels));
        TsCanvas::writeIntLE(0);
        TsCanvas::writeIntLE(0);
        TsCanvas::writeIntLE(256);
        TsCanvas::writeIntLE(256);
        for (jint i = 0; i < 256; ++i) TsCanvas::writeIntLE(palette->elements()[i] | jint(0xFF000000));
        // Rows from the bottom up, each padded with zeros to 4 bytes.
        for (jint y = height - 1; y >= 0; --y) {
            std::memcpy(out->elements() + TsCanvas::savePosition, indices->elements() + jlong(y) * width,
                        size_t(width));
            TsCanvas::savePosition += width;
            for (jint k = 0; k < pad; ++k) TsCanvas::writeByte(0);
        }
    } catch (Throwable* failure) {
        VMPtr<Throwable> keep(failure);
        TsCanvas::saveBuffer = savedBuffer;
        TsCanvas::savePosition = savedPosition;
        _VM_throw(keep);
    }
    TsCanvas::saveBuffer = savedBuffer;
    TsCanvas::savePosition = savedPosition;
    return out;
}

// --- image parts and animation sets ---------------------------------------------------------

jchar Resources::gobImageId = 0;
VMStatic<VMArray<jboolean, 1>> Resources::gobFlags;
VMStatic<VMBytes> Resources::gobColumnWidths;
VMStatic<VMArray<jshort, 1>> Resources::gobValues;

VMPtr<VMArray<ts::Gob, 1>> Resources::getGobs(jint id) { return getGobs(id, nullptr); }

VMPtr<VMArray<ts::Gob, 1>> Resources::getGobs(jint id, VMPtr<VMBytes> palette) {
    return loadGobs(id, palette, getResourceAsStream(id), nullptr);
}

VMPtr<ts::AnimSet> Resources::getAnimSet(jint id) {
    _VM_ensureInitialized(ts::AnimSet::_VM_classRecord);
    return ts::AnimSet::loadAnimSet(id);
}

VMPtr<VMArray<ts::Gob, 1>> Resources::loadGobs(jint id, VMPtr<VMBytes> palette, VMPtr<DataInputStream> in,
                                               VMPtr<DataInputStream>) {
    _VM_ensureInitialized(_VM_classRecord);
    if (in == nullptr) _VM_throwNullPointer();
    gobImageId = in->readChar();
    const jint imageId = gobImageId | (id & 0xFC00);
    in->readByte();
    const jint sectionLength = in->readShort();
    VMPtr<VMBytes> data = VMBytes::create(sectionLength - 4);
    const jint wordA = in->readChar();
    const jint wordB = in->readChar();
    in->readFully(data);
    if (gobFlags == nullptr) {
        gobFlags = VMArray<jboolean, 1>::create(20);
        gobColumnWidths = VMBytes::create(10);
        gobValues = VMArray<jshort, 1>::create(10);
    }
    VMPtr<VMArray<jboolean, 1>> flags = gobFlags;
    VMPtr<VMBytes> widths = gobColumnWidths;
    VMPtr<VMArray<jshort, 1>> values = gobValues;
    for (jint i = 0; i < 4; ++i) (*flags)[16 + i] = (wordB & (0x8000 >> i)) != 0;
    // The alpha kinds, 2 bits a record, four records a byte.
    VMPtr<VMBytes> alphaKinds;
    if ((*flags)[18]) {
        const jint length = in->readShort();
        in->readInt();
        in->readByte();
        alphaKinds = VMBytes::create(length - 5);
        in->readFully(alphaKinds);
    }
    const jint count = wordB & 0xFFF;
    for (jint i = 0; i < 16; ++i) (*flags)[i] = (wordA & (1 << i)) == 0;
    // Columns 0-1, 2-5 and 6-9 are present by groups (flags 0-2); a present
    // column is 2 bytes wide when its flag (from 5 on) is set, else 1.
    static const jint groupOfColumn[10] = {0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
    jint k = 5;
    for (jint c = 0; c < 10; ++c) {
        if (!(*flags)[groupOfColumn[c]]) {
            (*widths)[c] = 0;
        } else {
            (*widths)[c] = (*flags)[k] ? 2 : 1;
            ++k;
        }
    }
    VMPtr<VMArray<ts::Gob, 1>> gobs = VMArray<ts::Gob, 1>::create(count);
    for (jint i = 0; i < count; ++i) {
        VMPtr<ts::Gob> gob = ts::Gob::create()->construct();
        if (alphaKinds != nullptr) gob->alphaKind = jbyte(((*alphaKinds)[i >> 2] >> ((i & 3) * 2)) & 3);
        gobs->set(i, gob);
    }
    ts::Gob::setImageForAll(gobs, imageId, palette, nullptr);
    // The columns follow each other, each holding one value per record.
    for (jint i = 0; i < count; ++i) {
        jint p = 0;
        for (jint c = 0; c < 10; ++c) {
            const jint width = (*widths)[c];
            jint value = 0;
            if (width != 0) {
                const jint shift = width == 2 ? 1 : 0;
                p += i << shift;
                if (width == 1) {
                    value = (*data)[p];
                    if ((c >= 2 && c <= 5) || c >= 8) value &= 0xFF;
                } else {
                    value = (*data)[p] << 8 | ((*data)[p + 1] & 0xFF);
                }
                p += (count - i) << shift;
            }
            (*values)[c] = jshort(value);
        }
        VMPtr<ts::Gob> gob = gobs->get(i);
        gob->setFromRecord(values);
    }
    return gobs;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::Resources, .name = "ts.Resources", .staticInit = ts::Resources::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<ts::Resources>)

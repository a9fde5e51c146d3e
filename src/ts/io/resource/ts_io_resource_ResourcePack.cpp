// ts.io.resource.ResourcePack: the reader of numbered resource packs.
#include "ts_io_resource_ResourcePack.h"

#include <algorithm>
#include <cstring>

#include "java_io_EOFException.h"
#include "java_io_IOException.h"
#include "java_lang_Class.h"
#include "java_lang_Exception.h"
#include "java_lang_RuntimeException.h"
#include "ts_Resources.h"
#include "ts_TsCanvas.h"

namespace ts::io::resource {

using java::io::DataInputStream;
using java::lang::Exception;
using java::lang::RuntimeException;
using java::lang::String;
using java::lang::StringBuffer;

namespace {

constexpr jint kBlock = 64 * 1024;

[[noreturn]] void throwEOF() { _VM_throw(java::io::EOFException::create()->construct()); }

}  // namespace

jint ResourcePack::currentPack = -1;
VMStatic<StringBuffer> ResourcePack::nameBuffer;

void ResourcePack::_VM_clinit() {
    currentPack = -1;
    nameBuffer = StringBuffer::create()->construct(8);
}

VMPtr<ResourcePack> ResourcePack::construct() {
    Super::construct();
    return this;
}

// --- reading ---------------------------------------------------------------------------------

VMPtr<VMBytes> ResourcePack::readBytes(VMPtr<DataInputStream> in, jlong length) {
    if (length < 0) _VM_throwNegativeArraySizeException();
    if (length > INT32_MAX) throwEOF();  // more than any stream read here can hold
    const jint n = jint(length);
    if (n <= kBlock || n <= in->available()) {
        VMPtr<VMBytes> bytes = VMBytes::create(n);
        in->readFully(bytes, 0, n);
        return bytes;
    }
    // The stream does not say it holds that much: read it in blocks, so that
    // only what is really there is ever held.
    VMPtr<VMBytes> bytes = VMBytes::create(kBlock);
    jint filled = 0;
    while (filled < n) {
        const jint step = std::min(kBlock, n - filled);
        if (filled + step > bytes->length) {
            const jint grown = jint(std::min<jlong>(n, std::max<jlong>(jlong(bytes->length) * 2, filled + step)));
            VMPtr<VMBytes> larger = VMBytes::create(grown);
            std::memcpy(larger->elements(), bytes->elements(), size_t(filled));
            bytes = larger;
        }
        in->readFully(bytes, filled, step);
        filled += step;
    }
    return bytes;
}

void ResourcePack::skipFully(VMPtr<DataInputStream> in, jlong n) {
    while (n > 0) {
        const jlong step = in->skip(n);
        if (step > 0) {
            n -= step;
        } else {
            // skip may stop short without being at the end: a byte decides.
            if (in->read() < 0) throwEOF();
            --n;
        }
    }
}

void ResourcePack::closeQuietly(VMPtr<java::io::InputStream> in) {
    if (in == nullptr) return;
    try {
        in->close();
    } catch (Exception* ignored) {
        (void)ignored;
    }
}

void ResourcePack::readTable(VMPtr<DataInputStream> in) {
    const jint flags = in->read();
    if (flags < 0) throwEOF();
    const jint width = 2 * ((flags & 1) + 1);
    const jint n = in->readUnsignedShort();
    VMPtr<VMBytes> raw = readBytes(in, jlong(n) * width);
    VMPtr<VMInts> sizes = VMInts::create(n);
    VMPtr<VMInts> offsets = VMInts::create(n + 1);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(raw->elements());
    jlong total = 0;
    for (jint i = 0; i < n; ++i) {
        uint32_t size = 0;
        for (jint k = 0; k < width; ++k) size = size << 8 | *p++;
        // A size that does not fit an int is more than any data holds.
        if (size > uint32_t(INT32_MAX)) throwEOF();
        offsets->elements()[i] = jint(std::min<jlong>(total, INT32_MAX));
        sizes->elements()[i] = jint(size);
        total += size;
    }
    offsets->elements()[n] = jint(std::min<jlong>(total, INT32_MAX));
    VMPtr<VMBytes> types = readBytes(in, n);
    VMPtr<VMBytes> data;
    if (readDataSection) {
        const jint length = in->readInt();
        if (length < 0) _VM_throwNegativeArraySizeException();
        // Every resource must lie inside the data.
        if (total > length) throwEOF();
        data = readBytes(in, length);
    }
    resourceSizes = sizes;
    resourceTypes = types;
    resourceOffsets = offsets;
    packData = data;
}

jboolean ResourcePack::readPack(VMPtr<DataInputStream> in) {
    unload();
    currentPack = 0;
    try {
        readTable(in);
        return true;
    } catch (Exception* failure) {
        (void)failure;
        unload();
        return false;
    }
}

jboolean ResourcePack::load(VMPtr<DataInputStream> in, jint mode) {
    _VM_ensureInitialized(_VM_classRecord);
    if (in == nullptr) {
        unload();
        return false;
    }
    if (mode == 0) {
        dataInMemory = true;
        readDataSection = true;
    }
    return readPack(in);
}

void ResourcePack::unload() {
    resourceTypes = nullptr;
    resourceSizes = nullptr;
    resourceOffsets = nullptr;
    packData = nullptr;
    currentPack = -1;
    unloadExtension();
}

void ResourcePack::ensurePackLoaded(jint id) {
    const jint pack = id >> 10;
    if (pack == 0 || pack == currentPack) return;
    unload();
    if (pack < 0) return;
    try {
        VMPtr<DataInputStream> in = openPack(pack);
        if (in != nullptr) {
            readPack(in);
            in->close();
        }
        currentPack = pack;
    } catch (Exception* failure) {
        (void)failure;
        // Not tried again until another pack has been loaded.
        currentPack = pack;
    }
}

// --- files ---------------------------------------------------------------------------------

VMPtr<String> ResourcePack::getFileName(jint pack, jint part, VMPtr<String> extension) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<StringBuffer> name = nameBuffer;
    name->setLength(0);
    name->append("/RP");
    name->append(pack);
    if (part != -1) {
        name->append("part");
        name->append(part);
    }
    name->append(".");
    if (extension == nullptr) {
        name->append("rp");
    } else {
        name->append(extension);
    }
    return String::create()->construct(name);
}

VMPtr<String> ResourcePack::getFileName(jint pack, jint part) { return getFileName(pack, part, nullptr); }

VMPtr<DataInputStream> ResourcePack::openPack(jint pack) {
    dataInMemory = true;
    readDataSection = true;
    return openStream(getFileName(pack, -1));
}

VMPtr<DataInputStream> ResourcePack::openStream(VMPtr<String> name) {
    VMPtr<java::io::InputStream> in = getClass()->getResourceAsStream(name);
    if (in == nullptr) return nullptr;
    return DataInputStream::create()->construct(in);
}

VMPtr<DataInputStream> ResourcePack::openResourceFile(jint index) {
    return openStream(getFileName(currentPack, index));
}

VMPtr<VMBytes> ResourcePack::readResourceFile(jint index, jint size) {
    VMPtr<DataInputStream> in;
    VMPtr<VMBytes> bytes;
    try {
        in = openResourceFile(index);
        bytes = readBytes(in, size);
    } catch (Exception* failure) {
        VMPtr<Exception> keep(failure);
        closeQuietly(in);
        _VM_throw(RuntimeException::create()->construct(keep->toString()));
    }
    closeQuietly(in);
    return bytes;
}

void ResourcePack::readResource(jint index, VMPtr<VMBytes> destination) {
    VMPtr<DataInputStream> in;
    try {
        in = openResourceFile(index);
        in->readFully(destination, 0, destination->length);
    } catch (Exception* failure) {
        VMPtr<Exception> keep(failure);
        closeQuietly(in);
        _VM_throw(RuntimeException::create()->construct(keep->toString()));
    }
    closeQuietly(in);
}

// --- lookups -------------------------------------------------------------------------------

jint ResourcePack::lookup(jint id) {
    ensurePackLoaded(id);
    const jint index = id & 0x3FF;
    VMInts* sizes = resourceSizes.target;
    bool found = sizes != nullptr && index < sizes->length;
    if (found && dataInMemory) {
        // The table is checked against the data when it is read; a table
        // read without its data section has none to answer from.
        VMBytes* data = packData.target;
        found = data != nullptr && resourceOffsets->elements()[index + 1] <= data->length;
    }
    if (found) return index;
    VMPtr<StringBuffer> message = StringBuffer::create()->construct();
    message->append("No resource ");
    message->append(id);
    if (currentPack == -1) {
        message->append(": no pack is loaded");
    } else {
        message->append(" in pack ");
        message->append(currentPack);
    }
    _VM_throw(RuntimeException::create()->construct(message->toString()));
}

jint ResourcePack::getResourceType(jint id) {
    const jint index = lookup(id);
    return resourceTypes->get(index);
}

jint ResourcePack::getResourceSize(jint id) {
    const jint index = lookup(id);
    return resourceSizes->elements()[index];
}

jint ResourcePack::getResourceOffset(jint id) {
    const jint index = lookup(id);
    return dataInMemory ? resourceOffsets->elements()[index] : 0;
}

VMPtr<VMBytes> ResourcePack::getResourceData(jint id) {
    lookup(id);
    if (dataInMemory) return packData;
    return getResource(id);
}

VMPtr<VMBytes> ResourcePack::getResource(jint id) {
    const jint index = lookup(id);
    const jint size = resourceSizes->elements()[index];
    if (!dataInMemory) return readResourceFile(index, size);
    VMPtr<VMBytes> bytes = VMBytes::create(size);
    std::memcpy(bytes->elements(), packData->elements() + resourceOffsets->elements()[index], size_t(size));
    return bytes;
}

VMPtr<DataInputStream> ResourcePack::getResourceAsStream(jint id) {
    const jint index = lookup(id);
    VMPtr<VMBytes> data = getResourceData(index);
    const jint offset = dataInMemory ? resourceOffsets->elements()[index] : 0;
    return ts::Resources::createStream(data, offset, resourceSizes->elements()[index]);
}

jint ResourcePack::selectForReading(jint id) {
    const jint index = lookup(id);
    VMPtr<VMBytes> data = getResourceData(index);
    _VM_ensureInitialized(ts::TsCanvas::_VM_classRecord);
    ts::TsCanvas::loadBuffer = data;
    ts::TsCanvas::loadPosition = dataInMemory ? resourceOffsets->elements()[index] : 0;
    return resourceSizes->elements()[index];
}

VMPtr<String> ResourcePack::getResourceFileName(jint id) {
    lookup(id);
    if (dataInMemory) return nullptr;
    return getFileName(id >> 10, id & 0x3FF);
}

VMPtr<javax::microedition::lcdui::Image> ResourcePack::getImage(jint id, VMPtr<VMBytes> palette) {
    const jint index = lookup(id);
    VMPtr<VMBytes> data = getResourceData(index);
    const jint offset = dataInMemory ? resourceOffsets->elements()[index] : 0;
    return ts::Resources::createImageWithPalette(data, offset, resourceSizes->elements()[index], palette);
}

}  // namespace ts::io::resource

VM_REGISTER_CLASS(ts::io::resource::ResourcePack, .name = "ts.io.resource.ResourcePack",
                  .staticInit = ts::io::resource::ResourcePack::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<ts::io::resource::ResourcePack>)

// ts.io.resource.ResourcePackChunked: the pack class the system uses.
#include "ts_io_resource_ResourcePackChunked.h"

#include "java_io_ByteArrayInputStream.h"
#include "java_io_EOFException.h"
#include "java_io_IOException.h"
#include "java_lang_Exception.h"
#include "java_lang_IndexOutOfBoundsException.h"
#include "java_lang_RuntimeException.h"
#include "ts_Resources.h"

namespace ts::io::resource {

using java::io::DataInputStream;
using java::io::IOException;
using java::lang::Exception;
using java::lang::String;
using java::lang::StringBuffer;

namespace {

[[noreturn]] void throwEOF() { _VM_throw(java::io::EOFException::create()->construct()); }

VMPtr<DataInputStream> streamOver(VMPtr<VMArray<jbyte, 1>> data) {
    return DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(data));
}

}  // namespace

VMPtr<ResourcePackChunked> ResourcePackChunked::construct() {
    Super::construct();
    return this;
}

VMPtr<String> ResourcePackChunked::chunkIdToString(jint id) {
    VMPtr<VMArray<jbyte, 1>> bytes = VMArray<jbyte, 1>::create(4);
    for (jint i = 0; i < 4; ++i) bytes->elements()[i] = jbyte(id >> (24 - 8 * i));
    return String::create()->construct(bytes);
}

VMPtr<Chunk> ResourcePackChunked::findChunk(jint id) {
    VMPtr<VMArray<Chunk, 1>> table = chunks;
    if (table == nullptr) return nullptr;
    for (jint i = 0; i < table->length; ++i) {
        Chunk* chunk = table->elements()[i];
        if (chunk != nullptr && chunk->isId(id)) return chunk;
    }
    return nullptr;
}

jboolean ResourcePackChunked::hasChunk(jint id) { return findChunk(id) != nullptr; }

VMPtr<Chunk> ResourcePackChunked::getChunk(jint id) {
    VMPtr<Chunk> chunk = findChunk(id);
    if (chunk != nullptr) return chunk;
    VMPtr<StringBuffer> message = StringBuffer::create()->construct();
    message->append("Missing RP chunk '");
    message->append(chunkIdToString(id));
    message->append("'");
    _VM_throw(IOException::create()->construct(message->toString()));
}

void ResourcePackChunked::unload() {
    Super::unload();
    fileSystem = nullptr;
}

// --- opening -------------------------------------------------------------------------------

void ResourcePackChunked::readPackHeader(VMPtr<DataInputStream> in) {
    const jint marker = in->readInt();
    if (marker != Chunk::PACK_MARKER) {
        VMPtr<StringBuffer> message = StringBuffer::create()->construct();
        message->append("Invalid chunked RP file marker, expecting '");
        message->append(chunkIdToString(Chunk::PACK_MARKER));
        message->append("'");
        message->append(" instead of '");
        message->append(chunkIdToString(marker));
        message->append("'");
        _VM_throw(IOException::create()->construct(message->toString()));
    }
    const jint version = in->readUnsignedShort();
    if (version != VERSION) {
        VMPtr<StringBuffer> message = StringBuffer::create()->construct();
        message->append("Invalid RP version, expecting '");
        message->append(VERSION);
        message->append("'");
        message->append(" instead of '");
        message->append(version);
        message->append("'");
        _VM_throw(IOException::create()->construct(message->toString()));
    }
}

void ResourcePackChunked::readChunkTable(VMPtr<DataInputStream> in) {
    const jint count = in->readUnsignedShort();
    VMPtr<VMArray<Chunk, 1>> table = VMArray<Chunk, 1>::create(count);
    chunks = table;
    for (jint i = 0; i < count; ++i) table->set(i, Chunk::readChunk(in));
}

void ResourcePackChunked::useFileSystem() {
    dataInMemory = false;
    VMPtr<Chunk> chunk = getChunk(Chunk::FILE_SYSTEM_ID);
    VMPtr<ChunkVirtualFileSystemOrganization> vfso = static_cast<ChunkVirtualFileSystemOrganization*>(chunk.get());
    // Every resource of the table needs its entry.
    if (resourceSizes != nullptr && vfso->getCount() < resourceSizes->length) throwEOF();
    fileSystem = vfso;
}

void ResourcePackChunked::loadSplitData(jint pack) {
    VMPtr<DataInputStream> in = streamOver(getChunk(Chunk::SPLIT_DATA_ID)->getData());
    dataInMemory = true;
    const jint total = in->readInt();
    if (total < 0) _VM_throwNegativeArraySizeException();
    const jint parts = in->readInt();
    if (parts < 0) _VM_throwNegativeArraySizeException();
    if (parts > in->available() / 4) throwEOF();
    VMPtr<VMInts> sizes = VMInts::create(parts);
    jlong sum = 0;
    for (jint k = 0; k < parts; ++k) {
        const jint size = in->readInt();
        if (size < 0) _VM_throwIndexOutOfBoundsException();
        sizes->elements()[k] = size;
        sum += size;
    }
    // The parts fill the data exactly, and the data holds every resource.
    if (sum > total) _VM_throwIndexOutOfBoundsException();
    if (sum < total) throwEOF();
    if (resourceSizes != nullptr && resourceOffsets->elements()[resourceSizes->length] > total) throwEOF();
    // Each part file must hold its share before the data is sized from them.
    for (jint k = 0; k < parts; ++k) {
        VMPtr<DataInputStream> part = openStream(getFileName(pack, k + 1));
        const jint length = part->available();
        closeQuietly(part);
        if (length < sizes->elements()[k]) throwEOF();
    }
    VMPtr<VMBytes> data = VMBytes::create(total);
    jint offset = 0;
    for (jint k = 0; k < parts; ++k) {
        const jint size = sizes->elements()[k];
        VMPtr<DataInputStream> part = openStream(getFileName(pack, k + 1));
        try {
            part->readFully(data, offset, size);
        } catch (Exception* failure) {
            VMPtr<Exception> keep(failure);
            closeQuietly(part);
            _VM_throw(keep);
        }
        closeQuietly(part);
        offset += size;
    }
    packData = data;
}

VMPtr<DataInputStream> ResourcePackChunked::openPack(jint pack) {
    chunks = nullptr;
    fileSystem = nullptr;
    if (!isChunkedPack(pack)) return Super::openPack(pack);
    VMPtr<DataInputStream> in;
    try {
        in = openStream(getFileName(pack, 0));
        readPackHeader(in);
        readChunkTable(in);
        readDataSection = false;
        // A malformed table fails the open like the rest of the file.
        readTable(streamOver(getChunk(Chunk::PACK_HEADER_ID)->getData()));
        if (hasChunk(Chunk::FILE_SYSTEM_ID)) {
            useFileSystem();
        } else {
            loadSplitData(pack);
        }
        closeQuietly(in);
        chunks = nullptr;
        return nullptr;
    } catch (Exception* failure) {
        VMPtr<Exception> keep(failure);
        closeQuietly(in);
        chunks = nullptr;
        // A pack without tables, never tables without their data.
        unload();
        keep->printStackTrace();
        _VM_throw(java::lang::RuntimeException::create()->construct(keep->toString()));
    }
}

// --- resources -----------------------------------------------------------------------------

VMPtr<String> ResourcePackChunked::fileSystemName(jint index) {
    VMPtr<ChunkVirtualFileSystemOrganization> vfso = fileSystem;
    return getFileName(currentPack, vfso->getFileNumber(index), vfso->getExtension(index));
}

VMPtr<String> ResourcePackChunked::getResourceFileName(jint id) {
    const jint index = lookup(id);
    if (fileSystem == nullptr) return Super::getResourceFileName(id);
    return fileSystemName(index);
}

VMPtr<DataInputStream> ResourcePackChunked::openResourceFile(jint index) {
    if (fileSystem == nullptr) return Super::openResourceFile(index);
    const jint offset = fileSystem->getOffset(index);
    if (offset < 0) {
        VMPtr<StringBuffer> message = StringBuffer::create()->construct();
        message->append("Invalid RP file offset ");
        message->append(offset);
        _VM_throw(IOException::create()->construct(message->toString()));
    }
    VMPtr<DataInputStream> in = openStream(fileSystemName(index));
    try {
        // Exactly offset bytes, or the file is shorter than the entry says.
        skipFully(in, offset);
    } catch (Exception* failure) {
        VMPtr<Exception> keep(failure);
        closeQuietly(in);
        _VM_throw(keep);
    }
    return in;
}

VMPtr<javax::microedition::lcdui::Image> ResourcePackChunked::getImage(jint id, VMPtr<VMBytes> palette) {
    const jint index = lookup(id);
    if (palette == nullptr && fileSystem != nullptr && fileSystem->getOffset(index) == 0) {
        // The file holds exactly this image.
        VMPtr<javax::microedition::lcdui::Image> image =
            javax::microedition::lcdui::Image::createImage(fileSystemName(index));
        if (image != nullptr) return image;
    }
    return Super::getImage(index, palette);
}

}  // namespace ts::io::resource

VM_REGISTER_CLASS(ts::io::resource::ResourcePackChunked, .name = "ts.io.resource.ResourcePackChunked",
                  .newInstance = _VM_newInstanceOf<ts::io::resource::ResourcePackChunked>)

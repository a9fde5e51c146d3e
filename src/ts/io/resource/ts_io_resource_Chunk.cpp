// ts.io.resource.Chunk: one chunk of a chunked resource pack file, held in memory.
#include "ts_io_resource_Chunk.h"

#include "java_io_IOException.h"
#include "java_lang_StringBuffer.h"
#include "ts_io_resource_ChunkVirtualFileSystemOrganization.h"
#include "ts_io_resource_ResourcePack.h"
#include "ts_io_resource_ResourcePackChunked.h"

namespace ts::io::resource {

using java::io::DataInputStream;
using java::io::DataOutputStream;

VMPtr<Chunk> Chunk::construct(jint chunkId, VMPtr<DataInputStream> in) {
    Super::construct();
    buffer = java::io::ByteArrayOutputStream::create()->construct();
    out = DataOutputStream::create()->construct(buffer);
    version = 1;
    id = chunkId;
    const jint length = in->readInt();
    version = in->readInt();
    VMPtr<VMBytes> data = ResourcePack::readBytes(in, length);
    out->write(data, 0, length);
    return this;
}

void Chunk::write(VMPtr<DataOutputStream> dst) {
    VMPtr<VMBytes> data = buffer->toByteArray();
    dst->writeInt(id);
    dst->writeInt(data->length);
    dst->writeInt(version);
    dst->write(data);
}

jboolean Chunk::isId(jint chunkId) { return id == chunkId; }

VMPtr<VMBytes> Chunk::getData() { return buffer->toByteArray(); }

jint Chunk::getSize() { return buffer->size(); }

void Chunk::setVersion(jint v) { version = v; }

VMPtr<VMBytes> Chunk::toByteArray() {
    VMPtr<java::io::ByteArrayOutputStream> bytes = java::io::ByteArrayOutputStream::create()->construct();
    write(DataOutputStream::create()->construct(bytes));
    return bytes->toByteArray();
}

VMPtr<DataOutputStream> Chunk::getOutput() { return out; }

jint Chunk::getVersion() { return version; }

VMPtr<Chunk> Chunk::readChunk(VMPtr<DataInputStream> in) {
    const jint chunkId = in->readInt();
    if (chunkId == FILE_SYSTEM_ID) return ChunkVirtualFileSystemOrganization::create()->construct(in);
    if (chunkId == PACK_HEADER_ID || chunkId == SPLIT_DATA_ID) return create()->construct(chunkId, in);
    VMPtr<java::lang::StringBuffer> message = java::lang::StringBuffer::create()->construct();
    message->append("Unknown RP chunk id '");
    message->append(ResourcePackChunked::chunkIdToString(chunkId));
    message->append("'");
    _VM_throw(java::io::IOException::create()->construct(message->toString()));
}

}  // namespace ts::io::resource

VM_REGISTER_CLASS(ts::io::resource::Chunk, .name = "ts.io.resource.Chunk")

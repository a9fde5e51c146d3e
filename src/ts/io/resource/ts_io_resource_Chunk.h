// ts.io.resource.Chunk: one chunk of a chunked resource pack file, held in
// memory: a four-character id, a version word and the data bytes. On file a
// chunk is its id, its data length L, its version (32 bits each, high byte
// first) and L data bytes.
#pragma once

#include "java_io_ByteArrayOutputStream.h"
#include "java_io_DataInputStream.h"
#include "java_io_DataOutputStream.h"

namespace ts::io::resource {

class Chunk : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Chunk, java::lang::Object)

public:
    // The four characters of each id, the first in the most significant byte.
    static constexpr jint PACK_MARKER = 0x25525025;     // "%RP%"
    static constexpr jint FILE_SYSTEM_ID = 0x5646534F;  // "VFSO"
    static constexpr jint SPLIT_DATA_ID = 0x46534C4D;   // "FSLM"
    static constexpr jint PACK_HEADER_ID = 0x52504865;  // "RPHe"

    jint version = 0;
    VMField<java::io::ByteArrayOutputStream> buffer;  // the data bytes
    jint id = 0;
    VMField<java::io::DataOutputStream> out;  // appends to the data

    // Reads the rest of a chunk whose id has been read: length, version,
    // data. EOFException when the stream holds less than the length says,
    // NegativeArraySizeException for a negative length.
    VMPtr<Chunk> construct(jint id, VMPtr<java::io::DataInputStream> in);

    // The chunk as it lies on file.
    virtual void write(VMPtr<java::io::DataOutputStream> dst);
    virtual jboolean isId(jint chunkId);
    // A copy of the data.
    virtual VMPtr<VMArray<jbyte, 1>> getData();
    virtual jint getSize();
    virtual void setVersion(jint v);
    // The 12 + data length bytes that write() writes.
    virtual VMPtr<VMArray<jbyte, 1>> toByteArray();
    virtual VMPtr<java::io::DataOutputStream> getOutput();
    virtual jint getVersion();

    // Reads one chunk: a "VFSO" chunk becomes a
    // ChunkVirtualFileSystemOrganization, "RPHe" and "FSLM" a plain Chunk;
    // any other id throws IOException "Unknown RP chunk id '<id>'".
    static VMPtr<Chunk> readChunk(VMPtr<java::io::DataInputStream> in);

    void markReferences(uint32_t bits) override {
        _VM_markRef(buffer, bits);
        _VM_markRef(out, bits);
    }
};

}  // namespace ts::io::resource

// ts.io.resource.ChunkVirtualFileSystemOrganization: the "VFSO" chunk of a
// chunked pack, which says for every resource index in which numbered file
// its bytes lie, at which offset, and what kind of file it is. Its data: a
// header word, an entry count N, then N entries of 12 bytes (type code, an
// unused byte, a 16-bit file number, a 32-bit offset, a fourth word).
#pragma once

#include "java_lang_String.h"
#include "ts_io_resource_Chunk.h"
#include "ts_util_IntHashtable.h"

namespace ts::io::resource {

class ChunkVirtualFileSystemOrganization : public Chunk {
    VM_DECLARE_CLASS(ChunkVirtualFileSystemOrganization, Chunk)

public:
    jint count = 0;
    jint headerWord = 0;
    VMField<VMArray<jint, 1>> entries;  // entry i: type, file number, offset, fourth word

    // Reads the chunk after its id and parses its entries. EOFException when
    // the data holds fewer than its count says, NegativeArraySizeException
    // for a negative count.
    VMPtr<ChunkVirtualFileSystemOrganization> construct(VMPtr<java::io::DataInputStream> in);

    // The accessors take a resource id and use its index (id & 0x3FF);
    // an index at or beyond the count throws ArrayIndexOutOfBoundsException.
    virtual jint getFileNumber(jint id);
    virtual jint getHeaderWord();
    // The extension of the entry's type code, "rp" for a code without one.
    virtual VMPtr<java::lang::String> getExtension(jint id);
    virtual jint getCount();
    virtual jint getType(jint id);
    virtual jint getWord(jint id);
    virtual jint getOffset(jint id);

    // Type code -> extension, made on the first call.
    static VMPtr<ts::util::IntHashtable> getTypeTable();

    static VMStatic<ts::util::IntHashtable> typeTable;
    static void _VM_clinit();

    void markReferences(uint32_t bits) override {
        Chunk::markReferences(bits);
        _VM_markRef(entries, bits);
    }

private:
    jint field(jint id, jint which);
};

}  // namespace ts::io::resource

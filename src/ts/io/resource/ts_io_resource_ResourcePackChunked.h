// ts.io.resource.ResourcePackChunked: the pack class the system uses. Packs
// 1 to 15, 17, 18, 19 and 21 are chunked files: part 0 (/RP<n>part0.rp) holds
// the marker "%RP%", version 4 and a table of chunks ("RPHe": the resource
// table; "FSLM": the data split over the part files /RP<n>part1.rp on, joined
// in memory at load time; "VFSO": each resource in a file of its own, read
// when asked for). Every other pack is a plain pack file.
//
// A pack that cannot be opened prints the failure's stack trace and is left
// without tables; its lookups then throw RuntimeException.
#pragma once

#include "ts_io_resource_Chunk.h"
#include "ts_io_resource_ChunkVirtualFileSystemOrganization.h"
#include "ts_io_resource_ResourcePackExtension.h"

namespace ts::io::resource {

class ResourcePackChunked : public ResourcePackExtension {
    VM_DECLARE_CLASS(ResourcePackChunked, ResourcePackExtension)

public:
    static constexpr jint VERSION = 4;
    static constexpr jint CHUNKED_PACKS = 0x177FFF;  // bit pack - 1, packs 1 to 32

    VMField<VMArray<Chunk, 1>> chunks;                       // only while a file is being opened
    VMField<ChunkVirtualFileSystemOrganization> fileSystem;  // the "VFSO" chunk, or null

    VMPtr<ResourcePackChunked> construct();

    // Without a palette a resource that fills its own file from offset 0 is
    // decoded from that file by name; otherwise as ResourcePack::getImage.
    VMPtr<javax::microedition::lcdui::Image> getImage(jint id, VMPtr<VMBytes> palette) override;
    // Also drops the file-system chunk.
    void unload() override;
    VMPtr<java::lang::String> getResourceFileName(jint id) override;
    // A chunked pack is loaded whole here and null is returned; any other
    // pack number is opened as a plain pack. A failure is printed and thrown
    // as RuntimeException carrying its toString.
    VMPtr<java::io::DataInputStream> openPack(jint pack) override;
    // The first chunk with that id; IOException "Missing RP chunk '<id>'".
    virtual VMPtr<Chunk> getChunk(jint id);

    VMPtr<Chunk> findChunk(jint id);
    jboolean hasChunk(jint id);
    // The four bytes of id, most significant first, decoded as UTF-8.
    static VMPtr<java::lang::String> chunkIdToString(jint id);
    static bool isChunkedPack(jint pack) { return pack >= 1 && pack <= 32 && ((CHUNKED_PACKS >> (pack - 1)) & 1) != 0; }

    void markReferences(uint32_t bits) override {
        ResourcePackExtension::markReferences(bits);
        _VM_markRef(chunks, bits);
        _VM_markRef(fileSystem, bits);
    }

protected:
    VMPtr<java::io::DataInputStream> openResourceFile(jint index) override;

private:
    void readPackHeader(VMPtr<java::io::DataInputStream> in);
    void readChunkTable(VMPtr<java::io::DataInputStream> in);
    void useFileSystem();
    void loadSplitData(jint pack);
    VMPtr<java::lang::String> fileSystemName(jint index);
};

}  // namespace ts::io::resource

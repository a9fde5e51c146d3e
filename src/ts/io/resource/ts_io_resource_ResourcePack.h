// ts.io.resource.ResourcePack: the reader of numbered resource packs. A
// resource id is pack * 1024 + index (index = id & 0x3FF, pack = id >> 10
// with the sign kept); a lookup by id loads the pack it names when another
// is loaded, and pack number 0 names whatever pack is loaded. The object
// holds the table of one pack at a time.
//
// A plain pack file (/RP<n>.rp): a flags byte (bit 0: 4-byte sizes, else 2),
// a 16-bit count N, N unsigned sizes, N type bytes, then, when the data
// section is read, a 32-bit data length T and T bytes of data, the resources
// back to back.
//
// Every lookup on a pack without tables, or with an index at or beyond the
// pack's count, throws RuntimeException naming the resource id and the pack.
#pragma once

#include "java_io_DataInputStream.h"
#include "java_lang_StringBuffer.h"
#include "javax_microedition_lcdui_Image.h"

namespace ts::io::resource {

class ResourcePack : public virtual java::lang::Object {
    VM_DECLARE_CLASS(ResourcePack, java::lang::Object)

public:
    VMField<VMBytes> resourceTypes;    // by index; null when no pack is loaded
    VMField<VMInts> resourceSizes;     // by index; null when no pack is loaded
    VMField<VMBytes> packData;         // every resource back to back, or null
    jboolean dataInMemory = false;     // false: each resource is read from its own file
    jboolean readDataSection = false;  // the table reader also reads the data section

    // The pack whose table is held: -1 none, 0 a table read from a stream.
    static jint currentPack;
    static VMStatic<java::lang::StringBuffer> nameBuffer;
    static void _VM_clinit();

    VMPtr<ResourcePack> construct();

    // Decodes the image resource; a palette (the "PLTE" data and its CRC,
    // as Resources::getPalette gives it) is exchanged into the PNG for the
    // decoding and back afterwards, also when the decoding fails.
    virtual VMPtr<javax::microedition::lcdui::Image> getImage(jint id, VMPtr<VMBytes> palette);
    // Drops the tables, the data and the extension table; no pack is loaded.
    virtual void unload();
    // A new array with the resource's bytes.
    virtual VMPtr<VMBytes> getResource(jint id);
    // The file that holds the resource; null when the data is in memory.
    virtual VMPtr<java::lang::String> getResourceFileName(jint id);
    // "/RP<pack>[part<part>].<extension or rp>"; part -1 names no part.
    virtual VMPtr<java::lang::String> getFileName(jint pack, jint part, VMPtr<java::lang::String> extension);
    virtual VMPtr<java::lang::String> getFileName(jint pack, jint part);
    // Reads a pack table (and the data section when readDataSection) from
    // the stream: true on success; after a failure false with no pack loaded.
    virtual jboolean readPack(VMPtr<java::io::DataInputStream> in);
    // Loads the pack that id names unless it is 0 or the current one; a pack
    // that fails to load is recorded as current all the same.
    virtual void ensurePackLoaded(jint id);
    // A stream over exactly the resource's bytes.
    virtual VMPtr<java::io::DataInputStream> getResourceAsStream(jint id);
    // Points the canvas's load buffer at the resource; returns its size.
    virtual jint selectForReading(jint id);
    // Fills the whole array from the resource's own file; a failure is
    // thrown as RuntimeException carrying the failure's toString.
    virtual void readResource(jint index, VMPtr<VMBytes> destination);
    virtual jint getResourceType(jint id);
    // Opens the plain pack file (data in memory, data section read).
    virtual VMPtr<java::io::DataInputStream> openPack(jint pack);
    // The resource file of that name as a data stream.
    virtual VMPtr<java::io::DataInputStream> openStream(VMPtr<java::lang::String> name);
    // The array holding the resource: packData itself when the data is in
    // memory (use getResourceOffset), else a new array of only this resource.
    virtual VMPtr<VMBytes> getResourceData(jint id);
    virtual jint getResourceSize(jint id);
    virtual jint getResourceOffset(jint id);
    virtual void unloadExtension() {}
    virtual void readExtension(VMPtr<java::io::DataInputStream> in) { (void)in; }

    // Mode 0 selects the in-memory form with its data section; a null stream
    // unloads and gives false. The stream is not closed.
    jboolean load(VMPtr<java::io::DataInputStream> in, jint mode);

    // Exactly length bytes of the stream, as a new array. A length that the
    // stream cannot hold gives EOFException without an array of that size
    // being made first: beyond 64 KB the length is checked against
    // available(), and a stream that reports less is read in blocks of at
    // most 64 KB. A negative length: NegativeArraySizeException.
    static VMPtr<VMBytes> readBytes(VMPtr<java::io::DataInputStream> in, jlong length);
    // Skips exactly n bytes; EOFException when the stream ends first.
    static void skipFully(VMPtr<java::io::DataInputStream> in, jlong n);
    // Closes the stream (when there is one), ignoring a failure of the close.
    static void closeQuietly(VMPtr<java::io::InputStream> in);

    void markReferences(uint32_t bits) override {
        _VM_markRef(resourceTypes, bits);
        _VM_markRef(resourceSizes, bits);
        _VM_markRef(packData, bits);
        _VM_markRef(resourceOffsets, bits);
    }

protected:
    // Start of each resource in packData (N + 1 entries), kept with the table.
    VMField<VMInts> resourceOffsets;

    // ensurePackLoaded(id), then the index after checking that the pack has
    // tables (and its data, when in memory) holding it.
    jint lookup(jint id);
    // Reads the table (and the data section); the failure is thrown.
    void readTable(VMPtr<java::io::DataInputStream> in);
    // The resource's own file, standing at the resource's first byte.
    virtual VMPtr<java::io::DataInputStream> openResourceFile(jint index);
    // The file of a given resource as a new array of its size.
    VMPtr<VMBytes> readResourceFile(jint index, jint size);
};

}  // namespace ts::io::resource

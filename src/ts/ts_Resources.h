// ts.Resources: the one door to the game's resources. Every operation goes
// to the one pack object, which loads the pack an id names on demand, and
// turns a resource id into bytes, a stream, an image (with palette
// exchange), a palette, a text table or a bitmap file image. Nothing here
// catches: the exceptions of the streams and of the pack pass to the caller.
#pragma once

#include "java_io_DataInputStream.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_io_resource_ResourcePack.h"
#include "ts_AnimSet.h"
#include "ts_Gob.h"
#include "ts_util_text_Translation.h"

namespace ts {

class Resources : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Resources, java::lang::Object)

public:
    using Image = javax::microedition::lcdui::Image;
    using DataInputStream = java::io::DataInputStream;

    static constexpr jint PLTE = 0x504C5445;
    static constexpr jint IEND = 0x49454E44;
    static constexpr jint TRNS = 0x74524E53;

    // The pack object (a ResourcePackChunked), made once.
    static VMStatic<ts::io::resource::ResourcePack> resourcePack;
    // Where the "PLTE" data starts, from the start of the PNG, after the last
    // findPaletteChunk that found one.
    static jint pngPosition;
    static void _VM_clinit();

    VMPtr<Resources> construct();

    static VMPtr<VMBytes> getResource(jint id);
    // The resource's stream, marked at its start.
    static VMPtr<DataInputStream> getResourceAsStream(jint id);
    // The array holding the resource, maybe shared with others (see
    // getResourceOffset).
    static VMPtr<VMBytes> getResourceData(jint id);
    static jint getResourceOffset(jint id);
    static jint getResourceSize(jint id);
    static jint getResourceType(jint id);
    // Reads a pack table with its data from the stream; a null stream
    // empties the pack and gives false.
    static jboolean loadPack(VMPtr<DataInputStream> in);
    static void unloadPack();
    // The pack from the bytes of the canvas's record store id; -1 or no
    // bytes empty the pack and give false.
    static jboolean loadPackFromStore(jint id);
    static VMPtr<DataInputStream> createStream(VMPtr<VMBytes> data, jint offset, jint length);
    // The PNG of length bytes at data[offset...]. Bytes equal to those of
    // one of the last DECODED_KEPT images decoded here give a new image
    // sharing that one's pixels (an immutable image's pixels never change):
    // the Gob sets of a pack cut their parts from one sheet each, and a
    // level's build loads many of them one after the other.
    static VMPtr<Image> createImage(VMPtr<VMBytes> data, jint offset, jint length);
    // Lets go of the images createImage keeps for reuse; a scene does so at
    // the end of its load and the resource cache whenever it is cleared
    // (each change of scene), so that no decoded image outlives the load.
    static void forgetDecodedImages();
    static constexpr jint DECODED_KEPT = 2;
    // The kept images, the most recently used first, and the PNG bytes each
    // was decoded from; made by the first createImage.
    static VMStatic<VMArray<Image, 1>> decodedImages;
    static VMStatic<VMArray<jbyte, 2>> decodedBytes;
    static VMPtr<Image> getImage(jint id);
    // The image with palette (the "PLTE" data and its CRC, as getPalette
    // gives it) in place of its own; the pack's bytes and the palette array
    // are as before afterwards, also when the decoding fails.
    static VMPtr<Image> getImage(jint id, VMPtr<VMBytes> palette);
    // Exchanges palette with the "PLTE" data and CRC of the PNG at
    // data[offset...]; nothing when palette is null or the PNG has no
    // palette. IllegalArgumentException, before anything is exchanged, when
    // the palette's length is not the chunk's data length plus 4.
    static void swapPalette(VMPtr<VMBytes> data, jint offset, VMPtr<VMBytes> palette);
    // The "PLTE" data and its CRC, or null.
    static VMPtr<VMBytes> getPalette(jint id);
    // The index of the first fully transparent palette entry ("tRNS" right
    // after "PLTE"), or -1.
    static jint getTransparentIndex(jint id);
    static VMPtr<ts::util::text::Translation> getTranslation(jint id);
    // An uncompressed 8-bit Windows bitmap file of the image resource (at
    // most 256 colours, else IllegalArgumentException). The canvas's save
    // buffer is borrowed and given back, also on failure.
    static VMPtr<VMBytes> getImageAsBmp(jint id);
    static VMPtr<VMBytes> buildPackBytes(VMPtr<VMArray<jbyte, 2>> resources, VMPtr<VMBytes> types);

    // Stream routines. findPaletteChunk leaves the stream at the first byte
    // of the "PLTE" data and returns its length, or -1 when "IEND" comes
    // first.
    static jint findPaletteChunk(VMPtr<DataInputStream> in);
    static VMPtr<VMBytes> readPalette(VMPtr<DataInputStream> in);
    static jint findTransparentIndex(VMPtr<DataInputStream> in);

    // The pack's decoding: the PNG of length bytes at data[offset...] with
    // the palette exchanged in for the decoding and back afterwards.
    static VMPtr<Image> createImageWithPalette(VMPtr<VMBytes> data, jint offset, jint length, VMPtr<VMBytes> palette);

    // --- image parts and animation sets -------------------------------------------------
    // The Gob records being read: the image resource id, flags 0-15 from
    // header word A (bit clear = flag set) and 16-19 from the top of word B,
    // the byte width (0, 1 or 2) of each of the ten value columns and the
    // values of one record. The three arrays are made by the first loadGobs.
    static jchar gobImageId;
    static VMStatic<VMArray<jboolean, 1>> gobFlags;
    static VMStatic<VMBytes> gobColumnWidths;
    static VMStatic<VMArray<jshort, 1>> gobValues;

    static VMPtr<VMArray<ts::Gob, 1>> getGobs(jint id);
    // The Gobs of a Gob record resource, all cut from its image (in the same
    // pack) drawn with palette in place of its own.
    static VMPtr<VMArray<ts::Gob, 1>> getGobs(jint id, VMPtr<VMBytes> palette);
    static VMPtr<ts::AnimSet> getAnimSet(jint id);
    // Reads the Gob records of resource id from in; the second stream is
    // handed on unread.
    static VMPtr<VMArray<ts::Gob, 1>> loadGobs(jint id, VMPtr<VMBytes> palette, VMPtr<DataInputStream> in,
                                               VMPtr<DataInputStream> second);

private:
    // Where palette goes in the PNG of length bytes at data[offset...] (the
    // whole range checked), or -1 when the PNG has no palette.
    static jint locatePalette(VMPtr<VMBytes> data, jint offset, jint length, VMPtr<VMBytes> palette);
    static void exchange(VMPtr<VMBytes> data, jint at, VMPtr<VMBytes> palette);
};

}  // namespace ts

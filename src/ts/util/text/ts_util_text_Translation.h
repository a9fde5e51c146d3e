// ts.util.text.Translation: all texts of one language, read from one
// resource: a 16-bit text count N, then per text a signed 16-bit byte length
// and that many bytes of UTF-8. The texts stay as UTF-8 bytes with a table
// of start offsets (16-bit while the resource is at most 65535 bytes long)
// and are decoded when asked for; decodeAll turns them all into strings
// once and drops the bytes.
#pragma once

#include "java_io_DataInputStream.h"
#include "java_lang_StringBuffer.h"

namespace ts::util::text {

class Translation : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Translation, java::lang::Object)

public:
    VMField<VMArray<jchar, 1>> charOffsets;             // textCount + 1 offsets, or null
    VMField<VMArray<jbyte, 1>> textData;                // the texts' bytes back to back; null after decodeAll
    VMField<VMArray<java::lang::String, 1>> textCache;  // every text, after decodeAll
    jint textCount = 0;
    VMField<VMArray<jint, 1>> intOffsets;  // used instead of charOffsets for resources over 65535 bytes

    static VMStatic<java::lang::StringBuffer> sharedBuffer;  // short texts are decoded here

    // Reads the table from the stream; size is the resource's length in
    // bytes. EOFException when the stream ends early, IOException for a
    // negative text length, NegativeArraySizeException for a size below
    // 2 * (N + 1), IndexOutOfBoundsException when the texts need more than
    // the size gives them.
    VMPtr<Translation> construct(VMPtr<java::io::DataInputStream> in, jint size);

    virtual void decodeAll();
    // Inserts text id into sb at position; returns sb.
    virtual VMPtr<java::lang::StringBuffer> insertText(jint id, VMPtr<java::lang::StringBuffer> sb, jint position);
    virtual VMPtr<java::lang::StringBuffer> appendText(jint id, VMPtr<java::lang::StringBuffer> sb);
    // sb holding exactly text id.
    virtual VMPtr<java::lang::StringBuffer> getText(jint id, VMPtr<java::lang::StringBuffer> sb);
    virtual VMPtr<java::lang::String> getString(jint id);

    // Valid before decodeAll only.
    jint getOffset(jint id);
    jint getLength(jint id);

    // Decodes length bytes of data from start into sb at position: one to
    // three bytes per character, continuation bytes taken by their low six
    // bits without a check; a byte 0x80-0xBF or 0xF0-0xFF where a character
    // starts becomes U+0000. A form cut by the end of data takes its missing
    // bytes as 0.
    static void decodeText(VMPtr<VMArray<jbyte, 1>> data, jint start, jint length, VMPtr<java::lang::StringBuffer> sb,
                           jint position);

    static void _VM_clinit();

    void markReferences(uint32_t bits) override {
        _VM_markRef(charOffsets, bits);
        _VM_markRef(textData, bits);
        _VM_markRef(textCache, bits);
        _VM_markRef(intOffsets, bits);
    }
};

}  // namespace ts::util::text

// Fuzz target: the data input stream and the byte-array input stream over
// arbitrary bytes.
//
// Input layout: byte 0 gives k = byte0 & 63, the number of operation bytes
// taken from the end of the input; the bytes between are the stream's
// content. With no operation bytes the content is read as a run of
// readUTF() calls. Each operation byte picks a reader (and some take their
// argument from the next operation byte).
//
// Allowed outcomes of a reader: a value, IOException (EOFException,
// UTFDataFormatException) or IndexOutOfBoundsException for bad offsets and
// lengths. Anything else escapes and is reported as a crash, as is a string
// that does not survive writeUTF/readUTF or the UTF-8 writer and
// ByteArrayOutputStream.toString unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "VM.h"
#include "vm_boot.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_io_ByteArrayOutputStream.h"
#include "java_io_DataInputStream.h"
#include "java_io_DataOutputStream.h"
#include "java_io_IOException.h"
#include "java_io_OutputStreamWriter.h"
#include "java_lang_IndexOutOfBoundsException.h"

namespace {

using java::io::ByteArrayInputStream;
using java::io::ByteArrayOutputStream;
using java::io::DataInputStream;
using java::io::DataOutputStream;
using java::io::OutputStreamWriter;
using java::lang::String;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_data_input: %s\n", what);
    std::abort();
}

bool sameChars(const VMPtr<String>& a, const VMPtr<String>& b) {
    return a->length() == b->length() &&
           std::memcmp(a->_VM_chars(), b->_VM_chars(), size_t(a->length()) * sizeof(jchar)) == 0;
}

// A decoded string must come back unchanged through both encoders.
void checkRoundTrips(const VMPtr<String>& s) {
    VMPtr<ByteArrayOutputStream> sink = ByteArrayOutputStream::create()->construct();
    VMPtr<DataOutputStream> out = DataOutputStream::create()->construct(sink);
    out->writeUTF(s);  // it came from readUTF, so it fits
    if (sink->size() > 65537) fail("writeUTF wrote more than a length prefix allows");
    VMPtr<DataInputStream> back =
        DataInputStream::create()->construct(ByteArrayInputStream::create()->construct(sink->toByteArray()));
    if (!sameChars(back->readUTF(), s)) fail("writeUTF/readUTF changed a string");

    VMPtr<ByteArrayOutputStream> text = ByteArrayOutputStream::create()->construct(0);
    VMPtr<OutputStreamWriter> writer = OutputStreamWriter::create()->construct(text);
    writer->write(s);
    if (!sameChars(text->toString(), s)) fail("the UTF-8 writer and toString changed a string");
}

// A signed small argument from an operation byte.
jint argument(const uint8_t* ops, size_t count, size_t& i) {
    if (i + 1 >= count) return 0;
    return jint(int8_t(ops[++i]));
}

void runOperations(VMPtr<VMBytes>& content, const uint8_t* ops, size_t count) {
    VMPtr<ByteArrayInputStream> bytes = ByteArrayInputStream::create()->construct(content);
    VMPtr<DataInputStream> in = DataInputStream::create()->construct(bytes);
    VMPtr<VMBytes> scratch = VMBytes::create(16);
    for (size_t i = 0; i < count; ++i) {
        try {
            switch (ops[i] % 20) {
                case 0: checkRoundTrips(in->readUTF()); break;
                case 1: in->readInt(); break;
                case 2: in->readLong(); break;
                case 3: in->readUnsignedShort(); break;
                case 4: in->readShort(); break;
                case 5: in->readChar(); break;
                case 6:
                    in->readByte();
                    in->readUnsignedByte();
                    break;
                case 7: in->readBoolean(); break;
                case 8: in->readFloat(); break;
                case 9: in->readDouble(); break;
                case 10: {
                    jint off = argument(ops, count, i);
                    jint len = argument(ops, count, i);
                    in->readFully(scratch, off, len);
                    break;
                }
                case 11: in->skipBytes(argument(ops, count, i) * 97); break;
                case 12: in->skip(jlong(argument(ops, count, i)) * (jlong(1) << (ops[i] & 31))); break;
                case 13: in->mark(0); break;
                case 14: in->reset(); break;
                case 15: {
                    jint off = argument(ops, count, i);
                    jint len = argument(ops, count, i);
                    bytes->read(scratch, off, len);
                    break;
                }
                case 16: in->read(); break;
                case 17: in->available(); break;
                case 18: in->readFully(scratch); break;
                case 19: {
                    // A new stream over part of the content; the offset may
                    // lie outside the array.
                    jint off = argument(ops, count, i) * 3;
                    jint len = argument(ops, count, i) * 5;
                    bytes = ByteArrayInputStream::create()->construct(content, off, len);
                    in = DataInputStream::create()->construct(bytes);
                    break;
                }
            }
        } catch (java::io::IOException*) {
        } catch (java::lang::IndexOutOfBoundsException*) {}
    }
}

void readStrings(VMPtr<VMBytes>& content) {
    VMPtr<DataInputStream> in =
        DataInputStream::create()->construct(ByteArrayInputStream::create()->construct(content));
    try {
        for (;;) checkRoundTrips(in->readUTF());
    } catch (java::io::IOException*) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size == 0) return 0;
    size_t opCount = data[0] & 63;
    if (opCount > size - 1) opCount = size - 1;
    size_t contentSize = size - 1 - opCount;
    VMPtr<VMBytes> content = VMBytes::create(jint(contentSize));
    if (contentSize > 0) std::memcpy(content->elements(), data + 1, contentSize);
    if (opCount == 0)
        readStrings(content);
    else
        runOperations(content, data + 1 + contentSize, opCount);
    vmFuzzInputDone();
    return 0;
}

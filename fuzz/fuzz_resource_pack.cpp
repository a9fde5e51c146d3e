// Fuzz target: the plain pack table reader with its data section, then the
// extension table read from the rest of the same stream, and every lookup of
// the loaded pack.
//
// Input layout: byte 0 bit 0 chooses the load mode (0: table and data in
// memory; 1: mode 1, the table only), bit 1 reads an extension table after
// the pack; the rest is the stream.
//
// Allowed outcomes: load gives true or false; the extension reader and the
// lookups throw java.lang.Exception or work. A lookup that works answers
// consistently: every resource's bytes lie inside the pack's data, its stream
// holds exactly its size, the extension bytes are as long as their size.
// Anything else (an Error such as OutOfMemoryError, a crash) aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "VM.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_lang_Exception.h"
#include "ts_io_resource_ResourcePackChunked.h"
#include "vm_boot.h"

namespace {

using java::io::DataInputStream;
using ts::io::resource::ResourcePackChunked;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_resource_pack: %s\n", what);
    std::abort();
}

void lookups(const VMPtr<ResourcePackChunked>& pack) {
    VMPtr<VMArray<jint, 1>> sizes = pack->resourceSizes;
    const jint count = sizes == nullptr ? 0 : sizes->length;
    // Without the data in memory every resource is a file to open: a few do.
    const jint limit = pack->dataInMemory ? 1024 : 8;
    for (jint index = 0; index < count && index < limit; ++index) {
        try {
            const jint size = pack->getResourceSize(index);
            VMPtr<VMBytes> bytes = pack->getResource(index);
            if (bytes->length != size) fail("resource bytes differ from the size");
            VMPtr<VMBytes> data = pack->getResourceData(index);
            const jint offset = pack->getResourceOffset(index);
            if (offset < 0 || int64_t(offset) + size > data->length) fail("resource outside its data");
            if (std::memcmp(data->elements() + offset, bytes->elements(), size_t(size)) != 0)
                fail("resource bytes differ from the data");
            VMPtr<DataInputStream> in = pack->getResourceAsStream(index);
            if (in->available() != size) fail("stream length differs from the size");
            pack->getResourceType(index);
        } catch (java::lang::Exception*) {}
        try {
            const jint size = pack->getExtensionSize(index);
            VMPtr<VMBytes> extension = pack->getExtensionBytes(index);
            if ((extension == nullptr) != (size < 0)) fail("extension bytes and size disagree");
            if (extension != nullptr && extension->length != size) fail("extension length differs from its size");
            pack->getExtensionAsStream(index);
        } catch (java::lang::Exception*) {}
    }
    // Past the count: the lookup fails with an exception.
    try {
        pack->getResourceSize(count);
        fail("a lookup past the count answered");
    } catch (java::lang::Exception*) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size == 0) return 0;
    const uint8_t control = data[0];
    VMPtr<VMBytes> bytes = VMBytes::create(jint(size - 1));
    if (size > 1) std::memcpy(bytes->elements(), data + 1, size - 1);
    VMPtr<DataInputStream> in =
        DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes));
    VMPtr<ResourcePackChunked> pack = ResourcePackChunked::create()->construct();
    const jboolean loaded = pack->load(in, control & 1);
    if (!loaded && pack->resourceSizes != nullptr) fail("a failed load left a table");
    if (control & 2) {
        try {
            pack->readExtension(in);
        } catch (java::lang::Exception*) {
            if (pack->extensionSizes != nullptr || pack->extensionData != nullptr)
                fail("a failed read left extension data");
        }
    }
    lookups(pack);
    pack->unload();
    vmFuzzInputDone();
    return 0;
}

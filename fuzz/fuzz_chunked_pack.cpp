// Fuzz target: the chunked pack open over files in a resource folder of its
// own, and every lookup of the pack it leaves.
//
// Input layout: the bytes of part 0 (/RP3part0.rp), then any number of
// further files, each introduced by the three bytes "@@F" and a selector
// byte: bits 0-2 the part number (0 stands for 1), bits 3-4 the extension
// ("rp", "png", "utf", "mid"). A later file of the same name replaces an
// earlier one.
//
// Allowed outcomes: the open prints a trace and leaves no tables, or leaves a
// table whose lookups throw java.lang.Exception or answer consistently (a
// resource's bytes as long as its size). Anything else (an Error such as
// OutOfMemoryError, a crash) aborts.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "VM.h"
#include "fuzz_temp_folder.h"
#include "hal.h"
#include "java_lang_Exception.h"
#include "ts_io_resource_ResourcePackChunked.h"
#include "vm_boot.h"

namespace {

using ts::io::resource::ResourcePackChunked;

constexpr jint kPack = 3;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_chunked_pack: %s\n", what);
    std::abort();
}

const std::string& resourceFolder() {
    static const std::string folder = [] {
        std::string dir = makeFuzzTempFolder("chunked");
        if (dir.empty()) fail("no temporary folder");
        if (::mkdir((dir + "rsc").c_str(), 0700) != 0) fail("no resource folder");
        HAL_setProgramDirectory(dir.c_str());
        return dir + "rsc/";
    }();
    return folder;
}

void writeFile(const std::string& name, const uint8_t* data, size_t size) {
    std::ofstream file(resourceFolder() + name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

// Splits the input into its files and writes them; the folder holds nothing else.
void writeFiles(const uint8_t* data, size_t size) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(resourceFolder(), ignored))
        std::filesystem::remove(entry.path(), ignored);
    static const char* const extensions[] = {"rp", "png", "utf", "mid"};
    std::string name = "RP3part0.rp";
    size_t start = 0;
    for (size_t i = 0;; ++i) {
        const bool separator = i + 4 <= size && std::memcmp(data + i, "@@F", 3) == 0;
        if (!separator && i < size) continue;
        writeFile(name, data + start, i - start);
        if (i >= size) break;
        const uint8_t selector = data[i + 3];
        const int part = (selector & 7) == 0 ? 1 : selector & 7;
        name = "RP3part" + std::to_string(part) + "." + extensions[selector >> 3 & 3];
        start = i + 4;
        i += 3;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    writeFiles(data, size);
    VMPtr<ResourcePackChunked> pack = ResourcePackChunked::create()->construct();
    // The open prints the trace of a broken pack: keep the fuzzer's output readable.
    static const int quiet = ::open("/dev/null", O_WRONLY);
    std::fflush(stdout);
    const int saved = ::dup(1);
    ::dup2(quiet, 1);
    pack->ensurePackLoaded(kPack << 10);
    std::fflush(stdout);
    ::dup2(saved, 1);
    ::close(saved);
    VMPtr<VMArray<jint, 1>> sizes = pack->resourceSizes;
    if (sizes != nullptr) {
        for (jint index = 0; index < sizes->length && index < 1024; ++index) {
            try {
                const jint size = pack->getResourceSize(index);
                VMPtr<VMBytes> bytes = pack->getResource(index);
                if (bytes->length != size) fail("resource bytes differ from the size");
                pack->getResourceAsStream(index);
                pack->getResourceFileName(index);
            } catch (java::lang::Exception*) {}
        }
    }
    try {
        pack->getResourceSize((kPack << 10) + 1023);
    } catch (java::lang::Exception*) {}
    pack->unload();
    vmFuzzInputDone();
    return 0;
}

// Resource packs, text tables and the int hash table. Targets at -O2:
//   BM_OpenSplitPack4MB        at most 10 ms to open a 4 MB split-data pack of three parts (warm cache)
//   BM_StreamLookups10000      at most 5 ms for 10,000 getResourceAsStream lookups in a loaded pack
//   BM_FileSystemRead64KB      at most 0.3 ms to read a 64 KB resource of a file-system pack
//   BM_LoadTextTable           at most 1 ms to load a 100 KB table of 2,000 texts
//   BM_GetString40             at most 0.5 us for getString of a 40-byte text (a new string is two
//                              objects: bound by the runtime's allocation, as String.valueOf(char) is)
//   BM_IntHashtable100000      at most 10 ms for 100,000 puts and 100,000 gets
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "hal_system.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_lang_Integer.h"
#include "pack_writer.h"
#include "ts_Resources.h"
#include "ts_io_resource_ResourcePackChunked.h"
#include "ts_util_IntHashtable.h"
#include "ts_util_text_Translation.h"

namespace benchresources {

using ts::io::resource::ResourcePackChunked;

// A program folder of its own whose rsc/ holds the benchmark's packs.
class BenchResources {
public:
    BenchResources() {
        char pattern[] = "/tmp/vessilo_bench_rsc_XXXXXX";
        if (::mkdtemp(pattern) != nullptr) root_ = std::string(pattern) + "/";
        std::filesystem::create_directories(root_ + "rsc");
        HAL_setProgramDirectory(root_.c_str());
    }
    ~BenchResources() {
        HAL_setProgramDirectory(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    BenchResources(const BenchResources&) = delete;
    BenchResources& operator=(const BenchResources&) = delete;
    void put(const std::string& name, const std::string& content) const {
        std::ofstream(root_ + "rsc/" + name, std::ios::binary) << content;
    }

private:
    std::string root_;
};

std::string filler(size_t n, char seed) {
    std::string s(n, 0);
    for (size_t i = 0; i < n; ++i) s[i] = char(seed + i * 7);
    return s;
}

void BM_OpenSplitPack4MB(benchmark::State& state) {
    benchBoot();
    BenchResources dir;
    // 64 resources of 64 KB, the data split over three parts.
    std::vector<uint32_t> sizes(64, 65536);
    std::vector<int8_t> types(64, -1);
    const uint32_t total = 64 * 65536;
    const std::string data = filler(total, 1);
    const uint32_t part = total / 3;
    std::vector<uint32_t> parts = {part + 1, part, total - 2 * part - 1};
    dir.put("RP1part0.rp", packwriter::part0({packwriter::chunk("RPHe", packwriter::table(sizes, types)),
                                              packwriter::chunk("FSLM", packwriter::splitData(total, parts))}));
    dir.put("RP1part1.rp", data.substr(0, parts[0]));
    dir.put("RP1part2.rp", data.substr(parts[0], parts[1]));
    dir.put("RP1part3.rp", data.substr(parts[0] + parts[1]));
    VMPtr<ResourcePackChunked> pack = ResourcePackChunked::create()->construct();
    for (auto _ : state) {
        pack->unload();
        pack->ensurePackLoaded(1 << 10);
        if (pack->packData == nullptr) state.SkipWithError("the pack did not load");
    }
    pack->unload();
}
BENCHMARK(BM_OpenSplitPack4MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StreamLookups10000(benchmark::State& state) {
    benchBoot();
    std::vector<std::string> resources;
    for (int i = 0; i < 1024; ++i) resources.push_back(filler(size_t(i % 50), char(i)));
    const std::string image = packwriter::plainPack(resources);
    VMPtr<VMBytes> bytes = VMBytes::create(jint(image.size()));
    std::memcpy(bytes->elements(), image.data(), image.size());
    ts::Resources::loadPack(
        java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)));
    for (auto _ : state) {
        for (jint i = 0; i < 10000; ++i) {
            VMPtr<java::io::DataInputStream> in = ts::Resources::getResourceAsStream(i & 0x3FF);
            benchmark::DoNotOptimize(in.get());
        }
    }
    ts::Resources::unloadPack();
}
BENCHMARK(BM_StreamLookups10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FileSystemRead64KB(benchmark::State& state) {
    benchBoot();
    BenchResources dir;
    dir.put("RP4part0.rp",
            packwriter::part0({packwriter::chunk("RPHe", packwriter::table({16, 65536}, {-1, -1}, true)),
                               packwriter::chunk("VFSO", packwriter::fileSystem({{-1, 2, 0}, {-1, 2, 16}}))}));
    dir.put("RP4part2.rp", filler(16 + 65536, 3));
    VMPtr<ResourcePackChunked> pack = ResourcePackChunked::create()->construct();
    pack->ensurePackLoaded(4 << 10);
    for (auto _ : state) {
        VMPtr<VMBytes> resource = pack->getResource((4 << 10) + 1);
        benchmark::DoNotOptimize(resource.get());
    }
    pack->unload();
}
BENCHMARK(BM_FileSystemRead64KB)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A table of 2,000 texts of 48 bytes, about 100 KB.
VMPtr<VMBytes> textResource() {
    std::vector<std::string> texts;
    for (int i = 0; i < 2000; ++i) {
        std::string t = "Text " + std::to_string(i) + " \xc3\xa9\xe2\x82\xac ";
        while (t.size() < 40) t += 'x';
        texts.push_back(t + "padding!");
    }
    const std::string table = packwriter::textTable(texts);
    VMPtr<VMBytes> bytes = VMBytes::create(jint(table.size()));
    std::memcpy(bytes->elements(), table.data(), table.size());
    return bytes;
}

void BM_LoadTextTable(benchmark::State& state) {
    benchBoot();
    VMPtr<VMBytes> bytes = textResource();
    for (auto _ : state) {
        VMPtr<ts::util::text::Translation> table = ts::util::text::Translation::create()->construct(
            java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)),
            bytes->length);
        benchmark::DoNotOptimize(table.get());
    }
}
BENCHMARK(BM_LoadTextTable)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_GetString40(benchmark::State& state) {
    benchBoot();
    std::string text(40, 'a');
    text.replace(10, 5, "\xc3\xa9\xe2\x82\xac");
    const std::string table = packwriter::textTable({text});
    VMPtr<VMBytes> bytes = VMBytes::create(jint(table.size()));
    std::memcpy(bytes->elements(), table.data(), table.size());
    VMPtr<ts::util::text::Translation> translation = ts::util::text::Translation::create()->construct(
        java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)),
        bytes->length);
    for (auto _ : state) {
        VMPtr<java::lang::String> s = translation->getString(0);
        benchmark::DoNotOptimize(s.get());
    }
}
BENCHMARK(BM_GetString40)->Unit(benchmark::kNanosecond)->UseRealTime();

// 100,000 puts and 100,000 gets on a table of 1,024 keys (the size of the
// tables the framework keeps): the first put of each key makes its entry,
// the others replace the value.
void BM_IntHashtable100000(benchmark::State& state) {
    benchBoot();
    VMPtr<java::lang::Object> value = java::lang::Integer::create()->construct(7);
    for (auto _ : state) {
        VMPtr<ts::util::IntHashtable> table = ts::util::IntHashtable::create()->construct(128);
        for (jint k = 0; k < 100000; ++k) table->put((k & 1023) * 31, value);
        for (jint k = 0; k < 100000; ++k) benchmark::DoNotOptimize(table->get((k & 1023) * 31).get());
    }
}
BENCHMARK(BM_IntHashtable100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// No target: 100,000 distinct keys, so 100,000 entry objects; bound by the
// runtime's object allocation and collection.
void BM_IntHashtableDistinct100000(benchmark::State& state) {
    benchBoot();
    VMPtr<java::lang::Object> value = java::lang::Integer::create()->construct(7);
    for (auto _ : state) {
        VMPtr<ts::util::IntHashtable> table = ts::util::IntHashtable::create()->construct(128);
        for (jint k = 0; k < 100000; ++k) table->put(k * 31, value);
        for (jint k = 0; k < 100000; ++k) benchmark::DoNotOptimize(table->get(k * 31).get());
    }
}
BENCHMARK(BM_IntHashtableDistinct100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace benchresources

// Record stores through javax.microedition.rms.RecordStore, on the disk:
// replacing a small record (flushed, target at most 2 ms) and opening a store
// of 1,000 records (target at most 20 ms).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "hal_recordstore.h"
#include "hal_system.h"
#include "java_lang_String.h"
#include "javax_microedition_rms_RecordStore.h"

namespace {

using javax::microedition::rms::RecordStore;

// A program folder of its own for the benchmark's stores.
class BenchDatabase {
public:
    BenchDatabase() {
        char pattern[] = "/tmp/vessilo_bench_rms_XXXXXX";
        if (::mkdtemp(pattern) != nullptr) root_ = std::string(pattern) + "/";
        ::unsetenv("VESSILO_DATABASE_DIR");
        HAL_setProgramDirectory(root_.c_str());
    }
    ~BenchDatabase() {
        HAL_setProgramDirectory(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;
    const std::string& root() const { return root_; }

private:
    std::string root_;
};

void BM_RecordStoreReplaceSmallRecord(benchmark::State& state) {
    benchBoot();
    BenchDatabase database;
    VMPtr<RecordStore> store = RecordStore::openRecordStore(VM_STR("bench"), true);
    VMPtr<VMArray<jbyte, 1>> data = VMArray<jbyte, 1>::create(8);
    const jint id = store->addRecord(data, 0, 8);
    jbyte round = 0;
    for (auto _ : state) {
        (*data)[0] = round++;
        store->setRecord(id, data, 0, 8);
    }
    store->closeRecordStore();
}
BENCHMARK(BM_RecordStoreReplaceSmallRecord)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RecordStoreOpen1000Records(benchmark::State& state) {
    benchBoot();
    BenchDatabase database;
    // Written straight to the disk: adding them one by one would take long.
    const std::string folder = database.root() + "database/store-thousand/";
    std::filesystem::create_directories(folder);
    for (int id = 1; id <= 1000; ++id)
        std::ofstream(folder + "record-" + std::to_string(id) + ".bin", std::ios::binary) << "record " << id;
    hal_recordstore::Metadata metadata;
    metadata.nextId = 1001;
    metadata.count = 1000;
    uint8_t bytes[hal_recordstore::kMetadataSize];
    hal_recordstore::encodeMetadata(metadata, bytes);
    std::ofstream(folder + "metadata.info", std::ios::binary).write(reinterpret_cast<char*>(bytes), sizeof bytes);

    VMPtr<java::lang::String> name = VM_STR("thousand");
    for (auto _ : state) {
        VMPtr<RecordStore> store = RecordStore::openRecordStore(name, false);
        benchmark::DoNotOptimize(store->getNumRecords());
        store->closeRecordStore();
    }
}
BENCHMARK(BM_RecordStoreOpen1000Records)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// Fuzz target: record-store folders as a crash, another program or a user may
// leave them. The input builds a database folder (store folders and stray
// entries) and one store's folder (record files, "metadata.info", stray
// files); then the stores are listed, the store is opened, read, added to and
// opened again.
//
// Input layout: a run of entries, each [kind][name length][name][content
// length][content]. Kind & 3: 0 a file in the store's folder, 1 a folder in
// the database folder, 2 the store's "metadata.info" (no name), 3 a file in the
// database folder. '/' and NUL in names become '_'.
//
// Allowed outcomes: every listing agrees with its count, names decode back to
// their folders, the store opens, its ids are ascending and below the next
// id, every record reads, an add takes the next id and survives reopening.
// Anything else aborts.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_temp_folder.h"
#include "hal_recordstore.h"
#include "hal_system.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_recordstore: %s\n", what);
    std::abort();
}

// The program folder, on a memory file system when there is one (flushing
// costs nothing there).
const std::string& programFolder() {
    static const std::string folder = [] {
        std::string dir = makeFuzzTempFolder("rms");
        if (dir.empty()) fail("no temporary folder");
        ::unsetenv("VESSILO_DATABASE_DIR");
        HAL_setProgramDirectory(dir.c_str());
        std::atexit([] { HAL_setProgramDirectory(nullptr); });
        return dir;
    }();
    return folder;
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool more() const { return at < size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    std::string bytes(size_t n) {
        n = std::min(n, size - at);
        std::string out(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return out;
    }
};

void write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// The pure decoders, straight on the input.
void decoders(const uint8_t* data, size_t size) {
    hal_recordstore::Metadata metadata;
    if (hal_recordstore::decodeMetadata(data, size, &metadata)) {
        uint8_t again[hal_recordstore::kMetadataSize];
        hal_recordstore::encodeMetadata(metadata, again);
        if (std::memcmp(again, data, sizeof again) != 0) fail("metadata does not encode back");
        if (metadata.nextId < 1) fail("next id below 1 accepted");
    }
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    std::u16string name;
    if (hal_recordstore::storeNameOfFolder(text.c_str(), &name)) {
        if (name.empty() || name.size() > 32) fail("store name of a bad length");
        if (hal_recordstore::storeFolderName(name.data(), int32_t(name.size())) != text)
            fail("store name not canonical");
    }
    int32_t id = 0;
    if (hal_recordstore::recordIdOfFile(text.c_str(), &id) && "record-" + std::to_string(id) + ".bin" != text)
        fail("record id not canonical");
}

std::vector<int32_t> idsOf(NativeRecordStore* store, int32_t* nextId) {
    int32_t count = -1;
    if (HAL_getNumRecords(store, &count) != 0 || count < 0) fail("no record count");
    if (HAL_getNextRecordID(store, nextId) != 0 || *nextId < 1) fail("no next id");
    std::vector<int32_t> ids;
    for (int32_t n = 1; n <= count; ++n) {
        int32_t id = 0;
        if (HAL_getNthRecordID(store, n, &id) != 0) fail("the count promised more ids");
        if (!ids.empty() && id <= ids.back()) fail("ids not ascending");
        if (id >= *nextId) fail("an id at or beyond the next id");
        ids.push_back(id);
        int32_t size = -1;
        if (HAL_getRecordSize(store, id, &size) != 0) fail("a listed record has no size");
        std::vector<char> buffer(size_t(size) + 1);
        int32_t length = int32_t(buffer.size());
        if (HAL_getRecord(store, id, buffer.data(), &length) != 0 || length != size)
            fail("a listed record does not read");
    }
    int32_t past = 0;
    if (HAL_getNthRecordID(store, count + 1, &past) != 4) fail("an id past the count");
    return ids;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& root = programFolder();
    decoders(data, size);

    const std::string database = root + "database/";
    const std::string store = database + "store-fuzz/";
    std::error_code ignored;
    fs::remove_all(database, ignored);
    fs::create_directories(store);
    Reader in{data, size};
    for (int entries = 0; in.more() && entries < 64; ++entries) {
        const uint8_t kind = in.byte() & 3;
        std::string name = kind == 2 ? std::string() : in.bytes(in.byte());
        std::replace(name.begin(), name.end(), '/', '_');
        std::replace(name.begin(), name.end(), '\0', '_');
        const std::string content = in.bytes(in.byte());
        if (kind != 2 && (name.empty() || name == "." || name == "..")) continue;
        switch (kind) {
            case 0: write(store + name, content); break;
            case 1: fs::create_directory(database + name, ignored); break;
            case 2: write(store + "metadata.info", content); break;
            default: write(database + name, content); break;
        }
    }

    const int32_t stores = HAL_getNumRecordStores();
    if (stores < 1) fail("the store folder is not listed");
    bool sawFuzz = false;
    for (int32_t n = 1; n <= stores; ++n) {
        char16_t characters[34];
        int32_t length = 34;
        if (HAL_getNthRecordStoreName(n, characters, &length) != 0) fail("the count promised more stores");
        if (length < 1 || length > 32 || characters[length] != 0) fail("a bad store name");
        const std::string folder = database + hal_recordstore::storeFolderName(characters, length);
        if (!fs::is_directory(fs::symlink_status(folder))) fail("a listed store has no folder");
        sawFuzz = sawFuzz || std::u16string(characters, size_t(length)) == u"fuzz";
    }
    if (!sawFuzz) fail("the store folder is not listed");

    NativeRecordStore* handle = nullptr;
    if (HAL_openRecordStore(&handle, u"fuzz", 4, 0) != 0) fail("the store does not open");
    int32_t nextId = 0;
    std::vector<int32_t> ids = idsOf(handle, &nextId);
    int32_t added = 0;
    const int status = HAL_addRecord(handle, &added, "added", 5);
    if (status == 0) {
        if (added != nextId) fail("an add did not take the next id");
        ids.push_back(added);
    } else if (nextId < INT32_MAX) {
        fail("an add failed with ids left");
    }
    HAL_closeRecordStore(handle);

    if (HAL_openRecordStore(&handle, u"fuzz", 4, 0) != 0) fail("the store does not open again");
    int32_t nextAgain = 0;
    if (idsOf(handle, &nextAgain) != ids) fail("the records changed on reopening");
    HAL_closeRecordStore(handle);
    return 0;
}

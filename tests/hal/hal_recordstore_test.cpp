// Record stores on the disk: names that cannot leave the database folder,
// records and metadata, repair of what a crash or a stray file leaves,
// listings and deleting. Two handles on one store and a second process
// reading back are covered by the class tests and the crash test.
#include "hal_recordstore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "hal_system.h"
#include "program_dir.h"

namespace {

namespace fs = std::filesystem;
using hal_recordstore::Metadata;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string metadataBytes(uint32_t time, int32_t nextId, int32_t size, int32_t count) {
    Metadata m;
    m.lastModified = time;
    m.nextId = nextId;
    m.size = size;
    m.count = count;
    uint8_t bytes[hal_recordstore::kMetadataSize];
    hal_recordstore::encodeMetadata(m, bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}

// Every entry below a folder, as paths relative to it.
std::set<std::string> treeOf(const std::string& root) {
    std::set<std::string> entries;
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root, ignored); it != fs::recursive_directory_iterator(); ++it)
        entries.insert(fs::relative(it->path(), root).string());
    return entries;
}

class HalRecordStoreTest : public ::testing::Test {
protected:
    TempProgramDir dir{"hal_recordstore"};
    const std::string database = dir.root() + "database/";
    std::vector<NativeRecordStore*> opened;

    void SetUp() override { ::unsetenv("VESSILO_DATABASE_DIR"); }
    void TearDown() override {
        for (NativeRecordStore* store : opened) HAL_closeRecordStore(store);
    }

    int open(const std::u16string& name, bool create, NativeRecordStore** store) {
        int status = HAL_openRecordStore(store, name.data(), int32_t(name.size()), create ? 1 : 0);
        if (status == HAL_OK) opened.push_back(*store);
        return status;
    }
    NativeRecordStore* open(const std::u16string& name) {
        NativeRecordStore* store = nullptr;
        EXPECT_EQ(open(name, true, &store), HAL_OK);
        return store;
    }
    void close(NativeRecordStore* store) {
        opened.erase(std::find(opened.begin(), opened.end(), store));
        HAL_closeRecordStore(store);
    }
    std::string folderOf(const std::u16string& name) {
        return database + hal_recordstore::storeFolderName(name.data(), int32_t(name.size())) + "/";
    }
    static int32_t add(NativeRecordStore* store, const std::string& content) {
        int32_t id = -1;
        EXPECT_EQ(HAL_addRecord(store, &id, content.data(), int32_t(content.size())), HAL_OK);
        return id;
    }
    static std::string get(NativeRecordStore* store, int32_t id) {
        char buffer[256];
        int32_t length = sizeof buffer;
        int status = HAL_getRecord(store, id, buffer, &length);
        if (status != HAL_OK) return "status " + std::to_string(status);
        return std::string(buffer, size_t(length));
    }
    static std::vector<int32_t> ids(NativeRecordStore* store) {
        int32_t count = 0;
        EXPECT_EQ(HAL_getNumRecords(store, &count), HAL_OK);
        std::vector<int32_t> result;
        for (int32_t n = 1; n <= count; ++n) {
            int32_t id = 0;
            EXPECT_EQ(HAL_getNthRecordID(store, n, &id), HAL_OK);
            result.push_back(id);
        }
        int32_t past = 0;
        EXPECT_EQ(HAL_getNthRecordID(store, count + 1, &past), HAL_NOT_FOUND);
        return result;
    }
    static Metadata values(NativeRecordStore* store) {
        Metadata m;
        int64_t time = 0;
        int32_t version = 0;
        EXPECT_EQ(HAL_getRecordStoreLastModified(store, &time), HAL_OK);
        EXPECT_EQ(HAL_getRecordStoreVersion(store, &version), HAL_OK);
        EXPECT_EQ(HAL_getNextRecordID(store, &m.nextId), HAL_OK);
        EXPECT_EQ(HAL_getRecordStoreSize(store, &m.size), HAL_OK);
        EXPECT_EQ(HAL_getNumRecords(store, &m.count), HAL_OK);
        m.lastModified = uint32_t(time);
        m.version = uint32_t(version);
        return m;
    }
    std::vector<std::u16string> listed() {
        std::vector<std::u16string> names;
        int32_t count = HAL_getNumRecordStores();
        for (int32_t n = 1; n <= count; ++n) {
            char16_t buffer[34];
            int32_t length = 34;
            EXPECT_EQ(HAL_getNthRecordStoreName(n, buffer, &length), HAL_OK);
            EXPECT_EQ(buffer[length], 0);
            names.emplace_back(buffer, size_t(length));
        }
        char16_t buffer[34];
        int32_t length = 34;
        EXPECT_EQ(HAL_getNthRecordStoreName(count + 1, buffer, &length), HAL_NOT_FOUND);
        return names;
    }
};

TEST_F(HalRecordStoreTest, OpeningChecksItsArgumentsAndCreatesOnlyWhenAsked) {
    NativeRecordStore* store = reinterpret_cast<NativeRecordStore*>(0x1);
    const std::u16string name = u"save";
    EXPECT_EQ(HAL_openRecordStore(&store, nullptr, 4, 1), HAL_NOT_FOUND);
    EXPECT_EQ(HAL_openRecordStore(&store, name.data(), 0, 1), HAL_NOT_FOUND);
    EXPECT_EQ(store, reinterpret_cast<NativeRecordStore*>(0x1));  // untouched
    EXPECT_EQ(HAL_openRecordStore(nullptr, name.data(), 4, 1), HAL_BAD_ARGUMENT);
    const std::u16string tooLong(33, u'x');
    EXPECT_EQ(HAL_openRecordStore(&store, tooLong.data(), 33, 1), HAL_BAD_ARGUMENT);
    EXPECT_EQ(store, nullptr);

    EXPECT_EQ(open(name, false, &store), HAL_NOT_FOUND);
    EXPECT_FALSE(fs::exists(folderOf(name)));
    ASSERT_EQ(open(name, true, &store), HAL_OK);
    EXPECT_EQ(readFile(folderOf(name) + "metadata.info").size(), 20u);
    NativeRecordStore* again = nullptr;
    EXPECT_EQ(open(name, false, &again), HAL_OK);
    EXPECT_EQ(open(std::u16string(32, u'y'), true, &again), HAL_OK);

    const Metadata fresh = values(store);
    EXPECT_EQ(fresh.version, 0u);
    EXPECT_EQ(fresh.nextId, 1);
    EXPECT_EQ(fresh.size, 0);
    EXPECT_EQ(fresh.count, 0);
}

TEST_F(HalRecordStoreTest, RecordsAreAddedReadReplacedAndDeletedWithTheMetadataOnDisk) {
    NativeRecordStore* store = open(u"game");
    EXPECT_EQ(add(store, "first"), 1);
    EXPECT_EQ(add(store, ""), 2);
    EXPECT_EQ(add(store, "third!"), 3);
    EXPECT_EQ(get(store, 1), "first");
    EXPECT_EQ(get(store, 2), "");
    int32_t size = -1;
    EXPECT_EQ(HAL_getRecordSize(store, 3, &size), HAL_OK);
    EXPECT_EQ(size, 6);

    EXPECT_EQ(HAL_setRecord(store, 1, "changed", 7), HAL_OK);
    EXPECT_EQ(HAL_setRecord(store, 2, nullptr, 0), HAL_OK);
    EXPECT_EQ(get(store, 1), "changed");
    EXPECT_EQ(HAL_deleteRecord(store, 3), HAL_OK);
    EXPECT_EQ(ids(store), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(add(store, "x"), 4);  // ids are never reused

    const Metadata m = values(store);
    EXPECT_EQ(m.nextId, 5);
    EXPECT_EQ(m.count, 3);
    EXPECT_EQ(m.size, 5 + 0 + 6 + 1);  // bytes ever added
    const std::string folder = folderOf(u"game");
    const std::string onDisk = readFile(folder + "metadata.info");
    EXPECT_EQ(onDisk.substr(4), metadataBytes(0, 5, 12, 3).substr(4));  // the time aside
    EXPECT_EQ(onDisk.substr(0, 4), metadataBytes(m.lastModified, 0, 0, 0).substr(0, 4));
    EXPECT_EQ(readFile(folder + "record-1.bin"), "changed");
    EXPECT_EQ(treeOf(folder), (std::set<std::string>{"metadata.info", "record-1.bin", "record-2.bin", "record-4.bin"}));
}

TEST_F(HalRecordStoreTest, FailuresAndBadArgumentsLeaveTheStoreAsItWas) {
    NativeRecordStore* store = open(u"s");
    add(store, "abc");
    int32_t id = 0;
    char buffer[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
    int32_t length = 2;
    struct Case {
        const char* what;
        int status;
        int expected;
    } cases[] = {
        {"add without data", HAL_addRecord(store, &id, nullptr, 0), HAL_BAD_ARGUMENT},
        {"add to no store", HAL_addRecord(nullptr, &id, "a", 1), HAL_BAD_ARGUMENT},
        {"add a negative length", HAL_addRecord(store, &id, "a", -1), HAL_BAD_ARGUMENT},
        {"set a record never added", HAL_setRecord(store, 9, "a", 1), HAL_NOT_FOUND},
        {"set record 0", HAL_setRecord(store, 0, "a", 1), HAL_NOT_FOUND},
        {"set null data with bytes", HAL_setRecord(store, 1, nullptr, 1), HAL_BAD_ARGUMENT},
        {"delete a record never added", HAL_deleteRecord(store, 9), HAL_IO_ERROR},
        {"read a record never added", HAL_getRecord(store, 9, buffer, &length), HAL_IO_ERROR},
        {"size of a record never added", HAL_getRecordSize(store, -1, &id), HAL_IO_ERROR},
        {"read into too little room", HAL_getRecord(store, 1, buffer, &length), HAL_OK},
        {"nth id 0", HAL_getNthRecordID(store, 0, &id), HAL_NOT_FOUND},
        {"count of no store", HAL_getNumRecords(nullptr, &id), HAL_NOT_FOUND},
        {"count into nothing", HAL_getNumRecords(store, nullptr), HAL_NOT_FOUND},
        {"next id of no store", HAL_getNextRecordID(nullptr, &id), HAL_BAD_ARGUMENT},
    };
    for (const Case& c : cases) EXPECT_EQ(c.status, c.expected) << c.what;
    EXPECT_EQ(length, 3);                           // the record's length, beyond the room...
    EXPECT_EQ(std::string(buffer, 8), "--------");  // ...and nothing written
    EXPECT_EQ(ids(store), std::vector<int32_t>{1});
    EXPECT_EQ(get(store, 1), "abc");
    EXPECT_EQ(values(store).nextId, 2);
    EXPECT_FALSE(fs::exists(folderOf(u"s") + "record-9.bin"));

    // A pipe put in the record's place fails the read instead of waiting for
    // a writer.
    const std::string record = folderOf(u"s") + "record-1.bin";
    ASSERT_TRUE(fs::remove(record));
    ASSERT_EQ(::mkfifo(record.c_str(), 0600), 0);
    length = 8;
    EXPECT_EQ(HAL_getRecord(store, 1, buffer, &length), HAL_IO_ERROR);
}

// A folder standing where the metadata's temporary file, or the metadata
// itself, must go: the add cannot commit, fails, and leaves no record behind.
TEST_F(HalRecordStoreTest, AnAddWhoseMetadataCannotBeWrittenFailsAndLeavesNoRecord) {
    const std::pair<const char*, std::u16string> cases[] = {{"metadata.info.tmp", u"a"}, {"metadata.info", u"b"}};
    for (const auto& [blocked, name] : cases) {
        SCOPED_TRACE(blocked);
        NativeRecordStore* store = open(name);
        add(store, "first");
        fs::remove(folderOf(name) + blocked);
        fs::create_directories(folderOf(name) + blocked + "/inside");
        int32_t id = 0;
        EXPECT_EQ(HAL_addRecord(store, &id, "lost", 4), HAL_IO_ERROR);
        EXPECT_FALSE(fs::exists(folderOf(name) + "record-2.bin"));
        EXPECT_EQ(ids(store), std::vector<int32_t>{1});
        fs::remove_all(folderOf(name) + blocked);
        EXPECT_EQ(add(store, "second"), 2);  // the id was not used up
        EXPECT_EQ(get(store, 2), "second");
    }
}

// What opening makes of a store folder left in various states.
TEST_F(HalRecordStoreTest, OpeningRepairsWhatACrashOrAStrayFileLeaves) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<int32_t> ids;
        int32_t nextId, count, size;
        std::set<std::string> left;  // files after opening
    } cases[] = {
        {"metadata missing: rebuilt from the records (ids in numeric order)",
         {{"record-2.bin", "ab"}, {"record-10.bin", "abcd"}},
         {2, 10},
         11,
         2,
         6,
         {"metadata.info", "record-2.bin", "record-10.bin"}},
        {"metadata of the wrong length: rebuilt",
         {{"metadata.info", "short"}, {"record-1.bin", "x"}},
         {1},
         2,
         1,
         1,
         {"metadata.info", "record-1.bin"}},
        {"next id 0: rebuilt", {{"metadata.info", metadataBytes(7, 0, 0, 0)}}, {}, 1, 0, 0, {"metadata.info"}},
        {"an add that never committed: its record is removed",
         {{"metadata.info", metadataBytes(7, 3, 9, 2)},
          {"record-1.bin", "a"},
          {"record-2.bin", "b"},
          {"record-3.bin", "uncommitted"}},
         {1, 2},
         3,
         2,
         9,
         {"metadata.info", "record-1.bin", "record-2.bin"}},
        {"records beyond the next id: rebuilt, none lost",
         {{"metadata.info", metadataBytes(7, 2, 1, 1)}, {"record-1.bin", "a"}, {"record-5.bin", "bb"}},
         {1, 5},
         6,
         2,
         3,
         {"metadata.info", "record-1.bin", "record-5.bin"}},
        {"a delete that never reached the metadata: recounted",
         {{"metadata.info", metadataBytes(7, 4, 30, 3)}, {"record-1.bin", "a"}},
         {1},
         4,
         1,
         30,
         {"metadata.info", "record-1.bin"}},
        {"left-over temporary files and stray names",
         {{"metadata.info", metadataBytes(7, 3, 2, 1)},
          {"record-1.bin", "a"},
          {"record-2.bin.tmp", "torn"},
          {"metadata.info.tmp", "torn"},
          {"record-01.bin", "?"},
          {"record-x.bin", "?"},
          {"record-2.bin.old", "?"},
          {"record-2", "?"}},
         {1},
         3,
         1,
         2,
         {"metadata.info", "record-1.bin", "record-01.bin", "record-x.bin", "record-2.bin.old", "record-2"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::u16string name = u"repair" + std::u16string(1, char16_t(u'a' + n++));
        const std::string folder = folderOf(name);
        fs::create_directories(folder);
        for (const auto& [file, content] : c.files) writeFile(folder + file, content);
        NativeRecordStore* store = open(name);
        ASSERT_NE(store, nullptr);
        EXPECT_EQ(ids(store), c.ids);
        const Metadata m = values(store);
        EXPECT_EQ(m.nextId, c.nextId);
        EXPECT_EQ(m.count, c.count);
        EXPECT_EQ(m.size, c.size);
        EXPECT_EQ(treeOf(folder), c.left);
        Metadata onDisk;
        const std::string bytes = readFile(folder + "metadata.info");
        ASSERT_TRUE(
            hal_recordstore::decodeMetadata(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &onDisk));
        EXPECT_EQ(onDisk.nextId, c.nextId);
        EXPECT_EQ(onDisk.count, c.count);
        // The next add never lands on a record that is there.
        const int32_t added = add(store, "new");
        EXPECT_EQ(added, c.nextId);
        for (int32_t id : c.ids) EXPECT_NE(get(store, id), "new");
    }
}

TEST_F(HalRecordStoreTest, HostileNamesStayInsideTheirOwnFolderAndListBackExactly) {
    const std::u16string names[] = {
        u"../../etc",
        u"a/b",
        u"..",
        u".",
        u".hidden",
        std::u16string(u"nul\0byte", 8),
        u"caf\u00e9 \u6f22",
        u"%0041",
        u"back\\slash",
        u"Plain_name-1",
        std::u16string(1, char16_t(0xD800)),
        std::u16string(32, u'/'),
    };
    const std::set<std::string> outside = treeOf(dir.root());
    std::set<std::u16string> expected;
    for (const std::u16string& name : names) {
        NativeRecordStore* store = open(name);
        ASSERT_NE(store, nullptr);
        add(store, "data");
        expected.insert(name);
    }
    // Only store folders appeared, each directly inside the database folder.
    for (const std::string& entry : treeOf(dir.root())) {
        if (outside.count(entry) != 0 || entry == "database") continue;
        ASSERT_EQ(entry.rfind("database/store-", 0), 0u) << entry;
        const std::string inside = entry.substr(std::strlen("database/"));
        const size_t slash = inside.find('/');
        if (slash != std::string::npos) {
            EXPECT_EQ(inside.find('/', slash + 1), std::string::npos) << entry;
        }
        EXPECT_EQ(inside.substr(0, slash).find_first_not_of(
                      "store-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_%"),
                  std::string::npos)
            << entry;
    }
    const std::vector<std::u16string> list = listed();
    EXPECT_EQ(std::set<std::u16string>(list.begin(), list.end()), expected);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
    const std::u16string tooLong(33, u'a');
    EXPECT_EQ(HAL_deleteRecordStore(tooLong.data(), 33), HAL_NOT_FOUND);
    EXPECT_EQ(HAL_deleteRecordStore(u"../../etc", 9), HAL_OK);
    EXPECT_EQ(listed().size(), expected.size() - 1);
    EXPECT_EQ(treeOf(dir.root()).count("etc"), 0u);
}

TEST_F(HalRecordStoreTest, ListingCountsAndWalksWithOneFilter) {
    open(u"b");
    open(u"a");
    fs::create_directories(database + "store-%zz");    // not an escape
    fs::create_directories(database + "store-%0041");  // 'A' is written plainly
    fs::create_directories(database + "store-%00e9");  // lower-case digits
    fs::create_directories(database + "store-");       // no name
    fs::create_directories(database + "store-" + std::string(33, 'x'));
    fs::create_directories(database + "other");
    fs::create_directories(database + ".deleted-store-c");
    writeFile(database + "store-file", "not a folder");
    fs::create_directory_symlink(database + "store-a", database + "store-link");
    EXPECT_EQ(HAL_getNumRecordStores(), 2);
    EXPECT_EQ(listed(), (std::vector<std::u16string>{u"a", u"b"}));

    char16_t buffer[34];
    int32_t room = 1;
    EXPECT_EQ(HAL_getNthRecordStoreName(1, buffer, &room), HAL_BAD_ARGUMENT);  // no room for "a" and its NUL
    room = 34;
    EXPECT_EQ(HAL_getNthRecordStoreName(0, buffer, &room), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_getNthRecordStoreName(1, nullptr, &room), HAL_BAD_ARGUMENT);
}

TEST_F(HalRecordStoreTest, DeletingAStoreTakesItsRecordsAndFailsTheWritesOfHandlesStillOpen) {
    EXPECT_EQ(HAL_deleteRecordStore(u"none", 4), HAL_NOT_FOUND);  // no database folder yet
    EXPECT_EQ(HAL_getNumRecordStores(), 0);
    NativeRecordStore* store = open(u"old");
    add(store, "one");
    add(store, "two");
    EXPECT_EQ(HAL_deleteRecordStore(u"none", 4), HAL_OK);
    EXPECT_EQ(HAL_deleteRecordStore(nullptr, 4), HAL_NOT_FOUND);
    EXPECT_EQ(HAL_deleteRecordStore(u"old", 3), HAL_OK);
    EXPECT_EQ(treeOf(database), std::set<std::string>{});

    int32_t id = 0;
    EXPECT_EQ(HAL_addRecord(store, &id, "x", 1), HAL_IO_ERROR);
    EXPECT_EQ(HAL_setRecord(store, 1, "x", 1), HAL_IO_ERROR);
    EXPECT_EQ(get(store, 1), "status 7");
    EXPECT_EQ(treeOf(database), std::set<std::string>{});

    NativeRecordStore* fresh = nullptr;
    EXPECT_EQ(open(u"old", false, &fresh), HAL_NOT_FOUND);
    fresh = open(u"old");
    EXPECT_EQ(values(fresh).nextId, 1);
    EXPECT_EQ(add(fresh, "new"), 1);
    EXPECT_EQ(HAL_addRecord(store, &id, "x", 1), HAL_IO_ERROR);  // the old handle stays cut off
    EXPECT_EQ(get(fresh, 1), "new");
}

TEST_F(HalRecordStoreTest, ReplacingAllRecordsStartsTheStoreAfreshInOneStepWithOrWithoutAnExchange) {
    auto replace = [](const std::u16string& name, const std::vector<std::string>& records) {
        std::vector<const void*> data;
        std::vector<int32_t> lengths;
        for (const std::string& r : records) {
            data.push_back(r.data());
            lengths.push_back(int32_t(r.size()));
        }
        return HAL_replaceRecords(name.data(), int32_t(name.size()), data.data(), lengths.data(),
                                  int32_t(records.size()));
    };
    const int32_t tooLong = -1;
    const void* none = nullptr;
    EXPECT_EQ(HAL_replaceRecords(nullptr, 1, nullptr, nullptr, 0), HAL_NOT_FOUND);
    EXPECT_EQ(HAL_replaceRecords(u"s", 1, nullptr, nullptr, -1), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_replaceRecords(u"s", 1, &none, &tooLong, 1), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_replaceRecords(u"s", 1, nullptr, nullptr, 1), HAL_BAD_ARGUMENT);

    for (bool exchange : {true, false}) {
        SCOPED_TRACE(exchange ? "exchanging" : "renaming twice");
        hal_recordstore::refuseFolderExchange(!exchange);
        const std::u16string name = exchange ? u"save" : u"save2";
        EXPECT_EQ(replace(name, {"first"}), HAL_OK);  // a new store
        NativeRecordStore* store = open(name);
        add(store, "added");
        EXPECT_EQ(ids(store), (std::vector<int32_t>{1, 2}));
        EXPECT_EQ(replace(name, {"a", "", "ccc"}), HAL_OK);
        // The open handle sees the new store: ids from 1, the size of these
        // records, and nothing beside the store folder.
        EXPECT_EQ(ids(store), (std::vector<int32_t>{1, 2, 3}));
        EXPECT_EQ(get(store, 1), "a");
        EXPECT_EQ(get(store, 2), "");
        EXPECT_EQ(get(store, 3), "ccc");
        EXPECT_EQ(values(store).nextId, 4);
        EXPECT_EQ(values(store).size, 4);
        EXPECT_EQ(add(store, "next"), 4);
        EXPECT_EQ(replace(name, {}), HAL_OK);
        EXPECT_EQ(ids(store), std::vector<int32_t>{});
        NativeRecordStore* again = nullptr;
        ASSERT_EQ(open(name, false, &again), HAL_OK);
        EXPECT_EQ(values(again).count, 0);
    }
    hal_recordstore::refuseFolderExchange(false);
    EXPECT_EQ(treeOf(database), (std::set<std::string>{"store-save", "store-save/metadata.info", "store-save2",
                                                       "store-save2/metadata.info"}));

    // What a replace cut short leaves is settled by the next opening: beside
    // the store an aside folder goes; without the store a complete one (its
    // metadata written) takes its place, an incomplete one goes.
    fs::create_directories(database + ".replacing-store-save");
    writeFile(database + ".replacing-store-save/record-1.bin", "stale");
    fs::create_directories(database + ".replacing-store-cut");
    writeFile(database + ".replacing-store-cut/record-1.bin", "new");
    writeFile(database + ".replacing-store-cut/metadata.info", metadataBytes(1, 2, 3, 1));
    fs::create_directories(database + ".replacing-store-half");
    writeFile(database + ".replacing-store-half/record-1.bin", "half");
    NativeRecordStore* cut = nullptr;
    ASSERT_EQ(open(u"cut", false, &cut), HAL_OK);
    EXPECT_EQ(get(cut, 1), "new");
    NativeRecordStore* half = nullptr;
    EXPECT_EQ(open(u"half", false, &half), HAL_NOT_FOUND);
    EXPECT_EQ(treeOf(database), (std::set<std::string>{"store-save", "store-save/metadata.info", "store-save2",
                                                       "store-save2/metadata.info", "store-cut",
                                                       "store-cut/metadata.info", "store-cut/record-1.bin"}));

    // A replace that cannot write leaves the old records.
    fs::permissions(database, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_EQ(replace(u"cut", {"lost"}), HAL_IO_ERROR);
        EXPECT_EQ(get(cut, 1), "new");
    }
    fs::permissions(database, fs::perms::owner_all);
}

TEST_F(HalRecordStoreTest, TheDatabaseFolderCanBeNamedByTheEnvironment) {
    TempProgramDir elsewhere("hal_recordstore_env");
    const std::string named = elsewhere.root() + "saves";
    HAL_setProgramDirectory(dir.root().c_str());  // the second folder moved the program folder
    ::setenv("VESSILO_DATABASE_DIR", named.c_str(), 1);
    EXPECT_EQ(hal_recordstore::databaseDirectory(), named + "/");
    NativeRecordStore* store = open(u"env");
    add(store, "here");
    ::unsetenv("VESSILO_DATABASE_DIR");
    EXPECT_EQ(readFile(named + "/store-env/record-1.bin"), "here");
    EXPECT_FALSE(fs::exists(database));
    HAL_setProgramDirectory(dir.root().c_str());
}

// A database folder that cannot keep the stores is named with its reason
// (and said in one line at start); a missing one is made. Modes are the
// owner's, as an ordinary user meets them, also when the tests run as root.
TEST_F(HalRecordStoreTest, ADatabaseFolderThatCannotKeepTheStoresIsNamedWithItsReason) {
    hal_recordstore::actAsOwner(true);
    struct Case {
        const char* what;
        std::function<void()> make;
        const char* reason;  // after "<folder>: "; empty when the folder can be used
    };
    const std::string folder = dir.root() + "database";
    const std::vector<Case> cases = {
        {"missing: made", [] {}, ""},
        {"a file", [&] { writeFile(folder, "not a folder"); }, "Not a directory"},
        {"a link to nothing", [&] { fs::create_symlink(dir.root() + "nowhere", folder); }, "No such file or directory"},
        {"a link to a folder", [&] {
             fs::create_directory(dir.root() + "real");
             fs::create_symlink(dir.root() + "real", folder);
         }, ""},
        {"no permission", [&] {
             fs::create_directory(folder);
             fs::permissions(folder, fs::perms::none);
         }, "Permission denied"},
        {"read-only", [&] {
             fs::create_directory(folder);
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
         }, "Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const std::string problem = hal_recordstore::databaseProblem();
        EXPECT_EQ(problem, *c.reason == '\0' ? std::string() : database + ": " + c.reason);
        testing::internal::CaptureStderr();
        EXPECT_EQ(HAL_checkDatabaseFolder(), problem.empty() ? HAL_OK : HAL_IO_ERROR);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  problem.empty() ? "" : "vessilo: options and progress will not be kept: " + problem + "\n");
        if (fs::is_directory(fs::symlink_status(folder))) fs::permissions(folder, fs::perms::owner_all);
        fs::remove_all(folder);
        fs::remove_all(dir.root() + "real");
    }
    // A store behind a folder that cannot be looked into, or whose metadata
    // file is there but cannot be read, is not "no store": opening it fails
    // as unreadable, whether it is asked to be made or not, and leaves the
    // metadata as it was (bytes, mode and time).
    NativeRecordStore* store = open(u"kept");
    add(store, "level 5");
    close(store);
    const std::string metadata = folderOf(u"kept") + "metadata.info";
    const std::string bytes = readFile(metadata);
    for (const std::string& locked : {database, folderOf(u"kept"), metadata}) {
        const fs::perms mode = fs::status(locked).permissions();
        struct stat before {};
        ASSERT_EQ(::lstat(metadata.c_str(), &before), 0);
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(open(u"kept", false, &store), HAL_IO_ERROR) << locked;
        EXPECT_EQ(open(u"kept", true, &store), HAL_IO_ERROR) << locked;
        fs::permissions(locked, mode);
        struct stat after {};
        ASSERT_EQ(::lstat(metadata.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << locked;
        EXPECT_EQ(after.st_mode, before.st_mode) << locked;
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec) << locked;
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec) << locked;
        EXPECT_EQ(readFile(metadata), bytes) << locked;
    }
    hal_recordstore::actAsOwner(false);
    EXPECT_EQ(get(open(u"kept"), 1), "level 5");
}

TEST(HalRecordStoreLayoutTest, NamesEscapeEveryUnitOutsideTheSafeSetAndDecodeOnlyTheCanonicalForm) {
    struct Case {
        std::u16string name;
        const char* folder;
    } cases[] = {
        {u"Save_1-a", "store-Save_1-a"},
        {u"../x", "store-%002E%002E%002Fx"},
        {std::u16string(u"\0", 1), "store-%0000"},
        {u"\u00e9\uffff", "store-%00E9%FFFF"},
        {u"%", "store-%0025"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hal_recordstore::storeFolderName(c.name.data(), int32_t(c.name.size())), c.folder);
        std::u16string back;
        EXPECT_TRUE(hal_recordstore::storeNameOfFolder(c.folder, &back)) << c.folder;
        EXPECT_EQ(back, c.name);
    }
    const char* refused[] = {"store-",    "Store-a",     "store-a.b", "store-%00e9", "store-%0041",
                             "store-%00", "store-%zzzz", "store-a b", "store-%002",  ".deleted-store-a"};
    std::u16string name;
    for (const char* folder : refused) EXPECT_FALSE(hal_recordstore::storeNameOfFolder(folder, &name)) << folder;
    EXPECT_TRUE(hal_recordstore::storeNameOfFolder(("store-" + std::string(32, 'a')).c_str(), &name));
    EXPECT_FALSE(hal_recordstore::storeNameOfFolder(("store-" + std::string(33, 'a')).c_str(), &name));
}

TEST(HalRecordStoreLayoutTest, MetadataIsFiveLittleEndianWordsAndDecodesStrictly) {
    // Time, version, next id, size, count.
    const uint8_t bytes[20] = {0x01, 0x02, 0x03, 0x84, 0, 0, 0, 0, 7, 0, 0, 0, 0x10, 0x27, 0, 0, 6, 0, 0, 0};
    Metadata m;
    ASSERT_TRUE(hal_recordstore::decodeMetadata(bytes, 20, &m));
    EXPECT_EQ(m.lastModified, 0x84030201u);
    EXPECT_EQ(m.version, 0u);
    EXPECT_EQ(m.nextId, 7);
    EXPECT_EQ(m.size, 10000);
    EXPECT_EQ(m.count, 6);
    EXPECT_FALSE(hal_recordstore::decodeMetadata(bytes, 19, &m));
    EXPECT_FALSE(hal_recordstore::decodeMetadata(bytes, 21, &m));
    int32_t id = 0;
    EXPECT_TRUE(hal_recordstore::recordIdOfFile("record-2147483646.bin", &id));
    EXPECT_FALSE(hal_recordstore::recordIdOfFile("record-2147483647.bin", &id));  // no next id beyond it
}

}  // namespace

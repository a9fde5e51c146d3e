// Saved data: the save and load buffers, record stores written by one
// process and read by another, and saves cut short by a kill.
#include <cstdlib>
#include <filesystem>

#include "hal_recordstore.h"
#include "javax_microedition_rms_RecordStore.h"
#include "program_dir.h"
#include "ts_test_support.h"
#include "write_killer.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VESSILO_CRASH_TEST_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VESSILO_CRASH_TEST_SANITIZED 1
#endif

using ts::TsCanvas;
using tstest::bytesOf;
using tstest::rawOf;

namespace {

class TsCanvasDataTest : public VMTest {
protected:
    tstest::Booted booted;  // before the reference members
    TempProgramDir dir{"tsdata"};
    VMPtr<tstest::TestCanvas> canvas;

    void SetUp() override {
        VMTest::SetUp();
        ::unsetenv("VESSILO_DATABASE_DIR");
        canvas = tstest::stoppedCanvas();
    }
    void TearDown() override {
        TsCanvas::saveBuffer = nullptr;
        TsCanvas::loadBuffer = nullptr;
    }
};

// n bytes that depend on the seed.
std::vector<uint8_t> content(size_t n, uint32_t seed) {
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) data[i] = uint8_t((i * 131 + seed * 7919 + (i >> 8)) % 251);
    return data;
}

}  // namespace

TEST_F(TsCanvasDataTest, BuffersWriteAndReadInTheirByteOrders) {
    VMPtr<VMBytes> buffer = VMBytes::create(18);
    TsCanvas::saveBuffer = buffer;
    TsCanvas::savePosition = 1;
    TsCanvas::writeInt(0x01020304);
    TsCanvas::writeIntLE(0x05060708);
    TsCanvas::writeShortLE(0x090A);
    TsCanvas::writeBoolean(true);
    TsCanvas::writeBoolean(false);
    TsCanvas::writeByte(-2);
    TsCanvas::writeInt(-123456789);
    EXPECT_EQ(TsCanvas::savePosition, 18);
    EXPECT_EQ(rawOf(buffer),
              (std::vector<uint8_t>{0, 1, 2, 3, 4, 8, 7, 6, 5, 0x0A, 9, 1, 0, 0xFE, 0xF8, 0xA4, 0x32, 0xEB}));
    // Nothing is written past the end, and the cursor stays.
    TsCanvas::savePosition = 16;
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::writeInt(7)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(TsCanvas::savePosition, 16);
    EXPECT_EQ(uint8_t((*buffer)[16]), 0x32);

    TsCanvas::loadBuffer = buffer;
    TsCanvas::loadPosition = 1;
    EXPECT_EQ(TsCanvas::readInt(), 0x01020304);
    TsCanvas::loadPosition = 11;
    EXPECT_TRUE(TsCanvas::readBoolean());
    EXPECT_FALSE(TsCanvas::readBoolean());
    EXPECT_EQ(TsCanvas::readByte(), -2);
    EXPECT_EQ(TsCanvas::readInt(), -123456789);
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::readByte()), "java.lang.ArrayIndexOutOfBoundsException");
    TsCanvas::loadPosition = -1;
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::readByte()), "java.lang.ArrayIndexOutOfBoundsException");
    TsCanvas::loadBuffer = nullptr;
    EXPECT_EQ(VM_THROWN_CLASS(TsCanvas::readInt()), "java.lang.NullPointerException");
}

TEST_F(TsCanvasDataTest, StoresRoundTripAcrossProcessesAndAreReplacedWhole) {
    const size_t sizes[] = {0, 1, 4096, 10000};
    // Another process saves...
    const int saved = WriteKiller::runInChild([&] {
        for (size_t i = 0; i < 4; ++i) {
            if (!canvas->saveRecordStore(jint(100 + i), bytesOf(content(sizes[i], uint32_t(i))))) return 1;
        }
        return 0;
    });
    ASSERT_EQ(saved, 0);
    // ...and this one reads.
    for (size_t i = 0; i < 4; ++i) {
        VMPtr<VMBytes> loaded = canvas->loadRecordStore(jint(100 + i));
        ASSERT_NE(loaded, nullptr) << sizes[i];
        EXPECT_EQ(rawOf(loaded), content(sizes[i], uint32_t(i))) << sizes[i];
    }
    EXPECT_EQ(canvas->loadRecordStore(99), nullptr);

    // A save replaces the store's records as a new store would hold them:
    // ids from 1, one for every 4096 bytes.
    auto recordIds = [](jint id) {
        VMPtr<javax::microedition::rms::RecordStore> store =
            javax::microedition::rms::RecordStore::openRecordStore(java::lang::String::valueOf(id), false);
        VMPtr<VMArray<jint, 1>> ids = store->getRecordIDs();
        store->closeRecordStore();
        return std::vector<jint>(ids->elements(), ids->elements() + ids->length);
    };
    EXPECT_EQ(recordIds(103), (std::vector<jint>{1, 2, 3}));
    ASSERT_TRUE(canvas->saveRecordStore(103, bytesOf(content(5000, 9))));
    EXPECT_EQ(recordIds(103), (std::vector<jint>{1, 2}));
    EXPECT_EQ(rawOf(canvas->loadRecordStore(103)), content(5000, 9));
    ASSERT_TRUE(canvas->saveRecordStore(103, bytesOf(content(9000, 10))));
    EXPECT_EQ(recordIds(103), (std::vector<jint>{1, 2, 3}));
    EXPECT_EQ(rawOf(canvas->loadRecordStore(103)), content(9000, 10));

    // A store whose ids have gaps (as earlier saves left them) loads joined in
    // id order, and the next save renumbers it.
    {
        VMPtr<javax::microedition::rms::RecordStore> old =
            javax::microedition::rms::RecordStore::openRecordStore(VM_STR("104"), true);
        for (const char* part : {"ab", "xx", "cd"}) old->addRecord(bytesOf({uint8_t(part[0]), uint8_t(part[1])}), 0, 2);
        old->deleteRecord(2);
        old->closeRecordStore();
    }
    EXPECT_EQ(rawOf(canvas->loadRecordStore(104)), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
    ASSERT_TRUE(canvas->saveRecordStore(104, bytesOf({1, 2})));
    EXPECT_EQ(recordIds(104), (std::vector<jint>{1}));

    // Null data deletes the store, also one that is not there.
    EXPECT_TRUE(canvas->saveRecordStore(103, nullptr));
    EXPECT_EQ(canvas->loadRecordStore(103), nullptr);
    EXPECT_TRUE(canvas->saveRecordStore(103, nullptr));
}

TEST_F(TsCanvasDataTest, ASaveThatCannotBeWrittenAnswersFalse) {
    dir.put("not-a-folder", "x");
    ::setenv("VESSILO_DATABASE_DIR", (dir.root() + "not-a-folder").c_str(), 1);
    EXPECT_FALSE(canvas->saveRecordStore(5, bytesOf({1, 2, 3})));
    EXPECT_EQ(canvas->loadRecordStore(5), nullptr);
    ::unsetenv("VESSILO_DATABASE_DIR");
}

TEST_F(TsCanvasDataTest, AKilledSaveLeavesTheOldOrTheNewData) {
#if defined(VESSILO_CRASH_TEST_SANITIZED)
    GTEST_SKIP() << "runs in the plain build";
#endif
    if (const char* stress = std::getenv("VESSILO_GC_STRESS"); stress != nullptr && stress[0] != 0 && stress[0] != '0')
        GTEST_SKIP() << "runs without the collector's stress mode";
    // The stores on a memory file system when there is one: a killed process
    // loses nothing the system has taken, so flushing to the disk would only
    // make each save slower.
    std::string memory = "/dev/shm/vessilo_tscrash_XXXXXX";
    const bool inMemory = std::filesystem::is_directory("/dev/shm") && ::mkdtemp(memory.data()) != nullptr;
    if (inMemory) ::setenv("VESSILO_DATABASE_DIR", memory.c_str(), 1);
    struct Cleanup {
        std::string folder;
        ~Cleanup() {
            hal_recordstore::refuseFolderExchange(false);
            ::unsetenv("VESSILO_DATABASE_DIR");
            std::error_code ignored;
            if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
        }
    } cleanup{inMemory ? memory : std::string()};
    // One to four records each (up to 16 KB), of a length that changes with
    // the version: a save cut short between its records must not mix them.
    auto version = [](int32_t v) { return content(size_t(100 + uint32_t(v) * 2897 % 16300), uint32_t(v)); };
    ASSERT_TRUE(canvas->saveRecordStore(7, bytesOf(version(0))));
    int32_t current = 0;
    int interrupted = 0;
    WriteKiller killer(2024);
    for (int kill = 0; kill < 200; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        // The second half as on a file system that cannot exchange folders.
        hal_recordstore::refuseFolderExchange(kill >= 100);
        const int32_t first = current + 1;
        WriteKiller::Outcome outcome = killer.killOnce([&](WriteKiller::Reporter& report) {
            for (int32_t v = first;; ++v) {
                report.begin(v);
                if (!canvas->saveRecordStore(7, bytesOf(version(v)))) ::_exit(6);
                report.done(v);
            }
        });
        ASSERT_TRUE(outcome.killed) << "the saving child ended by itself with " << outcome.exitCode;
        if (outcome.done >= 0) current = outcome.done;
        const std::vector<uint8_t> loaded = rawOf(canvas->loadRecordStore(7));
        if (outcome.begun >= 0) {
            ++interrupted;
            if (loaded == version(outcome.begun)) current = outcome.begun;
        }
        ASSERT_EQ(loaded, version(current)) << "neither the old nor the new data";
    }
    EXPECT_GT(interrupted, 20) << "the kills did not land inside saves";
    EXPECT_GT(current, 50);
}

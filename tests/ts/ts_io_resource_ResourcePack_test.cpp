// Resource packs from files of a resource folder of the test's own: plain
// packs, chunked packs with split data or a file system, their extension
// data, and packs broken in every way the reader checks.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "java_io_ByteArrayInputStream.h"
#include "pack_writer.h"
#include "program_dir.h"
#include "ts_io_resource_ResourcePackChunked.h"
#include "ts_test_support.h"

using java::io::DataInputStream;
using ts::io::resource::ResourcePack;
using ts::io::resource::ResourcePackChunked;
namespace pw = packwriter;

namespace {

class ResourcePackTest : public VMTest {
protected:
    tstest::Booted booted;
    TempProgramDir dir{"respack"};
    VMPtr<ResourcePackChunked> pack;

    void SetUp() override {
        VMTest::SetUp();
        pack = ResourcePackChunked::create()->construct();
        pack->unload();
    }
    void TearDown() override { pack->unload(); }

    void put(const std::string& name, const std::string& content) { dir.put("rsc/" + name, content); }
    static std::string str(const VMPtr<VMBytes>& b) {
        std::vector<uint8_t> v = tstest::rawOf(b);
        return std::string(v.begin(), v.end());
    }
    static VMPtr<DataInputStream> streamOf(const std::string& raw) {
        return DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(
            tstest::bytesOf(std::vector<uint8_t>(raw.begin(), raw.end()))));
    }
    static std::string rest(const VMPtr<DataInputStream>& in) {
        std::string out;
        for (jint b; (b = in->read()) >= 0;) out.push_back(char(b));
        return out;
    }
    // Loads the pack that id names with standard output captured.
    std::string load(jint id) {
        testing::internal::CaptureStdout();
        pack->ensurePackLoaded(id);
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(ResourcePackTest, PlainPackAnswersEveryLookupFromOneRead) {
    put("RP16.rp", pw::plainPack({"0123456789", "", "abcde", "zz"}, {-3, 0, -6, 1}));
    const jint base = 16 << 10;
    EXPECT_EQ(str(pack->getResource(base + 2)), "abcde");
    EXPECT_EQ(ResourcePack::currentPack, 16);
    // Later lookups of the pack read nothing: the file may go.
    std::remove((dir.root() + "rsc/RP16.rp").c_str());
    EXPECT_EQ(pack->getResourceType(base + 0), -3);
    EXPECT_EQ(pack->getResourceType(base + 2), -6);
    EXPECT_EQ(pack->getResourceSize(base + 1), 0);
    EXPECT_EQ(pack->getResourceOffset(base + 0), 0);
    EXPECT_EQ(pack->getResourceOffset(base + 1), 10);
    EXPECT_EQ(pack->getResourceOffset(base + 2), 10);
    EXPECT_EQ(pack->getResourceData(base + 3).get(), pack->packData.get());
    EXPECT_EQ(rest(pack->getResourceAsStream(base + 3)), "zz");
    EXPECT_EQ(rest(pack->getResourceAsStream(3)), "zz");  // pack number 0: the loaded pack
    EXPECT_EQ(pack->getResourceFileName(base + 3), nullptr);
    EXPECT_EQ(pack->selectForReading(base + 2), 5);
    EXPECT_EQ(ts::TsCanvas::loadBuffer.get(), pack->packData.get());
    EXPECT_EQ(ts::TsCanvas::loadPosition, 10);
    ts::TsCanvas::loadBuffer = nullptr;
}

TEST_F(ResourcePackTest, SizeWidthComesFromBitZeroAndSizesAreUnsigned) {
    struct Case {
        uint8_t flags;
        bool wide;
    };
    for (const Case& c : {Case{0x00, false}, Case{0xFE, false}, Case{0x01, true}, Case{0xFF, true}}) {
        const std::string data(32769, 'q');
        std::string file = pw::table({32769, 1}, {0, 0}, c.wide, c.flags);
        pw::u32(file, 32770);
        file += data + "!";
        ASSERT_TRUE(pack->load(streamOf(file), 0)) << int(c.flags);
        EXPECT_EQ(pack->getResourceSize(0), 32769);
        EXPECT_EQ(str(pack->getResource(1)), "!");
    }
}

TEST_F(ResourcePackTest, FileNamesAndPackNumbers) {
    struct Case {
        jint pack, part;
        const char* extension;
        const char* name;
    };
    for (const Case& c : {Case{12, -1, nullptr, "/RP12.rp"}, Case{12, 0, "png", "/RP12part0.png"},
                          Case{3, 2, nullptr, "/RP3part2.rp"}, Case{-4, 7, "utf", "/RP-4part7.utf"}}) {
        VMPtr<java::lang::String> ext = c.extension ? java::lang::String::_VM_fromUTF8(c.extension) : nullptr;
        EXPECT_EQ(text(pack->getFileName(c.pack, c.part, ext)), c.name);
    }
    for (jint n = 1; n <= 40; ++n) {
        const bool chunked = (n >= 1 && n <= 15) || n == 17 || n == 18 || n == 19 || n == 21;
        EXPECT_EQ(ResourcePackChunked::isChunkedPack(n), chunked) << n;
    }
    EXPECT_FALSE(ResourcePackChunked::isChunkedPack(0));
    EXPECT_FALSE(ResourcePackChunked::isChunkedPack(-1));
}

TEST_F(ResourcePackTest, LookupsWithoutATableOrPastTheCountThrow) {
    EXPECT_EQ(VM_THROWN_TEXT(pack->getResource(5)), "java.lang.RuntimeException: No resource 5: no pack is loaded");
    // A missing pack file: recorded as current, not tried again.
    const std::string trace = load(40 << 10);
    EXPECT_EQ(ResourcePack::currentPack, 40);
    EXPECT_EQ(VM_THROWN_TEXT(pack->getResourceSize((40 << 10) + 1)),
              "java.lang.RuntimeException: No resource 40961 in pack 40");
    put("RP40.rp", pw::plainPack({"x"}));
    EXPECT_EQ(VM_THROWN_CLASS(pack->getResourceType(40 << 10)), "java.lang.RuntimeException");
    put("RP41.rp", pw::plainPack({"x"}));
    EXPECT_EQ(str(pack->getResource(41 << 10)), "x");
    EXPECT_EQ(VM_THROWN_TEXT(pack->getResource((41 << 10) + 1)),
              "java.lang.RuntimeException: No resource 41985 in pack 41");
    // A negative pack number unloads.
    EXPECT_EQ(VM_THROWN_CLASS(pack->getResource(-1)), "java.lang.RuntimeException");
    EXPECT_EQ(ResourcePack::currentPack, -1);
}

TEST_F(ResourcePackTest, LoadFromAStreamHoldsPackZeroUntilAnotherPackIsNamed) {
    EXPECT_FALSE(pack->load(nullptr, 0));
    EXPECT_EQ(pack->resourceSizes, nullptr);
    EXPECT_TRUE(pack->load(streamOf(pw::plainPack({"a", "bb", "ccc", "dddd"}, {0, 0, 0, -7})), 0));
    EXPECT_EQ(ResourcePack::currentPack, 0);
    EXPECT_EQ(pack->getResourceType(3), -7);
    put("RP16.rp", pw::plainPack({"sixteen"}));
    EXPECT_EQ(str(pack->getResource(16 << 10)), "sixteen");
    EXPECT_EQ(pack->getResourceSize(0), 7);
    // A truncated stream leaves no table.
    EXPECT_FALSE(pack->load(streamOf(pw::plainPack({"a"}).substr(0, 3)), 0));
    EXPECT_EQ(pack->resourceTypes, nullptr);
}

TEST_F(ResourcePackTest, BrokenPlainPacksLeaveNoTable) {
    std::string overflow = pw::table({0x80000000u}, {0}, true);
    pw::u32(overflow, 4);
    overflow += "abcd";
    std::string beyond = pw::table({3, 4}, {0, 0});
    pw::u32(beyond, 5);
    beyond += "abcde";
    std::string negative = pw::table({1}, {0});
    pw::u32(negative, 0xFFFFFFFFu);
    std::string hugeData = pw::table({1}, {0});
    pw::u32(hugeData, 0x7FFFFFF0u);
    hugeData += "x";
    for (const std::string& file : {std::string(), std::string("\x00\x00", 2), pw::plainPack({"abc"}).substr(0, 9),
                                    overflow, beyond, negative, hugeData}) {
        EXPECT_FALSE(pack->load(streamOf(file), 0)) << file.size();
        EXPECT_EQ(pack->resourceSizes, nullptr);
        EXPECT_EQ(pack->packData, nullptr);
        EXPECT_EQ(ResourcePack::currentPack, -1);
    }
}

TEST_F(ResourcePackTest, ExtensionDataFollowsTheTable) {
    EXPECT_EQ(VM_THROWN_TEXT(pack->readExtension(streamOf(""))),
              "java.io.IOException: No resource table for the extension data");
    std::string file = pw::plainPack({"r0", "r1", "r2"});
    pw::u16(file, 4);
    pw::u16(file, 0);
    pw::u16(file, 7);
    file += "abcd1234567";
    VMPtr<DataInputStream> in = streamOf(file);
    ASSERT_TRUE(pack->load(in, 0));
    EXPECT_FALSE(pack->hasExtension());
    EXPECT_EQ(pack->getExtensionSize(1), -1);
    EXPECT_EQ(pack->getExtensionBytes(1), nullptr);
    EXPECT_EQ(pack->getExtensionAsStream(1), nullptr);
    pack->readExtension(in);
    EXPECT_TRUE(pack->hasExtension());
    EXPECT_EQ(pack->getExtensionOffset(2), 4);
    EXPECT_EQ(str(pack->getExtensionBytes(2)), "1234567");
    EXPECT_EQ(str(pack->getExtensionBytes(1)), "");
    EXPECT_EQ(rest(pack->getExtensionAsStream(0)), "abcd");
    EXPECT_EQ(VM_THROWN_CLASS(pack->getExtensionSize(3)), "java.lang.RuntimeException");
    // A failure half-way leaves neither sizes nor data.
    std::string cut = pw::plainPack({"r0"});
    cut +=
        "\xff\x10"
        "short";
    VMPtr<DataInputStream> again = streamOf(cut);
    ASSERT_TRUE(pack->load(again, 0));
    EXPECT_EQ(VM_THROWN_CLASS(pack->readExtension(again)), "java.io.EOFException");
    EXPECT_EQ(pack->extensionSizes, nullptr);
    EXPECT_FALSE(pack->hasExtension());
    pack->unload();
    EXPECT_FALSE(pack->hasExtension());
}

TEST_F(ResourcePackTest, SplitDataIsJoinedFromThePartsAtLoadTime) {
    const std::string data = std::string(200, 'a') + std::string(100, 'b');
    for (bool tableFirst : {true, false}) {
        std::string table = pw::chunk("RPHe", pw::table({150, 0, 150}, {-1, -1, -6}));
        std::string split = pw::chunk("FSLM", pw::splitData(300, {200, 100}));
        put("RP15part0.rp", tableFirst ? pw::part0({table, split}) : pw::part0({split, table}));
        put("RP15part1.rp", data.substr(0, 200) + "padding past the share");
        put("RP15part2.rp", data.substr(200));
        pack->unload();
        EXPECT_EQ(load((15 << 10) + 2), "");
        EXPECT_EQ(str(pack->getResource((15 << 10) + 2)), data.substr(150));
        EXPECT_EQ(pack->getResourceOffset(2), 150);
        EXPECT_EQ(pack->getResourceType(2), -6);
        EXPECT_EQ(pack->chunks, nullptr);
        EXPECT_EQ(pack->fileSystem, nullptr);
    }
}

TEST_F(ResourcePackTest, FileSystemReadsEachResourceFromItsFileOnDemand) {
    put("RP3part0.rp", pw::part0({pw::chunk("RPHe", pw::table({20, 6, 3}, {-1, -6, 0})),
                                  pw::chunk("VFSO", pw::fileSystem({{-1, 2, 64}, {-6, 5, 0}, {-1, 6, 10}})),
                                  pw::chunk("FSLM", pw::splitData(1, {1}))}));  // ignored: no part 1
    put("RP3part2.rp", std::string(64, '-') + "twenty bytes of data" + "tail");
    put("RP3part5.utf", "utf-8!");
    put("RP3part6.rp", "short");
    EXPECT_EQ(load(3 << 10), "");
    EXPECT_FALSE(pack->dataInMemory);
    EXPECT_EQ(str(pack->getResource(3 << 10)), "twenty bytes of data");
    EXPECT_EQ(pack->getResourceOffset(3 << 10), 0);
    EXPECT_EQ(rest(pack->getResourceAsStream((3 << 10) + 1)), "utf-8!");
    EXPECT_EQ(text(pack->getResourceFileName((3 << 10) + 1)), "/RP3part5.utf");
    // The file is shorter than the entry says: offset 10 of a 5-byte file.
    EXPECT_EQ(VM_THROWN_TEXT(pack->getResource((3 << 10) + 2)), "java.lang.RuntimeException: java.io.EOFException");
    VMPtr<VMBytes> three = VMBytes::create(3);
    EXPECT_EQ(VM_THROWN_CLASS(pack->readResource(2, three)), "java.lang.RuntimeException");
    // A table loaded from a stream afterwards is not served through the old entries.
    ASSERT_TRUE(pack->load(streamOf(pw::plainPack({"in memory"})), 0));
    EXPECT_EQ(pack->fileSystem, nullptr);
    EXPECT_EQ(str(pack->getResource(0)), "in memory");
}

TEST_F(ResourcePackTest, BrokenChunkedPacksPrintOneTraceAndLeaveNoTables) {
    const std::string table = pw::chunk("RPHe", pw::table({2, 2}, {0, 0}));
    const std::string split = pw::chunk("FSLM", pw::splitData(4, {4}));
    std::string badSizes = pw::table({0xFFFFFFFFu}, {0}, true);
    std::string truncated = pw::part0({table, split});
    truncated.resize(truncated.size() - 3);
    struct Case {
        std::string part0, part1;
        const char* trace;
    };
    const char* eof = "java.io.EOFException";
    for (const Case& c : {
             Case{"", "", "java.io.IOException: Resource error: 4"},  // no part 0 at all
             Case{pw::part0({table, split}), "", "java.io.IOException: Resource error: 4"},
             Case{pw::part0({table, split}, 4, "%RQ%"), "abcd",
                  "java.io.IOException: Invalid chunked RP file marker, expecting '%RP%' instead of '%RQ%'"},
             Case{pw::part0({table, split}, 3), "abcd",
                  "java.io.IOException: Invalid RP version, expecting '4' instead of '3'"},
             Case{pw::part0({table, pw::chunk("XYZW", "")}), "abcd", "java.io.IOException: Unknown RP chunk id 'XYZW'"},
             Case{pw::part0({split}), "abcd", "java.io.IOException: Missing RP chunk 'RPHe'"},
             Case{pw::part0({table}), "abcd", "java.io.IOException: Missing RP chunk 'FSLM'"},
             Case{truncated, "abcd", eof},
             Case{pw::part0({table, split}), "abc", eof},  // a part file shorter than its size
             Case{pw::part0({table, pw::chunk("FSLM", pw::splitData(4, {3, 3}))}), "abcdef",
                  "java.lang.IndexOutOfBoundsException"},  // parts add up to more than the data
             Case{pw::part0({table, pw::chunk("FSLM", pw::splitData(0x7FFFFFF0, {4}))}), "abcd", eof},
             Case{pw::part0({table, pw::chunk("FSLM", pw::splitData(3, {3}))}), "abc", eof},  // table beyond data
             Case{pw::part0({pw::chunk("RPHe", badSizes), split}), "abcd", eof},
             Case{pw::part0({table, pw::chunk("VFSO", pw::fileSystem({{0, 1, 0}}))}), "", eof},  // one entry for two
             Case{pw::part0({table, pw::chunk("FSLM", pw::splitData(4, {4}).substr(0, 9))}), "abcd", eof},
         }) {
        pack->unload();
        put("RP7part0.rp", c.part0);
        if (c.part0.empty()) std::remove((dir.root() + "rsc/RP7part0.rp").c_str());
        put("RP7part1.rp", c.part1);
        if (c.part1.empty()) std::remove((dir.root() + "rsc/RP7part1.rp").c_str());
        const std::string trace = load(7 << 10);
        const std::string expected = c.trace;
        EXPECT_NE(trace.find(expected + "\n"), std::string::npos) << trace;
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 2) << trace;  // the trace and its "at" line
        EXPECT_EQ(pack->resourceSizes, nullptr) << expected;
        EXPECT_EQ(pack->packData, nullptr) << expected;
        EXPECT_EQ(ResourcePack::currentPack, 7);
        EXPECT_EQ(VM_THROWN_TEXT(pack->getResource((7 << 10) + 1)),
                  "java.lang.RuntimeException: No resource 7169 in pack 7");
        // Not tried again while the pack is current.
        EXPECT_EQ(load((7 << 10) + 1), "");
    }
}

}  // namespace

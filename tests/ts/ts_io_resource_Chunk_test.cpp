// The chunk records of chunked packs, the file-system chunk and its type
// table, and the pack byte image writer.
#include <string>
#include <vector>

#include "java_io_ByteArrayInputStream.h"
#include "pack_writer.h"
#include "ts_io_resource_Chunk.h"
#include "ts_io_resource_ChunkVirtualFileSystemOrganization.h"
#include "ts_io_resource_ResourcePackChunked.h"
#include "ts_io_resource_ResourcePackSaver.h"
#include "ts_test_support.h"

using java::io::DataInputStream;
using ts::io::resource::Chunk;
using ts::io::resource::ChunkVirtualFileSystemOrganization;
using ts::io::resource::ResourcePackChunked;
using ts::io::resource::ResourcePackSaver;

namespace {

class ChunkTest : public VMTest {
protected:
    tstest::Booted booted;

    static VMPtr<DataInputStream> streamOf(const std::string& raw) {
        return DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(
            tstest::bytesOf(std::vector<uint8_t>(raw.begin(), raw.end()))));
    }
    static std::string rawOf(const VMPtr<VMBytes>& b) {
        std::vector<uint8_t> v = tstest::rawOf(b);
        return std::string(v.begin(), v.end());
    }
    static VMPtr<ChunkVirtualFileSystemOrganization> fileSystem(const std::string& data) {
        VMPtr<Chunk> c = Chunk::readChunk(streamOf(packwriter::chunk("VFSO", data)));
        return dynamic_cast<ChunkVirtualFileSystemOrganization*>(c.get());
    }
};

TEST_F(ChunkTest, ReadChunksWriteBackByteForByte) {
    for (const std::string& data : {std::string(), std::string("table"), std::string(300, '\x7f')}) {
        const std::string file = packwriter::chunk("RPHe", data, 0x01020304);
        VMPtr<Chunk> c = Chunk::readChunk(streamOf(file));
        EXPECT_TRUE(c->isId(0x52504865));
        EXPECT_FALSE(c->isId(0x65485052));  // the same characters the other way round
        EXPECT_EQ(c->getVersion(), 0x01020304);
        EXPECT_EQ(c->getSize(), jint(data.size()));
        EXPECT_EQ(rawOf(c->getData()), data);
        EXPECT_EQ(rawOf(c->toByteArray()), file);
    }
    // Appended bytes count in the data and in the written length.
    VMPtr<Chunk> c = Chunk::readChunk(streamOf(packwriter::chunk("FSLM", "ab")));
    c->getOutput()->writeShort(0x6364);
    c->setVersion(9);
    EXPECT_EQ(c->getSize(), 4);
    EXPECT_EQ(rawOf(c->toByteArray()), packwriter::chunk("FSLM", "abcd", 9));
}

TEST_F(ChunkTest, UnknownIdsShortDataAndBadLengthsAreRefused) {
    struct Case {
        std::string file;
        const char* thrown;
    };
    std::string negative = packwriter::chunk("RPHe", "");
    negative[4] = char(0x80);
    std::string huge = packwriter::chunk("RPHe", "abc");
    huge[4] = 0x10;  // 256 MB said, three bytes there
    for (const Case& c : {Case{packwriter::chunk("ABCD", "x"), "java.io.IOException: Unknown RP chunk id 'ABCD'"},
                          Case{packwriter::chunk("RPHe", "abcdef").substr(0, 15), "java.io.EOFException"},
                          Case{std::string("RPH"), "java.io.EOFException"},
                          Case{negative, "java.lang.NegativeArraySizeException"}, Case{huge, "java.io.EOFException"},
                          Case{packwriter::chunk("VFSO", std::string(7, '\0')), "java.io.EOFException"},
                          Case{packwriter::chunk("VFSO", packwriter::fileSystem({{-3, 1, 0}}).substr(0, 19)),
                               "java.io.EOFException"}}) {
        EXPECT_EQ(VM_THROWN_TEXT(Chunk::readChunk(streamOf(c.file))), c.thrown);
    }
    std::string count = packwriter::fileSystem({});
    count[4] = char(0xFF);
    EXPECT_EQ(VM_THROWN_TEXT(fileSystem(count)), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(text(ResourcePackChunked::chunkIdToString(0x52504865)), "RPHe");
    EXPECT_EQ(text(ResourcePackChunked::chunkIdToString(0x25525025)), "%RP%");
}

TEST_F(ChunkTest, FileSystemEntriesAnswerByResourceId) {
    std::string data = packwriter::fileSystem({{-3, 2, 0}, {13, 0xFFFF, 64}, {0x7F, 7, 0x7FFFFFFF}}, 0xCAFE);
    data[8 + 12 + 1] = char(0xAB);  // the unused byte changes nothing
    data[8 + 12 + 8 + 3] = 0x2A;    // the fourth word of entry 1
    VMPtr<ChunkVirtualFileSystemOrganization> fs = fileSystem(data);
    ASSERT_NE(fs, nullptr);
    EXPECT_EQ(fs->getHeaderWord(), 0xCAFE);
    EXPECT_EQ(fs->getCount(), 3);
    EXPECT_EQ(fs->getType(0), -3);
    EXPECT_EQ(text(fs->getExtension(0)), "png");
    EXPECT_EQ(fs->getFileNumber(0), 2);
    EXPECT_EQ(fs->getFileNumber(1), 65535);
    EXPECT_EQ(fs->getFileNumber(1025), 65535);  // pack 1, index 1
    EXPECT_EQ(fs->getOffset(1), 64);
    EXPECT_EQ(fs->getWord(1), 0x2A);
    EXPECT_EQ(text(fs->getExtension(1)), "rp");  // 13 has no extension
    EXPECT_EQ(text(fs->getExtension(2)), "rp");
    EXPECT_EQ(VM_THROWN_CLASS(fs->getOffset(3)), "java.lang.ArrayIndexOutOfBoundsException");
    VMPtr<ChunkVirtualFileSystemOrganization> empty = fileSystem(packwriter::fileSystem({}, 7));
    EXPECT_EQ(empty->getCount(), 0);
    EXPECT_EQ(empty->getHeaderWord(), 7);
}

TEST_F(ChunkTest, TypeTableMapsTheKnownCodes) {
    VMPtr<ts::util::IntHashtable> types = ChunkVirtualFileSystemOrganization::getTypeTable();
    EXPECT_EQ(types->size(), 34);
    EXPECT_EQ(types.get(), ChunkVirtualFileSystemOrganization::getTypeTable().get());
    struct Case {
        jint code;
        const char* extension;
    };
    for (const Case& c :
         {Case{0, "mid"}, Case{1, "wav"}, Case{12, "adp"}, Case{14, "3gp"}, Case{23, "wbxml"}, Case{28, "m4a"},
          Case{-1, "rp"}, Case{-3, "png"}, Case{-4, "jpg"}, Case{-6, "utf"}, Case{-7, "txt"}, Case{-12, "rp"}}) {
        VMPtr<java::lang::Object> e = types->get(c.code);
        ASSERT_NE(e, nullptr) << c.code;
        EXPECT_EQ(text(dynamic_cast<java::lang::String*>(e.get())), c.extension);
    }
    for (jint missing : {13, -2, -5, -8, -11, 29}) EXPECT_EQ(types->get(missing), nullptr) << missing;
}

TEST_F(ChunkTest, SaverWritesThePlainPackImage) {
    auto build = [](std::vector<std::string> resources, std::vector<int8_t> types) {
        VMPtr<VMArray<jbyte, 2>> r = VMArray<jbyte, 2>::create(jint(resources.size()));
        for (size_t i = 0; i < resources.size(); ++i)
            r->set(jint(i), tstest::bytesOf(std::vector<uint8_t>(resources[i].begin(), resources[i].end())));
        VMPtr<VMBytes> t = VMBytes::create(jint(types.size()));
        for (size_t i = 0; i < types.size(); ++i) (*t)[jint(i)] = types[i];
        return rawOf(ResourcePackSaver::buildPack(r, t));
    };
    EXPECT_EQ(build({}, {}), std::string("\x41\0\0\0\0\0\0", 7));
    const std::string two = build({"abc", "", "ignored"}, {1, -3});
    EXPECT_EQ(two, std::string("\x41\x00\x02\x00\x00\x00\x03\x00\x00\x00\x00\x01\xfd\x00\x00\x00\x03"
                               "abc",
                               20));
    EXPECT_EQ(VM_THROWN_CLASS(build({}, {1})), "java.lang.ArrayIndexOutOfBoundsException");
    VMPtr<VMArray<jbyte, 2>> many = VMArray<jbyte, 2>::create(65536, 0);
    EXPECT_EQ(VM_THROWN_CLASS(ResourcePackSaver::buildPack(many, VMBytes::create(65536))),
              "java.lang.IllegalArgumentException");
    VMPtr<VMArray<jbyte, 2>> holes = VMArray<jbyte, 2>::create(1);
    EXPECT_EQ(VM_THROWN_CLASS(ResourcePackSaver::buildPack(holes, VMBytes::create(1))),
              "java.lang.NullPointerException");
}

}  // namespace

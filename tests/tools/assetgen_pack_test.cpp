// Pack files: the plain pack, the pack byte image, chunks, and chunked packs
// read back by a reader written here from the file layouts.
#include <gtest/gtest.h>

#include "assetgen_test_support.h"
#include "pack.h"

namespace {

using assetgen::Bytes;
using assetgen::PackDescription;
using assetgen::PackLayout;
using assetgen::PackResource;
using assetgen_test::Reader;

PackResource resource(int type, Bytes data, int file = -1) { return PackResource{type, std::move(data), file}; }

PackDescription describe(int number, PackLayout layout, std::vector<PackResource> resources) {
    PackDescription pack;
    pack.number = number;
    pack.layout = layout;
    pack.resources = std::move(resources);
    return pack;
}

// The resource table: sizes and types.
struct Table {
    std::vector<uint32_t> sizes;
    std::vector<int> types;
};

Table readTable(Reader& in) {
    const uint32_t flags = in.u8();
    const uint32_t count = in.u16();
    Table t;
    for (uint32_t i = 0; i < count; ++i) t.sizes.push_back((flags & 1) ? in.u32() : in.u16());
    for (uint32_t i = 0; i < count; ++i) t.types.push_back(in.s8());
    return t;
}

// The chunks of a chunked pack's part 0, by id.
std::map<std::string, Bytes> readChunks(const Bytes& file, std::vector<std::string>* order = nullptr) {
    Reader in(file);
    EXPECT_EQ(in.u32(), 0x25525025u);  // "%RP%"
    EXPECT_EQ(in.u16(), 4u);
    const uint32_t count = in.u16();
    std::map<std::string, Bytes> chunks;
    for (uint32_t i = 0; i < count; ++i) {
        Bytes id = in.bytes(4);
        const uint32_t length = in.u32();
        EXPECT_EQ(in.u32(), 1u) << "chunk version";
        std::string name(id.begin(), id.end());
        chunks[name] = in.bytes(length);
        if (order) order->push_back(name);
    }
    EXPECT_TRUE(in.atEnd());
    return chunks;
}

TEST(AssetgenPack, PackByteImageMatchesTheWorkedBytes) {
    EXPECT_EQ(assetgen::writePackImage({}, {}), (Bytes{0x41, 0, 0, 0, 0, 0, 0}));
    const Bytes expected{0x41, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                         0x00, 0x01, 0xFD, 0x00, 0x00, 0x00, 0x03, 'a',  'b',  'c'};
    EXPECT_EQ(assetgen::writePackImage({{'a', 'b', 'c'}, {}}, {1, -3}), expected);
    PackDescription pack = describe(23, PackLayout::Image, {resource(1, {'a', 'b', 'c'}), resource(-3, {})});
    EXPECT_EQ(assetgen::writePack(pack).at("RP23.rp"), expected);
}

TEST(AssetgenPack, ChunkOfLengthZeroIsTwelveBytes) {
    EXPECT_EQ(assetgen::writeChunk(assetgen::chunkId("RPHe"), {}), (Bytes{'R', 'P', 'H', 'e', 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(assetgen::chunkId("FSLM"), 0x46534C4Du);
}

TEST(AssetgenPack, SizesAreWideOnlyPastSixteenBits) {
    for (size_t size : {size_t{0}, size_t{65535}, size_t{65536}}) {
        const Bytes table = assetgen::writeResourceTable({resource(-1, Bytes(size, 7)), resource(5, {1})});
        Reader in(table);
        Table t = readTable(in);
        EXPECT_EQ(table[0], size > 65535 ? 1 : 0) << size;
        EXPECT_EQ(t.sizes, (std::vector<uint32_t>{static_cast<uint32_t>(size), 1})) << size;
        EXPECT_EQ(t.types, (std::vector<int>{-1, 5}));
        EXPECT_TRUE(in.atEnd());
    }
}

TEST(AssetgenPack, PlainPackHoldsTableTotalAndData) {
    const Bytes file = assetgen::writePlainPack({resource(1, {9, 8, 7}), resource(0, {}), resource(-6, {5, 4})});
    Reader in(file);
    Table t = readTable(in);
    EXPECT_EQ(t.sizes, (std::vector<uint32_t>{3, 0, 2}));
    EXPECT_EQ(in.u32(), 5u);
    EXPECT_EQ(in.bytes(5), (Bytes{9, 8, 7, 5, 4}));
    EXPECT_TRUE(in.atEnd());
}

TEST(AssetgenPack, SplitDataReassemblesFromThePartFiles) {
    PackDescription pack =
        describe(5, PackLayout::Split, {resource(1, {1, 2, 3, 4}), resource(2, {5, 6, 7}), resource(3, {8})});
    pack.parts = 3;
    pack.partPadding = 2;
    pack.chunkOrder = {"FSLM", "RPHe"};
    const auto files = assetgen::writePack(pack);
    ASSERT_EQ(files.size(), 4u);
    std::vector<std::string> order;
    auto chunks = readChunks(files.at("RP5part0.rp"), &order);
    EXPECT_EQ(order, (std::vector<std::string>{"FSLM", "RPHe"}));
    Reader table(chunks.at("RPHe"));
    EXPECT_EQ(readTable(table).sizes, (std::vector<uint32_t>{4, 3, 1}));
    Reader fslm(chunks.at("FSLM"));
    EXPECT_EQ(fslm.u32(), 8u);
    ASSERT_EQ(fslm.u32(), 3u);
    Bytes data;
    for (int k = 1; k <= 3; ++k) {
        const uint32_t size = fslm.u32();
        EXPECT_EQ(size, k <= 2 ? 3u : 2u);
        const Bytes part = files.at("RP5part" + std::to_string(k) + ".rp");
        ASSERT_EQ(part.size(), size + 2) << "padding after the part's share";
        data.insert(data.end(), part.begin(), part.begin() + size);
    }
    EXPECT_EQ(data, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(AssetgenPack, FileSystemPackSharesFilesAtOffsets) {
    PackDescription pack = describe(
        3, PackLayout::Files,
        {resource(-3, {0x89, 'P'}), resource(-1, {1, 2, 3}, 5), resource(-1, {4, 5}, 5), resource(-6, {6}, 5)});
    const auto files = assetgen::writePack(pack);
    auto chunks = readChunks(files.at("RP3part0.rp"));
    Reader vfso(chunks.at("VFSO"));
    EXPECT_EQ(vfso.u32(), 0u) << "header word";
    ASSERT_EQ(vfso.u32(), 4u);
    struct Entry {
        int type;
        uint32_t file, offset;
    };
    const Entry expected[] = {{-3, 1, 0}, {-1, 5, 0}, {-1, 5, 3}, {-6, 5, 0}};
    for (const Entry& e : expected) {
        EXPECT_EQ(vfso.s8(), e.type);
        EXPECT_EQ(vfso.u8(), 0u);
        EXPECT_EQ(vfso.u16(), e.file);
        EXPECT_EQ(vfso.u32(), e.offset);
        EXPECT_EQ(vfso.u32(), 0u);
    }
    EXPECT_EQ(files.at("RP3part1.png"), (Bytes{0x89, 'P'}));
    EXPECT_EQ(files.at("RP3part5.rp"), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(files.at("RP3part5.utf"), (Bytes{6}));
}

TEST(AssetgenPack, RefusesWhatTheFormatCannotHold) {
    struct Case {
        PackDescription pack;
        std::string field;
    };
    PackDescription tooMany = describe(16, PackLayout::Plain, std::vector<PackResource>(1025));
    PackDescription badType = describe(16, PackLayout::Plain, {resource(0, {}), resource(128, {})});
    PackDescription wrongLayout = describe(3, PackLayout::Plain, {});
    PackDescription chunkedPlainNumber = describe(20, PackLayout::Split, {});
    PackDescription fileZero = describe(3, PackLayout::Files, {resource(-1, {1}, 0)});
    PackDescription badSizes = describe(4, PackLayout::Split, {resource(0, {1, 2})});
    badSizes.partSizes = {1, 2};
    PackDescription badOrder = describe(4, PackLayout::Split, {});
    badOrder.chunkOrder = {"RPHe"};
    const Case cases[] = {{tooMany, "resources"},
                          {badType, "resources[1].type"},
                          {wrongLayout, "layout"},
                          {chunkedPlainNumber, "layout"},
                          {fileZero, "resources[0].file"},
                          {badSizes, "partSizes"},
                          {badOrder, "chunks"}};
    for (const Case& c : cases) {
        try {
            assetgen::writePack(c.pack);
            ADD_FAILURE() << "accepted, expected a refusal of " << c.field;
        } catch (const assetgen::Error& e) {
            EXPECT_EQ(e.field(), c.field) << e.what();
        }
    }
}

}  // namespace

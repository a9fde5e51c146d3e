// Resource pack files: the plain pack, the pack byte image, chunks, and the
// chunked pack with split data or with a file system.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "bytes.h"

namespace assetgen {

// The most one run writes, all packs together (64 MiB): a description that
// asks for more is refused before its bytes are made.
constexpr int64_t kMaxOutputBytes = int64_t{64} << 20;

// One resource of a pack. `file` is its file number in a file-system pack
// (-1: index + 1).
struct PackResource {
    int type = -1;
    Bytes data;
    int file = -1;
};

enum class PackLayout { Plain, Image, Split, Files };

struct PackDescription {
    int number = 0;
    PackLayout layout = PackLayout::Plain;
    // By index; every index from 0 to the last is present (gaps are empty
    // resources of type 0).
    std::vector<PackResource> resources;
    // Split data: the number of part files, or the size of each; bytes of
    // padding written after each part's share.
    int parts = 1;
    std::vector<int64_t> partSizes;
    int partPadding = 0;
    // Chunk order by id ("RPHe", "FSLM", "VFSO"); empty: the table first.
    std::vector<std::string> chunkOrder;
};

// File name of a pack, a part, an extension: packFileName(3, 2, "png") =
// "RP3part2.png"; part -1 names the plain pack file.
std::string packFileName(int pack, int part, const std::string& extension = "rp");
// The extension a type code stands for ("rp" for codes without one).
std::string extensionForType(int type);
// Whether the pack number is read as a chunked pack.
bool isChunkedPackNumber(int pack);

// The resource table: flags byte (bit 0 set only when a size exceeds 65535),
// count, sizes, type bytes.
Bytes writeResourceTable(const std::vector<PackResource>& resources);
// A plain pack file: the table, the data length and the data.
Bytes writePlainPack(const std::vector<PackResource>& resources);
// The pack byte image (flags 0x41, 4-byte sizes, total, data).
Bytes writePackImage(const std::vector<Bytes>& resources, const std::vector<int8_t>& types);
// One chunk as it lies in a file: id, data length, version, data.
Bytes writeChunk(uint32_t id, const Bytes& data, uint32_t version = 1);
uint32_t chunkId(const char* four);

// Every file of a pack, by file name.
std::map<std::string, Bytes> writePack(const PackDescription& pack);

}  // namespace assetgen

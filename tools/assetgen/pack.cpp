#include "pack.h"

#include <algorithm>

namespace assetgen {

namespace {

constexpr size_t kMaxResources = 1024;  // a resource id's index holds 10 bits

void checkResources(const std::vector<PackResource>& resources) {
    if (resources.size() > kMaxResources) {
        throw Error("resources",
                    std::to_string(resources.size()) + " resources; a pack holds at most 1024 (indexes 0 to 1023)");
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        checkRange(resources[i].type, -128, 127, join(item("resources", i), "type"));
        checkRange(static_cast<int64_t>(resources[i].data.size()), 0, INT32_MAX, item("resources", i));
    }
}

int64_t totalSize(const std::vector<PackResource>& resources) {
    int64_t total = 0;
    for (const PackResource& r : resources) total += static_cast<int64_t>(r.data.size());
    if (total > INT32_MAX) throw Error("resources", "the pack's data is larger than 2147483647 bytes");
    return total;
}

Bytes concatenated(const std::vector<PackResource>& resources) {
    Bytes data;
    for (const PackResource& r : resources) data.insert(data.end(), r.data.begin(), r.data.end());
    return data;
}

}  // namespace

std::string packFileName(int pack, int part, const std::string& extension) {
    std::string name = "RP" + std::to_string(pack);
    if (part != -1) name += "part" + std::to_string(part);
    return name + "." + extension;
}

std::string extensionForType(int type) {
    static const std::map<int, const char*> kTable = {
        {0, "mid"},  {1, "wav"},    {2, "mp3"},  {3, "amr"},  {4, "aac"},  {5, "au"},   {6, "qcp"},
        {7, "ott"},  {8, "jts"},    {9, "imy"},  {10, "mmf"}, {11, "cmx"}, {12, "adp"}, {14, "3gp"},
        {15, "3g2"}, {16, "263"},   {17, "264"}, {18, "mpg"}, {19, "mp4"}, {20, "rv"},  {21, "wmv"},
        {22, "mov"}, {23, "wbxml"}, {24, "gif"}, {25, "caf"}, {26, "ogg"}, {27, "wma"}, {28, "m4a"},
        {-1, "rp"},  {-3, "png"},   {-4, "jpg"}, {-6, "utf"}, {-7, "txt"}, {-12, "rp"}};
    auto found = kTable.find(type);
    return found == kTable.end() ? "rp" : found->second;
}

bool isChunkedPackNumber(int pack) { return pack >= 1 && pack <= 32 && ((0x177FFFu >> (pack - 1)) & 1) != 0; }

Bytes writeResourceTable(const std::vector<PackResource>& resources) {
    checkResources(resources);
    bool wide = false;
    for (const PackResource& r : resources) wide = wide || r.data.size() > 0xFFFF;
    ByteWriter out;
    out.u8(wide ? 1 : 0);
    out.u16(static_cast<uint32_t>(resources.size()));
    for (const PackResource& r : resources) {
        if (wide) {
            out.u32(static_cast<uint32_t>(r.data.size()));
        } else {
            out.u16(static_cast<uint32_t>(r.data.size()));
        }
    }
    for (const PackResource& r : resources) out.u8(static_cast<uint32_t>(r.type));
    return out.take();
}

Bytes writePlainPack(const std::vector<PackResource>& resources) {
    ByteWriter out;
    out.append(writeResourceTable(resources));
    out.u32(static_cast<uint32_t>(totalSize(resources)));
    out.append(concatenated(resources));
    return out.take();
}

Bytes writePackImage(const std::vector<Bytes>& resources, const std::vector<int8_t>& types) {
    if (resources.size() != types.size()) throw Error("types", "one type byte per resource");
    if (resources.size() > 0xFFFF) throw Error("resources", "more than 65535 resources");
    int64_t total = 0;
    for (const Bytes& r : resources) total += static_cast<int64_t>(r.size());
    if (total > INT32_MAX) throw Error("resources", "the data is larger than 2147483647 bytes");
    ByteWriter out;
    out.u8(0x41);
    out.u16(static_cast<uint32_t>(resources.size()));
    for (const Bytes& r : resources) out.u32(static_cast<uint32_t>(r.size()));
    for (int8_t t : types) out.u8(static_cast<uint8_t>(t));
    out.u32(static_cast<uint32_t>(total));
    for (const Bytes& r : resources) out.append(r);
    return out.take();
}

uint32_t chunkId(const char* four) {
    return static_cast<uint32_t>(static_cast<uint8_t>(four[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(four[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(four[2])) << 8 | static_cast<uint8_t>(four[3]);
}

Bytes writeChunk(uint32_t id, const Bytes& data, uint32_t version) {
    ByteWriter out;
    out.u32(id);
    out.u32(static_cast<uint32_t>(data.size()));
    out.u32(version);
    out.append(data);
    return out.take();
}

namespace {

// Part 0 of a chunked pack: marker, version 4, the chunks in the asked order.
Bytes writeChunkedFile(const std::map<std::string, Bytes>& chunks, const std::vector<std::string>& order) {
    std::vector<std::string> ids = order;
    if (ids.empty()) {
        for (const char* id : {"RPHe", "VFSO", "FSLM"}) {
            if (chunks.count(id)) ids.push_back(id);
        }
    }
    std::vector<std::string> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> present;
    for (const auto& [id, data] : chunks) present.push_back(id);
    if (sorted != present) {
        std::string names;
        for (const std::string& id : present) names += (names.empty() ? "" : ", ") + id;
        throw Error("chunks", "must name each chunk of this layout once: " + names);
    }
    ByteWriter out;
    out.tag("%RP%");
    out.u16(4);
    out.u16(static_cast<uint32_t>(ids.size()));
    for (const std::string& id : ids) out.append(writeChunk(chunkId(id.c_str()), chunks.at(id)));
    return out.take();
}

std::map<std::string, Bytes> writeSplitPack(const PackDescription& pack) {
    const int64_t total = totalSize(pack.resources);
    std::vector<int64_t> sizes = pack.partSizes;
    if (sizes.empty()) {
        checkRange(pack.parts, 1, 65535, "parts");
        for (int k = 0; k < pack.parts; ++k) sizes.push_back(total / pack.parts + (k < total % pack.parts ? 1 : 0));
    } else {
        int64_t sum = 0;
        for (size_t k = 0; k < sizes.size(); ++k) {
            checkRange(sizes[k], 0, INT32_MAX, item("partSizes", k));
            sum += sizes[k];
        }
        if (sum != total) {
            throw Error("partSizes", "the part sizes add up to " + std::to_string(sum) + ", the data is " +
                                         std::to_string(total) + " bytes");
        }
    }
    checkRange(pack.partPadding, 0, 65535, "partPadding");
    const int64_t written = total + static_cast<int64_t>(sizes.size()) * pack.partPadding;
    if (written > kMaxOutputBytes) {
        throw Error("partPadding", std::to_string(sizes.size()) + " parts with their padding make " +
                                       std::to_string(written) + " bytes, more than the " +
                                       std::to_string(kMaxOutputBytes) + " a run writes");
    }

    ByteWriter fslm;
    fslm.u32(static_cast<uint32_t>(total));
    fslm.u32(static_cast<uint32_t>(sizes.size()));
    for (int64_t s : sizes) fslm.u32(static_cast<uint32_t>(s));

    std::map<std::string, Bytes> chunks{{"RPHe", writeResourceTable(pack.resources)}, {"FSLM", fslm.take()}};
    std::map<std::string, Bytes> files;
    files[packFileName(pack.number, 0)] = writeChunkedFile(chunks, pack.chunkOrder);
    Bytes data = concatenated(pack.resources);
    int64_t offset = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
        Bytes part(data.begin() + offset, data.begin() + offset + sizes[k]);
        part.insert(part.end(), static_cast<size_t>(pack.partPadding), 0xEE);
        files[packFileName(pack.number, static_cast<int>(k) + 1)] = std::move(part);
        offset += sizes[k];
    }
    return files;
}

std::map<std::string, Bytes> writeFileSystemPack(const PackDescription& pack) {
    std::map<std::string, Bytes> files;
    ByteWriter vfso;
    vfso.u32(0);  // header word
    vfso.u32(static_cast<uint32_t>(pack.resources.size()));
    for (size_t i = 0; i < pack.resources.size(); ++i) {
        const PackResource& r = pack.resources[i];
        const int number = r.file < 0 ? static_cast<int>(i) + 1 : r.file;
        const std::string field = join(item("resources", i), "file");
        checkRange(number, 0, 65535, field);
        const std::string extension = extensionForType(r.type);
        if (number == 0 && extension == "rp") {
            throw Error(field, "file 0 with extension rp is the pack's own file");
        }
        Bytes& file = files[packFileName(pack.number, number, extension)];
        if (file.size() > INT32_MAX) throw Error(field, "the file grows beyond 2147483647 bytes");
        vfso.u8(static_cast<uint32_t>(r.type));
        vfso.u8(0);
        vfso.u16(static_cast<uint32_t>(number));
        vfso.u32(static_cast<uint32_t>(file.size()));
        vfso.u32(0);
        file.insert(file.end(), r.data.begin(), r.data.end());
    }
    std::map<std::string, Bytes> chunks{{"RPHe", writeResourceTable(pack.resources)}, {"VFSO", vfso.take()}};
    files[packFileName(pack.number, 0)] = writeChunkedFile(chunks, pack.chunkOrder);
    return files;
}

}  // namespace

std::map<std::string, Bytes> writePack(const PackDescription& pack) {
    checkRange(pack.number, 1, 2097151, "pack");
    const bool chunked = isChunkedPackNumber(pack.number);
    const bool chunkedLayout = pack.layout == PackLayout::Split || pack.layout == PackLayout::Files;
    if (chunked != chunkedLayout) {
        throw Error("layout", "pack " + std::to_string(pack.number) + " is read as a " +
                                  (chunked ? "chunked pack: use \"split\" or \"files\""
                                           : "plain pack: use \"plain\" or \"image\""));
    }
    switch (pack.layout) {
        case PackLayout::Plain: return {{packFileName(pack.number, -1), writePlainPack(pack.resources)}};
        case PackLayout::Image: {
            checkResources(pack.resources);
            std::vector<Bytes> data;
            std::vector<int8_t> types;
            for (const PackResource& r : pack.resources) {
                data.push_back(r.data);
                types.push_back(static_cast<int8_t>(r.type));
            }
            return {{packFileName(pack.number, -1), writePackImage(data, types)}};
        }
        case PackLayout::Split: return writeSplitPack(pack);
        case PackLayout::Files: return writeFileSystemPack(pack);
    }
    return {};
}

}  // namespace assetgen

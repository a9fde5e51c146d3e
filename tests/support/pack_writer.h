// Test support: writers of resource pack files, chunks and text tables, as
// byte strings, for tests, benchmarks and fuzz seeds that need packs the test
// data set does not hold (broken ones among them). All numbers big-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packwriter {

inline void u8(std::string& out, uint32_t v) { out.push_back(char(v & 0xFF)); }
inline void u16(std::string& out, uint32_t v) {
    u8(out, v >> 8);
    u8(out, v);
}
inline void u32(std::string& out, uint32_t v) {
    u16(out, v >> 16);
    u16(out, v);
}

// The resource table: flags (bit 0: 4-byte sizes), count, sizes, types.
inline std::string table(const std::vector<uint32_t>& sizes, const std::vector<int8_t>& types, bool wide = false,
                         uint8_t flags = 0) {
    std::string out;
    u8(out, flags | (wide ? 1 : 0));
    u16(out, uint32_t(sizes.size()));
    for (uint32_t s : sizes) wide ? u32(out, s) : u16(out, s);
    for (int8_t t : types) u8(out, uint8_t(t));
    return out;
}

// A plain pack of these resources (types 0 unless given).
inline std::string plainPack(const std::vector<std::string>& resources, std::vector<int8_t> types = {},
                             bool wide = false) {
    std::vector<uint32_t> sizes;
    std::string data;
    for (const auto& r : resources) {
        sizes.push_back(uint32_t(r.size()));
        data += r;
    }
    types.resize(resources.size(), 0);
    std::string out = table(sizes, types, wide);
    u32(out, uint32_t(data.size()));
    return out + data;
}

inline uint32_t id(const char four[5]) {
    return uint32_t(uint8_t(four[0])) << 24 | uint32_t(uint8_t(four[1])) << 16 | uint32_t(uint8_t(four[2])) << 8 |
           uint8_t(four[3]);
}

inline std::string chunk(const char four[5], const std::string& data, uint32_t version = 1) {
    std::string out;
    u32(out, id(four));
    u32(out, uint32_t(data.size()));
    u32(out, version);
    return out + data;
}

// Part 0 of a chunked pack: marker, version, count, the chunks.
inline std::string part0(const std::vector<std::string>& chunks, uint32_t version = 4, const char marker[5] = "%RP%") {
    std::string out;
    u32(out, id(marker));
    u16(out, version);
    u16(out, uint32_t(chunks.size()));
    for (const auto& c : chunks) out += c;
    return out;
}

// "FSLM" data: total, part count, part sizes.
inline std::string splitData(uint32_t total, const std::vector<uint32_t>& parts) {
    std::string out;
    u32(out, total);
    u32(out, uint32_t(parts.size()));
    for (uint32_t p : parts) u32(out, p);
    return out;
}

struct FileEntry {
    int8_t type;
    uint16_t file;
    uint32_t offset;
};

// "VFSO" data: header word, count, entries.
inline std::string fileSystem(const std::vector<FileEntry>& entries, uint32_t header = 0) {
    std::string out;
    u32(out, header);
    u32(out, uint32_t(entries.size()));
    for (const auto& e : entries) {
        u8(out, uint8_t(e.type));
        u8(out, 0);
        u16(out, e.file);
        u32(out, e.offset);
        u32(out, 0);
    }
    return out;
}

// A text table: count, then per text a 16-bit length and the UTF-8 bytes.
inline std::string textTable(const std::vector<std::string>& texts) {
    std::string out;
    u16(out, uint32_t(texts.size()));
    for (const auto& t : texts) {
        u16(out, uint32_t(t.size()));
        out += t;
    }
    return out;
}

}  // namespace packwriter

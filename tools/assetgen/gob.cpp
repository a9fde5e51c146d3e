#include "gob.h"

namespace assetgen {

namespace {

constexpr const char* kColumnNames[10] = {"offsetX", "offsetY", "regionX", "regionY",  "width",
                                          "height",  "boxX",    "boxY",    "boxWidth", "boxHeight"};

bool signedColumn(int c) { return c == 0 || c == 1 || c == 6 || c == 7; }
int groupOf(int c) { return c < 2 ? 0 : c < 6 ? 1 : 2; }

}  // namespace

Bytes writeGobs(int imageIndex, const std::vector<GobRecord>& records, bool alphaKinds) {
    checkRange(imageIndex, 0, 1023, "image");
    checkRange(static_cast<int64_t>(records.size()), 0, 4095, "records");
    const size_t count = records.size();
    for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 10; ++c) {
            const std::string field = join(item("records", i), kColumnNames[c]);
            if (signedColumn(c)) {
                checkRange(records[i].values[c], -32768, 32767, field);
            } else if (c == 8) {
                checkRange(records[i].values[c], 0, 0xFFFF, field);
            } else {
                checkRange(records[i].values[c], 0, 32767, field);
            }
        }
        checkRange(records[i].alphaKind, 0, 3, join(item("records", i), "alpha"));
    }

    bool groupPresent[3] = {false, false, false};
    int width[10] = {};
    for (int c = 0; c < 10; ++c) {
        bool oneByte = true;
        for (const GobRecord& r : records) {
            const int32_t v = r.values[c];
            if (v != 0) groupPresent[groupOf(c)] = true;
            oneByte = oneByte && (signedColumn(c) ? v >= -128 && v <= 127 : v >= 0 && v <= 255);
        }
        width[c] = oneByte ? 1 : 2;
    }

    // Word A: a clear bit sets its flag; flags 0-2 the groups, from flag 5 on
    // one flag per present column, set for 2-byte columns.
    uint32_t wordA = 0xFFFF;
    int k = 5;
    ByteWriter data;
    for (int c = 0; c < 10; ++c) {
        const int g = groupOf(c);
        if (!groupPresent[g]) continue;
        wordA &= ~(1u << g);
        if (width[c] == 2) wordA &= ~(1u << k);
        ++k;
        for (const GobRecord& r : records) {
            if (width[c] == 2) {
                data.u16(static_cast<uint32_t>(r.values[c]));
            } else {
                data.u8(static_cast<uint32_t>(r.values[c]));
            }
        }
    }
    const size_t sectionLength = 4 + data.size();
    if (sectionLength > 32767) throw Error("records", "the record table is longer than 32763 bytes");
    // Word B: the record count, bit 13 (flag 18) when the alpha kinds follow.
    const uint32_t wordB = static_cast<uint32_t>(count) | (alphaKinds ? 1u << 13 : 0);

    ByteWriter out;
    out.u16(static_cast<uint32_t>(imageIndex));
    out.u8(0);
    out.u16(static_cast<uint32_t>(sectionLength));
    out.u16(wordA);
    out.u16(wordB);
    out.append(data.bytes());
    if (alphaKinds) {
        Bytes kinds((count + 3) / 4, 0);
        for (size_t i = 0; i < count; ++i) kinds[i / 4] |= static_cast<uint8_t>(records[i].alphaKind << ((i % 4) * 2));
        out.u16(static_cast<uint32_t>(5 + kinds.size()));
        out.u32(0);
        out.u8(0);
        out.append(kinds);
    }
    return out.take();
}

}  // namespace assetgen

// Animation sets and Gob records, decoded by readers written here from the
// resource layouts.
#include <gtest/gtest.h>

#include <random>

#include "animset.h"
#include "assetgen_test_support.h"
#include "gob.h"

namespace {

using assetgen::Bytes;
using assetgen_test::Reader;

// --- animation sets ----------------------------------------------------------------

int readCount(Reader& in) {
    const uint32_t b = in.u8();
    return b == 255 ? static_cast<int>(in.u16()) : static_cast<int>(b);
}

int readSigned(Reader& in) {
    const int v = in.s8();
    return v == -128 ? in.s16() : v;
}

// The set's tables, unpacked into plain values.
struct DecodedSet {
    std::vector<int> stepCounts, playCounts, timing, interpolation, frameOfStep, stepDx, stepDy;
    std::vector<int> partCounts, flips, gobs, partDx, partDy;
    std::vector<int> boxCounts, boxX, boxY, boxW, boxH, boxType;
    std::vector<int> durations;
};

DecodedSet decodeAnimSet(const Bytes& data) {
    Reader in(data);
    DecodedSet s;
    EXPECT_EQ(in.u8(), 0u);
    const uint32_t animations = in.u16();
    int steps = 0;
    for (uint32_t i = 0; i < animations; ++i) steps += s.stepCounts.emplace_back(readCount(in));
    for (uint32_t i = 0; i < animations; ++i) s.playCounts.push_back(readSigned(in));
    for (int i = 0; i < steps; ++i) {
        const int c = readCount(in);
        s.timing.push_back(c & 0xFF);
        s.interpolation.push_back(c >> 8);
    }
    for (int i = 0; i < steps; ++i) s.frameOfStep.push_back(readCount(in));
    for (int i = 0; i < steps; ++i) s.stepDx.push_back(readSigned(in));
    for (int i = 0; i < steps; ++i) s.stepDy.push_back(readSigned(in));
    const uint32_t frames = in.u16();
    int parts = 0;
    for (uint32_t i = 0; i < frames; ++i) parts += s.partCounts.emplace_back(readCount(in));
    int packed = 0;
    for (int i = 0; i < parts; ++i) {
        if (i % 4 == 0) packed = readCount(in);
        s.flips.push_back((packed >> (6 - 2 * (i % 4))) & 3);
    }
    for (int i = 0; i < parts; ++i) s.gobs.push_back(readCount(in));
    for (int i = 0; i < parts; ++i) s.partDx.push_back(readSigned(in));
    for (int i = 0; i < parts; ++i) s.partDy.push_back(readSigned(in));
    int boxes = 0;
    for (uint32_t i = 0; i < frames; ++i) boxes += s.boxCounts.emplace_back(readCount(in));
    for (int i = 0; i < boxes; ++i) s.boxX.push_back(readSigned(in));
    for (int i = 0; i < boxes; ++i) s.boxY.push_back(readSigned(in));
    for (int i = 0; i < boxes; ++i) s.boxW.push_back(readCount(in));
    for (int i = 0; i < boxes; ++i) s.boxH.push_back(readCount(in));
    for (int i = 0; i < boxes; ++i) s.boxType.push_back(readCount(in));
    const uint32_t durations = in.u16();
    for (uint32_t i = 0; i < durations; ++i) s.durations.push_back(readCount(in));
    EXPECT_TRUE(in.atEnd());
    return s;
}

TEST(AssetgenAnimSet, NumberEncodingsMatchTheWorkedBytes) {
    struct Case {
        bool isSigned;
        int value;
        Bytes bytes;
    };
    const Case cases[] = {{false, 0, {0x00}},
                          {false, 254, {0xFE}},
                          {false, 255, {0xFF, 0x00, 0xFF}},
                          {false, 300, {0xFF, 0x01, 0x2C}},
                          {true, 127, {0x7F}},
                          {true, -127, {0x81}},
                          {true, -128, {0x80, 0xFF, 0x80}},
                          {true, -200, {0x80, 0xFF, 0x38}},
                          {true, 128, {0x80, 0x00, 0x80}}};
    for (const Case& c : cases) {
        assetgen::ByteWriter out;
        if (c.isSigned) {
            assetgen::writeSigned(out, c.value, "v");
        } else {
            assetgen::writeCount(out, c.value, "v");
        }
        EXPECT_EQ(out.bytes(), c.bytes) << c.value;
    }
}

TEST(AssetgenAnimSet, StepTimingCarriesInterpolationDurationIndexAndMarker) {
    assetgen::AnimSetDescription set;
    set.durations = {10, 20, 30, 40, 50, 60};
    set.frames.resize(1);
    set.animations.push_back({-1, {{0, 0, 0, 60, 1, 2}, {0, 0, 0, 70, 0, 3}}});
    const Bytes data = assetgen::writeAnimSet(set);
    // 0, A = 1, step count 2, play -1 (0xFF), then the two timing counts.
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 9), (Bytes{0x00, 0x00, 0x01, 0x02, 0xFF, 0xFF, 0x01, 0x85, 0xC6}));
    const DecodedSet s = decodeAnimSet(data);
    EXPECT_EQ(s.durations, (std::vector<int>{10, 20, 30, 40, 50, 60, 70})) << "an unlisted duration is appended";
    EXPECT_EQ(s.interpolation, (std::vector<int>{1, 0}));
}

TEST(AssetgenAnimSet, FramesPartsAndBoxesRoundTrip) {
    assetgen::AnimSetDescription set;
    set.frames.push_back({{{0, 0, 0, 0}, {1, 16, 0, 1}, {2, -200, 5, 2}, {3, 0, -16, 3}, {300, 511, -512, 1}},
                          {{-8, -16, 16, 16, 3, false}, {-200, 1023, 1023, 300, 31, true}}});
    set.frames.push_back({});
    set.animations.push_back({0, {{1, -512, 511, 65535, 3, 3}}});
    const DecodedSet s = decodeAnimSet(assetgen::writeAnimSet(set));
    EXPECT_EQ(s.partCounts, (std::vector<int>{5, 0}));
    EXPECT_EQ(s.flips, (std::vector<int>{0, 1, 2, 3, 1})) << "five parts take two flip values";
    EXPECT_EQ(s.gobs, (std::vector<int>{0, 1, 2, 3, 300}));
    EXPECT_EQ(s.partDx, (std::vector<int>{0, 16, -200, 0, 511}));
    EXPECT_EQ(s.partDy, (std::vector<int>{0, 0, 5, -16, -512}));
    EXPECT_EQ(s.boxCounts, (std::vector<int>{2, 0}));
    EXPECT_EQ(s.boxX, (std::vector<int>{-8, -200}));
    EXPECT_EQ(s.boxY, (std::vector<int>{-16, 1023}));
    EXPECT_EQ(s.boxW, (std::vector<int>{16, 1023}));
    EXPECT_EQ(s.boxH, (std::vector<int>{16, 300}));
    EXPECT_EQ(s.boxType, (std::vector<int>{3, 31 | 32}));
    EXPECT_EQ(s.playCounts, (std::vector<int>{0}));
    EXPECT_EQ(s.timing, (std::vector<int>{3 << 6 | 0}));
    EXPECT_EQ(s.frameOfStep, (std::vector<int>{1}));
    EXPECT_EQ(s.stepDx, (std::vector<int>{-512}));
    EXPECT_EQ(s.durations, (std::vector<int>{65535}));
}

TEST(AssetgenAnimSet, RefusesValuesBeyondTheirFields) {
    using Set = assetgen::AnimSetDescription;
    auto withStep = [](assetgen::AnimStep step) {
        Set s;
        s.frames.resize(2);
        s.animations.push_back({1, {step}});
        return s;
    };
    auto withPart = [](assetgen::AnimPart part) {
        Set s;
        s.frames.push_back({{part}, {}});
        return s;
    };
    auto withBox = [](assetgen::AnimBox box) {
        Set s;
        s.frames.push_back({{}, {box}});
        return s;
    };
    Set play;
    play.animations.push_back({32, {}});
    Set manyDurations;
    manyDurations.frames.resize(1);
    manyDurations.animations.resize(1);
    for (int d = 0; d < 65; ++d) manyDurations.animations[0].steps.push_back({0, 0, 0, d, 0, 0});
    Set manyParts;
    manyParts.frames.push_back({std::vector<assetgen::AnimPart>(256), {}});
    const std::pair<Set, std::string> cases[] = {{withStep({1024, 0, 0, 0, 0, 0}), "animations[0].steps[0].frame"},
                                                 {withStep({2, 0, 0, 0, 0, 0}), "animations[0].steps[0].frame"},
                                                 {withStep({0, 512, 0, 0, 0, 0}), "animations[0].steps[0].dx"},
                                                 {withStep({0, 0, 0, 65536, 0, 0}), "animations[0].steps[0].duration"},
                                                 {withStep({0, 0, 0, 0, 4, 0}), "animations[0].steps[0].interpolation"},
                                                 {withPart({1024, 0, 0, 0}), "frames[0].parts[0].gob"},
                                                 {withBox({-1025, 0, 0, 0, 0, false}), "frames[0].boxes[0].x"},
                                                 {withBox({0, 0, 0, 0, 32, false}), "frames[0].boxes[0].id"},
                                                 {play, "animations[0].play"},
                                                 {manyDurations, "durations"},
                                                 {manyParts, "frames[0].parts"}};
    for (const auto& [set, field] : cases) {
        try {
            assetgen::writeAnimSet(set);
            ADD_FAILURE() << "accepted, expected a refusal of " << field;
        } catch (const assetgen::Error& e) {
            EXPECT_EQ(e.field(), field) << e.what();
        }
    }
}

// --- Gob records ---------------------------------------------------------------

struct DecodedGobs {
    int image = 0;
    uint32_t wordA = 0, wordB = 0;
    std::vector<std::array<int, 10>> values;
    std::vector<int> alpha;
};

// The record loader's column walk, step by step.
DecodedGobs decodeGobs(const Bytes& data) {
    Reader in(data);
    DecodedGobs d;
    d.image = static_cast<int>(in.u16());
    in.u8();
    const int n = in.s16();
    d.wordA = in.u16();
    d.wordB = in.u16();
    const Bytes columns = in.bytes(static_cast<size_t>(n - 4));
    bool flags[20] = {};
    for (int i = 0; i < 16; ++i) flags[i] = ((d.wordA >> i) & 1) == 0;
    flags[18] = (d.wordB >> 13) & 1;
    Bytes kinds;
    if (flags[18]) {
        const int m = in.s16();
        in.u32();
        in.u8();
        kinds = in.bytes(static_cast<size_t>(m - 5));
    }
    EXPECT_TRUE(in.atEnd());
    const int count = static_cast<int>(d.wordB & 0xFFF);
    int width[10] = {};
    int k = 5;
    for (int c = 0; c < 10; ++c) {
        const int g = c < 2 ? 0 : c < 6 ? 1 : 2;
        if (flags[g]) width[c] = flags[k++] ? 2 : 1;
    }
    for (int i = 0; i < count; ++i) {
        std::array<int, 10> values{};
        size_t p = 0;
        for (int c = 0; c < 10; ++c) {
            if (width[c] == 0) continue;
            const int w = width[c] - 1;
            p += static_cast<size_t>(i) << w;
            const bool signExtend = c == 0 || c == 1 || c == 6 || c == 7;
            values[c] = w == 0 ? (signExtend ? static_cast<int8_t>(columns[p]) : columns[p])
                               : static_cast<int16_t>(columns[p] << 8 | columns[p + 1]);
            p += static_cast<size_t>(count - i) << w;
        }
        d.values.push_back(values);
        d.alpha.push_back(flags[18] ? (kinds[i / 4] >> ((i % 4) * 2)) & 3 : 0);
    }
    return d;
}

std::array<int, 10> asShorts(const std::array<int32_t, 10>& v) {
    std::array<int, 10> out{};
    for (int c = 0; c < 10; ++c) out[c] = static_cast<int16_t>(v[c]);
    return out;
}

TEST(AssetgenGobs, ColumnsAreTheSmallestWidthAndEmptyGroupsAreLeftOut) {
    assetgen::GobRecord a, b;
    a.values = {-8, -16, 0, 0, 16, 16, 0, 0, 0, 0};
    b.values = {-128, 127, 255, 16, 200, 16, 0, 0, 0, 0};
    a.alphaKind = 1;
    b.alphaKind = 3;
    const Bytes data = assetgen::writeGobs(7, {a, b}, true);
    const DecodedGobs d = decodeGobs(data);
    EXPECT_EQ(d.image, 7);
    // Groups 0 and 1 present, group 2 absent; all six columns 1 byte.
    EXPECT_EQ(d.wordA, 0xFFFCu);
    EXPECT_EQ(d.wordB, 2u | 1u << 13);
    EXPECT_EQ(data.size(), 9u + 12u + 8u) << "header, 6 columns × 2 records, alpha section";
    ASSERT_EQ(d.values.size(), 2u);
    EXPECT_EQ(d.values[0], asShorts(a.values));
    EXPECT_EQ(d.values[1], asShorts(b.values));
    EXPECT_EQ(d.alpha, (std::vector<int>{1, 3}));

    assetgen::GobRecord wide;
    wide.values = {-129, 0, 256, 0, 1, 1, -1, 0, 0x800A, 300};
    const DecodedGobs w = decodeGobs(assetgen::writeGobs(0, {wide}, false));
    EXPECT_EQ(w.wordB, 1u) << "no alpha section";
    EXPECT_EQ(w.values[0], asShorts(wide.values));
    EXPECT_EQ(w.values[0][8] & 0xFFFF, 0x800A) << "round flag and box width";
}

TEST(AssetgenGobs, RandomRecordsRoundTrip) {
    std::mt19937 random(19);
    for (int round = 0; round < 50; ++round) {
        std::vector<assetgen::GobRecord> records(random() % 20);
        const int spread = round % 2 ? 100 : 30000;
        for (assetgen::GobRecord& r : records) {
            for (int c = 0; c < 10; ++c) {
                const bool isSigned = c == 0 || c == 1 || c == 6 || c == 7;
                const int v = static_cast<int>(random() % static_cast<unsigned>(spread));
                r.values[c] = round % 3 == 0 && c >= 6 ? 0 : isSigned && random() % 2 ? -v : v;
            }
            r.alphaKind = static_cast<int>(random() % 4);
        }
        const DecodedGobs d = decodeGobs(assetgen::writeGobs(3, records, true));
        ASSERT_EQ(d.values.size(), records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(d.values[i], asShorts(records[i].values)) << "round " << round << " record " << i;
            EXPECT_EQ(d.alpha[i], records[i].alphaKind);
        }
    }
}

TEST(AssetgenGobs, RefusesValuesBeyondTheirFields) {
    assetgen::GobRecord bad;
    bad.values[2] = 32768;
    EXPECT_THROW(assetgen::writeGobs(0, {bad}, true), assetgen::Error);
    EXPECT_THROW(assetgen::writeGobs(1024, {}, true), assetgen::Error);
    EXPECT_THROW(assetgen::writeGobs(0, std::vector<assetgen::GobRecord>(4096), true), assetgen::Error);
    try {
        assetgen::GobRecord negative;
        negative.values[4] = -1;
        assetgen::writeGobs(0, {assetgen::GobRecord{}, negative}, true);
        ADD_FAILURE() << "a negative width was accepted";
    } catch (const assetgen::Error& e) {
        EXPECT_EQ(e.field(), "records[1].width");
    }
}

}  // namespace

// Test support for the sprite classes: animation-set bytes written by hand,
// sets and Gob arrays read from them, and the test data set's sprite pack.
#pragma once

#include <cstdint>
#include <vector>

#include "java_io_ByteArrayInputStream.h"
#include "java_io_DataInputStream.h"
#include "lcdui_test_support.h"
#include "ts_AnimPlayer.h"
#include "ts_AnimSet.h"
#include "ts_Gob.h"
#include "ts_Resources.h"
#include "ts_graphics_CollisionBox.h"

namespace spritetest {

using Gobs = VMArray<ts::Gob, 1>;
using Boxes = VMArray<ts::graphics::CollisionBox, 1>;

// The sprite pack of the test data set (assets/test/pack16_sprites.json).
constexpr jint kSheet = 16 * 1024;       // 96 x 48 sprite sheet
constexpr jint kSheetGobs = kSheet + 1;  // 9 records: a 6-cell grid and 3 more
constexpr jint kEverySet = kSheet + 2;   // animation set using every encoding
constexpr jint kSmallSet = kSheet + 3;
constexpr jint kPlainGobs = kSheet + 4;  // the grid alone, no alpha kinds
constexpr jint kEmptySet = kSheet + 5;

// The numbers of the animation-set format, big-endian.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& byte(int v) {
        b.push_back(uint8_t(v));
        return *this;
    }
    Bytes& u16(int v) { return byte(v >> 8).byte(v); }
    Bytes& count(int v) { return v < 255 ? byte(v) : byte(255).u16(v); }
    Bytes& value(int v) { return v >= -127 && v <= 127 ? byte(v) : byte(0x80).u16(v); }
    Bytes& counts(std::initializer_list<int> vs) {
        for (int v : vs) count(v);
        return *this;
    }
    Bytes& values(std::initializer_list<int> vs) {
        for (int v : vs) value(v);
        return *this;
    }
};

// An animation set described by its frames and animations, written in the
// resource format (durations numbered in order of first use).
struct PartSpec {
    int gob, dx = 0, dy = 0, flip = 0;
};
struct BoxSpec {
    int x, y, width, height, id = 0;
    bool circle = false;
};
struct FrameSpec {
    std::vector<PartSpec> parts;
    std::vector<BoxSpec> boxes;
};
struct StepSpec {
    int frame, duration, dx = 0, dy = 0, interpolation = 0, marker = 0;
};
struct AnimSpec {
    int play;
    std::vector<StepSpec> steps;
};

inline std::vector<uint8_t> animSetBytes(const std::vector<FrameSpec>& frames, const std::vector<AnimSpec>& anims) {
    Bytes out;
    std::vector<int> durations;
    auto durationIndex = [&](int d) {
        for (size_t i = 0; i < durations.size(); ++i)
            if (durations[i] == d) return int(i);
        durations.push_back(d);
        return int(durations.size()) - 1;
    };
    std::vector<StepSpec> steps;
    out.byte(0).u16(int(anims.size()));
    for (const AnimSpec& a : anims) {
        out.count(int(a.steps.size()));
        steps.insert(steps.end(), a.steps.begin(), a.steps.end());
    }
    for (const AnimSpec& a : anims) out.value(a.play);
    for (const StepSpec& s : steps) out.count(durationIndex(s.duration) | s.marker << 6 | s.interpolation << 8);
    for (const StepSpec& s : steps) out.count(s.frame);
    for (const StepSpec& s : steps) out.value(s.dx);
    for (const StepSpec& s : steps) out.value(s.dy);
    std::vector<PartSpec> parts;
    std::vector<BoxSpec> boxes;
    out.u16(int(frames.size()));
    for (const FrameSpec& f : frames) {
        out.count(int(f.parts.size()));
        parts.insert(parts.end(), f.parts.begin(), f.parts.end());
        boxes.insert(boxes.end(), f.boxes.begin(), f.boxes.end());
    }
    for (size_t k = 0; k < parts.size(); k += 4) {
        int v = 0;
        for (size_t j = 0; j < 4; ++j) v |= (k + j < parts.size() ? parts[k + j].flip : 0) << (6 - 2 * j);
        out.count(v);
    }
    for (const PartSpec& p : parts) out.count(p.gob);
    for (const PartSpec& p : parts) out.value(p.dx);
    for (const PartSpec& p : parts) out.value(p.dy);
    for (const FrameSpec& f : frames) out.count(int(f.boxes.size()));
    for (const BoxSpec& b : boxes) out.value(b.x);
    for (const BoxSpec& b : boxes) out.value(b.y);
    for (const BoxSpec& b : boxes) out.count(b.width);
    for (const BoxSpec& b : boxes) out.count(b.height);
    for (const BoxSpec& b : boxes) out.count(b.id | (b.circle ? 32 : 0));
    out.u16(int(durations.size()));
    for (int d : durations) out.count(d);
    return out.b;
}

// A 12 x 16 "F" with a blue mark at (10, 13): every transform shows as a
// different picture. Alpha kind 1: on an opaque grey ground; 2: on
// transparent pixels; 3: on a half-transparent ground.
constexpr int kLetterW = 12, kLetterH = 16, kMarkX = 10, kMarkY = 13;
constexpr uint32_t kMark = 0xFF2040F0u;

inline VMPtr<ts::Gob> letterGob(int kind, jint offsetX, jint offsetY, uint32_t ink = 0xFFD02020u) {
    const uint32_t ground = kind == 1 ? 0xFF808080u : kind == 2 ? 0x00000000u : 0x80F0F0F0u;
    std::vector<uint32_t> px(kLetterW * kLetterH, ground);
    auto set = [&](int x1, int y1, int x2, int y2, uint32_t c) {
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) px[size_t(y * kLetterW + x)] = c;
    };
    set(1, 1, 3, 14, ink);
    set(1, 1, 10, 3, ink);
    set(1, 7, 7, 8, ink);
    set(kMarkX, kMarkY, kMarkX, kMarkY, kMark);
    VMPtr<ts::Gob> gob = ts::Gob::createFromRGB(intArray(px), kLetterW, kLetterH, kind != 1);
    gob->offsetX = jshort(offsetX);
    gob->offsetY = jshort(offsetY);
    return gob;
}

// Where pixel (sx, sy) of a Gob's image lands when the Gob (offset ox, oy)
// is drawn at (x, y) under transform t: its centre moved as a point by the
// sprite transform rule (2 negates x, 1 negates y, then 4 swaps them).
inline std::pair<int, int> landing(int x, int y, int ox, int oy, int sx, int sy, int t) {
    int px = 2 * (ox + sx) + 1, py = 2 * (oy + sy) + 1;  // doubled, centre of the pixel
    if (t & 2) px = -px;
    if (t & 1) py = -py;
    if (t & 4) std::swap(px, py);
    auto half = [](int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };  // floor(v / 2)
    return {x + half(px), y + half(py)};
}

// A Gob's fields: offset, size, box, round box, alpha kind.
inline std::vector<jint> fieldsOf(const VMPtr<ts::Gob>& g) {
    return {g->offsetX,    g->offsetY,        g->width,           g->height,         g->collisionX,
            g->collisionY, g->collisionWidth, g->collisionHeight, g->roundCollision, g->alphaKind};
}

inline VMPtr<java::io::DataInputStream> streamOf(const std::vector<uint8_t>& raw) {
    VMPtr<VMArray<jbyte, 1>> data = VMArray<jbyte, 1>::create(jint(raw.size()));
    for (size_t i = 0; i < raw.size(); ++i) (*data)[jint(i)] = jbyte(raw[i]);
    VMPtr<java::io::ByteArrayInputStream> in = java::io::ByteArrayInputStream::create()->construct(data);
    return java::io::DataInputStream::create()->construct(in);
}

inline VMPtr<ts::AnimSet> setOf(const std::vector<uint8_t>& raw) { return ts::AnimSet::loadAnimSet(0, streamOf(raw)); }

inline std::vector<jint> values(const VMPtr<VMInts>& a, jint n = -1) {
    return std::vector<jint>(a->elements(), a->elements() + (n < 0 ? a->length : n));
}

}  // namespace spritetest

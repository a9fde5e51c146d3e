// Animation set resources: frames of image parts with collision boxes, and
// animations of timed steps.
#pragma once

#include <vector>

#include "bytes.h"

namespace assetgen {

struct AnimPart {
    int gob = 0;  // index into the attached image parts, 0 to 1023
    int dx = 0;   // -512 to 511
    int dy = 0;
    int flip = 0;  // 0 to 3
};

struct AnimBox {
    int x = 0;  // -1024 to 1023
    int y = 0;
    int width = 0;  // 0 to 1023
    int height = 0;
    int id = 0;  // 0 to 31
    bool circle = false;
};

struct AnimFrame {
    std::vector<AnimPart> parts;  // at most 255
    std::vector<AnimBox> boxes;   // at most 255
};

struct AnimStep {
    int frame = 0;  // 0 to 1023
    int dx = 0;     // cumulative motion, -512 to 511
    int dy = 0;
    int duration = 0;       // 0 to 65535; its index in the durations table is taken
    int interpolation = 0;  // 0 to 3
    int marker = 0;         // 0 to 3
};

struct Animation {
    int playCount = 0;            // -32 to 31 (negative: without end)
    std::vector<AnimStep> steps;  // at most 1023
};

struct AnimSetDescription {
    std::vector<AnimFrame> frames;
    std::vector<Animation> animations;
    // Durations in table order; step durations not in it are appended in
    // order of first use. At most 64.
    std::vector<int> durations;
};

// The number encodings: count (0-254, else 255 and a u16) and signed
// (-127 to 127, else 0x80 and an s16).
void writeCount(ByteWriter& out, int64_t value, const std::string& field);
void writeSigned(ByteWriter& out, int64_t value, const std::string& field);

Bytes writeAnimSet(const AnimSetDescription& set);

}  // namespace assetgen

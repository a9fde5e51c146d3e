#include "animset.h"

#include <algorithm>

namespace assetgen {

void writeCount(ByteWriter& out, int64_t value, const std::string& field) {
    checkRange(value, 0, 65535, field);
    if (value < 255) {
        out.u8(static_cast<uint32_t>(value));
    } else {
        out.u8(255);
        out.u16(static_cast<uint32_t>(value));
    }
}

void writeSigned(ByteWriter& out, int64_t value, const std::string& field) {
    checkRange(value, -32768, 32767, field);
    if (value >= -127 && value <= 127) {
        out.u8(static_cast<uint32_t>(value));
    } else {
        out.u8(0x80);
        out.u16(static_cast<uint32_t>(value));
    }
}

Bytes writeAnimSet(const AnimSetDescription& set) {
    const auto& frames = set.frames;
    const auto& animations = set.animations;
    checkRange(static_cast<int64_t>(animations.size()), 0, 65535, "animations");
    checkRange(static_cast<int64_t>(frames.size()), 0, 65535, "frames");

    std::vector<int> durations = set.durations;
    for (size_t i = 0; i < durations.size(); ++i) checkRange(durations[i], 0, 65535, item("durations", i));

    // Check every field against its packed width first.
    int64_t totalSteps = 0, totalParts = 0, totalBoxes = 0;
    for (size_t a = 0; a < animations.size(); ++a) {
        const std::string path = item("animations", a);
        checkRange(animations[a].playCount, -32, 31, join(path, "play"));
        checkRange(static_cast<int64_t>(animations[a].steps.size()), 0, 1023, join(path, "steps"));
        for (size_t k = 0; k < animations[a].steps.size(); ++k) {
            const AnimStep& s = animations[a].steps[k];
            const std::string step = item(join(path, "steps"), k);
            checkRange(s.frame, 0, 1023, join(step, "frame"));
            if (s.frame >= static_cast<int>(frames.size())) {
                throw Error(join(step, "frame"), "frame " + std::to_string(s.frame) + " does not exist");
            }
            checkRange(s.dx, -512, 511, join(step, "dx"));
            checkRange(s.dy, -512, 511, join(step, "dy"));
            checkRange(s.duration, 0, 65535, join(step, "duration"));
            checkRange(s.interpolation, 0, 3, join(step, "interpolation"));
            checkRange(s.marker, 0, 3, join(step, "marker"));
            if (std::find(durations.begin(), durations.end(), s.duration) == durations.end()) {
                durations.push_back(s.duration);
            }
        }
        totalSteps += static_cast<int64_t>(animations[a].steps.size());
    }
    checkRange(totalSteps, 0, 65535, "animations");
    if (durations.size() > 64) throw Error("durations", "more than 64 different durations");
    for (size_t f = 0; f < frames.size(); ++f) {
        const std::string path = item("frames", f);
        checkRange(static_cast<int64_t>(frames[f].parts.size()), 0, 255, join(path, "parts"));
        checkRange(static_cast<int64_t>(frames[f].boxes.size()), 0, 255, join(path, "boxes"));
        for (size_t p = 0; p < frames[f].parts.size(); ++p) {
            const AnimPart& part = frames[f].parts[p];
            const std::string field = item(join(path, "parts"), p);
            checkRange(part.gob, 0, 1023, join(field, "gob"));
            checkRange(part.dx, -512, 511, join(field, "dx"));
            checkRange(part.dy, -512, 511, join(field, "dy"));
            checkRange(part.flip, 0, 3, join(field, "flip"));
        }
        for (size_t b = 0; b < frames[f].boxes.size(); ++b) {
            const AnimBox& box = frames[f].boxes[b];
            const std::string field = item(join(path, "boxes"), b);
            checkRange(box.x, -1024, 1023, join(field, "x"));
            checkRange(box.y, -1024, 1023, join(field, "y"));
            checkRange(box.width, 0, 1023, join(field, "width"));
            checkRange(box.height, 0, 1023, join(field, "height"));
            checkRange(box.id, 0, 31, join(field, "id"));
        }
        totalParts += static_cast<int64_t>(frames[f].parts.size());
        totalBoxes += static_cast<int64_t>(frames[f].boxes.size());
    }
    checkRange(totalParts, 0, 65535, "frames");
    checkRange(totalBoxes, 0, 65535, "frames");

    ByteWriter out;
    out.u8(0);
    out.u16(static_cast<uint32_t>(animations.size()));
    for (const Animation& a : animations) writeCount(out, static_cast<int64_t>(a.steps.size()), "steps");
    for (const Animation& a : animations) writeSigned(out, a.playCount, "play");

    std::vector<const AnimStep*> steps;
    for (const Animation& a : animations) {
        for (const AnimStep& s : a.steps) steps.push_back(&s);
    }
    for (const AnimStep* s : steps) {
        const int index =
            static_cast<int>(std::find(durations.begin(), durations.end(), s->duration) - durations.begin());
        writeCount(out, s->interpolation << 8 | s->marker << 6 | index, "steps");
    }
    for (const AnimStep* s : steps) writeCount(out, s->frame, "frame");
    for (const AnimStep* s : steps) writeSigned(out, s->dx, "dx");
    for (const AnimStep* s : steps) writeSigned(out, s->dy, "dy");

    out.u16(static_cast<uint32_t>(frames.size()));
    for (const AnimFrame& f : frames) writeCount(out, static_cast<int64_t>(f.parts.size()), "parts");
    std::vector<const AnimPart*> parts;
    for (const AnimFrame& f : frames) {
        for (const AnimPart& p : f.parts) parts.push_back(&p);
    }
    // Flip bits, four parts a value, the first part in bits 7-6.
    for (size_t i = 0; i < parts.size(); i += 4) {
        int value = 0;
        for (size_t j = 0; j < 4; ++j) {
            if (i + j < parts.size()) value |= parts[i + j]->flip << (6 - 2 * j);
        }
        writeCount(out, value, "flip");
    }
    for (const AnimPart* p : parts) writeCount(out, p->gob, "gob");
    for (const AnimPart* p : parts) writeSigned(out, p->dx, "dx");
    for (const AnimPart* p : parts) writeSigned(out, p->dy, "dy");

    for (const AnimFrame& f : frames) writeCount(out, static_cast<int64_t>(f.boxes.size()), "boxes");
    std::vector<const AnimBox*> boxes;
    for (const AnimFrame& f : frames) {
        for (const AnimBox& b : f.boxes) boxes.push_back(&b);
    }
    for (const AnimBox* b : boxes) writeSigned(out, b->x, "x");
    for (const AnimBox* b : boxes) writeSigned(out, b->y, "y");
    for (const AnimBox* b : boxes) writeCount(out, b->width, "width");
    for (const AnimBox* b : boxes) writeCount(out, b->height, "height");
    for (const AnimBox* b : boxes) writeCount(out, b->id | (b->circle ? 32 : 0), "id");

    out.u16(static_cast<uint32_t>(durations.size()));
    for (int d : durations) writeCount(out, d, "durations");
    return out.take();
}

}  // namespace assetgen

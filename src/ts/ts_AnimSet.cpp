// ts.AnimSet: one animation resource, its composed frames and timed animations.
#include "ts_AnimSet.h"

#include <climits>

#include "java_io_EOFException.h"
#include "java_lang_Exception.h"
#include "ts_Resources.h"
#include "ts_graphics_CollisionBox.h"

namespace ts {

using graphics::CollisionBox;
using java::io::DataInputStream;

VMStatic<DataInputStream> AnimSet::stream;
VMStatic<VMInts> AnimSet::bounds;

void AnimSet::_VM_clinit() {
    stream = nullptr;
    bounds = VMInts::create(4);
}

VMPtr<AnimSet> AnimSet::construct() {
    Super::construct();
    return this;
}

// --- loading ------------------------------------------------------------------------------

namespace {

// The largest values the packed tables hold.
constexpr jint kMaxTotal = 0xFFFF;       // steps, parts or boxes in all (16-bit start indexes)
constexpr jint kMaxSteps = 0x3FF;        // steps of one animation
constexpr jint kMaxPartsOrBoxes = 0xFF;  // parts or boxes of one frame
constexpr jint kMaxIndex = 0x3FF;        // frame or Gob index of a step or part

// Data that ends, or a count the tables cannot hold, ends reading.
[[noreturn]] void endReading() { _VM_throw(java::io::EOFException::create()->construct()); }

VMPtr<DataInputStream> currentStream() {
    VMPtr<DataInputStream> in = AnimSet::stream;
    if (in == nullptr) _VM_throwNullPointer();
    return in;
}

// A count read from the data sizes a table whose every entry takes at least
// one byte still to come. (The totals of steps, parts and boxes are bounded
// by their 16-bit start indexes instead: a set cut inside a table keeps it.)
void checkLeft(jint n) {
    if (n > currentStream()->available()) endReading();
}

// Counts of a table of ranges (entry = count | start << 16), each at most
// maxCount; returns their sum.
jint readRanges(VMPtr<VMInts> table, jint maxCount) {
    jint running = 0;
    for (jint i = 0; i < table->length; ++i) {
        const jint c = AnimSet::readCount();
        if (c > maxCount || running + c > kMaxTotal) endReading();
        (*table)[i] = c | running << 16;
        running += c;
    }
    return running;
}

}  // namespace

jint AnimSet::readCount() {
    VMPtr<DataInputStream> in = currentStream();
    const jint b = in->read();
    if (b < 0) endReading();
    if (b == 255) return in->readChar() & 0xFFFF;
    return b;
}

jint AnimSet::readSignedValue() {
    VMPtr<DataInputStream> in = currentStream();
    const jint v = in->readByte();
    if (v == -128) return in->readShort();
    return v;
}

jint AnimSet::readOffsetTable(VMPtr<VMInts> table) { return readRanges(table, kMaxTotal); }

void AnimSet::readPackedParts(VMPtr<VMInts> table) {
    const jint n = table->length;
    for (jint i = 0; i < n; ++i) {
        const jint index = readCount();
        if (index > kMaxIndex) endReading();
        (*table)[i] |= index << 22;
    }
    for (jint i = 0; i < n; ++i) (*table)[i] |= (readSignedValue() & 0x3FF) << 12;
    for (jint i = 0; i < n; ++i) (*table)[i] |= (readSignedValue() & 0x3FF) << 2;
}

void AnimSet::read() {
    VMPtr<DataInputStream> in = currentStream();
    in->readByte();
    // Animations: step counts, then play counts.
    const jint animationCount = in->readChar();
    checkLeft(animationCount);
    animations = VMInts::create(animationCount);
    durationCache = VMInts::create(animationCount);
    VMPtr<VMInts> animationTable = animations;
    const jint stepCount = readRanges(animationTable, kMaxSteps);
    for (jint i = 0; i < animationCount; ++i) (*animationTable)[i] |= (readSignedValue() & 63) << 10;
    // Steps: timing (the count's high byte carries the interpolation bits),
    // then frame index and motion.
    stepTiming = VMBytes::create(stepCount);
    steps = VMInts::create(stepCount);
    VMPtr<VMBytes> timing = stepTiming;
    VMPtr<VMInts> stepTable = steps;
    for (jint k = 0; k < stepCount; ++k) {
        const jint c = readCount();
        (*timing)[k] = jbyte(c);
        (*stepTable)[k] = c >> 8;
    }
    readPackedParts(stepTable);
    // Frames: part counts, flip bits four parts a value, parts.
    const jint frameCount = in->readChar();
    checkLeft(frameCount);
    boxStart = VMChars::create(frameCount);
    frames = VMInts::create(frameCount);
    VMPtr<VMInts> frameTable = frames;
    const jint partCount = readRanges(frameTable, kMaxPartsOrBoxes);
    frameParts = VMInts::create(partCount);
    VMPtr<VMInts> parts = frameParts;
    jint flips = 0;
    for (jint k = 0; k < partCount; ++k) {
        if ((k & 3) == 0) flips = readCount();
        (*parts)[k] = (flips >> (6 - 2 * (k & 3))) & 3;
    }
    readPackedParts(parts);
    // Collision boxes: counts per frame, then x, y, width, height, type.
    VMPtr<VMChars> starts = boxStart;
    jint boxCount = 0;
    for (jint f = 0; f < frameCount; ++f) {
        const jint c = readCount();
        if (c > kMaxPartsOrBoxes || boxCount + c > kMaxTotal) endReading();
        (*frameTable)[f] |= c << 8;
        (*starts)[f] = jchar(boxCount);
        boxCount += c;
    }
    boxGeometry = VMInts::create(boxCount);
    boxAttributes = VMChars::create(boxCount);
    VMPtr<VMInts> geometry = boxGeometry;
    VMPtr<VMChars> attributes = boxAttributes;
    for (jint b = 0; b < boxCount; ++b) (*geometry)[b] = readSignedValue() << 21;
    for (jint b = 0; b < boxCount; ++b) (*geometry)[b] |= (readSignedValue() & 0x7FF) << 10;
    for (jint b = 0; b < boxCount; ++b) (*geometry)[b] |= readCount();
    for (jint b = 0; b < boxCount; ++b) (*attributes)[b] = jchar(readCount() << 6);
    for (jint b = 0; b < boxCount; ++b) (*attributes)[b] = jchar((*attributes)[b] | readCount());
    // Durations.
    const jint durationCount = in->readChar();
    checkLeft(durationCount);
    durations = VMChars::create(durationCount);
    VMPtr<VMChars> durationTable = durations;
    for (jint i = 0; i < durationCount; ++i) (*durationTable)[i] = jchar(readCount());
}

VMPtr<AnimSet> AnimSet::loadAnimSet(jint resourceId) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<AnimSet> set = AnimSet::create()->construct();
    set->id = resourceId;
    struct Clear {
        ~Clear() { stream = nullptr; }
    } clear;
    try {
        stream = Resources::getResourceAsStream(resourceId);
        set->read();
    } catch (java::lang::Exception* e) {
        VMPtr<java::lang::Exception> ended(e);  // the set as far as it was filled
    }
    return set;
}

VMPtr<AnimSet> AnimSet::loadAnimSet(jint resourceId, VMPtr<DataInputStream> in) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<AnimSet> set = AnimSet::create()->construct();
    set->id = resourceId;
    struct Clear {
        ~Clear() { stream = nullptr; }
    } clear;
    try {
        stream = in;
        set->read();
    } catch (java::lang::Exception* e) {
        VMPtr<java::lang::Exception> ended(e);
    }
    return set;
}

// --- queries --------------------------------------------------------------------------------

jint AnimSet::getFrameCount() { return frames->length; }

jint AnimSet::getStepCount(jint animation) { return animations->get(animation) & 0x3FF; }

jint AnimSet::getAnimationCount() { return animations->length; }

jint AnimSet::getPartCount(jint frame) { return frames->get(frame) & 255; }

jint AnimSet::getCollisionBoxCount(jint frame) { return (frames->get(frame) >> 8) & 255; }

jint AnimSet::getId() { return id; }

VMPtr<AnimSet::Gobs> AnimSet::getGobs() { return gobs; }

void AnimSet::setGobs(VMPtr<Gobs> images) { gobs = images; }

jint AnimSet::getAnimationDuration(jint animation) {
    VMPtr<VMInts> table = animations;
    if (animation < 0 || animation >= table->length) return 0;
    VMPtr<VMInts> cache = durationCache;
    jint total = (*cache)[animation];
    if (total != 0) return total;
    const jint entry = (*table)[animation];
    const jint start = jint(uint32_t(entry) >> 16), count = entry & 0x3FF;
    VMPtr<VMBytes> timing = stepTiming;
    VMPtr<VMChars> values = durations;
    for (jint k = 0; k < count; ++k) total += (*values)[durationOf((*timing)[start + k])];
    (*cache)[animation] = total;
    return total;
}

jint AnimSet::getCollisionRects(jint frame, jint transform, VMPtr<VMInts> rects) {
    return getCollisionRects(frame, transform, rects, -1);
}

jint AnimSet::getCollisionBoxes(jint frame, jint transform, VMPtr<Boxes> boxes) {
    return getCollisionBoxes(frame, transform, boxes, -1);
}

namespace {

// A point under a transform.
inline void placePoint(jint dx, jint dy, jint t, jint& x, jint& y) {
    x = Paintable::transformedLeft(dx, dy, 0, 0, t);
    y = Paintable::transformedTop(dx, dy, 0, 0, t);
}

// One box of a frame, unpacked and placed under a transform.
struct Box {
    jint x, y, w, h, id, shape;
};

inline Box boxAt(jint geometry, jint attributes, jint t) {
    const jint x = geometry >> 21, y = (geometry << 11) >> 21, w = geometry & 0x3FF, h = (attributes >> 6) & 0x3FF;
    const bool swap = (t & 4) != 0;
    return Box{Paintable::transformedLeft(x, y, w, h, t),
               Paintable::transformedTop(x, y, w, h, t),
               swap ? h : w,
               swap ? w : h,
               attributes & 31,
               (attributes & 32) ? CollisionBox::CIRCLE : CollisionBox::RECTANGLE};
}

// The smallest rectangle holding every added one, written as x, y, width,
// height (width and height 0 when nothing was added).
struct BoundsBox {
    jint minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    bool empty = true;
    void add(jint left, jint top, jint right, jint bottom) {
        minX = std::min(minX, left);
        minY = std::min(minY, top);
        maxX = std::max(maxX, right);
        maxY = std::max(maxY, bottom);
        empty = false;
    }
    void writeTo(const VMPtr<VMArray<jint, 1>>& out) const {
        if (out == nullptr) _VM_throwNullPointer();
        (*out)[0] = minX;
        (*out)[1] = minY;
        (*out)[2] = empty ? 0 : maxX - minX;
        (*out)[3] = empty ? 0 : maxY - minY;
    }
};

}  // namespace

jint AnimSet::getCollisionBoxes(jint frame, jint transform, VMPtr<Boxes> boxes, jint boxId) {
    const jint word = frames->get(frame);
    const jint count = (word >> 8) & 255, start = boxStart->get(frame);
    if (boxes == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> geometry = boxGeometry;
    VMPtr<VMChars> attributes = boxAttributes;
    const jint room = boxes->length;
    jint n = 0;
    for (jint k = 0; k < count && n < room; ++k) {
        const jint attribute = (*attributes)[start + k];
        if (boxId >= 0 && (attribute & 31) != boxId) continue;
        const Box box = boxAt((*geometry)[start + k], attribute, transform);
        CollisionBox* out = boxes->get(n);
        if (out == nullptr) _VM_throwNullPointer();
        out->x = box.x;
        out->y = box.y;
        out->width = box.w;
        out->height = box.h;
        out->id = box.id;
        out->shape = box.shape;
        ++n;
    }
    return n;
}

jint AnimSet::getCollisionRects(jint frame, jint transform, VMPtr<VMInts> rects, jint boxId) {
    const jint word = frames->get(frame);
    const jint count = (word >> 8) & 255, start = boxStart->get(frame);
    if (rects == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> geometry = boxGeometry;
    VMPtr<VMChars> attributes = boxAttributes;
    const jint room = rects->length / 5;
    jint n = 0;
    for (jint k = 0; k < count && n < room; ++k) {
        const jint attribute = (*attributes)[start + k];
        if (boxId >= 0 && (attribute & 31) != boxId) continue;
        const Box box = boxAt((*geometry)[start + k], attribute, transform);
        jint* out = rects->elements() + 5 * n;
        out[0] = box.x;
        out[1] = box.y;
        out[2] = box.w;
        out[3] = box.h;
        out[4] = box.id;
        ++n;
    }
    return n;
}

jint AnimSet::getFrameParts(jint frame, jint transform, VMPtr<VMInts> out) {
    const jint word = frames->get(frame);
    const jint count = word & 255, start = jint(uint32_t(word) >> 16);
    if (out == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> parts = frameParts;
    const jint room = out->length / 4;
    for (jint k = 0; k < count && k < room; ++k) {
        const jint part = (*parts)[start + k];
        const jint u = (part & 3) ^ transform;
        jint x, y;
        placePoint(signed10(part, 12), signed10(part, 2), u, x, y);
        jint* record = out->elements() + 4 * k;
        record[0] = packedIndex(part);
        record[1] = x;
        record[2] = y;
        record[3] = u;
    }
    return count;
}

void AnimSet::getFrameBounds(jint frame, jint transform, VMPtr<VMInts> out) {
    const jint word = frames->get(frame);
    const jint count = word & 255, start = jint(uint32_t(word) >> 16);
    BoundsBox bounds;
    if (count > 0) {
        VMPtr<VMInts> parts = frameParts;
        VMPtr<Gobs> images = gobs;
        for (jint k = 0; k < count; ++k) {
            const jint part = (*parts)[start + k];
            const jint u = transform ^ (part & 3);
            Gob* gob = images->get(packedIndex(part));
            if (gob == nullptr) _VM_throwNullPointer();
            const jint w = gob->width, h = gob->height;
            const jint ox = gob->offsetX + signed10(part, 12), oy = gob->offsetY + signed10(part, 2);
            const jint left = Paintable::transformedLeft(ox, oy, w, h, u);
            const jint top = Paintable::transformedTop(ox, oy, w, h, u);
            const jint right = left + ((u & 4) ? h : w), bottom = top + ((u & 4) ? w : h);
            bounds.add(left, top, right, bottom);
        }
    }
    bounds.writeTo(out);
}

void AnimSet::getAnimationBounds(jint animation, jint transform, VMPtr<VMInts> out) {
    const jint entry = animations->get(animation);
    const jint count = entry & 0x3FF, start = jint(uint32_t(entry) >> 16);
    BoundsBox bounds;
    if (count > 0) {
        VMPtr<VMInts> stepTable = steps;
        for (jint k = 0; k < count; ++k) {
            const jint step = (*stepTable)[start + k];
            jint px, py;
            placePoint(signed10(step, 12), signed10(step, 2), transform, px, py);
            VMPtr<Frame> frame = getFrame(packedIndex(step));
            const jint left = px + frame->getOffsetX(transform), top = py + frame->getOffsetY(transform);
            const jint right = left + frame->getWidth(transform), bottom = top + frame->getHeight(transform);
            bounds.add(left, top, right, bottom);
        }
    }
    bounds.writeTo(out);
}

void AnimSet::paintFrame(VMPtr<Graphics> g, jint frame, jint x, jint y, jint transform) {
    const jint word = frames->get(frame);
    const jint count = word & 255, start = jint(uint32_t(word) >> 16);
    if (count == 0) return;
    VMPtr<VMInts> parts = frameParts;
    VMPtr<Gobs> images = gobs;
    for (jint k = 0; k < count; ++k) {
        const jint part = (*parts)[start + k];
        VMPtr<Gob> gob = images->get(packedIndex(part));
        if (gob == nullptr) _VM_throwNullPointer();
        // The shared Gob is moved by the part's offset for the time of its
        // drawing, and put back also when the drawing fails.
        struct Restore {
            Gob* gob;
            jshort x, y;
            ~Restore() {
                gob->offsetX = x;
                gob->offsetY = y;
            }
        } restore{gob.get(), gob->offsetX, gob->offsetY};
        gob->offsetX = jshort(gob->offsetX + signed10(part, 12));
        gob->offsetY = jshort(gob->offsetY + signed10(part, 2));
        gob->paint(g, x, y, Frame::flipTransform(transform, part));
    }
}

VMPtr<Frame> AnimSet::getFrame(jint frame) { return cachedFrame(frameCache, frames, frame, false); }

VMPtr<Frame> AnimSet::getAnimationFrame(jint animation) {
    return cachedFrame(animationFrameCache, animations, animation, true);
}

VMPtr<Frame> AnimSet::cachedFrame(VMField<Frames>& cache, VMPtr<VMInts> table, jint index, bool wholeAnimation) {
    _VM_ensureInitialized(_VM_classRecord);
    if (cache == nullptr) cache = Frames::create(table->length);
    VMPtr<Frames> made = cache;
    VMPtr<Frame> frame = made->get(index);
    if (frame != nullptr) return frame;
    VMPtr<VMInts> scratch = bounds;
    if (wholeAnimation)
        getAnimationBounds(index, 0, scratch);
    else
        getFrameBounds(index, 0, scratch);
    frame = Frame::create()->construct(this, wholeAnimation ? -index : index, scratch);
    made->set(index, frame);
    return frame;
}

VMPtr<AnimSet> AnimSet::copyWithGobs(VMPtr<Gobs> images) {
    VMPtr<AnimSet> copy = AnimSet::create()->construct();
    copy->id = id;
    copy->animations = animations;
    copy->durationCache = durationCache;
    copy->stepTiming = stepTiming;
    copy->steps = steps;
    copy->boxStart = boxStart;
    copy->frames = frames;
    copy->frameParts = frameParts;
    copy->boxGeometry = boxGeometry;
    copy->boxAttributes = boxAttributes;
    copy->durations = durations;
    copy->gobs = images;
    return copy;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::AnimSet, .name = "ts.AnimSet", .staticInit = ts::AnimSet::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<ts::AnimSet>)

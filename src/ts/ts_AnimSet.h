// ts.AnimSet: one animation resource: composed frames (image parts placed
// with offsets and flips, and collision boxes) and animations (timed steps of
// those frames with a cumulative motion offset per step), read in one pass
// by loadAnimSet into packed tables. The images are not part of the resource:
// the caller attaches them with setGobs, and copyWithGobs makes a second set
// over the same tables that draws with other images. Frames are made on
// request and cached, one per index.
//
// Packed tables (A animations, T steps, F frames, P parts, B boxes, D
// durations):
//   animations[A]  bits 0-9 step count, 10-15 play count (signed 6-bit),
//                  16-31 first step
//   frames[F]      bits 0-7 part count, 8-15 box count, 16-31 first part
//   frameParts[P]  bits 22-31 Gob index, 12-21 dx, 2-11 dy (signed 10-bit),
//                  0-1 flip bits
//   boxStart[F]    first box of the frame
//   boxGeometry[B] bits 21-31 x, 10-20 y (signed 11-bit), 0-9 width
//   boxAttributes[B] bits 6-15 height, bit 5 circular, 0-4 box id
//   steps[T]       bits 22-31 frame index, 12-21 dx, 2-11 dy, 0-1
//                  interpolation bits
//   stepTiming[T]  bits 0-5 duration index, 6-7 marker level
//   durations[D]
// A set read from data that ends early, or whose counts cannot fit these
// fields, keeps the tables read so far; the later ones stay null.
#pragma once

#include "java_io_DataInputStream.h"
#include "ts_Frame.h"
#include "ts_Gob.h"

namespace ts {

class AnimSet : public virtual java::lang::Object {
    VM_DECLARE_CLASS(AnimSet, java::lang::Object)

public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using Gobs = VMArray<Gob, 1>;
    using Frames = VMArray<Frame, 1>;
    using Boxes = Paintable::Boxes;

    VMField<VMInts> animations;
    VMField<Gobs> gobs;
    VMField<VMInts> durationCache;
    VMField<VMInts> frames;
    VMField<VMInts> frameParts;
    VMField<VMChars> boxStart;
    jint id = 0;
    VMField<VMChars> boxAttributes;
    VMField<VMInts> boxGeometry;
    VMField<VMInts> steps;
    VMField<VMChars> durations;
    VMField<VMBytes> stepTiming;
    VMField<Frames> animationFrameCache;
    VMField<Frames> frameCache;

    // The stream being loaded, for the time of a load.
    static VMStatic<java::io::DataInputStream> stream;
    // Frame bounds while a frame is made.
    static VMStatic<VMInts> bounds;

    VMPtr<AnimSet> construct();

    // Reads the set of resource id; never throws: a failure ends reading.
    static VMPtr<AnimSet> loadAnimSet(jint id);
    // The same over a stream of the resource's bytes.
    static VMPtr<AnimSet> loadAnimSet(jint id, VMPtr<java::io::DataInputStream> in);

    virtual jint getFrameCount();
    virtual jint getStepCount(jint animation);
    virtual VMPtr<Frame> getFrame(jint frame);
    virtual jint getAnimationDuration(jint animation);
    virtual jint getCollisionRects(jint frame, jint transform, VMPtr<VMInts> rects);
    virtual jint getCollisionBoxes(jint frame, jint transform, VMPtr<Boxes> boxes);
    // 4 ints per part while a whole record fits: Gob index, its offset (dx,
    // dy) under the part's transform, that transform. Returns the part count.
    virtual jint getFrameParts(jint frame, jint transform, VMPtr<VMInts> out);
    virtual jint getAnimationCount();
    // out: left, top, width, height; a frame without parts gives
    // {2147483647, 2147483647, 0, 0}.
    virtual void getFrameBounds(jint frame, jint transform, VMPtr<VMInts> out);
    virtual jint getPartCount(jint frame);
    virtual void setGobs(VMPtr<Gobs> gobs);
    // The frame's boxes of that id (every box for boxId < 0) while the
    // output has room; returns the number written.
    virtual jint getCollisionBoxes(jint frame, jint transform, VMPtr<Boxes> boxes, jint boxId);
    virtual jint getCollisionRects(jint frame, jint transform, VMPtr<VMInts> rects, jint boxId);
    virtual VMPtr<AnimSet> copyWithGobs(VMPtr<Gobs> gobs);
    virtual jint getCollisionBoxCount(jint frame);
    virtual jint getId();
    virtual VMPtr<Gobs> getGobs();
    virtual void paintFrame(VMPtr<Graphics> g, jint frame, jint x, jint y, jint transform);
    virtual void getAnimationBounds(jint animation, jint transform, VMPtr<VMInts> out);
    virtual VMPtr<Frame> getAnimationFrame(jint animation);

    // Readers of the shared stream.
    static jint readCount();
    static jint readSignedValue();
    static jint readOffsetTable(VMPtr<VMInts> table);
    static void readPackedParts(VMPtr<VMInts> table);
    static jint transformedTop(jint x, jint y, jint w, jint h, jint transform) {
        return Paintable::transformedTop(x, y, w, h, transform);
    }

    static void _VM_clinit();

    void markReferences(uint32_t bits) override {
        Object::markReferences(bits);
        _VM_markRef(animations, bits);
        _VM_markRef(gobs, bits);
        _VM_markRef(durationCache, bits);
        _VM_markRef(frames, bits);
        _VM_markRef(frameParts, bits);
        _VM_markRef(boxStart, bits);
        _VM_markRef(boxAttributes, bits);
        _VM_markRef(boxGeometry, bits);
        _VM_markRef(steps, bits);
        _VM_markRef(durations, bits);
        _VM_markRef(stepTiming, bits);
        _VM_markRef(animationFrameCache, bits);
        _VM_markRef(frameCache, bits);
    }

    // Field extraction of the packed words.
    static jint signed10(jint word, jint shift) { return (word << (22 - shift)) >> 22; }
    static jint packedIndex(jint step) { return jint(uint32_t(step) >> 22); }
    static jint durationOf(jint timing) { return timing & 63; }
    static jint markerOf(jint timing) { return (timing >> 6) & 3; }

private:
    void read();
    // The cached frame of a frame index, or the whole-animation frame of an
    // animation index, made on first request.
    VMPtr<Frame> cachedFrame(VMField<Frames>& cache, VMPtr<VMInts> table, jint index, bool wholeAnimation);
};

}  // namespace ts

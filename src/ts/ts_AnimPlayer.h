// ts.AnimPlayer: plays one animation of an animation set at a position: it
// advances through the steps by elapsed time, moves by the motion offsets of
// the steps (under its own transform), draws the displayed step's frame and
// answers collision questions with that frame's boxes placed at its position.
// Positions and offsets are 16-bit and wrap. Without an animation (step
// count 0) it draws nothing, has no boxes and does not update.
//
// Play count: 0 stopped, n > 0 plays left including the current one,
// negative endless. Marker levels (0 to 3) of the steps: a step passed during
// an update is displayed unless a higher level is pending since the last
// paint; a level-3 step stops the advance for that update.
#pragma once

#include "ts_AnimSet.h"
#include "ts_Frame.h"
#include "ts_Gob.h"
#include "ts_graphics_CollisionBox.h"

namespace ts {

class AnimPlayer : public Paintable {
    VM_DECLARE_CLASS(AnimPlayer, Paintable)

public:
    jboolean flag = false;
    jshort userValue = 0;
    jbyte transform = 0;
    jbyte boxId = 0;  // -1 from construction on
    jshort oldY = 0;
    jshort oldX = 0;
    jshort y = 0;
    jshort x = 0;
    jbyte playCount = 0;
    VMField<Frame> animationFrame;
    jshort motionX = 0;
    jchar firstStep = 0;
    jshort step = 0;
    jshort motionY = 0;
    jchar elapsed = 0;
    jshort animation = 0;  // -1 until the first setAnimation
    jchar stepCount = 0;
    VMField<AnimSet> set;
    jshort displayedStep = 0;
    jbyte marker = 0;

    VMPtr<AnimPlayer> construct();

    // Paintable; sizes and offsets are those of the whole animation.
    using Paintable::getCollisionRects;
    jint getType() override;
    jint getHeight(jint t) override;
    // Draws moved by (dx, dy) with the transform XOR t.
    void paint(VMPtr<Graphics> g, jint dx, jint dy, jint t) override;
    // Draws the displayed step's frame and clears the pending marker.
    void paint(VMPtr<Graphics> g) override;
    jint getCollisionBoxes(jint t, VMPtr<Boxes> boxes, jint boxId) override;
    jint getCollisionRects(jint t, VMPtr<VMInts> rects, jint boxId) override;
    jint getWidth(jint t) override;
    jint getCollisionBoxCount() override;
    jint getOffsetX(jint t) override;
    jint getOffsetY(jint t) override;

    virtual VMPtr<Frame> getFrame();
    virtual jint getOldX();
    virtual void move(jint dx, jint dy);
    virtual jboolean collidesWithGob(VMPtr<Gob> gob, jint gobX, jint gobY, jint t);
    virtual jboolean collidesWithPlayer(VMPtr<AnimPlayer> other);
    virtual jboolean collidesWithPoint(jint px, jint py);
    virtual jboolean collidesWithBox(VMPtr<graphics::CollisionBox> box);
    // -1 for any endless count.
    virtual jint getPlayCount();
    virtual jint getTransform();
    virtual jboolean getFlag();
    virtual jint getUserValue();
    virtual jint getCollisionRects(VMPtr<VMInts> rects, jint boxId);
    virtual jint getCollisionBoxes(VMPtr<Boxes> boxes, jint boxId);
    virtual void setTransform(jint t);
    // The time since the current play of the animation began.
    virtual jint getElapsedTime();
    virtual void setStep(jint k);
    virtual VMPtr<Frame> getAnimationFrame();
    virtual jint getParts(VMPtr<VMInts> out);
    virtual jint getCollisionBoxes(VMPtr<Boxes> boxes);
    virtual jint getCollisionRects(VMPtr<VMInts> rects);
    virtual jint getStep();
    // Advances by dt; false once the animation has ended (or when there is
    // none).
    virtual jboolean update(jint dt);
    virtual VMPtr<VMArray<Gob, 1>> getGobs();
    virtual jint getAnimationDuration();
    virtual void paintCollisionBoxes(VMPtr<Graphics> g);
    virtual jint getMoveX();
    virtual void getBounds(VMPtr<VMInts> out);
    virtual jint getFrameIndex();
    virtual void setY(jint value);
    virtual void setAnimation(jint a);
    virtual jint getDisplayedStep();
    virtual jint getX();
    virtual jint getStepCount();
    virtual jint getMoveY();
    // The first of the displayed frame's boxes (under t, filtered by the
    // player's box id) moved by (px, py); out's width is 0 when there is none.
    virtual jboolean getCollisionBox(VMPtr<graphics::CollisionBox> out, jint px, jint py, jint t);
    virtual jboolean getCollisionBox(VMPtr<graphics::CollisionBox> out);
    virtual void setFlag(jboolean value);
    virtual void setOldX(jint value);
    virtual void xorTransform(jint t);
    virtual void setX(jint value);
    virtual jint getOldY();
    virtual void setOldY(jint value);
    virtual jint getY();
    virtual void setUserValue(jint value);
    virtual void setAnimSet(VMPtr<AnimSet> value);
    virtual VMPtr<AnimSet> getAnimSet();
    virtual jint getAnimation();

    void markReferences(uint32_t bits) override {
        Paintable::markReferences(bits);
        _VM_markRef(animationFrame, bits);
        _VM_markRef(set, bits);
    }

private:
    // The set's step word of step k of the animation.
    jint stepWord(jint k);
};

}  // namespace ts

// ts.AnimPlayer: plays one animation of an animation set at a position.
#include "ts_AnimPlayer.h"

namespace ts {

using graphics::CollisionBox;

VMPtr<AnimPlayer> AnimPlayer::construct() {
    Super::construct();
    animation = -1;
    boxId = -1;
    return this;
}

jint AnimPlayer::stepWord(jint k) { return set->steps->get(firstStep + k); }

jint AnimPlayer::getFrameIndex() { return AnimSet::packedIndex(stepWord(displayedStep)); }

jint AnimPlayer::getType() { return TYPE_PLAYER; }

jint AnimPlayer::getHeight(jint t) { return getAnimationFrame()->getHeight(t); }
jint AnimPlayer::getWidth(jint t) { return getAnimationFrame()->getWidth(t); }
jint AnimPlayer::getOffsetX(jint t) { return getAnimationFrame()->getOffsetX(t); }
jint AnimPlayer::getOffsetY(jint t) { return getAnimationFrame()->getOffsetY(t); }

void AnimPlayer::paint(VMPtr<Graphics> g, jint dx, jint dy, jint t) {
    struct Restore {
        AnimPlayer* player;
        jshort x, y;
        jbyte transform;
        ~Restore() {
            player->x = x;
            player->y = y;
            player->transform = transform;
        }
    } restore{this, x, y, transform};
    x = jshort(x + dx);
    y = jshort(y + dy);
    transform = jbyte(transform ^ t);
    paint(g);
}

void AnimPlayer::paint(VMPtr<Graphics> g) {
    if (set != nullptr && stepCount != 0) set->paintFrame(g, getFrameIndex(), x, y, transform);
    marker = 0;
}

jint AnimPlayer::getCollisionBoxes(jint t, VMPtr<Boxes> boxes, jint filter) {
    if (stepCount == 0) return 0;
    return set->getCollisionBoxes(getFrameIndex(), t, boxes, filter);
}

jint AnimPlayer::getCollisionRects(jint t, VMPtr<VMInts> rects, jint filter) {
    if (stepCount == 0) return 0;
    return set->getCollisionRects(getFrameIndex(), t, rects, filter);
}

jint AnimPlayer::getCollisionBoxCount() {
    if (stepCount == 0) return 0;
    return set->getCollisionBoxCount(getFrameIndex());
}

VMPtr<Frame> AnimPlayer::getFrame() { return set->getFrame(getFrameIndex()); }

jint AnimPlayer::getOldX() { return oldX; }

void AnimPlayer::move(jint dx, jint dy) {
    x = jshort(x + dx);
    y = jshort(y + dy);
}

jboolean AnimPlayer::collidesWithGob(VMPtr<Gob> gob, jint gobX, jint gobY, jint t) {
    _VM_ensureInitialized(CollisionBox::_VM_classRecord);
    VMPtr<CollisionBox> box = CollisionBox::scratch;
    if (gob == nullptr) _VM_throwNullPointer();
    gob->getCollisionBox(box, gobX, gobY, t);
    return collidesWithBox(box);
}

jboolean AnimPlayer::collidesWithPlayer(VMPtr<AnimPlayer> other) {
    if (other == nullptr) _VM_throwNullPointer();
    return collidesWith(x, y, transform, boxId, other, other->x, other->y, other->transform, other->boxId);
}

jboolean AnimPlayer::collidesWithPoint(jint px, jint py) {
    _VM_ensureInitialized(CollisionBox::_VM_classRecord);
    VMPtr<CollisionBox> box = CollisionBox::scratch;
    box->x = px;
    box->y = py;
    box->width = 1;
    box->height = 1;
    box->shape = CollisionBox::RECTANGLE;
    box->id = -1;
    return collidesWithBox(box);
}

jboolean AnimPlayer::collidesWithBox(VMPtr<CollisionBox> box) {
    if (box == nullptr) _VM_throwNullPointer();
    const jint n = getCollisionBoxCount();
    if (n < 1 || box->isEmpty()) {
        CollisionBox::clearHitBoxes();
        return false;
    }
    _VM_ensureInitialized(Paintable::_VM_classRecord);
    scratchBoxesA = CollisionBox::ensureCapacity(scratchBoxesA, n);
    VMPtr<Boxes> boxes = scratchBoxesA;
    const jint k = getCollisionBoxes(transform, boxes, boxId);
    for (jint i = 0; i < k; ++i) {
        VMPtr<CollisionBox> mine = boxes->get(i);
        mine->move(x, y);
        if (mine->collidesWithBox(box)) {
            CollisionBox::setHitBoxes(mine, box);
            return true;
        }
    }
    CollisionBox::clearHitBoxes();
    return false;
}

jint AnimPlayer::getPlayCount() { return playCount < 0 ? -1 : playCount; }
jint AnimPlayer::getTransform() { return transform; }
jboolean AnimPlayer::getFlag() { return flag; }
jint AnimPlayer::getUserValue() { return userValue; }

jint AnimPlayer::getCollisionRects(VMPtr<VMInts> rects, jint filter) {
    return getCollisionRects(transform, rects, filter);
}

jint AnimPlayer::getCollisionBoxes(VMPtr<Boxes> boxes, jint filter) {
    return getCollisionBoxes(transform, boxes, filter);
}

void AnimPlayer::setTransform(jint t) { transform = jbyte(t); }

jint AnimPlayer::getElapsedTime() {
    jint time = elapsed;
    if (stepCount == 0) return time;
    AnimSet* s = set.get();
    if (s == nullptr) _VM_throwNullPointer();
    VMPtr<VMArray<jbyte, 1>> timing = s->stepTiming;
    VMPtr<VMArray<jchar, 1>> durations = s->durations;
    for (jint k = 0; k < step; ++k) time += durations->get(AnimSet::durationOf(timing->get(firstStep + k)));
    return time;
}

void AnimPlayer::setStep(jint k) {
    elapsed = 0;
    step = jshort(k);
    displayedStep = jshort(k);
    if (stepCount == 0) {
        // No animation: there is no step to read (the last animation's
        // first step would lie past the step table).
        motionX = motionY = 0;
        marker = 0;
        return;
    }
    const jint w = stepWord(k);
    motionX = jshort(AnimSet::signed10(w, 12));
    motionY = jshort(AnimSet::signed10(w, 2));
    marker = jbyte(AnimSet::markerOf(set->stepTiming->get(firstStep + k)));
}

VMPtr<Frame> AnimPlayer::getAnimationFrame() {
    if (animationFrame == nullptr) animationFrame = set->getAnimationFrame(animation);
    return animationFrame;
}

jint AnimPlayer::getParts(VMPtr<VMInts> out) {
    if (stepCount == 0) return 0;
    return set->getFrameParts(getFrameIndex(), transform, out);
}

jint AnimPlayer::getCollisionBoxes(VMPtr<Boxes> boxes) { return getCollisionBoxes(transform, boxes, -1); }

jint AnimPlayer::getCollisionRects(VMPtr<VMInts> rects) { return getCollisionRects(transform, rects, -1); }

jint AnimPlayer::getStep() { return step; }

jboolean AnimPlayer::update(jint dt) {
    if (playCount == 0) {
        oldX = x;
        oldY = y;
        return false;
    }
    if (stepCount == 0) return false;
    AnimSet* s = set.get();
    if (s == nullptr) _VM_throwNullPointer();
    VMArray<jint, 1>* stepTable = s->steps.get();
    VMArray<jbyte, 1>* timing = s->stepTiming.get();
    VMArray<jchar, 1>* durations = s->durations.get();
    if (stepTable == nullptr || timing == nullptr || durations == nullptr) _VM_throwNullPointer();
    const jint first = firstStep, count = stepCount;
    auto duration = [&](jint k) -> jint { return durations->get(AnimSet::durationOf(timing->get(first + k))); };
    auto word = [&](jint k) -> jint { return stepTable->get(first + k); };

    jint shown = step;
    jint current = step;
    jint time = elapsed + dt;
    // Steps passed in a row without consuming time: once every step has
    // been passed so, the advance stops (an endless animation of steps that
    // last 0 would never end it otherwise).
    jint passedFree = 0;
    for (;;) {
        const jint d = duration(current);
        if (time < d) break;
        time -= d;
        passedFree = d == 0 ? passedFree + 1 : 0;
        ++current;
        if (current == count) {
            if (playCount > 0) playCount = jbyte(playCount - 1);
            if (playCount == 0) {
                current = count - 1;
                time = duration(current);
                break;
            }
            current = 0;
            const jint last = word(count - 1);
            motionX = jshort(motionX - AnimSet::signed10(last, 12));
            motionY = jshort(motionY - AnimSet::signed10(last, 2));
        }
        const jint m = AnimSet::markerOf(timing->get(first + current));
        if (marker <= m) {
            shown = current;
            marker = jbyte(m);
            if (m == 3) break;
        }
        if (passedFree >= count) break;
    }
    step = jshort(current);

    const jint w = word(current);
    jint tx = AnimSet::signed10(w, 12), ty = AnimSet::signed10(w, 2);
    const jint d = duration(current);
    // A step of duration 0 has no time to interpolate over.
    if ((w & 3) != 0 && playCount != 0 && (current + 1 != count || playCount != 1) && d != 0) {
        const bool wrap = current + 1 == count;
        const jint next = word(wrap ? 0 : current + 1);
        const jint f = (time * 4096) / d;
        tx = tx + ((((wrap ? tx : 0) + AnimSet::signed10(next, 12) - tx) * f) >> 12);
        ty = ty + ((((wrap ? ty : 0) + AnimSet::signed10(next, 2) - ty) * f) >> 12);
    }
    const jint mx = tx - motionX, my = ty - motionY;
    oldX = x;
    oldY = y;
    displayedStep = jshort(shown);
    elapsed = jchar(time);
    motionX = jshort(tx);
    motionY = jshort(ty);
    x = jshort(x + transformedLeft(mx, my, 0, 0, transform));
    y = jshort(y + transformedTop(mx, my, 0, 0, transform));
    return playCount != 0;
}

VMPtr<VMArray<Gob, 1>> AnimPlayer::getGobs() {
    if (set == nullptr) return nullptr;
    return set->getGobs();
}

jint AnimPlayer::getAnimationDuration() {
    if (set == nullptr) return 0;
    return set->getAnimationDuration(animation);
}

void AnimPlayer::paintCollisionBoxes(VMPtr<Graphics> g) {
    _VM_ensureInitialized(Paintable::_VM_classRecord);
    scratchBoxesA = CollisionBox::ensureCapacity(scratchBoxesA, getCollisionBoxCount());
    VMPtr<Boxes> boxes = scratchBoxesA;
    const jint k = getCollisionBoxes(transform, boxes, boxId);
    for (jint i = 0; i < k; ++i) {
        VMPtr<CollisionBox> box = boxes->get(i);
        box->paint(g, x, y, 0);
    }
}

jint AnimPlayer::getMoveX() { return x - oldX; }

void AnimPlayer::getBounds(VMPtr<VMInts> out) {
    if (stepCount == 0) return;
    set->getFrameBounds(getFrameIndex(), transform, out);
    (*out)[0] += x;
    (*out)[1] += y;
}

void AnimPlayer::setY(jint value) { y = jshort(value); }

void AnimPlayer::setAnimation(jint a) {
    animation = jshort(a);
    const jint e = set->animations->get(a);
    playCount = jbyte((e << 16) >> 26);
    stepCount = jchar(e & 0x3FF);
    firstStep = jchar(uint32_t(e) >> 16);
    setStep(0);
    motionX = motionY = 0;
}

jint AnimPlayer::getDisplayedStep() { return displayedStep; }
jint AnimPlayer::getX() { return x; }
jint AnimPlayer::getStepCount() { return stepCount; }
jint AnimPlayer::getMoveY() { return y - oldY; }

jboolean AnimPlayer::getCollisionBox(VMPtr<CollisionBox> out, jint px, jint py, jint t) {
    if (out == nullptr) _VM_throwNullPointer();
    out->width = 0;
    if (stepCount == 0) return false;
    _VM_ensureInitialized(Paintable::_VM_classRecord);
    scratchBoxesA = CollisionBox::ensureCapacity(scratchBoxesA, getCollisionBoxCount());
    VMPtr<Boxes> boxes = scratchBoxesA;
    if (getCollisionBoxes(t, boxes, boxId) < 1) return false;
    VMPtr<CollisionBox> first = boxes->get(0);
    first->copyTo(out);
    out->move(px, py);
    return true;
}

jboolean AnimPlayer::getCollisionBox(VMPtr<CollisionBox> out) { return getCollisionBox(out, x, y, transform); }

void AnimPlayer::setFlag(jboolean value) { flag = value; }
void AnimPlayer::setOldX(jint value) { oldX = jshort(value); }
void AnimPlayer::xorTransform(jint t) { transform = jbyte(transform ^ t); }
void AnimPlayer::setX(jint value) { x = jshort(value); }
jint AnimPlayer::getOldY() { return oldY; }
void AnimPlayer::setOldY(jint value) { oldY = jshort(value); }
jint AnimPlayer::getY() { return y; }
void AnimPlayer::setUserValue(jint value) { userValue = jshort(value); }
void AnimPlayer::setAnimSet(VMPtr<AnimSet> value) { set = value; }
VMPtr<AnimSet> AnimPlayer::getAnimSet() { return set; }
jint AnimPlayer::getAnimation() { return animation; }

}  // namespace ts

VM_REGISTER_CLASS(ts::AnimPlayer, .name = "ts.AnimPlayer", .newInstance = _VM_newInstanceOf<ts::AnimPlayer>)

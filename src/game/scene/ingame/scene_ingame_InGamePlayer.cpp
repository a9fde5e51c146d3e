// scene.ingame.InGamePlayer: the character the user steers.
#include "scene_ingame_InGamePlayer.h"

#include "com_ventrix_utility_ResManager.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGameTransportItem.h"

namespace scene::ingame {

using com::ventrix::utility::MyObject;
using com::ventrix::utility::ResManager;

namespace {

constexpr jint MIRRORED = 2;
// Body animations of the scripted sequences.
constexpr jint ANIM_PATH_STILL = 2;
constexpr jint ANIM_PATH_MOVE = 3;
constexpr jint ANIM_MOUNT = 4, ANIM_MOUNTED = 5;
constexpr jint ANIM_DISMOUNT = 6, ANIM_DISMOUNTED = 7;
constexpr jint ANIM_USE = 8, ANIM_USED = 9, ANIM_USE_AGAIN = 10, ANIM_USE_END = 11, ANIM_USE_DONE = 12;
constexpr jint ANIM_CHANGE = 17, ANIM_CHANGED = 18, ANIM_UNCHANGE = 21, ANIM_UNCHANGED = 22;
constexpr jint ANIM_CAUGHT = 25;
// Overlay animations (slot 1): the thought bubble rises (0, then 1), is shown
// (2) or is not there (3); and frames (slot 2).
constexpr jint OVERLAY_RISE = 0, OVERLAY_RISING = 1, OVERLAY_SHOW = 2, OVERLAY_REST = 3;
constexpr jint OUTFIT_MIRRORED = 24;  // outfit frames facing left follow those facing right
constexpr jint NO_FRAME = 0;          // the overlay frame that shows nothing
// The overlay frames named by an offset (the thought bubble's other
// pictures) follow the outfits' first frames.
constexpr jint OVERLAY_OFFSET_BASE = 7;
// A path point's place: entries 3 (x) and 4 (y) of its record.
constexpr jint POINT_X = 3, POINT_Y = 4;
// The overlay outfit of each level.
constexpr jint kOutfits[] = {14, 16, 20, 23, 24, 26, 28, 29, 31, 36, 37};

jint absolute(jint v) { return v < 0 ? -v : v; }

}  // namespace

VMPtr<InGamePlayer> InGamePlayer::construct() {
    Super::construct();
    engaged = false;
    interactionTarget = -1;
    interactionKind = -1;
    pendingOverlay = -1;
    disguiseTimer = 0;
    return this;
}

// --- small operations ------------------------------------------------------------------------

void InGamePlayer::beginInteraction(jint target, jint kind) {
    engaged = true;
    interactionTarget = target;
    interactionKind = kind;
}

void InGamePlayer::setPendingOverlay(jint anim) { pendingOverlay = anim; }
void InGamePlayer::setInteractionTarget(jint id) { interactionTarget = id; }
VMPtr<VMInts> InGamePlayer::getBox() { return box; }
jboolean InGamePlayer::isCaughtSettled() { return state == CAUGHT && phase == CAUGHT_SETTLED; }
jint InGamePlayer::getProgress() { return progress; }
void InGamePlayer::setPhase(jint p) { phase = p; }
jint InGamePlayer::getDisguiseTimer() { return disguiseTimer; }
jboolean InGamePlayer::isEngaged() { return state == CAUGHT ? false : engaged; }
jboolean InGamePlayer::isExposed() { return state == CAUGHT ? false : exposed; }
jint InGamePlayer::getInteractionTarget() { return interactionTarget; }
jint InGamePlayer::getState() { return state; }
jint InGamePlayer::getPhase() { return phase; }
void InGamePlayer::setEngaged(jboolean b) { engaged = b; }
void InGamePlayer::nextOutfit() { outfit += 1; }
void InGamePlayer::setPendingOverlayOffset(jint n) { pendingOverlay = n + OVERLAY_OFFSET_BASE; }
jint InGamePlayer::getInteractionKind() { return interactionKind; }
void InGamePlayer::raiseProgress(jint v) { progress = v > progress ? v : progress; }
void InGamePlayer::forgetProgress() { progress = -1; }
void InGamePlayer::setExposed(jboolean b) { exposed = b; }
void InGamePlayer::setInteractionKind(jint k) { interactionKind = k; }

void InGamePlayer::endInteraction() {
    engaged = false;
    interactionTarget = -1;
    interactionKind = -1;
}

void InGamePlayer::saveState() {
    savedState = progress;
    savedOutfit = outfit;
}

void InGamePlayer::setPath(VMPtr<VMIntRows> p) {
    if (p == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> copy = VMIntRows::create(p->length, 0);
    for (jint i = 0; i < p->length; ++i) {
        VMPtr<VMInts> row = p->get(i);
        if (row == nullptr) continue;  // a position the path's chain never reached
        VMPtr<VMInts> r = VMInts::create(row->length);
        for (jint k = 0; k < row->length; ++k) (*r)[k] = (*row)[k];
        copy->set(i, r);
    }
    path = copy;
}

void InGamePlayer::setPositionAll(jint x, jint y) {
    setSlotPosition(0, x, y);
    setSlotPosition(1, x, y);
    setSlotPosition(2, x, y);
}

void InGamePlayer::setState(jint s) {
    if (s == state) return;
    phase = 0;
    state = s;
    setSlotIndex(1, OVERLAY_REST);
    setSlotIndex(2, NO_FRAME);
    pendingOverlay = -1;
}

void InGamePlayer::chooseOutfit() {
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    const jint level = sam::SamGameSave::currentLevel;
    const jint count = jint(sizeof kOutfits / sizeof kOutfits[0]);
    outfit = level < 0 || level >= count ? -1 : kOutfits[level];
}

// --- position and input ---------------------------------------------------------------------

void InGamePlayer::syncPosition() {
    playerX = getSlotX(0);
    playerY = getSlotY(0);
    playerDX = 0;
    playerDY = 0;
    if (getSlotKind(0) == KIND_ANIMATION) {
        VMPtr<VMArray<ts::AnimPlayer, 1>> table = players;
        VMPtr<ts::AnimPlayer> body = table->get(0);
        playerDX = body->getMoveX();
        playerDY = body->getMoveY();
    }
    setSlotPosition(1, playerX, playerY);
    setSlotPosition(2, playerX, playerY);
    snapshotCollisionBox();
}

jint InGamePlayer::input() { return GamePad::getInstance()->getDirection(); }

void InGamePlayer::faceLeft() {
    if (getTransform(0) == 0) mirrorSlot(0);
}

void InGamePlayer::faceRight() {
    if (getTransform(0) == MIRRORED) mirrorSlot(0);
}

void InGamePlayer::reloadBody(jint anim) {
    const bool mirrored = getTransform(0) == MIRRORED;
    loadAnimation(0, BODY_IMAGE, BODY_SET, anim, playerX, playerY);
    if (mirrored) mirrorSlot(0);
    settleBody();
}

void InGamePlayer::settleBody() {
    if (getSlotKind(0) != KIND_ANIMATION) return;
    VMPtr<VMArray<ts::AnimPlayer, 1>> table = players;
    VMPtr<ts::AnimPlayer> body = table->get(0);
    body->setOldX(body->getX());
    body->setOldY(body->getY());
}

// --- the frame ------------------------------------------------------------------------------

void InGamePlayer::update(jint a, jint b) {
    if (frozen) return;
    // Riding some transports runs the rest of the frame at double speed.
    if (engaged && interactionKind == InGameTransportItem::STAIRS_DOWN) MyObject::frameTime = MyObject::frameTime * 2;
    if (state != HELD) InGameObject::update(a, b);
    syncPosition();
    switch (state) {
        case STANDING: updateStanding(); break;
        case WALKING: updateWalking(); break;
        case MOUNTING: updateMount(); break;
        case RIDING:
            updateRide();
            // A ride that ended this frame leaves the next state alone.
            if (state == RIDING) updateHold();
            break;
        case HELD: updateHold(); break;
        case DISMOUNTING: updateDismount(); break;
        case USING_ITEM: updateUseItem(); break;
        case DISGUISING: updateDisguise(); break;
        case CAUGHT: updateCaught(); break;
        case CHEERING: updateUndisguiseNow(); break;
        case DISGUISE_ENDING: updateDisguiseEnd(); break;
        case CLIMBING: updateClimb(); break;
        default: break;
    }
}

jboolean InGamePlayer::isBlocked() {
    const bool probe = getSlotIndex(0) != ANIM_WALK;
    if (probe) {
        setSlotIndex(0, ANIM_WALK);
        InGameObject::update(0, 0);
        syncPosition();
    }
    bool blocked = false;
    LevelLoader* level = levelLoader.get();
    VMArray<jint, 3>* rows = level == nullptr ? nullptr : level->floorAreas.get();
    // A row outside the table has no walls.
    VMIntRows* walls = rows == nullptr || depth < 0 || depth >= rows->length ? nullptr : rows->get(depth);
    if (walls != nullptr) {
        VMInts* body = box.get();
        const jint bx = (*body)[0], right = (*body)[0] + (*body)[2];
        for (jint i = 0; i < walls->length && !blocked; ++i) {
            VMInts* r = walls->get(i);
            if (r == nullptr || r->length < 4) continue;
            const jint left = (*r)[1], end = (*r)[1] + (*r)[3];
            blocked = (left < bx && bx < end) || (left < right && right < end);
        }
    }
    if (probe) setSlotIndex(0, ANIM_STAND);
    if (blocked || probe) setPositionAll(playerX - playerDX, playerY);
    return blocked;
}

void InGamePlayer::updateStanding() {
    if (getSlotIndex(0) != ANIM_STAND) setSlotIndex(0, ANIM_STAND);
    const jint d = input();
    if (d == GamePad::LEFT_HELD || d == GamePad::RIGHT_HELD) {
        if (d == GamePad::LEFT_HELD)
            faceLeft();
        else
            faceRight();
        if (!isBlocked()) {
            setSlotIndex(1, OVERLAY_REST);
            setSlotIndex(2, NO_FRAME);
            phase = 0;
            state = WALKING;
        }
        return;
    }
    switch (getSlotIndex(1)) {
        case OVERLAY_RISE:
        case OVERLAY_RISING:
            if (pendingOverlay != -1) setSlotIndex(1, OVERLAY_SHOW);
            break;
        case OVERLAY_SHOW:
            if (pendingOverlay == -1) {
                // No outfit (the tutorial) has no frame to show.
                if (getSlotIndex(2) == NO_FRAME && outfit != -1) {
                    if (getTransform(2) == MIRRORED) {
                        mirrorSlot(2);
                        setSlotIndex(2, outfit + OUTFIT_MIRRORED);
                    } else {
                        setSlotIndex(2, outfit);
                    }
                }
            } else if (pendingOverlay != getSlotIndex(2)) {
                setSlotIndex(2, pendingOverlay);
                pendingOverlay = -1;
            }
            break;
        case OVERLAY_REST: {
            const jint facing = getTransform(0);
            if (getTransform(1) != facing) mirrorSlot(1);
            if (getTransform(2) != facing) mirrorSlot(2);
            if (outfit != -1) {
                setSlotIndex(1, pendingOverlay != -1 ? OVERLAY_SHOW : OVERLAY_RISE);
                setSlotIndex(2, NO_FRAME);
            }
            break;
        }
        default: break;
    }
}

void InGamePlayer::updateWalking() {
    if (isBlocked()) {
        state = STANDING;
        phase = STAND_BLOCKED;
        setSlotIndex(0, ANIM_STAND);
        return;
    }
    const jint d = input();
    if (d == GamePad::LEFT_HELD || d == GamePad::RIGHT_HELD) {
        if (getSlotIndex(0) != ANIM_WALK) setSlotIndex(0, ANIM_WALK);
        if (d == GamePad::LEFT_HELD)
            faceLeft();
        else
            faceRight();
        return;
    }
    phase = 0;
    state = STANDING;
}

// --- climbing -------------------------------------------------------------------------------

jboolean InGamePlayer::hasPoint(jint i) {
    VMIntRows* points = path.get();
    if (points == nullptr || i < 0 || i >= points->length) return false;
    VMInts* p = points->get(i);
    return p != nullptr && p->length > POINT_Y;
}

jint InGamePlayer::pointX(jint i) { return (*path->get(i))[POINT_X]; }
jint InGamePlayer::pointY(jint i) { return (*path->get(i))[POINT_Y]; }

jint InGamePlayer::pathLength() {
    // A broken chain leaves its later positions empty: the path ends at its
    // last filled point.
    jint n = 0;
    while (hasPoint(n)) ++n;
    return n;
}

void InGamePlayer::startClimb(jboolean start) {
    if (interactionKind == InGameTransportItem::STAIRS_UP || interactionKind == InGameTransportItem::STAIRS_DOWN) {
        setSlotIndex(0, ANIM_STAND);
        state = CLIMBING;
    } else if (interactionKind == InGameTransportItem::ELEVATOR || interactionKind == InGameTransportItem::PASSAGE) {
        setSlotIndex(0, ANIM_STAND);
        state = MOUNTING;
    }
    const jint n = pathLength();
    if (!start) {
        phase = CLIMB_STILL_FROM_LAST;
        pathIndex = n - 1;
        pathIndexDown = n;
    } else {
        pathIndexDown = -1;
        pathIndex = 0;
        phase = CLIMB_STILL_FROM_FIRST;
    }
    fromStart = start;
    exposed = false;
}

void InGamePlayer::slopeStep(jint i) {
    const jint x = pointX(i), y = pointY(i);
    const jint t = getTransform(0);
    if ((x < playerX && t == 0) || (x >= playerX && t == MIRRORED)) mirrorSlot(0);
    if (y == playerY) return;
    // The height changes in proportion to the part of the way left that
    // this frame's step covered; a body that did not move changes nothing.
    const jint way = (x - playerX) + playerDX;
    if (way == 0) return;
    setPositionAll(playerX, playerY + ((y - playerY) * playerDX) / way);
}

// The two ends a climb can be entered at mirror each other: from the first
// point "on" is up the path (rising indices), from the last one down it.
const InGamePlayer::ClimbEnd InGamePlayer::FIRST_END = {.still = CLIMB_STILL_FROM_FIRST,
                                                        .movingOn = CLIMB_ON_FROM_FIRST,
                                                        .movingBack = CLIMB_BACK_FROM_FIRST,
                                                        .onKey = GamePad::UP_HELD,
                                                        .backKey = GamePad::DOWN_HELD,
                                                        .on = 1};
const InGamePlayer::ClimbEnd InGamePlayer::LAST_END = {.still = CLIMB_STILL_FROM_LAST,
                                                       .movingOn = CLIMB_ON_FROM_LAST,
                                                       .movingBack = CLIMB_BACK_FROM_LAST,
                                                       .onKey = GamePad::DOWN_HELD,
                                                       .backKey = GamePad::UP_HELD,
                                                       .on = -1};

void InGamePlayer::updateClimb() {
    const jint d = input();
    switch (phase) {
        case CLIMB_STILL_FROM_FIRST:
        case CLIMB_ON_FROM_FIRST:
        case CLIMB_BACK_FROM_FIRST: climbFrom(FIRST_END, d); break;
        case CLIMB_OFF:
            endInteraction();
            setState(WALKING);
            pathIndex = -1;
            pathIndexDown = -1;
            break;
        case CLIMB_STILL_FROM_LAST:
        case CLIMB_ON_FROM_LAST:
        case CLIMB_BACK_FROM_LAST: climbFrom(LAST_END, d); break;
        default: break;
    }
}

void InGamePlayer::climbFrom(const ClimbEnd& end, jint d) {
    const jint n = pathLength();
    // The point the climb was entered at.
    const jint entry = end.on > 0 ? 0 : n - 1;
    if (phase == end.still && (pathIndex < 0 || pathIndex >= n)) {
        // Every point passed, the key let go on the last one: the climb is
        // over, whatever is held, rather than waiting for the climbing key.
        phase = CLIMB_OFF;
    } else if (phase == end.still) {
        if (d == end.onKey) {
            phase = end.movingOn;
        } else if (d == end.backKey) {
            phase = end.movingBack;
        } else {
            faceHeld(d);
            if (getSlotIndex(0) != ANIM_STAND) setSlotIndex(0, ANIM_STAND);
        }
    } else if (phase == end.movingOn) {
        // At the entry point the body walks; anywhere else it climbs.
        if (d == end.onKey) {
            setSlotIndex(0, pathIndex == entry ? ANIM_WALK : ANIM_PATH_MOVE);
        } else {
            phase = end.still;
            setSlotIndex(0, pathIndex != entry ? ANIM_PATH_STILL : ANIM_STAND);
        }
        moveAlong(pathIndex, pathIndexDown, end.on, n);
    } else {
        if (d == end.backKey) {
            setSlotIndex(0, ANIM_PATH_MOVE);
        } else {
            phase = end.still;
            setSlotIndex(0, ANIM_PATH_STILL);
        }
        moveAlong(pathIndexDown, pathIndex, -end.on, n);
    }
}

void InGamePlayer::faceHeld(jint d) {
    if (d == GamePad::LEFT_HELD)
        faceLeft();
    else if (d == GamePad::RIGHT_HELD)
        faceRight();
}

void InGamePlayer::moveAlong(jint& ahead, jint& behind, jint direction, jint n) {
    if (ahead < 0 || ahead >= n) {
        phase = CLIMB_OFF;
    } else if (absolute(playerX - pointX(ahead)) < absolute(playerDX)) {
        setPositionAll(pointX(ahead), pointY(ahead));
        behind = ahead;
        ahead += direction;
    } else {
        slopeStep(ahead);
    }
}

// --- scripted sequences ---------------------------------------------------------------------

void InGamePlayer::updateMount() {
    switch (phase) {
        case MOUNT_WAIT: setSlotIndex(0, ANIM_STAND); break;
        case MOUNT_START:
            setSlotIndex(0, ANIM_MOUNT);
            if (interactionKind == InGameTransportItem::PASSAGE && hasPoint(0)) setPositionAll(pointX(0), pointY(0));
            phase = MOUNT_BOARDING;
            break;
        case MOUNT_BOARDING:
            if (getSlotIndex(0) == ANIM_MOUNTED) setState(RIDING);
            break;
        default: break;
    }
}

void InGamePlayer::updateRide() {
    switch (phase) {
        case RIDE_BOARDED:
            if (interactionKind == InGameTransportItem::PASSAGE && hasPoint(1)) setPositionAll(pointX(1), pointY(1));
            phase = RIDE_UNDERWAY;
            break;
        case RIDE_UNDERWAY:
            if (interactionKind == InGameTransportItem::PASSAGE && absolute(playerX - getOriginX()) <= viewWidth / 3 &&
                absolute(playerY - getOriginY()) <= viewHeight / 3)
                phase = RIDE_ARRIVED;
            break;
        case RIDE_ARRIVED: setState(DISMOUNTING); break;
        default: break;
    }
}

void InGamePlayer::updateHold() {
    switch (phase) {
        case RIDE_START:
            setSlotIndex(0, ANIM_STAND);
            phase = RIDE_BOARDED;
            break;
        case RIDE_ARRIVED:
            setSlotIndex(0, ANIM_MOUNTED);
            setState(DISMOUNTING);
            break;
        default: break;
    }
}

void InGamePlayer::updateDismount() {
    switch (phase) {
        case DISMOUNT_START:
            setSlotIndex(0, ANIM_DISMOUNT);
            phase = DISMOUNT_STEPPING;
            break;
        case DISMOUNT_STEPPING:
            if (getSlotIndex(0) == ANIM_DISMOUNTED) phase = DISMOUNT_OUT;
            break;
        case DISMOUNT_DONE:
            endInteraction();
            setState(STANDING);
            break;
        default: break;
    }
}

void InGamePlayer::updateUseItem() {
    switch (phase) {
        case USE_START:
            setSlotIndex(0, ANIM_USE);
            phase = USE_REACHING;
            break;
        case USE_REACHING:
            if (getSlotIndex(0) == ANIM_USED) phase = USE_WAIT;
            break;
        case USE_STRIKE: {
            VMPtr<com::ventrix::utility::AudioAndVibration> a = audio;
            a->vibrateIfEnabled(1);
            phase = USE_AGAIN;
            break;
        }
        case USE_AGAIN:
            setSlotIndex(0, ANIM_USE_AGAIN);
            phase = USE_WAIT_AGAIN;
            break;
        case USE_END:
            setSlotIndex(0, ANIM_USE_END);
            phase = USE_ENDING;
            break;
        case USE_ENDING:
            if (getSlotIndex(0) == ANIM_USE_DONE) {
                endInteraction();
                setState(STANDING);
            }
            break;
        default: break;
    }
}

void InGamePlayer::updateDisguise() {
    switch (phase) {
        case DISGUISE_START:
            setSlotIndex(0, ANIM_CHANGE);
            phase = DISGUISE_CHANGING;
            break;
        case DISGUISE_CHANGING:
            if (getSlotIndex(0) == ANIM_CHANGED) phase = DISGUISE_TAKEN;
            break;
        case DISGUISE_TAKEN: phase = DISGUISE_DRESSING; break;
        case DISGUISE_DRESSING:
            if (getSlotIndex(0) == ANIM_UNCHANGED) {
                disguiseTimer = DISGUISE_TIME;
                endInteraction();
                setState(STANDING);
            }
            break;
        default: break;
    }
}

void InGamePlayer::updateCaught() {
    if (phase == CAUGHT_START) {
        setSlotIndex(0, ANIM_CAUGHT);
        phase = CAUGHT_FALLING;
    } else if (phase == CAUGHT_FALLING) {
        phase = CAUGHT_SETTLED;
    }
}

void InGamePlayer::updateUndisguiseNow() {
    if (phase != CHEER_START) return;
    reloadBody(ANIM_CHEER);
    phase = CHEER_SHOWN;
}

void InGamePlayer::tickDisguise() {
    if (state == DISGUISE_ENDING) return;
    disguiseTimer -= MyObject::frameTime;
    if (disguiseTimer >= 1) return;
    phase = state;  // where the disguise's end returns to
    disguiseTimer = 0;
    state = DISGUISE_ENDING;
    setSlotIndex(0, ANIM_CHANGE);
}

void InGamePlayer::updateDisguiseEnd() {
    const jint anim = getSlotIndex(0);
    if (anim == ANIM_CHANGED) {
        VMPtr<com::ventrix::utility::AudioAndVibration> a = audio;
        a->vibrate(0, 0);
        reloadBody(ANIM_UNCHANGE);
    } else if (anim == ANIM_UNCHANGED) {
        setState(phase);
    }
}

// --- level start ----------------------------------------------------------------------------

jint InGamePlayer::bodyLook() {
    const jint index = getImageIndex(0);
    VMArray<jint, 2>* keys = ResManager::slotKeys.get();
    if (index < 0 || keys == nullptr) return -1;
    VMInts* ids = keys->get(ResManager::KEY_GOBS);
    return index < ids->length ? (*ids)[index] : -1;
}

void InGamePlayer::respawn(jint anim, jint x, jint y) {
    if (slotCount == 0) {
        setSlotCapacity(3);
        addAnimation(BODY_IMAGE, BODY_SET, anim, x, y);
        addAnimation(OVERLAY_IMAGE, OVERLAY_SET, OVERLAY_REST, x, y);
        addFrame(OVERLAY_IMAGE, OVERLAY_SET, NO_FRAME, x, y);
    } else if (progress == -1) {
        loadAnimation(0, BODY_IMAGE, BODY_SET, anim, x, y);
        progress = 0;
        disguiseTimer = 0;
        chooseOutfit();
    } else {
        setSlotIndex(0, anim);
        setPositionAll(x, y);
        progress = savedState;
        outfit = savedOutfit;
        // Restarted still wearing someone's outfit: the disguise runs anew.
        if (bodyLook() != BODY_IMAGE) disguiseTimer = DISGUISE_TIME;
    }
    settleBody();
    setLayer(PLAYER_LAYER);
    state = STANDING;
    phase = 0;
    syncPosition();
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGamePlayer, .name = "scene.ingame.InGamePlayer",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGamePlayer>)

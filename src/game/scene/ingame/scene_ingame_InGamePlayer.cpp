// scene.ingame.InGamePlayer: the character the user steers.
#include "scene_ingame_InGamePlayer.h"

#include "com_ventrix_utility_ResManager.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_GamePad.h"

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
constexpr jint ANIM_CAUGHT = 25, ANIM_UNMASKED = 26;
// Overlay animations (slot 1) and frames (slot 2).
constexpr jint OVERLAY_SHOW = 2, OVERLAY_REST = 3;
constexpr jint OUTFIT_MIRRORED = 24;  // outfit frames facing left follow those facing right
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
jboolean InGamePlayer::isCaughtSettled() { return state == CAUGHT && phase == 2; }
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
void InGamePlayer::setPendingOverlayOffset(jint n) { pendingOverlay = n + 7; }
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
    setSlotIndex(2, 0);
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
    if (engaged && interactionKind == 1) MyObject::frameTime = MyObject::frameTime * 2;
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
        case UNDISGUISED: updateUndisguiseNow(); break;
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
            setSlotIndex(2, 0);
            phase = 0;
            state = WALKING;
        }
        return;
    }
    switch (getSlotIndex(1)) {
        case 0:
        case 1:
            if (pendingOverlay != -1) setSlotIndex(1, OVERLAY_SHOW);
            break;
        case OVERLAY_SHOW:
            if (pendingOverlay == -1) {
                // No outfit (the tutorial) has no frame to show.
                if (getSlotIndex(2) == 0 && outfit != -1) {
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
                setSlotIndex(1, pendingOverlay != -1 ? OVERLAY_SHOW : 0);
                setSlotIndex(2, 0);
            }
            break;
        }
        default: break;
    }
}

void InGamePlayer::updateWalking() {
    if (isBlocked()) {
        state = STANDING;
        phase = 1;
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
    return p != nullptr && p->length >= 5;
}

jint InGamePlayer::pointX(jint i) { return (*path->get(i))[3]; }
jint InGamePlayer::pointY(jint i) { return (*path->get(i))[4]; }

jint InGamePlayer::pathLength() {
    // A broken chain leaves its later positions empty: the path ends at its
    // last filled point.
    jint n = 0;
    while (hasPoint(n)) ++n;
    return n;
}

void InGamePlayer::startClimb(jboolean start) {
    if (interactionKind == 0 || interactionKind == 1) {
        setSlotIndex(0, ANIM_STAND);
        state = CLIMBING;
    } else if (interactionKind == 2 || interactionKind == 3) {
        setSlotIndex(0, ANIM_STAND);
        state = MOUNTING;
    }
    const jint n = pathLength();
    if (!start) {
        phase = 4;
        pathIndex = n - 1;
        pathIndexDown = n;
    } else {
        pathIndexDown = -1;
        pathIndex = 0;
        phase = 0;
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

void InGamePlayer::updateClimb() {
    const jint d = input();
    const bool up = d == GamePad::UP_HELD, down = d == GamePad::DOWN_HELD;
    const jint n = pathLength();
    const jint last = n - 1;
    auto faceHeld = [&] {
        if (d == GamePad::LEFT_HELD)
            faceLeft();
        else if (d == GamePad::RIGHT_HELD)
            faceRight();
    };
    auto standStill = [&] {
        if (getSlotIndex(0) != ANIM_STAND) setSlotIndex(0, ANIM_STAND);
    };
    auto reached = [&](jint i) { return absolute(playerX - pointX(i)) < absolute(playerDX); };
    // Follows the path towards point `ahead`: past either end the climb ends
    // (phase 3); once the point is reached the body stands on it and the next
    // point in `direction` becomes the one ahead; otherwise one slope step.
    auto moveAlong = [&](jint& ahead, jint& behind, jint direction) {
        if (ahead < 0 || ahead >= n) {
            phase = 3;
        } else if (reached(ahead)) {
            setPositionAll(pointX(ahead), pointY(ahead));
            behind = ahead;
            ahead += direction;
        } else {
            slopeStep(ahead);
        }
    };
    switch (phase) {
        case 0:
            if (up)
                phase = 1;
            else if (down)
                phase = 2;
            else {
                faceHeld();
                standStill();
            }
            break;
        case 1:
            if (up) {
                setSlotIndex(0, pathIndex == 0 ? ANIM_WALK : ANIM_PATH_MOVE);
            } else {
                phase = 0;
                setSlotIndex(0, pathIndex != 0 ? ANIM_PATH_STILL : ANIM_STAND);
            }
            moveAlong(pathIndex, pathIndexDown, 1);
            break;
        case 2:
            if (down) {
                setSlotIndex(0, ANIM_PATH_MOVE);
            } else {
                phase = 0;
                setSlotIndex(0, ANIM_PATH_STILL);
            }
            moveAlong(pathIndexDown, pathIndex, -1);
            break;
        case 3:
            endInteraction();
            setState(WALKING);
            pathIndex = -1;
            pathIndexDown = -1;
            break;
        case 4:
            if (down)
                phase = 5;
            else if (up)
                phase = 6;
            else {
                faceHeld();
                standStill();
            }
            break;
        case 5:
            if (down) {
                setSlotIndex(0, pathIndex == last ? ANIM_WALK : ANIM_PATH_MOVE);
            } else {
                phase = 4;
                setSlotIndex(0, pathIndex != last ? ANIM_PATH_STILL : ANIM_STAND);
            }
            moveAlong(pathIndex, pathIndexDown, -1);
            break;
        case 6:
            if (up) {
                setSlotIndex(0, ANIM_PATH_MOVE);
            } else {
                phase = 4;
                setSlotIndex(0, ANIM_PATH_STILL);
            }
            moveAlong(pathIndexDown, pathIndex, 1);
            break;
        default: break;
    }
}

// --- scripted sequences ---------------------------------------------------------------------

void InGamePlayer::updateMount() {
    switch (phase) {
        case 0: setSlotIndex(0, ANIM_STAND); break;
        case 1:
            setSlotIndex(0, ANIM_MOUNT);
            if (interactionKind == 3 && hasPoint(0)) setPositionAll(pointX(0), pointY(0));
            phase = 2;
            break;
        case 2:
            if (getSlotIndex(0) == ANIM_MOUNTED) setState(RIDING);
            break;
        default: break;
    }
}

void InGamePlayer::updateRide() {
    switch (phase) {
        case 1:
            if (interactionKind == 3 && hasPoint(1)) setPositionAll(pointX(1), pointY(1));
            phase = 2;
            break;
        case 2:
            if (interactionKind == 3 && absolute(playerX - getOriginX()) <= viewWidth / 3 &&
                absolute(playerY - getOriginY()) <= viewHeight / 3)
                phase = 3;
            break;
        case 3: setState(DISMOUNTING); break;
        default: break;
    }
}

void InGamePlayer::updateHold() {
    switch (phase) {
        case 0:
            setSlotIndex(0, ANIM_STAND);
            phase = 1;
            break;
        case 3:
            setSlotIndex(0, ANIM_MOUNTED);
            setState(DISMOUNTING);
            break;
        default: break;
    }
}

void InGamePlayer::updateDismount() {
    switch (phase) {
        case 1:
            setSlotIndex(0, ANIM_DISMOUNT);
            phase = 2;
            break;
        case 2:
            if (getSlotIndex(0) == ANIM_DISMOUNTED) phase = 3;
            break;
        case 4:
            endInteraction();
            setState(STANDING);
            break;
        default: break;
    }
}

void InGamePlayer::updateUseItem() {
    switch (phase) {
        case 0:
            setSlotIndex(0, ANIM_USE);
            phase = 1;
            break;
        case 1:
            if (getSlotIndex(0) == ANIM_USED) phase = 2;
            break;
        case 3: {
            VMPtr<com::ventrix::utility::AudioAndVibration> a = audio;
            a->vibrateIfEnabled(1);
            phase = 4;
            break;
        }
        case 4:
            setSlotIndex(0, ANIM_USE_AGAIN);
            phase = 5;
            break;
        case 6:
            setSlotIndex(0, ANIM_USE_END);
            phase = 7;
            break;
        case 7:
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
        case 0:
            setSlotIndex(0, ANIM_CHANGE);
            phase = 1;
            break;
        case 1:
            if (getSlotIndex(0) == ANIM_CHANGED) phase = 2;
            break;
        case 2: phase = 3; break;
        case 3:
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
    if (phase == 0) {
        setSlotIndex(0, ANIM_CAUGHT);
        phase = 1;
    } else if (phase == 1) {
        phase = 2;
    }
}

void InGamePlayer::updateUndisguiseNow() {
    if (phase != 0) return;
    reloadBody(ANIM_UNMASKED);
    phase = 1;
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
        addFrame(OVERLAY_IMAGE, OVERLAY_SET, 0, x, y);
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

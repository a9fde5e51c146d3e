// scene.ingame.InGamePlayer: the character the user steers. The body
// animation moves the sprite; this class only picks animations, facing and
// positions, undoes a step that ran into a wall, follows climbing paths with
// the height corrected on slopes, and plays the scripted sequences (mount,
// ride and leave a transport, use an item, put on and lose a disguise, be
// caught) whose waiting phases other objects release with setPhase.
//
// Slots: 0 the body (animation), 1 the overlay animation, 2 the overlay frame;
// 1 and 2 follow the body every frame. Input: the game pad's held codes
// (6 up, 7 down, 8 left, 9 right).
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGamePlayer : public InGameObject {
    VM_DECLARE_CLASS(InGamePlayer, InGameObject)

public:
    // States (`state`); the others (2, 3, 8, 14 to 23) only animate.
    static constexpr jint STANDING = 0;
    static constexpr jint WALKING = 1;
    static constexpr jint MOUNTING = 4;
    static constexpr jint RIDING = 5;
    static constexpr jint HELD = 6;  // by a transport; the body does not animate
    static constexpr jint DISMOUNTING = 7;
    static constexpr jint USING_ITEM = 9;
    static constexpr jint DISGUISING = 10;
    static constexpr jint CAUGHT = 11;
    static constexpr jint CHEERING = 12;  // the level is done: the agent's own look, cheering
    static constexpr jint DISGUISE_ENDING = 13;
    static constexpr jint CLIMBING = 24;

    // Phases (`phase`), by state. A phase that waits is left when another
    // object (a transport, a watcher) calls setPhase.
    // Standing: stopped by a wall while walking.
    static constexpr jint STAND_BLOCKED = 1;
    // Mounting: wait for the transport, step in, wait for the body to be in.
    static constexpr jint MOUNT_WAIT = 0, MOUNT_START = 1, MOUNT_BOARDING = 2;
    // Riding, and held (which runs the same hold steps): the body still, then
    // waiting; the ride underway; arrived.
    static constexpr jint RIDE_START = 0, RIDE_BOARDED = 1, RIDE_UNDERWAY = 2, RIDE_ARRIVED = 3;
    // Dismounting: wait for the transport, step out, wait for the body to be
    // out, wait for the transport again, done.
    static constexpr jint DISMOUNT_WAIT = 0, DISMOUNT_START = 1, DISMOUNT_STEPPING = 2, DISMOUNT_OUT = 3,
                          DISMOUNT_DONE = 4;
    // Using an item on a watcher: reach, wait for the watcher, strike, again,
    // wait for the watcher, finish.
    static constexpr jint USE_START = 0, USE_REACHING = 1, USE_WAIT = 2, USE_STRIKE = 3, USE_AGAIN = 4,
                          USE_WAIT_AGAIN = 5, USE_END = 6, USE_ENDING = 7;
    // Putting on a watcher's outfit: change, the watcher's outfit taken over,
    // dressing.
    static constexpr jint DISGUISE_START = 0, DISGUISE_CHANGING = 1, DISGUISE_TAKEN = 2, DISGUISE_DRESSING = 3;
    // Caught: fall, then settled (the scene shows its panel).
    static constexpr jint CAUGHT_START = 0, CAUGHT_FALLING = 1, CAUGHT_SETTLED = 2;
    // Cheering: back in the agent's own look, then cheering.
    static constexpr jint CHEER_START = 0, CHEER_SHOWN = 1;
    // (A disguise ending keeps in `phase` the state to go back to.)
    // Climbing, entered at the path's first point or at its last: standing
    // on the path, moving on away from the end entered at, moving back
    // toward it; off the path at either end.
    static constexpr jint CLIMB_STILL_FROM_FIRST = 0, CLIMB_ON_FROM_FIRST = 1, CLIMB_BACK_FROM_FIRST = 2;
    static constexpr jint CLIMB_OFF = 3;
    static constexpr jint CLIMB_STILL_FROM_LAST = 4, CLIMB_ON_FROM_LAST = 5, CLIMB_BACK_FROM_LAST = 6;

    // Resources: the body and the overlays.
    static constexpr jint BODY_IMAGE = 0x3406;
    static constexpr jint BODY_SET = 0x3402;
    static constexpr jint OVERLAY_IMAGE = 0x3404;
    static constexpr jint OVERLAY_SET = 0x3400;
    // Body animations.
    static constexpr jint ANIM_STAND = 0;
    static constexpr jint ANIM_WALK = 1;
    static constexpr jint ANIM_CHEER = 26;  // played once, then ANIM_CHEERING
    static constexpr jint ANIM_CHEERING = 27;
    // Milliseconds a disguise lasts.
    static constexpr jint DISGUISE_TIME = 5000;
    // Drawing layer.
    static constexpr jint PLAYER_LAYER = 70;

    jint pathIndex = 0;       // next point climbing up; -1 none
    jint savedOutfit = 0;     // outfit kept by saveState
    VMField<VMIntRows> path;  // the climbing path; entries 3, 4 of a point are x, y
    jint phase = 0;           // step inside the state; 0 on every state change
    jint pendingOverlay = 0;  // animation wanted on slot 2; -1 none
    jint outfit = 0;          // overlay animation of the level; -1 none
    jboolean exposed = false;
    jint state = 0;
    jint interactionKind = 0;    // -1 none; a transport passes its type 0 to 3
    jint progress = 0;           // highest raiseProgress; -1: the next respawn starts afresh
    jint interactionTarget = 0;  // -1 none
    jboolean fromStart = false;  // the climb began at the path's first point
    jboolean engaged = false;    // an interaction is in progress
    jint pathIndexDown = 0;      // next point climbing down; -1 none
    jint disguiseTimer = 0;      // milliseconds of disguise left

    VMPtr<InGamePlayer> construct();

    // MyObject: one frame (nothing while frozen).
    void update(jint a, jint b) override;
    // InGameObject: keeps progress and outfit for a restart.
    void saveState() override;

    virtual void beginInteraction(jint target, jint kind);
    virtual void setPendingOverlay(jint anim);
    virtual void setInteractionTarget(jint id);
    virtual VMPtr<VMInts> getBox();
    // In state 11, phase 2.
    virtual jboolean isCaughtSettled();
    virtual jint getProgress();
    // Releases a waiting phase.
    virtual void setPhase(jint p);
    // Enters the path at its first point (true) or its last one (false).
    virtual void startClimb(jboolean fromStart);
    virtual jint getDisguiseTimer();
    // False in state 11.
    virtual jboolean isEngaged();
    // Keeps a deep copy of p.
    virtual void setPath(VMPtr<VMIntRows> p);
    // False in state 11.
    virtual jboolean isExposed();
    // Places slots 0, 1 and 2.
    virtual void setPositionAll(jint x, jint y);
    virtual jint getInteractionTarget();
    // Counts the disguise down by the frame time; at 0 it starts wearing off
    // (state 13).
    virtual void tickDisguise();
    virtual jint getState();
    // Level start and restart: a fresh start when progress is -1, else back
    // to what saveState kept.
    virtual void respawn(jint anim, jint x, jint y);
    virtual jint getPhase();
    virtual void setEngaged(jboolean b);
    virtual void nextOutfit();
    virtual void updateDisguiseEnd();
    // Publishes the body's position and step, moves the overlays along and
    // takes the body box.
    virtual void syncPosition();
    virtual void setPendingOverlayOffset(jint n);
    virtual void endInteraction();
    // The outfit of the level being played; -1 for the tutorial.
    virtual void chooseOutfit();
    // A different state: phase 0, overlays reset; the same state: nothing.
    virtual void setState(jint s);
    virtual jint getInteractionKind();
    virtual void raiseProgress(jint v);
    // Forgets the progress (keys taken): the next respawn starts afresh, in
    // the agent's own clothes and without disguise time.
    void forgetProgress();
    virtual void updateUndisguiseNow();
    virtual void updateCaught();
    virtual void setExposed(jboolean b);
    virtual void setInteractionKind(jint k);

    // The per-state handlers the update runs.
    void updateStanding();
    void updateWalking();
    void updateMount();
    void updateRide();
    void updateHold();
    void updateDismount();
    void updateUseItem();
    void updateDisguise();
    void updateClimb();
    // Whether the body stands in a wall of its row. When it is not walking
    // it probes one walk step first; the probe is always undone, and a
    // blocked walker is pushed back by its last step.
    jboolean isBlocked();

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(path, bits);
    }

private:
    // The game pad's code of this frame.
    jint input();
    void faceLeft();
    void faceRight();
    // One end a climb can be entered at: the phases there (standing, moving
    // on away from it, moving back toward it), the held codes that move on
    // and back, and the way "on" runs through the path's points (+1 from
    // the first point, -1 from the last).
    struct ClimbEnd {
        jint still, movingOn, movingBack;
        jint onKey, backKey;
        jint on;
    };
    static const ClimbEnd FIRST_END, LAST_END;
    // A climbing frame from one end, with the held code d.
    void climbFrom(const ClimbEnd& end, jint d);
    // Faces the way held (left or right), if any.
    void faceHeld(jint d);
    // Follows the path toward point `ahead` of n: past either end the climb
    // ends (CLIMB_OFF); once the point is reached the body stands on it, it
    // becomes `behind` and the next point in `direction` the one ahead;
    // otherwise one slope step.
    void moveAlong(jint& ahead, jint& behind, jint direction, jint n);
    // Climbing toward point i: face it and correct the height.
    void slopeStep(jint i);
    // Whether point i of the path can be reached (inside the path and
    // filled).
    jboolean hasPoint(jint i);
    // Points up to the first empty position (a broken chain ends there).
    jint pathLength();
    jint pointX(jint i);
    jint pointY(jint i);
    // Slot 0 from the body resources with anim at the body's place, keeping
    // its facing.
    void reloadBody(jint anim);
    // The body has made no step yet (after a load or a jump).
    void settleBody();
    // The image resource id of the body's look, -1 when none.
    jint bodyLook();
};

}  // namespace scene::ingame

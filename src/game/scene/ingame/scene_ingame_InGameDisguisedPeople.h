// scene.ingame.InGameDisguisedPeople: a watcher. It walks up and down its
// patrol range on its row (or stands), turns at walls, at closed doors and
// at the ends of the range, opens the doors its outfit may pass, and
// watches the player on its row by comparing the player's look with its own:
//   - the sight box (2) makes it suspicious (the player's disguise runs
//     down) or raises the alarm (it chases: walks on, ignoring its range and
//     passing every unlocked door, until it is back home after a turn);
//   - the body box (0) catches the player during a chase;
//   - the back boxes (1, 3) let the player, with the action button, knock it
//     out from behind (the player's state 9) or take its outfit (state 10).
//
// The look of a body is the image resource id its slot 0 shows (through the
// resource cache); the player's own is InGamePlayer::BODY_IMAGE.
//
// Slots: 0 the body (animation), 1 the mark (frame 0 none, 1 suspicion,
// 2 alarm), kept at the body's position while shown.
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameDisguisedPeople : public InGameObject {
    VM_DECLARE_CLASS(InGameDisguisedPeople, InGameObject)

public:
    // Outfits: record field 0 is outfit * 2 + facing (odd: mirrored).
    static constexpr jint OUTFITS = 7;
    // The animation set the player wears with outfit o: the watcher's own
    // frames without the sight fan drawn before a watcher's eyes.
    static constexpr jint playerSetOf(jint o) { return 0x3011 + o; }
    // Body animations.
    static constexpr jint ANIM_STAND = 0;
    static constexpr jint ANIM_WALK = 1;
    static constexpr jint ANIM_KNOCKED_OUT = 14;
    static constexpr jint ANIM_DAZED = 16;
    static constexpr jint ANIM_UNDRESSED = 19;
    static constexpr jint ANIM_TURN = 23;
    static constexpr jint ANIM_TURNED = 24;
    // Dazed and knocked out in the underwear, once the outfit is taken.
    static constexpr jint ANIM_DAZED_UNDRESSED = 28;
    static constexpr jint ANIM_KNOCKED_OUT_UNDRESSED = 29;
    // The player's body animation when it has put on an outfit.
    static constexpr jint ANIM_PLAYER_CHANGE = 21;
    // The mark (slot 1) and its frames.
    static constexpr jint MARK_IMAGE = 0x300B;
    static constexpr jint MARK_SET = 0x3003;
    static constexpr jint MARK_NONE = 0;
    static constexpr jint MARK_SUSPICION = 1;
    static constexpr jint MARK_ALARM = 2;
    // Numbers of the body's boxes.
    static constexpr jint BOX_BODY = 0;
    static constexpr jint BOX_BACK = 1;
    static constexpr jint BOX_SIGHT = 2;
    static constexpr jint BOX_BACK_FAR = 3;
    // Modes (record field 4).
    static constexpr jint MODE_STANDING = 0;
    static constexpr jint MODE_WALKING = 1;
    static constexpr jint MODE_DOORS = 2;  // walks and passes every unlocked door
    // Looks the reactions single out.
    static constexpr jint LOOK_PORTER = 0x3009;  // outfit 0
    static constexpr jint LOOK_COOK = 0x300E;    // outfit 2
    static constexpr jint LOOK_BOSS = 0x300C;    // outfit 5
    // Drawing layer.
    static constexpr jint PEOPLE_LAYER = 65;

    // Reaction kinds, by outfit: wary (0 and 1 alike) of anyone in a
    // disguise; a guard, who lets its own outfit and the boss's by and,
    // unless it is strict, the porter's and the cook's; special: wary of a
    // disguise, and catching the agent in its own clothes.
    static constexpr jint REACT_WARY = 0, REACT_WARY_TOO = 1;
    static constexpr jint REACT_GUARD = 2, REACT_STRICT_GUARD = 3;
    static constexpr jint REACT_SPECIAL = 4;
    // The warm-up: up to this many milliseconds (exclusive) in frames of 40.
    static constexpr jint WARM_UP_LIMIT = 5000;
    static constexpr jint WARM_UP_FRAME = 40;

    jint warmUpTime = 0;                 // ms simulated at set-up and reset, drawn once
    VMField<VMInts> secondaryResources;  // the body's animation set by outfit
    jint personId = 0;                   // record field 3 (1000 + row)
    VMField<VMInts> primaryResources;    // the body's image (the look) by outfit
    jint look = 0;                       // record field 0
    jboolean chasing = false;            // after the alarm, until home after a turn
    VMField<VMInts> patrolRange;         // smallest and largest x of the patrol
    jint homeY = 0;
    jint homeX = 0;
    jint mode = 0;                  // record field 4
    jboolean headingHome = false;   // turned since the last alarm
    VMField<VMInts> reactionKinds;  // reaction kind by outfit
    jboolean passesDoors = false;   // may open any unlocked door
    jint reactionKind = 0;          // of this person's outfit

    VMPtr<InGameDisguisedPeople> construct();

    // MyObject: one frame: the body, walking and turning, the player on its
    // row, the mark following the body.
    void update(jint a, jint b) override;
    // Back to the start state: home, facing, mode, no chase, no mark; then
    // the warm-up again.
    void reset() override;

    virtual void setPassesDoors(jboolean b);
    // Starts a turn (animation 23, which leads on to 24).
    virtual void turnAround();
    // Builds the person from row `index` of the loader's disguised records
    // and warms it up.
    virtual void initFromRecord(jint index);

    // The steps of a frame.
    // Walks while animation 1 shows; ends a turn when 24 shows.
    void behave();
    // After the body's step: walls, doors, the patrol range, home.
    void walkStep();
    // The player on this row: its box against the body's boxes.
    void watchPlayer();
    void react(jint id);
    void reactGuard(jint id, jint playerLook, jint ownLook);
    void reactSpecial(jint id, jint playerLook);
    void catchPlayer();
    void becomeSuspicious();
    void raiseAlarm();
    void checkInteraction(jint id);
    // This person's part of the player's knock-out and disguise sequences.
    void followInteraction();
    // Mirrored for an odd look, not for an even one.
    void restoreFacing();
    // warmUpTime / 40 frames of the body, walking and turning (no watching)
    // at 40 ms each; the frame time is kept.
    void warmUp();

    // The image resource id that slot 0 of s shows, -1 when none.
    static jint lookOf(com::ventrix::ui::Screen* s);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(secondaryResources, bits);
        _VM_markRef(primaryResources, bits);
        _VM_markRef(patrolRange, bits);
        _VM_markRef(reactionKinds, bits);
    }

private:
    // Whether the body's box [bx, bx + bw] has an edge strictly inside
    // [left, left + width].
    static bool edgeInside(jint bx, jint bw, jint left, jint width);
    // Back by the body's last horizontal step.
    void stepBack();
    // Whether a wall of this row stops the body.
    bool meetsWall(jint bx, jint bw);
    // Whether a door of this row stops the body; doors it may pass open.
    bool meetsClosedDoor(jint bx, jint bw);
    jint markShown();
    void vibrate();
};

}  // namespace scene::ingame

// scene.ingame.InGameTargetItem: a place the player must reach to finish a
// level (a safe, a briefcase, the exit, ...). Most complete by touch with the
// action button; some by touch alone, some only once other targets are done.
// Completing one raises InGameObject::reachedTargets, which the scene
// watches.
//
// Slots, all animations at the target's place: 0 the target (0 open, 1 done),
// 1 the marker (0 in the middle third of the view, 2 elsewhere, 1 done),
// 2 for the desk types 6 and 7 only, the papers on it (2 open, 3 done).
// Here inView means "in the middle third of the view"; a target is painted
// even outside the camera rectangle.
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameTargetItem : public InGameObject {
    VM_DECLARE_CLASS(InGameTargetItem, InGameObject)

public:
    static constexpr jint MARKER_IMAGE = 0x3407;
    static constexpr jint MARKER_SET = 0x3403;
    static constexpr jint TARGET_LAYER = 56;
    // Types with a resource pair (0 to 11); the desk types carry a second part.
    static constexpr jint TYPES = 12;
    // The types with a rule of their own: the safe opens once a briefcase
    // is taken, the briefcase by touch alone, the exit once every other
    // target is done, the statuette once a fuse box is done.
    static constexpr jint SAFE = 0;
    static constexpr jint BRIEFCASE = 1;
    static constexpr jint EXIT = 2;
    static constexpr jint FUSE_BOX = 9;
    static constexpr jint STATUETTE = 10;
    static constexpr jint DESK = 6;
    static constexpr jint DESK_MIRRORED = 7;
    // Slot 0's animations.
    static constexpr jint ANIM_OPEN = 0;
    static constexpr jint ANIM_DONE = 1;
    // The marker's.
    static constexpr jint MARK_CENTRED = 0;
    static constexpr jint MARK_DONE = 1;
    static constexpr jint MARK_AWAY = 2;

    jint recordIndex = 0;  // the row of targetMarkers last built or restored from
    jint targetType = 0;   // 0 to 11
    jboolean done = false;

    VMPtr<InGameTargetItem> construct();

    // MyObject: unless frozen the animations; then completion and the marker.
    void update(jint a, jint b) override;
    // inView := the anchor lies strictly inside the middle third of the view
    // both ways; then drawn whether in the camera rectangle or not.
    void paint(VMPtr<Graphics> g) override;
    // InGameObject: keeps slot 0's animation.
    void saveState() override;

    virtual jint getTargetType();
    // Whether the player could complete it now by contact: open, on the
    // player's row, the player exposed and free, and the boxes meeting.
    virtual jboolean isPlayerTouching();
    // The first call builds the target from row index of targetMarkers and
    // counts it open; later calls restore the saved state (-1: open afresh).
    virtual void initFromRecord(jint index);
    virtual jboolean isDone();

private:
    jboolean isDesk();
    // The type's own rule for completing; then completeIfTouched.
    void tryComplete();
    // Completes the target when the player's body box meets slot 0's box.
    void completeIfTouched();
    // Slot 0's box 0 in level coordinates into box, and whether the player's
    // body meets it. False without a box or a player.
    jboolean touchesPlayer();
    // Whether some target of the level of that type is done.
    static jboolean anyDone(jint type);
    // Whether every other target that is not an exit is done (true when
    // there is none).
    jboolean allOthersDone();
};

}  // namespace scene::ingame

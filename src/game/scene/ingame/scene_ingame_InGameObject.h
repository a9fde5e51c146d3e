// scene.ingame.InGameObject: the base of everything that lives in a level
// (the player, the people, the items, the traps). A Screen that adds:
//   - the statics every kind shares: the camera rectangle, the depth-row
//     height, the freeze switch, the player's position and last step, the
//     player, the level loader and the objects of each kind;
//   - a depth row from the object's height in the level, (level height -
//     anchor y) / depthStep, so row 0 is the bottom of the level; kinds
//     interact with the player only on its row;
//   - culling: paint draws only when the anchor lies strictly inside the
//     camera rectangle;
//   - a saved value for restarting a level section (-1 when nothing is
//     saved).
// The anchor is slot 0's position.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "scene_ingame_LevelLoader.h"

namespace scene::ingame {

class InGamePlayer;

class InGameObject : public com::ventrix::ui::Screen {
    VM_DECLARE_CLASS(InGameObject, com::ventrix::ui::Screen)

public:
    using Objects = VMArray<InGameObject, 1>;

    jint savedState = -1;  // what saveState kept; -1 nothing
    jint depth = 0;        // the row, written only by updateDepth
    VMField<com::ventrix::utility::AudioAndVibration> audio;
    jboolean inView = false;       // the last paint drew the object
    jboolean onPlayerRow = false;  // set by the kinds: depth equals the player's this frame
    VMField<VMInts> box;           // slot 0's first body box: x, y, width, height, number

    // The camera rectangle in level pixels (the scene sets it every frame).
    static jint viewX;
    static jint viewY;
    static jint viewWidth;
    static jint viewHeight;
    // Pixel height of one depth row.
    static jint depthStep;
    // While set, update does nothing for any kind (forceUpdate still works).
    static jboolean frozen;
    // The player's slot-0 position and its step over the last frame,
    // written by the player every frame.
    static jint playerX;
    static jint playerY;
    static jint playerDX;
    static jint playerDY;
    // Number of the level's targets that are done.
    static jint reachedTargets;
    static VMStatic<InGamePlayer> player;
    static VMStatic<LevelLoader> levelLoader;
    // The objects of each kind, set by the level build (elements are the
    // kinds' own classes).
    static VMStatic<Objects> disguisedPeople;
    static VMStatic<Objects> interactionItems;
    static VMStatic<Objects> traps;
    static VMStatic<Objects> targetItems;
    static VMStatic<Objects> transportItems;
    static VMStatic<com::ventrix::utility::MyPointer> myPointer;
    static VMStatic<com::ventrix::utility::MyKey> myKey;
    // Counts every new in-game object and every change of an object's row:
    // what is worked out from the objects' rows stays good while it holds.
    static uint64_t rowChanges;

    static void _VM_clinit();
    VMPtr<InGameObject> construct();

    static void setViewSize(jint w, jint h);
    static void setViewPosition(jint x, jint y);
    static void setDepthStep(jint n);

    // MyObject.
    // Unless frozen: the slots' animations, then updateDepth.
    void update(jint a, jint b) override;
    // Screen's paint when the anchor lies strictly inside the camera
    // rectangle; records the answer in inView. Nothing (inView kept) without
    // a slot in use.
    void paint(VMPtr<Graphics> g) override;

    // Screen's paint without the camera test.
    virtual void paintAlways(VMPtr<Graphics> g);
    virtual jint getSavedState();
    virtual jboolean isOnPlayerRow();
    // Nothing here; kinds keep what a restart needs.
    virtual void saveState();
    // depth := (level height - anchor y) / depthStep; kept when slot 0 is
    // empty or the level has no rows.
    virtual void updateDepth();
    virtual jint getDepth();
    virtual void clearSavedState();
    // box := slot 0's first box (number 0), as the Screen places it.
    virtual void snapshotCollisionBox();
    // The slots' animations and updateDepth, frozen or not.
    virtual void forceUpdate();

    // Slot 0's position (the anchor).
    jint anchorX();
    jint anchorY();

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(audio, bits);
        _VM_markRef(box, bits);
    }
};

}  // namespace scene::ingame

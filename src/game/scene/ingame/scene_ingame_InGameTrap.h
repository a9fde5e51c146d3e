// scene.ingame.InGameTrap: a hazard of a level. A player on the trap's row
// who is exposed and not busy with an interaction is caught (state 11) when
// its body box meets the trap's hitting box.
//
// Types, each with its own pair of resources: 0 and 1 a tripwire (1
// mirrored), 2 a camera, 3 a floor plate, all one animation slot that hits;
// 4 a vent and 5 a rail, a still frame (slot 0) under the animation that
// hits (slot 1); type 5's runner swings across its rail, turning back at
// either end. A trap's animations start as many milliseconds in as its
// record says.
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameTrap : public InGameObject {
    VM_DECLARE_CLASS(InGameTrap, InGameObject)

public:
    static constexpr jint TRAP_LAYER = 55;
    static constexpr jint TYPES = 6;

    jint trapType = 0;

    VMPtr<InGameTrap> construct();

    // MyObject: the animations (unless frozen), the swing of type 5, then
    // the depth and the catch test (frozen or not).
    void update(jint a, jint b) override;

    // Builds the trap from trap record `index` of the level.
    virtual void setUp(jint index);

    // The image and animation-set resources of a type; false outside 0 to 5.
    static bool resources(jint type, jint& image, jint& set);
};

}  // namespace scene::ingame

// scene.ingame.InGameGeneralPeople: a bystander. It stands where its record
// puts it and plays idle animations picked at random: the even animations
// 0, 2, 4, 6 and 8 are the idles, each leading on to an odd one; whenever
// the odd one shows, the next idle is drawn. It never moves, never reacts to
// the player and takes part in no test.
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameGeneralPeople : public InGameObject {
    VM_DECLARE_CLASS(InGameGeneralPeople, InGameObject)

public:
    // Drawing layer.
    static constexpr jint GENERAL_LAYER = 60;
    // Outfits by number (record field 0 / 2): the image and the animation set.
    static constexpr jint OUTFITS = 6;
    static constexpr jint OUTFIT_IMAGES[OUTFITS] = {0x2C06, 0x2C07, 0x2C09, 0x2C0A, 0x2C0B, 0x2C08};
    static constexpr jint OUTFIT_SETS[OUTFITS] = {0x2C00, 0x2C01, 0x2C03, 0x2C04, 0x2C05, 0x2C02};
    // Idles to pick from (animations 0, 2, ... 2 * (IDLES - 1)).
    static constexpr jint IDLES = 5;
    // The longest warm-up, in milliseconds (exclusive), and its frame time.
    static constexpr jint WARM_UP_LIMIT = 10000;
    static constexpr jint WARM_UP_FRAME = 40;

    VMPtr<InGameGeneralPeople> construct();

    // MyObject: the animation (unless frozen); an odd animation showing
    // draws the next idle, frozen or not.
    void update(jint a, jint b) override;

    // Builds the bystander from row `index` of the loader's general
    // records: look and facing, x, y, start animation / 2. Then plays up to
    // ten seconds of its own updates so that bystanders placed together do
    // not move in step.
    virtual void initFromRecord(jint index);

    // Runs ms / 40 frames of update at 40 ms each; the frame time is kept.
    void warmUp(jint ms);
};

}  // namespace scene::ingame

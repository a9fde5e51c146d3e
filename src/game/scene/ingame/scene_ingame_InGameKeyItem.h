// scene.ingame.InGameKeyItem: a key lying in the level. Touching it takes
// it (no button): the player's progress rises to at least the key's level,
// 1 to 4, which the doors ask for.
//
// Slot 0 is the key's animation and its state: the key level while the key
// lies there, 0 once taken (a taken key is neither updated nor tested).
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameKeyItem : public InGameObject {
    VM_DECLARE_CLASS(InGameKeyItem, InGameObject)

public:
    static constexpr jint KEY_IMAGE = 0x3405;
    static constexpr jint KEY_SET = 0x3401;
    static constexpr jint KEY_LAYER = 75;
    static constexpr jint TAKEN = 0;  // slot 0's animation once taken

    jint keyLevel = 0;  // 1 to 4

    VMPtr<InGameKeyItem> construct();

    // MyObject: while the key lies there, its animation, and taken when the
    // player's body meets it on its row.
    void update(jint a, jint b) override;
    // InGameObject: keeps slot 0's animation.
    void saveState() override;

    // Puts the key back at its place in row index and saves that at once.
    virtual void reset(jint index);
    using InGameObject::reset;
    // The first call builds the key from row index of keyRecords; later calls
    // restore the saved state.
    virtual void initFromRecord(jint index);
};

}  // namespace scene::ingame

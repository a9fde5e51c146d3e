// scene.ingame.InGameInteractionItem: a door or another fitting of a
// location. Its solid box stands in the player's way; inside its use box the
// action button opens it, when the player's progress reaches the key level
// it asks for and the player wears the outfit it asks for, if any. A refusal
// shows the player what is missing (a key or an outfit icon). A fixed item is
// a still frame that is never used and blocks every person.
//
// Slot 0's animation is the item's state: 0 closed; the player opens 0 or 4
// with 5 and 2 or 6 with 3; a person passing sets 1; 4 falls back to 0 at the
// end of every update. Box 0 of its frames is the solid part, box 1 the use
// area.
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameInteractionItem : public InGameObject {
    VM_DECLARE_CLASS(InGameInteractionItem, InGameObject)

public:
    static constexpr jint ITEM_LAYER = 75;
    // Outfit numbers 1 to 7 name a person's look; 0 (and anything above 7)
    // none.
    static constexpr jint OUTFITS = 8;
    // outfitIndex after resolveOutfit: no outfit needed, or one whose look
    // is not in the cache (no cache index matches it).
    static constexpr jint NO_OUTFIT = -1;
    static constexpr jint OUTFIT_NOT_CACHED = -2;
    // The look of each outfit number (0 the player's own).
    static const jint OUTFIT_LOOKS[OUTFITS];
    // Boxes of the item's frames.
    static constexpr jint SOLID_BOX = 0;
    static constexpr jint USE_BOX = 1;

    jint requiredKeyLevel = 0;  // the player's progress must reach it; 0 none
    jint outfitIndex = 0;       // the outfit number; after resolveOutfit its look's cache index, -1 or -2
    jboolean fixed = false;     // a still frame: never used
    jint requiredLook = 0;      // the look of the outfit asked for; 0 none

    VMPtr<InGameInteractionItem> construct();

    // MyObject: the animation, then the player on its row; 4 falls back to 0.
    void update(jint a, jint b) override;
    // InGameObject: keeps slot 0's animation, unless fixed.
    void saveState() override;

    virtual jint getOutfitIndex();
    // Turns the outfit asked for into the cache index of its look: -1 when
    // none is asked for, -2 when the look is not cached (nobody can wear it).
    virtual void resolveOutfit();
    // Builds the item from row index of interactionRecords.
    virtual void initFromRecord(jint index);
    virtual jboolean isFixed();
    virtual jint getRequiredKeyLevel();

private:
    // The player's box against the item's boxes: pushed back by the solid
    // part, the item used from the use area (or standing in the solid part).
    void checkPlayer();
    // On the action button: opens the item, or tells the player what is
    // missing.
    void tryUse();
};

}  // namespace scene::ingame

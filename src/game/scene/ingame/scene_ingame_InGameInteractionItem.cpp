// scene.ingame.InGameInteractionItem: a door or another fitting of a location.
#include "scene_ingame_InGameInteractionItem.h"

#include "com_ventrix_utility_ResManager.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

using com::ventrix::utility::ResManager;

const jint InGameInteractionItem::OUTFIT_LOOKS[OUTFITS] = {0x3406, 0x3009, 0x3008, 0x300E,
                                                           0x300D, 0x300F, 0x300C, 0x300A};

namespace {

// Slot 0's animations.
constexpr jint CLOSED = 0, OPEN_SHUT = 2, USED_SHUT = 3, CLOSING = 4, USED_OPEN = 5, USED_AGAIN = 6;
constexpr jint PASSED = 1;

// Resources by location code (0 to 6): image and animation set bases, and by
// variant the offset from them and the start animation (or frame). Codes 0
// and 3 never come from a level and carry the hotel's ids.
constexpr jint LOCATIONS = 7;
constexpr jint kImageBase[LOCATIONS] = {0x2415, 0x1010, 0x1411, 0x2415, 0x1C15, 0x200E, 0x2415};
constexpr jint kSetBase[LOCATIONS] = {0x2404, 0x1004, 0x1404, 0x2404, 0x1C04, 0x2004, 0x2404};
constexpr jint kWide[] = {0, 0, 0, 0, 1, 2, 3};
constexpr jint kNarrowOffset[] = {0, 1, 1};
constexpr jint kNarrowAnim[] = {0, 0, 1};

// Entries per variant of a location code.
jint variants(jint loc) { return loc == 0 || loc == 3 ? 7 : 3; }
jint offsetOf(jint loc, jint v) { return variants(loc) == 7 ? kWide[v] : kNarrowOffset[v]; }
jint animOf(jint loc, jint v) { return variants(loc) == 7 ? kWide[v] : kNarrowAnim[v]; }

}  // namespace

VMPtr<InGameInteractionItem> InGameInteractionItem::construct() {
    Super::construct();
    return this;
}

jint InGameInteractionItem::getOutfitIndex() { return outfitIndex; }
jboolean InGameInteractionItem::isFixed() { return fixed; }
jint InGameInteractionItem::getRequiredKeyLevel() { return requiredKeyLevel; }

void InGameInteractionItem::saveState() {
    if (!fixed) savedState = getSlotIndex(0);
}

void InGameInteractionItem::initFromRecord(jint index) {
    LevelLoader* level = levelLoader.get();
    if (level == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> r = VMPtr<VMIntRows>(level->interactionRecords)->get(index);
    const jint loc = (*r)[0], v = (*r)[1];
    // The loader refuses other codes and variants; one that slipped through
    // has no art.
    if (loc < 0 || loc >= LOCATIONS) _VM_throwArrayIndexOutOfBoundsException(loc);
    if (v < 0 || v >= variants(loc)) _VM_throwArrayIndexOutOfBoundsException(v);
    fixed = (*r)[2] != 0;
    setSlotCapacity(1);
    const jint image = kImageBase[loc] + offsetOf(loc, v), set = kSetBase[loc] + offsetOf(loc, v);
    if (fixed) {
        addFrame(image, set, animOf(loc, v), (*r)[3], (*r)[4]);
    } else {
        addAnimation(image, set, animOf(loc, v), (*r)[3], (*r)[4]);
    }
    // Outfit numbers without a look ask for no outfit.
    const jint outfit = (*r)[5];
    requiredLook = outfit > 0 && outfit < OUTFITS ? OUTFIT_LOOKS[outfit] : 0;
    // Until resolveOutfit finds the look in the cache, no outfit gets
    // through: the watchers warm up before the level's looks are all loaded.
    outfitIndex = requiredLook == 0 ? NO_OUTFIT : OUTFIT_NOT_CACHED;
    requiredKeyLevel = (*r)[6];
    updateDepth();
    setLayer(ITEM_LAYER);
}

void InGameInteractionItem::resolveOutfit() {
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    if (requiredLook == 0) {
        outfitIndex = NO_OUTFIT;
        return;
    }
    // A look nobody has loaded matches no cache index: nobody wears it.
    outfitIndex = OUTFIT_NOT_CACHED;
    VMArray<jint, 2>* keys = ResManager::slotKeys.get();
    if (keys == nullptr) return;
    VMInts* looks = keys->get(ResManager::KEY_ANIM_GOBS);
    const jint used = std::min(ResManager::usedSlots, looks->length);
    for (jint j = 0; j < used; ++j) {
        if ((*looks)[j] == requiredLook) {
            outfitIndex = j;
            return;
        }
    }
}

void InGameInteractionItem::update(jint a, jint b) {
    if (slotCount < 1) return;
    InGameObject::update(a, b);
    InGamePlayer* p = player.get();
    onPlayerRow = p != nullptr && getDepth() == p->getDepth();
    if (onPlayerRow) checkPlayer();
    if (getSlotIndex(0) == CLOSING) setSlotIndex(0, CLOSED);
}

void InGameInteractionItem::checkPlayer() {
    VMPtr<InGamePlayer> p = player;
    if (!p->isExposed() || p->isEngaged()) return;
    const jint id = getBoxIdAt(0, p->getBox());
    if (id == SOLID_BOX) {
        if (getSlotIndex(0) == CLOSING) {
            setSlotIndex(0, PASSED);
            return;
        }
        p->setState(InGamePlayer::STANDING);
        if (playerDX != 0) {
            // Pushed back by its last step.
            p->setPositionAll(playerX - playerDX, playerY);
            return;
        }
    } else if (id != USE_BOX) {
        return;
    }
    if (p->isExposed() && !fixed) tryUse();
}

void InGameInteractionItem::tryUse() {
    if (GamePad::getInstance()->getDirection() != GamePad::ACTION_PRESSED) return;
    VMPtr<InGamePlayer> p = player;
    const bool refused =
        p->getProgress() < requiredKeyLevel || (outfitIndex != NO_OUTFIT && p->getImageIndex(0) != outfitIndex);
    const jint shown = getSlotIndex(0);
    if (!refused) {
        if (shown == CLOSED || shown == CLOSING) {
            setSlotIndex(0, USED_OPEN);
            p->setExposed(false);
        } else if (shown == OPEN_SHUT || shown == USED_AGAIN) {
            setSlotIndex(0, USED_SHUT);
            p->setExposed(false);
        }
        return;
    }
    if (shown != CLOSED && shown != CLOSING) return;
    if (outfitIndex == NO_OUTFIT) {
        if (requiredKeyLevel != 0) p->setPendingOverlayOffset(requiredKeyLevel);
        return;
    }
    // The overlay names the outfit asked for.
    for (jint j = 0; j < OUTFITS; ++j) {
        if (OUTFIT_LOOKS[j] == requiredLook) p->setPendingOverlay(j);
    }
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameInteractionItem, .name = "scene.ingame.InGameInteractionItem",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameInteractionItem>)

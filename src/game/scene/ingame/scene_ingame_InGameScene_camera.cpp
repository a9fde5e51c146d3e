// scene.ingame.InGameScene: the camera, the head-up display and the
// checkpoints.
//
// The camera is the top-left corner of the view in level pixels. It moves
// toward its target by at most cameraStep pixels a frame on each axis and
// reaches the tile layer through its view position and every in-game object
// through its drawing origin. The markers point at the active target from the
// view's edge; the head-up display shows the player's disguise time as a bar
// and the outfit worn as an icon; a checkpoint zone that the player enters
// becomes the restart point, and every object keeps what a restart restores.
#include <algorithm>

#include "com_ventrix_utility_ResManager.h"
#include "scene_ingame_InGameScene.h"

namespace scene::ingame {

using com::ventrix::utility::ResManager;

namespace {

// The outfit icons of the head-up display: the icon animation whose entry is
// the image of the player's body.
constexpr jint kOutfitIcons[] = {0x3406, 0x3009, 0x3008, 0x300E, 0x300D, 0x300F, 0x300C, 0x300A};
constexpr jint HUD_BAR = 2;   // the display's bar layer; its box 0 is the full bar
constexpr jint HUD_ICON = 3;  // the display's outfit icon layer
constexpr jint BAR_RECT = 2;  // the display's rectangle that draws the bar

jint lengthOf(InGameObject::Objects* kind) { return kind == nullptr ? 0 : kind->length; }

void originFor(InGameObject::Objects* kind, jint x, jint y) {
    for (jint i = 0; i < lengthOf(kind); ++i) {
        InGameObject* o = kind->get(i);
        if (o != nullptr) o->setOrigin(x, y);
    }
}

void saveStateOf(InGameObject::Objects* kind) {
    for (jint i = 0; i < lengthOf(kind); ++i) {
        InGameObject* o = kind->get(i);
        if (o != nullptr) o->saveState();
    }
}

}  // namespace

VMInts* InGameScene::cameraArray(VMField<VMInts>& field) {
    if (field == nullptr) field = VMInts::create(2);
    return field.get();
}

jint InGameScene::clampX(jint x) {
    if (x < 0) return 0;
    if (x + viewWidth > worldWidth) return worldWidth - viewWidth;
    return x;
}

jint InGameScene::clampY(jint y) {
    if (y < 0) return 0;
    if (y + viewHeight > worldHeight) return worldHeight - viewHeight;
    return y;
}

void InGameScene::setCameraTarget(jint x, jint y) {
    VMInts* target = cameraArray(cameraTarget);
    (*target)[0] = clampX(x);
    (*target)[1] = clampY(y);
}

jboolean InGameScene::stepCamera() {
    VMInts* at = cameraArray(camera);
    VMInts* to = cameraArray(cameraTarget);
    const jint s = cameraStep;
    for (jint k = 0; k < 2; ++k) {
        const jint c = (*at)[k], t = (*to)[k];
        if (c < t)
            (*at)[k] = t < c + s ? t : c + s;
        else if (c > t)
            (*at)[k] = c - s < t ? t : c - s;
    }
    return (*at)[0] == (*to)[0] && (*at)[1] == (*to)[1];
}

void InGameScene::followPlayer() {
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) _VM_throwNullPointer();
    const jint px = p->getSlotX(0), py = p->getSlotY(0), ph = p->getSlotHeight(0);
    const jint x = p->getTransform(0) == 0 ? px - viewWidth / 4 : px - (3 * viewWidth) / 4;
    setCameraTarget(x, py - (ph + viewHeight) / 2);
}

void InGameScene::applyCamera() {
    VMInts* at = cameraArray(camera);
    const jint cx = (*at)[0], cy = (*at)[1];
    VMPtr<ts::CellLayer> layer = cellLayer;
    if (layer != nullptr) layer->setViewPosition(cx, cy);
    _VM_ensureInitialized(InGameObject::_VM_classRecord);
    InGameObject::setViewPosition(cx - viewWidth, cy - viewHeight);
    VMPtr<InGamePlayer> p = player;
    if (p != nullptr) p->setOrigin(cx, cy);
    VMPtr<Screen> indicator = targetIndicator;
    if (indicator != nullptr) indicator->setOrigin(cx, cy);
    // Only the camera sets the objects' origins: a still camera over the same
    // objects leaves them as they are.
    if (!originsCurrent(cx, cy)) {
        originFor(interactionItems.get(), cx, cy);
        originFor(traps.get(), cx, cy);
        originFor(generalPeople.get(), cx, cy);
        originFor(transportItems.get(), cx, cy);
        originFor(disguisedPeople.get(), cx, cy);
        originFor(targetItems.get(), cx, cy);
        originFor(keyItems.get(), cx, cy);
        rememberOrigins(cx, cy);
    }
    updateTargetMarkers();
}

bool InGameScene::originsCurrent(jint x, jint y) {
    if (!originsGiven || x != givenX || y != givenY || givenRowChanges != InGameObject::rowChanges) return false;
    size_t at = 0;
    for (Objects* kind : {interactionItems.get(), traps.get(), generalPeople.get(), transportItems.get(),
                          disguisedPeople.get(), targetItems.get(), keyItems.get()}) {
        const size_t n = size_t(lengthOf(kind));
        if (n > givenObjects.size() - at) return false;
        if (n > 0 && !std::equal(kind->elements(), kind->elements() + n, givenObjects.begin() + at)) return false;
        at += n;
    }
    return at == givenObjects.size();
}

void InGameScene::rememberOrigins(jint x, jint y) {
    givenObjects.clear();
    for (Objects* kind : {interactionItems.get(), traps.get(), generalPeople.get(), transportItems.get(),
                          disguisedPeople.get(), targetItems.get(), keyItems.get()}) {
        const jint n = lengthOf(kind);
        if (n > 0) givenObjects.insert(givenObjects.end(), kind->elements(), kind->elements() + n);
    }
    originsGiven = true;
    givenX = x;
    givenY = y;
    givenRowChanges = InGameObject::rowChanges;
}

void InGameScene::updateTargetMarkers() {
    VMPtr<Objects> targets = targetItems;
    VMPtr<Screen> indicator = targetIndicator;
    if (targets == nullptr || indicator == nullptr) return;
    VMInts* at = cameraArray(camera);
    const jint cx = (*at)[0], cy = (*at)[1];
    VMPtr<LevelLoader> loader = levelLoader;
    VMPtr<VMIntRows> markers = loader != nullptr ? loader->targetMarkers.get() : nullptr;
    for (jint i = 0; i < targets->length; ++i) {
        InGameObject* target = targets->get(i);
        if (target == nullptr) continue;
        VMInts* row = markers != nullptr && i < markers->length ? markers->get(i) : nullptr;
        if (target->getSlotIndex(1) != TARGET_ACTIVE || row == nullptr) {
            indicator->setSlotIndex(i, MARKER_HIDDEN);
            continue;
        }
        jint x = (*row)[0], y = (*row)[1];
        if (x < cx)
            x = cx;
        else if (x > cx + viewWidth)
            x = cx + viewWidth;
        if (y < cy)
            y = cy;
        else if (y > cy + viewHeight)
            y = cy + viewHeight;
        indicator->setSlotIndex(i, MARKER_SHOWN);
        indicator->setSlotPosition(i, x, y);
        target->setSlotPosition(1, x, y);
    }
}

void InGameScene::updateHud() {
    VMPtr<Screen> hud = screen;
    VMPtr<InGamePlayer> p = player;
    if (hud == nullptr || p == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> work = rect;
    hud->getCollisionRects(HUD_BAR, work, 0);
    const jint t = p->getDisguiseTimer();
    if (t == 0) {
        hud->setSlotIndex(HUD_ICON, 0);
        (*work)[2] = 1;
    } else {
        if (t == InGamePlayer::DISGUISE_TIME) {
            // The image the player's body is drawn from names the outfit.
            const jint index = p->getImageIndex(0);
            VMArray<jint, 2>* keys = ResManager::slotKeys.get();
            VMInts* ids = keys != nullptr ? keys->get(ResManager::KEY_GOBS) : nullptr;
            const jint look = ids != nullptr && index >= 0 && index < ids->length ? (*ids)[index] : -1;
            for (jint k = 0; k < jint(sizeof kOutfitIcons / sizeof kOutfitIcons[0]); ++k) {
                if (kOutfitIcons[k] == look) {
                    hud->setSlotIndex(HUD_ICON, k);
                    break;
                }
            }
        }
        (*work)[2] = (*work)[2] * t / InGamePlayer::DISGUISE_TIME;
    }
    hud->setRect(BAR_RECT, work, BAR_COLOR);
}

void InGameScene::updateCheckpoints() {
    VMPtr<LevelLoader> loader = levelLoader;
    VMPtr<VMIntRows> zones = loader != nullptr ? loader->zoneRecords.get() : nullptr;
    if (zones == nullptr || zones->length == 0) return;
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) _VM_throwNullPointer();
    jint found = -1;
    for (jint z = 0; z < zones->length; ++z) {
        VMPtr<VMInts> zone = zones->get(z);
        if (zone != nullptr && p->getBoxIdAt(0, zone) == 0) {
            found = z;
            break;
        }
    }
    if (found >= 0 && found != lastCheckpointZone) {
        checkpoint = found;
        p->saveState();
        saveStateOf(interactionItems.get());
        saveStateOf(keyItems.get());
        saveStateOf(targetItems.get());
    }
    lastCheckpointZone = found;
}

}  // namespace scene::ingame

// scene.ingame.InGameScene: the level build, the second loading stage.
//
// Once the level view has read the level, this stage makes every object of
// the level from the loader's tables, one step a frame behind the loading
// page. The counter starts at 0 and the steps run 0, 13, 12, ..., 1:
//   0      the player, from the player record;
//   13, 12 the key items (12 is skipped for a level without keys);
//   11, 10 the bystanders;
//   9, 8   the transports;
//   7, 6   the interaction items;
//   5, 4   the traps;
//   3, 2   the watchers;
//   1      the targets and their markers, the camera on the first target,
//          every object into the scene, and the state machine's restart
//          state.
// A kind's array of an earlier build is released (and its objects taken out
// of the scene) just before the kind's new array is made.
#include <vector>

#include "com_ventrix_utility_MyObject.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameGeneralPeople.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGameKeyItem.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTargetItem.h"
#include "scene_ingame_InGameTransportItem.h"
#include "scene_ingame_InGameTrap.h"

namespace scene::ingame {

using com::ventrix::utility::MyObject;

namespace {

// The target markers: one still frame per target.
constexpr jint MARKER_FRAME = 1;
constexpr jint MARKER_LAYER = 85;
// The build's steps (the stage-1 counter).
constexpr jint STEPS = 13;
constexpr jint NEW_PLAYER = 0, KEY_ARRAY = 13, KEYS = 12, GENERAL_ARRAY = 11, GENERALS = 10, TRANSPORT_ARRAY = 9,
               TRANSPORTS = 8, INTERACTION_ARRAY = 7, INTERACTIONS = 6, TRAP_ARRAY = 5, TRAPS = 4, DISGUISED_ARRAY = 3,
               DISGUISED = 2, ASSEMBLY = 1;

jint lengthOf(InGameObject::Objects* kind) { return kind == nullptr ? 0 : kind->length; }
jint rowsOf(VMIntRows* table) { return table == nullptr ? 0 : table->length; }

// Fills every slot of `kind` with a new object of class K set up from record i.
template <class K, typename SetUp>
void fill(InGameObject::Objects* kind, SetUp setUp) {
    for (jint i = 0; i < lengthOf(kind); ++i) {
        VMPtr<K> o = K::create()->construct();
        kind->set(i, o);
        setUp(o.get(), i);
    }
}

// Every object of `kind`, in array order, onto `list`.
void collect(std::vector<MyObject*>& list, InGameObject::Objects* kind) {
    for (jint i = 0; i < lengthOf(kind); ++i) {
        InGameObject* o = kind->get(i);
        if (o != nullptr) list.push_back(o);
    }
}

}  // namespace

void InGameScene::dropObject(VMPtr<MyObject> o) {
    if (o == nullptr) return;
    o->release();
    // Only the scene's own entry: an object never added has no place there.
    VMPtr<Scene::Objects> table = objects;
    const jint id = o->getId();
    if (table != nullptr && id >= 0 && id < table->length && table->get(id) == o.get()) table->set(id, nullptr);
}

void InGameScene::dropObjects(VMPtr<Objects> kind) {
    for (jint i = 0; i < lengthOf(kind.get()); ++i) {
        VMPtr<InGameObject> o = kind->get(i);
        if (o == nullptr) continue;
        dropObject(o);
        kind->set(i, nullptr);
    }
}

void InGameScene::buildLevel() {
    VMPtr<LevelLoader> loader = levelLoader;
    if (loader == nullptr) _VM_throwNullPointer();
    _VM_ensureInitialized(InGameObject::_VM_classRecord);
    switch (stage1Busy) {
        case NEW_PLAYER: {
            dropObject(VMPtr<InGamePlayer>(player));
            player = nullptr;
            VMPtr<InGamePlayer> p = InGamePlayer::create()->construct();
            VMPtr<VMInts> record = loader->playerRecord;
            if (record == nullptr || record->length < LevelLoader::PLAYER_WIDTH) _VM_throwNullPointer();
            p->respawn((*record)[0], (*record)[1], (*record)[2]);
            player = p;
            progress();
            stage1Busy = STEPS;
            return;
        }
        case KEY_ARRAY:
            dropObjects(keyItems);
            // A level without keys has an empty array, and no key step.
            keyItems = Objects::create(loader->keyCount > 0 ? loader->keyCount : 0);
            if (loader->keyCount <= 0) {
                progress();
                stage1Busy -= 2;
                return;
            }
            break;
        case KEYS: fill<InGameKeyItem>(keyItems.get(), [](InGameKeyItem* o, jint i) { o->initFromRecord(i); }); break;
        case GENERAL_ARRAY:
            dropObjects(generalPeople);
            generalPeople = Objects::create(loader->generalCount);
            break;
        case GENERALS:
            fill<InGameGeneralPeople>(generalPeople.get(),
                                      [](InGameGeneralPeople* o, jint i) { o->initFromRecord(i); });
            break;
        case TRANSPORT_ARRAY:
            dropObjects(transportItems);
            transportItems = Objects::create(loader->componentCount);
            InGameObject::transportItems = transportItems;
            break;
        case TRANSPORTS:
            fill<InGameTransportItem>(transportItems.get(), [](InGameTransportItem* o, jint i) { o->setUp(i); });
            break;
        case INTERACTION_ARRAY:
            dropObjects(interactionItems);
            interactionItems = Objects::create(rowsOf(loader->interactionRecords.get()));
            break;
        case INTERACTIONS:
            fill<InGameInteractionItem>(interactionItems.get(),
                                        [](InGameInteractionItem* o, jint i) { o->initFromRecord(i); });
            InGameObject::interactionItems = interactionItems;
            break;
        case TRAP_ARRAY:
            dropObjects(traps);
            traps = Objects::create(rowsOf(loader->trapRecords.get()));
            break;
        case TRAPS:
            fill<InGameTrap>(traps.get(), [](InGameTrap* o, jint i) { o->setUp(i); });
            InGameObject::traps = traps;
            break;
        case DISGUISED_ARRAY:
            dropObjects(disguisedPeople);
            disguisedPeople = Objects::create(rowsOf(loader->disguisedRecords.get()));
            break;
        case DISGUISED:
            fill<InGameDisguisedPeople>(disguisedPeople.get(),
                                        [](InGameDisguisedPeople* o, jint i) { o->initFromRecord(i); });
            InGameObject::disguisedPeople = disguisedPeople;
            break;
        case ASSEMBLY:
            assembleLevel();
            progress();
            stage1Busy = 0;
            return;
        default: break;
    }
    progress();
    stage1Busy -= 1;
}

void InGameScene::assembleLevel() {
    VMPtr<LevelLoader> loader = levelLoader;
    introTarget = 0;

    // The targets.
    dropObjects(targetItems);
    const jint targets = loader->targetCount > 0 ? loader->targetCount : 0;
    targetItems = Objects::create(targets);
    fill<InGameTargetItem>(targetItems.get(), [](InGameTargetItem* o, jint i) { o->initFromRecord(i); });
    InGameObject::targetItems = targetItems;

    // One marker per target.
    dropObject(VMPtr<Screen>(targetIndicator));
    VMPtr<Screen> markers = Screen::create()->construct();
    targetIndicator = markers;
    markers->setSlotCapacity(targets);
    for (jint i = 0; i < targets; ++i)
        markers->addFrame(InGameTargetItem::MARKER_IMAGE, InGameTargetItem::MARKER_SET, MARKER_FRAME, 0, 0);
    markers->setLayer(MARKER_LAYER);
    addObject(markers);

    // The camera: at the first target's marker, moving to centre the first
    // target within the world. A step of at least one pixel, so that a pan
    // always arrives.
    checkpoint = -1;
    camera = VMInts::create(2);
    cameraTarget = VMInts::create(2);
    cameraStep = viewWidth / 10 > 0 ? viewWidth / 10 : 1;
    VMPtr<VMIntRows> marks = loader->targetMarkers;
    if (targets > 0 && marks != nullptr && marks->length > 0 && marks->get(0) != nullptr) {
        VMPtr<VMInts> first = marks->get(0);
        (*camera)[0] = (*first)[0];
        (*camera)[1] = (*first)[1];
        InGameObject* target = VMPtr<Objects>(targetItems)->get(0);
        setCameraTarget(target->getSlotX(0) - viewWidth / 2, target->getSlotY(0) - viewHeight / 2);
    } else {
        setCameraTarget(0, 0);
    }
    applyCamera();
    InGameObject::frozen = true;

    // Into the scene; equal layers paint in this order. All in one add:
    // a large level has thousands of objects.
    std::vector<MyObject*> added;
    collect(added, keyItems.get());
    collect(added, traps.get());
    collect(added, generalPeople.get());
    collect(added, disguisedPeople.get());
    VMPtr<Objects> items = interactionItems;
    for (jint i = 0; i < lengthOf(items.get()); ++i) {
        auto* item = dynamic_cast<InGameInteractionItem*>(items->get(i));
        if (item == nullptr) continue;
        item->resolveOutfit();
        added.push_back(item);
    }
    collect(added, targetItems.get());
    collect(added, transportItems.get());
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) _VM_throwNullPointer();
    added.push_back(p.get());
    addObjects(added.data(), jint(added.size()));

    // The player joins the world and takes the level's outfit.
    InGameObject::player = p;
    p->chooseOutfit();
    step = 0;
    state = RESTART;
}

}  // namespace scene::ingame

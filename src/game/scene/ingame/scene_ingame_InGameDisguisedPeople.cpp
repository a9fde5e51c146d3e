// scene.ingame.InGameDisguisedPeople: a watcher.
#include "scene_ingame_InGameDisguisedPeople.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_ResManager.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGameInteractionItem.h"
#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

using com::ventrix::common::Main;
using com::ventrix::ui::Screen;
using com::ventrix::utility::MyObject;
using com::ventrix::utility::ResManager;

namespace {

constexpr jint kSecondary[InGameDisguisedPeople::OUTFITS] = {0x3001, 0x3000, 0x3006, 0x3005, 0x3007, 0x3004, 0x3002};
constexpr jint kPrimary[InGameDisguisedPeople::OUTFITS] = {0x3009, 0x3008, 0x300E, 0x300D, 0x300F, 0x300C, 0x300A};
using People = InGameDisguisedPeople;
constexpr jint kReactions[People::OUTFITS] = {People::REACT_GUARD,   People::REACT_WARY, People::REACT_GUARD,
                                              People::REACT_SPECIAL, People::REACT_WARY, People::REACT_STRICT_GUARD,
                                              People::REACT_SPECIAL};
constexpr jint MIRRORED = 2;

VMPtr<VMInts> outfitTable(const jint (&values)[InGameDisguisedPeople::OUTFITS]) {
    VMPtr<VMInts> t = VMInts::create(InGameDisguisedPeople::OUTFITS);
    for (jint i = 0; i < t->length; ++i) (*t)[i] = values[i];
    return t;
}

// The interaction items with their rows, in the items array's order, for the
// door test every walking person makes every frame. Worked out again when the
// array, any of its elements or any object's row has changed (a new object
// counts as a change, so an element at the address of a collected one is
// never taken for it). The pointers are read only after the array has been
// found to hold them still.
struct DoorRows {
    const InGameObject::Objects* array = nullptr;
    std::vector<InGameObject*> elements;  // the array's elements as last seen
    uint64_t rowChanges = 0;
    struct Entry {
        jint depth;
        InGameInteractionItem* item;
    };
    // The elements that are interaction items, by row; in the array's order
    // within a row.
    std::vector<Entry> items;

    bool current(InGameObject::Objects* now) const {
        return now == array && rowChanges == InGameObject::rowChanges && size_t(now->length) == elements.size() &&
               std::equal(elements.begin(), elements.end(), now->elements());
    }

    void rebuild(InGameObject::Objects* now) {
        array = now;
        rowChanges = InGameObject::rowChanges;
        elements.assign(now->elements(), now->elements() + now->length);
        items.clear();
        for (InGameObject* o : elements) {
            if (o == nullptr) continue;
            auto* item = dynamic_cast<InGameInteractionItem*>(o);
            if (item != nullptr) items.push_back({o->getDepth(), item});
        }
        std::stable_sort(items.begin(), items.end(), [](const Entry& a, const Entry& b) { return a.depth < b.depth; });
    }

    // The entries of one row.
    std::pair<size_t, size_t> row(jint depth) const {
        const auto below = [](const Entry& e, jint d) { return e.depth < d; };
        const auto first = std::lower_bound(items.begin(), items.end(), depth, below);
        auto last = first;
        while (last != items.end() && last->depth == depth) ++last;
        return {size_t(first - items.begin()), size_t(last - items.begin())};
    }
};

DoorRows doorRows;
// The door test's work rectangle.
VMStatic<VMInts> placed;

}  // namespace

VMPtr<InGameDisguisedPeople> InGameDisguisedPeople::construct() {
    Super::construct();
    secondaryResources = outfitTable(kSecondary);
    primaryResources = outfitTable(kPrimary);
    reactionKinds = outfitTable(kReactions);
    return this;
}

void InGameDisguisedPeople::setPassesDoors(jboolean b) { passesDoors = b; }
void InGameDisguisedPeople::turnAround() { setSlotIndex(0, ANIM_TURN); }

jint InGameDisguisedPeople::lookOf(Screen* s) {
    _VM_ensureInitialized(ResManager::_VM_classRecord);
    const jint index = s->getImageIndex(0);
    VMArray<jint, 2>* keys = ResManager::slotKeys.get();
    if (index < 0 || keys == nullptr) return -1;
    VMInts* ids = keys->get(ResManager::KEY_GOBS);
    return index < ids->length ? (*ids)[index] : -1;
}

jint InGameDisguisedPeople::markShown() { return getSlotIndex(1); }

void InGameDisguisedPeople::vibrate() {
    VMPtr<com::ventrix::utility::AudioAndVibration> a = audio;
    a->vibrate(0, 0);
}

// --- set-up and reset -----------------------------------------------------------------------

void InGameDisguisedPeople::initFromRecord(jint index) {
    LevelLoader* level = levelLoader.get();
    if (level == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> records = level->disguisedRecords;
    if (records == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> r = records->get(index);
    if (r == nullptr) _VM_throwNullPointer();
    // The loader refuses looks past the tables; a record made elsewhere gets
    // the exception an array would throw before anything changes.
    const jint outfit = (*r)[0] / 2;
    if ((*r)[0] < 0 || outfit >= OUTFITS) _VM_throwArrayIndexOutOfBoundsException(outfit);
    look = (*r)[0];
    homeX = (*r)[1];
    homeY = (*r)[2];
    personId = (*r)[3];
    mode = (*r)[4];
    warmUpTime = Main::randomInt() % WARM_UP_LIMIT;
    VMPtr<VMInts> range = VMInts::create(2);
    (*range)[0] = (*r)[6];
    (*range)[1] = (*r)[7];
    patrolRange = range;
    VMPtr<VMInts> kinds = reactionKinds;
    reactionKind = (*kinds)[outfit];
    passesDoors = false;
    chasing = false;
    headingHome = true;

    setSlotCapacity(2);
    VMPtr<VMInts> primary = primaryResources, secondary = secondaryResources;
    addAnimation((*primary)[outfit], (*secondary)[outfit], ANIM_STAND, homeX, homeY);
    addFrame(MARK_IMAGE, MARK_SET, MARK_NONE, homeX, homeY);
    if (look % 2 == 1) mirrorSlot(0);
    if (mode == MODE_WALKING) {
        setSlotIndex(0, ANIM_WALK);
    } else if (mode == MODE_DOORS) {
        passesDoors = true;
        setSlotIndex(0, ANIM_WALK);
    }
    warmUp();
    setLayer(PEOPLE_LAYER);
}

void InGameDisguisedPeople::reset() {
    passesDoors = false;
    chasing = false;
    headingHome = true;
    setSlotIndex(0, ANIM_STAND);
    setSlotIndex(1, MARK_NONE);
    setSlotPosition(0, homeX, homeY);
    restoreFacing();
    if (mode == MODE_WALKING) {
        setSlotIndex(0, ANIM_WALK);
    } else if (mode == MODE_DOORS) {
        passesDoors = true;
        setSlotIndex(0, ANIM_WALK);
    }
    warmUp();
}

void InGameDisguisedPeople::warmUp() {
    struct KeepFrameTime {
        jint kept = MyObject::frameTime;
        ~KeepFrameTime() { MyObject::frameTime = kept; }
    } keep;
    MyObject::frameTime = WARM_UP_FRAME;
    for (jint n = warmUpTime / WARM_UP_FRAME; n > 0; --n) {
        InGameObject::update(0, 0);
        snapshotCollisionBox();
        behave();
    }
}

void InGameDisguisedPeople::restoreFacing() {
    // Every look's parity is its facing: odd looks start mirrored.
    const bool mirrored = getTransform(0) != 0;
    if (mirrored != (look % 2 == 1)) mirrorSlot(0);
}

// --- the frame ------------------------------------------------------------------------------

void InGameDisguisedPeople::update(jint a, jint b) {
    InGameObject::update(a, b);
    snapshotCollisionBox();
    InGamePlayer* p = player.get();
    onPlayerRow = p != nullptr && getDepth() == p->getDepth();
    behave();
    if (onPlayerRow) watchPlayer();
    if (markShown() != MARK_NONE) setSlotPosition(1, getSlotX(0), getSlotY(0));
}

void InGameDisguisedPeople::behave() {
    if (mode != MODE_STANDING && mode != MODE_WALKING && mode != MODE_DOORS) return;
    const jint shown = getSlotIndex(0);
    if (shown == ANIM_WALK) {
        walkStep();
    } else if (shown == ANIM_TURNED) {
        mirrorSlot(0);
        setSlotIndex(0, ANIM_WALK);
    }
}

bool InGameDisguisedPeople::edgeInside(jint bx, jint bw, jint left, jint width) {
    const jint right = left + width;
    return (left < bx && bx < right) || (left < bx + bw && bx + bw < right);
}

void InGameDisguisedPeople::stepBack() {
    if (getSlotKind(0) != KIND_ANIMATION) return;
    VMPtr<VMArray<ts::AnimPlayer, 1>> table = players;
    VMPtr<ts::AnimPlayer> body = table->get(0);
    setSlotPosition(0, body->getX() - body->getMoveX(), body->getY());
}

bool InGameDisguisedPeople::meetsWall(jint bx, jint bw) {
    LevelLoader* level = levelLoader.get();
    VMArray<jint, 3>* rows = level == nullptr ? nullptr : level->floorAreas.get();
    // A row outside the table (below the level, or above its last row with
    // walls) has no walls.
    if (rows == nullptr || depth < 0 || depth >= rows->length) return false;
    VMIntRows* walls = rows->get(depth);
    if (walls == nullptr) return false;
    for (jint i = 0; i < walls->length; ++i) {
        VMInts* w = walls->get(i);
        if (w == nullptr || w->length < LevelLoader::FLOOR_AREA_WIDTH) continue;
        if (edgeInside(bx, bw, (*w)[1], (*w)[3])) return true;
    }
    return false;
}

bool InGameDisguisedPeople::meetsClosedDoor(jint bx, jint bw) {
    VMPtr<Objects> items = interactionItems;
    if (items == nullptr) return false;
    if (placed == nullptr) placed = VMInts::create(5);
    if (!doorRows.current(items.get())) doorRows.rebuild(items.get());
    // Only the items of this row, in the array's order. Nothing below changes
    // a row or the array: the entries hold throughout.
    const auto [first, last] = doorRows.row(depth);
    VMInts* r = placed.get();
    for (size_t i = first; i < last; ++i) {
        InGameInteractionItem* item = doorRows.items[i].item;
        item->placeCollisionRect(0, 0, r);
        if (!edgeInside(bx, bw, (*r)[0], (*r)[2])) continue;
        if (item->isFixed() || item->getRequiredKeyLevel() != 0) return true;
        // An item's outfit is a cache index once resolved; a negative one
        // (none, or a look that is not cached) lets no outfit through.
        const jint outfit = item->getOutfitIndex();
        if (chasing || passesDoors || (outfit >= 0 && outfit == getImageIndex(0))) {
            item->setSlotIndex(0, 1);
            continue;
        }
        return true;
    }
    return false;
}

void InGameDisguisedPeople::walkStep() {
    VMPtr<VMInts> b = box;
    const jint bx = (*b)[0], bw = (*b)[2];
    const bool blocked = meetsWall(bx, bw) || meetsClosedDoor(bx, bw);
    if (blocked) stepBack();
    VMPtr<VMInts> range = patrolRange;
    const jint x = getSlotX(0);
    // Past an end of the patrol only while walking away from it: a watcher
    // that a turn left outside the range walks back in instead of turning
    // on the spot, frame after frame. Unmirrored, the body walks right.
    const bool walksRight = getTransform(0) == 0;
    const bool pastEnd = walksRight ? x > (*range)[1] : x < (*range)[0];
    if (blocked || (!chasing && pastEnd)) {
        setSlotIndex(0, ANIM_TURN);
        headingHome = true;
    }
    if (chasing && headingHome) {
        VMPtr<VMInts> home = VMInts::create(4);
        (*home)[0] = homeX;
        (*home)[1] = homeY;
        if (collides(0, BOX_BODY, home)) {
            chasing = false;
            if (mode == MODE_STANDING) {
                setSlotIndex(0, ANIM_STAND);
                restoreFacing();
            }
            setSlotIndex(1, MARK_NONE);
        }
    }
}

// --- the player -----------------------------------------------------------------------------

void InGameDisguisedPeople::watchPlayer() {
    VMPtr<InGamePlayer> p = player;
    if (p->isExposed() && !p->isEngaged()) {
        const jint id = getBoxIdAt(0, p->getBox());
        switch (id) {
            case BOX_BODY:
                if (markShown() != MARK_NONE) setSlotIndex(1, MARK_NONE);
                react(id);
                break;
            case BOX_SIGHT: react(id); break;
            case BOX_BACK:
            case BOX_BACK_FAR:
                if (markShown() != MARK_NONE) setSlotIndex(1, MARK_NONE);
                checkInteraction(id);
                break;
            default:
                // Suspicion lasts only while the contact does; the alarm stays.
                if (markShown() == MARK_SUSPICION) setSlotIndex(1, MARK_NONE);
                break;
        }
        return;
    }
    if (p->getInteractionTarget() == personId) {
        followInteraction();
    } else if (markShown() == MARK_SUSPICION) {
        setSlotIndex(1, MARK_NONE);
    }
}

void InGameDisguisedPeople::react(jint id) {
    VMPtr<InGamePlayer> p = player;
    const jint playerLook = lookOf(p.get());
    switch (reactionKind) {
        case REACT_WARY:
        case REACT_WARY_TOO:
            if (playerLook != InGamePlayer::BODY_IMAGE) becomeSuspicious();
            break;
        case REACT_GUARD:
        case REACT_STRICT_GUARD: reactGuard(id, playerLook, lookOf(this)); break;
        case REACT_SPECIAL: reactSpecial(id, playerLook); break;
        default: break;
    }
}

void InGameDisguisedPeople::reactGuard(jint id, jint playerLook, jint ownLook) {
    if (playerLook == ownLook) {
        if (id == BOX_SIGHT) becomeSuspicious();
        return;
    }
    if (playerLook == LOOK_BOSS) return;
    if ((playerLook == LOOK_PORTER || playerLook == LOOK_COOK) && reactionKind != REACT_STRICT_GUARD) return;
    if (id == BOX_BODY)
        catchPlayer();
    else if (id == BOX_SIGHT)
        raiseAlarm();
}

void InGameDisguisedPeople::reactSpecial(jint id, jint playerLook) {
    if (playerLook != InGamePlayer::BODY_IMAGE) {
        becomeSuspicious();
    } else if (id == BOX_BODY) {
        catchPlayer();
    } else if (id == BOX_SIGHT) {
        raiseAlarm();
    }
}

void InGameDisguisedPeople::catchPlayer() {
    if (!chasing) return;
    vibrate();
    setSlotIndex(0, ANIM_STAND);
    VMPtr<InGamePlayer> p = player;
    p->setState(InGamePlayer::CAUGHT);
}

void InGameDisguisedPeople::becomeSuspicious() {
    VMPtr<InGamePlayer> p = player;
    p->tickDisguise();
    if (markShown() != MARK_SUSPICION) {
        vibrate();
        setSlotIndex(1, MARK_SUSPICION);
    }
}

void InGameDisguisedPeople::raiseAlarm() {
    if (!chasing) {
        chasing = true;
        setSlotIndex(0, ANIM_WALK);
    }
    if (markShown() != MARK_ALARM) {
        vibrate();
        setSlotIndex(1, MARK_ALARM);
    }
    headingHome = false;
}

void InGameDisguisedPeople::checkInteraction(jint id) {
    if (GamePad::getInstance()->getDirection() != GamePad::ACTION_PRESSED) return;
    VMPtr<InGamePlayer> p = player;
    if (id == BOX_BACK) {
        // From behind only: the same facing, and the player on the side the
        // person turns its back to.
        const jint facing = getTransform(0);
        if (p->getTransform(0) != facing) return;
        const jint x = getSlotX(0);
        if (facing == 0 ? !(x > playerX) : !(x < playerX)) return;
        p->setState(InGamePlayer::USING_ITEM);
    } else {
        p->setState(InGamePlayer::DISGUISING);
    }
    p->setEngaged(true);
    p->setInteractionTarget(personId);
    p->setExposed(false);
}

void InGameDisguisedPeople::followInteraction() {
    VMPtr<InGamePlayer> p = player;
    const jint state = p->getState(), phase = p->getPhase();
    if (state == InGamePlayer::USING_ITEM && phase == InGamePlayer::USE_WAIT) {
        // One whose outfit is gone falls in his underwear.
        const jint shown = getSlotIndex(0);
        const bool undressed = shown == ANIM_UNDRESSED || shown == ANIM_KNOCKED_OUT_UNDRESSED;
        setSlotPosition(0, playerX, playerY);
        setSlotIndex(0, undressed ? ANIM_DAZED_UNDRESSED : ANIM_DAZED);
        p->setPhase(InGamePlayer::USE_STRIKE);
    } else if (state == InGamePlayer::USING_ITEM && phase == InGamePlayer::USE_WAIT_AGAIN) {
        setSlotIndex(0, getSlotIndex(0) == ANIM_DAZED_UNDRESSED ? ANIM_KNOCKED_OUT_UNDRESSED : ANIM_KNOCKED_OUT);
        p->setPhase(InGamePlayer::USE_END);
    } else if (state == InGamePlayer::DISGUISING && phase == InGamePlayer::DISGUISE_TAKEN) {
        // The player now wears this outfit, facing as before: the look's
        // own image with the frames that draw no sight fan (the player sees
        // nobody).
        const jint outfit = look / 2;
        VMPtr<VMInts> primary = primaryResources;
        const bool mirrored = p->getTransform(0) == MIRRORED;
        p->loadAnimation(0, (*primary)[outfit], playerSetOf(outfit), ANIM_PLAYER_CHANGE, playerX, playerY);
        if (mirrored) p->mirrorSlot(0);
        setSlotIndex(0, ANIM_UNDRESSED);
        p->setPhase(InGamePlayer::DISGUISE_DRESSING);
    }
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameDisguisedPeople, .name = "scene.ingame.InGameDisguisedPeople",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameDisguisedPeople>)

// scene.ingame.InGameTransportItem: carries the player between the rows of a level.
#include "scene_ingame_InGameTransportItem.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "java_lang_IllegalArgumentException.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGamePlayer.h"

namespace scene::ingame {

namespace {

constexpr jint VARIANTS = 6;
// By location code (0 to 6) and variant: the image and the animation-set
// resources. Codes 0 and 3 have no elevator and no passage (0: none).
constexpr jint kImages[LevelLoader::LOCATIONS][VARIANTS] = {
    {0x2411, 0x2411, 0x2412, 0x2412, 0, 0},           {0x100C, 0x100C, 0x100D, 0x100D, 0x100E, 0x100F},
    {0x140D, 0x140D, 0x140E, 0x140E, 0x140F, 0x1410}, {0x2411, 0x2411, 0x2412, 0x2412, 0, 0},
    {0x1C11, 0x1C11, 0x1C12, 0x1C12, 0x1C13, 0x1C14}, {0x200A, 0x200A, 0x200B, 0x200B, 0x200C, 0x200D},
    {0x2411, 0x2411, 0x2412, 0x2412, 0x2413, 0x2414},
};
constexpr jint kSets[LevelLoader::LOCATIONS][VARIANTS] = {
    {0x2400, 0x2400, 0x2401, 0x2401, 0, 0},           {0x1000, 0x1000, 0x1001, 0x1001, 0x1002, 0x1003},
    {0x1400, 0x1400, 0x1401, 0x1401, 0x1402, 0x1403}, {0x2400, 0x2400, 0x2401, 0x2401, 0, 0},
    {0x1C00, 0x1C00, 0x1C01, 0x1C01, 0x1C02, 0x1C03}, {0x2000, 0x2000, 0x2001, 0x2001, 0x2002, 0x2003},
    {0x2400, 0x2400, 0x2401, 0x2401, 0x2402, 0x2403},
};

constexpr jint NO_POINT = 10000;  // above every point id a level holds

[[noreturn]] void refuse(const char* why) {
    _VM_throw(java::lang::IllegalArgumentException::create()->construct(java::lang::String::_VM_fromUTF8(why)));
}

}  // namespace

VMPtr<InGameTransportItem> InGameTransportItem::construct() {
    Super::construct();
    return this;
}

bool InGameTransportItem::resources(jint location, jint variant, jint& image, jint& set) {
    if (location < 0 || location >= LevelLoader::LOCATIONS || variant < 0 || variant >= VARIANTS) return false;
    image = kImages[location][variant];
    set = kSets[location][variant];
    return image != 0;
}

jint InGameTransportItem::getTransportType() { return transportType; }
jint InGameTransportItem::pointX(jint i) { return (*path->get(i))[3]; }
jint InGameTransportItem::pointY(jint i) { return (*path->get(i))[4]; }

// --- set-up -------------------------------------------------------------------------------

void InGameTransportItem::setUp(jint index) {
    VMPtr<LevelLoader> level = levelLoader;
    if (level == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> record = VMPtr<VMIntRows>(level->componentRecords)->get(index);
    const jint location = (*record)[0], variant = (*record)[1];
    const jint x = (*record)[3], y = (*record)[4];
    pathId = (*record)[2];

    // The points in travel order: from the smallest id, each point's next id
    // when it is larger, else the id after. Where no point has the id the
    // chain breaks and the later positions stay empty.
    VMPtr<LevelLoader::Groups> groups = level->transportParts;
    if (groups == nullptr || pathId < 0 || pathId >= groups->length) refuse("transport without its path");
    VMPtr<VMIntRows> parts = groups->get(pathId);
    const jint n = parts == nullptr ? 0 : parts->length;
    std::vector<std::pair<jint, jint>> byId;  // point id, first part with it
    byId.reserve(size_t(n));
    jint key = NO_POINT;
    for (jint i = 0; i < n; ++i) {
        const jint id = (*parts->get(i))[1];
        byId.emplace_back(id, i);
        key = std::min(key, id);
    }
    std::stable_sort(byId.begin(), byId.end(), [](auto& a, auto& b) { return a.first < b.first; });
    VMPtr<VMIntRows> points = VMIntRows::create(n, 0);
    for (jint position = 0; position < n; ++position) {
        auto found = std::lower_bound(byId.begin(), byId.end(), key,
                                      [](const std::pair<jint, jint>& e, jint k) { return e.first < k; });
        if (found == byId.end() || found->first != key) break;
        VMPtr<VMInts> part = parts->get(found->second);
        VMPtr<VMInts> copy = VMInts::create(LevelLoader::TRANSPORT_PART_WIDTH);
        for (jint k = 0; k < copy->length && k < part->length; ++k) (*copy)[k] = (*part)[k];
        points->set(position, copy);
        const jint next = (*part)[2];
        key = next > key ? next : key + 1;
    }
    path = points;
    if (n == 0 || points->get(0) == nullptr) refuse("transport without its path");
    transportType = (*points->get(0))[5];

    jint image = 0, set = 0;
    if (!resources(location, variant, image, set)) refuse("transport of no location");
    switch (transportType) {
        case STAIRS_UP:
        case STAIRS_DOWN:
            setSlotCapacity(1);
            addAnimation(image, set, 0, x, y);
            if (variant % 2 == 1) mirrorSlot(0);
            setLayer(STAIRS_LAYER);
            break;
        case ELEVATOR: {
            if (n < 2 || points->get(1) == nullptr) refuse("elevator without two points");
            if (depthStep <= 0) refuse("elevator without depth rows");
            const jint top = pointY(1);
            const jint layers = (pointY(0) - top) / depthStep + 3;
            if (layers < 3) refuse("elevator whose first point is above its second");
            setSlotCapacity(layers);
            addAnimation(image, set, CABIN_REST, x, y);
            for (jint i = 0; i <= layers - 3; ++i) addAnimation(image, set, DOOR_CLOSED, x, top + i * depthStep);
            doorLayer = slotCount;
            addAnimation(image, set, CABIN_REST, x, y);
            setLayer(TRANSPORT_LAYER);
            break;
        }
        case PASSAGE:
            if (n < 2 || points->get(1) == nullptr) refuse("passage without two ends");
            setSlotCapacity(1);
            addAnimation(image, set, HATCH_CLOSED, x, y);
            // Point 0 is always the end where this transport stands.
            if (x == pointX(1) && y == pointY(1)) {
                VMPtr<VMInts> first = points->get(0);
                points->set(0, points->get(1));
                points->set(1, first);
            }
            setLayer(TRANSPORT_LAYER);
            break;
        default: refuse("transport of no type"); break;
    }
}

void InGameTransportItem::reset(jint index) {
    if (transportType == PASSAGE) {
        setSlotIndex(0, HATCH_CLOSED);
        return;
    }
    if (transportType != ELEVATOR) return;
    VMPtr<LevelLoader> level = levelLoader;
    if (level == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> record = VMPtr<VMIntRows>(level->componentRecords)->get(index);
    const jint x = (*record)[3], y = (*record)[4];
    const jint last = slotCount - 1;
    setSlotIndex(0, CABIN_REST);
    setSlotPosition(0, x, y);
    for (jint s = 1; s < last; ++s) {
        setSlotIndex(s, DOOR_CLOSED);
        setSlotPosition(s, x, pointY(1) + (s - 1) * depthStep);
    }
    setSlotIndex(last, CABIN_REST);
    setSlotPosition(last, x, y);
    doorLayer = last;
}

// --- entering -----------------------------------------------------------------------------

bool InGameTransportItem::enter(jint wanted, jint fromStart) {
    if (GamePad::getInstance()->getDirection() != wanted) return false;
    VMPtr<InGamePlayer> p = player;
    p->beginInteraction(pathId, transportType);
    if (transportType != ELEVATOR) p->setPath(path);
    p->startClimb(fromStart);
    return true;
}

void InGameTransportItem::enterFromTop() { enter(GamePad::DOWN_HELD, false); }
void InGameTransportItem::enterFromBottom() { enter(GamePad::UP_HELD, true); }
void InGameTransportItem::enterPassage() { enter(GamePad::ACTION_PRESSED, true); }

void InGameTransportItem::boardElevator() {
    if (!enter(GamePad::ACTION_PRESSED, true)) return;
    // The cabin and the moving slot come to the rider's row.
    setSlotPosition(0, getSlotX(0), playerY);
    const jint last = slotCount - 1;
    setSlotPosition(last, getSlotX(last), playerY);
}

// --- the frame ----------------------------------------------------------------------------

jint InGameTransportItem::rowAt(jint y) { return (y - pointY(1)) / depthStep + 1; }

bool InGameTransportItem::meets(jint slot) {
    VMPtr<InGamePlayer> p = player;
    return collides(slot, 0, p->getBox());
}

void InGameTransportItem::update(jint a, jint b) {
    VMPtr<InGamePlayer> p = player;
    if (p == nullptr) return;
    onPlayerRow = depth == p->getDepth();
    const bool free = p->isExposed() && !p->isEngaged();
    switch (transportType) {
        case STAIRS_UP:
        case STAIRS_DOWN:
            if (free) {
                const jint hit = getBoxIdAt(0, p->getBox());
                if (hit == 0)
                    enterFromBottom();
                else if (hit == 1)
                    enterFromTop();
            }
            break;
        case ELEVATOR: {
            InGameObject::update(a, b);
            const jint row = rowAt(playerY);
            const jint last = slotCount - 1;
            if (free) {
                doorLayer = row;
                // Only a door slot boards: not the cabin (0), not the last slot.
                if (0 < row && row < last && meets(row)) boardElevator();
            } else if (p->getInteractionTarget() == pathId) {
                updateElevatorRide();
            } else {
                const jint served = std::clamp(row, jint(1), last);
                setSlotPosition(0, getSlotX(0), getSlotY(served));
            }
            break;
        }
        case PASSAGE:
            InGameObject::update(a, b);
            if (free && meets(0))
                enterPassage();
            else if (p->getInteractionTarget() == pathId)
                updatePassageRide();
            break;
        default: break;
    }
}

jint InGameTransportItem::door() { return 0 < doorLayer && doorLayer < slotCount - 1 ? doorLayer : -1; }

jint InGameTransportItem::doorAnimation() {
    const jint d = door();
    return d < 0 ? -1 : getSlotIndex(d);
}

void InGameTransportItem::setDoorAnimations(jint anim) {
    for (jint s = 1; s < slotCount - 1; ++s) setSlotIndex(s, anim);
}

void InGameTransportItem::updateElevatorRide() {
    VMPtr<InGamePlayer> p = player;
    const jint last = slotCount - 1;
    const jint d = door();
    const jint doorAnim = doorAnimation();
    const jint phase = p->getPhase();
    switch (p->getState()) {
        case InGamePlayer::MOUNTING:
            if (phase != InGamePlayer::MOUNT_WAIT) break;
            if (doorAnim == DOOR_CLOSED || doorAnim == DOOR_SHUT) {
                setSlotIndex(d, DOOR_OPENING);
            } else if (doorAnim == DOOR_OPEN) {
                p->setPositionAll(getSlotX(d), getSlotY(d));
                p->setPhase(InGamePlayer::MOUNT_START);
            }
            break;
        case InGamePlayer::RIDING:
            if (phase == InGamePlayer::RIDE_START) {
                if (d >= 0) setSlotIndex(d, DOOR_CLOSING);
                p->setPhase(InGamePlayer::RIDE_BOARDED);
            } else if (phase == InGamePlayer::RIDE_UNDERWAY && doorAnim == DOOR_SHUT) {
                setDoorAnimations(SHAFT);
                setSlotIndex(1, SHAFT_TOP);
                setSlotIndex(last, CAR_STANDING);
                p->setState(InGamePlayer::HELD);
                p->setPositionAll(getSlotX(last), getSlotY(last));
            }
            break;
        case InGamePlayer::HELD: {
            if (phase != InGamePlayer::RIDE_BOARDED) break;
            const jint car = getSlotIndex(last);
            if (car == 1 || car == 3 || car >= 5) {
                setSlotPosition(0, getSlotX(0), getSlotY(last));
                p->setPositionAll(getSlotX(last), getSlotY(last));
                break;
            }
            const jint input = GamePad::getInstance()->getDirection();
            if (input == GamePad::UP_PRESSED || input == GamePad::UP_HELD) {
                if (playerY != pointY(1)) setSlotIndex(last, CAR_UP);
            } else if (input == GamePad::DOWN_PRESSED || input == GamePad::DOWN_HELD) {
                if (playerY != pointY(0)) setSlotIndex(last, CAR_DOWN);
            } else if (input == GamePad::ACTION_PRESSED) {
                doorLayer = rowAt(playerY);
                setDoorAnimations(DOOR_CLOSED);
                setSlotPosition(0, getSlotX(last), getSlotY(last));
                setSlotIndex(last, CABIN_REST);
                if (door() >= 0) setSlotIndex(door(), DOOR_OPENING);
                p->setPhase(InGamePlayer::RIDE_ARRIVED);
            }
            break;
        }
        case InGamePlayer::DISMOUNTING:
            if (phase == InGamePlayer::DISMOUNT_WAIT) {
                if (doorAnim == DOOR_CLOSED || doorAnim == DOOR_SHUT)
                    setSlotIndex(d, DOOR_OPENING);
                else if (doorAnim == DOOR_OPEN)
                    p->setPhase(InGamePlayer::DISMOUNT_START);
            } else if (phase == InGamePlayer::DISMOUNT_OUT) {
                if (d >= 0) setSlotIndex(d, DOOR_CLOSING);
                p->setPhase(InGamePlayer::DISMOUNT_DONE);
            }
            break;
        default: break;
    }
}

void InGameTransportItem::updatePassageRide() {
    VMPtr<InGamePlayer> p = player;
    const jint anim = getSlotIndex(0);
    const jint phase = p->getPhase();
    const bool closed = anim == HATCH_CLOSED || anim == HATCH_SHUT;
    const bool here = playerX == getSlotX(0) && playerY == getSlotY(0);
    switch (p->getState()) {
        case InGamePlayer::MOUNTING:
            if (phase != InGamePlayer::MOUNT_WAIT || getBoxIdAt(0, p->getBox()) < 0) break;
            if (closed)
                setSlotIndex(0, HATCH_OPENING);
            else if (anim == HATCH_OPEN)
                p->setPhase(InGamePlayer::MOUNT_START);
            break;
        case InGamePlayer::RIDING:
            if (!here) break;
            if (phase == InGamePlayer::RIDE_START) {
                setSlotIndex(0, HATCH_CLOSING);
                p->setPhase(InGamePlayer::RIDE_BOARDED);
            } else if (phase == InGamePlayer::RIDE_ARRIVED && closed) {
                setSlotIndex(0, HATCH_OPENING);
            }
            break;
        case InGamePlayer::DISMOUNTING:
            if (!here) break;
            if (phase == InGamePlayer::DISMOUNT_WAIT && closed) {
                setSlotIndex(0, HATCH_OPENING);
            } else if (phase == InGamePlayer::DISMOUNT_WAIT && anim == HATCH_OPEN) {
                p->setPhase(InGamePlayer::DISMOUNT_START);
            } else if (phase == InGamePlayer::DISMOUNT_OUT) {
                setSlotIndex(0, HATCH_CLOSING);
                p->setPhase(InGamePlayer::DISMOUNT_DONE);
            }
            break;
        default: break;
    }
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameTransportItem, .name = "scene.ingame.InGameTransportItem",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameTransportItem>)

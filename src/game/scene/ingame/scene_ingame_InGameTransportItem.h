// scene.ingame.InGameTransportItem: carries the player between the rows of a
// level. Four types, taken from the first point of the transport's path:
//   0, 1 stairs (entered at the foot, box 0, with up held; at the top
//        landing, box 1, with down held); the player climbs the path;
//   2    an elevator: slot 0 the cabin, one door slot per row from the top
//        row down, and a last slot that moves the rider; the rider boards
//        at a door with action, rides up and down row by row and leaves by
//        action at the row it stands on;
//   3    one end of a passage: the player enters with action and comes out
//        at the path's other point (where the passage's other end stands).
// The transport owns a copy of its path in travel order; the sequence itself
// lives in the player's state and phase, which the transport advances.
//
// Slots by look: the record's location code and variant pick the image and
// animation-set pair of every slot.
#pragma once

#include "VM.h"
#include "scene_ingame_InGameObject.h"

namespace scene::ingame {

class InGameTransportItem : public InGameObject {
    VM_DECLARE_CLASS(InGameTransportItem, InGameObject)

public:
    static constexpr jint STAIRS_UP = 0;
    static constexpr jint STAIRS_DOWN = 1;
    static constexpr jint ELEVATOR = 2;
    static constexpr jint PASSAGE = 3;
    // Drawing layers.
    static constexpr jint STAIRS_LAYER = 80;
    static constexpr jint TRANSPORT_LAYER = 50;
    // Elevator animations: a door closed, opening, open, closing, closed
    // again; the shaft during a ride; the cabin at rest.
    static constexpr jint DOOR_CLOSED = 5, DOOR_OPENING = 6, DOOR_OPEN = 7, DOOR_CLOSING = 8, DOOR_SHUT = 9;
    static constexpr jint SHAFT_TOP = 11, SHAFT = 12, CABIN_REST = 10;
    // The moving slot: standing (0, 2, 4), down a row (1), up a row (3).
    static constexpr jint CAR_STANDING = 0, CAR_DOWN = 1, CAR_UP = 3;
    // Passage animations.
    static constexpr jint HATCH_CLOSED = 0, HATCH_OPENING = 1, HATCH_OPEN = 2, HATCH_CLOSING = 3, HATCH_SHUT = 4;

    jint doorLayer = 0;       // elevator: the door slot of the row served; after set-up the last slot
    jint pathId = 0;          // the player's interactionTarget while it uses this transport
    VMField<VMIntRows> path;  // the points in travel order: path, id, next id, x, y, type
    jint transportType = 0;

    VMPtr<InGameTransportItem> construct();

    // MyObject: one frame (see the types above).
    void update(jint a, jint b) override;
    using InGameObject::reset;

    // The elevator while the player rides it.
    virtual void updateElevatorRide();
    // Elevator: action pressed boards it.
    virtual void boardElevator();
    // Builds the transport from component record `index` of the level.
    virtual void setUp(jint index);
    // Stairs: down held enters at the path's last point.
    virtual void enterFromTop();
    // Stairs: up held enters at the path's first point.
    virtual void enterFromBottom();
    // Back to the rest look after a restart: the elevator from record
    // `index`, the passage closed.
    virtual void reset(jint index);
    // The passage while the player uses it.
    virtual void updatePassageRide();
    // Passage: action pressed enters it.
    virtual void enterPassage();
    virtual jint getTransportType();

    // The image and animation-set resources of a location code and variant;
    // false for a pair no location holds.
    static bool resources(jint location, jint variant, jint& image, jint& set);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(path, bits);
    }

private:
    // On the pad code `wanted`: the player begins this interaction and
    // starts at the path's first point (fromStart) or its last.
    bool enter(jint wanted, jint fromStart);
    jint pointX(jint i);
    jint pointY(jint i);
    // Row slot of the elevator at level height y (1 the top row).
    jint rowAt(jint y);
    // The door slot of the row served, -1 when doorLayer is no door.
    jint door();
    jint doorAnimation();
    void setDoorAnimations(jint anim);
    // The player's box meets box 0 of the slot.
    bool meets(jint slot);
};

}  // namespace scene::ingame

// generated.LevelEntity: the object types of the level stream, 0 to 24 (7, the checkpoint zone,
// has no entity type of its own). Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace generated {

class LevelEntity : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(LevelEntity)

public:
    static constexpr jint AIRPORT_BG_ITEM = 0;
    static constexpr jint AIRPORT_COMPONENT_ITEM = 1;
    static constexpr jint AIRPORT_INTERACTION_ITEM = 2;
    static constexpr jint BASE_BG_ITEM = 3;
    static constexpr jint BASE_COMPONENT_ITEM = 4;
    static constexpr jint BASE_INTERACTION_ITEM = 5;
    static constexpr jint BLOCKING_FLOOR_AREA = 6;
    static constexpr jint CHECKPOINT_ZONE = 7;
    static constexpr jint COMMON_TRAP = 8;
    static constexpr jint DISGUISED_CHAR = 9;
    static constexpr jint GENERAL_CHAR = 10;
    static constexpr jint HOTEL_BG_ITEM = 11;
    static constexpr jint HOTEL_COMPONENT_ITEM = 12;
    static constexpr jint HOTEL_INTERACTION_ITEM = 13;
    static constexpr jint KEY_ITEM = 14;
    static constexpr jint MANSION_BG_ITEM = 15;
    static constexpr jint MANSION_COMPONENT_ITEM = 16;
    static constexpr jint MANSION_INTERACTION_ITEM = 17;
    static constexpr jint PARK_BG_ITEM = 18;
    static constexpr jint PARK_COMPONENT_ITEM = 19;
    static constexpr jint PARK_INTERACTION_ITEM = 20;
    static constexpr jint PLAYER = 21;
    static constexpr jint STAGE_GLOBAL_ENTITY = 22;
    static constexpr jint TARGET_MARKER = 23;
    static constexpr jint TRANSPORT_PART = 24;
    static constexpr jint COUNT = 25;
};

}  // namespace generated

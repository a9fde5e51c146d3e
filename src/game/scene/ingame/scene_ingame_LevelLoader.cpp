// scene.ingame.LevelLoader: keeps what a level holds, from the level reader's callbacks.
#include "scene_ingame_LevelLoader.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "com_ventrix_common_Main.h"
#include "generated_LevelEntity.h"
#include "generated_RP.h"
#include "generated_entity_AirportBGItem.h"
#include "generated_entity_AirportComponentItem.h"
#include "generated_entity_AirportInteractionItem.h"
#include "generated_entity_BaseBGItem.h"
#include "generated_entity_BaseComponentItem.h"
#include "generated_entity_BaseInteractionItem.h"
#include "generated_entity_BlockingFloorArea.h"
#include "generated_entity_CommonTrap.h"
#include "generated_entity_DisguisedChar.h"
#include "generated_entity_GeneralChar.h"
#include "generated_entity_HotelBGItem.h"
#include "generated_entity_HotelComponentItem.h"
#include "generated_entity_HotelInteractionItem.h"
#include "generated_entity_KeyItem.h"
#include "generated_entity_MansionBGItem.h"
#include "generated_entity_MansionComponentItem.h"
#include "generated_entity_MansionInteractionItem.h"
#include "generated_entity_ParkBGItem.h"
#include "generated_entity_ParkComponentItem.h"
#include "generated_entity_ParkInteractionItem.h"
#include "generated_entity_Player.h"
#include "generated_entity_StageGlobalEntity.h"
#include "generated_entity_TargetMarker.h"
#include "generated_entity_TransportPart.h"
#include "java_lang_ClassCastException.h"
#include "java_io_PrintStream.h"
#include "java_lang_Exception.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"
#include "scene_ingame_InGameTransportItem.h"
#include "ts_Resources.h"

namespace scene::ingame {

using java::lang::String;

namespace {

using namespace generated::entity;

// Location codes: the background catalogues and the per-location tables.
constexpr jint kAirport = 1;
constexpr jint kMansion = 2;
constexpr jint kPark = 4;
constexpr jint kBase = 5;
constexpr jint kHotel = 6;

VMPtr<LevelLoader::Groups> emptyGroups(jint groups) {
    VMPtr<LevelLoader::Groups> result = LevelLoader::Groups::create(groups);
    for (jint g = 0; g < groups; ++g) result->set(g, VMIntRows::create(0));
    return result;
}

// A table of `rows` rows of `width` ints.
VMPtr<VMIntRows> table(jint rows, jint width) {
    VMPtr<VMIntRows> t = VMIntRows::create(rows);
    for (jint r = 0; r < rows; ++r) t->set(r, VMInts::create(width));
    return t;
}

// A grouped table before it is grouped holds one plane, the records in
// stream order; grouping sorts them by their first field.
constexpr jint kLoaded = 0;
constexpr jint kGroupField = 0;

// One ungrouped plane: the records of a group as the stream gives them.
VMPtr<LevelLoader::Groups> plane(jint rows, jint width) {
    VMPtr<LevelLoader::Groups> result = LevelLoader::Groups::create(1);
    result->set(kLoaded, table(rows, width));
    return result;
}

std::string number(jint n) { return std::to_string(n); }

const char* lookName(jint variant) {
    if (variant < LevelLoader::ESCALATOR_LOOK) return "stairs";
    if (variant < LevelLoader::ELEVATOR_LOOK) return "an escalator";
    return variant == LevelLoader::ELEVATOR_LOOK ? "the elevator" : "the hatch";
}

const char* transportName(jint type) {
    switch (type) {
        case InGameTransportItem::STAIRS_UP: return "stairs-up";
        case InGameTransportItem::STAIRS_DOWN: return "stairs-down";
        case InGameTransportItem::ELEVATOR: return "elevator";
        default: return "passage";
    }
}

// --- the object types -------------------------------------------------------------------------

// Where the records of a type's group go.
enum class Place : uint8_t {
    NOWHERE,   // nothing is read or kept
    TABLE,     // a table of the loader's
    PLANE,     // the one plane of a table grouped once the level is read
    LOCATION,  // the background items of the type's location
    PLAYER,    // the player's one record: the last one read
};

// A field an object carries after its position, and the values it may hold.
struct Field {
    enum Limit : uint8_t { ANY, AT_MOST, BELOW };
    static constexpr jint FLAG = 0;  // as `bits`: one bit, read as a boolean

    jint bits = 0;
    Limit limit = ANY;
    jint bound = 0;
    const char* name = nullptr;   // how a refusal names the value
    const char* whose = nullptr;  // BELOW: what has `bound` of them; null for the type's location
};

constexpr jint kMaxFields = 4;

// The fields of each type, by their place after the object's position (the
// names of the level files, docs/formats.md).
struct BgItemField {
    enum : jint { ITEM };
};
struct ComponentField {
    enum : jint { VARIANT, PATH };
};
struct InteractionField {
    enum : jint { VARIANT, FIXED, OUTFIT, KEY_LEVEL };
};
struct WallField {
    enum : jint { WIDTH, ROW };
};
struct TrapField {
    enum : jint { KIND, START_TIME };
};
struct DisguisedField {
    enum : jint { LOOK, MODE, RANGE, VALUE };
};
struct PersonField {
    enum : jint { LOOK, ANIMATION };
};
struct KeyField {
    enum : jint { KIND };
};
struct PlayerField {
    enum : jint { VALUE };
};
struct TargetField {
    enum : jint { KIND, INDEX };
};
struct PartField {
    enum : jint { PATH, ID, NEXT, TYPE };
};

// An object as read: what its record is made of.
struct Placed {
    jint x = 0;
    jint y = 0;
    jint fields[kMaxFields] = {};
    jint location = 0;
    jint row = 0;  // the row of the table its record takes
    jint tileWidth = 0;
    jint tileHeight = 0;
};

using Record = std::array<jint, 8>;

// The description of one object type: its record table and width, the
// fields that follow each object's position, and the record they make.
struct Kind {
    jint type = 0;
    Place place = Place::NOWHERE;
    jint location = -1;
    jint width = 0;
    const char* records = nullptr;  // how a refusal names the records
    jint fieldCount = 0;
    Field fields[kMaxFields] = {};
    Record (*record)(const Placed&) = nullptr;
    VMField<VMIntRows> LevelLoader::*rows = nullptr;             // TABLE
    VMField<LevelLoader::Groups> LevelLoader::*plane = nullptr;  // PLANE
    jint LevelLoader::*fill = nullptr;                           // TABLE and PLANE: rows taken
    jint LevelLoader::*count = nullptr;                          // TABLE and PLANE: rows announced
    jint rowField = -1;  // the field naming the record's row; -1: the rows in stream order
};

constexpr Kind background(jint type, jint location, jint itemBits, jint catalogue) {
    return {.type = type,
            .place = Place::LOCATION,
            .location = location,
            .width = LevelLoader::BG_ITEM_WIDTH,
            .records = "background items",
            .fieldCount = 1,
            .fields = {{itemBits, Field::BELOW, catalogue, "background item"}},
            .record = [](const Placed& o) -> Record {
                return {o.fields[BgItemField::ITEM], o.x, o.y};
            }};
}

constexpr Kind component(jint type, jint location) {
    return {.type = type,
            .place = Place::TABLE,
            .location = location,
            .width = LevelLoader::COMPONENT_WIDTH,
            .records = "components",
            .fieldCount = 2,
            .fields = {{3, Field::AT_MOST, LevelLoader::MAX_COMPONENT_VARIANT, "component variant"}, {16}},
            .record = [](const Placed& o) -> Record {
                return {o.location, o.fields[ComponentField::VARIANT], o.fields[ComponentField::PATH], o.x, o.y};
            },
            .rows = &LevelLoader::componentRecords,
            .fill = &LevelLoader::componentFill,
            .count = &LevelLoader::componentCount};
}

constexpr Kind interaction(jint type, jint location) {
    return {.type = type,
            .place = Place::TABLE,
            .location = location,
            .width = LevelLoader::INTERACTION_WIDTH,
            .records = "interaction items",
            .fieldCount = 4,
            .fields = {{2, Field::AT_MOST, LevelLoader::MAX_INTERACTION_VARIANT, "interaction variant"},
                       {Field::FLAG},
                       {16},
                       {16}},
            // Every variant above 0 is one of the hotel's.
            .record = [](const Placed& o) -> Record {
                const jint variant = o.fields[InteractionField::VARIANT];
                return {variant > 0 ? kHotel : o.location,
                        variant,
                        o.fields[InteractionField::FIXED],
                        o.x,
                        o.y,
                        o.fields[InteractionField::OUTFIT],
                        o.fields[InteractionField::KEY_LEVEL]};
            },
            .rows = &LevelLoader::interactionRecords,
            .fill = &LevelLoader::interactionFill,
            .count = &LevelLoader::interactionCount};
}

constexpr Kind nothing(jint type) {
    Kind kind;
    kind.type = type;
    return kind;
}

// By type.
constexpr Kind kKinds[] = {
    background(AirportBGItem::TYPE, kAirport, 6, 33),
    component(AirportComponentItem::TYPE, kAirport),
    interaction(AirportInteractionItem::TYPE, kAirport),
    background(BaseBGItem::TYPE, kBase, 6, 45),
    component(BaseComponentItem::TYPE, kBase),
    interaction(BaseInteractionItem::TYPE, kBase),
    {.type = BlockingFloorArea::TYPE,
     .place = Place::PLANE,
     .width = LevelLoader::FLOOR_AREA_WIDTH,
     .records = "floor areas",
     .fieldCount = 2,
     .fields = {{16}, {16, Field::AT_MOST, LevelLoader::MAX_GROUP, "floor area of depth row"}},
     .record = [](const Placed& o) -> Record {
         return {o.fields[WallField::ROW], o.x, o.y, o.fields[WallField::WIDTH] * o.tileWidth, 4 * o.tileHeight};
     },
     .plane = &LevelLoader::floorAreas,
     .fill = &LevelLoader::floorAreaFill,
     .count = &LevelLoader::floorAreaCount},
    {.type = generated::LevelEntity::CHECKPOINT_ZONE,
     .place = Place::TABLE,
     .width = LevelLoader::ZONE_WIDTH,
     .records = "checkpoint zones",
     .record = [](const Placed& o) -> Record {
         return {o.x, o.y + o.tileHeight, 4 * o.tileWidth, 3 * o.tileHeight};
     },
     .rows = &LevelLoader::zoneRecords,
     .fill = &LevelLoader::zoneFill,
     .count = &LevelLoader::zoneCount},
    {.type = CommonTrap::TYPE,
     .place = Place::TABLE,
     .width = LevelLoader::TRAP_WIDTH,
     .records = "traps",
     .fieldCount = 2,
     .fields = {{3, Field::AT_MOST, LevelLoader::MAX_TRAP_KIND, "trap kind"}, {16}},
     .record = [](const Placed& o) -> Record {
         return {o.fields[TrapField::KIND], o.x, o.y, o.fields[TrapField::START_TIME], 0};
     },
     .rows = &LevelLoader::trapRecords,
     .fill = &LevelLoader::trapFill,
     .count = &LevelLoader::trapCount},
    {.type = DisguisedChar::TYPE,
     .place = Place::TABLE,
     .width = LevelLoader::DISGUISED_WIDTH,
     .records = "disguised people",
     .fieldCount = 4,
     .fields = {{4, Field::AT_MOST, LevelLoader::MAX_DISGUISED_LOOK, "disguised look"}, {16}, {16}, {16}},
     // Look, position, id, mode, value, and the walk's ends `range` tiles
     // either side.
     .record = [](const Placed& o) -> Record {
         const jint look = o.fields[DisguisedField::LOOK], mode = o.fields[DisguisedField::MODE];
         const jint value = o.fields[DisguisedField::VALUE], reach = o.fields[DisguisedField::RANGE] * o.tileWidth;
         return {look, o.x, o.y, 1000 + o.row, mode, value, o.x - reach, o.x + reach};
     },
     .rows = &LevelLoader::disguisedRecords,
     .fill = &LevelLoader::disguisedFill,
     .count = &LevelLoader::disguisedCount},
    {.type = GeneralChar::TYPE,
     .place = Place::TABLE,
     .width = LevelLoader::GENERAL_WIDTH,
     .records = "people",
     .fieldCount = 2,
     .fields = {{4, Field::AT_MOST, LevelLoader::MAX_GENERAL_LOOK, "general look"},
                {16, Field::BELOW, LevelLoader::GENERAL_ANIMATION_PAIRS, "person's animation", "a look"}},
     .record = [](const Placed& o) -> Record {
         return {o.fields[PersonField::LOOK], o.x, o.y, o.fields[PersonField::ANIMATION]};
     },
     .rows = &LevelLoader::generalRecords,
     .fill = &LevelLoader::generalFill,
     .count = &LevelLoader::generalCount},
    background(HotelBGItem::TYPE, kHotel, 7, 83),
    component(HotelComponentItem::TYPE, kHotel),
    interaction(HotelInteractionItem::TYPE, kHotel),
    {.type = KeyItem::TYPE,
     .place = Place::TABLE,
     .width = LevelLoader::KEY_WIDTH,
     .records = "keys",
     .fieldCount = 1,
     .fields = {{2}},
     .record = [](const Placed& o) -> Record {
         return {o.fields[KeyField::KIND], o.x, o.y};
     },
     .rows = &LevelLoader::keyRecords,
     .fill = &LevelLoader::keyFill,
     .count = &LevelLoader::keyCount},
    background(MansionBGItem::TYPE, kMansion, 7, 87),
    component(MansionComponentItem::TYPE, kMansion),
    interaction(MansionInteractionItem::TYPE, kMansion),
    background(ParkBGItem::TYPE, kPark, 6, 47),
    component(ParkComponentItem::TYPE, kPark),
    interaction(ParkInteractionItem::TYPE, kPark),
    {.type = Player::TYPE,
     .place = Place::PLAYER,
     .width = LevelLoader::PLAYER_WIDTH,
     .fieldCount = 1,
     .fields = {{7, Field::BELOW, LevelLoader::PLAYER_ANIMATIONS, "player's animation", "the player"}},
     .record = [](const Placed& o) -> Record {
         return {o.fields[PlayerField::VALUE], o.x, o.y};
     }},
    nothing(StageGlobalEntity::TYPE),
    // Each target at the row it names; a later one overwrites.
    {.type = TargetMarker::TYPE,
     .place = Place::TABLE,
     .width = LevelLoader::TARGET_WIDTH,
     .records = "target",
     .fieldCount = 2,
     .fields = {{4, Field::AT_MOST, LevelLoader::MAX_TARGET_KIND, "target kind"}, {16}},
     .record = [](const Placed& o) -> Record {
         return {o.x, o.y, o.fields[TargetField::KIND]};
     },
     .rows = &LevelLoader::targetMarkers,
     .fill = &LevelLoader::targetIndex,
     .count = &LevelLoader::targetCount,
     .rowField = TargetField::INDEX},
    {.type = TransportPart::TYPE,
     .place = Place::PLANE,
     .width = LevelLoader::TRANSPORT_PART_WIDTH,
     .records = "transport parts",
     .fieldCount = 4,
     .fields = {{16, Field::AT_MOST, LevelLoader::MAX_GROUP, "transport part of path"}, {16}, {16}, {16}},
     // Path, id, next id, the point (stairs stand half a tile in), type.
     .record = [](const Placed& o) -> Record {
         const jint type = o.fields[PartField::TYPE];
         const jint in = type >= InGameTransportItem::ELEVATOR ? o.tileWidth : o.tileWidth / 2;
         const jint path = o.fields[PartField::PATH], id = o.fields[PartField::ID], next = o.fields[PartField::NEXT];
         return {path, id, next, o.x + in, o.y + o.tileHeight, type};
     },
     .plane = &LevelLoader::transportParts,
     .fill = &LevelLoader::transportPartFill,
     .count = &LevelLoader::transportPartCount},
};

constexpr bool everyTypeInItsPlace() {
    for (jint t = 0; t < jint(std::size(kKinds)); ++t) {
        const Kind& kind = kKinds[t];
        if (kind.type != t || kind.width > jint(Record().size()) || kind.fieldCount > kMaxFields) return false;
    }
    return std::size(kKinds) == size_t(generated::LevelEntity::COUNT);
}
static_assert(everyTypeInItsPlace(),
              "one description per object type, in the order of the types, each within a record's room");

const Kind* kindOf(jint type) { return type >= 0 && type < jint(std::size(kKinds)) ? &kKinds[type] : nullptr; }

}  // namespace

VMPtr<LevelLoader> LevelLoader::construct() {
    Super::construct();
    _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
    canvas = com::ventrix::common::Main::canvas;
    onCreate();
    reset();
    currentLevel = NO_LEVEL;
    return this;
}

VMPtr<LevelLoader> LevelLoader::getInstance() {
    _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
    VMPtr<com::ventrix::common::LevelReceiver> receiver = com::ventrix::common::Main::levelLoader;
    if (receiver == nullptr) return nullptr;
    auto* loader = dynamic_cast<LevelLoader*>(receiver.get());
    if (loader == nullptr) _VM_throw(java::lang::ClassCastException::create()->construct());
    return loader;
}

void LevelLoader::refuse(const std::string& reason) {
    _VM_throw(java::lang::IllegalArgumentException::create()->construct(String::_VM_fromUTF8(reason.c_str())));
}

jint LevelLoader::bits(jint n) {
    VMPtr<ts::TsCanvas> reader = canvas;
    return reader->levelReadBits(n);
}

jint LevelLoader::nextRow(jint& fill, jint length, const char* what) {
    if (fill >= length) refuse(std::string("more ") + what + " than their group announced");
    return fill++;
}

jint LevelLoader::catalogueSize(jint location) {
    for (const Kind& kind : kKinds) {
        if (kind.place == Place::LOCATION && kind.location == location) return kind.fields[BgItemField::ITEM].bound;
    }
    return 0;
}

jint LevelLoader::locationForType(jint type) {
    const Kind* kind = kindOf(type);
    return kind != nullptr ? kind->location : -1;
}

void LevelLoader::reset() {
    disguisedRecords = VMIntRows::create(0);
    componentRecords = VMIntRows::create(0);
    interactionRecords = VMIntRows::create(0);
    zoneRecords = VMIntRows::create(0);
    trapRecords = VMIntRows::create(0);
    generalRecords = VMIntRows::create(0);
    keyRecords = VMIntRows::create(0);
    targetMarkers = VMIntRows::create(0);
    floorAreas = emptyGroups(1);
    transportParts = emptyGroups(1);
    bgItems = emptyGroups(LOCATIONS);
    bgItemCount = VMInts::create(LOCATIONS);
    bgItemFill = VMInts::create(LOCATIONS);
    map = VMInts::create(0);
    playerRecord = VMInts::create(0);
    floorAreaFill = interactionFill = generalFill = keyFill = disguisedFill = trapFill = 0;
    componentFill = transportPartFill = zoneFill = 0;
    componentCount = generalCount = zoneCount = keyCount = trapCount = transportPartCount = 0;
    interactionCount = disguisedCount = floorAreaCount = targetCount = playerCount = 0;
    mapWidth = mapHeight = tileWidth = tileHeight = tileSetImage = headerValue = targetIndex = 0;
}

void LevelLoader::readFirstLevelField(jint value) {
    (void)value;
    headerValue = bits(16);
}

void LevelLoader::setTileSetInfo(jint value, jint columns, jint imageId, jint width, jint height, jint option,
                                 jint tileCount) {
    (void)value, (void)columns, (void)option, (void)tileCount;
    if (width <= 0 || height <= 0) refuse("tile size " + number(width) + " x " + number(height));
    if (imageId < MIN_TILE_IMAGE) refuse("tile-set image " + number(imageId) + " is in no resource pack");
    tileSetImage = imageId;
    tileWidth = width;
    tileHeight = height;
}

void LevelLoader::defineTile(jint option, jint tile) {
    (void)option;
    // The tile layer draws tile `value & 0xFFF` from one row of tiles.
    if ((tile >> 12) != 0) refuse("tile-set entry in row " + number(tile >> 12));
}

void LevelLoader::setMapSize(jint width, jint height) {
    if (tileWidth <= 0 || tileHeight <= 0) refuse("map without a tile size");
    if (width <= 0 || height <= 0 || jlong(width) * height > MAX_MAP_CELLS) {
        refuse("map of " + number(width) + " x " + number(height) + " cells");
    }
    if (jlong(width) * tileWidth > MAX_COORDINATE || jlong(height) * tileHeight > MAX_COORDINATE) {
        refuse("map of " + number(width * tileWidth) + " x " + number(height * tileHeight) + " px");
    }
    map = VMInts::create(width * height);
    mapWidth = width;
    mapHeight = height;
}

void LevelLoader::setMapCell(jint x, jint y, jint tile) {
    if (x < 0 || x >= mapWidth || y < 0 || y >= mapHeight) refuse("map cell outside the map");
    VMInts* cells = map.get();
    cells->elements()[x + mapWidth * y] = tile;
}

void LevelLoader::beginObjectGroup(jint type, jint count) {
    if (count < 0) refuse("group of " + number(count) + " objects");
    const Kind* kind = kindOf(type);
    if (kind == nullptr) return;
    switch (kind->place) {
        case Place::NOWHERE: return;
        case Place::PLAYER: playerRecord = VMInts::create(kind->width); return;
        case Place::LOCATION:
            bgItems->set(kind->location, table(count, kind->width));
            (*bgItemCount)[kind->location] = count;
            (*bgItemFill)[kind->location] = 0;
            return;
        case Place::PLANE: this->*kind->plane = plane(count, kind->width); break;
        case Place::TABLE: this->*kind->rows = table(count, kind->width); break;
    }
    this->*kind->fill = 0;
    this->*kind->count = count;
}

void LevelLoader::addObject(jint type, jint x, jint y) {
    const Kind* kind = kindOf(type);
    if (kind == nullptr) return;  // not a type of the game's
    if (x < 0 || x > MAX_COORDINATE || y < 0 || y > MAX_COORDINATE) {
        refuse("type-" + number(type) + " object at (" + number(x) + ", " + number(y) + ")");
    }
    if (kind->place == Place::NOWHERE) return;
    Placed object{.x = x, .y = y, .location = kind->location, .tileWidth = tileWidth, .tileHeight = tileHeight};
    // Every field is read before any is checked.
    for (jint i = 0; i < kind->fieldCount; ++i) {
        const jint width = kind->fields[i].bits;
        object.fields[i] = width == Field::FLAG ? (canvas->levelReadBoolean() ? 1 : 0) : bits(width);
    }
    for (jint i = 0; i < kind->fieldCount; ++i) {
        const Field& field = kind->fields[i];
        const jint value = object.fields[i];
        if (field.limit == Field::AT_MOST && value > field.bound) refuse(field.name + (" " + number(value)));
        if (field.limit == Field::BELOW && value >= field.bound) {
            const std::string whose = field.whose != nullptr ? field.whose : "location " + number(kind->location);
            refuse(field.name + (" " + number(value)) + " beyond the " + number(field.bound) + " of " + whose);
        }
    }
    if (kind->place == Place::PLAYER) {
        VMPtr<VMInts> record = VMInts::create(kind->width);
        const Record values = kind->record(object);
        std::copy_n(values.begin(), kind->width, record->elements());
        playerRecord = record;
        ++playerCount;
        return;
    }
    VMIntRows* rows = nullptr;
    jint* fill = nullptr;
    if (kind->place == Place::LOCATION) {
        rows = bgItems->get(kind->location);
        fill = &(*bgItemFill)[kind->location];
    } else {
        rows = kind->place == Place::PLANE ? (this->*kind->plane)->get(kLoaded) : (this->*kind->rows).get();
        fill = &(this->*kind->fill);
    }
    if (kind->rowField < 0) {
        object.row = nextRow(*fill, rows->length, kind->records);
    } else {
        object.row = object.fields[kind->rowField];
        if (object.row >= rows->length) {
            refuse(kind->records + (" row " + number(object.row)) + " outside its group of " + number(rows->length));
        }
        *fill = object.row;
    }
    const Record values = kind->record(object);
    std::copy_n(values.begin(), kind->width, rows->get(object.row)->elements());
}

VMPtr<LevelLoader::Groups> LevelLoader::groupByFirstField(VMPtr<Groups> t) {
    if (t == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> rows = t->get(kLoaded);
    const jint count = rows->length;
    jint width = 0;
    jint largest = 0;
    for (jint r = 0; r < count; ++r) {
        VMInts* row = rows->get(r);
        const jint group = row->get(kGroupField);
        if (group < 0 || group > MAX_GROUP) refuse("record of group " + number(group));
        width = row->length;
        largest = std::max(largest, group);
    }
    std::vector<jint> sizes(size_t(largest) + 1, 0);
    for (jint r = 0; r < count; ++r) ++sizes[size_t(rows->get(r)->get(kGroupField))];
    VMPtr<Groups> result = Groups::create(largest + 1);
    for (jint g = 0; g <= largest; ++g) result->set(g, VMIntRows::create(sizes[size_t(g)]));
    std::vector<jint> fill(sizes.size(), 0);
    for (jint r = 0; r < count; ++r) {
        VMInts* row = rows->get(r);
        const jint group = row->get(kGroupField);
        VMPtr<VMInts> copy = VMInts::create(width);
        std::copy_n(row->elements(), std::min(width, row->length), copy->elements());
        result->get(group)->set(fill[size_t(group)]++, copy);
    }
    return result;
}

void LevelLoader::groupFloorAreas() { floorAreas = groupByFirstField(floorAreas.get()); }

void LevelLoader::groupTransportParts() { transportParts = groupByFirstField(transportParts.get()); }

void LevelLoader::finishLoading() {
    groupFloorAreas();
    groupTransportParts();
}

bool LevelLoader::lookFits(jint variant, jint transportType) {
    switch (transportType) {
        case InGameTransportItem::STAIRS_UP:
        case InGameTransportItem::STAIRS_DOWN: return variant >= STAIRS_LOOK && variant < ELEVATOR_LOOK;
        case InGameTransportItem::ELEVATOR: return variant == ELEVATOR_LOOK;
        case InGameTransportItem::PASSAGE: return variant == HATCH_LOOK;
        default: return false;
    }
}

VMPtr<String> LevelLoader::checkTileSetImage() {
    auto reason = [this](const std::string& what) {
        return String::_VM_fromUTF8(("tile-set image " + number(tileSetImage) + " " + what).c_str());
    };
    jint type = 0;
    try {
        type = ts::Resources::getResourceType(tileSetImage);
    } catch (java::lang::Exception* thrown) {
        VMPtr<java::lang::Exception> keep(thrown);
        return reason("is no resource");
    }
    if (type != PNG_TYPE) return reason("is no image (a resource of type " + number(type) + ")");
    try {
        // Decoded now, so that a broken picture is refused here and not when
        // the scene builds its tile layer.
        if (ts::Resources::getImage(tileSetImage) == nullptr) return reason("is no image");
    } catch (java::lang::Exception* thrown) {
        VMPtr<java::lang::Exception> keep(thrown);
        return reason("is no image that decodes");
    }
    return nullptr;
}

VMPtr<String> LevelLoader::checkLevel() {
    auto reason = [](const std::string& text) { return String::_VM_fromUTF8(text.c_str()); };
    if (tileWidth <= 0 || tileHeight <= 0) return reason("no tile set");
    if (mapWidth <= 0 || mapHeight <= 0) return reason("no map");
    if (playerCount == 0) return reason("no player record");
    if (targetCount == 0) return reason("no target record");

    // Each path a component uses, checked once: its parts must form one chain
    // of point ids, walked the way a transport copies them.
    Groups* paths = transportParts.get();
    std::vector<jint> pathType(size_t(paths->length), -1);  // the type of each path found sound
    VMIntRows* components = componentRecords.get();
    for (jint c = 0; c < components->length; ++c) {
        VMInts* record = components->get(c);
        const jint pathId = record->get(ComponentColumn::PATH);
        const jint variant = record->get(ComponentColumn::VARIANT);
        const std::string component = "component " + number(c) + ": path " + number(pathId);
        if (pathId >= paths->length || paths->get(pathId)->length == 0) return reason(component + " missing");
        if (pathType[size_t(pathId)] < 0) {
            VMIntRows* parts = paths->get(pathId);
            const jint n = parts->length;
            // Point id -> the first part with that id.
            std::vector<std::pair<jint, jint>> byId;
            byId.reserve(size_t(n));
            jint key = 10000;
            for (jint i = 0; i < n; ++i) {
                const jint id = parts->get(i)->get(PartColumn::ID);
                byId.emplace_back(id, i);
                key = std::min(key, id);
            }
            std::sort(byId.begin(), byId.end());
            std::vector<jint> order;
            order.reserve(size_t(n));
            for (jint position = 0; position < n; ++position) {
                auto found = std::lower_bound(byId.begin(), byId.end(), std::make_pair(key, jint(-1)));
                if (found == byId.end() || found->first != key) {
                    return reason(component + " is not one chain of points");
                }
                order.push_back(found->second);
                const jint next = parts->get(found->second)->get(PartColumn::NEXT);
                key = next > key ? next : key + 1;
            }
            VMInts* first = parts->get(order[0]);
            const jint type = first->get(PartColumn::TYPE);
            if (type > MAX_TRANSPORT_TYPE) return reason(component + " of transport type " + number(type));
            // The first point gives the transport its type; the walk of every
            // point follows that type, so they must all be of it.
            for (jint i = 1; i < n; ++i) {
                const jint other = parts->get(order[size_t(i)])->get(PartColumn::TYPE);
                if (other != type) {
                    return reason(component + " mixes " + transportName(type) + " and " + transportName(other) +
                                  " points");
                }
            }
            if ((type == InGameTransportItem::ELEVATOR || type == InGameTransportItem::PASSAGE) && n < 2) {
                return reason(component + " has " + number(n) + " point");
            }
            if (type == InGameTransportItem::ELEVATOR &&
                first->get(PartColumn::Y) <= parts->get(order[1])->get(PartColumn::Y)) {
                return reason(component + ": the elevator's first point is not below its second");
            }
            pathType[size_t(pathId)] = type;
        }
        // Each component is drawn with its own look, whose animation set
        // holds the animations of one transport type: the look of another
        // type lacks those its path plays.
        const jint type = pathType[size_t(pathId)];
        if (!lookFits(variant, type)) {
            return reason(component + " is of type " + transportName(type) + ", variant " + number(variant) +
                          " is the look of " + lookName(variant));
        }
    }
    return checkTileSetImage();
}

jboolean LevelLoader::selectLevel(jint level) {
    if (level == currentLevel) return true;
    currentLevel = level;
    reset();
    VMPtr<String> why;
    if (level < TUTORIAL_LEVEL || level > LAST_LEVEL) {
        why = VM_STR("no such level");
    } else {
        try {
            VMPtr<ts::TsCanvas> reader = canvas;
            // The tutorial (-1) is the first of the levels' resources.
            if (!reader->loadLevel(generated::RP::TUTORIAL_LEVEL + 1 + level)) {
                VMPtr<String> damage = reader->getLevelDamage();
                if (damage == nullptr) {
                    why = VM_STR("missing or cut short");
                } else {
                    why =
                        java::lang::StringBuffer::create()->construct(VM_STR("damaged: "))->append(damage)->toString();
                }
            } else {
                finishLoading();
                why = checkLevel();
            }
        } catch (java::lang::Exception* thrown) {
            VMPtr<java::lang::Exception> keep(thrown);
            why = keep->getMessage();
            if (why == nullptr) why = keep->getClass()->getName();
        }
    }
    if (why == nullptr) return true;
    reset();
    currentLevel = NO_LEVEL;
    _VM_ensureInitialized(java::lang::System::_VM_classRecord);
    VMPtr<java::lang::StringBuffer> line = java::lang::StringBuffer::create()->construct(VM_STR("Level "));
    line->append(level)->append(VM_STR(" not loaded: "))->append(why);
    VMPtr<java::io::PrintStream> out = java::lang::System::out;
    out->println(line->toString());
    return false;
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::LevelLoader, .name = "scene.ingame.LevelLoader",
                  .newInstance = _VM_newInstanceOf<scene::ingame::LevelLoader>)

// scene.ingame.LevelLoader: keeps what a level holds, from the level reader's callbacks.
#include "scene_ingame_LevelLoader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "com_ventrix_common_Main.h"
#include "java_io_PrintStream.h"
#include "java_lang_Exception.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"

namespace scene::ingame {

using java::lang::String;

namespace {

VMPtr<LevelLoader::Groups> emptyGroups(jint groups) {
    VMPtr<LevelLoader::Groups> result = LevelLoader::Groups::create(groups);
    for (jint g = 0; g < groups; ++g) result->set(g, VMIntRows::create(0));
    return result;
}

// A table of `rows` rows of `width` ints (rows of width 0 stay null).
VMPtr<VMIntRows> table(jint rows, jint width) {
    if (width == 0) return VMIntRows::create(rows);
    VMPtr<VMIntRows> t = VMIntRows::create(rows);
    for (jint r = 0; r < rows; ++r) t->set(r, VMInts::create(width));
    return t;
}

// One ungrouped plane: the records of a group as the stream gives them.
VMPtr<LevelLoader::Groups> plane(jint rows, jint width) {
    VMPtr<LevelLoader::Groups> result = LevelLoader::Groups::create(1);
    result->set(0, table(rows, width));
    return result;
}

void store(VMInts* row, std::initializer_list<jint> values) {
    jint* out = row->elements();
    for (jint v : values) *out++ = v;
}

std::string number(jint n) { return std::to_string(n); }

const char* transportName(jint type) {
    switch (type) {
        case 0: return "stairs-up";
        case 1: return "stairs-down";
        case 2: return "elevator";
        default: return "passage";
    }
}

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
    switch (location) {
        case 1: return 33;  // airport
        case 2: return 87;  // mansion
        case 4: return 47;  // park
        case 5: return 45;  // base
        case 6: return 83;  // hotel
        default: return 0;
    }
}

jint LevelLoader::locationForType(jint type) {
    switch (type) {
        case 0:
        case 1:
        case 2: return 1;
        case 3:
        case 4:
        case 5: return 5;
        case 11:
        case 12:
        case 13: return 6;
        case 15:
        case 16:
        case 17: return 2;
        case 18:
        case 19:
        case 20: return 4;
        default: return -1;
    }
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
    switch (type) {
        case 0:
        case 3:
        case 11:
        case 15:
        case 18: {
            const jint c = locationForType(type);
            bgItems->set(c, VMIntRows::create(count));
            (*bgItemCount)[c] = count;
            (*bgItemFill)[c] = 0;
            break;
        }
        case 1:
        case 4:
        case 12:
        case 16:
        case 19:
            componentRecords = table(count, COMPONENT_WIDTH);
            componentFill = 0;
            componentCount = count;
            break;
        case 2:
        case 5:
        case 13:
        case 17:
        case 20:
            interactionRecords = table(count, INTERACTION_WIDTH);
            interactionFill = 0;
            interactionCount = count;
            break;
        case 6:
            floorAreas = plane(count, FLOOR_AREA_WIDTH);
            floorAreaFill = 0;
            floorAreaCount = count;
            break;
        case 7:
            zoneRecords = table(count, ZONE_WIDTH);
            zoneFill = 0;
            zoneCount = count;
            break;
        case 8:
            trapRecords = VMIntRows::create(count);  // rows made per object
            trapFill = 0;
            trapCount = count;
            break;
        case 9:
            disguisedRecords = table(count, DISGUISED_WIDTH);
            disguisedFill = 0;
            disguisedCount = count;
            break;
        case 10:
            generalRecords = table(count, GENERAL_WIDTH);
            generalFill = 0;
            generalCount = count;
            break;
        case 14:
            keyRecords = table(count, KEY_WIDTH);
            keyFill = 0;
            keyCount = count;
            break;
        case 21: playerRecord = VMInts::create(PLAYER_WIDTH); break;
        case 23:
            targetMarkers = table(count, TARGET_WIDTH);
            targetIndex = 0;
            targetCount = count;
            break;
        case 24:
            transportParts = plane(count, TRANSPORT_PART_WIDTH);
            transportPartFill = 0;
            transportPartCount = count;
            break;
        default:  // 22 and types the game does not know: nothing
            break;
    }
}

void LevelLoader::addObject(jint type, jint x, jint y) {
    if (type < 0 || type > 24) return;  // not a type of the game's
    if (x < 0 || x > MAX_COORDINATE || y < 0 || y > MAX_COORDINATE) {
        refuse("type-" + number(type) + " object at (" + number(x) + ", " + number(y) + ")");
    }
    switch (type) {
        case 0:
        case 3:
        case 11:
        case 15:
        case 18: {
            const jint c = locationForType(type);
            const jint item = bits(type == 11 || type == 15 ? 7 : 6);
            if (item >= catalogueSize(c)) {
                refuse("background item " + number(item) + " beyond the " + number(catalogueSize(c)) + " of location " +
                       number(c));
            }
            VMIntRows* rows = bgItems->get(c);
            const jint row = nextRow((*bgItemFill)[c], rows->length, "background items");
            VMPtr<VMInts> record = VMInts::create(BG_ITEM_WIDTH);
            store(record.get(), {item, x, y});
            rows->set(row, record);
            break;
        }
        case 1:
        case 4:
        case 12:
        case 16:
        case 19: {
            const jint variant = bits(3);
            const jint path = bits(16);
            if (variant > MAX_COMPONENT_VARIANT) refuse("component variant " + number(variant));
            VMIntRows* rows = componentRecords.get();
            const jint row = nextRow(componentFill, rows->length, "components");
            store(rows->get(row), {locationForType(type), variant, path, x, y});
            break;
        }
        case 2:
        case 5:
        case 13:
        case 17:
        case 20: {
            const jint variant = bits(2);
            const jint fixed = canvas->levelReadBoolean() ? 1 : 0;
            const jint outfit = bits(16);
            const jint keyLevel = bits(16);
            if (variant > MAX_INTERACTION_VARIANT) refuse("interaction variant " + number(variant));
            VMIntRows* rows = interactionRecords.get();
            const jint row = nextRow(interactionFill, rows->length, "interaction items");
            // Every variant above 0 is one of the hotel's.
            store(rows->get(row), {variant > 0 ? 6 : locationForType(type), variant, fixed, x, y, outfit, keyLevel});
            break;
        }
        case 6: {
            const jint width = bits(16);
            const jint depthRow = bits(16);
            if (depthRow > MAX_GROUP) refuse("floor area of depth row " + number(depthRow));
            VMIntRows* rows = floorAreas->get(0);
            const jint row = nextRow(floorAreaFill, rows->length, "floor areas");
            store(rows->get(row), {depthRow, x, y, width * tileWidth, 4 * tileHeight});
            break;
        }
        case 7: {
            VMIntRows* rows = zoneRecords.get();
            const jint row = nextRow(zoneFill, rows->length, "checkpoint zones");
            store(rows->get(row), {x, y + tileHeight, 4 * tileWidth, 3 * tileHeight});
            break;
        }
        case 8: {
            const jint kind = bits(3);
            const jint start = bits(16);
            if (kind > MAX_TRAP_KIND) refuse("trap kind " + number(kind));
            VMIntRows* rows = trapRecords.get();
            const jint row = nextRow(trapFill, rows->length, "traps");
            VMPtr<VMInts> record = VMInts::create(TRAP_WIDTH);
            store(record.get(), {kind, x, y, start, 0});
            rows->set(row, record);
            break;
        }
        case 9: {
            const jint look = bits(4);
            const jint mode = bits(16);
            const jint range = bits(16);
            const jint value = bits(16);
            if (look > MAX_DISGUISED_LOOK) refuse("disguised look " + number(look));
            VMIntRows* rows = disguisedRecords.get();
            const jint row = nextRow(disguisedFill, rows->length, "disguised people");
            store(rows->get(row), {look, x, y, 1000 + row, mode, value, x - range * tileWidth, x + range * tileWidth});
            break;
        }
        case 10: {
            const jint look = bits(4);
            const jint animation = bits(16);
            if (look > MAX_GENERAL_LOOK) refuse("general look " + number(look));
            if (animation >= GENERAL_ANIMATION_PAIRS) {
                refuse("person's animation " + number(animation) + " beyond the " + number(GENERAL_ANIMATION_PAIRS) +
                       " of a look");
            }
            VMIntRows* rows = generalRecords.get();
            const jint row = nextRow(generalFill, rows->length, "people");
            store(rows->get(row), {look, x, y, animation});
            break;
        }
        case 14: {
            const jint kind = bits(2);
            VMIntRows* rows = keyRecords.get();
            const jint row = nextRow(keyFill, rows->length, "keys");
            store(rows->get(row), {kind, x, y});
            break;
        }
        case 21: {
            const jint value = bits(7);
            if (value >= PLAYER_ANIMATIONS) {
                refuse("player's animation " + number(value) + " beyond the " + number(PLAYER_ANIMATIONS) +
                       " of the player");
            }
            VMPtr<VMInts> record = VMInts::create(PLAYER_WIDTH);
            store(record.get(), {value, x, y});
            playerRecord = record;
            ++playerCount;
            break;
        }
        case 23: {
            const jint kind = bits(4);
            const jint index = bits(16);
            if (kind > MAX_TARGET_KIND) refuse("target kind " + number(kind));
            VMIntRows* rows = targetMarkers.get();
            if (index >= rows->length) {
                refuse("target row " + number(index) + " outside its group of " + number(rows->length));
            }
            targetIndex = index;
            store(rows->get(index), {x, y, kind});
            break;
        }
        case 24: {
            const jint path = bits(16);
            const jint id = bits(16);
            const jint next = bits(16);
            const jint transportType = bits(16);
            if (path > MAX_GROUP) refuse("transport part of path " + number(path));
            VMIntRows* rows = transportParts->get(0);
            const jint row = nextRow(transportPartFill, rows->length, "transport parts");
            // Stairs stand half a tile in.
            store(rows->get(row), {path, id, next, x + (transportType >= 2 ? tileWidth : tileWidth / 2), y + tileHeight,
                                   transportType});
            break;
        }
        default:  // 22: nothing stored, no bits
            break;
    }
}

VMPtr<LevelLoader::Groups> LevelLoader::groupByFirstField(VMPtr<Groups> t) {
    if (t == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> rows = t->get(0);
    const jint count = rows->length;
    jint width = 0;
    jint largest = 0;
    for (jint r = 0; r < count; ++r) {
        VMInts* row = rows->get(r);
        const jint group = row->get(0);
        if (group < 0 || group > MAX_GROUP) refuse("record of group " + number(group));
        width = row->length;
        largest = std::max(largest, group);
    }
    std::vector<jint> sizes(size_t(largest) + 1, 0);
    for (jint r = 0; r < count; ++r) ++sizes[size_t(rows->get(r)->get(0))];
    VMPtr<Groups> result = Groups::create(largest + 1);
    for (jint g = 0; g <= largest; ++g) result->set(g, VMIntRows::create(sizes[size_t(g)]));
    std::vector<jint> fill(sizes.size(), 0);
    for (jint r = 0; r < count; ++r) {
        VMInts* row = rows->get(r);
        const jint group = row->get(0);
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

VMPtr<String> LevelLoader::checkLevel() {
    auto reason = [](const std::string& text) { return String::_VM_fromUTF8(text.c_str()); };
    if (tileWidth <= 0 || tileHeight <= 0) return reason("no tile set");
    if (mapWidth <= 0 || mapHeight <= 0) return reason("no map");
    if (playerCount == 0) return reason("no player record");
    if (targetCount == 0) return reason("no target record");

    // Each path a component uses, checked once: its parts must form one chain
    // of point ids, walked the way a transport copies them.
    Groups* paths = transportParts.get();
    std::vector<int8_t> checked(size_t(paths->length), 0);  // 0 not yet, 1 good
    VMIntRows* components = componentRecords.get();
    for (jint c = 0; c < components->length; ++c) {
        const jint pathId = components->get(c)->get(2);
        const std::string component = "component " + number(c) + ": path " + number(pathId);
        if (pathId >= paths->length || paths->get(pathId)->length == 0) return reason(component + " missing");
        if (checked[size_t(pathId)]) continue;
        VMIntRows* parts = paths->get(pathId);
        const jint n = parts->length;
        // Point id -> the first part with that id.
        std::vector<std::pair<jint, jint>> byId;
        byId.reserve(size_t(n));
        jint key = 10000;
        for (jint i = 0; i < n; ++i) {
            const jint id = parts->get(i)->get(1);
            byId.emplace_back(id, i);
            key = std::min(key, id);
        }
        std::sort(byId.begin(), byId.end());
        std::vector<jint> order;
        order.reserve(size_t(n));
        for (jint position = 0; position < n; ++position) {
            auto found = std::lower_bound(byId.begin(), byId.end(), std::make_pair(key, jint(-1)));
            if (found == byId.end() || found->first != key) return reason(component + " is not one chain of points");
            order.push_back(found->second);
            const jint next = parts->get(found->second)->get(2);
            key = next > key ? next : key + 1;
        }
        VMInts* first = parts->get(order[0]);
        const jint transportType = first->get(5);
        if (transportType > MAX_TRANSPORT_TYPE)
            return reason(component + " of transport type " + number(transportType));
        // The first point gives the transport its type; the walk of every
        // point follows that type, so they must all be of it.
        for (jint i = 1; i < n; ++i) {
            const jint other = parts->get(order[size_t(i)])->get(5);
            if (other != transportType) {
                return reason(component + " mixes " + transportName(transportType) + " and " + transportName(other) +
                              " points");
            }
        }
        if ((transportType == ELEVATOR || transportType == PASSAGE) && n < 2) {
            return reason(component + " has " + number(n) + " point");
        }
        if (transportType == ELEVATOR && first->get(4) <= parts->get(order[1])->get(4)) {
            return reason(component + ": the elevator's first point is not below its second");
        }
        checked[size_t(pathId)] = 1;
    }
    return nullptr;
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
            if (!reader->loadLevel(level == TUTORIAL_LEVEL ? TUTORIAL_RESOURCE : TUTORIAL_RESOURCE + 1 + level)) {
                why = VM_STR("missing or cut short");
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

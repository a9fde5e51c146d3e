// scene.ingame.LevelLoader: the game's receiver of the level reader's
// records, which the game canvas hands on unchanged; it keeps what a level
// holds for the in-game scene: the map, the tile-set geometry and one table
// of records per kind of level object. One instance, which Main makes by
// this class's name at start-up.
//
// A level is read only through selectLevel. Every value that the in-game
// objects later use as an index or a divisor is checked as it arrives, before
// anything is stored: a receiver refuses a bad value by throwing
// IllegalArgumentException, which ends the read; selectLevel then empties
// every table and answers false. A level that selectLevel accepted obeys
// every rule below.
#pragma once

#include <string>

#include "VM.h"
#include "com_ventrix_common_LevelReceiver.h"
#include "java_lang_String.h"
#include "ts_TsCanvas.h"

namespace scene::ingame {

class LevelLoader : public com::ventrix::common::LevelReceiver {
    VM_DECLARE_CLASS(LevelLoader, com::ventrix::common::LevelReceiver)

public:
    using Groups = VMArray<jint, 3>;  // records grouped by their field 0

    static constexpr jint TUTORIAL_LEVEL = -1;
    static constexpr jint LAST_LEVEL = 10;
    static constexpr jint NO_LEVEL = -2;  // currentLevel before the first load and after a refusal

    // What a level may hold.
    static constexpr jint MAX_MAP_CELLS = 262144;
    static constexpr jint MAX_COORDINATE = 32767;  // positions and the map's size in pixels
    static constexpr jint MAX_GROUP = 4095;        // depth rows of floor areas, path ids of transport parts
    static constexpr jint MAX_TARGET_KIND = 11;
    static constexpr jint MAX_TRAP_KIND = 5;
    static constexpr jint MAX_DISGUISED_LOOK = 13;
    static constexpr jint MAX_GENERAL_LOOK = 11;
    static constexpr jint MAX_COMPONENT_VARIANT = 5;
    static constexpr jint MAX_INTERACTION_VARIANT = 2;
    static constexpr jint MAX_TRANSPORT_TYPE = 3;
    // The tile set's image lies in a resource pack: its id is pack * 1024 +
    // index with a pack of 1 or more; the resource must be there and be a
    // PNG image that decodes.
    static constexpr jint MIN_TILE_IMAGE = 1024;
    static constexpr jint PNG_TYPE = -3;  // the resource type of a PNG image
    // A person stands in animation pair 0 to 4 of its look's animation set
    // (ten animations); the player starts in one of the 28 of its body.
    static constexpr jint GENERAL_ANIMATION_PAIRS = 5;
    static constexpr jint PLAYER_ANIMATIONS = 28;
    static constexpr jint LOCATIONS = 7;  // per-location tables are indexed by location code 0 to 6

    // Widths of the records.
    static constexpr jint BG_ITEM_WIDTH = 3;
    static constexpr jint COMPONENT_WIDTH = 5;
    static constexpr jint INTERACTION_WIDTH = 7;
    static constexpr jint FLOOR_AREA_WIDTH = 5;
    static constexpr jint ZONE_WIDTH = 4;
    static constexpr jint TRAP_WIDTH = 5;
    static constexpr jint DISGUISED_WIDTH = 8;
    static constexpr jint GENERAL_WIDTH = 4;
    static constexpr jint KEY_WIDTH = 3;
    static constexpr jint PLAYER_WIDTH = 3;
    static constexpr jint TARGET_WIDTH = 3;
    static constexpr jint TRANSPORT_PART_WIDTH = 6;

    // Columns of the component records and of the transport parts.
    struct ComponentColumn {
        enum : jint { LOCATION, VARIANT, PATH, X, Y };
    };
    struct PartColumn {
        enum : jint { PATH, ID, NEXT, X, Y, TYPE };
    };

    // The looks of a location's transports, by the component's variant:
    // stairs (0, 1; odd ones mirrored) and an escalator (2, 3), both climbed
    // along their path; the elevator (4); the passage's hatch (5). Each look's
    // animation set holds the animations of its own transport type only.
    static constexpr jint STAIRS_LOOK = 0, ESCALATOR_LOOK = 2, ELEVATOR_LOOK = 4, HATCH_LOOK = 5;
    // Whether a component of this variant can stand for a path of this
    // transport type.
    static bool lookFits(jint variant, jint transportType);

    // The tables, in declared order. Record tables start empty (never null
    // after construction); counts and fills are 0.
    VMField<VMIntRows> disguisedRecords;  // type 9: look, x, y, id (1000 + row), mode, value, left x, right x
    jint floorAreaFill = 0;
    jint interactionFill = 0;
    VMField<VMIntRows> componentRecords;  // types 1, 4, 12, 16, 19: location, variant, path id, x, y
    jint generalFill = 0;
    VMField<VMInts> map;  // mapWidth x mapHeight packed tiles, row by row; 0 an empty cell
    jint headerValue = 0;
    VMField<Groups> transportParts;  // type 24, grouped by path id: path, id, next id, x, y, transport type
    jint mapHeight = 0;
    jint keyFill = 0;
    jint componentCount = 0;
    VMField<VMIntRows> zoneRecords;  // type 7: x, y, width, height
    jint tileWidth = 0;
    jint generalCount = 0;
    jint disguisedFill = 0;
    jint zoneCount = 0;
    VMField<Groups> floorAreas;  // type 6, grouped by depth row: row, x, y, width, height
    jint keyCount = 0;
    VMField<VMIntRows> targetMarkers;  // type 23, at the row each record names: x, y, kind
    jint trapCount = 0;
    jint transportPartCount = 0;
    VMField<VMInts> bgItemFill;  // per location code
    jint interactionCount = 0;
    jint disguisedCount = 0;
    VMField<VMIntRows> trapRecords;  // type 8: kind, x, y, start time, 0
    jint floorAreaCount = 0;
    jint tileHeight = 0;
    VMField<ts::TsCanvas> canvas;  // Main's canvas, whose level reader is used
    jint trapFill = 0;
    jint mapWidth = 0;
    jint tileSetImage = 0;
    jint componentFill = 0;
    VMField<Groups> bgItems;  // per location code: item, x, y
    jint targetIndex = 0;
    jint transportPartFill = 0;
    VMField<VMIntRows> interactionRecords;  // types 2, 5, 13, 17, 20: location, variant, fixed, x, y, outfit, key level
    VMField<VMIntRows> keyRecords;          // type 14: kind, x, y
    VMField<VMInts> bgItemCount;            // per location code
    VMField<VMInts> playerRecord;           // type 21: value, x, y (empty until a level has one)
    jint targetCount = 0;
    VMField<VMIntRows> generalRecords;  // type 10: look, x, y, animation pair
    jint zoneFill = 0;
    jint currentLevel = 0;  // the level the tables hold; NO_LEVEL when none
    jint playerCount = 0;   // type-21 records read

    // Takes Main's canvas (Main must have it already), empties the tables.
    VMPtr<LevelLoader> construct();
    // Main's level loader; null before Main made one.
    static VMPtr<LevelLoader> getInstance();

    // The level stream's records, in stream order. Each may throw
    // IllegalArgumentException naming a value the level may not hold.
    void readFirstLevelField(jint value) override;
    void setTileSetInfo(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                        jint tileCount) override;
    // Location code of a background, component or interaction item type
    // (1 airport, 2 mansion, 4 park, 5 base, 6 hotel); -1 for other types.
    virtual jint locationForType(jint type);
    void setMapSize(jint width, jint height) override;
    // An object type's group: its records' table is made anew, one row per
    // object; type 22 and types the game does not know keep nothing.
    void beginObjectGroup(jint type, jint count) override;
    // Loads level `level` (-1 the tutorial level, 0 to 10) unless its tables
    // are there already. False when the level is missing, cut short, damaged
    // or refused: then every table is empty, currentLevel is NO_LEVEL (so the
    // next call tries again) and one console line names the level and why.
    virtual jboolean selectLevel(jint level);
    // Groups the floor areas by depth row and the transport parts by path.
    virtual void finishLoading();
    // An object: its position, then the fields its type carries, read from
    // the level and checked, give the next row of its type's table.
    void addObject(jint type, jint x, jint y) override;
    void defineTile(jint option, jint tile) override;
    // Empties every table and count (the previous level's records never
    // survive into the next).
    virtual void reset();
    void setMapCell(jint x, jint y, jint tile) override;
    virtual void onCreate() {}
    virtual void groupTransportParts();
    virtual void groupFloorAreas();
    // Rows of t[0] grouped by their field 0 (0 to the largest), each group in
    // stream order; groups no row names are empty.
    virtual VMPtr<Groups> groupByFirstField(VMPtr<Groups> t);

    // Entries of each location's background catalogue, by location code.
    static jint catalogueSize(jint location);
    // The checks on the whole level once it is read: null when it may be
    // played, else the reason.
    VMPtr<java::lang::String> checkLevel();
    // Null when the tile set's image is a resource that decodes as a PNG
    // image, else the reason.
    VMPtr<java::lang::String> checkTileSetImage();

    void markReferences(uint32_t bits) override {
        _VM_markRef(disguisedRecords, bits);
        _VM_markRef(componentRecords, bits);
        _VM_markRef(map, bits);
        _VM_markRef(transportParts, bits);
        _VM_markRef(zoneRecords, bits);
        _VM_markRef(floorAreas, bits);
        _VM_markRef(targetMarkers, bits);
        _VM_markRef(bgItemFill, bits);
        _VM_markRef(trapRecords, bits);
        _VM_markRef(canvas, bits);
        _VM_markRef(bgItems, bits);
        _VM_markRef(interactionRecords, bits);
        _VM_markRef(keyRecords, bits);
        _VM_markRef(bgItemCount, bits);
        _VM_markRef(playerRecord, bits);
        _VM_markRef(generalRecords, bits);
    }

private:
    // Throws IllegalArgumentException with the reason.
    [[noreturn]] static void refuse(const std::string& reason);
    jint bits(jint n);
    // The next free row of a table whose group announced its size.
    static jint nextRow(jint& fill, jint length, const char* what);
};

}  // namespace scene::ingame

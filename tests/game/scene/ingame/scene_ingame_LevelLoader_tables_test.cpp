// The level loader's tables: a level with every object type, read through
// selectLevel, gives the records its description names; the level numbers
// map onto their resources; a level never inherits the tables of the one
// before it.
#include <fstream>
#include <sstream>

#include "game_test_support.h"
#include "program_dir.h"
#include "scene_test_support.h"
#include "ts_Resources.h"

namespace {

using leveltest::ints;
using leveltest::row;
using V = std::vector<jint>;

// Positions are x + 1000 y (span 1000), listed in ascending order.
const char* const kEveryType = R"({
 "header": 0, "headerFields": [[16, 4660]],
 "tileSet": {"columns": 2, "image": 22528, "tileWidth": 16, "tileHeight": 8,
             "tiles": [{"column": 1, "row": 0}, {"column": 2, "row": 0}]},
 "map": {"width": 3, "height": 2, "cells": [[1, 0, 2], [2, 2, 1]]},
 "objects": [
  {"type": 0, "span": 1000, "objects": [{"x": 10, "y": 20, "item": 32}]},
  {"type": 15, "span": 1000, "objects": [{"x": 30, "y": 40, "item": 86}]},
  {"type": 11, "span": 1000, "objects": [{"x": 1, "y": 2, "item": 82}, {"x": 3, "y": 2, "item": 0}]},
  {"type": 18, "span": 1000, "objects": [{"x": 5, "y": 6, "item": 46}]},
  {"type": 3, "span": 1000, "objects": [{"x": 7, "y": 8, "item": 44}]},
  {"type": 24, "span": 1000, "objects": [
    {"x": 300, "y": 30, "path": 1, "id": 6, "next": 0, "type": 2},
    {"x": 250, "y": 40, "path": 0, "id": 1, "next": 0, "type": 1},
    {"x": 300, "y": 90, "path": 1, "id": 5, "next": 6, "type": 2}]},
  {"type": 4, "span": 1000, "objects": [
    {"x": 100, "y": 50, "variant": 4, "path": 1}, {"x": 200, "y": 50, "variant": 0, "path": 0}]},
  {"type": 17, "span": 1000, "objects": [
    {"x": 60, "y": 70, "variant": 0, "fixed": false, "outfit": 3, "keyLevel": 2},
    {"x": 80, "y": 70, "variant": 2, "fixed": true, "outfit": 0, "keyLevel": 0}]},
  {"type": 6, "span": 1000, "objects": [
    {"x": 0, "y": 100, "width": 3, "row": 2}, {"x": 0, "y": 200, "width": 1, "row": 0},
    {"x": 0, "y": 300, "width": 2, "row": 2}]},
  {"type": 7, "span": 1000, "objects": [{"x": 40, "y": 50}]},
  {"type": 22, "span": 1000, "objects": [{"x": 5, "y": 5}, {"x": 6, "y": 5}]},
  {"type": 8, "span": 1000, "objects": [{"x": 70, "y": 80, "kind": 5, "startTime": 1234}]},
  {"type": 9, "span": 1000, "objects": [
    {"x": 200, "y": 100, "look": 13, "mode": 2, "range": 3, "value": 77},
    {"x": 300, "y": 100, "look": 0, "mode": 0, "range": 0, "value": 0}]},
  {"type": 10, "span": 1000, "objects": [{"x": 90, "y": 60, "look": 11, "animation": 2}]},
  {"type": 14, "span": 1000, "objects": [{"x": 10, "y": 10, "kind": 3}]},
  {"type": 21, "span": 1000, "objects": [{"x": 20, "y": 30, "value": 27}]},
  {"type": 23, "span": 1000, "objects": [
    {"x": 50, "y": 60, "kind": 11, "index": 2}, {"x": 70, "y": 60, "kind": 0, "index": 0}, {"x": 70, "y": 61, "kind": 0, "index": 0}]},
  {"type": 1000, "span": 1000, "objects": [{"x": 1, "y": 1, "fields": [[5, 31]]}]}
 ]
})";

class LevelLoaderTablesTest : public leveltest::GameCanvasTest {};

TEST_F(LevelLoaderTablesTest, ALevelWithEveryObjectTypeGivesTheTablesItsDescriptionNames) {
    canvas->levels[0x5801 + 3] = leveltest::levelBytes(std::string(kEveryType));
    std::string printed;
    ASSERT_TRUE(select(3, &printed)) << printed;
    EXPECT_EQ(printed, "");
    scene::ingame::LevelLoader* l = loader;
    EXPECT_EQ(l->currentLevel, 3);
    EXPECT_EQ(l->headerValue, 4660);
    EXPECT_EQ(l->tileSetImage, 22528);
    EXPECT_EQ(l->tileWidth, 16);
    EXPECT_EQ(l->tileHeight, 8);
    EXPECT_EQ(l->mapWidth, 3);
    EXPECT_EQ(l->mapHeight, 2);
    EXPECT_EQ(ints(l->map.get()), (V{1, 0, 2, 2, 2, 1}));

    // Background items by location code: 1 airport, 2 mansion, 4 park, 5 base, 6 hotel.
    EXPECT_EQ(ints(l->bgItemCount.get()), (V{0, 1, 1, 0, 1, 1, 2}));
    EXPECT_EQ(row(l->bgItems->get(1), 0), (V{32, 10, 20}));
    EXPECT_EQ(row(l->bgItems->get(2), 0), (V{86, 30, 40}));
    EXPECT_EQ(row(l->bgItems->get(4), 0), (V{46, 5, 6}));
    EXPECT_EQ(row(l->bgItems->get(5), 0), (V{44, 7, 8}));
    EXPECT_EQ(row(l->bgItems->get(6), 0), (V{82, 1, 2}));
    EXPECT_EQ(row(l->bgItems->get(6), 1), (V{0, 3, 2}));
    EXPECT_EQ(l->bgItems->get(0)->length, 0);

    // Components of the base (code 5): location, variant, path, x, y.
    ASSERT_EQ(l->componentCount, 2);
    EXPECT_EQ(row(l->componentRecords.get(), 0), (V{5, 4, 1, 100, 50}));
    EXPECT_EQ(row(l->componentRecords.get(), 1), (V{5, 0, 0, 200, 50}));
    // Transport parts grouped by path in stream order; stairs (type < 2)
    // stand half a tile in, the others a whole tile.
    ASSERT_EQ(l->transportPartCount, 3);
    ASSERT_EQ(l->transportParts->length, 2);
    ASSERT_EQ(l->transportParts->get(0)->length, 1);
    EXPECT_EQ(row(l->transportParts->get(0), 0), (V{0, 1, 0, 258, 48, 1}));
    ASSERT_EQ(l->transportParts->get(1)->length, 2);
    EXPECT_EQ(row(l->transportParts->get(1), 0), (V{1, 6, 0, 316, 38, 2}));
    EXPECT_EQ(row(l->transportParts->get(1), 1), (V{1, 5, 6, 316, 98, 2}));

    // Interaction items of the mansion (code 2); a variant above 0 is the hotel's (6).
    ASSERT_EQ(l->interactionCount, 2);
    EXPECT_EQ(row(l->interactionRecords.get(), 0), (V{2, 0, 0, 60, 70, 3, 2}));
    EXPECT_EQ(row(l->interactionRecords.get(), 1), (V{6, 2, 1, 80, 70, 0, 0}));

    // Floor areas of rows {2, 0, 2} become groups of 1, 0 and 2 walls.
    EXPECT_EQ(l->floorAreaCount, 3);
    ASSERT_EQ(l->floorAreas->length, 3);
    ASSERT_EQ(l->floorAreas->get(0)->length, 1);
    EXPECT_EQ(l->floorAreas->get(1)->length, 0);
    ASSERT_EQ(l->floorAreas->get(2)->length, 2);
    EXPECT_EQ(row(l->floorAreas->get(0), 0), (V{0, 0, 200, 16, 32}));
    EXPECT_EQ(row(l->floorAreas->get(2), 0), (V{2, 0, 100, 48, 32}));
    EXPECT_EQ(row(l->floorAreas->get(2), 1), (V{2, 0, 300, 32, 32}));

    EXPECT_EQ(l->zoneCount, 1);
    EXPECT_EQ(row(l->zoneRecords.get(), 0), (V{40, 58, 64, 24}));
    // The type-22 group read no bits: the trap's fields follow directly.
    EXPECT_EQ(l->trapCount, 1);
    EXPECT_EQ(row(l->trapRecords.get(), 0), (V{5, 70, 80, 1234, 0}));
    EXPECT_EQ(l->disguisedCount, 2);
    EXPECT_EQ(row(l->disguisedRecords.get(), 0), (V{13, 200, 100, 1000, 2, 77, 152, 248}));
    EXPECT_EQ(row(l->disguisedRecords.get(), 1), (V{0, 300, 100, 1001, 0, 0, 300, 300}));
    EXPECT_EQ(l->generalCount, 1);
    EXPECT_EQ(row(l->generalRecords.get(), 0), (V{11, 90, 60, 2}));
    EXPECT_EQ(l->keyCount, 1);
    EXPECT_EQ(row(l->keyRecords.get(), 0), (V{3, 10, 10}));
    EXPECT_EQ(ints(l->playerRecord.get()), (V{27, 20, 30}));
    // Targets at the rows they name (a later one overwrites); row 1 unnamed.
    EXPECT_EQ(l->targetCount, 3);
    EXPECT_EQ(l->targetIndex, 0);
    EXPECT_EQ(row(l->targetMarkers.get(), 0), (V{70, 61, 0}));
    EXPECT_EQ(row(l->targetMarkers.get(), 1), (V{0, 0, 0}));
    EXPECT_EQ(row(l->targetMarkers.get(), 2), (V{50, 60, 11}));

    // The same level again reads nothing and keeps every table.
    VMPtr<VMIntRows> keys = l->keyRecords.get();
    canvas->asked.clear();
    ASSERT_TRUE(select(3, &printed));
    EXPECT_TRUE(canvas->asked.empty());
    EXPECT_EQ(l->keyRecords.get(), keys.get());
}

TEST_F(LevelLoaderTablesTest, TheTutorialAndTheLevelsReadTheirOwnResources) {
    const std::vector<uint8_t> level = leveltest::levelBytes(std::string(kEveryType));
    for (jint id : {0x5800, 0x5801, 0x580B}) canvas->levels[id] = level;
    for (jint n : {-1, 0, 10}) EXPECT_TRUE(select(n)) << n;
    EXPECT_EQ(canvas->asked, (V{0x5800, 0x5801, 0x580B}));
    // Numbers that name no level read nothing.
    std::string printed;
    for (jint n : {-2, 11, 1000}) {
        EXPECT_FALSE(select(n, &printed));
        EXPECT_EQ(printed, "Level " + std::to_string(n) + " not loaded: no such level\n");
        leveltest::expectEmpty(loader);
    }
    EXPECT_EQ(canvas->asked.size(), 3u);
}

TEST_F(LevelLoaderTablesTest, TheGamesTutorialLevelIsAccepted) {
    std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/tutorial.json");
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_TRUE(in) << "the tutorial level's file";
    canvas->levels[0x5800] = leveltest::levelBytes(text.str());
    // Over the game's own packs, which hold its tile set.
    TempProgramDir dir("tutorial");
    for (const auto& [name, bytes] : ingamescene::gameFiles()) dir.put("rsc/" + name, bytes);
    std::string printed;
    const bool accepted = select(-1, &printed);
    ts::Resources::unloadPack();
    ASSERT_TRUE(accepted) << printed;
    EXPECT_EQ(loader->playerRecord->length, 3);
    EXPECT_GT(loader->targetCount, 0);
    EXPECT_GT(loader->componentCount, 0);
    EXPECT_GT(loader->floorAreas->length, 1);
}

// A level without keys, walls, paths or people after one with all of them
// gets empty tables, not the previous level's.
TEST_F(LevelLoaderTablesTest, NoTableOfThePreviousLevelSurvivesIntoTheNext) {
    canvas->levels[0x5801] = leveltest::levelBytes(std::string(kEveryType));
    canvas->levels[0x5802] = leveltest::levelBytes(std::string(R"({
     "tileSet": {"columns": 1, "image": 1024, "tileWidth": 8, "tileHeight": 8, "tiles": [{"column": 1, "row": 0}]},
     "map": {"width": 1, "height": 1, "cells": [[1]]},
     "objects": [{"type": 21, "objects": [{"x": 0, "y": 0, "value": 1}]},
                 {"type": 23, "objects": [{"x": 0, "y": 0, "kind": 1, "index": 0}]}]})"));
    ASSERT_TRUE(select(0));
    ASSERT_TRUE(select(1));
    scene::ingame::LevelLoader* l = loader;
    for (VMIntRows* t :
         {l->disguisedRecords.get(), l->componentRecords.get(), l->zoneRecords.get(), l->trapRecords.get(),
          l->interactionRecords.get(), l->keyRecords.get(), l->generalRecords.get()}) {
        EXPECT_EQ(t->length, 0);
    }
    EXPECT_EQ(l->keyCount + l->componentCount + l->generalCount + l->disguisedCount + l->trapCount, 0);
    for (VMArray<jint, 3>* grouped : {l->floorAreas.get(), l->transportParts.get()}) {
        ASSERT_EQ(grouped->length, 1);
        EXPECT_EQ(grouped->get(0)->length, 0);
    }
    for (jint c = 0; c < 7; ++c) EXPECT_EQ(l->bgItems->get(c)->length, 0);
    EXPECT_EQ(l->map->length, 1);  // the new 1 x 1 map
    EXPECT_EQ(ints(l->playerRecord.get()), (V{1, 0, 0}));
    EXPECT_EQ(row(l->targetMarkers.get(), 0), (V{0, 0, 1}));
}

}  // namespace

// Levels the game cannot play are refused whole: selectLevel answers false,
// every table is empty, the level will be read again next time, and one
// console line names the level and the reason. One level per rule.
#include <fstream>
#include <functional>
#include <sstream>

#include "bit_writer.h"
#include "game_test_support.h"
#include "program_dir.h"
#include "scene_test_support.h"
#include "ts_Resources.h"

namespace {

using nlohmann::json;

// A small level that passes every rule: an elevator (path 0, its first
// point below its second) with the elevator's look, a player and a target,
// over the test data set's first image.
json validLevel() {
    return json::parse(R"({
     "tileSet": {"columns": 2, "image": 1024, "tileWidth": 16, "tileHeight": 16,
                 "tiles": [{"column": 1, "row": 0}, {"column": 2, "row": 0}]},
     "map": {"width": 2, "height": 2, "cells": [[1, 2], [0, 1]]},
     "objects": [
      {"type": 24, "span": 1000, "objects": [
        {"x": 10, "y": 10, "path": 0, "id": 2, "next": 0, "type": 2},
        {"x": 10, "y": 50, "path": 0, "id": 1, "next": 2, "type": 2}]},
      {"type": 1, "span": 1000, "objects": [{"x": 20, "y": 50, "variant": 4, "path": 0}]},
      {"type": 21, "objects": [{"x": 0, "y": 0, "value": 0}]},
      {"type": 23, "objects": [{"x": 0, "y": 0, "kind": 0, "index": 0}]}
     ]})");
}

enum Group { kParts = 0, kComponents = 1, kPlayer = 2, kTarget = 3 };

json& object(json& level, int group, int i = 0) { return level["objects"][group]["objects"][i]; }

void addGroup(json& level, int type, json item) {
    level["objects"].push_back(json{{"type", type}, {"objects", json::array({std::move(item)})}});
}

// Path 0 of transport type `type` at every point, its component of look `variant`.
std::function<void(json&)> look(int type, int variant) {
    return [=](json& l) {
        for (json& part : l["objects"][kParts]["objects"]) part["type"] = type;
        object(l, kComponents)["variant"] = variant;
    };
}

json at(int x, int y, json fields) {
    fields["x"] = x;
    fields["y"] = y;
    return fields;
}

struct Case {
    const char* reason;  // what the console line says after "Level 4 not loaded: "
    std::function<void(json&)> change;
};

class LevelLoaderRefusalTest : public leveltest::GameCanvasTest {};

TEST_F(LevelLoaderRefusalTest, EachRuleRefusesTheWholeLevel) {
    const std::vector<Case> cases = {
        {"tile size 0 x 16", [](json& l) { l["tileSet"]["tileWidth"] = 0; }},
        {"tile size 16 x 0", [](json& l) { l["tileSet"]["tileHeight"] = 0; }},
        {"no tile set", [](json& l) { l.erase("tileSet"), l.erase("map"); }},
        {"tile-set entry in row 1", [](json& l) { l["tileSet"]["tiles"][1]["row"] = 1; }},
        // What the scene could not build: refused here, in the level's terms.
        {"tile-set image 0 is in no resource pack", [](json& l) { l["tileSet"]["image"] = 0; }},
        {"tile-set image -65536 is in no resource pack", [](json& l) { l["tileSet"]["image"] = -65536; }},
        {"tile-set image 1023 is in no resource pack", [](json& l) { l["tileSet"]["image"] = 1023; }},
        {"map of 0 x 0 cells",
         [](json& l) {
             l["map"] = json{{"width", 0}, {"height", 0}, {"cells", json::array()}};
         }},
        {"map of 2 x 0 cells",
         [](json& l) {
             l["map"] = json{{"width", 2}, {"height", 0}, {"cells", json::array()}};
         }},
        {"no map", [](json& l) { l.erase("map"); }},
        {"person's animation 65535 beyond the 5 of a look",
         [](json& l) {
             addGroup(l, 10, at(0, 0, {{"look", 0}, {"animation", 65535}}));
         }},
        {"person's animation 5 beyond the 5 of a look",
         [](json& l) {
             addGroup(l, 10, at(0, 0, {{"look", 11}, {"animation", 5}}));
         }},
        {"player's animation 127 beyond the 28 of the player",
         [](json& l) {
             l["objects"][kPlayer]["span"] = 1000;
             l["objects"][kPlayer]["objects"].push_back(at(5, 5, {{"value", 127}}));
         }},
        {"player's animation 28 beyond the 28 of the player", [](json& l) { object(l, kPlayer)["value"] = 28; }},
        {"component 0: path 0 mixes elevator and stairs-up points", [](json& l) { object(l, kParts, 0)["type"] = 0; }},
        {"component 0: path 0 mixes elevator and stairs-down points",
         [](json& l) { object(l, kParts, 0)["type"] = 1; }},
        {"component 0: path 0 mixes passage and elevator points", [](json& l) { object(l, kParts, 1)["type"] = 3; }},
        {"map of 513 x 512 cells",
         [](json& l) {
             l["tileSet"]["tileWidth"] = l["tileSet"]["tileHeight"] = 1;
             l["map"] = json{{"width", 513}, {"height", 512}, {"cells", json(512, json(513, 0))}};
         }},
        {"map of 32768 x 16 px",
         [](json& l) {
             l["map"] = json{{"width", 2048}, {"height", 1}, {"cells", json(1, json(2048, 0))}};
         }},
        {"map of 16 x 32768 px",
         [](json& l) {
             l["map"] = json{{"width", 1}, {"height", 2048}, {"cells", json(2048, json(1, 0))}};
         }},
        {"type-22 object at (40000, 0)",
         [](json& l) {
             l["objects"].push_back(json::parse(R"({"type": 22, "x0": 40000, "objects": [{"x": 40000, "y": 0}]})"));
         }},
        {"type-21 object at (0, 32768)", [](json& l) { object(l, kPlayer)["y"] = 32768; }},
        {"floor area of depth row 4096",
         [](json& l) {
             addGroup(l, 6, at(0, 0, {{"width", 1}, {"row", 4096}}));
         }},
        {"transport part of path 4096", [](json& l) { object(l, kParts, 1)["path"] = 4096; }},
        {"target row 1 outside its group of 1", [](json& l) { object(l, kTarget)["index"] = 1; }},
        {"no player record", [](json& l) { l["objects"].erase(kPlayer); }},
        {"no player record", [](json& l) { l["objects"][kPlayer]["objects"] = json::array(); }},
        {"no target record", [](json& l) { l["objects"][kTarget]["objects"] = json::array(); }},
        {"target kind 12", [](json& l) { object(l, kTarget)["kind"] = 12; }},
        {"trap kind 6",
         [](json& l) {
             addGroup(l, 8, at(0, 0, {{"kind", 6}, {"startTime", 0}}));
         }},
        {"disguised look 14",
         [](json& l) {
             addGroup(l, 9, at(0, 0, {{"look", 14}, {"mode", 0}, {"range", 0}, {"value", 0}}));
         }},
        {"general look 12",
         [](json& l) {
             addGroup(l, 10, at(0, 0, {{"look", 12}, {"animation", 0}}));
         }},
        {"background item 33 beyond the 33 of location 1",
         [](json& l) {
             addGroup(l, 0, at(0, 0, {{"item", 33}}));
         }},
        {"background item 87 beyond the 87 of location 2",
         [](json& l) {
             addGroup(l, 15, at(0, 0, {{"item", 87}}));
         }},
        {"background item 47 beyond the 47 of location 4",
         [](json& l) {
             addGroup(l, 18, at(0, 0, {{"item", 47}}));
         }},
        {"background item 45 beyond the 45 of location 5",
         [](json& l) {
             addGroup(l, 3, at(0, 0, {{"item", 45}}));
         }},
        {"background item 83 beyond the 83 of location 6",
         [](json& l) {
             addGroup(l, 11, at(0, 0, {{"item", 83}}));
         }},
        {"component variant 6", [](json& l) { object(l, kComponents)["variant"] = 6; }},
        // A look whose animation set lacks what its path's transport plays.
        {"component 0: path 0 is of type elevator, variant 0 is the look of stairs", look(2, 0)},
        {"component 0: path 0 is of type elevator, variant 3 is the look of an escalator", look(2, 3)},
        {"component 0: path 0 is of type elevator, variant 5 is the look of the hatch", look(2, 5)},
        {"component 0: path 0 is of type passage, variant 0 is the look of stairs", look(3, 0)},
        {"component 0: path 0 is of type passage, variant 2 is the look of an escalator", look(3, 2)},
        {"component 0: path 0 is of type passage, variant 4 is the look of the elevator", look(3, 4)},
        {"component 0: path 0 is of type stairs-up, variant 4 is the look of the elevator", look(0, 4)},
        {"component 0: path 0 is of type stairs-down, variant 5 is the look of the hatch", look(1, 5)},
        // A second component on the same path is held to its own look.
        {"component 1: path 0 is of type elevator, variant 1 is the look of stairs",
         [](json& l) {
             l["objects"][kComponents]["objects"].push_back(at(40, 50, {{"variant", 1}, {"path", 0}}));
         }},
        // The tile set's image: a resource there, and a PNG that decodes
        // (pack 1: an image, Gob records; 18: sounds; 22: levels; 23: a raw
        // resource typed as a PNG of no bytes; no pack 63).
        {"tile-set image 1025 is no image (a resource of type -1)", [](json& l) { l["tileSet"]["image"] = 1025; }},
        {"tile-set image 1029 is no resource", [](json& l) { l["tileSet"]["image"] = 1029; }},
        {"tile-set image 65535 is no resource", [](json& l) { l["tileSet"]["image"] = 65535; }},
        {"tile-set image 18433 is no image (a resource of type 1)", [](json& l) { l["tileSet"]["image"] = 18433; }},
        {"tile-set image 22529 is no image (a resource of type -1)", [](json& l) { l["tileSet"]["image"] = 22529; }},
        {"tile-set image 23553 is no image that decodes", [](json& l) { l["tileSet"]["image"] = 23553; }},
        {"interaction variant 3",
         [](json& l) {
             addGroup(l, 5, at(0, 0, {{"variant", 3}, {"fixed", 0}, {"outfit", 0}, {"keyLevel", 0}}));
         }},
        {"component 0: path 1 missing", [](json& l) { object(l, kComponents)["path"] = 1; }},
        {"component 0: path 1 missing",
         [](json& l) {
             object(l, kComponents)["path"] = 1;
             object(l, kParts, 0)["path"] = object(l, kParts, 1)["path"] = 2;
         }},
        {"component 0: path 0 is not one chain of points", [](json& l) { object(l, kParts, 0)["id"] = 3; }},
        {"component 0: path 0 is not one chain of points", [](json& l) { object(l, kParts, 0)["id"] = 1; }},
        {"component 0: path 0 is not one chain of points",
         [](json& l) { object(l, kParts, 0)["id"] = object(l, kParts, 1)["id"] = 10001; }},
        {"component 0: path 0 of transport type 4",
         [](json& l) { object(l, kParts, 0)["type"] = object(l, kParts, 1)["type"] = 4; }},
        {"component 0: path 0 has 1 point", [](json& l) { l["objects"][kParts]["objects"].erase(0); }},
        {"component 0: path 0 has 1 point",
         [](json& l) {
             l["objects"][kParts]["objects"].erase(0);
             object(l, kParts)["type"] = 3;
         }},
        {"component 0: path 0: the elevator's first point is not below its second",
         [](json& l) {
             object(l, kParts, 0)["id"] = 1, object(l, kParts, 0)["next"] = 2;
             object(l, kParts, 1)["id"] = 2, object(l, kParts, 1)["next"] = 0;
         }},
    };
    canvas->levels[0x5801] = leveltest::levelBytes(validLevel());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        ASSERT_TRUE(select(0));  // a level's tables, which the refusal empties
        json level = validLevel();
        c.change(level);
        canvas->levels[0x5805] = leveltest::levelBytes(level);
        canvas->asked.clear();
        std::string printed;
        EXPECT_FALSE(select(4, &printed));
        EXPECT_EQ(printed, std::string("Level 4 not loaded: ") + c.reason + "\n");
        leveltest::expectEmpty(loader);
        // Nothing is kept of a refused level: the next call reads it again.
        EXPECT_FALSE(select(4));
        EXPECT_EQ(canvas->asked.size(), 2u);
    }
}

TEST_F(LevelLoaderRefusalTest, AMissingLevelAndALevelCutAtEveryByteAreRefused) {
    std::string printed;
    EXPECT_FALSE(select(5, &printed));  // the test data set has no resource 0x5806
    EXPECT_EQ(printed, "Level 5 not loaded: missing or cut short\n");
    leveltest::expectEmpty(loader);

    // Whole, but damaged: a map cell names the second entry of a tile set of one.
    BitWriter damaged;
    damaged.put(8, 0).put(1, 0);                                                   // no header
    damaged.put(1, 1).put(8, 0).put(12, 1).put(17, 1024).put(10, 16).put(10, 16);  // the tile set
    damaged.put(1, 0).put(12, 1).put(1, 0).put(12, 1).put(12, 0);                  // one tile entry
    damaged.put(1, 1).put(12, 1).put(12, 1).put(12, 2).put(1, 0);                  // the map
    canvas->levels[0x5805] = damaged.bytes();
    EXPECT_FALSE(select(4, &printed));
    EXPECT_EQ(printed, "Level 4 not loaded: damaged: map cell (0, 0) names tile entry 2 of 1\n");
    leveltest::expectEmpty(loader);

    std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/tutorial.json");
    std::stringstream text;
    text << in.rdbuf();
    const std::vector<uint8_t> whole = leveltest::levelBytes(text.str());
    ASSERT_GT(whole.size(), 100u);
    for (size_t n = 0; n < whole.size(); ++n) {
        canvas->levels[0x5800] = std::vector<uint8_t>(whole.begin(), whole.begin() + long(n));
        ASSERT_FALSE(select(-1, &printed)) << n;
        ASSERT_EQ(printed, "Level -1 not loaded: missing or cut short\n") << n;
        leveltest::expectEmpty(loader);
        if (HasFailure()) break;
    }
    canvas->levels[0x5800] = whole;
    // Whole, over the game's own packs, which hold its tile set.
    TempProgramDir dir("tutorial");
    for (const auto& [name, bytes] : ingamescene::gameFiles()) dir.put("rsc/" + name, bytes);
    const bool accepted = select(-1, &printed);
    ts::Resources::unloadPack();
    EXPECT_TRUE(accepted) << printed;
}

}  // namespace

// Level files: a pack description names a level kept in a file of its own,
// whose objects give their fields by name as the game's object types read
// them. The bytes are those of the same level with raw fields.
#include <gtest/gtest.h>

#include <filesystem>

#include "assetgen_test_support.h"
#include "describe.h"

using assetgen_test::makeTempDir;
using assetgen_test::writeFile;

namespace {

// Every object type that reads fields, named; "solution" and "wasted" are not
// the level's.
const char* const kNamed = R"({
 "comment": "every type with fields", "solution": {"steps": ["anything", 1, 2]}, "wasted": [{"wait": true}],
 "header": 3, "headerFields": [[16, 513]],
 "objects": [
  {"type": 0, "objects": [{"x": 0, "y": 0, "item": 63}]},
  {"type": 15, "span": 100, "objects": [{"x": 5, "y": 0, "item": 127}, {"x": 2, "y": 1, "item": 1}]},
  {"type": 12, "objects": [{"x": 0, "y": 0, "variant": 7, "path": 65535}]},
  {"type": 20, "objects": [{"x": 0, "y": 0, "variant": 3, "fixed": true, "outfit": 7, "keyLevel": 258}]},
  {"type": 6, "objects": [{"x": 0, "y": 0, "width": 9, "row": 4}]},
  {"type": 7, "objects": [{"x": 0, "y": 0}]},
  {"type": 8, "objects": [{"x": 0, "y": 0, "kind": 5, "startTime": 1000}]},
  {"type": 9, "objects": [{"x": 0, "y": 0, "look": 13, "mode": 2, "range": 5, "value": 65535}]},
  {"type": 10, "objects": [{"x": 0, "y": 0, "look": 11, "animation": 1}]},
  {"type": 14, "objects": [{"x": 0, "y": 0, "kind": 2}]},
  {"type": 21, "objects": [{"x": 0, "y": 0, "value": 100}]},
  {"type": 22, "objects": [{"x": 0, "y": 0}]},
  {"type": 23, "objects": [{"x": 0, "y": 0, "kind": 9, "index": 4}]},
  {"type": 24, "objects": [{"x": 0, "y": 0, "path": 3, "id": 10, "next": 11, "type": 1}]},
  {"type": 30, "objects": [{"x": 0, "y": 0, "fields": [[3, 5]]}]},
  {"type": 2, "objects": [{"x": 0, "y": 0, "fields": [[2, 1], [1, 0], [16, 2], [16, 3]]}]}
 ]})";

const char* const kRaw = R"({"index": 1, "kind": "level",
 "header": 3, "headerFields": [[16, 513]],
 "objects": [
  {"type": 0, "objects": [{"x": 0, "y": 0, "fields": [[6, 63]]}]},
  {"type": 15, "span": 100, "objects": [{"x": 5, "y": 0, "fields": [[7, 127]]}, {"x": 2, "y": 1, "fields": [[7, 1]]}]},
  {"type": 12, "objects": [{"x": 0, "y": 0, "fields": [[3, 7], [16, 65535]]}]},
  {"type": 20, "objects": [{"x": 0, "y": 0, "fields": [[2, 3], [1, 1], [16, 7], [16, 258]]}]},
  {"type": 6, "objects": [{"x": 0, "y": 0, "fields": [[16, 9], [16, 4]]}]},
  {"type": 7, "objects": [{"x": 0, "y": 0}]},
  {"type": 8, "objects": [{"x": 0, "y": 0, "fields": [[3, 5], [16, 1000]]}]},
  {"type": 9, "objects": [{"x": 0, "y": 0, "fields": [[4, 13], [16, 2], [16, 5], [16, 65535]]}]},
  {"type": 10, "objects": [{"x": 0, "y": 0, "fields": [[4, 11], [16, 1]]}]},
  {"type": 14, "objects": [{"x": 0, "y": 0, "fields": [[2, 2]]}]},
  {"type": 21, "objects": [{"x": 0, "y": 0, "fields": [[7, 100]]}]},
  {"type": 22, "objects": [{"x": 0, "y": 0}]},
  {"type": 23, "objects": [{"x": 0, "y": 0, "fields": [[4, 9], [16, 4]]}]},
  {"type": 24, "objects": [{"x": 0, "y": 0, "fields": [[16, 3], [16, 10], [16, 11], [16, 1]]}]},
  {"type": 30, "objects": [{"x": 0, "y": 0, "fields": [[3, 5]]}]},
  {"type": 2, "objects": [{"x": 0, "y": 0, "fields": [[2, 1], [1, 0], [16, 2], [16, 3]]}]}
 ]})";

// A folder for a pack description and its levels/ folder.
std::string makeLevelDir() {
    const std::string dir = makeTempDir("levelfile");
    std::filesystem::create_directories(dir + "levels");
    return dir;
}

std::string pack(const std::string& resources) { return R"({"pack": 22, "resources": [)" + resources + "]}"; }

}  // namespace

TEST(AssetgenLevelFile, NamedFieldsGiveTheBytesOfTheSameLevelInRawFields) {
    const std::string dir = makeLevelDir();
    writeFile(dir + "levels/named.json", kNamed);
    writeFile(dir + "pack22.json",
              pack(R"({"index": 0, "kind": "level", "source": "levels/named.json"}, )" + std::string(kRaw)));
    const assetgen::Generated out = assetgen::generateFolder(dir, "");
    ASSERT_TRUE(out.seeds.count("level/22-0"));
    ASSERT_TRUE(out.seeds.count("level/22-1"));
    EXPECT_EQ(out.seeds.at("level/22-0"), out.seeds.at("level/22-1"));
    EXPECT_EQ(assetgen::describeLevelFile("named.json", kNamed), out.seeds.at("level/22-1"));
}

TEST(AssetgenLevelFile, AFaultyLevelFileOrSourceNamesTheField) {
    struct Case {
        std::string file;      // levels/x.json's text
        std::string resource;  // the pack's resource
        std::string message;   // the whole DescriptionError text after the pack file's path
    };
    const std::string source = R"({"kind": "level", "source": "levels/x.json"})";
    const Case cases[] = {
        {R"({"objects": [{"type": 14, "objects": [{"x": 0, "y": 0}]}]})", source,
         "resources[0].source.objects[0].objects[0].kind: missing"},
        {R"({"objects": [{"type": 14, "objects": [{"x": 0, "y": 0, "kind": 4}]}]})", source,
         "resources[0].source.objects[0].objects[0].kind: 4 is outside 0 to 3"},
        {R"({"objects": [{"type": 14, "objects": [{"x": 0, "y": 0, "kind": 1, "fields": [[2, 1]]}]}]})", source,
         "resources[0].source.objects[0].objects[0].kind: unknown field"},
        {R"({"objects": [{"type": 7, "objects": [{"x": 0, "y": 0, "kind": 1}]}]})", source,
         "resources[0].source.objects[0].objects[0].kind: unknown field"},
        {R"({"header": 1, "extra": 2})", source, "resources[0].source.extra: unknown field"},
        {R"({)", source, "resources[0].source: not JSON"},
        {"{}", R"({"kind": "level", "source": "levels/none.json"})", "resources[0].source: cannot be read"},
        {"{}", R"({"kind": "level", "source": "../levels/x.json"})",
         "resources[0].source: expected a path \"levels/<name>.json\" beside the description"},
        {"{}", R"({"kind": "level", "source": "levels/x.json", "header": 1})", "resources[0].header: unknown field"},
        // Names belong to level files; a pack's own level gives raw fields.
        {"{}", R"({"kind": "level", "objects": [{"type": 14, "objects": [{"x": 0, "y": 0, "kind": 1}]}]})",
         "resources[0].objects[0].objects[0].kind: unknown field"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource + " / " + c.file);
        const std::string dir = makeLevelDir();
        writeFile(dir + "levels/x.json", c.file);
        writeFile(dir + "pack22.json", pack(c.resource));
        try {
            assetgen::generateFolder(dir, "");
            ADD_FAILURE() << "accepted";
        } catch (const assetgen::DescriptionError& e) {
            EXPECT_EQ(e.text().substr(0, dir.size() + 13 + c.message.size()), dir + "pack22.json: " + c.message);
        }
    }
}

// A map given as text rows (one character a tile, blocks repeated, the
// standard characters and a legend's own) is the map of its cells.
TEST(AssetgenLevelFile, TextRowsGiveTheBytesOfTheSameCells) {
    const std::string tileSet = R"("tileSet": {"columns": 8, "image": 1, "tileWidth": 32, "tileHeight": 32, "tiles": [
       {"column": 1, "row": 0}, {"column": 2, "row": 0}, {"column": 3, "row": 0}, {"column": 4, "row": 0},
       {"column": 5, "row": 0}, {"column": 6, "row": 0}, {"column": 7, "row": 0}, {"column": 8, "row": 0},
       {"column": 1, "row": 0}]})";
    const std::string cells = "{" + tileSet + R"(, "map": {"width": 5, "height": 8, "cells": [
       [6, 6, 6, 6, 6],
       [6, 1, 7, 2, 6], [6, 3, 3, 3, 6], [6, 4, 4, 4, 6],
       [6, 1, 7, 2, 6], [6, 3, 3, 3, 6], [6, 4, 4, 4, 6],
       [0, 5, 8, 9, 0]]}})";
    const std::string text = "{" + tileSet + R"(, "map": {"legend": {"x": 9, "#": 6}, "width": 5, "rows": [
       "#####",
       {"repeat": 2, "rows": ["#.op#", "#---#", "#===#"]},
       " f_x "]}})";
    EXPECT_EQ(assetgen::describeLevelFile("text.json", text), assetgen::describeLevelFile("cells.json", cells));
}

TEST(AssetgenLevelFile, AFaultyTextMapNamesTheRowAndTheReason) {
    struct Case {
        std::string map;
        std::string message;  // the whole DescriptionError text
    };
    const Case cases[] = {
        {R"({"rows": ["#.#", "#.."]})", "", /* fits */},
        {R"({"rows": ["#.#", "#."]})", "x.json: map.rows[1]: 2 tiles where the first row has 3"},
        {R"({"rows": ["#.#", "#?#"]})", "x.json: map.rows[1]: '?' is not in the legend"},
        {R"({"rows": [{"repeat": 2, "rows": ["#.#", 5]}]})",
         "x.json: map.rows[0].rows[1]: expected a text or {\"repeat\": n, \"rows\": [...]}"},
        {R"({"rows": [{"repeat": 0, "rows": ["#"]}]})", "x.json: map.rows[0].repeat: 0 is outside 1 to 4095"},
        {R"({"rows": [{"repeat": 2, "row": ["#"]}]})", "x.json: map.rows[0].rows: missing"},
        {R"({"rows": [{"repeat": 4095, "rows": ["#", "#"]}]})", "x.json: map.rows[0]: more than 4095 rows"},
        {R"({"rows": ["#"], "legend": {"ab": 1}})", "x.json: map.legend.ab: a key is one character"},
        {R"({"rows": ["#"], "legend": {"a": 4096}})", "x.json: map.legend.a: 4096 is outside 0 to 4095"},
        {R"({"rows": ["#"], "width": 2})", "x.json: map.width: the rows are 1 tiles wide"},
        {R"({"rows": ["#"], "cells": [[6]]})", "x.json: map.cells: unknown field"},
        {R"({"width": 1, "height": 1, "cells": [[6]], "legend": {}})",
         "x.json: map.legend: belongs to a map given by \"rows\""},
        // A character whose entry the tile set lacks is refused as a cell is.
        {R"({"rows": ["#x"], "legend": {"x": 9}})", "x.json: map.cells[0][1]: 9 is outside 0 to 8"},
    };
    const std::string tileSet = R"("tileSet": {"columns": 8, "image": 1, "tileWidth": 32, "tileHeight": 32, "tiles": [
       {"column": 1, "row": 0}, {"column": 2, "row": 0}, {"column": 3, "row": 0}, {"column": 4, "row": 0},
       {"column": 5, "row": 0}, {"column": 6, "row": 0}, {"column": 7, "row": 0}, {"column": 8, "row": 0}]})";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.map);
        const std::string file = "{" + tileSet + ", \"map\": " + c.map + "}";
        if (c.message.empty()) {
            EXPECT_NO_THROW(assetgen::describeLevelFile("x.json", file));
            continue;
        }
        try {
            assetgen::describeLevelFile("x.json", file);
            ADD_FAILURE() << "accepted";
        } catch (const assetgen::DescriptionError& e) {
            EXPECT_EQ(e.text().substr(0, c.message.size()), c.message);
        }
    }
}

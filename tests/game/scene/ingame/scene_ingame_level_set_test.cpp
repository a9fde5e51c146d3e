// The shipped level set as a whole: each level's location, look and target count
// (its stories' block of text), and across the set every kind of the world:
// keys 1-4, doors for a key and for an outfit, the seven outfits, stairs,
// escalators, an elevator over three rows, a passage, the six traps, the
// twelve target types in their orders, checkpoints, bystanders; and each
// solution (the tutorial's too) made of the steps the players of solutions
// know.
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

json levelFile(int level) {
    const std::string name = level < 0 ? "tutorial" : "level" + std::to_string(level);
    std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + name + ".json");
    std::stringstream text;
    text << in.rdbuf();
    return json::parse(text.str());
}

// The objects of every group of the given types.
std::vector<json> objects(const json& level, std::set<int> types) {
    std::vector<json> all;
    for (const json& group : level["objects"])
        if (types.count(group["type"].get<int>()) != 0)
            for (const json& o : group["objects"]) all.push_back(o);
    return all;
}

const std::set<int> kTransports = {1, 4, 12, 16, 19}, kDoors = {2, 5, 13, 17, 20};

TEST(LevelSetTest, EachLevelHasItsLocationTargetsAndCheckpoints) {
    // Location and look by tile set, as the levels' stories and cards place
    // them (levels 5, 6, 8 and 10 at night, level 7 in the rain), with the
    // tile set's width in tiles: no level names a tile beyond it.
    struct TileSet {
        std::string place;
        std::string look;
        int columns;
    };
    const std::map<int, TileSet> tiles = {{0x1019, {"airport", "day", 8}},    {0x1419, {"mansion", "day", 8}},
                                          {0x1C0D, {"park", "day", 8}},       {0x2015, {"base", "day", 8}},
                                          {0x240E, {"hotel", "day", 8}},      {0x101A, {"airport", "night", 10}},
                                          {0x141A, {"mansion", "night", 10}}, {0x1C1D, {"park", "rain", 10}},
                                          {0x2016, {"base", "night", 10}},    {0x241E, {"hotel", "night", 10}}};
    const std::vector<std::string> places = {"airport", "mansion", "park", "base",  "hotel", "airport",
                                             "mansion", "park",    "base", "hotel", "hotel"};
    const std::vector<std::string> looks = {"day",   "day",  "day",   "day", "day",  "night",
                                            "night", "rain", "night", "day", "night"};
    const std::vector<size_t> targetCounts = {2, 4, 3, 1, 2, 2, 1, 2, 5, 1, 1};
    const std::map<std::string, std::set<int>> ownTypes = {{"airport", {0, 1, 2}},
                                                           {"base", {3, 4, 5}},
                                                           {"hotel", {11, 12, 13}},
                                                           {"mansion", {15, 16, 17}},
                                                           {"park", {18, 19, 20}}};
    for (int n = 0; n <= 10; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        const json level = levelFile(n);
        const int tileSet = level["tileSet"]["image"];
        ASSERT_EQ(tiles.count(tileSet), 1u);
        const TileSet& set = tiles.at(tileSet);
        EXPECT_EQ(set.place, places[n]);
        EXPECT_EQ(set.look, looks[n]);
        for (const json& t : level["tileSet"]["tiles"]) {
            EXPECT_GE(t["column"].get<int>(), 1);
            EXPECT_LE(t["column"].get<int>(), set.columns);
        }
        // The location's own decoration, transport and door types only.
        const std::set<int> located = {0, 1, 2, 3, 4, 5, 11, 12, 13, 15, 16, 17, 18, 19, 20};
        for (const json& group : level["objects"]) {
            const int type = group["type"];
            if (located.count(type) != 0) {
                EXPECT_EQ(ownTypes.at(places[n]).count(type), 1u) << type;
            }
        }
        const std::vector<json> targets = objects(level, {23});
        EXPECT_EQ(targets.size(), targetCounts[n]);
        std::set<int> rows;
        for (const json& t : targets) rows.insert(t["index"].get<int>());
        EXPECT_EQ(rows.size(), targets.size());
        EXPECT_EQ(*rows.rbegin(), int(targets.size()) - 1);
        EXPECT_FALSE(objects(level, {7}).empty());
        EXPECT_EQ(objects(level, {21}).size(), 1u);
        EXPECT_TRUE(level.contains("solution"));
    }
    // Level 9's target 0 is not a desk (its done animation leads on); level
    // 10 has a bystander for its final pan.
    const int nine = objects(levelFile(9), {23})[0]["kind"];
    EXPECT_TRUE(nine != 6 && nine != 7);
    EXPECT_FALSE(objects(levelFile(10), {10}).empty());
}

TEST(LevelSetTest, TheSetHoldsEveryKind) {
    std::set<int> keys, keyDoors, outfitDoors, looks, traps, targetTypes, transportTypes;
    bool elevatorOverThreeRows = false, twoWayPassage = false, typeZeroAfterOne = false, typeTenAfterNine = false;
    bool stairsDown = false, fixedOrOpen = false;
    for (int n = 0; n <= 10; ++n) {
        const json level = levelFile(n);
        for (const json& k : objects(level, {14})) keys.insert(k["kind"].get<int>() + 1);
        for (const json& d : objects(level, kDoors)) {
            if (d["keyLevel"] != 0) keyDoors.insert(d["keyLevel"].get<int>());
            if (d["outfit"] != 0) outfitDoors.insert(d["outfit"].get<int>());
            if (d["variant"] == 2 || d["fixed"] == true) fixedOrOpen = true;
        }
        for (const json& w : objects(level, {9})) looks.insert(w["look"].get<int>() / 2);
        for (const json& t : objects(level, {8})) traps.insert(t["kind"].get<int>());
        // Targets by row: the type of each row.
        std::map<int, int> byRow;
        for (const json& t : objects(level, {23})) byRow[t["index"]] = t["kind"];
        for (auto [row, type] : byRow) {
            targetTypes.insert(type);
            for (auto [before, earlier] : byRow) {
                if (before >= row) break;
                typeZeroAfterOne |= type == 0 && earlier == 1;
                typeTenAfterNine |= type == 10 && earlier == 9;
            }
        }
        // Paths: the points' type; an elevator's rows; passages with a hatch
        // at each end.
        std::map<int, std::vector<json>> paths;
        for (const json& p : objects(level, {24})) paths[p["path"]].push_back(p);
        std::map<int, int> hatches;
        for (const json& t : objects(level, kTransports)) {
            const std::vector<json>& points = paths[t["path"]];
            const int type = points.at(0)["type"];
            transportTypes.insert(type);
            if (type == 2) {
                int top = 1 << 30, bottom = -1;
                for (const json& p : points) {
                    top = std::min(top, p["y"].get<int>());
                    bottom = std::max(bottom, p["y"].get<int>());
                }
                elevatorOverThreeRows |= (bottom - top) / 128 + 1 >= 3;
            }
            if (type == 3) ++hatches[t["path"]];
        }
        for (auto [path, count] : hatches) twoWayPassage |= count == 2;
        for (const json& step : level["solution"]) stairsDown |= step.value("hold", "") == "down";
    }
    EXPECT_EQ(keys, (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(keyDoors, (std::set<int>{1, 2, 3, 4}));
    EXPECT_FALSE(outfitDoors.empty());
    EXPECT_EQ(looks, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(traps, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(targetTypes, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(transportTypes, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(elevatorOverThreeRows);
    EXPECT_TRUE(twoWayPassage);
    EXPECT_TRUE(typeZeroAfterOne);
    EXPECT_TRUE(typeTenAfterNine);
    EXPECT_TRUE(stairsDown);
    EXPECT_TRUE(fixedOrOpen);
}

// A door that needs an outfit is reachable in that outfit: a watcher of that
// outfit is in the same level. A door that needs a key has a key of at least
// its level in the level.
TEST(LevelSetTest, DoorsCanBeOpened) {
    for (int n = -1; n <= 10; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        const json level = levelFile(n);
        std::set<int> outfits;
        int highestKey = 0;
        for (const json& w : objects(level, {9})) outfits.insert(w["look"].get<int>() / 2 + 1);
        for (const json& k : objects(level, {14})) highestKey = std::max(highestKey, k["kind"].get<int>() + 1);
        for (const json& d : objects(level, kDoors)) {
            if (d["outfit"] != 0) {
                EXPECT_EQ(outfits.count(d["outfit"].get<int>()), 1u) << d.dump();
            }
            EXPECT_LE(d["keyLevel"].get<int>(), highestKey) << d.dump();
        }
    }
}

// A safe (type 0) opens only after a briefcase (type 1) and a statuette (10)
// only after a fuse box (9) of the same level: without one the level could
// never be finished.
TEST(LevelSetTest, TargetsThatWaitForAnotherHaveIt) {
    for (int n = -1; n <= 10; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        std::multiset<int> types;
        for (const json& t : objects(levelFile(n), {23})) types.insert(t["kind"].get<int>());
        EXPECT_TRUE(types.count(0) == 0 || types.count(1) != 0);
        EXPECT_TRUE(types.count(10) == 0 || types.count(9) != 0);
    }
}

TEST(LevelSetTest, SolutionsUseTheKnownStepsAndConditions) {
    const std::set<std::string> keys = {"up", "down", "left", "right", "action"};
    const std::set<std::string> conditions = {"xAtLeast", "xAtMost", "row",      "state",  "targets",
                                              "playing",  "frames",  "trapDark", "watcher"};
    for (int n = -1; n <= 10; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        const json level = levelFile(n);
        ASSERT_GT(level["solution"].size(), 3u);
        // The solution, and the wasted run where there is one.
        for (const char* run : {"solution", "wasted"}) {
            if (!level.contains(run)) continue;
            SCOPED_TRACE(run);
            int lastTargets = 0;
            for (const json& step : level[run]) {
                int kinds = 0;
                for (const char* kind : {"hold", "press"}) {
                    if (step.contains(kind)) {
                        ++kinds;
                        EXPECT_EQ(keys.count(step[kind].get<std::string>()), 1u) << step.dump();
                    }
                }
                kinds += step.contains("confirm") + step.contains("wait");
                EXPECT_EQ(kinds, 1) << step.dump();
                if (step.contains("until")) {
                    for (auto& [name, value] : step["until"].items()) {
                        EXPECT_EQ(conditions.count(name), 1u) << step.dump();
                        if (name == "targets") lastTargets = std::max(lastTargets, value.get<int>());
                        // A trap of the level, gone out at least a frame ago, on
                        // a side when one is named.
                        if (name == "trapDark") {
                            ASSERT_TRUE(value.is_object()) << step.dump();
                            EXPECT_LT(value.value("trap", -1), int(objects(level, {8}).size())) << step.dump();
                            EXPECT_GE(value.value("trap", -1), 0) << step.dump();
                            EXPECT_GE(value.value("frames", 0), 1) << step.dump();
                            const std::string side = value.value("side", "");
                            EXPECT_TRUE(side.empty() || side == "left" || side == "right") << step.dump();
                        }
                        // A watcher of the level.
                        if (name == "watcher") {
                            ASSERT_TRUE(value.is_object()) << step.dump();
                            EXPECT_LT(value.value("index", -1), int(objects(level, {9}).size())) << step.dump();
                            EXPECT_GE(value.value("index", -1), 0) << step.dump();
                        }
                    }
                }
            }
            // The run reaches every target.
            EXPECT_EQ(size_t(lastTargets), objects(level, {23}).size());
        }
    }
}

// Every level with an outfit door ships a wasted run.
TEST(WastedRuns, EveryLevelWithAnOutfitDoorHasOne) {
    for (int n = -1; n <= 10; ++n) {
        const json level = levelFile(n);
        bool outfitDoor = false;
        for (const json& o : objects(level, kDoors)) outfitDoor |= o.value("outfit", 0) > 0 && !o.value("fixed", false);
        EXPECT_TRUE(!outfitDoor || !level.value("wasted", json::array()).empty())
            << "level " << n << " has an outfit door and no wasted run";
    }
}

}  // namespace

// The game's art packs as the in-game code reads them: every animation set
// and image-part list it names, with the animations, frames and boxes it
// looks for; and the generator's contact sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "assetgen_game_generated.h"
#include "assetgen_test_support.h"
#include "describe.h"
#include "font.h"
#include "sheet.h"

namespace {

using assetgen::PackModel;

// What the code needs of one (image parts, animation set) pair.
struct Needs {
    int set;                                         // animation set resource id
    int gobs;                                        // image-part resource id it is drawn with
    int animations;                                  // at least this many
    int frames;                                      // at least this many
    std::set<int> loops;                             // animations that play without end
    std::set<int> leadOn;                            // finite animations, each followed by the next number
    std::map<int, std::vector<int>> animationBoxes;  // every frame of the animation has exactly these box ids
    std::map<int, std::vector<int>> frameBoxes;      // the frame has exactly these box ids
    std::set<int> emptyFrames;                       // frames that draw nothing
    std::set<int> moving;                            // animations whose steps move the body forward
};

std::vector<Needs> needs() {
    const std::vector<int> scheme{0, 1, 2, 3};  // body, back, sight, back
    std::map<int, std::vector<int>> playerBoxes;
    for (int a = 0; a < 28; ++a) playerBoxes[a] = scheme;
    std::map<int, std::vector<int>> panelBoxes;
    for (int a = 0; a < 4; ++a) panelBoxes[a] = {1, 2, 3};
    std::vector<Needs> all = {
        // pack 13: player, overlays, key, marker
        {0x3402,
         0x3406,
         28,
         1,
         {0, 1, 2, 3, 5, 7, 9, 10, 12, 18, 22, 25, 27},
         {4, 6, 8, 11, 17, 21, 26},
         playerBoxes,
         {},
         {},
         {1, 3}},
        {0x3400, 0x3404, 4, 62, {2, 3}, {0, 1}, {}, {}, {0}, {}},
        {0x3401, 0x3405, 5, 1, {0, 1, 2, 3, 4}, {}, {{1, {0}}, {2, {0}}, {3, {0}}, {4, {0}}}, {}, {0}, {}},
        {0x3403, 0x3407, 3, 2, {1, 2}, {0}, {}, {}, {1}, {}},
        // pack 14: head-up display, pad, pause panel and list
        {0x3800,
         0x3804,
         10,
         9,
         {0, 1, 2, 3, 4, 5, 7, 9},
         {6, 8},
         {{2, {0}}, {4, {0}}, {6, {0}}, {7, {0}}, {8, {0}}, {9, {0}}},
         {{3, {0}}, {8, {1}}},
         {1},
         {}},
        {0x3801, 0x3805, 1, 2, {}, {}, {}, {{0, {1, 2, 3, 4}}, {1, {5}}}, {}, {}},
        {0x3802, 0x3806, 5, 12, {1, 3, 4}, {0, 2}, panelBoxes, {{0, {0, 5}}, {1, {}}, {5, {0, 1}}}, {4}, {}},
        // pack 18: panels, emblems, the loading picture
        {0x4802, 0x4806, 2, 1, {1}, {0}, {}, {}, {}, {}},
        {0x4803, 0x4807, 2, 1, {1}, {0}, {}, {}, {}, {}},
        {0x4800, 0x4804, 1, 3, {}, {}, {}, {}, {}, {}},
        {0x4801, 0x4805, 1, 1, {}, {}, {}, {}, {}, {}},
    };
    // pack 12: the seven watchers see while they stand, walk and turn, and
    // neither see nor feel anything once knocked out (only the box that
    // gives their outfit stays, over the whole of them); the back box comes before
    // the body, so that an agent touching both from behind meets the back.
    // The same looks as the player wears them keep only the body box (and
    // draw no fan, below).
    const int watcherSets[] = {0x3001, 0x3000, 0x3006, 0x3005, 0x3007, 0x3004, 0x3002};
    const int watcherLooks[] = {0x3009, 0x3008, 0x300E, 0x300D, 0x300F, 0x300C, 0x300A};
    const std::vector<int> watching{1, 0, 2, 3}, worn{0};
    for (int o = 0; o < 7; ++o) {
        for (const auto& [set, boxes, lying, undressed] :
             {std::tuple{watcherSets[o], watching, std::vector<int>{3}, std::vector<int>{3}},
              std::tuple{0x3011 + o, worn, std::vector<int>{}, std::vector<int>{}}})
            all.push_back({set,
                           watcherLooks[o],
                           30,
                           16,
                           {0, 1, 14, 28, 29},
                           {23},
                           {{0, boxes}, {1, boxes}, {23, boxes}, {24, boxes}, {14, lying}, {29, undressed}},
                           {},
                           {},
                           {1}});
    }
    return all;
}


std::vector<int> boxIds(const assetgen::AnimFrame& f) {
    std::vector<int> ids;
    for (const assetgen::AnimBox& b : f.boxes) ids.push_back(b.id);
    return ids;
}

// A watcher draws its sight fan (part 13) in every frame that has the sight
// box but the short turn (6) and dazed (8) ones; a look as the player wears
// it is its watcher's set frame for frame, less the fan, with the body box
// alone.
TEST(GameArtPacks, WatchersDrawTheirSightAndThePlayerWearsTheirLooksWithoutIt) {
    const PackModel& m = assetgen_test::gameGenerated().models.at(12);
    const int watcherSets[] = {0x3001, 0x3000, 0x3006, 0x3005, 0x3007, 0x3004, 0x3002};
    for (int o = 0; o < 7; ++o) {
        SCOPED_TRACE(o);
        const auto& watcher = m.sets.at(watcherSets[o] & 0x3FF).set;
        const auto& worn = m.sets.at((0x3011 + o) & 0x3FF).set;
        ASSERT_EQ(worn.frames.size(), watcher.frames.size());
        ASSERT_EQ(worn.animations.size(), watcher.animations.size());
        int fans = 0;
        for (size_t f = 0; f < watcher.frames.size(); ++f) {
            std::vector<int> drawn, kept;
            for (const auto& part : watcher.frames[f].parts) {
                fans += part.gob == 13;
                if (part.gob != 13) drawn.push_back(part.gob);
            }
            for (const auto& part : worn.frames[f].parts) kept.push_back(part.gob);
            EXPECT_EQ(kept, drawn) << "frame " << f;
            std::vector<int> ids = boxIds(watcher.frames[f]);
            const bool sees = std::erase(ids, 2) > 0;
            if (f != 6 && f != 8) {
                EXPECT_EQ(sees, drawn.size() < watcher.frames[f].parts.size()) << "frame " << f;
            }
            // Worn, a look keeps only the body box, and has none where the
            // watcher lies knocked out.
            const std::vector<int> watcherIds = boxIds(watcher.frames[f]);
            const bool body = std::find(watcherIds.begin(), watcherIds.end(), 0) != watcherIds.end();
            EXPECT_EQ(boxIds(worn.frames[f]), body ? std::vector<int>{0} : std::vector<int>{}) << "frame " << f;
        }
        EXPECT_GT(fans, 0) << "the watcher draws its sight";
        for (size_t a = 0; a < worn.animations.size(); ++a)
            EXPECT_EQ(worn.animations[a].steps.size(), watcher.animations[a].steps.size()) << "animation " << a;
    }
}

TEST(GameArtPacks, HoldWhatTheGameReads) {
    const assetgen::Generated& g = assetgen_test::gameGenerated();
    for (const Needs& n : needs()) {
        SCOPED_TRACE(::testing::Message() << std::hex << "set 0x" << n.set << " / parts 0x" << n.gobs);
        ASSERT_EQ(n.set >> 10, n.gobs >> 10);
        const int pack = n.set >> 10;
        ASSERT_TRUE(g.models.count(pack));
        // Pack 13 is written as RP13part0.rp and its data parts.
        EXPECT_TRUE(g.files.count("RP" + std::to_string(pack) + "part0.rp"));
        const PackModel& m = g.models.at(pack);
        ASSERT_TRUE(m.sets.count(n.set & 0x3FF));
        ASSERT_TRUE(m.gobs.count(n.gobs & 0x3FF));
        const PackModel::Set& s = m.sets.at(n.set & 0x3FF);
        const PackModel::GobList& parts = m.gobs.at(n.gobs & 0x3FF);
        EXPECT_EQ(s.gobs, n.gobs & 0x3FF) << "the sheet draws the set with another part list";
        ASSERT_TRUE(m.images.count(parts.image));
        const assetgen::Raster& image = m.images.at(parts.image);
        const auto& set = s.set;
        ASSERT_GE(static_cast<int>(set.animations.size()), n.animations);
        ASSERT_GE(static_cast<int>(set.frames.size()), n.frames);

        // Every step shows a frame that exists; every part is a record inside its image.
        for (size_t a = 0; a < set.animations.size(); ++a) {
            EXPECT_FALSE(set.animations[a].steps.empty()) << "animation " << a;
            for (const auto& step : set.animations[a].steps) EXPECT_LT(step.frame, static_cast<int>(set.frames.size()));
        }
        for (size_t f = 0; f < set.frames.size(); ++f) {
            for (const auto& part : set.frames[f].parts) {
                ASSERT_LT(part.gob, static_cast<int>(parts.records.size())) << "frame " << f;
                const auto& v = parts.records[part.gob].values;
                EXPECT_LE(v[2] + v[4], image.width);
                EXPECT_LE(v[3] + v[5], image.height);
            }
        }
        for (int a : n.loops) EXPECT_LT(set.animations[a].playCount, 0) << "animation " << a << " loops";
        for (int a : n.leadOn) {
            EXPECT_GT(set.animations[a].playCount, 0) << "animation " << a << " ends";
            EXPECT_LT(a + 1, static_cast<int>(set.animations.size())) << "animation " << a << " leads on";
        }
        for (const auto& [a, ids] : n.animationBoxes) {
            for (const auto& step : set.animations[a].steps) {
                EXPECT_EQ(boxIds(set.frames[step.frame]), ids) << "animation " << a << ", frame " << step.frame;
            }
        }
        for (const auto& [f, ids] : n.frameBoxes) EXPECT_EQ(boxIds(set.frames[f]), ids) << "frame " << f;
        for (int f : n.emptyFrames) EXPECT_TRUE(set.frames[f].parts.empty()) << "frame " << f;
        for (int a : n.moving) {
            EXPECT_GT(set.animations[a].steps.back().dx, 0) << "animation " << a << " walks";
        }
    }
}

TEST(GameArtPacks, OverlayFramesPlaceOutfitAndKeyIcons) {
    const assetgen::Generated& g = assetgen_test::gameGenerated();
    const auto& frames = g.models.at(13).sets.at(0).set.frames;
    // Outfits 1-7, keys 8-11 and the level hints 12-37 beside the head; 38-61
    // are the hints 14-37 on the other side, unmirrored.
    for (int f = 1; f < 62; ++f) {
        ASSERT_EQ(frames[f].parts.size(), 1u) << f;
        EXPECT_EQ(frames[f].parts[0].dx, f < 38 ? 26 : -26) << f;
    }
    for (int f = 38; f < 62; ++f) EXPECT_EQ(frames[f].parts[0].gob, frames[f - 24].parts[0].gob) << f;
    // The head-up display's icon list has one part per outfit.
    EXPECT_GE(g.models.at(14).gobs.at(3).records.size(), 8u);
}

TEST(AssetgenSheet, DrawsPartsBoxesAndNumbers) {
    PackModel m;
    assetgen::Raster image(4, 4, 0xFF00FF00);
    m.images[0] = image;
    assetgen::GobRecord r;
    r.values = {-2, -4, 0, 0, 4, 4, 0, 0, 0, 0};
    m.gobs[1] = {0, {r}};
    PackModel::Set s;
    s.gobs = 1;
    s.set.frames.push_back({{{0, 10, 0, 0}}, {{-20, -20, 10, 6, 2, false}}});
    s.set.frames.push_back({{}, {}});
    m.sets[2] = s;
    const assetgen::Raster sheet = assetgen::drawSheet(m);
    int green = 0, boxColour = 0;
    for (uint32_t p : sheet.pixels) {
        green += p == 0xFF00FF00;
        boxColour += p == assetgen::sheetBoxColour(2);
    }
    EXPECT_EQ(green, 16);                  // the part, once
    EXPECT_EQ(boxColour, 2 * 10 + 2 * 4);  // the box's outline
    const assetgen::Raster big = assetgen::zoomed(sheet, 3);
    EXPECT_EQ(big.width, sheet.width * 3);
    EXPECT_EQ(big.at(7, 5), sheet.at(2, 1));
}

TEST(AssetgenSheet, ProgramWritesOneSheetAndRefusesUnknownPacks) {
    const std::string dir = assetgen_test::makeTempDir("assetgen_sheet");
    const std::string out = dir + "sheet.png";
    const std::string tests = ASSETGEN_SOURCE_DIR "assets/test";
    assetgen_test::Run run = assetgen_test::runGenerator("--sheet 24 " + out + " --zoom 2 " + tests);
    ASSERT_EQ(run.status, 0) << run.output;
    const assetgen_test::Bytes png = assetgen_test::readFile(out);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(std::filesystem::directory_iterator(dir)->path(), out) << "no pack files beside it";

    run = assetgen_test::runGenerator("--sheet 99 " + dir + "x.png " + tests);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("pack 99"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(dir + "x.png"));
    run = assetgen_test::runGenerator("--sheet 0 " + dir + "x.png " + tests);
    EXPECT_EQ(run.status, 2);
    run = assetgen_test::runGenerator("--sheet 24 " + dir + "x.png --zoom 9 " + tests);
    EXPECT_EQ(run.status, 2);
    std::filesystem::remove_all(dir);
}

}  // namespace

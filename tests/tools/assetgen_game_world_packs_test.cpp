// The art of a level's world as the in-game objects read it: for each
// (image parts, animation set) pair the animations, frames and box ids that
// the watchers, bystanders, traps, targets and locations look up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "assetgen_game_generated.h"
#include "assetgen_test_support.h"
#include "describe.h"
#include "font.h"
#include "sheet.h"

namespace {

struct Use {
    int set;                       // animation set resource id
    int gobs;                      // image-part resource id it is drawn with
    std::vector<int> animations;   // animations that must exist
    std::vector<int> leadOn;       // of these, the finite ones that lead to the next number
    std::vector<int> boxes;        // box ids every frame of these animations carries
    std::vector<int> frames;       // frames read directly (frame layers, image layers)
    std::vector<int> frameBoxes;   // box ids each of these frames carries
    std::vector<int> emptyFrames;  // frames that draw nothing
    int forward = -1;              // an animation whose steps move the body forward (dx > 0 at its end)
    int backward = -1;             // one that moves it back
};

std::vector<int> upTo(int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(i);
    return v;
}

std::vector<Use> uses() {
    std::vector<Use> u;
    // Watchers: seven looks in the player's character scheme; the walk moves forward. The frame of
    // lying knocked out (animations 14 and 15) keeps only the box that gives the outfit: no sight, no body.
    // In the underwear (17 leading into it, 18 and 19 standing, 28 and 29 dazed and lying) the outfit can
    // be taken again.
    const int looks[7][2] = {{0x3001, 0x3009}, {0x3000, 0x3008}, {0x3006, 0x300E}, {0x3005, 0x300D},
                             {0x3007, 0x300F}, {0x3004, 0x300C}, {0x3002, 0x300A}};
    std::vector<int> seeing;
    for (int a : upTo(28))
        if (a != 14 && a != 15 && (a < 17 || a > 19)) seeing.push_back(a);
    for (const auto& l : looks) {
        u.push_back({l[0], l[1], seeing, {23}, {0, 1, 2, 3}, {}, {}, {}, 1, -1});
        u.push_back({l[0], l[1], {14, 15}, {}, {3}, {}, {}, {}});
        u.push_back({l[0], l[1], {17, 18, 19}, {}, {0, 1, 2, 3}, {}, {}, {}});
        u.push_back({l[0], l[1], {28, 29}, {}, {3}, {}, {}, {}});
    }
    u.push_back({0x3003, 0x300B, {0, 1, 2}, {}, {}, {0, 1, 2}, {}, {0}});
    // Bystanders: idles 0, 2, 4, 6, 8 each lead to the odd number after them.
    const int by[6][2] = {{0x2C00, 0x2C06}, {0x2C01, 0x2C07}, {0x2C03, 0x2C09},
                          {0x2C04, 0x2C0A}, {0x2C05, 0x2C0B}, {0x2C02, 0x2C08}};
    for (const auto& b : by) u.push_back({b[0], b[1], upTo(10), {0, 2, 4, 6, 8}, {}, {}, {}, {}});
    // Traps: types 0-3 hit with animation 0; types 4 and 5 show frame 0 still and hit with the animation
    // over it; type 5's part runs one way in animation 0 and back in 1.
    u.push_back({0x2800, 0x2805, {0}, {}, {0}, {}, {}, {}});
    u.push_back({0x2801, 0x2806, {0}, {}, {0}, {}, {}, {}});
    u.push_back({0x2802, 0x2807, {0}, {}, {0}, {}, {}, {}});
    u.push_back({0x2803, 0x2808, {0}, {}, {0}, {0}, {}, {}});
    u.push_back({0x2804, 0x2809, {0, 1}, {}, {0}, {0}, {}, {}, 0, 1});
    // Targets: 0 open, 1 done leading to 2 (the set of types 6 and 7 has its second part in 2 and 3).
    for (int t = 0; t < 11; ++t) {
        u.push_back(
            {0x1800 + t, 0x180B + t, {0, 1, 2, 3}, t == 6 ? std::vector<int>{} : std::vector<int>{1}, {0}, {}, {}, {}});
    }
    // Locations (airport, mansion, park, base, hotel): transports by variant (stairs, escalator, elevator,
    // passage), the two door kinds, and the decorations, whose offset o holds frames 0 .. count - 1.
    struct Location {
        int setBase, transportParts, doorParts, decorationSets, decorationParts;
        std::vector<int> decorationFrames;
    };
    const Location locations[] = {
        {0x1000, 0x100C, 0x1010, 0x1005, 0x1011, {3, 5, 3, 2, 1, 11, 8}},
        {0x1400, 0x140D, 0x1411, 0x1405, 0x1412, {3, 15, 15, 14, 11, 15, 14}},
        {0x1C00, 0x1C11, 0x1C15, 0x1C05, 0x1C16, {3, 8, 8, 6, 6, 5, 11}},
        {0x2000, 0x200A, 0x200E, 0x2005, 0x200F, {3, 10, 10, 11, 11}},
        {0x2400, 0x2411, 0x2415, 0x2406, 0x2417, {7, 13, 13, 14, 13, 11, 12}},
    };
    for (const Location& l : locations) {
        for (int stairs = 0; stairs < 2; ++stairs) {
            u.push_back({l.setBase + stairs, l.transportParts + stairs, {0}, {}, {0, 1}, {}, {}, {}});
        }
        u.push_back({l.setBase + 2, l.transportParts + 2, upTo(13), {1, 3, 6, 8}, {0}, {}, {}, {}});
        u.push_back({l.setBase + 3, l.transportParts + 3, upTo(5), {1, 3}, {0}, {}, {}, {}});
        for (int kind = 0; kind < 2; ++kind) {
            u.push_back({l.setBase + 4 + kind, l.doorParts + kind, upTo(7), {1, 3, 5}, {0}, {0, 1}, {0, 1}, {}});
        }
        for (size_t o = 0; o < l.decorationFrames.size(); ++o) {
            const int set = l.decorationSets + static_cast<int>(o);
            u.push_back(
                {set, l.decorationParts + static_cast<int>(o), {}, {}, {}, upTo(l.decorationFrames[o]), {}, {}});
        }
    }
    return u;
}

std::vector<int> boxIds(const assetgen::AnimFrame& f) {
    std::vector<int> ids;
    for (const assetgen::AnimBox& b : f.boxes) ids.push_back(b.id);
    return ids;
}

bool hasAll(const std::vector<int>& have, const std::vector<int>& want) {
    for (int w : want) {
        if (std::find(have.begin(), have.end(), w) == have.end()) return false;
    }
    return true;
}

const assetgen::Generated& game() { return assetgen_test::gameGenerated(); }

TEST(GameWorldArt, HoldsEveryIdAnimationFrameAndBoxTheObjectsRead) {
    const assetgen::Generated& g = game();
    for (const Use& n : uses()) {
        SCOPED_TRACE(::testing::Message() << std::hex << "set 0x" << n.set << " / parts 0x" << n.gobs);
        ASSERT_EQ(n.set >> 10, n.gobs >> 10);
        ASSERT_TRUE(g.models.count(n.set >> 10));
        const assetgen::PackModel& m = g.models.at(n.set >> 10);
        ASSERT_TRUE(m.sets.count(n.set & 0x3FF));
        ASSERT_TRUE(m.gobs.count(n.gobs & 0x3FF));
        const auto& s = m.sets.at(n.set & 0x3FF);
        EXPECT_EQ(s.gobs, n.gobs & 0x3FF) << "drawn with another part list";
        const auto& parts = m.gobs.at(n.gobs & 0x3FF);
        ASSERT_TRUE(m.images.count(parts.image));
        const assetgen::Raster& image = m.images.at(parts.image);
        const auto& set = s.set;
        const int frameCount = static_cast<int>(set.frames.size());
        const int animCount = static_cast<int>(set.animations.size());
        for (const auto& f : set.frames) {
            for (const auto& part : f.parts) {
                ASSERT_LT(part.gob, static_cast<int>(parts.records.size()));
                const auto& v = parts.records[part.gob].values;
                EXPECT_LE(v[2] + v[4], image.width);
                EXPECT_LE(v[3] + v[5], image.height);
            }
        }
        for (int a : n.animations) {
            ASSERT_LT(a, animCount) << "animation " << a;
            ASSERT_FALSE(set.animations[a].steps.empty()) << "animation " << a;
            for (const auto& step : set.animations[a].steps) {
                ASSERT_LT(step.frame, frameCount) << "animation " << a;
                EXPECT_TRUE(hasAll(boxIds(set.frames[step.frame]), n.boxes))
                    << "animation " << a << ", frame " << step.frame;
            }
        }
        for (int a : n.leadOn) {
            EXPECT_GT(set.animations[a].playCount, 0) << "animation " << a << " ends";
            EXPECT_LT(a + 1, animCount) << "animation " << a << " leads on";
        }
        for (int f : n.frames) {
            ASSERT_LT(f, frameCount) << "frame " << f;
            EXPECT_TRUE(hasAll(boxIds(set.frames[f]), n.frameBoxes)) << "frame " << f;
        }
        for (int f : n.emptyFrames) EXPECT_TRUE(set.frames[f].parts.empty()) << "frame " << f;
        if (n.forward >= 0) {
            EXPECT_GT(set.animations[n.forward].steps.back().dx, 0);
        }
        if (n.backward >= 0) {
            EXPECT_LT(set.animations[n.backward].steps.back().dx, 0);
        }
    }
}

// Where a trap's hitting box is at `ms` into its animation 0 (box 0 of the
// step's frame), relative to the trap's anchor.
const assetgen::AnimBox& hittingBoxAt(const assetgen::AnimSetDescription& set, int ms) {
    const auto& steps = set.animations[0].steps;
    int cycle = 0;
    for (const auto& s : steps) cycle += s.duration;
    int t = ms % cycle;
    for (const auto& s : steps) {
        if (t < s.duration) return set.frames[s.frame].boxes[0];
        t -= s.duration;
    }
    return set.frames[steps.back().frame].boxes[0];
}

// A laser and a ceiling camera can be timed on foot: the player's body,
// walking at the pace of its own walk animation (25 frames a second) from
// just outside all the places the trap ever hits to just past them, is
// caught if it starts at some frames of the trap's cycle and passes if it
// starts at others, a run of at least half a second of them, either way.
// The camera's spot right under it is never lit: one can wait there.
TEST(GameWorldArt, TheLaserAndTheCameraCanBeTimedOnFoot) {
    const assetgen::Generated& g = game();
    const auto& player = g.models.at(13).sets.at(2).set;  // 0x3402
    const auto& walk = player.animations.at(1).steps;
    ASSERT_FALSE(walk.empty());
    const assetgen::AnimBox body = player.frames.at(walk[0].frame).boxes.at(0);
    int walkCycle = 0;
    for (const auto& s : walk) walkCycle += s.duration;
    // The body's offset along its way after `ms` of walking.
    auto walked = [&](int ms) {
        int t = ms % walkCycle, dx = 0;
        for (const auto& s : walk) {
            if (t < s.duration) break;
            t -= s.duration;
            dx = s.dx;
        }
        return (ms / walkCycle) * walk.back().dx + dx;
    };
    constexpr int kFrame = 40;
    struct Trap {
        const char* name;
        int set;  // in pack 10
    };
    for (const Trap& trap : {Trap{"laser", 0}, Trap{"camera", 1}}) {
        SCOPED_TRACE(trap.name);
        const auto& set = g.models.at(10).sets.at(trap.set).set;
        int cycle = 0, left = 1 << 20, right = -(1 << 20);
        for (const auto& s : set.animations.at(0).steps) cycle += s.duration;
        for (int ms = 0; ms < cycle; ms += 10) {
            const assetgen::AnimBox& b = hittingBoxAt(set, ms);
            if (b.y + b.height <= body.y) continue;  // out, above any body
            left = std::min(left, b.x);
            right = std::max(right, b.x + b.width);
        }
        ASSERT_LT(left, right) << "it never hits";
        auto meets = [&](int x, int ms) {
            const assetgen::AnimBox& b = hittingBoxAt(set, ms);
            return x + body.x < b.x + b.width && b.x < x + body.x + body.width && body.y < b.y + b.height &&
                   b.y < body.y + body.height;
        };
        for (int way : {1, -1}) {
            SCOPED_TRACE(way > 0 ? "walking right" : "walking left");
            const int from = way > 0 ? left - body.x - body.width : right - body.x;
            const int to = way > 0 ? right - body.x : left - body.x - body.width;
            const int frames = cycle / kFrame;
            std::vector<bool> passes(size_t(frames), true);
            for (int start = 0; start < frames; ++start) {
                for (int t = 0;; t += kFrame) {
                    const int x = from + way * walked(t);
                    if (meets(x, start * kFrame + t)) {
                        passes[size_t(start)] = false;
                        break;
                    }
                    if (way * (x - to) >= 0) break;
                }
            }
            int run = 0, longest = 0;
            for (int i = 0; i < 2 * frames; ++i) {
                run = passes[size_t(i % frames)] ? run + 1 : 0;
                longest = std::max(longest, std::min(run, frames));
            }
            EXPECT_GE(longest * kFrame, 500) << "the longest run of starts that pass, in frames: " << longest;
            EXPECT_LT(longest, frames) << "it never catches anyone";
        }
        if (trap.set == 1) {
            for (int ms = 0; ms < cycle; ms += 10) EXPECT_FALSE(meets(0, ms)) << ms << " ms in";
        }
    }
}

}  // namespace

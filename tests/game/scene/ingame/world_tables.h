// The resources the in-game world names, as its kinds and the level view
// read them: per look the image and animation-set ids, the animations and
// still frames used, and the collision-box ids that every frame of them must
// carry. One table for the resource walk and the level pictures.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "VMTypes.h"

namespace worldtables {

struct Look {
    std::string what;
    jint first = 0;   // image resource
    jint second = 0;  // animation set
    std::vector<jint> animations;
    std::vector<jint> frames;
    std::vector<jint> boxes;  // ids on every frame named or shown by the animations
};

inline std::vector<jint> upTo(jint n) {
    std::vector<jint> v;
    for (jint i = 0; i < n; ++i) v.push_back(i);
    return v;
}

// Location codes 0 to 6: the pairs of the transports by variant.
inline const std::vector<std::vector<std::pair<jint, jint>>>& transports() {
    static const std::vector<std::vector<std::pair<jint, jint>>> t = {
        {{0x2411, 0x2400}, {0x2411, 0x2400}, {0x2412, 0x2401}, {0x2412, 0x2401}},
        {{0x100c, 0x1000}, {0x100c, 0x1000}, {0x100d, 0x1001}, {0x100d, 0x1001}, {0x100e, 0x1002}, {0x100f, 0x1003}},
        {{0x140d, 0x1400}, {0x140d, 0x1400}, {0x140e, 0x1401}, {0x140e, 0x1401}, {0x140f, 0x1402}, {0x1410, 0x1403}},
        {{0x2411, 0x2400}, {0x2411, 0x2400}, {0x2412, 0x2401}, {0x2412, 0x2401}},
        {{0x1c11, 0x1c00}, {0x1c11, 0x1c00}, {0x1c12, 0x1c01}, {0x1c12, 0x1c01}, {0x1c13, 0x1c02}, {0x1c14, 0x1c03}},
        {{0x200a, 0x2000}, {0x200a, 0x2000}, {0x200b, 0x2001}, {0x200b, 0x2001}, {0x200c, 0x2002}, {0x200d, 0x2003}},
        {{0x2411, 0x2400}, {0x2411, 0x2400}, {0x2412, 0x2401}, {0x2412, 0x2401}, {0x2413, 0x2402}, {0x2414, 0x2403}},
    };
    return t;
}

// Interaction items by location code: first and second base, offset and
// start animation by variant.
struct Fittings {
    jint first, second;
    std::vector<jint> offsets, animations;
};
inline const std::vector<Fittings>& fittings() {
    static const std::vector<Fittings> f = {
        {0x2415, 0x2404, {0, 0, 0, 0, 1, 2, 3}, {0, 0, 0, 0, 1, 2, 3}},
        {0x1010, 0x1004, {0, 1, 1}, {0, 0, 1}},
        {0x1411, 0x1404, {0, 1, 1}, {0, 0, 1}},
        {0x2415, 0x2404, {0, 0, 0, 0, 1, 2, 3}, {0, 0, 0, 0, 1, 2, 3}},
        {0x1C15, 0x1C04, {0, 1, 1}, {0, 0, 1}},
        {0x200E, 0x2004, {0, 1, 1}, {0, 0, 1}},
        {0x2415, 0x2404, {0, 1, 1}, {0, 0, 1}},
    };
    return f;
}

// The watchers' seven outfits (look, second id), the bystanders' six, the
// targets' twelve types and the traps' six types (image layer first for 4
// and 5).
inline const std::vector<std::pair<jint, jint>>& outfits() {
    static const std::vector<std::pair<jint, jint>> o = {{0x3009, 0x3001}, {0x3008, 0x3000}, {0x300E, 0x3006},
                                                         {0x300D, 0x3005}, {0x300F, 0x3007}, {0x300C, 0x3004},
                                                         {0x300A, 0x3002}};
    return o;
}
inline const std::vector<std::pair<jint, jint>>& bystanders() {
    static const std::vector<std::pair<jint, jint>> b = {{0x2C06, 0x2C00}, {0x2C07, 0x2C01}, {0x2C09, 0x2C03},
                                                         {0x2C0A, 0x2C04}, {0x2C0B, 0x2C05}, {0x2C08, 0x2C02}};
    return b;
}
inline const std::vector<std::pair<jint, jint>>& targets() {
    static const std::vector<std::pair<jint, jint>> t = {
        {0x180B, 0x1800}, {0x180C, 0x1801}, {0x180D, 0x1802}, {0x180E, 0x1803}, {0x180F, 0x1804}, {0x1810, 0x1805},
        {0x1811, 0x1806}, {0x1811, 0x1806}, {0x1812, 0x1807}, {0x1813, 0x1808}, {0x1814, 0x1809}, {0x1815, 0x180A}};
    return t;
}
inline const std::vector<std::pair<jint, jint>>& traps() {
    static const std::vector<std::pair<jint, jint>> t = {{0x2805, 0x2800}, {0x2805, 0x2800}, {0x2806, 0x2801},
                                                         {0x2807, 0x2802}, {0x2808, 0x2803}, {0x2809, 0x2804}};
    return t;
}

// The outfit looks the doors name, by outfit number (0 the player's own).
inline const std::vector<jint>& doorLooks() {
    static const std::vector<jint> l = {0x3406, 0x3009, 0x3008, 0x300E, 0x300D, 0x300F, 0x300C, 0x300A};
    return l;
}

// The player's outfit icon per level 0 to 10.
inline const std::vector<jint>& levelOutfits() {
    static const std::vector<jint> o = {14, 16, 20, 23, 24, 26, 28, 29, 31, 36, 37};
    return o;
}

// Every look of the tables above with what is read of it.
inline std::vector<Look> everyLook() {
    std::vector<Look> all;
    auto hex = [](jint v) {
        char b[16];
        std::snprintf(b, sizeof b, "0x%04X", unsigned(v));
        return std::string(b);
    };
    auto pair = [&](const char* kind, jint first, jint second) {
        return std::string(kind) + " " + hex(first) + "/" + hex(second);
    };
    // The player: body, overlays (frames: the outfit icons, mirrored ones 24
    // on, and the refusal icons up to 4 + 7), the key, the target marker.
    all.push_back({pair("player", 0x3406, 0x3402),
                   0x3406,
                   0x3402,
                   {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 18, 21, 22, 25, 26, 27},
                   {},
                   {0}});
    all.push_back({pair("overlay", 0x3404, 0x3400), 0x3404, 0x3400, {0, 1, 2, 3}, upTo(62), {}});
    all.push_back({pair("key", 0x3405, 0x3401), 0x3405, 0x3401, {0, 1, 2, 3, 4}, {}, {}});
    for (jint a = 1; a <= 4; ++a) all.push_back({pair("key level", 0x3405, 0x3401), 0x3405, 0x3401, {a}, {}, {0}});
    all.push_back({pair("target marker", 0x3407, 0x3403), 0x3407, 0x3403, {0, 1, 2}, {}, {}});
    // The head-up display and the pad.
    all.push_back({pair("head-up display", 0x3804, 0x3800), 0x3804, 0x3800, {2}, {0}, {}});
    all.push_back({pair("head-up display", 0x3804, 0x3800) + " frame 3", 0x3804, 0x3800, {}, {3}, {0}});
    all.push_back({pair("story board", 0x3804, 0x3800), 0x3804, 0x3800, {}, {8}, {1}});
    all.push_back({pair("pad", 0x3805, 0x3801), 0x3805, 0x3801, {}, {0, 1}, {}});
    // Transports by location and variant.
    for (size_t c = 0; c < transports().size(); ++c) {
        for (size_t v = 0; v < transports()[c].size(); ++v) {
            auto [first, second] = transports()[c][v];
            const std::string what =
                pair("transport", first, second) + " code " + std::to_string(c) + " variant " + std::to_string(v);
            if (v < 4)
                all.push_back({what, first, second, {0}, {}, {0, 1}});
            else if (v == 4)
                all.push_back({what, first, second, upTo(13), {}, {0}});
            else
                all.push_back({what, first, second, upTo(5), {}, {0}});
        }
    }
    // Interaction items: the animations of their states, the still frame of a
    // fixed one, boxes 0 (solid) and 1 (use).
    for (size_t c = 0; c < fittings().size(); ++c) {
        const Fittings& f = fittings()[c];
        for (size_t v = 0; v < f.offsets.size(); ++v) {
            const jint first = f.first + f.offsets[v], second = f.second + f.offsets[v];
            const std::string what = pair("door", first, second) + " code " + std::to_string(c);
            // Codes 0 and 3 never come from a level; their rows name the
            // hotel's first sets, of which only the start animation is read.
            if (c == 0 || c == 3)
                all.push_back({what, first, second, {f.animations[v]}, {}, {}});
            else
                all.push_back({what, first, second, upTo(7), {f.animations[v]}, {0, 1}});
        }
    }
    // Watchers: their animations with the four boxes, the knocked-out one
    // with only the box that gives the outfit (no sight, no body), and the
    // same in the underwear, where the outfit can be taken again once worn
    // off; the mark's frames.
    for (auto [first, second] : outfits()) {
        all.push_back({pair("watcher", first, second), first, second, {0, 1, 16, 23, 24}, {}, {0, 1, 2, 3}});
        all.push_back({pair("watcher", first, second) + " knocked out", first, second, {14}, {}, {3}});
        all.push_back({pair("watcher", first, second) + " in the underwear", first, second, {19}, {}, {0, 1, 2, 3}});
        all.push_back(
            {pair("watcher", first, second) + " knocked out in the underwear", first, second, {28, 29}, {}, {3}});
    }
    all.push_back({pair("mark", 0x300B, 0x3003), 0x300B, 0x3003, {}, {0, 1, 2}, {}});
    for (auto [first, second] : bystanders())
        all.push_back({pair("bystander", first, second), first, second, upTo(10), {}, {}});
    for (size_t t = 0; t < targets().size(); ++t) {
        auto [first, second] = targets()[t];
        all.push_back({pair("target", first, second) + " type " + std::to_string(t),
                       first,
                       second,
                       t == 6 || t == 7 ? std::vector<jint>{0, 1, 2, 3} : std::vector<jint>{0, 1},
                       {},
                       {0}});
    }
    for (size_t t = 0; t < traps().size(); ++t) {
        auto [first, second] = traps()[t];
        const std::string what = pair("trap", first, second) + " type " + std::to_string(t);
        if (t < 4) {
            all.push_back({what, first, second, {0}, {}, {0}});
        } else {
            all.push_back({what, first, second, t == 5 ? std::vector<jint>{0, 1} : std::vector<jint>{0}, {}, {0}});
            all.push_back({what + " still", first, second, {}, {0}, {}});
        }
    }
    return all;
}

}  // namespace worldtables

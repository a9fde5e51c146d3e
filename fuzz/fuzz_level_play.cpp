// Fuzz target: any bytes as a level, played. The game runs headless on the
// fuzzer's thread over the game's own packs: when the level loader accepts
// the input, the in-game scene is built from it and a few hundred frames are
// played (update and paint) with key, touch and pause input drawn from a
// generator seeded by the input.
//
// An input is a level stream, or, when it begins with the byte 0xED, edits
// of one of the game's level files (most changes to a raw stream land in its
// map, which is refused as damaged; edits reach the objects' fields):
//   0xED, the level (byte modulo 12: the tutorial, then levels 0 to 10),
//   then edits of 5 bytes each: the object (16 bits, counted over the
//   objects of every group in order), which of its named fields (8 bits,
//   over its fields but x and y in name order), the new value (16 bits;
//   below 0x8000 taken modulo 16, as small values matter most; cut to the
//   field's width).
// The edited file is written as the asset generator writes level files.
//
// Allowed outcomes: the loader refuses the level, or the scene is built and
// every frame runs. A throwable out of a frame, a level accepted but never
// built, or anything the sanitizers catch aborts.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "VM.h"
#include "ZedIRIvoz.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "fuzz_input_canvas.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_SceneManager.h"
#include "describe.h"
#include "global_GameScene.h"
#include "hal.h"
#include "java_lang_Throwable.h"
#include "javax_microedition_lcdui_Image.h"
#include "sam_SamGameSave.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_util_FastRandom.h"
#include "vm_boot.h"

using com::ventrix::common::Main;
using com::ventrix::utility::SceneManager;
using scene::ingame::InGameScene;
using scene::ingame::LevelLoader;

namespace fuzzlevelplay {

constexpr int kLoadFrames = 400;  // at most, for the loading page and the scene's stages
constexpr int kPlayFrames = 300;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_level_play: %s\n", what.c_str());
    std::abort();
}

using fuzzlevels::InputCanvas;

// A program folder of its own: the game's packs, and room for its saves.
// Removed at the end of the run (the link, not the packs).
std::string programFolder;

void makeProgramFolder() {
    char pattern[] = "/tmp/fuzz_level_play_XXXXXX";
    if (::mkdtemp(pattern) == nullptr) fail("no temporary folder");
    programFolder = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(programFolder, ignored);
    });
    const std::string root = programFolder + "/";
    if (::symlink(VESSILO_GAME_RSC, (root + "rsc").c_str()) != 0) fail("no link to the game's packs");
    HAL_setProgramDirectory(root.c_str());
}

// The game as its application class starts it, with its frame loop stopped:
// the fuzzer's thread runs the frames. Made once (a canvas has a thread).
VMStatic<ZedIRIvoz> app;
VMStatic<InputCanvas> canvas;
VMStatic<javax::microedition::lcdui::Image> screen;  // what each frame paints on
bool started = false;

void startGame() {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    makeProgramFolder();
    VMPtr<ZedIRIvoz> made = ZedIRIvoz::create()->construct();
    VMPtr<InputCanvas> c = InputCanvas::create();
    c->construct(nullptr);
    c->ts::TsCanvas::onEvent(ts::TsCanvas::EVENT_EXIT);  // its own thread runs no frames
    made->canvas = c;
    made->main = Main::create()->construct(c);
    made->createSceneManager();
    c->onEvent(ts::TsCanvas::EVENT_START);
    app = made;
    canvas = c;
    screen = javax::microedition::lcdui::Image::createImage(480, 640);
    started = true;
}

void frame() {
    VMPtr<InputCanvas> c = canvas;
    c->tick();
    c->paintGame(VMPtr<javax::microedition::lcdui::Image>(screen)->getGraphics());
}

InGameScene* levelScene() {
    SceneManager* sm = SceneManager::instance.get();
    return sm == nullptr ? nullptr : dynamic_cast<InGameScene*>(sm->scene.get());
}

// The phone's keys (up, down, left, right, fire, the two soft keys) and
// where the game pad and the pause button lie.
constexpr jint kKeys[] = {-1, -2, -3, -4, -5, -6, -7};
constexpr jint kSpots[][2] = {{80, 470}, {80, 590}, {20, 530}, {140, 530}, {400, 560}, {450, 30}, {240, 320}};

void play(uint64_t seed) {
    VMPtr<InputCanvas> c = canvas;
    VMPtr<ts::util::FastRandom> random = ts::util::FastRandom::create()->construct(jlong(seed));
    Main::random = ts::util::FastRandom::create()->construct(jlong(seed >> 1));
    bool held[std::size(kKeys)] = {};
    bool touching = false, paused = false;
    for (int f = 0; f < kPlayFrames; ++f) {
        const jint roll = random->nextInt() & 0xFF;
        if (roll < 96) {
            const size_t k = size_t(random->nextInt() & 0x7FFF) % std::size(kKeys);
            if (held[k])
                c->keyReleased(kKeys[k]);
            else
                c->keyPressed(kKeys[k]);
            held[k] = !held[k];
        } else if (roll < 144) {
            const size_t s = size_t(random->nextInt() & 0x7FFF) % std::size(kSpots);
            if (touching)
                c->pointerReleased(kSpots[s][0], kSpots[s][1]);
            else
                c->pointerPressed(kSpots[s][0], kSpots[s][1]);
            touching = !touching;
        } else if (roll < 148) {
            c->onEvent(paused ? ts::TsCanvas::EVENT_RESUME : ts::TsCanvas::EVENT_PAUSE);
            if (paused) c->onEvent(ts::TsCanvas::EVENT_AFTER_RESUME);
            paused = !paused;
        }
        frame();
    }
    for (size_t k = 0; k < std::size(kKeys); ++k)
        if (held[k]) c->keyReleased(kKeys[k]);
    if (touching) c->pointerReleased(0, 0);
    if (paused) {
        c->onEvent(ts::TsCanvas::EVENT_RESUME);
        c->onEvent(ts::TsCanvas::EVENT_AFTER_RESUME);
    }
    frame();
}

constexpr uint8_t kEditMode = 0xED;

// The level stream of an edit-mode input; empty when the generator refuses
// the edited file.
std::vector<uint8_t> edited(const uint8_t* data, size_t size) {
    static std::vector<nlohmann::json> files = [] {
        std::vector<nlohmann::json> all;
        for (const char* name : {"tutorial", "level0", "level1", "level2", "level3", "level4", "level5", "level6",
                                 "level7", "level8", "level9", "level10"}) {
            std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + name + ".json");
            std::stringstream text;
            text << in.rdbuf();
            all.push_back(nlohmann::json::parse(text.str()));
            all.back().erase("solution");
        }
        return all;
    }();
    if (size < 2) return {};
    nlohmann::json level = files[data[1] % files.size()];
    // Each object's fields but its position, with their widths in bits.
    struct Field {
        nlohmann::json* value;
        int bits;
    };
    std::vector<std::vector<Field>> objects;
    for (nlohmann::json& group : level["objects"]) {
        const int type = group["type"].get<int>();
        for (nlohmann::json& object : group["objects"]) {
            std::vector<Field> fields;
            for (auto field = object.begin(); field != object.end(); ++field) {
                const std::string& name = field.key();
                if (name == "x" || name == "y") continue;
                int bits = 16;
                if (name == "item") bits = type == 11 || type == 15 ? 7 : 6;
                if (name == "variant") bits = group["objects"][0].contains("fixed") ? 2 : 3;
                if (name == "kind") bits = type == 8 ? 3 : type == 14 ? 2 : 4;
                if (name == "look") bits = 4;
                if (name == "value" && type == 21) bits = 7;
                if (name == "fixed") bits = 1;
                fields.push_back({&field.value(), bits});
            }
            if (!fields.empty()) objects.push_back(fields);
        }
    }
    for (size_t at = 2; at + 5 <= size && !objects.empty(); at += 5) {
        std::vector<Field>& fields = objects[size_t(data[at] << 8 | data[at + 1]) % objects.size()];
        Field& field = fields[data[at + 2] % fields.size()];
        const int raw = data[at + 3] << 8 | data[at + 4];
        const int value = (raw < 0x8000 ? raw % 16 : raw) & ((1 << field.bits) - 1);
        if (field.value->is_boolean())
            *field.value = (value & 1) != 0;
        else
            *field.value = value;
    }
    try {
        return assetgen::describeLevelFile("edited level", level.dump());
    } catch (const assetgen::DescriptionError&) {
        return {};
    }
}

void run(const uint8_t* data, size_t size) {
    VMPtr<InputCanvas> c = canvas;
    std::vector<uint8_t> bytes;
    const bool edits = size > 1 && data[0] == kEditMode;
    if (edits) {
        bytes = edited(data, size);
        if (bytes.empty()) return;
    } else {
        bytes.assign(data, data + size);
    }
    VMPtr<VMBytes> stream = VMBytes::create(jint(bytes.size()));
    if (!bytes.empty()) std::memcpy(stream->elements(), bytes.data(), bytes.size());
    c->input = stream;
    uint64_t seed = 1469598103934665603u;  // FNV-1a of the input: its level number and its play
    for (size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 1099511628211u;
    // An edited level plays as itself; a stream as the level its hash names.
    const jint level = jint(edits ? data[1] % 12 : seed % 12) - 1;

    // Refused levels end here: the scene shows none.
    VMPtr<LevelLoader> loader = LevelLoader::getInstance();
    loader->currentLevel = LevelLoader::NO_LEVEL;
    if (loader->selectLevel(level)) {
        _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
        sam::SamGameSave::currentLevel = level;
        const jint scene = level < 0 ? global::GameScene::TUTORIAL : global::GameScene::LEVEL;
        SceneManager::instance->changeScene(scene);
        int f = 0;
        for (; f < kLoadFrames; ++f) {
            frame();
            InGameScene* built = levelScene();
            if (built != nullptr && !built->loading) break;
            SceneManager* sm = SceneManager::instance.get();
            if (f > 2 && sm->currentSceneId != scene) {
                fail("an accepted level went back to scene " + std::to_string(sm->currentSceneId));
            }
        }
        if (f == kLoadFrames) fail("an accepted level was never built");
        play(seed);
    }
    c->input = nullptr;
}

}  // namespace fuzzlevelplay

VM_REGISTER_CLASS(fuzzlevels::InputCanvas, .name = "fuzzlevels.InputCanvas")

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (!fuzzlevelplay::started) {
        try {
            fuzzlevelplay::startGame();
            // The start: the scene manager's first frame makes its first scene.
            fuzzlevelplay::frame();
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
            keep->printStackTrace();
            fuzzlevelplay::fail("the game did not start");
        }
    }
    try {
        fuzzlevelplay::run(data, size);
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        keep->printStackTrace();
        fuzzlevelplay::fail("a throwable escaped a frame");
    }
    vmFuzzInputDone();
    return 0;
}

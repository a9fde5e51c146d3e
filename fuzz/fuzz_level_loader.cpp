// Fuzz target: any bytes as a level, read by the game's level loader through
// selectLevel (the game canvas's level reader and its callbacks), over the
// game's own packs (which hold the tile sets).
//
// Allowed outcomes: selectLevel answers false and every table is empty, or
// it answers true and the tables obey every rule the in-game objects rely
// on (sizes, kinds, looks, catalogue entries, positions, groups, the
// transports' paths and looks, the tile set's image). Anything else aborts.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "VM.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "fuzz_input_canvas.h"
#include "com_ventrix_common_Main.h"
#include "hal.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_Resources.h"
#include "vm_boot.h"

using scene::ingame::LevelLoader;

namespace fuzzlevelloader {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_level_loader: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) fail(what);
}

using fuzzlevels::InputCanvas;

bool position(jint v) { return v >= 0 && v <= LevelLoader::MAX_COORDINATE; }

void checkRows(VMIntRows* t, jint width, const char* what) {
    for (jint r = 0; r < t->length; ++r) {
        VMInts* row = t->get(r);
        check(row != nullptr && row->length == width, what);
    }
}

void checkEmpty(LevelLoader* l) {
    for (VMIntRows* t :
         {l->disguisedRecords.get(), l->componentRecords.get(), l->zoneRecords.get(), l->targetMarkers.get(),
          l->trapRecords.get(), l->interactionRecords.get(), l->keyRecords.get(), l->generalRecords.get()}) {
        check(t->length == 0, "a table left after a refusal");
    }
    check(l->floorAreas->length == 1 && l->floorAreas->get(0)->length == 0, "walls left after a refusal");
    check(l->transportParts->length == 1 && l->transportParts->get(0)->length == 0, "paths left after a refusal");
    for (jint c = 0; c < LevelLoader::LOCATIONS; ++c) {
        check(l->bgItems->get(c)->length == 0 && (*l->bgItemCount)[c] == 0, "background left after a refusal");
    }
    check(l->map->length == 0 && l->playerRecord->length == 0 && l->mapWidth == 0 && l->tileWidth == 0,
          "the map left after a refusal");
    check(l->currentLevel == LevelLoader::NO_LEVEL, "a refused level counts as loaded");
}

void checkAccepted(LevelLoader* l) {
    check(l->tileWidth > 0 && l->tileHeight > 0, "tile size 0");
    check(l->tileSetImage >= LevelLoader::MIN_TILE_IMAGE, "a tile set in no resource pack");
    check(ts::Resources::getResourceType(l->tileSetImage) == LevelLoader::PNG_TYPE, "a tile set that is no image");
    check(l->mapWidth > 0 && l->mapHeight > 0, "no map");
    check(jlong(l->mapWidth) * l->mapHeight <= LevelLoader::MAX_MAP_CELLS, "too many cells");
    check(l->map->length == l->mapWidth * l->mapHeight, "map size");
    check(jlong(l->mapWidth) * l->tileWidth <= LevelLoader::MAX_COORDINATE &&
              jlong(l->mapHeight) * l->tileHeight <= LevelLoader::MAX_COORDINATE,
          "map too wide");
    for (jint i = 0; i < l->map->length; ++i) check(((*l->map)[i] >> 12) == 0, "a tile outside row 0");
    check(l->playerRecord->length == 3 && position((*l->playerRecord)[1]) && position((*l->playerRecord)[2]), "player");
    check((*l->playerRecord)[0] >= 0 && (*l->playerRecord)[0] < LevelLoader::PLAYER_ANIMATIONS, "player animation");
    check(l->targetCount > 0 && l->targetMarkers->length == l->targetCount, "targets");
    checkRows(l->targetMarkers.get(), 3, "target rows");
    for (jint r = 0; r < l->targetMarkers->length; ++r) check(l->targetMarkers->get(r)->get(2) <= 11, "target kind");
    checkRows(l->trapRecords.get(), 5, "trap rows");
    for (jint r = 0; r < l->trapRecords->length; ++r) check(l->trapRecords->get(r)->get(0) <= 5, "trap kind");
    checkRows(l->disguisedRecords.get(), 8, "disguised rows");
    for (jint r = 0; r < l->disguisedRecords->length; ++r) check(l->disguisedRecords->get(r)->get(0) <= 13, "look");
    checkRows(l->generalRecords.get(), 4, "people rows");
    for (jint r = 0; r < l->generalRecords->length; ++r) {
        check(l->generalRecords->get(r)->get(0) <= 11, "look");
        const jint pair = l->generalRecords->get(r)->get(3);
        check(pair >= 0 && pair < LevelLoader::GENERAL_ANIMATION_PAIRS, "person's animation");
    }
    checkRows(l->keyRecords.get(), 3, "key rows");
    checkRows(l->zoneRecords.get(), 4, "zone rows");
    checkRows(l->interactionRecords.get(), 7, "interaction rows");
    for (jint r = 0; r < l->interactionRecords->length; ++r) {
        VMInts* row = l->interactionRecords->get(r);
        check(row->get(1) <= 2 && (row->get(1) == 0 || row->get(0) == 6), "interaction variant");
        check(LevelLoader::catalogueSize(row->get(0)) > 0, "interaction location");
    }
    for (jint c = 0; c < LevelLoader::LOCATIONS; ++c) {
        VMIntRows* items = l->bgItems->get(c);
        check(items->length == (*l->bgItemCount)[c], "background count");
        checkRows(items, 3, "background rows");
        for (jint r = 0; r < items->length; ++r) {
            check(items->get(r)->get(0) < LevelLoader::catalogueSize(c), "background item");
            check(position(items->get(r)->get(1)) && position(items->get(r)->get(2)), "background position");
        }
    }
    for (VMArray<jint, 3>* grouped : {l->floorAreas.get(), l->transportParts.get()}) {
        check(grouped->length >= 1 && grouped->length <= LevelLoader::MAX_GROUP + 1, "groups");
        for (jint g = 0; g < grouped->length; ++g) {
            VMIntRows* rows = grouped->get(g);
            for (jint r = 0; r < rows->length; ++r) check(rows->get(r)->get(0) == g, "a record in another group");
        }
    }
    checkRows(l->componentRecords.get(), 5, "transport rows");
    for (jint c = 0; c < l->componentRecords->length; ++c) {
        VMInts* component = l->componentRecords->get(c);
        const jint variant = component->get(LevelLoader::ComponentColumn::VARIANT);
        check(variant <= 5 && LevelLoader::catalogueSize(component->get(0)) > 0, "transport variant");
        const jint pathId = component->get(2);
        check(pathId < l->transportParts->length, "a transport without its path");
        VMIntRows* parts = l->transportParts->get(pathId);
        check(parts->length > 0, "a transport without its path");
        // The walk a transport makes over its points must fill every place.
        jint key = 10000;
        for (jint i = 0; i < parts->length; ++i) key = std::min(key, parts->get(i)->get(1));
        std::vector<VMInts*> path;
        for (jint p = 0; p < parts->length; ++p) {
            VMInts* found = nullptr;
            for (jint i = 0; i < parts->length && found == nullptr; ++i) {
                if (parts->get(i)->get(1) == key) found = parts->get(i);
            }
            check(found != nullptr, "a broken path");
            path.push_back(found);
            key = found->get(2) > key ? found->get(2) : key + 1;
        }
        const jint type = path[0]->get(5);
        check(type <= 3, "transport type");
        for (VMInts* point : path) check(point->get(5) == type, "a path of two transport types");
        if (type >= 2) check(path.size() >= 2, "a path of one point");
        if (type == 2) check(path[0]->get(4) > path[1]->get(4), "an elevator upside down");
        // Stairs and escalators climb, the elevator rides, the hatch opens.
        const jint look = variant < 4 ? 0 : variant == 4 ? 2 : 3;
        check(look == type || (look == 0 && type == 1), "a transport in the look of another");
    }
}

}  // namespace fuzzlevelloader

VM_REGISTER_CLASS(fuzzlevels::InputCanvas, .name = "fuzzlevels.InputCanvas")

namespace {
VMStatic<fuzzlevelloader::InputCanvas> canvas;  // made once: each canvas has a thread
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    using com::ventrix::common::Main;
    if (canvas == nullptr) {
        // A program folder of its own, over the game's packs.
        static char folder[] = "/tmp/fuzz_level_loader_XXXXXX";
        if (::mkdtemp(folder) == nullptr) fuzzlevelloader::fail("no temporary folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);  // the link, not the packs
        });
        const std::string root = std::string(folder) + "/";
        if (::symlink(VESSILO_GAME_RSC, (root + "rsc").c_str()) != 0) fuzzlevelloader::fail("no link to the packs");
        HAL_setProgramDirectory(root.c_str());
        VMPtr<fuzzlevelloader::InputCanvas> made = fuzzlevelloader::InputCanvas::create();
        made->construct(nullptr);
        made->postEvent(ts::TsCanvas::EVENT_EXIT);  // no frames
        Main::create()->construct(made);
        canvas = made;
    }
    VMPtr<fuzzlevelloader::InputCanvas> c = canvas;
    VMPtr<VMBytes> stream = VMBytes::create(jint(size));
    if (size > 0) std::memcpy(stream->elements(), data, size);
    c->input = stream;
    VMPtr<LevelLoader> loader = LevelLoader::getInstance();
    loader->currentLevel = LevelLoader::NO_LEVEL;
    if (loader->selectLevel(0)) {
        fuzzlevelloader::checkAccepted(loader.get());
    } else {
        fuzzlevelloader::checkEmpty(loader.get());
    }
    c->input = nullptr;
    vmFuzzInputDone();
    return 0;
}

#include "scene_test_support.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyFont.h"
#include "describe.h"
#include "font.h"
#include "sam_SamGameSave.h"
#include "ts_util_FastRandom.h"

namespace ingamescene {

using com::ventrix::common::Main;
using com::ventrix::utility::SceneManager;

namespace {

VMStatic<leveltest::LevelCanvas> sharedLevels;
VMStatic<NoteManager> sharedManager;

// The game's packs the in-game tests read: the world's art (4-14), the panels
// (18), the fonts (19) and the texts (20); the tests serve their levels.
const std::set<int> kGamePacks = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 18, 19, 20};

// The pack number of a resource file name "RP<n>...", -1 for other names.
int packOf(const std::string& name) {
    if (name.rfind("RP", 0) != 0) return -1;
    size_t end = 2;
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) ++end;
    return end == 2 ? -1 : std::stoi(name.substr(2, end - 2));
}

// The game's packs the in-game tests read, by file name.
const std::map<std::string, std::string>& gamePacks() {
    static const std::map<std::string, std::string> packs = [] {
        std::map<std::string, std::string> chosen;
        for (const auto& [name, bytes] : gameFiles())
            if (kGamePacks.count(packOf(name)) != 0) chosen[name] = bytes;
        return chosen;
    }();
    return packs;
}

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

const std::map<std::string, std::string>& gameFiles() {
    static const std::map<std::string, std::string> files = [] {
        namespace fs = std::filesystem;
        std::map<std::string, std::string> all;
        std::error_code error;
        // The build generates the game's files beside the program before it
        // builds the game's tests; reading them spares every test program
        // generating them again.
        const fs::path built(VESSILO_GAME_RSC);
        if (fs::is_directory(built, error)) {
            for (const fs::directory_entry& e : fs::directory_iterator(built, error))
                if (e.is_regular_file(error)) all[e.path().filename().string()] = contentOf(e.path());
        }
        if (all.empty()) {
            const assetgen::Generated g = assetgen::generateFolder(VESSILO_GAME_ASSETS, assetgen::defaultFontDirectory());
            for (const auto& [name, bytes] : g.files) all[name] = std::string(bytes.begin(), bytes.end());
        }
        return all;
    }();
    return files;
}

nlohmann::json smallLevel() {
    nlohmann::json level = nlohmann::json::parse(R"({
     "tileSet": {"columns": 2, "image": 24576, "tileWidth": 32, "tileHeight": 32,
                 "tiles": [{"column": 1, "row": 0}, {"column": 2, "row": 0}]},
     "objects": [
      {"type": 24, "span": 1000, "objects": [
        {"x": 10, "y": 10, "path": 0, "id": 2, "next": 0, "type": 2},
        {"x": 10, "y": 50, "path": 0, "id": 1, "next": 2, "type": 2}]},
      {"type": 1, "span": 1000, "objects": [{"x": 20, "y": 50, "variant": 4, "path": 0}]},
      {"type": 21, "span": 2000, "objects": [{"x": 96, "y": 500, "value": 0}]},
      {"type": 23, "objects": [{"x": 0, "y": 0, "kind": 0, "index": 0}]}
     ]})");
    nlohmann::json cells = nlohmann::json::array();
    for (int r = 0; r < 16; ++r) {
        nlohmann::json row = nlohmann::json::array();
        for (int c = 0; c < 40; ++c) row.push_back(1 + (r + c) % 2);
        cells.push_back(row);
    }
    level["map"] = {{"width", 40}, {"height", 16}, {"cells", cells}};
    return level;
}

SceneFixture::SceneFixture() : dir("ingame") {
    namespace fs = std::filesystem;
    for (const fs::directory_entry& e : fs::directory_iterator(testProgramDir() + "rsc/")) {
        const std::string name = e.path().filename().string();
        if (kGamePacks.count(packOf(name)) != 0) continue;
        dir.put("rsc/" + name, contentOf(e.path()));
    }
    for (const auto& [name, bytes] : gamePacks()) dir.put("rsc/" + name, bytes);
}

void SceneFixture::SetUp() {
    paneltest::PanelTest::SetUp();
    // The game's own fonts.
    VMPtr<VMInts> fonts = VMInts::create(2);
    (*fonts)[0] = 0x4C00;
    (*fonts)[1] = 0x4C01;
    com::ventrix::utility::MyFont::getInstance()->setFontResourceIds(fonts);
    if (sharedLevels == nullptr) {
        VMPtr<leveltest::LevelCanvas> made = leveltest::LevelCanvas::create();
        made->construct(nullptr);
        made->ts::TsCanvas::onEvent(ts::TsCanvas::EVENT_EXIT);  // no frames, and nothing of the game released
        sharedLevels = made;
    }
    levels = sharedLevels.get();
    levels->levels.clear();
    levels->asked.clear();
    VMPtr<scene::ingame::LevelLoader> made = scene::ingame::LevelLoader::create()->construct();
    made->canvas = levels;
    Main::levelLoader = made;
    loader = made.get();
    if (sharedManager == nullptr) sharedManager = NoteManager::create()->construct();
    manager = sharedManager.get();
    manager->asked.clear();
    _VM_ensureInitialized(SceneManager::_VM_classRecord);
    SceneManager::instance = manager;
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    sam::SamGameSave::currentLevel = 0;
    // The people draw their idles and warm-up times from Main's generator.
    Main::random = ts::util::FastRandom::create()->construct(7);
}

void SceneFixture::TearDown() {
    SceneManager::instance = nullptr;
    Main::levelLoader = nullptr;
    Main::random = nullptr;
    paneltest::PanelTest::TearDown();
}

void SceneFixture::serve(jint level, const nlohmann::json& file) { serveBytes(level, leveltest::levelBytes(file)); }

void SceneFixture::serveBytes(jint level, std::vector<uint8_t> bytes) {
    levels->levels[level < 0 ? 0x5800 : 0x5801 + level] = std::move(bytes);
}

}  // namespace ingamescene

VM_REGISTER_CLASS(ingamescene::NoteManager, .name = "ingamescene.NoteManager",
                  .sourceName = "tests/game/scene/ingame/scene_test_support")

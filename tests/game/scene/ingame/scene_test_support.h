// Test support for the in-game scene and its panels: a program folder with
// the test data set and the game's packs (the world's art 4-14, panels 18,
// fonts 19, texts 20; the game's fonts in use), a level loader
// that reads levels from a canvas serving level files, and a scene manager
// that only notes the scenes asked for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "com_ventrix_utility_SceneManager.h"
#include "game_test_support.h"
#include "panels_test_support.h"
#include "program_dir.h"
#include "scene_ingame_LevelLoader.h"

namespace ingamescene {

// Every file the asset generator makes of the game's assets (its packs, the
// levels' too), by name, read once a process: from the build's own rsc/
// (which the build generates before the game's tests), or, when that folder
// is missing, generated here.
const std::map<std::string, std::string>& gameFiles();

class NoteManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(NoteManager, com::ventrix::utility::SceneManager)

public:
    std::vector<jint> asked;

    VMPtr<NoteManager> construct() {
        Super::construct();
        return this;
    }
    void setupFonts() override {}
    void setupLoadingPage() override {}
    void createGameSave() override {}
    void createScene() override {}
    void changeScene(jint id) override { asked.push_back(id); }
};

// A small playable level of 40 x 16 tiles of 32 pixels over the test data
// set's sheet image.
nlohmann::json smallLevel();

class SceneFixture : public paneltest::PanelTest {
protected:
    SceneFixture();
    void SetUp() override;
    void TearDown() override;

    // Serves the level file's stream as level `level`.
    void serve(jint level, const nlohmann::json& file);
    void serveBytes(jint level, std::vector<uint8_t> bytes);

    TempProgramDir dir;
    leveltest::LevelCanvas* levels = nullptr;
    scene::ingame::LevelLoader* loader = nullptr;
    NoteManager* manager = nullptr;
};

}  // namespace ingamescene

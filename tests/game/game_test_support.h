// The game tests' canvas: a game canvas that serves level
// streams made by the asset generator from level-file descriptions, and the
// checks the tests share.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "scene_ingame_LevelLoader.h"
#include "vm_test.h"

namespace leveltest {

// Serves the levels it holds by resource id and notes each id asked for;
// any other id goes to the real reader (the test data set's pack 22).
class LevelCanvas : public com::ventrix::common::CommonCanvas {
    VM_DECLARE_CLASS(LevelCanvas, com::ventrix::common::CommonCanvas)

public:
    std::map<jint, std::vector<uint8_t>> levels;
    std::vector<jint> asked;

    using CommonCanvas::loadLevel;
    jboolean loadLevel(jint resourceId) override;
};

// The level stream of a level file's JSON.
std::vector<uint8_t> levelBytes(const std::string& json);
std::vector<uint8_t> levelBytes(const nlohmann::json& level);

// A canvas and a Main whose level loader reads from it; put back at the end.
class GameCanvasTest : public VMTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Selects the level, capturing what it prints.
    bool select(jint level, std::string* printed = nullptr);

    // Held by statics (the shared canvas, Main's level loader).
    LevelCanvas* canvas = nullptr;
    scene::ingame::LevelLoader* loader = nullptr;
};

// Every table and count of the loader empty (as after a refusal).
void expectEmpty(scene::ingame::LevelLoader* loader);
// A row of a table as a vector.
std::vector<jint> row(VMIntRows* table, jint r);
std::vector<jint> ints(VMInts* a);

}  // namespace leveltest

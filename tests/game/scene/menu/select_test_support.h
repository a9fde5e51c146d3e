// Test support for the level selection and the scene factory: a program
// folder with every pack of the game, the game's text table and fonts, a
// scene manager that only notes the scenes asked for, and touch input set
// by hand.
#pragma once

#include <vector>

#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_ui_Screen.h"
#include "panels_test_support.h"
#include "program_dir.h"
#include "scene/ingame/scene_test_support.h"

namespace selecttest {

class GameFolderTest : public paneltest::PanelTest {
protected:
    GameFolderTest();
    void SetUp() override;
    void TearDown() override;

    // Runs the scene's update until its loading ends; answers the frames.
    int load(com::ventrix::ui::Scene* s);
    // n frames of the scene with no input.
    void frames(com::ventrix::ui::Scene* s, int n);
    // A release in this frame at the middle of the layer's box 0.
    void releaseOn(com::ventrix::ui::Screen* screen, jint layer);
    // A release at (x, y) in this frame.
    void releaseAt(jint x, jint y);
    // A press in this frame; `alsoReleased` when the poll took its release too.
    void pressNow(bool alsoReleased);
    // No touch events in this frame (a touch may still be down).
    void noTouch();
    // The id of the picture's resource an image slot shows, -1 for none.
    static jint imageOf(com::ventrix::ui::Screen* screen, jint slot);

    TempProgramDir dir;
    ingamescene::NoteManager* manager = nullptr;
};

}  // namespace selecttest

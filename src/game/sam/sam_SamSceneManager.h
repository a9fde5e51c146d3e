// sam.SamSceneManager: the game's scene manager. It sets up the text table
// and the fonts, the look of the loading page and the saved data, builds the
// scene of each scene id, and makes the music audible again after the
// application is resumed (unless a level is paused).
//
// Scene ids: 0 the logo; 1 the main menu; 2, 4, 6, 7, 15, 16 the option and
// information pages (15 the sound question at start-up); 9 a level, 12 the
// tutorial level; 10, 11, 13, 14 the level selection. Every other id builds
// nothing.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_SceneManager.h"

namespace sam {

class SamSceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(SamSceneManager, com::ventrix::utility::SceneManager)

public:
    static constexpr jint TEXTS = 0x5000;
    static constexpr jint BODY_FONT = 0x4C00;
    static constexpr jint TITLE_FONT = 0x4C01;
    static constexpr jint LAST_SCENE = 16;

    static constexpr jint LOGO = 0;
    static constexpr jint MAIN_MENU = 1;
    static constexpr jint LEVEL = 9;
    static constexpr jint TUTORIAL = 12;

    // The base constructor body (which sets up fonts, loading page and saved
    // data), then the manager becomes the one in use.
    VMPtr<SamSceneManager> construct();

    void setupFonts() override;
    void setupLoadingPage() override;
    void afterResume() override;
    void createGameSave() override;
    void createScene() override;
};

}  // namespace sam

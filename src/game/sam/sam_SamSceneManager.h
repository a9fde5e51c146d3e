// sam.SamSceneManager: the game's scene manager. It sets up the text table
// and the fonts, the look of the loading page and the saved data, builds the
// scene of each scene id, and makes the music audible again after the
// application is resumed (unless a level is paused).
//
// The scene ids are global::GameScene's; an id it does not name builds
// nothing.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_SceneManager.h"

namespace sam {

class SamSceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(SamSceneManager, com::ventrix::utility::SceneManager)

public:
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

// com.ventrix.utility.SceneManager: owns the application's current scene and
// switches scenes by a small id. com.ventrix.common.Main drives it: the
// first tick after it was handed over runs init, every later tick update;
// each painted frame runs paint; the life-cycle events run pause, resume
// and afterResume; the application's exit runs destroy. The game's subclass
// supplies the scenes.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_LoadingPage.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyPointer.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace com::ventrix::utility {

class SceneManager : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(SceneManager, java::lang::Object)

public:
    static constexpr jint NO_SCENE = -1;

    // The manager in use: the subclass stores itself here after the base
    // constructor body; getInstance never makes one.
    static VMStatic<SceneManager> instance;

    jshort currentSceneId = NO_SCENE;      // in use, or to be entered at init
    jshort previousSceneId = 0;            // current before the last change
    VMField<ui::Scene> scene;              // the current scene, made by the subclass
    VMField<AudioAndVibration> audio;      // taken by init
    VMField<ui::LoadingPage> loadingPage;  // taken by init
    VMField<MyPointer> pointer;            // taken by init

    static void _VM_clinit();
    // currentSceneId := -1, then the subclass's setupFonts,
    // setupLoadingPage and createGameSave, in this order.
    VMPtr<SceneManager> construct();

    static VMPtr<SceneManager> getInstance();

    // Start-up set-up of the game, run once by the constructor body.
    virtual void setupFonts() = 0;
    virtual void setupLoadingPage() = 0;
    // Once a frame (Main's tick, after the first): the scene's update, then
    // the touch input's.
    virtual void update();
    virtual void resume() {}
    // Right after every resume.
    virtual void afterResume() {}
    // The first tick after the manager was handed to Main: takes the touch
    // input, the sound singleton (unless it has one) and the loading page,
    // and enters the scene recorded by an earlier changeScene.
    virtual void init();
    // Every painted frame, in game coordinates: the loading page (which
    // draws only while a scene loads), then the scene.
    virtual void paint(VMPtr<javax::microedition::lcdui::Graphics> g);
    virtual void createGameSave() = 0;
    // Builds the scene for currentSceneId into scene; for an id it does not
    // know it builds nothing and leaves scene null.
    virtual void createScene() = 0;
    // Before init only records id. Afterwards switches to scene id (the
    // current one is never entered again): the channels fall silent unless
    // the sound is muted, the old scene is disposed of, the touch input is
    // reset, the resource cache emptied, both ids move on, the new scene is
    // built and, unless it loads stage by stage, started at once.
    virtual void changeScene(jint id);
    // At the application's exit: disposes of the scene, removes the touch
    // regions and destroys the resource cache.
    virtual void destroy();
    // The scene's pause.
    virtual void pause();

    void markReferences(uint32_t bits) override {
        _VM_markRef(scene, bits);
        _VM_markRef(audio, bits);
        _VM_markRef(loadingPage, bits);
        _VM_markRef(pointer, bits);
    }
};

}  // namespace com::ventrix::utility

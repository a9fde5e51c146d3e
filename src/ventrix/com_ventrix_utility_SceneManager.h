// com.ventrix.utility.SceneManager: owns the application's current scene and
// switches scenes by a small id. com.ventrix.common.Main drives it: the
// first tick after it was handed over runs init, every later tick update;
// each painted frame runs paint; the life-cycle events run pause, resume
// and afterResume; the application's exit runs destroy. The game's subclass
// supplies the scenes.
//
// Here the manager keeps the scene ids and the sound singleton; the parts
// that reach scenes, the loading page and the touch input belong to those
// classes.
#pragma once

#include "VM.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace com::ventrix::utility {

class SceneManager : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(SceneManager, java::lang::Object)

public:
    static constexpr jint NO_SCENE = -1;

    // The manager in use: the subclass stores itself here after the base
    // constructor body; getInstance never makes one.
    static VMStatic<SceneManager> instance;

    jshort currentSceneId = NO_SCENE;  // in use, or to be entered at init
    jshort previousSceneId = 0;        // current before the last change
    VMField<AudioAndVibration> audio;  // taken by init

    static void _VM_clinit();
    // currentSceneId := -1.
    VMPtr<SceneManager> construct();

    static VMPtr<SceneManager> getInstance();

    // Once a frame (Main's tick, after the first).
    virtual void update() {}
    virtual void resume() {}
    // Right after every resume.
    virtual void afterResume() {}
    // The first tick after the manager was handed to Main: takes the sound
    // singleton (unless it has one) and enters the scene recorded by an
    // earlier changeScene.
    virtual void init();
    // Every painted frame, in game coordinates.
    virtual void paint(VMPtr<javax::microedition::lcdui::Graphics> g) { (void)g; }
    // Switches to scene id; the current one is never entered again. The
    // resource cache is emptied and both ids move on.
    virtual void changeScene(jint id);
    // At the application's exit: empties the resource cache.
    virtual void destroy();
    virtual void pause() {}

    void markReferences(uint32_t bits) override { _VM_markRef(audio, bits); }
};

}  // namespace com::ventrix::utility

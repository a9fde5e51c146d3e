// com.ventrix.common.Main: the controller between the game canvas and the
// scene manager. The canvas's tick, paint and life-cycle events arrive here
// and go on to the scene manager. Main also keeps the application-wide
// objects in its statics (canvas, scene manager, saved games, level loader,
// resource cache, random numbers) and centres the 480 x 640 game area in the
// canvas, painting the margins black.
#pragma once

#include "VM.h"
#include "com_ventrix_common_Game.h"
#include "com_ventrix_common_LevelReceiver.h"
#include "com_ventrix_utility_ResManager.h"
#include "com_ventrix_utility_SceneManager.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "ts_TsCanvas.h"
#include "ts_util_FastRandom.h"

namespace com::ventrix::common {

class Main : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Main, java::lang::Object)

public:
    static constexpr jint GAME_WIDTH = 480;
    static constexpr jint GAME_HEIGHT = 640;
    // The game's level loader, made by this name through the class registry
    // (a public no-argument constructor; a LevelReceiver).
    static constexpr const char* LEVEL_LOADER_CLASS = "scene.ingame.LevelLoader";

    static VMStatic<Main> instance;
    static VMStatic<ts::TsCanvas> canvas;
    static VMStatic<utility::SceneManager> sceneManager;
    static VMStatic<Game> game;  // stored by the game's scene manager
    static VMStatic<LevelReceiver> levelLoader;
    static VMStatic<utility::ResManager> resManager;
    static VMStatic<ts::util::FastRandom> random;
    // Where the game area starts inside the canvas.
    static jint offsetX;
    static jint offsetY;
    // The offset is recomputed (and the margins painted) at the next paint.
    static jboolean offsetDirty;

    jboolean paused = false;               // no ticks reach the scene manager
    jboolean sceneManagerPending = false;  // handed over, not yet initialised

    static void _VM_clinit();
    // Keeps the canvas, makes the level loader (LEVEL_LOADER_CLASS, whose
    // constructor takes the canvas from here), the random numbers and the
    // resource cache, and becomes the instance. ClassNotFoundException when
    // no such class is registered, ClassCastException when it makes no
    // LevelReceiver.
    VMPtr<Main> construct(VMPtr<ts::TsCanvas> gameCanvas);

    // Each frame: nothing while paused or without a scene manager; the
    // first tick after setSceneManager initialises it, every other one
    // updates it.
    virtual void tick();
    virtual void resume();
    virtual void afterResume();
    virtual void setSceneManager(VMPtr<utility::SceneManager> sm);
    // Each painted frame: the offset (margins black when recomputed), the
    // scene manager's paint in game coordinates, the clip reset, and the
    // translation undone.
    virtual void paint(VMPtr<javax::microedition::lcdui::Graphics> g);
    virtual void pause();

    static VMPtr<Main> getInstance();
    // An int >= 0 from the random numbers.
    static jint randomInt();
    // At the exit: drops the statics (not the instance and the level
    // loader), destroys the scene manager and empties the resource cache.
    static void releaseAll();
    // Recomputes the offset when it is dirty, then translates g by it.
    static void applyScreenOffset(VMPtr<javax::microedition::lcdui::Graphics> g);
};

}  // namespace com::ventrix::common

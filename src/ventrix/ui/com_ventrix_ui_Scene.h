// com.ventrix.ui.Scene: the base of every screen of the game. The scene
// manager makes one scene at a time, starts it, updates and paints it every
// frame and disposes of it. A scene keeps its objects in a growable table
// (an object's id is its index there) and in paint order by layer, updates
// and paints them, measures frame and wall-clock time, and loads in four
// stages: all at once in init, or one step a frame behind the loading page.
// Its own drawing (paintScene) lies between the objects of layer below 40
// and those of 40 and above.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_LoadingPage.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyObject.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "ts_TsCanvas.h"
#include "ts_util_text_Translation.h"

namespace com::ventrix::utility {
class SceneManager;
}

namespace com::ventrix::ui {

class Scene : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(Scene, java::lang::Object)

public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using MyObject = utility::MyObject;
    using Objects = VMArray<MyObject, 1>;

    static constexpr jint START_CAPACITY = 20;
    // Objects of this layer and above are painted after the scene's own
    // drawing.
    static constexpr jint SCENE_LAYER = 40;

    VMField<Objects> objects;    // empty slots are null
    VMField<VMInts> paintOrder;  // indices into objects, ascending by layer
    jint capacity = 0;           // the length of both arrays
    jint growBy = 0;             // the base of the next growth step
    jboolean loading = false;    // loading stage by stage, one step a frame
    jint loadStage = 0;          // 0 to 4
    // Set non-zero by a stage loader that wants to be called again; the
    // loader clears it when it is done.
    jint stage0Busy = 0;
    jint stage1Busy = 0;
    jint stage2Busy = 0;
    jint frameTime = 0;      // the canvas's frame period of the last frame
    jint elapsed = 0;        // the sum of frameTime since init
    jint realFrameTime = 0;  // wall-clock time between the last two frames
    jint realElapsed = 0;    // their sum since init
    jlong startTime = 0;     // the wall-clock time of the last frame
    VMField<ts::TsCanvas> canvas;
    VMField<utility::SceneManager> sceneManager;
    VMField<ts::util::text::Translation> translation;
    VMField<LoadingPage> loadingPage;
    VMField<utility::AudioAndVibration> audio;
    VMField<MyObject> panel;        // optional objects of the subclass, released
    VMField<Screen> screen;         // by dispose
    jboolean quietOnResume = true;  // read by the game's scene manager
    VMField<VMInts> rect;           // for the subclasses

    VMPtr<Scene> construct();

    virtual void updateTiming();
    // Cuts both arrays after the highest object (empty slots below it stay).
    virtual void trimObjects();
    virtual void loadStage0() = 0;
    // Restarts the clocks and, unless loading stage by stage, loads all
    // stages at once, starts the sound and sorts the objects.
    virtual void init();
    // style < 0: load at once in init; otherwise stage by stage behind the
    // loading page in that style.
    virtual void startLoading(jint style);
    // Into the first empty slot (the table grows when there is none); the
    // object's id becomes its index.
    virtual void addObject(VMPtr<MyObject> o);
    // addObject for each of list[0..count) in turn, with one scan and at
    // most one new table: the same slots, ids, capacity and growth step as
    // the single adds. The objects must be kept alive by the caller.
    void addObjects(MyObject* const* list, jint count);
    // Ascending by layer, index order within a layer, empty slots last.
    virtual void sortPaintOrder();
    // Releases the object in slot id and trims the table; nothing for an
    // id outside the table or an empty slot.
    virtual void removeObject(jint id);
    virtual void removeObject(VMPtr<MyObject> o);
    virtual void paint(VMPtr<Graphics> g);
    // One loading step while loading, else the clocks and the objects.
    virtual void tick();
    virtual void loadStage2() = 0;
    virtual void loadStage1() = 0;
    // The per-frame entry; scenes override it and call this one.
    virtual void update();
    virtual void resetClip(VMPtr<Graphics> g);
    virtual void paintScene(VMPtr<Graphics> g) = 0;
    virtual void setClip(VMPtr<Graphics> g, jint x, jint y, jint width, jint height);
    // Updates the visible objects and hands the input to the active ones.
    virtual void updateObjects();
    virtual void loadStep();
    // Moves the loading page's bar one step on: the end of a stage loader's
    // call.
    void stepLoadingPage();
    virtual void pause();
    virtual void growObjects();
    // The object table and the paint order copied into new ones of length
    // entries (cut, or filled with empty slots and zeros).
    void resizeTables(jint length);
    // Releases and drops every object, the screen and the panel.
    virtual void dispose();
    virtual void reset();

    void markReferences(uint32_t bits) override;

private:
    // The object of paint-order position i, or null.
    MyObject* objectAt(Objects* table, VMInts* order, jint i);
    void startSound();
};

}  // namespace com::ventrix::ui

// Scene and SceneManager refer to each other.
#include "com_ventrix_utility_SceneManager.h"

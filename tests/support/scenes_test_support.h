// Test support for scenes, the loading page and screen objects: a Graphics
// that logs what is drawn through it, objects and a scene that log their
// calls, keys the test presses, and a fixture with a stopped game canvas, the test data set's text
// table and fonts, and an empty resource cache.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_ui_LoadingPage.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_ui_Screen.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_ResManager.h"
#include "golden.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_Resources.h"
#include "ventrix_test_support.h"

namespace scenetest {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

// The test data set: the text table, the two font sizes, and the screen
// pack (assets/test/pack24_screens.json).
constexpr jint kTexts = 20 * 1024;
constexpr jint kFontSmall = 17 * 1024 + 1, kFontLarge = 17 * 1024 + 3;
constexpr jint kSheet = 24 * 1024;
constexpr jint kSquares = kSheet + 1;    // red, green, blue, yellow
constexpr jint kTiles = kSheet + 2;      // background tile, ring
constexpr jint kSquareSet = kSheet + 3;  // frames with boxes 1 to 4, animations played once
constexpr jint kHello = 5;               // "Hello, world"

// Logs fillRect, drawRect and setClip as text ("fill 1 2 3 4 #ff0000").
class LogGraphics : public Graphics {
    VM_DECLARE_CLASS(LogGraphics, Graphics)

public:
    std::vector<std::string> log;

    VMPtr<LogGraphics> construct(VMPtr<Image> target) {
        Super::construct();
        initWithImage(target);
        return this;
    }
    void fillRect(jint x, jint y, jint w, jint h) override;
    void drawRect(jint x, jint y, jint w, jint h) override;
    void setClip(jint x, jint y, jint w, jint h) override;
    // The entries that begin with prefix.
    std::vector<std::string> only(const std::string& prefix) const;
};

VMPtr<LogGraphics> logGraphics(jint width = 480, jint height = 640);

// An object that writes "<name>.update", "<name>.input", "<name>.paint" and
// "<name>.release" into a shared log.
class LogObject : public com::ventrix::utility::MyObject {
    VM_DECLARE_CLASS(LogObject, com::ventrix::utility::MyObject)

public:
    std::string name;
    std::vector<std::string>* log = nullptr;
    std::vector<std::pair<jint, jint>> updateArgs;

    VMPtr<LogObject> construct(std::string objectName, jint objectLayer, std::vector<std::string>* into) {
        Super::construct();
        name = std::move(objectName);
        layer = objectLayer;
        log = into;
        return this;
    }
    void release() override { note("release"); }
    void update(jint a, jint b) override {
        updateArgs.emplace_back(a, b);
        note("update");
    }
    void handleInput(jint, jint) override { note("input"); }
    void paint(VMPtr<Graphics>) override { note("paint"); }
    void reset() override {}
    void note(const std::string& what) {
        if (log != nullptr) log->push_back(name + "." + what);
    }
};

// A scene whose stage loaders log their calls and stay busy for a given
// number of calls; paintScene logs "scene".
class LogScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(LogScene, com::ventrix::ui::Scene)

public:
    std::vector<std::string> log;
    int busyCalls[3] = {0, 0, 0};  // calls that leave the stage busy
    int calls[3] = {0, 0, 0};

    VMPtr<LogScene> construct() {
        Super::construct();
        return this;
    }
    void loadStage0() override { stage(0, stage0Busy); }
    void loadStage1() override { stage(1, stage1Busy); }
    void loadStage2() override { stage(2, stage2Busy); }
    void paintScene(VMPtr<Graphics>) override { log.push_back("scene"); }
    void stage(int k, jint& busy) {
        log.push_back("stage" + std::to_string(k));
        busy = ++calls[k] <= busyCalls[k] ? 1 : 0;
    }
    VMPtr<LogObject> add(const std::string& name, jint layer) {
        VMPtr<LogObject> o = LogObject::create()->construct(name, layer, &log);
        addObject(o);
        return o;
    }
};

// Keys answered from the logical actions the test puts in two sets: those
// pressed in this frame and those held down. Nothing is ever released.
class ScriptKey : public com::ventrix::utility::MyKey {
    VM_DECLARE_CLASS(ScriptKey, com::ventrix::utility::MyKey)

public:
    std::set<jint> pressed, held;

    VMPtr<ScriptKey> construct() {
        Super::construct();
        return this;
    }
    jboolean isPressed(jint action) override { return pressed.count(action) != 0; }
    jboolean isHeld(jint action) override { return held.count(action) != 0; }
    jboolean isReleased(jint) override { return false; }
};

// A game canvas of a chosen size whose frame loop is stopped.
class StoppedCanvas : public com::ventrix::common::CommonCanvas {
    VM_DECLARE_CLASS(StoppedCanvas, com::ventrix::common::CommonCanvas)

public:
    jint width = 480, height = 640;
    jint getWidth() override { return width; }
    jint getHeight() override { return height; }
};

class SceneTest : public ventrixtest::WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The count of references the cache holds on image slot i and
    // animation slot i.
    static jint gobRefs(jint slot) { return (*com::ventrix::utility::ResManager::gobRefs)[slot]; }
    static jint animRefs(jint slot) { return (*com::ventrix::utility::ResManager::animRefs)[slot]; }

    VMPtr<StoppedCanvas> canvas;
};

Picture pictureOfImage(const VMPtr<Image>& image);

}  // namespace scenetest

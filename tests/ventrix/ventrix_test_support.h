// Test support for the application skeleton: a scene manager and a media
// manager that record what reaches them, a test application, and a fixture
// whose thread is the main thread of a window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ce_window.h"
#include "com_ventrix_common_CommonMIDlet.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_SceneManager.h"
#include "hal_host.h"
#include "hal_input.h"
#include "hal_thread.h"
#include "hal_window.h"
#include "host_support.h"
#include "javax_microedition_lcdui_Display.h"
#include "ts_MediaManager.h"
#include "vm_test.h"

namespace ventrixtest {

class RecordingSceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(RecordingSceneManager, com::ventrix::utility::SceneManager)

public:
    std::vector<std::string> calls;  // every call but paint
    int paints = 0;
    int updates = 0;
    std::function<void(javax::microedition::lcdui::Graphics*)> painter;  // run by paint

    VMPtr<RecordingSceneManager> construct() {
        Super::construct();
        instance = this;
        return this;
    }
    void update() override {
        ++updates;
        calls.push_back("update");
        Super::update();
    }
    void resume() override {
        calls.push_back("resume");
        Super::resume();
    }
    void afterResume() override {
        calls.push_back("afterResume");
        Super::afterResume();
    }
    void init() override {
        calls.push_back("init");
        Super::init();
    }
    void paint(VMPtr<javax::microedition::lcdui::Graphics> g) override {
        ++paints;
        if (painter) painter(g.get());
        Super::paint(g);
    }
    void changeScene(jint id) override {
        calls.push_back("changeScene " + std::to_string(id));
        Super::changeScene(id);
    }
    void destroy() override {
        calls.push_back("destroy");
        Super::destroy();
    }
    void pause() override {
        calls.push_back("pause");
        Super::pause();
    }
    // The calls with the updates after the first of a run folded into one
    // "update...".
    std::string summary() const;
};

class RecordingMediaManager : public virtual java::lang::Object, public virtual ts::MediaManager {
    VM_DECLARE_CLASS(RecordingMediaManager, java::lang::Object)

public:
    std::vector<std::string> calls;
    VMPtr<RecordingMediaManager> construct() {
        Super::construct();
        return this;
    }
    void init(VMPtr<ts::TsCanvas> canvas, jint capacity) override {
        (void)canvas;
        calls.push_back("init " + std::to_string(capacity));
    }
    void playSound(jint sound, jint resourceId, jint loopCount, jint priority) override {
        calls.push_back("playSound " + std::to_string(sound) + " " + std::to_string(resourceId) + " " +
                        std::to_string(loopCount) + " " + std::to_string(priority));
    }
    void playOnChannel(jint channel, jint sound) override {
        calls.push_back("playOnChannel " + std::to_string(channel) + " " + std::to_string(sound));
    }
    void stopSound(jint sound) override { calls.push_back("stopSound " + std::to_string(sound)); }
    void stopChannel(jint channel) override { calls.push_back("stopChannel " + std::to_string(channel)); }
    jint getChannelCount() override { return 0; }
    void close() override { calls.push_back("close"); }
};

// createSceneManager installs a recording scene manager and asks it for
// scene 0; it notes what the first start had built by then.
class TestMIDlet : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(TestMIDlet, com::ventrix::common::CommonMIDlet)

public:
    int sceneManagersMade = 0;
    std::string builtBefore;  // what createSceneManager found

    VMPtr<TestMIDlet> construct() {
        Super::construct();
        return this;
    }
    void createSceneManager() override;
};

// The test thread is the main thread of a window.
class WindowTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        ASSERT_TRUE(HAL_createHostWindow(nullptr, u"VentrixTest", ce::DefWindowProcW));
        HAL_recordMainThread();
        HAL_resetInput();
    }
    void TearDown() override {
        javax::microedition::lcdui::Display::getDisplay(nullptr)->setShown(true);
        HAL_releaseHostWindow();
    }
    TestRuntimeFolder folder;
};

}  // namespace ventrixtest

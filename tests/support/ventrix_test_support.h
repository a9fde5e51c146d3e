// Test support for the application skeleton: a scene manager that records
// what reaches it, a test application whose createSceneManager installs
// one, and a fixture whose thread is the main thread of a window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ce_window.h"
#include "com_ventrix_common_CommonMIDlet.h"
#include "hal_host.h"
#include "hal_input.h"
#include "hal_window.h"
#include "host_support.h"
#include "javax_microedition_lcdui_Display.h"
#include "vm_test.h"

namespace ventrixtest {

class RecordingSceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(RecordingSceneManager, com::ventrix::utility::SceneManager)

public:
    std::vector<std::string> calls;  // every call but paint; a run of updates as one "update..."
    int paints = 0;
    int updates = 0;
    std::function<void(javax::microedition::lcdui::Graphics*)> painter;  // run by paint

    VMPtr<RecordingSceneManager> construct() {
        Super::construct();
        instance = this;
        return this;
    }
    void record(const std::string& call) {
        if (call == "update" && !calls.empty() && calls.back().rfind("update", 0) == 0)
            calls.back() = "update...";
        else
            calls.push_back(call);
    }
    void update() override {
        ++updates;
        record("update");
    }
    void resume() override { record("resume"); }
    void afterResume() override { record("afterResume"); }
    void init() override {
        record("init");
        Super::init();
    }
    void paint(VMPtr<javax::microedition::lcdui::Graphics> g) override {
        ++paints;
        if (painter) painter(g.get());
    }
    void changeScene(jint id) override {
        record("changeScene " + std::to_string(id));
        Super::changeScene(id);
    }
    void destroy() override {
        record("destroy");
        Super::destroy();
    }
    void pause() override { record("pause"); }
    void setupFonts() override {}
    void setupLoadingPage() override {}
    void createGameSave() override {}
    void createScene() override {}  // no scenes: every change leaves scene null
};

class TestMIDlet : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(TestMIDlet, com::ventrix::common::CommonMIDlet)

public:
    int sceneManagersMade = 0;
    std::string builtBefore;  // what createSceneManager found built

    VMPtr<TestMIDlet> construct() {
        Super::construct();
        return this;
    }
    void createSceneManager() override;
};

// A fixture's first member: the runtime is booted before the members that
// hold references are made.
struct Booted {
    Booted() { vmTestBoot(); }
};

// The test thread holds the runtime lock all through a test (other runtime
// threads run only while it waits), so the threads a test starts (a canvas's
// frame loop) are ended at its end: interrupted, and given the lock until
// they have run out. Left waiting, each test would leave its canvases and
// their threads behind for good.
class WindowTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        threadsBefore = runtimeThreads();
        ASSERT_TRUE(HAL_createHostWindow(nullptr, u"VentrixTest", ce::DefWindowProcW));
        HAL_recordMainThread();
        HAL_resetInput();
    }
    void TearDown() override {
        javax::microedition::lcdui::Display::getDisplay(nullptr)->setShown(true);
        EXPECT_TRUE(endThreadsStartedSince(threadsBefore));
        HAL_releaseHostWindow();
    }
    // The runtime threads alive now, the runtime's own ones left out.
    static std::vector<VMThread*> runtimeThreads();
    // Interrupts the threads started since and waits until they have ended;
    // false when one still runs after 30 s.
    static bool endThreadsStartedSince(const std::vector<VMThread*>& before);

    Booted booted;
    TestRuntimeFolder folder;
    std::vector<VMThread*> threadsBefore;
};

}  // namespace ventrixtest

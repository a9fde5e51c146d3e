#include "play_harness.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "ce_window.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_SceneManager.h"
#include "hal_input.h"
#include "javax_microedition_lcdui_Image.h"
#include "lcdui_test_support.h"
#include "scene_ingame_InGameScene.h"
#include "ts_util_FastRandom.h"
#include "vm_test.h"

namespace playharness {

using com::ventrix::common::Main;
using com::ventrix::utility::SceneManager;

void Harness::attach(VMPtr<ts::TsCanvas> gated, int64_t seed) {
    canvas = gated;
    _VM_ensureInitialized(Main::_VM_classRecord);
    Main::random = ts::util::FastRandom::create()->construct(jlong(seed));
    canvas->setStepGate(true);
    // A frame begun before the gate counts as none; this one is the first.
    ticks = 0;
    trace.clear();
    lastScene = lastState = -2;
}

void Harness::detach() {
    if (canvas != nullptr) canvas->setStepGate(false);
    canvas = nullptr;
}

bool Harness::step(int n) {
    for (int i = 0; i < n; ++i) {
        if (canvas == nullptr || !canvas->step()) return false;
        ++ticks;
        note();
    }
    return true;
}

int Harness::sceneId() {
    _VM_ensureInitialized(SceneManager::_VM_classRecord);
    SceneManager* sm = SceneManager::instance.get();
    return sm == nullptr ? -1 : sm->currentSceneId;
}

int Harness::inGameState() {
    _VM_ensureInitialized(SceneManager::_VM_classRecord);
    SceneManager* sm = SceneManager::instance.get();
    auto* s = sm == nullptr ? nullptr : dynamic_cast<scene::ingame::InGameScene*>(sm->scene.get());
    return s == nullptr || s->loading ? -1 : s->state;
}

void Harness::note() {
    const int scene = sceneId();
    if (scene != lastScene) {
        trace.push_back({ticks, "scene", scene});
        lastScene = scene;
        lastState = -2;
    }
    const int state = inGameState();
    if (state != lastState) {
        if (state != -1) trace.push_back({ticks, "state", state});
        lastState = state;
    }
}

int64_t Harness::tickOf(const std::string& what, int value) const {
    for (const TraceEntry& e : trace)
        if (e.what == what && e.value == value) return e.tick;
    return -1;
}

bool Harness::delivered(jlong before) {
    // The stand-in posts the entry to the event thread, which runs while
    // this thread waits.
    return vmWaitFor([&] { return canvas->inputEntries > before; });
}

void Harness::keyDown(unsigned virtualKey) {
    const jlong before = canvas->inputEntries;
    if (HAL_handleInputMessage(ce::WM_KEYDOWN, virtualKey, 0)) {
        EXPECT_TRUE(delivered(before)) << "key " << virtualKey;
    }
}

void Harness::keyUp(unsigned virtualKey) {
    const jlong before = canvas->inputEntries;
    if (HAL_handleInputMessage(ce::WM_KEYUP, virtualKey, 0)) {
        EXPECT_TRUE(delivered(before)) << "key " << virtualKey;
    }
}

namespace {

// The touch last passed to the stand-in, and when.
struct LastTouch {
    unsigned message = 0;  // 0: none yet
    int x = 0, y = 0;
    std::chrono::steady_clock::time_point when;
};
LastTouch lastTouch;

}  // namespace

void Harness::touch(unsigned message, int x, int y) {
    const ce::LPARAM where = ce::LPARAM((uint32_t(uint16_t(y)) << 16) | uint16_t(x));
    // The stand-in drops a touch of the same kind as the one just passed on
    // within 30 ms and 5 pixels of it: such a touch waits that out, so that
    // every touch of a test counts. A press after a release (a tap, a
    // finger moved to another button) goes at once.
    if (lastTouch.message == message && std::abs(x - lastTouch.x) <= 5 && std::abs(y - lastTouch.y) <= 5)
        std::this_thread::sleep_until(lastTouch.when + std::chrono::milliseconds(35));
    const jlong before = canvas->inputEntries;
    const bool handled = HAL_handleInputMessage(message, 0, where);
    lastTouch = LastTouch{message, x, y, std::chrono::steady_clock::now()};
    if (handled) {
        EXPECT_TRUE(delivered(before)) << "touch " << x << "," << y;
    }
}

void Harness::touchDown(int x, int y) { touch(ce::WM_LBUTTONDOWN, x, y); }

void Harness::touchUp(int x, int y) { touch(ce::WM_LBUTTONUP, x, y); }

void Harness::tap(int x, int y) {
    touchDown(x, y);
    touchUp(x, y);
}

Picture Harness::frame() {
    VMPtr<javax::microedition::lcdui::Image> image =
        javax::microedition::lcdui::Image::createImage(canvas->getWidth(), canvas->getHeight());
    canvas->paint(image->getGraphics());
    return pictureOf(image);
}

}  // namespace playharness

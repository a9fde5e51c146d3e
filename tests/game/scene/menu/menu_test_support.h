// Test support for the logo and menu scenes: the in-game scene's fixture
// with the game's menu art (packs 1 to 3) and fonts (pack 19), a sound
// system that logs its calls, a canvas that notes the events posted to it,
// and a helper that queues touches and runs scene frames.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "../ingame/scene_test_support.h"
#include "com_ventrix_ui_Scene.h"
#include "com_ventrix_utility_MyKey.h"
#include "ts_MediaManager.h"

namespace menutest {

using ingamescene::gameFiles;

using Log = std::vector<std::string>;

class RecordingMedia : public virtual java::lang::Object, public virtual ts::MediaManager {
    VM_DECLARE_CLASS(RecordingMedia, java::lang::Object)

public:
    Log log;

    void note(const std::string& call, std::initializer_list<jint> args);
    void init(VMPtr<ts::TsCanvas>, jint capacity) override { note("init", {capacity}); }
    void playSound(jint sound, jint resourceId, jint loopCount, jint priority) override {
        note("playSound", {sound, resourceId, loopCount, priority});
    }
    void playOnChannel(jint channel, jint sound) override { note("playOnChannel", {channel, sound}); }
    void stopSound(jint sound) override { note("stopSound", {sound}); }
    void stopChannel(jint channel) override { note("stopChannel", {channel}); }
    jint getChannelCount() override { return 3; }
    void close() override { note("close", {}); }
};

// Notes the events posted to it instead of acting on them, and reports a
// frame time of any length.
class EventCanvas : public scenetest::StoppedCanvas {
    VM_DECLARE_CLASS(EventCanvas, scenetest::StoppedCanvas)

public:
    std::vector<jint> posted;
    jint frameMs = 40;

    void postEvent(jint event) override { posted.push_back(event); }
    jint getFrameTime() override { return frameMs; }
};

using scenetest::ScriptKey;

class MenuFixture : public ingamescene::SceneFixture {
protected:
    MenuFixture();
    void SetUp() override;
    void TearDown() override;

    // One frame of a scene: the scene's update, then the touch input's poll,
    // as the scene manager runs them.
    void tick(com::ventrix::ui::Scene* scene);
    // Loads a scene stage by stage (as behind the loading page) and
    // answers the number of frames it took.
    int load(com::ventrix::ui::Scene* scene);
    // A touch at (x, y) pressed and released before the next frame.
    void tap(jint x, jint y);
    void press(jint x, jint y);
    void release(jint x, jint y);
    // The scene painted over a dark grey screen.
    Picture picture(com::ventrix::ui::Scene* scene);

    // Hands the scene a canvas of its own (an EventCanvas).
    VMPtr<EventCanvas> eventCanvas(com::ventrix::ui::Scene* scene);

    RecordingMedia* media = nullptr;
};

}  // namespace menutest

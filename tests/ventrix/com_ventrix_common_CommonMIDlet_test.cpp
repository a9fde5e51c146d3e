// The application's life cycle through CommonMIDlet, CommonCanvas and Main:
// the first start, frames, pause and resume, a second start, the exit; and a
// whole program run that ends with exit code 0.
#include <filesystem>
#include <fstream>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyKey.h"
#include "javax_microedition_lcdui_Image.h"
#include "vessilo_test_ScriptMIDlet.h"
#include "ventrix_test_support.h"

using com::ventrix::common::CommonCanvas;
using com::ventrix::common::Main;
using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyKey;
using javax::microedition::lcdui::Display;
using ventrixtest::RecordingMediaManager;
using ventrixtest::RecordingSceneManager;
using ventrixtest::TestMIDlet;

namespace {

class CommonMIDletTest : public ventrixtest::WindowTest {};

bool has(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

}  // namespace

TEST_F(CommonMIDletTest, TheApplicationStartsRunsPausesResumesAndExits) {
    VMPtr<TestMIDlet> midlet = TestMIDlet::create()->construct();
    midlet->startApp();
    // Canvas and Main (with its level loader, random numbers and cache) came
    // before the scene manager, and the canvas was shown after it.
    EXPECT_EQ(midlet->builtBefore, "canvas=1 main=1 loader=1 random=1 cache=1 shown=0");
    VMPtr<CommonCanvas> canvas(static_cast<CommonCanvas*>(midlet->canvas.get()));
    EXPECT_EQ(Display::getDisplay(midlet)->getCurrent().get(),
              static_cast<javax::microedition::lcdui::Displayable*>(canvas.get()));
    VMPtr<RecordingSceneManager> sm(static_cast<RecordingSceneManager*>(Main::sceneManager.get()));
    ASSERT_NE(sm, nullptr);

    ASSERT_TRUE(vmWaitFor([&] { return sm->updates >= 3; }));
    EXPECT_EQ(canvas->getFrameTime(), 40);
    EXPECT_EQ(canvas->keys.get(), MyKey::getInstance().get());
    EXPECT_EQ(MyKey::getInstance()->canvas.get(), static_cast<ts::TsCanvas*>(canvas.get()));
    // The first tick only initialises (entering the recorded scene 0).
    EXPECT_EQ(sm->summary(), "changeScene 0, init, changeScene 0, update...");
    EXPECT_EQ(sm->previousSceneId, -1);
    EXPECT_GE(sm->paints, 2);

    // Hidden: the pause, then no frames.
    midlet->pauseApp();
    ASSERT_TRUE(vmWaitFor([&] { return has(sm->calls, "pause"); }));
    const int pausedPaints = sm->paints;
    const size_t pausedCalls = sm->calls.size();
    VMThread::sleep(VMThread::current(), 100);
    EXPECT_EQ(sm->calls.size(), pausedCalls);

    // A second start only shows the canvas again. Frames come at once; the
    // resume (then the after-resume) only after a while, and until then the
    // paused controller paints without ticking.
    VMPtr<Main> controller = Main::getInstance();
    midlet->startApp();
    EXPECT_EQ(midlet->sceneManagersMade, 1);
    EXPECT_EQ(midlet->canvas.get(), static_cast<ts::TsCanvas*>(canvas.get()));
    EXPECT_EQ(Main::getInstance().get(), controller.get());
    int paintsAtResume = -1;
    ASSERT_TRUE(vmWaitFor([&] {
        if (paintsAtResume < 0 && has(sm->calls, "resume")) paintsAtResume = sm->paints;
        auto after = std::find(sm->calls.begin(), sm->calls.end(), "afterResume");
        return after != sm->calls.end() && sm->calls.end() - after >= 3;
    }));
    EXPECT_GT(paintsAtResume, pausedPaints + 5);
    EXPECT_EQ(sm->summary(),
              "changeScene 0, init, changeScene 0, update..., pause, resume, afterResume, update...");

    // The exit: the sound goes, Main's statics are dropped (twice: directly
    // and through the exit event), the loop ends.
    VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
    VMPtr<RecordingMediaManager> media = RecordingMediaManager::create()->construct();
    audio->mediaManager = media;
    audio->musicLoaded = true;
    midlet->destroyApp(true);
    EXPECT_EQ(media->calls, std::vector<std::string>{"close"});
    EXPECT_EQ(audio->mediaManager, nullptr);
    EXPECT_FALSE(audio->musicLoaded);
    EXPECT_EQ(std::count(sm->calls.begin(), sm->calls.end(), "destroy"), 1);
    EXPECT_EQ(sm->calls.back(), "destroy");
    EXPECT_EQ(midlet->main, nullptr);
    EXPECT_EQ(Main::canvas, nullptr);
    EXPECT_EQ(Main::sceneManager, nullptr);
    EXPECT_EQ(Main::random, nullptr);
    EXPECT_EQ(Main::resManager, nullptr);
    EXPECT_NE(Main::levelLoader, nullptr);
    EXPECT_EQ(Main::getInstance().get(), controller.get());
    EXPECT_TRUE(canvas->exiting);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    EXPECT_EQ(midlet->state, javax::microedition::midlet::MIDlet::DESTROYED);

    // After the exit event tick and paint reach nothing, even with a scene
    // manager set again.
    Main::sceneManager = sm;
    const size_t calls = sm->calls.size();
    const int paints = sm->paints;
    canvas->tick();
    canvas->paintGame(javax::microedition::lcdui::Image::createImage(4, 4)->getGraphics());
    EXPECT_EQ(sm->calls.size(), calls);
    EXPECT_EQ(sm->paints, paints);
    Main::sceneManager = nullptr;
}

TEST_F(CommonMIDletTest, EventsOutsideTheTableReachOnlyTheFramework) {
    VMPtr<TestMIDlet> midlet = TestMIDlet::create()->construct();
    VMPtr<CommonCanvas> canvas = CommonCanvas::create()->construct(midlet);
    midlet->canvas = canvas;
    VMPtr<Main> controller = Main::create()->construct(canvas);
    VMPtr<RecordingSceneManager> sm = RecordingSceneManager::create()->construct();
    controller->setSceneManager(sm);
    for (jint event : {4, 6, -1, 99}) canvas->postEvent(event);
    EXPECT_TRUE(sm->calls.empty());
    EXPECT_FALSE(canvas->exiting);
    EXPECT_TRUE(canvas->thread->isAlive());
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    EXPECT_EQ(sm->calls, std::vector<std::string>{"destroy"});
}

// --- a whole program run -------------------------------------------------------

namespace ventrixrun {

// The scene manager closes the window a few frames in.
class ClosingSceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(ClosingSceneManager, com::ventrix::utility::SceneManager)

public:
    int updates = 0;
    VMPtr<ClosingSceneManager> construct() {
        Super::construct();
        instance = this;
        return this;
    }
    void init() override {
        vessilo::test::logLine("init");
        Super::init();
    }
    void update() override {
        if (++updates == 1) vessilo::test::logLine("update");
        if (updates == 5) ce::test::InjectClose();
    }
    void destroy() override {
        vessilo::test::logLine("destroy");
        Super::destroy();
    }
};

class RunMIDlet : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(RunMIDlet, com::ventrix::common::CommonMIDlet)

public:
    VMPtr<RunMIDlet> construct() {
        Super::construct();
        return this;
    }
    void createSceneManager() override {
        VMPtr<ClosingSceneManager> sm = ClosingSceneManager::create()->construct();
        VMPtr<Main> controller = main;
        controller->setSceneManager(sm);
        sm->changeScene(0);
    }
    void destroyApp(jboolean unconditional) override {
        vessilo::test::logLine("destroyApp");
        Super::destroyApp(unconditional);
        vessilo::test::logLine("loop " + std::string(canvas->loopStopped ? "stopped" : "running"));
    }
};

}  // namespace ventrixrun

VM_REGISTER_CLASS(ventrixrun::ClosingSceneManager, .name = "ventrixrun.ClosingSceneManager",
                  .sourceName = "tests/ventrix/com_ventrix_common_CommonMIDlet_test")
VM_REGISTER_CLASS(ventrixrun::RunMIDlet, .name = "ventrixrun.RunMIDlet",
                  .sourceName = "tests/ventrix/com_ventrix_common_CommonMIDlet_test",
                  .newInstance = _VM_newInstanceOf<ventrixrun::RunMIDlet>)

TEST(CommonMIDletRun, AClosedWindowDestroysTheApplicationAndTheProgramExitsWith0) {
    TestRuntimeFolder runtime;
    std::string pattern = ::testing::TempDir() + "vessilo_ventrixrun_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::string folder = pattern + "/";
    std::filesystem::create_directories(folder + "properties");
    std::ofstream(folder + "properties/app.prop")
        << "MIDlet-Name: Skeleton Run\nMIDlet-1: Skeleton, /i.png, ventrixrun.RunMIDlet\n";
    const int exitCode = runHostChild(folder, {"XDG_RUNTIME_DIR=" + runtime.path()});
    EXPECT_EQ(exitCode, 0) << readFile(folder + "stderr.txt");
    EXPECT_EQ(readFile(folder + "midlet.log"), "init\nupdate\ndestroyApp\ndestroy\nloop stopped\n");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

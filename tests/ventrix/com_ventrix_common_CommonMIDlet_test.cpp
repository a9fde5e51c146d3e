// The application's life cycle through CommonMIDlet, CommonCanvas and Main,
// in process and as a whole program run.
#include <filesystem>
#include <fstream>

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyKey.h"
#include "java_lang_IllegalStateException.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_MediaManagerImpl.h"
#include "vessilo_test_ScriptMIDlet.h"
#include "ventrix_test_support.h"

using com::ventrix::common::CommonCanvas;
using com::ventrix::common::Main;
using com::ventrix::utility::AudioAndVibration;
using ventrixtest::RecordingSceneManager;

namespace {

class CommonMIDletTest : public ventrixtest::WindowTest {};

bool has(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

}  // namespace

TEST_F(CommonMIDletTest, TheApplicationStartsRunsPausesResumesAndExits) {
    VMPtr<ventrixtest::TestMIDlet> midlet = ventrixtest::TestMIDlet::create()->construct();
    midlet->startApp();
    EXPECT_EQ(midlet->builtBefore, "canvas main loader random cache");  // not shown yet
    VMPtr<CommonCanvas> canvas(static_cast<CommonCanvas*>(midlet->canvas.get()));
    EXPECT_TRUE(canvas->isShown());
    VMPtr<RecordingSceneManager> sm(static_cast<RecordingSceneManager*>(Main::sceneManager.get()));
    ASSERT_TRUE(vmWaitFor([&] { return sm->updates >= 3; }));
    EXPECT_EQ(canvas->getFrameTime(), 40);
    EXPECT_EQ(canvas->keys.get(), com::ventrix::utility::MyKey::getInstance().get());
    // The first tick only initialises (entering the scene recorded before).
    EXPECT_EQ(sm->calls, (std::vector<std::string>{"changeScene 0", "init", "changeScene 0", "update..."}));
    EXPECT_EQ(sm->previousSceneId, -1);

    // Hidden: the pause. Shown again by a second start, which builds
    // nothing: frames at once, but ticks only after the resume.
    midlet->pauseApp();
    ASSERT_TRUE(vmWaitFor([&] { return has(sm->calls, "pause"); }));
    const int pausedPaints = sm->paints;
    VMPtr<Main> controller = Main::getInstance();
    midlet->startApp();
    EXPECT_EQ(midlet->sceneManagersMade, 1);
    EXPECT_EQ(Main::getInstance().get(), controller.get());
    int paintsAtResume = -1;
    ASSERT_TRUE(vmWaitFor([&] {
        if (paintsAtResume < 0 && has(sm->calls, "resume")) paintsAtResume = sm->paints;
        return sm->calls.back() == "update...";
    }));
    EXPECT_GT(paintsAtResume, pausedPaints + 5);
    EXPECT_EQ(sm->calls, (std::vector<std::string>{"changeScene 0", "init", "changeScene 0", "update...", "pause",
                                                   "resume", "afterResume", "update..."}));

    // The exit: the sound goes, Main's statics are dropped twice (directly
    // and through the exit event), the loop ends.
    VMPtr<AudioAndVibration> audio = AudioAndVibration::getInstance();
    VMPtr<ts::MediaManagerImpl> media = ts::MediaManagerImpl::create()->construct();
    audio->mediaManager = media;
    midlet->destroyApp(true);
    EXPECT_TRUE(media->closed);
    EXPECT_EQ(audio->mediaManager, nullptr);
    EXPECT_EQ(sm->calls.back(), "destroy");
    EXPECT_EQ(std::count(sm->calls.begin(), sm->calls.end(), "destroy"), 1);
    EXPECT_EQ(midlet->main, nullptr);
    EXPECT_TRUE(Main::canvas == nullptr && Main::sceneManager == nullptr && Main::random == nullptr &&
                Main::resManager == nullptr);
    EXPECT_NE(Main::levelLoader, nullptr);
    ASSERT_TRUE(vmWaitFor([&] { return !canvas->thread->isAlive(); }));
    EXPECT_EQ(midlet->state, javax::microedition::midlet::MIDlet::DESTROYED);

    // Later ticks and paints reach nothing, even with a scene manager set.
    Main::sceneManager = sm;
    const size_t calls = sm->calls.size();
    const int paints = sm->paints;
    canvas->tick();
    canvas->paintGame(javax::microedition::lcdui::Image::createImage(4, 4)->getGraphics());
    EXPECT_EQ(sm->calls.size(), calls);
    EXPECT_EQ(sm->paints, paints);
    Main::sceneManager = nullptr;
}

namespace ventrixrun {

// Logs to the program folder and closes the window a few frames in.
class ClosingSceneManager : public com::ventrix::utility::SceneManager {
    VM_DECLARE_CLASS(ClosingSceneManager, com::ventrix::utility::SceneManager)

public:
    int updates = 0;
    void init() override { vessilo::test::logLine("init"); }
    void update() override {
        if (++updates == 5) ce::test::InjectClose();
    }
    void destroy() override { vessilo::test::logLine("destroy"); }
    void setupFonts() override {}
    void setupLoadingPage() override {}
    void createGameSave() override {}
    void createScene() override {}
};

class RunMIDlet : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(RunMIDlet, com::ventrix::common::CommonMIDlet)

public:
    void createSceneManager() override {
        VMPtr<ClosingSceneManager> sm = ClosingSceneManager::create();
        sm->construct();
        VMPtr<Main> controller = main;
        controller->setSceneManager(sm);
    }
    void destroyApp(jboolean unconditional) override {
        vessilo::test::logLine("destroyApp");
        Super::destroyApp(unconditional);
        vessilo::test::logLine(canvas->loopStopped ? "loop stopped" : "loop running");
    }
};

}  // namespace ventrixrun

VM_REGISTER_CLASS(ventrixrun::ClosingSceneManager, .name = "ventrixrun.ClosingSceneManager")
VM_REGISTER_CLASS(ventrixrun::RunMIDlet, .name = "ventrixrun.RunMIDlet",
                  .newInstance = _VM_newInstanceOf<ventrixrun::RunMIDlet>)

TEST(CommonMIDletRun, AClosedWindowDestroysTheApplicationAndTheProgramExitsWith0) {
    TestRuntimeFolder runtime;
    std::string folder = ::testing::TempDir() + "vessilo_ventrixrun_XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    folder += "/";
    std::filesystem::create_directories(folder + "properties");
    std::ofstream(folder + "properties/app.prop")
        << "MIDlet-Name: Skeleton\nMIDlet-1: S, /i.png, ventrixrun.RunMIDlet\n";
    EXPECT_EQ(runHostChild(folder, {"XDG_RUNTIME_DIR=" + runtime.path()}), 0) << readFile(folder + "stderr.txt");
    EXPECT_EQ(readFile(folder + "midlet.log"), "init\ndestroyApp\ndestroy\nloop stopped\n");
    std::filesystem::remove_all(folder);
}

namespace ventrixfail {

// Saves a record in its second frame and throws out of its fourth.
class FailingSceneManager : public ventrixrun::ClosingSceneManager {
    VM_DECLARE_CLASS(FailingSceneManager, ventrixrun::ClosingSceneManager)

public:
    void update() override {
        if (++updates == 2) {
            VMPtr<VMBytes> data = VMBytes::create(3);
            for (jint i = 0; i < 3; ++i) (*data)[i] = jbyte(7 + i);
            VMPtr<ts::TsCanvas> c = Main::canvas;
            vessilo::test::logLine(c->saveRecordStore(1, data) ? "saved" : "not saved");
        }
        if (updates == 4) _VM_throw(java::lang::IllegalStateException::create()->construct(VM_STR("scene broke")));
    }
};

class FailingMIDlet : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(FailingMIDlet, com::ventrix::common::CommonMIDlet)

public:
    void createSceneManager() override {
        VMPtr<FailingSceneManager> sm = FailingSceneManager::create();
        sm->construct();
        VMPtr<Main> controller = main;
        controller->setSceneManager(sm);
    }
};

}  // namespace ventrixfail

VM_REGISTER_CLASS(ventrixfail::FailingSceneManager, .name = "ventrixfail.FailingSceneManager")
VM_REGISTER_CLASS(ventrixfail::FailingMIDlet, .name = "ventrixfail.FailingMIDlet",
                  .newInstance = _VM_newInstanceOf<ventrixfail::FailingMIDlet>)

// A throwable out of a frame is reported as the end of the loop's thread; the
// game does not sit frozen then: it ends in order (the exit event releases the
// scene manager, the application manager destroys the window), the saved
// record is there whole, and the program's status is 1.
TEST(CommonMIDletRun, AThrowableOutOfAFrameEndsTheProgramInOrderWithStatus1) {
    TestRuntimeFolder runtime;
    std::string folder = ::testing::TempDir() + "vessilo_ventrixfail_XXXXXX";
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    folder += "/";
    std::filesystem::create_directories(folder + "properties");
    std::ofstream(folder + "properties/app.prop")
        << "MIDlet-Name: Failing\nMIDlet-1: F, /i.png, ventrixfail.FailingMIDlet\n";
    EXPECT_EQ(runHostChild(folder, {"XDG_RUNTIME_DIR=" + runtime.path()}), 1) << readFile(folder + "stderr.txt");
    EXPECT_EQ(readFile(folder + "midlet.log"), "init\nsaved\ndestroy\n");
    const std::string out = readFile(folder + "stdout.txt");
    const std::string report = " java.lang.IllegalStateException: scene broke\n    at <unknown>\n";
    EXPECT_EQ(out.rfind("Exception in thread \"", 0), 0u) << out;
    EXPECT_NE(out.find(report), std::string::npos) << out;
    EXPECT_EQ(readFile(folder + "database/store-1/record-1.bin"), std::string("\x07\x08\x09", 3));
    std::filesystem::remove_all(folder);
}

// Scenes: staged and immediate loading, paint order around the scene's own
// drawing, the object table's growth and trimming, the per-frame pass, the
// scene manager's scene parts, and a whole application behind the loading
// page.
#include <algorithm>

#include "scenes_test_support.h"
#include "ts_Resources.h"
#include "vm_test.h"

using com::ventrix::common::Main;
using com::ventrix::ui::LoadingPage;
using com::ventrix::ui::Scene;
using com::ventrix::utility::MyObject;
using com::ventrix::utility::SceneManager;
using scenetest::LogObject;
using scenetest::LogScene;

namespace {

using Log = std::vector<std::string>;

class SceneBaseTest : public scenetest::SceneTest {
protected:
    VMPtr<LogScene> scene() { return LogScene::create()->construct(); }
    static std::vector<jint> order(const VMPtr<LogScene>& s) {
        VMPtr<VMInts> o = s->paintOrder;
        return std::vector<jint>(o->elements(), o->elements() + o->length);
    }
    // As if the load had decoded a picture that is kept for reuse.
    static void keepADecodedPicture() {
        _VM_ensureInitialized(ts::Resources::_VM_classRecord);
        ts::Resources::decodedImages =
            VMArray<javax::microedition::lcdui::Image, 1>::create(ts::Resources::DECODED_KEPT);
    }
};

}  // namespace

TEST_F(SceneBaseTest, StagedLoadingTakesOneFramePerStageAndStageThreeFinishes) {
    struct Case {
        int stage1Busy;
        int loadFrames;
        Log calls;
    };
    for (const Case& c :
         {Case{0, 4, {"stage0", "stage1", "stage2"}}, Case{2, 6, {"stage0", "stage1", "stage1", "stage1", "stage2"}}}) {
        SCOPED_TRACE(c.loadFrames);
        VMPtr<LogScene> s = scene();
        s->busyCalls[1] = c.stage1Busy;
        VMPtr<LoadingPage> page = LoadingPage::getInstance();
        page->begin(5);
        s->startLoading(1);
        EXPECT_EQ(page->style, 1);
        s->init();  // the scene manager does not call it, but it must not load
        EXPECT_TRUE(s->log.empty());
        s->add("a", 10);
        keepADecodedPicture();
        int frames = 0;
        while (s->loading && frames < 20) {
            s->update();
            ++frames;
            if (!s->loading) break;
            VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
            s->paint(g);
            EXPECT_EQ(g->log, (Log{"clip 0 0 480 640"}));  // nothing but the clip while loading
        }
        EXPECT_EQ(frames, c.loadFrames);
        EXPECT_EQ(s->log, c.calls);
        EXPECT_EQ(s->loadStage, 4);
        EXPECT_GT(page->getProgress(), page->total);  // finished
        EXPECT_EQ(s->objects->length, 1);             // trimmed
        EXPECT_EQ(ts::Resources::decodedImages.get(), nullptr);  // let go at the load's end
        s->log.clear();
        s->update();  // the first normal tick
        EXPECT_EQ(s->log, (Log{"a.update"}));
        EXPECT_EQ(s->frameTime, 40);
        EXPECT_EQ(s->elapsed, 40);
    }
}

TEST_F(SceneBaseTest, ImmediateLoadingRunsEveryStageUntilItIsDoneThenSortsAndTrims) {
    VMPtr<LogScene> s = scene();
    s->busyCalls[0] = 1;
    s->busyCalls[2] = 2;
    s->startLoading(-1);
    s->add("high", 60);
    s->add("low", 10);
    keepADecodedPicture();
    s->init();
    EXPECT_EQ(ts::Resources::decodedImages.get(), nullptr);
    EXPECT_EQ(s->log, (Log{"stage0", "stage0", "stage1", "stage2", "stage2", "stage2"}));
    EXPECT_FALSE(s->loading);
    EXPECT_EQ(order(s), (std::vector<jint>{1, 0}));
    EXPECT_EQ(s->capacity, 2);
}

TEST_F(SceneBaseTest, TheScenesOwnDrawingLiesBetweenLayersBelowAndFromForty) {
    struct Case {
        std::vector<jint> layers;  // -1: an empty slot; a layer + 1000: disabled
        Log painted;
    };
    const Case cases[] = {
        {{10, 20, 50}, {"o0.paint", "o1.paint", "scene", "o2.paint"}},
        {{50, 60}, {"scene", "o0.paint", "o1.paint"}},
        {{40, 60}, {"scene", "o0.paint", "o1.paint"}},
        {{}, {"scene"}},
        {{10, 20}, {"o0.paint", "o1.paint", "scene"}},
        {{50, 10, 45, 10}, {"o1.paint", "o3.paint", "scene", "o2.paint", "o0.paint"}},  // stable within a layer
        {{1010, 50}, {"scene", "o1.paint"}},  // a disabled object still places the scene
        {{1050}, {"scene"}},
        {{50, -1, 10}, {"o2.paint", "scene", "o0.paint"}},  // an empty slot sorts last
        {{10, -1, -1}, {"o0.paint", "scene"}},
    };
    for (const Case& c : cases) {
        VMPtr<LogScene> s = scene();
        std::vector<VMPtr<LogObject>> made;
        for (size_t i = 0; i < c.layers.size(); ++i) {
            const jint layer = c.layers[i] < 0 ? 0 : c.layers[i] % 1000;
            made.push_back(s->add("o" + std::to_string(i), layer));
            made.back()->setVisible(c.layers[i] < 1000);
        }
        for (size_t i = 0; i < c.layers.size(); ++i) {
            if (c.layers[i] < 0) s->objects->set(jint(i), nullptr);
        }
        s->sortPaintOrder();
        s->paint(scenetest::logGraphics());
        EXPECT_EQ(s->log, c.painted) << ::testing::PrintToString(c.layers);
    }
}

TEST_F(SceneBaseTest, TheTableGrowsBy10Then5AndTrimsAfterTheHighestObject) {
    VMPtr<LogScene> s = scene();
    std::vector<VMPtr<LogObject>> made;
    for (int i = 0; i < 31; ++i) {
        made.push_back(s->add("o", i));
        EXPECT_EQ(made.back()->getId(), i);
        if (i == 20) {
            EXPECT_EQ(s->objects->length, 30);
        }
    }
    EXPECT_EQ(s->objects->length, 35);
    EXPECT_EQ(s->capacity, 35);
    EXPECT_EQ(s->paintOrder->length, 35);

    // Slots 0, 1 and 5 after loading: a table of 6; removing slot 5 leaves 2.
    VMPtr<LogScene> t = scene();
    for (int i = 0; i < 6; ++i) t->add("o" + std::to_string(i), 60 - i);
    for (jint id : {2, 3, 4}) t->removeObject(id);
    t->startLoading(-1);
    t->init();
    EXPECT_EQ(t->objects->length, 6);
    EXPECT_EQ(order(t), (std::vector<jint>{5, 1, 0, 2, 3, 4}));
    t->log.clear();
    t->removeObject(5);
    EXPECT_EQ(t->log, (Log{"o5.release"}));
    EXPECT_EQ(t->objects->length, 2);
    EXPECT_EQ(order(t), (std::vector<jint>{5, 1}));  // kept until the next sort
    t->log.clear();
    t->paint(scenetest::logGraphics());  // entry 5 leads nowhere
    EXPECT_EQ(t->log, (Log{"scene", "o1.paint"}));
    t->sortPaintOrder();
    EXPECT_EQ(order(t), (std::vector<jint>{1, 0}));
    // The freed slot is taken first; ids outside the table are ignored.
    t->removeObject(-1);
    t->removeObject(9);
    EXPECT_EQ(t->add("new", 1)->getId(), 2);
}

TEST_F(SceneBaseTest, AddingManyAtOnceLeavesTheTableAsSingleAddsDo) {
    // Start: objects added, slots then freed, trimmed or not; then `more` added.
    struct Case {
        int before;
        std::vector<jint> freed;
        bool trimmed;
        int more;
    };
    const Case cases[] = {
        {0, {}, false, 0},      {0, {}, false, 1},   {0, {}, false, 20},    {0, {}, false, 21},
        {0, {}, false, 4000},   {19, {}, false, 12}, {31, {}, false, 5},    {31, {3, 30}, false, 2},
        {31, {3, 30}, false, 9}, {6, {2, 4}, true, 7}, {0, {}, true, 3},    {40, {0, 39}, true, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " then " << c.more);
        VMPtr<LogScene> one = scene(), many = scene();
        std::vector<VMPtr<LogObject>> kept;
        for (LogScene* s : {one.get(), many.get()}) {
            for (int i = 0; i < c.before; ++i) kept.push_back(s->add("o", i));
            for (jint id : c.freed) s->removeObject(id);
            if (c.trimmed) s->trimObjects();
        }
        std::vector<com::ventrix::utility::MyObject*> list;
        for (int i = 0; i < c.more; ++i) {
            kept.push_back(one->add("n", i));
            kept.push_back(LogObject::create()->construct("n", i, &many->log));
            list.push_back(kept.back().get());
        }
        many->addObjects(list.data(), jint(list.size()));
        ASSERT_EQ(many->objects->length, one->objects->length);
        EXPECT_EQ(many->capacity, one->capacity);
        EXPECT_EQ(many->growBy, one->growBy);
        EXPECT_EQ(many->paintOrder->length, one->paintOrder->length);
        for (jint i = 0; i < one->objects->length; ++i) {
            EXPECT_EQ(one->objects->get(i) == nullptr, many->objects->get(i) == nullptr) << i;
            if (many->objects->get(i) != nullptr) {
                EXPECT_EQ(many->objects->get(i)->getId(), i);
            }
        }
        for (size_t k = 0; k + 1 < list.size(); ++k) EXPECT_LT(list[k]->getId(), list[k + 1]->getId());
    }
    // A null among them is refused before any is placed.
    VMPtr<LogScene> s = scene();
    VMPtr<LogObject> a = LogObject::create()->construct("a", 0, &s->log);
    com::ventrix::utility::MyObject* withNull[] = {a.get(), nullptr};
    EXPECT_EQ(VM_THROWN_CLASS(s->addObjects(withNull, 2)), "java.lang.NullPointerException");
    EXPECT_EQ(s->objects->get(0), nullptr);
}

TEST_F(SceneBaseTest, ThePerFramePassUpdatesVisibleObjectsWithZerosAndGivesInputToActiveOnes) {
    VMPtr<LogScene> s = scene();
    s->startLoading(-1);
    s->init();
    VMPtr<LogObject> a = s->add("a", 0);
    VMPtr<LogObject> b = s->add("b", 0);
    VMPtr<LogObject> c = s->add("c", 0);
    b->setVisible(false);
    b->setActive(true);
    c->setActive(true);
    c->setSuspended(true);  // suspension is the object's own business
    s->log.clear();
    s->update();
    EXPECT_EQ(s->log, (Log{"a.update", "b.input", "c.update", "c.input"}));
    EXPECT_EQ(a->updateArgs, (std::vector<std::pair<jint, jint>>{{0, 0}}));
    _VM_ensureInitialized(MyObject::_VM_classRecord);
    EXPECT_EQ(MyObject::frameTime, 40);

    // An object added during the pass at a higher index is visited in it.
    VMPtr<LogScene> t = scene();
    for (int i = 0; i < 20; ++i) t->add("o", 0);
    VMPtr<LogObject> late = LogObject::create()->construct("late", 0, &t->log);
    t->objects->get(19)->setVisible(false);
    t->log.clear();
    t->updateObjects();
    EXPECT_EQ(t->log.size(), 19u);
    t->addObject(late);
    EXPECT_EQ(t->objects->length, 30);
    t->log.clear();
    t->updateObjects();
    EXPECT_EQ(t->log.back(), "late.update");
}

namespace scenetest {

// Enters a LogScene behind the loading page on every change after init;
// the scene announces three steps and each stage loader takes one.
class StagedManager : public SceneManager {
    VM_DECLARE_CLASS(StagedManager, SceneManager)

public:
    VMPtr<StagedManager> construct() {
        Super::construct();
        instance = this;
        return this;
    }
    void setupFonts() override {}
    void setupLoadingPage() override {}
    void createGameSave() override {}
    void createScene() override {
        VMPtr<LogScene> s = LogScene::create()->construct();
        VMPtr<com::ventrix::ui::LoadingPage> page = loadingPage;
        page->begin(3);
        s->startLoading(0);
        scene = s;
    }
};

class StagedMIDlet : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(StagedMIDlet, com::ventrix::common::CommonMIDlet)

public:
    VMPtr<StagedMIDlet> construct() {
        Super::construct();
        return this;
    }
    void createSceneManager() override {
        VMPtr<StagedManager> sm = StagedManager::create()->construct();
        VMPtr<Main> controller = main;
        controller->setSceneManager(sm);
        sm->changeScene(0);
    }
};

}  // namespace scenetest

VM_REGISTER_CLASS(scenetest::StagedManager, .name = "scenetest.StagedManager")
VM_REGISTER_CLASS(scenetest::StagedMIDlet, .name = "scenetest.StagedMIDlet")

namespace {

class SceneApplicationTest : public ventrixtest::WindowTest {};

}  // namespace

TEST_F(SceneApplicationTest, AnEmptySceneLoadsBehindTheLoadingPageInFourFramesThenTicksAndPaints) {
    VMPtr<scenetest::StagedMIDlet> midlet = scenetest::StagedMIDlet::create()->construct();
    midlet->startApp();
    VMPtr<SceneManager> sm = Main::sceneManager;
    ASSERT_TRUE(vmWaitFor([&] {
        LogScene* s = static_cast<LogScene*>(sm->scene.get());
        return s != nullptr && std::count(s->log.begin(), s->log.end(), "scene") >= 5;
    }));
    VMPtr<LogScene> s(static_cast<LogScene*>(sm->scene.get()));
    // Loading: one stage a frame, and nothing painted by the scene until
    // stage 3 has run.
    EXPECT_EQ((Log(s->log.begin(), s->log.begin() + 4)), (Log{"stage0", "stage1", "stage2", "scene"}));
    EXPECT_FALSE(s->loading);
    EXPECT_EQ(s->loadStage, 4);
    VMPtr<LoadingPage> page = sm->loadingPage;
    EXPECT_EQ(page.get(), LoadingPage::getInstance().get());
    EXPECT_EQ(page->getProgress(), 4);
    EXPECT_GT(s->elapsed, 0);
    midlet->destroyApp(true);
    EXPECT_EQ(Main::sceneManager, nullptr);
    EXPECT_EQ(sm->scene, nullptr);  // disposed with the scene manager
    com::ventrix::ui::LoadingPage::instance = nullptr;
}

TEST_F(SceneBaseTest, TheSceneManagerPaintsTheLoadingPageThenTheSceneAndPassesThePause) {
    VMPtr<scenetest::StagedManager> sm = scenetest::StagedManager::create()->construct();
    sm->changeScene(3);  // before init: recorded only
    EXPECT_EQ(sm->scene, nullptr);
    sm->init();
    VMPtr<LogScene> s(static_cast<LogScene*>(sm->scene.get()));
    ASSERT_NE(s, nullptr);
    VMPtr<scenetest::LogGraphics> g = scenetest::logGraphics();
    VMPtr<LoadingPage> page = sm->loadingPage;
    page->setStyleSwitches(0, false, true, false, false, false);
    sm->paint(g);  // the page's fill, then the scene's clip
    EXPECT_EQ(g->log, (Log{"clip 0 0 480 640", "fill 0 0 480 640 #000000", "clip 0 0 480 640"}));
    for (int i = 0; i < 4; ++i) sm->update();
    sm->update();
    EXPECT_EQ(s->log, (Log{"stage0", "stage1", "stage2"}));
    sm->pause();
    sm->destroy();
    EXPECT_EQ(sm->scene, nullptr);
    SceneManager::instance = nullptr;
}

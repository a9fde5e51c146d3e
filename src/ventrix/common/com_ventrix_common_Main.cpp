// com.ventrix.common.Main: the controller between the game canvas and the scene manager.
#include "com_ventrix_common_Main.h"

#include "java_lang_ClassCastException.h"
#include "java_lang_Integer.h"
#include "java_lang_System.h"

namespace com::ventrix::common {

using javax::microedition::lcdui::Graphics;
using utility::SceneManager;

VMStatic<Main> Main::instance;
VMStatic<ts::TsCanvas> Main::canvas;
VMStatic<SceneManager> Main::sceneManager;
VMStatic<Game> Main::game;
VMStatic<LevelReceiver> Main::levelLoader;
VMStatic<utility::ResManager> Main::resManager;
VMStatic<ts::util::FastRandom> Main::random;
jint Main::offsetX = 0;
jint Main::offsetY = 0;
jboolean Main::offsetDirty = false;

void Main::_VM_clinit() { instance = nullptr; }

namespace {

VMPtr<LevelReceiver> makeLevelLoader() {
    VMPtr<java::lang::Object> made = java::lang::Class::forName(VM_STR(Main::LEVEL_LOADER_CLASS))->newInstance();
    auto* receiver = dynamic_cast<LevelReceiver*>(made.get());
    if (receiver == nullptr) _VM_throw(java::lang::ClassCastException::create()->construct());
    return receiver;
}

}  // namespace

VMPtr<Main> Main::construct(VMPtr<ts::TsCanvas> gameCanvas) {
    Super::construct();
    canvas = gameCanvas;
    // The level loader takes the canvas from here.
    levelLoader = makeLevelLoader();
    random = ts::util::FastRandom::create()->construct(java::lang::System::currentTimeMillis());
    resManager = utility::ResManager::create()->construct();
    instance = this;
    paused = false;
    offsetDirty = true;
    sceneManagerPending = false;
    return this;
}

void Main::setSceneManager(VMPtr<SceneManager> sm) {
    sceneManager = sm;
    sceneManagerPending = true;
}

void Main::tick() {
    if (paused) return;
    VMPtr<SceneManager> sm = sceneManager;
    if (sm == nullptr) return;
    if (sceneManagerPending) {
        sm->init();
        sceneManagerPending = false;
    } else {
        sm->update();
    }
}

void Main::paint(VMPtr<Graphics> g) {
    applyScreenOffset(g);
    VMPtr<SceneManager> sm = sceneManager;
    if (sm != nullptr) sm->paint(g);
    VMPtr<ts::TsCanvas> c = canvas;
    if (c != nullptr) c->resetClip(g);
    g->translate(-offsetX, -offsetY);
}

void Main::pause() {
    paused = true;
    VMPtr<SceneManager> sm = sceneManager;
    if (sm != nullptr) sm->pause();
}

void Main::resume() {
    paused = false;
    VMPtr<SceneManager> sm = sceneManager;
    if (sm != nullptr) sm->resume();
}

void Main::afterResume() {
    VMPtr<SceneManager> sm = sceneManager;
    if (sm != nullptr) sm->afterResume();
}

VMPtr<Main> Main::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    return instance;
}

jint Main::randomInt() {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<ts::util::FastRandom> r = random;
    const jint value = r->nextInt();
    // The callers index arrays with it: MIN_VALUE has no positive twin.
    if (value == java::lang::Integer::MIN_VALUE) return 0;
    return value < 0 ? -value : value;
}

void Main::releaseAll() {
    _VM_ensureInitialized(_VM_classRecord);
    canvas = nullptr;
    VMPtr<SceneManager> sm = sceneManager;
    if (sm != nullptr) {
        sm->destroy();
        sceneManager = nullptr;
    }
    game = nullptr;
    utility::ResManager::clear();
    resManager = nullptr;
    random = nullptr;
    offsetDirty = true;
}

void Main::applyScreenOffset(VMPtr<Graphics> g) {
    _VM_ensureInitialized(_VM_classRecord);
    if (g == nullptr) _VM_throwNullPointer();
    VMPtr<ts::TsCanvas> c = canvas;
    if (offsetDirty && c != nullptr) {
        offsetDirty = false;
        const jint w = c->getWidth();
        const jint h = c->getHeight();
        g->setColor(0);
        g->setClip(0, 0, w, h);
        g->fillRect(0, 0, w, h);
        // Rounds toward zero; a canvas smaller than the game area gives a
        // negative offset.
        offsetX = (w - GAME_WIDTH) / 2;
        offsetY = (h - GAME_HEIGHT) / 2;
        c->setScreenOffset(offsetX, offsetY);
    }
    g->translate(offsetX, offsetY);
}

}  // namespace com::ventrix::common

VM_REGISTER_CLASS(com::ventrix::common::Main, .name = "com.ventrix.common.Main",
                  .staticInit = com::ventrix::common::Main::_VM_clinit)

// com.ventrix.ui.Scene: the base of every screen of the game.
#include "com_ventrix_ui_Scene.h"

#include <algorithm>
#include <vector>

#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyFont.h"
#include "java_lang_System.h"
#include "ts_Resources.h"

namespace com::ventrix::ui {

using utility::MyObject;

VMPtr<Scene> Scene::construct() {
    Super::construct();
    loading = false;
    elapsed = 0;
    startTime = java::lang::System::currentTimeMillis();
    capacity = START_CAPACITY;
    growBy = START_CAPACITY;
    realElapsed = 0;
    quietOnResume = true;
    rect = VMInts::create(5);
    _VM_ensureInitialized(common::Main::_VM_classRecord);
    canvas = common::Main::canvas;
    sceneManager = utility::SceneManager::getInstance();
    VMPtr<utility::MyFont> font = utility::MyFont::getInstance();
    translation = font->texts;
    loadingPage = LoadingPage::getInstance();
    audio = utility::AudioAndVibration::getInstance();
    objects = Objects::create(START_CAPACITY);
    paintOrder = VMInts::create(START_CAPACITY);
    return this;
}

void Scene::markReferences(uint32_t bits) {
    _VM_markRef(objects, bits);
    _VM_markRef(paintOrder, bits);
    _VM_markRef(canvas, bits);
    _VM_markRef(sceneManager, bits);
    _VM_markRef(translation, bits);
    _VM_markRef(loadingPage, bits);
    _VM_markRef(audio, bits);
    _VM_markRef(panel, bits);
    _VM_markRef(screen, bits);
    _VM_markRef(rect, bits);
}

void Scene::startLoading(jint style) {
    loadStage = 0;
    if (style < 0) {
        loading = false;
        return;
    }
    loading = true;
    VMPtr<LoadingPage> page = loadingPage;
    page->setStyle(style);
}

void Scene::startSound() {
    VMPtr<utility::AudioAndVibration> sound = audio;
    if (!sound->isMuted()) sound->startMusic();
}

void Scene::init() {
    elapsed = 0;
    realElapsed = 0;
    startTime = java::lang::System::currentTimeMillis();
    if (loading) return;
    stage0Busy = 0;
    do loadStage0();
    while (stage0Busy != 0);
    stage1Busy = 0;
    do loadStage1();
    while (stage1Busy != 0);
    stage2Busy = 0;
    do loadStage2();
    while (stage2Busy != 0);
    // Decoded pictures kept for the load's repeated sheets are let go.
    ts::Resources::forgetDecodedImages();
    startSound();
    trimObjects();
    sortPaintOrder();
}

void Scene::loadStep() {
    switch (loadStage) {
        case 0:
            loadStage0();
            if (stage0Busy == 0) loadStage += 1;
            return;
        case 1:
            loadStage1();
            if (stage1Busy == 0) loadStage += 1;
            return;
        case 2:
            loadStage2();
            if (stage2Busy == 0) loadStage += 1;
            return;
        case 3: {
            ts::Resources::forgetDecodedImages();
            trimObjects();
            sortPaintOrder();
            VMPtr<LoadingPage> page = loadingPage;
            page->finish();
            loadStage = 4;
            break;
        }
        default: break;
    }
    loading = false;
    startSound();
}

void Scene::stepLoadingPage() {
    VMPtr<LoadingPage> page = loadingPage;
    page->step();
}

void Scene::tick() {
    if (loading) {
        loadStep();
    } else {
        updateTiming();
        updateObjects();
    }
}

void Scene::update() { tick(); }

void Scene::updateTiming() {
    VMPtr<ts::TsCanvas> c = canvas;
    frameTime = c->getFrameTime();
    elapsed += frameTime;
    realFrameTime = jint(java::lang::System::currentTimeMillis() - startTime);
    realElapsed += realFrameTime;
    startTime = java::lang::System::currentTimeMillis();
}

void Scene::updateObjects() {
    _VM_ensureInitialized(MyObject::_VM_classRecord);
    MyObject::frameTime = frameTime;
    // The table is read again for every index: objects may add and remove
    // objects (and so replace the table) while they update.
    for (jint i = 0;; ++i) {
        VMPtr<Objects> table = objects;
        if (table == nullptr || i >= table->length) break;
        VMPtr<MyObject> o = table->get(i);
        if (o == nullptr) continue;
        if (o->isVisible()) o->update(0, 0);
        if (o->isActive()) o->handleInput(0, 0);
    }
}

void Scene::addObject(VMPtr<MyObject> o) {
    if (o == nullptr) _VM_throwNullPointer();
    jint i = 0;
    for (;;) {
        VMPtr<Objects> table = objects;
        while (i < table->length && table->get(i) != nullptr) ++i;
        if (i < table->length) {
            table->set(i, o);
            break;
        }
        growObjects();
    }
    o->setId(i);
}

void Scene::addObjects(MyObject* const* list, jint count) {
    if (count <= 0) return;
    for (jint k = 0; k < count; ++k)
        if (list[k] == nullptr) _VM_throwNullPointer();
    VMPtr<Objects> table = objects;
    if (capacity != table->length) {
        // Not the table the growth steps describe: one at a time.
        for (jint k = 0; k < count; ++k) addObject(list[k]);
        return;
    }
    // The growth steps the single adds would take, without the copies.
    jint free = 0;
    for (jint i = 0; i < table->length; ++i)
        if (table->get(i) == nullptr) ++free;
    jint newGrowBy = growBy, newCapacity = capacity, length = table->length;
    while (free < count) {
        newGrowBy = std::max(newGrowBy / 2, 5);
        free += newGrowBy;
        newCapacity += newGrowBy;
        length = newCapacity;
    }
    if (length != table->length) {
        resizeTables(length);
        growBy = newGrowBy;
        capacity = newCapacity;
        table = objects;
    }
    jint i = 0;
    for (jint k = 0; k < count; ++k) {
        while (table->get(i) != nullptr) ++i;
        table->set(i, list[k]);
        list[k]->setId(i);
    }
}

void Scene::resizeTables(jint length) {
    VMPtr<Objects> oldObjects = objects;
    VMPtr<VMInts> oldOrder = paintOrder;
    VMPtr<Objects> newObjects = Objects::create(length);
    VMPtr<VMInts> newOrder = VMInts::create(length);
    for (jint i = 0; i < std::min(oldObjects->length, length); ++i) newObjects->set(i, oldObjects->get(i));
    for (jint i = 0; i < std::min(oldOrder->length, length); ++i) (*newOrder)[i] = (*oldOrder)[i];
    objects = newObjects;
    paintOrder = newOrder;
}

void Scene::growObjects() {
    growBy = std::max(growBy / 2, 5);
    resizeTables(capacity + growBy);
    capacity += growBy;
}

void Scene::trimObjects() {
    VMPtr<Objects> table = objects;
    jint n = table->length;
    while (n > 0 && table->get(n - 1) == nullptr) --n;
    resizeTables(n);
    growBy = n;
    capacity = n;
}

void Scene::sortPaintOrder() {
    VMPtr<Objects> table = objects;
    VMPtr<VMInts> order = paintOrder;
    const jint n = std::min(table->length, order->length);
    // Empty slots sort after every object; a stable sort keeps the index
    // order within a layer.
    struct Entry {
        jlong key;
        jint index;
    };
    std::vector<Entry> entries(size_t(n > 0 ? n : 0));
    for (jint i = 0; i < n; ++i) {
        MyObject* o = table->get(i);
        entries[size_t(i)] = {o == nullptr ? jlong(1) << 32 : jlong(o->getLayer()), i};
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    for (jint i = 0; i < n; ++i) (*order)[i] = entries[size_t(i)].index;
}

void Scene::removeObject(jint id) {
    VMPtr<Objects> table = objects;
    if (table == nullptr || id < 0 || id >= table->length) return;
    VMPtr<MyObject> o = table->get(id);
    if (o == nullptr) return;
    o->release();
    table->set(id, nullptr);
    trimObjects();
}

void Scene::removeObject(VMPtr<MyObject> o) {
    if (o == nullptr) _VM_throwNullPointer();
    removeObject(o->getId());
}

MyObject* Scene::objectAt(Objects* table, VMInts* order, jint i) {
    const jint index = order->elements()[i];
    if (index < 0 || index >= table->length) return nullptr;
    return table->elements()[index];
}

void Scene::paint(VMPtr<Graphics> g) {
    setClip(g, 0, 0, LoadingPage::PAGE_WIDTH, LoadingPage::PAGE_HEIGHT);
    if (loading) return;
    bool painted = false;
    bool first = true;
    for (jint i = 0;; ++i) {
        // Objects may change the table while they paint.
        VMPtr<Objects> table = objects;
        VMPtr<VMInts> order = paintOrder;
        if (i >= order->length) break;
        VMPtr<MyObject> o = objectAt(table.get(), order.get(), i);
        if (o == nullptr) continue;
        const jint layer = o->getLayer();
        if (first && !painted && layer >= SCENE_LAYER) {
            paintScene(g);
            painted = true;
        }
        first = false;
        if (o->isVisible()) o->paint(g);
        if (painted) continue;
        // The crossing test looks at the next position that holds an object.
        table = objects;
        order = paintOrder;
        MyObject* next = nullptr;
        for (jint j = i + 1; j < order->length && next == nullptr; ++j) next = objectAt(table.get(), order.get(), j);
        if (next == nullptr || (layer < SCENE_LAYER && next->getLayer() >= SCENE_LAYER)) {
            paintScene(g);
            painted = true;
        }
    }
    if (!painted) paintScene(g);
}

void Scene::setClip(VMPtr<Graphics> g, jint x, jint y, jint width, jint height) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setClip(x, y, width, height);
}

void Scene::resetClip(VMPtr<Graphics> g) {
    VMPtr<ts::TsCanvas> c = canvas;
    c->resetClip(g);
}

void Scene::pause() {}

void Scene::dispose() {
    VMPtr<Objects> table = objects;
    if (table != nullptr) {
        for (jint i = 0; i < table->length; ++i) {
            VMPtr<MyObject> o = table->get(i);
            if (o == nullptr) continue;
            o->release();
            table->set(i, nullptr);
        }
    }
    VMPtr<Screen> s = screen;
    if (s != nullptr) {
        s->release();
        screen = nullptr;
    }
    VMPtr<MyObject> p = panel;
    if (p != nullptr) {
        p->release();
        panel = nullptr;
    }
}

void Scene::reset() {
    dispose();
    init();
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::Scene, .name = "com.ventrix.ui.Scene", .isAbstract = true)

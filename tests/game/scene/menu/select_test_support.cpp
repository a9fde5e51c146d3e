#include "select_test_support.h"

#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_ResManager.h"
#include "menu_test_support.h"
#include "sam_SamGameSave.h"

namespace selecttest {

using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using com::ventrix::utility::SceneManager;

namespace {

VMStatic<ingamescene::NoteManager> sharedSelectManager;

}  // namespace

GameFolderTest::GameFolderTest() : dir("select") {
    for (const auto& [name, bytes] : menutest::gameFiles()) dir.put("rsc/" + name, bytes);
}

void GameFolderTest::SetUp() {
    paneltest::PanelTest::SetUp();
    // A key singleton of this test's canvas.
    _VM_ensureInitialized(com::ventrix::utility::MyKey::_VM_classRecord);
    com::ventrix::utility::MyKey::instance = nullptr;
    VMPtr<MyFont> font = MyFont::getInstance();
    font->loadTexts(0x5000);
    VMPtr<VMInts> ids = VMInts::create(2);
    (*ids)[0] = 0x4C00;
    (*ids)[1] = 0x4C01;
    font->setFontResourceIds(ids);
    if (sharedSelectManager == nullptr) sharedSelectManager = ingamescene::NoteManager::create()->construct();
    manager = sharedSelectManager.get();
    manager->asked.clear();
    _VM_ensureInitialized(SceneManager::_VM_classRecord);
    SceneManager::instance = manager;
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    sam::SamGameSave::currentLevel = 0;
    sam::SamGameSave::unlockedLevel = 0;
}

void GameFolderTest::TearDown() {
    SceneManager::instance = nullptr;
    com::ventrix::utility::MyKey::instance = nullptr;
    paneltest::PanelTest::TearDown();
}

int GameFolderTest::load(com::ventrix::ui::Scene* s) {
    int n = 0;
    while (s->loading && n < 100) {
        noTouch();
        s->update();
        ++n;
    }
    return n;
}

void GameFolderTest::frames(com::ventrix::ui::Scene* s, int n) {
    for (int i = 0; i < n; ++i) {
        noTouch();
        s->update();
    }
}

void GameFolderTest::noTouch() {
    VMPtr<MyPointer> p = MyPointer::getInstance();
    (*p->justReleased)[0] = false;
    (*p->justPressed)[0] = false;
}

void GameFolderTest::releaseAt(jint x, jint y) {
    VMPtr<MyPointer> p = MyPointer::getInstance();
    (*p->justReleased)[0] = true;
    (*p->justPressed)[0] = false;
    (*p->isUp)[0] = true;
    (*p->isDown)[0] = false;
    (*p->x)[0] = x;
    (*p->y)[0] = y;
}

void GameFolderTest::releaseOn(com::ventrix::ui::Screen* screen, jint layer) {
    VMPtr<VMInts> box = VMInts::create(5);
    ASSERT_EQ(screen->getCollisionRects(layer, box, 0), 1) << "layer " << layer;
    releaseAt((*box)[0] + (*box)[2] / 2, (*box)[1] + (*box)[3] / 2);
}

void GameFolderTest::pressNow(bool alsoReleased) {
    VMPtr<MyPointer> p = MyPointer::getInstance();
    (*p->justPressed)[0] = true;
    (*p->justReleased)[0] = alsoReleased;
    (*p->isUp)[0] = alsoReleased;
    (*p->isDown)[0] = !alsoReleased;
}

jint GameFolderTest::imageOf(com::ventrix::ui::Screen* screen, jint slot) {
    if (screen->getSlotKind(slot) != com::ventrix::ui::Screen::KIND_IMAGE) return -1;
    const jint index = screen->getImageIndex(slot);
    VMPtr<VMArray<jint, 2>> keys = ResManager::slotKeys;
    return (*keys->get(ResManager::KEY_GOBS))[index];
}

}  // namespace selecttest

#include "panels_test_support.h"

#include <cstdio>

#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"

namespace paneltest {

using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyPointer;
using ts::input::PointerInputEventManager;
using ts::input::PointerInputKeyManager;

void LogFont::drawString(VMPtr<Graphics> g, VMPtr<java::lang::String> s, jint x, jint y, jint anchor) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d %d %d ", x, y, anchor);
    drawn.push_back(buffer + ::text(s));
    Super::drawString(g, s, x, y, anchor);
}

void PanelTest::SetUp() {
    scenetest::SceneTest::SetUp();
    canvas->setScreenOffset(0, 0);
    PointerInputKeyManager::removeRegions(0);
    _VM_ensureInitialized(MyPointer::_VM_classRecord);
    MyPointer::instance = nullptr;
    PointerInputEventManager::setEnabled(false);  // drops what an earlier test left
}

void PanelTest::TearDown() {
    PointerInputKeyManager::removeRegions(0);
    PointerInputEventManager::setEnabled(false);
    MyPointer::instance = nullptr;
    scenetest::SceneTest::TearDown();
}

VMPtr<LogFont> PanelTest::logFont(jint font) {
    VMPtr<MyFont> f = MyFont::getInstance();
    f->useFont(font);
    VMPtr<LogFont> log = LogFont::create()->construct(f->richFont);
    f->richFont = log;
    return log;
}

void PanelTest::frame(const VMPtr<com::ventrix::ui::Addon>& panel) {
    MyPointer::getInstance()->update();
    panel->handleInput(0, 0);
}

VMPtr<VMInts> PanelTest::ints(std::initializer_list<jint> values) {
    VMPtr<VMInts> a = VMInts::create(jint(values.size()));
    jint i = 0;
    for (jint v : values) (*a)[i++] = v;
    return a;
}

}  // namespace paneltest

VM_REGISTER_CLASS(paneltest::LogFont, .name = "paneltest.LogFont")

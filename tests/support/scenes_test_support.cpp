#include "scenes_test_support.h"

#include <cstdio>

#include "lcdui_test_support.h"

namespace scenetest {

using com::ventrix::common::Main;
using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyObject;
using com::ventrix::utility::ResManager;

namespace {

std::string rectText(const char* what, jint x, jint y, jint w, jint h) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s %d %d %d %d", what, x, y, w, h);
    return buffer;
}

std::string colourText(jint rgb) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, " #%06x", unsigned(rgb) & 0xFFFFFFu);
    return buffer;
}

}  // namespace

void LogGraphics::fillRect(jint x, jint y, jint w, jint h) {
    log.push_back(rectText("fill", x, y, w, h) + colourText(getColor()));
    Super::fillRect(x, y, w, h);
}

void LogGraphics::drawRect(jint x, jint y, jint w, jint h) {
    log.push_back(rectText("rect", x, y, w, h) + colourText(getColor()));
    Super::drawRect(x, y, w, h);
}

void LogGraphics::setClip(jint x, jint y, jint w, jint h) {
    log.push_back(rectText("clip", x, y, w, h));
    Super::setClip(x, y, w, h);
}

std::vector<std::string> LogGraphics::only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& s : log) {
        if (s.rfind(prefix, 0) == 0) out.push_back(s);
    }
    return out;
}

VMPtr<LogGraphics> logGraphics(jint width, jint height) {
    VMPtr<LogGraphics> g = LogGraphics::create()->construct(Image::createImage(width, height));
    g->log.clear();
    return g;
}

Picture pictureOfImage(const VMPtr<Image>& image) { return pictureOf(image); }

void SceneTest::SetUp() {
    ventrixtest::WindowTest::SetUp();
    canvas = StoppedCanvas::create();
    canvas->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    canvas->setFrameTime(40);
    _VM_ensureInitialized(Main::_VM_classRecord);
    Main::canvas = canvas;
    _VM_ensureInitialized(MyObject::_VM_classRecord);
    MyObject::canvas = canvas;
    ResManager::instance = nullptr;  // the first load starts afresh
    ResManager::clear();
    VMPtr<MyFont> font = MyFont::getInstance();
    font->loadTexts(kTexts);
    VMPtr<VMInts> ids = VMInts::create(2);
    (*ids)[0] = kFontSmall;
    (*ids)[1] = kFontLarge;
    font->setFontResourceIds(ids);
    com::ventrix::ui::LoadingPage::instance = nullptr;
}

void SceneTest::TearDown() {
    Main::canvas = nullptr;
    MyObject::canvas = nullptr;
    com::ventrix::ui::LoadingPage::instance = nullptr;
    MyFont::instance = nullptr;
    ts::Resources::unloadPack();
    ventrixtest::WindowTest::TearDown();
}

}  // namespace scenetest

VM_REGISTER_CLASS(scenetest::LogGraphics, .name = "scenetest.LogGraphics")
VM_REGISTER_CLASS(scenetest::LogObject, .name = "scenetest.LogObject")
VM_REGISTER_CLASS(scenetest::LogScene, .name = "scenetest.LogScene")
VM_REGISTER_CLASS(scenetest::ScriptKey, .name = "scenetest.ScriptKey")
VM_REGISTER_CLASS(scenetest::StoppedCanvas, .name = "scenetest.StoppedCanvas")

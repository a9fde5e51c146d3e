#include "menu_test_support.h"

#include <cctype>
#include <map>

#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyPointer.h"
#include "describe.h"
#include "font.h"
#include "javax_microedition_lcdui_Graphics.h"

namespace menutest {

using com::ventrix::utility::AudioAndVibration;
using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyPointer;

namespace {

VMStatic<RecordingMedia> sharedMedia;

// The game's packs the menu tests read besides the in-game ones: the logo,
// the title picture, the menus and the fonts.
const std::map<std::string, std::vector<uint8_t>>& menuPacks() {
    static const std::map<std::string, std::vector<uint8_t>> packs = [] {
        std::map<std::string, std::vector<uint8_t>> chosen;
        for (const auto& [name, bytes] : gameFiles()) {
            for (const std::string prefix : {"RP1", "RP2", "RP3", "RP19"}) {
                if (name.rfind(prefix, 0) == 0 && name.size() > prefix.size() &&
                    !std::isdigit(static_cast<unsigned char>(name[prefix.size()])))
                    chosen[name] = std::vector<uint8_t>(bytes.begin(), bytes.end());
            }
        }
        return chosen;
    }();
    return packs;
}

}  // namespace

void RecordingMedia::note(const std::string& call, std::initializer_list<jint> args) {
    std::string line = call;
    for (jint a : args) line += " " + std::to_string(a);
    log.push_back(line);
}

MenuFixture::MenuFixture() {
    for (const auto& [name, bytes] : menuPacks()) dir.put("rsc/" + name, std::string(bytes.begin(), bytes.end()));
}

void MenuFixture::SetUp() {
    ingamescene::SceneFixture::SetUp();
    VMPtr<VMInts> ids = VMInts::create(2);
    (*ids)[0] = 0x4C00;
    (*ids)[1] = 0x4C01;
    MyFont::getInstance()->setFontResourceIds(ids);
    if (sharedMedia == nullptr) sharedMedia = RecordingMedia::create();
    media = sharedMedia.get();
    media->log.clear();
    _VM_ensureInitialized(AudioAndVibration::_VM_classRecord);
    AudioAndVibration::instance = nullptr;
    AudioAndVibration::getInstance()->mediaManager = sharedMedia.get();
}

void MenuFixture::TearDown() {
    AudioAndVibration::instance = nullptr;
    ingamescene::SceneFixture::TearDown();
}

void MenuFixture::tick(com::ventrix::ui::Scene* scene) {
    scene->update();
    MyPointer::getInstance()->update();
}

int MenuFixture::load(com::ventrix::ui::Scene* scene) {
    scene->startLoading(0);
    scene->init();
    int frames = 0;
    while (scene->loading && frames < 100) {
        tick(scene);
        ++frames;
    }
    return frames;
}

void MenuFixture::press(jint x, jint y) { canvas->pointerPressed(x, y); }
void MenuFixture::release(jint x, jint y) { canvas->pointerReleased(x, y); }
void MenuFixture::tap(jint x, jint y) {
    press(x, y);
    release(x, y);
}

VMPtr<EventCanvas> MenuFixture::eventCanvas(com::ventrix::ui::Scene* scene) {
    VMPtr<ts::TsCanvas> current = ts::TsCanvas::getInstance();
    VMPtr<EventCanvas> c = EventCanvas::create();
    c->construct(nullptr);
    c->ts::TsCanvas::onEvent(ts::TsCanvas::EVENT_EXIT);  // no frames, and nothing of the game released
    ts::TsCanvas::instance = current;
    c->frameMs = canvas->getFrameTime();
    scene->canvas = c;
    return c;
}

Picture MenuFixture::picture(com::ventrix::ui::Scene* scene) {
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    g->setColor(0x202020);
    g->fillRect(0, 0, 480, 640);
    scene->paint(g);
    return scenetest::pictureOfImage(image);
}

}  // namespace menutest

VM_REGISTER_CLASS(menutest::RecordingMedia, .name = "menutest.RecordingMedia", .interfaces = {"ts.MediaManager"})
VM_REGISTER_CLASS(menutest::EventCanvas, .name = "menutest.EventCanvas")

#include "ventrix_test_support.h"

namespace ventrixtest {

using com::ventrix::common::Main;

std::string RecordingSceneManager::summary() const {
    std::string out;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "update" && i > 0 && calls[i - 1] == "update") continue;
        const bool run = calls[i] == "update" && i + 1 < calls.size() && calls[i + 1] == "update";
        out += (out.empty() ? "" : ", ") + calls[i] + (run ? "..." : "");
    }
    return out;
}

void TestMIDlet::createSceneManager() {
    ++sceneManagersMade;
    _VM_ensureInitialized(Main::_VM_classRecord);
    VMPtr<ts::TsCanvas> gameCanvas = canvas;
    auto flag = [](bool b) { return b ? "1" : "0"; };
    builtBefore = std::string("canvas=") + flag(gameCanvas != nullptr && Main::canvas.get() == gameCanvas.get()) +
                  " main=" + flag(main != nullptr && Main::getInstance().get() == main.get()) +
                  " loader=" + flag(Main::levelLoader != nullptr) + " random=" + flag(Main::random != nullptr) +
                  " cache=" + flag(Main::resManager != nullptr) + " shown=" +
                  flag(javax::microedition::lcdui::Display::getDisplay(this)->getCurrent() != nullptr &&
                       javax::microedition::lcdui::Display::getDisplay(this)->getCurrent().get() ==
                           static_cast<javax::microedition::lcdui::Displayable*>(gameCanvas.get()));
    VMPtr<RecordingSceneManager> sm = RecordingSceneManager::create()->construct();
    VMPtr<Main> controller = main;
    controller->setSceneManager(sm);
    sm->changeScene(0);
}

}  // namespace ventrixtest

VM_REGISTER_CLASS(ventrixtest::RecordingSceneManager, .name = "ventrixtest.RecordingSceneManager",
                  .sourceName = "tests/ventrix/ventrix_test_support")
VM_REGISTER_CLASS(ventrixtest::RecordingMediaManager, .name = "ventrixtest.RecordingMediaManager",
                  .sourceName = "tests/ventrix/ventrix_test_support", .interfaces = {"ts.MediaManager"})
VM_REGISTER_CLASS(ventrixtest::TestMIDlet, .name = "ventrixtest.TestMIDlet",
                  .sourceName = "tests/ventrix/ventrix_test_support")

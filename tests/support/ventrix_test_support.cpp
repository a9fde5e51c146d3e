#include "ventrix_test_support.h"

namespace ventrixtest {

using com::ventrix::common::Main;

void TestMIDlet::createSceneManager() {
    ++sceneManagersMade;
    VMPtr<javax::microedition::lcdui::Displayable> current =
        javax::microedition::lcdui::Display::getDisplay(this)->getCurrent();
    builtBefore = std::string(Main::canvas.get() == canvas.get() ? "canvas" : "") +
                  (Main::getInstance().get() == main.get() ? " main" : "") +
                  (Main::levelLoader != nullptr ? " loader" : "") + (Main::random != nullptr ? " random" : "") +
                  (Main::resManager != nullptr ? " cache" : "") + (current.get() == static_cast<javax::microedition::lcdui::Displayable*>(canvas.get()) ? " shown" : "");
    VMPtr<RecordingSceneManager> sm = RecordingSceneManager::create()->construct();
    VMPtr<Main> controller = main;
    controller->setSceneManager(sm);
    sm->changeScene(0);
}

}  // namespace ventrixtest

VM_REGISTER_CLASS(ventrixtest::RecordingSceneManager, .name = "ventrixtest.RecordingSceneManager",
                  .sourceName = "tests/support/ventrix_test_support")
VM_REGISTER_CLASS(ventrixtest::TestMIDlet, .name = "ventrixtest.TestMIDlet",
                  .sourceName = "tests/support/ventrix_test_support")

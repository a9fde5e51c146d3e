// com.ventrix.common.CommonMIDlet: the base of the application class.
#include "com_ventrix_common_CommonMIDlet.h"

#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "javax_microedition_lcdui_Display.h"

namespace com::ventrix::common {

VMPtr<CommonMIDlet> CommonMIDlet::construct() {
    Super::construct();
    return this;
}

void CommonMIDlet::startApp() {
    VMPtr<ts::TsCanvas> existing = canvas;
    if (existing != nullptr) {
        // A resume by the application manager.
        existing->showNotify();
        return;
    }
    VMPtr<CommonCanvas> gameCanvas = CommonCanvas::create()->construct(this);
    canvas = gameCanvas;
    main = Main::create()->construct(gameCanvas);
    createSceneManager();
    javax::microedition::lcdui::Display::getDisplay(this)->setCurrent(gameCanvas);
}

void CommonMIDlet::pauseApp() {
    VMPtr<ts::TsCanvas> gameCanvas = canvas;
    if (gameCanvas != nullptr) gameCanvas->hideNotify();
}

void CommonMIDlet::destroyApp(jboolean unconditional) {
    (void)unconditional;
    utility::AudioAndVibration::getInstance()->destroy(0, 0);
    Main::releaseAll();
    main = nullptr;
    VMPtr<ts::TsCanvas> gameCanvas = canvas;
    if (gameCanvas != nullptr) gameCanvas->postEvent(ts::TsCanvas::EVENT_EXIT);
}

}  // namespace com::ventrix::common

VM_REGISTER_CLASS(com::ventrix::common::CommonMIDlet, .name = "com.ventrix.common.CommonMIDlet", .isAbstract = true)

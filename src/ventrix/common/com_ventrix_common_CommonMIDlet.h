// com.ventrix.common.CommonMIDlet: the base of the application class. The
// first start builds the canvas, the controller Main and, through the one
// operation the game supplies, the scene manager, then shows the canvas;
// later starts only show it again. Pause hides it; destroy stops the sound,
// releases Main's statics and posts the exit event to the canvas.
#pragma once

#include "VM.h"
#include "com_ventrix_common_Main.h"
#include "javax_microedition_midlet_MIDlet.h"
#include "ts_TsCanvas.h"

namespace com::ventrix::common {

class CommonMIDlet : public javax::microedition::midlet::MIDlet {
    VM_DECLARE_ABSTRACT_CLASS(CommonMIDlet, javax::microedition::midlet::MIDlet)

public:
    VMField<Main> main;            // null until the first start and after destroyApp
    VMField<ts::TsCanvas> canvas;  // set: the application has been started once

    VMPtr<CommonMIDlet> construct();

    void startApp() override;
    void pauseApp() override;
    void destroyApp(jboolean unconditional) override;
    // The game's: makes the scene manager, hands it to Main and asks it for
    // scene 0.
    virtual void createSceneManager() = 0;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(main, bits);
        _VM_markRef(canvas, bits);
    }
};

}  // namespace com::ventrix::common

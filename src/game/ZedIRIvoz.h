// ZedIRIvoz: the game's application class, named in the application's
// properties. Its base runs the whole life cycle; the game adds only its
// scene manager, which starts in the logo scene.
#pragma once

#include "VM.h"
#include "com_ventrix_common_CommonMIDlet.h"

class ZedIRIvoz : public com::ventrix::common::CommonMIDlet {
    VM_DECLARE_CLASS(ZedIRIvoz, com::ventrix::common::CommonMIDlet)

public:
    VMPtr<ZedIRIvoz> construct();

    // Makes the game's scene manager, hands it to Main and records the logo
    // scene, which the first tick enters.
    void createSceneManager() override;
};

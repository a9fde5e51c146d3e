// scene.LogoScene: the first scene of every run (scene 0). The maker's logo,
// animated and centred on white, for 3000 ms of scene time; then the game's
// title picture over it; 4000 ms later the start-up sound question (scene
// 15). It loads at once when it is entered: stage 0 builds its one screen in
// five steps, with every layer of the title picture built but not drawn.
#pragma once

#include "VM.h"
#include "com_ventrix_ui_Scene.h"

namespace scene {

class LogoScene : public com::ventrix::ui::Scene {
    VM_DECLARE_CLASS(LogoScene, com::ventrix::ui::Scene)

public:
    static constexpr jint TITLE_AT = 3000;   // ms of scene time
    static constexpr jint CHANGE_AT = 7000;  // ms of scene time
    static constexpr jint LOGO_IMAGE = 0x401;
    static constexpr jint LOGO_SET = 0x400;
    static constexpr jint TITLE_IMAGE = 0x801;
    static constexpr jint TITLE_SET = 0x800;
    static constexpr jint BANNER = 0x402;
    static constexpr jint LAYERS = 5;

    jboolean logoShown = false;  // the title picture is drawn

    VMPtr<LogoScene> construct();

    // One step of the screen's build, by the stage-0 counter (0, 4, 3, 2, 1).
    void loadStage0() override;
    void loadStage1() override;
    void loadStage2() override;
    void paintScene(VMPtr<Graphics>) override {}
    // The two timers.
    void update() override;

    // The stage-0 step.
    virtual void loadLogo();

private:
    // The title picture's two bands: the top band and the line under it,
    // from boxes 3 and 4 of layer 2.
    void setBands();
};

}  // namespace scene

// A test application that draws: vessilo.test.DrawMIDlet shows a game canvas
// whose own thread draws the test scene into the screen buffer and flushes
// it once the canvas is shown, logs "flushed" to midlet.log (see
// vessilo_test_ScriptMIDlet.h), waits for the file "done" in the program
// folder and ends the application.
#pragma once

#include "VM.h"
#include "java_lang_Runnable.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_game_GameCanvas.h"
#include "javax_microedition_midlet_MIDlet.h"

namespace vessilo::test {

// The scene: a gradient, a disc, a half-transparent rounded box, a frame
// and a triangle over the whole 480 x 640 screen.
void drawTestScene(const VMPtr<javax::microedition::lcdui::Graphics>& g);

class DrawCanvas : public javax::microedition::lcdui::game::GameCanvas, public virtual java::lang::Runnable {
    VM_DECLARE_CLASS(DrawCanvas, javax::microedition::lcdui::game::GameCanvas)

public:
    VMField<javax::microedition::midlet::MIDlet> midlet;

    VMPtr<DrawCanvas> construct(VMPtr<javax::microedition::midlet::MIDlet> owner);
    // The drawing thread.
    void run() override;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(midlet, bits);
    }
};

class DrawMIDlet : public javax::microedition::midlet::MIDlet {
    VM_DECLARE_CLASS(DrawMIDlet, javax::microedition::midlet::MIDlet)

public:
    VMField<DrawCanvas> canvas;

    VMPtr<DrawMIDlet> construct();
    void startApp() override;
    void pauseApp() override {}
    void destroyApp(jboolean unconditional) override { (void)unconditional; }

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(canvas, bits);
    }
};

}  // namespace vessilo::test

// Test applications for whole program runs (and in-process tests).
//
// vessilo.test.ScriptMIDlet logs its life cycle and what its canvas sees to
// "midlet.log" in the program folder, one line each:
//   startApp / pauseApp / destroyApp
//   showNotify / hideNotify
//   keyPressed <code> <name> <action> [locked]   (also keyReleased, keyRepeated)
//   pointerPressed <x> <y> [locked]              (also pointerReleased, pointerDragged)
// "[locked]" is there when the call ran under the display's event lock.
// On its first start it shows its canvas (unless "Test-NoShow: true") and
// runs the steps of the application property "Test-Script" (separated by
// ';') on a thread of its own:
//   sleep <ms>                 log <text>
//   focus-lost, focus-gained   the desktop window loses or gets the focus
//   power-off, power-on        the system's power changes
//   close                      the desktop window is closed
//   key <name> down|up|repeat  a key (up, down, left, right, return, space,
//                              f1, f2, 0-9, asterisk, hash; shift-8, shift-3)
//   held-key up|down|0         a key the input method holds back (the window
//                              gets VK_PROCESSKEY first)
//   press|drag|release <x> <y> the left mouse button (desktop pixels)
//   exit                       notifyDestroyed
//   url <text>                 platformRequest
//   serial                     callSerially of a runnable that logs
//                              "serial main=<0|1> locked=<0|1>"
//   present                    presents a green frame to the window and logs
//                              "presented <wall-clock ns>"
//   wait-foreground            waits until the window was asked to come
//                              forward, then logs "foreground"
//   wait-file <name>           waits until the file exists in the folder
// "Test-Refuse-Destroy: true" makes destroyApp throw
// MIDletStateChangeException (after logging).
//
// vessilo.test.NotAMIDlet is a plain class that can be created by name.
#pragma once

#include <string>

#include "VM.h"
#include "java_lang_Runnable.h"
#include "javax_microedition_lcdui_Canvas.h"
#include "javax_microedition_midlet_MIDlet.h"

namespace vessilo::test {

// Appends a line to midlet.log in the program folder.
void logLine(const std::string& line);

class ScriptCanvas : public javax::microedition::lcdui::Canvas {
    VM_DECLARE_CLASS(ScriptCanvas, javax::microedition::lcdui::Canvas)

public:
    VMPtr<ScriptCanvas> construct();
    void paint(VMPtr<javax::microedition::lcdui::Graphics> g) override { (void)g; }
    void keyPressed(jint keyCode) override;
    void keyRepeated(jint keyCode) override;
    void keyReleased(jint keyCode) override;
    void pointerPressed(jint x, jint y) override;
    void pointerReleased(jint x, jint y) override;
    void pointerDragged(jint x, jint y) override;
    void showNotify() override;
    void hideNotify() override;

private:
    void key(const char* what, jint keyCode);
};

class ScriptMIDlet : public javax::microedition::midlet::MIDlet, public virtual java::lang::Runnable {
    VM_DECLARE_CLASS(ScriptMIDlet, javax::microedition::midlet::MIDlet)

public:
    VMField<ScriptCanvas> canvas;
    jboolean started = false;

    VMPtr<ScriptMIDlet> construct();
    void startApp() override;
    void pauseApp() override;
    void destroyApp(jboolean unconditional) override;
    // The script thread.
    void run() override;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(canvas, bits);
    }
};

class NotAMIDlet : public virtual java::lang::Object {
    VM_DECLARE_CLASS(NotAMIDlet, java::lang::Object)
};

}  // namespace vessilo::test

#include "vessilo_test_DrawMIDlet.h"

#include <sys/stat.h>

#include <string>

#include "hal_system.h"
#include "java_lang_Thread.h"
#include "javax_microedition_lcdui_Display.h"
#include "vessilo_test_ScriptMIDlet.h"

namespace vessilo::test {

using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Graphics;

void drawTestScene(const VMPtr<Graphics>& g) {
    g->fillGradientRect(0, 0, 480, 640, 0x102040, 0x40C0F0, false);
    g->setColor(0xF0C000);
    g->fillArc(140, 220, 200, 200, 0, 360);
    g->setAlphaColor(jint(0x80E02020u));
    g->fillRoundRect(40, 40, 400, 120, 40, 40);
    g->setColor(0xFFFFFF);
    g->drawRect(10, 10, 459, 619);
    g->fillTriangle(240, 460, 140, 600, 340, 600);
}

VMPtr<DrawCanvas> DrawCanvas::construct(VMPtr<javax::microedition::midlet::MIDlet> owner) {
    Super::construct(false);
    midlet = owner;
    return this;
}

void DrawCanvas::run() {
    while (!isShown()) java::lang::Thread::sleep(5);
    drawTestScene(getGraphics());
    flushGraphics();
    logLine("flushed");
    std::string done = std::string(HAL_programDirectory()) + "done";
    struct stat info;
    while (::stat(done.c_str(), &info) != 0) java::lang::Thread::sleep(20);
    midlet->notifyDestroyed();
}

VMPtr<DrawMIDlet> DrawMIDlet::construct() {
    Super::construct();
    return this;
}

void DrawMIDlet::startApp() {
    if (canvas != nullptr) return;
    canvas = DrawCanvas::create()->construct(this);
    Display::getDisplay(this)->setCurrent(canvas);
    java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(canvas))->start();
}

}  // namespace vessilo::test

VM_REGISTER_CLASS(vessilo::test::DrawCanvas, .name = "vessilo.test.DrawCanvas", .interfaces = {"java.lang.Runnable"})
VM_REGISTER_CLASS(vessilo::test::DrawMIDlet, .name = "vessilo.test.DrawMIDlet",
                  .newInstance = _VM_newInstanceOf<vessilo::test::DrawMIDlet>)

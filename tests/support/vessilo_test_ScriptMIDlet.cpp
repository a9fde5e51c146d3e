#include "vessilo_test_ScriptMIDlet.h"

#include <SDL.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <vector>

#include "VMThread.h"
#include "ce.h"
#include "com_tarsel_sorrel_AMS.h"
#include "hal.h"
#include "java_lang_Thread.h"
#include "javax_microedition_lcdui_Display.h"
#include "javax_microedition_midlet_MIDletStateChangeException.h"
#include "vm_boot.h"

namespace vessilo::test {

using javax::microedition::lcdui::Display;

void logLine(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard<std::mutex> guard(mutex);
    std::string path = std::string(HAL_programDirectory()) + "midlet.log";
    if (FILE* file = std::fopen(path.c_str(), "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

namespace {

std::string appProperty(const char* key) {
    VMPtr<java::lang::String> value = com::tarsel::sorrel::AMS::getAppProperty(java::lang::String::_VM_fromUTF8(key));
    return value == nullptr ? std::string() : value->_VM_toStdString();
}

bool eventLockHeld() {
    java::lang::Object* lock = Display::eventLock.target;
    return lock != nullptr && lock->_VM_owner == VMThread::current();
}

std::string lockedSuffix() { return eventLockHeld() ? " locked" : ""; }

int sdlKey(const std::string& name, bool* shift) {
    *shift = false;
    if (name == "up") return SDLK_UP;
    if (name == "down") return SDLK_DOWN;
    if (name == "left") return SDLK_LEFT;
    if (name == "right") return SDLK_RIGHT;
    if (name == "return") return SDLK_RETURN;
    if (name == "space") return SDLK_SPACE;
    if (name == "f1") return SDLK_F1;
    if (name == "f2") return SDLK_F2;
    if (name == "asterisk") return SDLK_ASTERISK;
    if (name == "hash") return SDLK_HASH;
    if (name == "shift-8" || name == "shift-3") {
        *shift = true;
        return name == "shift-8" ? SDLK_8 : SDLK_3;
    }
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return SDLK_0 + (name[0] - '0');
    return SDLK_UNKNOWN;
}

void sleepMs(jlong ms) { java::lang::Thread::sleep(ms); }

bool fileExists(const std::string& name) {
    struct stat info;
    return ::stat((std::string(HAL_programDirectory()) + name).c_str(), &info) == 0;
}

}  // namespace

// --- the canvas -------------------------------------------------------------------

VMPtr<ScriptCanvas> ScriptCanvas::construct() {
    Super::construct();
    return this;
}

void ScriptCanvas::key(const char* what, jint keyCode) {
    std::string name = "-";
    try {
        name = getKeyName(keyCode)->_VM_toStdString();
    } catch (java::lang::Throwable* thrown) {
        (void)thrown;
    }
    logLine(std::string(what) + " " + std::to_string(keyCode) + " " + name + " " +
            std::to_string(getGameAction(keyCode)) + lockedSuffix());
}

void ScriptCanvas::keyPressed(jint keyCode) { key("keyPressed", keyCode); }
void ScriptCanvas::keyRepeated(jint keyCode) { key("keyRepeated", keyCode); }
void ScriptCanvas::keyReleased(jint keyCode) { key("keyReleased", keyCode); }

void ScriptCanvas::pointerPressed(jint x, jint y) {
    logLine("pointerPressed " + std::to_string(x) + " " + std::to_string(y) + lockedSuffix());
}
void ScriptCanvas::pointerReleased(jint x, jint y) {
    logLine("pointerReleased " + std::to_string(x) + " " + std::to_string(y) + lockedSuffix());
}
void ScriptCanvas::pointerDragged(jint x, jint y) {
    logLine("pointerDragged " + std::to_string(x) + " " + std::to_string(y) + lockedSuffix());
}
void ScriptCanvas::showNotify() { logLine("showNotify"); }
void ScriptCanvas::hideNotify() { logLine("hideNotify"); }

// --- the application ----------------------------------------------------------------

VMPtr<ScriptMIDlet> ScriptMIDlet::construct() {
    Super::construct();
    return this;
}

void ScriptMIDlet::startApp() {
    logLine("startApp");
    if (started) return;
    started = true;
    if (appProperty("Test-NoShow") != "true") {
        canvas = ScriptCanvas::create()->construct();
        Display::getDisplay(this)->setCurrent(canvas);
    }
    if (!appProperty("Test-Script").empty()) java::lang::Thread::create()->construct(VMPtr<Runnable>(this))->start();
}

void ScriptMIDlet::pauseApp() { logLine("pauseApp"); }

void ScriptMIDlet::destroyApp(jboolean unconditional) {
    logLine(std::string("destroyApp ") + (unconditional ? "true" : "false"));
    if (appProperty("Test-Refuse-Destroy") == "true")
        _VM_throw(javax::microedition::midlet::MIDletStateChangeException::create()->construct());
}

void ScriptMIDlet::run() {
    std::vector<std::string> steps;
    std::stringstream script(appProperty("Test-Script"));
    for (std::string step; std::getline(script, step, ';');) {
        size_t begin = step.find_first_not_of(' ');
        if (begin != std::string::npos) steps.push_back(step.substr(begin));
    }
    for (const std::string& step : steps) {
        std::istringstream words(step);
        std::string verb;
        words >> verb;
        if (verb == "sleep") {
            jlong ms = 0;
            words >> ms;
            sleepMs(ms);
        } else if (verb == "log") {
            logLine(step.substr(4));
        } else if (verb == "focus-lost" || verb == "focus-gained") {
            ce::test::InjectFocus(verb == "focus-gained");
        } else if (verb == "power-off" || verb == "power-on") {
            ce::SetSystemPower(verb == "power-on");
        } else if (verb == "close") {
            ce::test::InjectClose();
        } else if (verb == "key") {
            std::string name, how;
            words >> name >> how;
            bool shift = false;
            int code = sdlKey(name, &shift);
            ce::test::InjectKey(code, how != "up", how == "repeat", shift);
        } else if (verb == "held-key") {
            std::string name;
            words >> name;
            ce::test::InjectHeldBackKey(name == "up" ? ce::VK_UP : name == "down" ? ce::VK_DOWN : '0');
        } else if (verb == "press" || verb == "drag" || verb == "release") {
            int x = 0, y = 0;
            words >> x >> y;
            if (verb == "drag")
                ce::test::InjectMouseMotion(x, y, true);
            else
                ce::test::InjectMouseButton(verb == "press", x, y);
        } else if (verb == "exit") {
            notifyDestroyed();
        } else if (verb == "url") {
            std::string url;
            words >> url;
            platformRequest(java::lang::String::_VM_fromUTF8(url.c_str()));
        } else if (verb == "serial") {
            VMPtr<vmtest::Task> task = vmtest::Task::create();
            task->body = [] {
                logLine(std::string("serial main=") + (HAL_isMainThread() ? "1" : "0") +
                        " locked=" + (eventLockHeld() ? "1" : "0"));
            };
            Display::getDisplay(this)->callSerially(task);
        } else if (verb == "present") {
            // A whole frame of one colour, straight to the window.
            std::vector<uint16_t> frame(480 * 640, 0x07E0);
            HAL_presentFrame(frame.data(), 480, 640, 480);
            logLine("presented " + std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                      std::chrono::system_clock::now().time_since_epoch())
                                                      .count()));
        } else if (verb == "wait-foreground") {
            for (int i = 0; i < 2000 && ce::test::ForegroundRequests() == 0; ++i) sleepMs(10);
            logLine(ce::test::ForegroundRequests() > 0 ? "foreground" : "no foreground");
        } else if (verb == "wait-file") {
            std::string name;
            words >> name;
            for (int i = 0; i < 3000 && !fileExists(name); ++i) sleepMs(10);
        }
    }
}

}  // namespace vessilo::test

VM_REGISTER_CLASS(vessilo::test::ScriptCanvas, .name = "vessilo.test.ScriptCanvas")
VM_REGISTER_CLASS(vessilo::test::ScriptMIDlet, .name = "vessilo.test.ScriptMIDlet",
                  .newInstance = _VM_newInstanceOf<vessilo::test::ScriptMIDlet>, .interfaces = {"java.lang.Runnable"})
VM_REGISTER_CLASS(vessilo::test::NotAMIDlet, .name = "vessilo.test.NotAMIDlet",
                  .newInstance = _VM_newInstanceOf<vessilo::test::NotAMIDlet>)

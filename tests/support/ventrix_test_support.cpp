#include "ventrix_test_support.h"

#include <algorithm>

#include "VMRuntime.h"
#include "java_lang_Thread.h"

namespace ventrixtest {

using com::ventrix::common::Main;

namespace {

VMThread* threadOf(java::lang::Object* object) {
    auto* thread = dynamic_cast<java::lang::Thread*>(object);
    return thread != nullptr ? thread->runtimeThread : nullptr;
}

}  // namespace

std::vector<VMThread*> WindowTest::runtimeThreads() {
    std::vector<VMThread*> alive;
    VMThread* finalizer = threadOf(_VM_runtime->finalizer.get());
    VMThread* system = threadOf(_VM_runtime->systemThread.get());
    for (VMListNode* node = _VM_runtime->threads.first; node != nullptr; node = node->next) {
        auto* thread = static_cast<VMThread*>(node->value);
        if (thread != VMThread::current() && thread != finalizer && thread != system && !thread->attached &&
            thread->isAlive())
            alive.push_back(thread);
    }
    return alive;
}

bool WindowTest::endThreadsStartedSince(const std::vector<VMThread*>& before) {
    auto started = [&] {
        std::vector<VMThread*> now = runtimeThreads();
        std::erase_if(now, [&](VMThread* t) { return std::find(before.begin(), before.end(), t) != before.end(); });
        return now;
    };
    for (VMThread* thread : started()) VMThread::interrupt(thread);
    return vmWaitFor([&] {
        std::vector<VMThread*> left = started();
        for (VMThread* thread : left) VMThread::interrupt(thread);  // interrupts spent on the way out
        return left.empty();
    });
}

void TestMIDlet::createSceneManager() {
    ++sceneManagersMade;
    VMPtr<javax::microedition::lcdui::Displayable> current =
        javax::microedition::lcdui::Display::getDisplay(this)->getCurrent();
    builtBefore =
        std::string(Main::canvas.get() == canvas.get() ? "canvas" : "") +
        (Main::getInstance().get() == main.get() ? " main" : "") + (Main::levelLoader != nullptr ? " loader" : "") +
        (Main::random != nullptr ? " random" : "") + (Main::resManager != nullptr ? " cache" : "") +
        (current.get() == static_cast<javax::microedition::lcdui::Displayable*>(canvas.get()) ? " shown" : "");
    VMPtr<RecordingSceneManager> sm = RecordingSceneManager::create()->construct();
    VMPtr<Main> controller = main;
    controller->setSceneManager(sm);
    sm->changeScene(0);
}

}  // namespace ventrixtest

VM_REGISTER_CLASS(ventrixtest::RecordingSceneManager, .name = "ventrixtest.RecordingSceneManager")
VM_REGISTER_CLASS(ventrixtest::TestMIDlet, .name = "ventrixtest.TestMIDlet")

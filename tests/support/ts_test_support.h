// Test support for the framework canvas: a canvas that records what the
// frame loop hands it, and an application class that does nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "VM.h"
#include "hal_thread.h"
#include "javax_microedition_midlet_MIDlet.h"
#include "ts_TsCanvas.h"
#include "vm_test.h"

namespace tstest {

// A fixture's first member: the runtime is booted before the members that
// hold references are made.
struct Booted {
    Booted() { vmTestBoot(); }
};

class TestCanvas : public ts::TsCanvas {
    VM_DECLARE_CLASS(TestCanvas, ts::TsCanvas)

public:
    std::vector<jint> events;
    std::vector<uint64_t> eventTimes;  // tick count of each event
    int ticks = 0;
    int paints = 0;
    std::function<void(TestCanvas&)> onTick;  // run in every tick

    VMPtr<TestCanvas> construct(VMPtr<javax::microedition::midlet::MIDlet> application) {
        Super::construct(application);
        return this;
    }
    void onEvent(jint event) override {
        events.push_back(event);
        eventTimes.push_back(HAL_getTickCount());
        Super::onEvent(event);
    }
    void tick() override {
        ++ticks;
        if (onTick) onTick(*this);
    }
    void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) override {
        (void)g;
        ++paints;
    }
};

class IdleMIDlet : public javax::microedition::midlet::MIDlet {
    VM_DECLARE_CLASS(IdleMIDlet, javax::microedition::midlet::MIDlet)

public:
    VMPtr<IdleMIDlet> construct() {
        Super::construct();
        return this;
    }
    void startApp() override {}
    void pauseApp() override {}
    void destroyApp(jboolean unconditional) override { (void)unconditional; }
};

// A canvas whose frame loop has ended (so that a test drives the latch
// itself).
inline VMPtr<TestCanvas> stoppedCanvas() {
    VMPtr<TestCanvas> canvas = TestCanvas::create()->construct(nullptr);
    canvas->postEvent(ts::TsCanvas::EVENT_EXIT);
    vmWaitFor([&] { return !canvas->thread->isAlive(); });
    vmJoinEndedThreads();
    return canvas;
}

inline VMPtr<VMBytes> bytesOf(const std::vector<uint8_t>& raw) {
    VMPtr<VMBytes> array = VMBytes::create(jint(raw.size()));
    for (size_t i = 0; i < raw.size(); ++i) (*array)[jint(i)] = jbyte(raw[i]);
    return array;
}

inline std::vector<uint8_t> rawOf(const VMPtr<VMBytes>& array) {
    if (array == nullptr) return {};
    return std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(array->elements()),
                                reinterpret_cast<const uint8_t*>(array->elements()) + array->length);
}

}  // namespace tstest

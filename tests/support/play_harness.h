// Test support for playing the game frame by frame: a harness that runs a
// canvas's frame loop through its step gate, so that each step() is exactly
// one frame (pending event, input latch, tick, paint) and nothing sleeps.
// While attached, the loop's clock moves 40 ms a step, Main's random numbers
// come from a fixed seed, keys and touches go in through the window stand-in
// (the platform layer's input entry) and reach the canvas before the next
// step, and a trace notes every change of scene and of the in-game state
// with the step (tick) in which it happened. The frame presented last is
// read back as a picture for the golden compare (golden.h).
//
// Timing of input: a key pressed before tick N counts in tick N (the loop
// latches the keys first); a touch counts in tick N + 1 (the touch input is
// polled after the scene's update).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "golden.h"
#include "ts_TsCanvas.h"

namespace playharness {

struct TraceEntry {
    int64_t tick;      // the step in which the change was seen (1 = the first step)
    std::string what;  // "scene" or "state"
    int value;

    bool operator==(const TraceEntry&) const = default;
};

class Harness {
public:
    // Gates the canvas's loop (the canvas must be shown for frames to
    // paint) and fixes Main's random numbers.
    void attach(VMPtr<ts::TsCanvas> canvas, int64_t seed = 12345);
    // Lets the loop run freely again.
    void detach();

    // n frames; false when one did not run (the loop stopped).
    bool step(int n = 1);
    // Steps until the condition holds after a step (at most `most` steps);
    // false when it never did.
    template <typename Condition>
    bool stepUntil(Condition holds, int most = 2000) {
        for (int n = 0; n < most; ++n) {
            if (!step()) return false;
            if (holds()) return true;
        }
        return false;
    }

    // The window stand-in's input: virtual keys and touches at canvas
    // pixels. Touches of the same kind at the same place are let through
    // by waiting out the stand-in's 30 ms repeat filter.
    void keyDown(unsigned virtualKey);
    void keyUp(unsigned virtualKey);
    void touchDown(int x, int y);
    void touchUp(int x, int y);
    void tap(int x, int y);

    // The frame presented last.
    Picture frame();

    // The scene manager's scene id, -1 without one; the in-game scene's
    // state once it has loaded, else -1.
    static int sceneId();
    static int inGameState();

    // Steps run since attach.
    int64_t ticks = 0;
    std::vector<TraceEntry> trace;
    // The first tick at which `what` took `value`, -1 if never.
    int64_t tickOf(const std::string& what, int value) const;

private:
    void note();
    // Waits until the canvas has had an input entry since `before`.
    bool delivered(jlong before);
    void touch(unsigned message, int x, int y);

    VMPtr<ts::TsCanvas> canvas;
    int lastScene = -2;
    int lastState = -2;
};

}  // namespace playharness

// Test support for the whole game run from its application class: a program
// folder with every pack of the game (its levels too), the application
// started as the application manager starts it, its frame loop stepped by
// the play harness, sounds noted instead of played, and the levels' own
// solutions played through the window stand-in's keys.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "ZedIRIvoz.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "global_GameScene.h"
#include "play_harness.h"
#include "program_dir.h"
#include "scene_ingame_InGameScene.h"
#include "scene/menu/menu_test_support.h"
#include "ventrix_test_support.h"

namespace gamerun {

// Built with the address sanitizer, whose runs are several times slower.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// The shipped levels by number, -1 the tutorial: the file's name
// ("tutorial", "level0" ...), and a test name of a level parameter.
std::string levelName(int level);
inline std::string levelParamName(const ::testing::TestParamInfo<int>& info) { return levelName(info.param); }

class GameRun : public ventrixtest::WindowTest {
protected:
    // `withLevels` false leaves the levels' pack out of the folder.
    explicit GameRun(bool withLevels = true);
    void SetUp() override;
    void TearDown() override;

    // Starts the application as the application manager's first start does,
    // its loop gated before it is shown: tick 1 is the loop's first frame.
    // `stores` are written as record stores before the game reads its save.
    void start(const std::vector<std::pair<int, std::vector<uint8_t>>>& stores = {});
    // From the start to the main menu, loaded, the sound question answered
    // "on"; false when a scene never came.
    bool toMainMenu();
    // Ends it as the application manager does (destroyApp) and waits until
    // its loop has stopped.
    void stop();

    // Steps until the scene id is `id` (at most `most` ticks).
    bool stepUntilScene(int id, int most = 2000);
    // Steps until the current scene has finished loading.
    bool stepUntilLoaded(int most = 200);
    // A tap (press and release) at a screen point, then `after` ticks.
    void tapAndStep(int x, int y, int after = 2);
    // A key pressed and released, each in a tick of its own.
    void pressKey(unsigned virtualKey);
    // From the main menu (its first entry highlighted) through the level
    // selection to the briefing of the first level shown; the next tap on
    // "go" (412, 592) starts that level.
    bool openBriefing();

    // The in-game scene now shown, or null.
    static scene::ingame::InGameScene* inGame();
    // Starts the game with `level` saved as the current one (0 for the
    // tutorial), goes to `scene` (a level or the tutorial) and steps until
    // it has loaded; false when it never does.
    bool startLevel(int scene, int level);
    // The same for a shipped level by number (-1 the tutorial).
    bool startLevel(int level) {
        return startLevel(level < 0 ? global::GameScene::TUTORIAL : global::GameScene::LEVEL, level);
    }
    // Confirms the caught panel until it has gone; true when play goes on.
    bool confirmCaught();
    // Steps until the scene id is `id`, closing each target story on the way
    // by confirms; false when that scene never comes.
    bool closeStoriesUntil(int id, int most = 1000);
    // Plays the steps [from, to) of `solution`; false (with a failure naming
    // the step) when one never ends.
    bool playSteps(const nlohmann::json& solution, size_t from, size_t to);

    // Plays the solution of the level file `name` (assets/game/levels/) in
    // the in-game scene now loaded, from its first frame until its last
    // step's conditions hold; false (with a failure) when a step never ends.
    bool playSolution(const std::string& name);
    // Plays step `i` of `steps`, a run of the level file `name`, as playStep
    // does; a step that never ends is a failure naming it. With
    // VESSILO_SOLUTION_TRACE set, where each step left the agent is printed.
    bool playStepOf(const std::string& name, const nlohmann::json& steps, size_t i,
                    const std::function<void()>& afterFrame = {});
    // The solution of the level file `name`, or another run of its steps
    // by its field (`wasted`: an empty list when the file has none).
    static nlohmann::json solutionOf(const std::string& name, const std::string& field = "solution");
    // Plays one step of a solution: its key held or pressed, or confirms,
    // until its conditions hold (or the level has ended); `afterFrame` runs
    // after every frame, `took` gets the frames. False when it never ends.
    bool playStep(const nlohmann::json& step, const std::function<void()>& afterFrame = {}, int* took = nullptr);

    // The screen point of the game pad's button with the pressed code 1 to
    // 5 (up, down, left, right, action), found from the pad's own boxes;
    // (-1, -1) when the scene has no pad or the button is not there.
    static std::pair<int, int> padButton(int code);
    // The pad button of a solution's key name ("up" ... "action").
    static int padCode(const std::string& key);

    // Where the view stands in free play. `fits` is false when the camera's
    // view is smaller than the screen or leaves the world, or when the
    // player's drawn body does not lie wholly between the head-up display's
    // bottom edge and the pad's top edge; `why` then says which, with the
    // numbers (screen pixels).
    struct ViewCheck {
        bool checked = false;  // the scene was in free play
        bool fits = true;
        std::string why;
    };
    static ViewCheck checkView();

    // How much of the player's body the frame shows in free play (not in a
    // lift's cabin): his opaque pixels in his drawn box, painted alone, and
    // how many of them the whole scene, painted there, shows unchanged.
    struct BodySeen {
        bool checked = false;  // free play, with a body drawn on the screen
        int drawn = 0;
        int shown = 0;
    };
    static BodySeen bodySeen();
    // The player's body as drawn on the screen (x, y, w, h); false if none.
    static bool bodyOnScreen(jint box[4]);
    // bodySeen kept over a run: where a frame first showed less than half
    // of the body (`hidden`, with the numbers) and the least it showed.
    struct BodyWatch {
        int frames = 0;
        std::string hidden;
        int leastShown = 1, leastDrawn = 1;
        std::string leastAt;
        void note(const BodySeen& seen, const std::string& where);
    };

    // The record store `id` of the game's canvas, null when absent.
    std::vector<uint8_t> store(int id);
    // The sound calls noted since the last call.
    std::vector<std::string> takeSounds();

    // The level's traps as a player watching them sees them, brought up to
    // date after every frame a step plays: whether a trap's hitting box is
    // where it can catch someone on its row, for how many frames it has been
    // out, and on which side of the trap it was last lit (-1 left, 1 right).
    struct TrapSeen {
        bool lit = false;
        int darkFrames = 0;
        int side = 0;
    };
    std::vector<TrapSeen> trapsSeen;
    VMPtr<VMInts> trapBox;
    void watchTraps();

    // Solutions played by touches only: holds and presses on the pad's
    // buttons, confirms as taps in the middle of the screen.
    bool byPad = false;
    // The last step lifted its finger just before its end.
    bool fingerLifted = false;

    TempProgramDir dir;
    playharness::Harness harness;
    VMPtr<ZedIRIvoz> app;
    VMPtr<com::ventrix::common::CommonCanvas> canvas;
    VMPtr<menutest::RecordingMedia> media;
};

}  // namespace gamerun

#include "game_run.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <nlohmann/json.hpp>
#include <sstream>

#include "ce_window.h"
#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_AudioAndVibration.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyKey.h"
#include "com_ventrix_utility_ResManager.h"
#include "com_ventrix_utility_SceneManager.h"
#include "global_GameScene.h"
#include "javax_microedition_lcdui_Display.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "lcdui_test_support.h"
#include "scene_ingame_GamePad.h"
#include "scene_ingame_InGameDisguisedPeople.h"
#include "scene_ingame_InGameObject.h"
#include "scene_ingame_InGamePlayer.h"
#include "scene_ingame_InGameScene.h"
#include "scene_ingame_InGameTrap.h"
#include "scene_ingame_LevelLoader.h"
#include "ts_AnimPlayer.h"
#include "vm_test.h"

namespace gamerun {

using com::ventrix::common::Main;
using com::ventrix::utility::SceneManager;
using global::GameScene;
using scene::ingame::InGameObject;
using scene::ingame::InGameScene;

namespace {

VMStatic<menutest::RecordingMedia> sharedMedia;

}  // namespace

GameRun::GameRun(bool withLevels) : dir("e2e") {
    for (const auto& [name, bytes] : menutest::gameFiles()) {
        if (!withLevels && name.rfind("RP22", 0) == 0) continue;
        dir.put("rsc/" + name, bytes);
    }
}

void GameRun::SetUp() {
    ventrixtest::WindowTest::SetUp();
    // Whatever an earlier test of this process left in the game's statics.
    _VM_ensureInitialized(SceneManager::_VM_classRecord);
    SceneManager::instance = nullptr;
    _VM_ensureInitialized(com::ventrix::utility::MyKey::_VM_classRecord);
    com::ventrix::utility::MyKey::instance = nullptr;
    _VM_ensureInitialized(com::ventrix::utility::MyFont::_VM_classRecord);
    com::ventrix::utility::MyFont::instance = nullptr;
    _VM_ensureInitialized(com::ventrix::utility::ResManager::_VM_classRecord);
    com::ventrix::utility::ResManager::instance = nullptr;
    com::ventrix::utility::ResManager::clear();
    if (sharedMedia == nullptr) sharedMedia = menutest::RecordingMedia::create();
    media = sharedMedia.get();
    media->log.clear();
}

void GameRun::TearDown() {
    stop();
    media = nullptr;
    trapBox = nullptr;
    ventrixtest::WindowTest::TearDown();
}

void GameRun::start(const std::vector<std::pair<int, std::vector<uint8_t>>>& stores) {
    app = ZedIRIvoz::create()->construct();
    // The first start of CommonMIDlet::startApp, with the gate put on the
    // loop before the canvas is shown.
    canvas = com::ventrix::common::CommonCanvas::create()->construct(app);
    app->canvas = canvas;
    app->main = Main::create()->construct(canvas);
    for (const auto& [id, bytes] : stores) {
        VMPtr<VMBytes> data = VMBytes::create(jint(bytes.size()));
        for (size_t i = 0; i < bytes.size(); ++i) (*data)[jint(i)] = jbyte(bytes[i]);
        EXPECT_TRUE(canvas->saveRecordStore(id, data));
    }
    com::ventrix::utility::AudioAndVibration::getInstance()->mediaManager = media;
    app->createSceneManager();
    harness.attach(canvas);
    javax::microedition::lcdui::Display::getDisplay(app)->setCurrent(canvas);
}

void GameRun::stop() {
    if (app == nullptr) return;
    harness.detach();
    app->destroyApp(true);
    VMPtr<ts::TsCanvas> c = canvas;
    EXPECT_TRUE(vmWaitFor([&] { return c->thread == nullptr || !c->thread->isAlive(); }));
    app = nullptr;
    canvas = nullptr;
}

bool GameRun::toMainMenu() {
    if (!stepUntilScene(GameScene::START_SOUND_PAGE, 400) || !stepUntilLoaded()) return false;
    harness.tap(240, 272);  // "on"
    return stepUntilScene(GameScene::MAIN_MENU, 10) && stepUntilLoaded();
}

bool GameRun::stepUntilScene(int id, int most) {
    return harness.stepUntil([&] { return playharness::Harness::sceneId() == id; }, most);
}

bool GameRun::stepUntilLoaded(int most) {
    return harness.stepUntil(
        [&] {
            SceneManager* sm = SceneManager::instance.get();
            return sm != nullptr && sm->scene != nullptr && !sm->scene->loading;
        },
        most);
}

void GameRun::tapAndStep(int x, int y, int after) {
    harness.tap(x, y);
    harness.step(after);
}

bool GameRun::openBriefing() {
    harness.tap(448, 470);  // the next entry: missions
    if (!harness.step(2)) return false;
    harness.tap(240, 472);
    if (!stepUntilScene(GameScene::BROWSE_LEVELS, 10) || !stepUntilLoaded() || !harness.step(30)) return false;
    harness.tap(412, 592);  // go: the briefing
    return harness.step(30);
}

void GameRun::pressKey(unsigned virtualKey) {
    harness.keyDown(virtualKey);
    harness.step();
    harness.keyUp(virtualKey);
    harness.step();
}

std::string levelName(int level) { return level < 0 ? std::string("tutorial") : "level" + std::to_string(level); }

nlohmann::json GameRun::solutionOf(const std::string& name, const std::string& field) {
    std::ifstream in(std::string(VESSILO_GAME_ASSETS) + "levels/" + name + ".json");
    std::stringstream content;
    content << in.rdbuf();
    const nlohmann::json level = nlohmann::json::parse(content.str());
    if (field != "solution" && !level.contains(field)) return nlohmann::json::array();
    return level.at(field);
}

bool GameRun::playStep(const nlohmann::json& step, const std::function<void()>& afterFrame, int* took) {
    static const std::map<std::string, unsigned> keys = {{"up", ce::VK_UP},
                                                         {"down", ce::VK_DOWN},
                                                         {"left", ce::VK_LEFT},
                                                         {"right", ce::VK_RIGHT},
                                                         {"action", ce::VK_RETURN}};
    auto playing = [] {
        auto* s = inGame();
        return s != nullptr && !s->loading && s->state == InGameScene::PLAYING;
    };
    const nlohmann::json until = step.value("until", nlohmann::json::object());
    const bool startedInPlay = playing();
    auto holds = [&](int frames) {
        // The scene may leave the level once its last target is done.
        auto* level = inGame();
        if (level == nullptr || level->state == InGameScene::LEVEL_COMPLETE || level->state == InGameScene::FINAL_PAN)
            return true;
        // A story opened by a target freezes the world: the steps up to
        // the confirm that closes it are over.
        if (startedInPlay && !step.contains("confirm") && !playing()) return true;
        scene::ingame::InGamePlayer* p = InGameObject::player.get();
        // Once every target is done the level's end takes over: the
        // player's own conditions no longer matter.
        scene::ingame::LevelLoader* loader = InGameObject::levelLoader.get();
        if (loader != nullptr && InGameObject::reachedTargets >= loader->targetCount) p = nullptr;
        for (const auto& [what, value] : until.items()) {
            if (!value.is_number() && !value.is_boolean()) continue;
            const int v = value.is_boolean() ? int(value.get<bool>()) : value.get<int>();
            if (what == "playing" && playing() != bool(v)) return false;
            if (what == "frames" && frames < v) return false;
            if (what == "targets" && InGameObject::reachedTargets < v) return false;
            if (p == nullptr) continue;
            if (what == "xAtLeast" && InGameObject::playerX < v) return false;
            if (what == "xAtMost" && InGameObject::playerX > v) return false;
            if (what == "row" && p->depth != v) return false;
            if (what == "state" && p->getState() != v) return false;
        }
        // A trap gone out `frames` frames ago (on the `side` it lit last).
        if (until.contains("trapDark")) {
            const nlohmann::json& dark = until["trapDark"];
            const size_t i = dark.value("trap", size_t(0));
            if (i >= trapsSeen.size()) return false;
            const TrapSeen& seen = trapsSeen[i];
            const std::string side = dark.value("side", "");
            if (seen.lit || seen.darkFrames != dark.value("frames", 1)) return false;
            if ((side == "left" && seen.side != -1) || (side == "right" && seen.side != 1)) return false;
        }
        // A watcher (by its place among the level's watchers) walking with
        // its back to the player, at most `within` pixels away.
        if (until.contains("watcher")) {
            const nlohmann::json& watch = until["watcher"];
            InGameObject::Objects* people = InGameObject::disguisedPeople.get();
            const jint i = watch.value("index", 0);
            if (p == nullptr || people == nullptr || i < 0 || i >= people->length) return false;
            InGameObject* w = people->get(i);
            const jint x = w->getSlotX(0);
            const bool walksRight = w->getTransform(0) == 0;
            const bool walksAway = w->getSlotIndex(0) == scene::ingame::InGameDisguisedPeople::ANIM_WALK &&
                                   (walksRight ? x > InGameObject::playerX : x < InGameObject::playerX);
            if (watch.value("backTurned", false) && !walksAway) return false;
            if (watch.contains("within") && std::abs(x - InGameObject::playerX) > watch["within"].get<int>())
                return false;
        }
        return true;
    };
    // A key by the keyboard, or its pad button (the confirm a tap in the
    // middle of the screen) by touches.
    auto down = [&](const std::string& key) {
        if (!byPad) return harness.keyDown(keys.at(key));
        const auto [x, y] = key == "confirm" ? std::pair<int, int>{240, 320} : padButton(padCode(key));
        harness.touchDown(x, y);
    };
    auto up = [&](const std::string& key) {
        if (!byPad) return harness.keyUp(keys.at(key));
        const auto [x, y] = key == "confirm" ? std::pair<int, int>{240, 320} : padButton(padCode(key));
        harness.touchUp(x, y);
    };
    // A finger is lifted in a frame of its own: one finger cannot leave a
    // button and come down on another within one frame (a release and a
    // press of pointer 0 read in the same frame are one press, and the
    // button let go of would stay held for the game).
    if (fingerLifted && (step.contains("hold") || step.contains("press") || step.contains("confirm"))) {
        if (!harness.step()) return false;
        watchTraps();
    }
    fingerLifted = false;
    std::string held;
    if (step.contains("hold")) {
        held = step["hold"].get<std::string>();
        down(held);
    }
    bool pressed = false;
    int frames = 0;
    bool done = false;
    while (!done && frames < 3000) {
        std::string tap;
        if (step.contains("press") && !pressed) {
            pressed = true;
            tap = step["press"].get<std::string>();
        } else if (step.contains("confirm") && frames % 2 == 0) {
            tap = byPad ? "confirm" : "action";
        }
        if (!tap.empty()) down(tap);
        if (!harness.step()) break;
        if (!tap.empty()) up(tap);
        watchTraps();
        if (afterFrame) afterFrame();
        ++frames;
        done = holds(frames);
    }
    if (!held.empty()) up(held);
    fingerLifted = byPad && !held.empty();
    if (took != nullptr) *took = frames;
    return done;
}

void GameRun::watchTraps() {
    InGameObject::Objects* traps = InGameObject::traps.get();
    const jint n = traps != nullptr ? traps->length : 0;
    trapsSeen.resize(size_t(n));
    if (n == 0) return;
    if (trapBox == nullptr) trapBox = VMInts::create(5);
    VMInts* box = trapBox.get();
    for (jint i = 0; i < n; ++i) {
        auto* trap = dynamic_cast<scene::ingame::InGameTrap*>(traps->get(i));
        if (trap == nullptr) continue;
        // Types 4 and 5 hit with their second slot. A box that is out sits
        // far above the row, where no body reaches.
        const jint slot = trap->trapType < 4 ? 0 : 1;
        const bool lit = trap->getCollisionRects(slot, box, 0) > 0 && (*box)[1] + (*box)[3] > trap->getSlotY(slot) - 64;
        TrapSeen& seen = trapsSeen[size_t(i)];
        if (lit) seen.side = (*box)[0] + (*box)[2] / 2 < trap->getSlotX(0) ? -1 : 1;
        seen.darkFrames = lit ? 0 : seen.darkFrames + 1;
        seen.lit = lit;
    }
}

namespace {

// The drawn box of a screen's slot in screen pixels (x, y, w, h); false for
// an empty slot.
bool drawnBox(com::ventrix::ui::Screen* screen, jint slot, jint box[4]) {
    VMArray<ts::Paintable, 1>* table = screen->paintables.get();
    ts::Paintable* p = table != nullptr && slot < table->length ? table->get(slot) : nullptr;
    if (p == nullptr) return false;
    jint x = (*screen->slotOffsets->get(slot))[0] - screen->getOriginX();
    jint y = (*screen->slotOffsets->get(slot))[1] - screen->getOriginY();
    jint transform = (*screen->transforms)[slot];
    if (p->getType() == ts::Paintable::TYPE_PLAYER) {
        auto* player = static_cast<ts::AnimPlayer*>(p);
        x += player->getX();
        y += player->getY();
        transform ^= player->getTransform();
    }
    box[0] = x + p->getOffsetX(transform);
    box[1] = y + p->getOffsetY(transform);
    box[2] = p->getWidth(transform);
    box[3] = p->getHeight(transform);
    return box[2] > 0 && box[3] > 0;
}

}  // namespace

GameRun::ViewCheck GameRun::checkView() {
    using com::ventrix::ui::Screen;
    ViewCheck check;
    auto* s = inGame();
    if (s == nullptr || s->loading || s->state != InGameScene::PLAYING || InGameObject::player == nullptr ||
        s->screen == nullptr || s->camera == nullptr)
        return check;
    check.checked = true;
    auto fail = [&](const std::string& why) {
        check.fits = false;
        if (!check.why.empty()) check.why += "; ";
        check.why += why;
    };
    const jint cx = (*s->camera)[0], cy = (*s->camera)[1];
    if (s->viewWidth < Screen::SCREEN_WIDTH || s->viewHeight < Screen::SCREEN_HEIGHT)
        fail("the world (" + std::to_string(s->worldWidth) + " x " + std::to_string(s->worldHeight) +
             ") is smaller than the screen");
    if (cx < 0 || cy < 0 || cx + s->viewWidth > s->worldWidth || cy + s->viewHeight > s->worldHeight)
        fail("the view at (" + std::to_string(cx) + ", " + std::to_string(cy) + ") leaves the world");
    // The head-up display's slots in the screen's upper half, the pad's in
    // its lower half.
    Screen* hud = s->screen.get();
    jint hudBottom = 0, padTop = Screen::SCREEN_HEIGHT;
    for (jint slot = 0; slot < hud->slotCount; ++slot) {
        jint box[4];
        if (!drawnBox(hud, slot, box)) continue;
        if (box[1] + box[3] / 2 < Screen::SCREEN_HEIGHT / 2)
            hudBottom = std::max(hudBottom, box[1] + box[3]);
        else
            padTop = std::min(padTop, box[1]);
    }
    jint body[4];
    if (!drawnBox(InGameObject::player.get(), 0, body)) return check;
    if (body[1] < hudBottom || body[1] + body[3] > padTop)
        fail("the player's body (" + std::to_string(body[1]) + " to " + std::to_string(body[1] + body[3]) +
             ") leaves the band from " + std::to_string(hudBottom) + " to " + std::to_string(padTop));
    return check;
}

GameRun::BodySeen GameRun::bodySeen() {
    using com::ventrix::ui::Screen;
    using javax::microedition::lcdui::Graphics;
    using javax::microedition::lcdui::Image;
    BodySeen seen;
    auto* s = inGame();
    scene::ingame::InGamePlayer* player = InGameObject::player.get();
    if (s == nullptr || s->loading || s->state != InGameScene::PLAYING || player == nullptr || !player->isVisible())
        return seen;
    jint body[4];
    if (!drawnBox(player, 0, body)) return seen;
    const jint left = std::max(0, body[0]), top = std::max(0, body[1]);
    const jint right = std::min(Screen::SCREEN_WIDTH, body[0] + body[2]);
    const jint bottom = std::min(Screen::SCREEN_HEIGHT, body[1] + body[3]);
    if (right <= left || bottom <= top) return seen;
    auto paintBox = [&](jint ground, const std::function<void(const VMPtr<Graphics>&)>& paint) {
        VMPtr<Image> image = Image::createImage(right - left, bottom - top);
        VMPtr<Graphics> g = image->getGraphics();
        g->setColor(ground);
        g->fillRect(0, 0, right - left, bottom - top);
        g->translate(-left, -top);
        paint(g);
        return pictureOf(image);
    };
    const Picture onBlack = paintBox(0x000000, [&](const VMPtr<Graphics>& g) { player->paint(g); });
    const Picture onWhite = paintBox(0xFFFFFF, [&](const VMPtr<Graphics>& g) { player->paint(g); });
    const Picture whole = paintBox(0x000000, [&](const VMPtr<Graphics>& g) { s->paint(g); });
    seen.checked = true;
    for (size_t i = 0; i < whole.argb.size(); ++i) {
        // His own opaque pixels cover either ground alike (not a shadow).
        if (onBlack.argb[i] != onWhite.argb[i]) continue;
        ++seen.drawn;
        if (whole.argb[i] == onBlack.argb[i]) ++seen.shown;
    }
    return seen;
}

bool GameRun::bodyOnScreen(jint box[4]) {
    return InGameObject::player != nullptr && drawnBox(InGameObject::player.get(), 0, box);
}

void GameRun::BodyWatch::note(const BodySeen& seen, const std::string& where) {
    if (!seen.checked || seen.drawn == 0) return;
    ++frames;
    const std::string numbers = std::to_string(seen.shown) + " of " + std::to_string(seen.drawn) + " pixels shown";
    if (seen.shown * 2 < seen.drawn && hidden.empty()) hidden = where + ": the player's body hidden, " + numbers;
    if (int64_t(seen.shown) * leastDrawn < int64_t(leastShown) * seen.drawn) {
        leastShown = seen.shown;
        leastDrawn = seen.drawn;
        leastAt = where + ": " + numbers;
    }
}

scene::ingame::InGameScene* GameRun::inGame() {
    SceneManager* sm = SceneManager::instance.get();
    return sm == nullptr ? nullptr : dynamic_cast<InGameScene*>(sm->scene.get());
}

bool GameRun::startLevel(int scene, int level) {
    start({{1, {1, 0, 0, 0, uint8_t(std::max(level, 0)), 0}}});
    SceneManager::instance->changeScene(scene);
    return harness.step() && playharness::Harness::sceneId() == scene && stepUntilLoaded();
}

bool GameRun::confirmCaught() {
    for (int n = 0; n < 200 && playharness::Harness::inGameState() == InGameScene::CAUGHT; ++n) pressKey(ce::VK_RETURN);
    return playharness::Harness::inGameState() == InGameScene::PLAYING;
}

bool GameRun::closeStoriesUntil(int id, int most) {
    for (int n = 0; n < most && playharness::Harness::sceneId() != id; ++n) {
        const bool story = playharness::Harness::inGameState() == InGameScene::OBJECTIVE_STORY && n % 2 == 0;
        if (story) harness.keyDown(ce::VK_RETURN);
        if (!harness.step()) return false;
        if (story) harness.keyUp(ce::VK_RETURN);
    }
    return playharness::Harness::sceneId() == id;
}

bool GameRun::playSteps(const nlohmann::json& solution, size_t from, size_t to) {
    for (size_t i = from; i < to && i < solution.size(); ++i) {
        if (playStep(solution[i])) continue;
        ADD_FAILURE() << "step " << i + 1 << " (" << solution[i].dump() << ") never ended";
        return false;
    }
    return true;
}

bool GameRun::playSolution(const std::string& name) {
    const nlohmann::json solution = solutionOf(name);
    for (size_t i = 0; i < solution.size(); ++i)
        if (!playStepOf(name, solution, i)) return false;
    return true;
}

bool GameRun::playStepOf(const std::string& name, const nlohmann::json& steps, size_t i,
                         const std::function<void()>& afterFrame) {
    int frames = 0;
    const bool done = playStep(steps[i], afterFrame, &frames);
    auto* p = InGameObject::player.get();
    if (std::getenv("VESSILO_SOLUTION_TRACE") != nullptr && p != nullptr)
        std::printf("%s step %zu: %d frames, x %d row %d state %d targets %d disguise %d\n", name.c_str(), i + 1,
                    frames, InGameObject::playerX, p->depth, p->getState(), InGameObject::reachedTargets,
                    p->getDisguiseTimer());
    if (!done)
        ADD_FAILURE() << name << ": step " << i + 1 << " (" << steps[i].dump() << ") never ended; player at "
                      << InGameObject::playerX << " state " << (p == nullptr ? -1 : p->getState()) << ", scene state "
                      << playharness::Harness::inGameState();
    return done;
}

int GameRun::padCode(const std::string& key) {
    static const std::map<std::string, int> codes = {{"up", 1}, {"down", 2}, {"left", 3}, {"right", 4}, {"action", 5}};
    return codes.at(key);
}

std::pair<int, int> GameRun::padButton(int code) {
    _VM_ensureInitialized(scene::ingame::GamePad::_VM_classRecord);
    scene::ingame::GamePad* gamePad = scene::ingame::GamePad::instance.get();
    if (gamePad == nullptr) return {-1, -1};
    // Every scene makes its own pad from the same art: found once.
    static std::map<int, std::pair<int, int>> found;
    if (auto at = found.find(code); at != found.end()) return at->second;
    // The hit points of the button on a 2-pixel grid; the one nearest to
    // their mean lies inside even for a button that is not a rectangle.
    // Only a point inside a box that carries the code can answer it: the
    // grid's points within those boxes' bounds (a round box lies within
    // its square) are tried, in the grid's order.
    std::set<std::pair<int, int>> candidates;  // (y, x)
    for (jint slot : {0, 1}) {
        VMPtr<VMInts> boxes = gamePad->pad->getAllCollisionRects(slot);
        for (jint k = 0; k + 4 < boxes->length; k += 5) {
            if ((*boxes)[k + 4] != code) continue;
            const int bx = (*boxes)[k], by = (*boxes)[k + 1], bw = (*boxes)[k + 2], bh = (*boxes)[k + 3];
            for (int y = std::max(0, (by - 2) & ~1); y < std::min(640, by + bh + 2); y += 2)
                for (int x = std::max(0, (bx - 2) & ~1); x < std::min(480, bx + bw + 2); x += 2)
                    candidates.emplace(y, x);
        }
    }
    VMPtr<VMInts> area = VMInts::create(5);
    (*area)[2] = (*area)[3] = 1;
    std::vector<std::pair<int, int>> hits;
    for (const auto& [y, x] : candidates) {
        (*area)[0] = x;
        (*area)[1] = y;
        const jint left = gamePad->pad->getBoxIdAt(0, area);
        if ((left != -1 ? left : gamePad->pad->getBoxIdAt(1, area)) == code) hits.emplace_back(x, y);
    }
    if (hits.empty()) return {-1, -1};
    long sx = 0, sy = 0;
    for (const auto& [x, y] : hits) sx += x, sy += y;
    const long mx = sx / long(hits.size()), my = sy / long(hits.size());
    std::pair<int, int> best = hits.front();
    for (const auto& h : hits)
        if ((h.first - mx) * (h.first - mx) + (h.second - my) * (h.second - my) <
            (best.first - mx) * (best.first - mx) + (best.second - my) * (best.second - my))
            best = h;
    return found[code] = best;
}

std::vector<uint8_t> GameRun::store(int id) {
    VMPtr<VMBytes> bytes = canvas->loadRecordStore(id);
    if (bytes == nullptr) return {};
    return std::vector<uint8_t>(reinterpret_cast<uint8_t*>(bytes->elements()),
                                reinterpret_cast<uint8_t*>(bytes->elements()) + bytes->length);
}

std::vector<std::string> GameRun::takeSounds() {
    std::vector<std::string> taken = media->log;
    media->log.clear();
    return taken;
}

}  // namespace gamerun

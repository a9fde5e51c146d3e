// scene.ingame.InGameScene: the scene in which a level is played; its making, loading and painting.
#include "scene_ingame_InGameScene.h"

#include <iterator>

#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_ResManager.h"
#include "java_io_PrintStream.h"
#include "java_lang_Exception.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"
#include "scene_ingame_MyListMenu.h"
#include "ts_AnimSet.h"
#include "ts_Resources.h"

namespace scene::ingame {

using com::ventrix::common::Main;
using com::ventrix::ui::LoadingPage;
using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;
using com::ventrix::utility::ResManager;
using global::GameScene;
using java::lang::String;

namespace {

// The level view's steps (the stage-0 counter), in the order they run: every
// step after STEP_LOADER counts down by one; step 1 only moves the loading
// page on, and the counter back at 0 ends the stage.
constexpr jint STEP_LOADER = 0, STEP_HUD = 7, STEP_COMPLETE_PANEL = 6, STEP_CAUGHT_PANEL = 5, STEP_LEVEL_DATA = 4,
               STEP_TILE_LAYER = 3, STEP_DECORATIONS = 2;
static_assert(STEP_HUD == InGameScene::VIEW_STEPS);

// Fonts: the body's and the titles'.
constexpr jint BODY_FONT = 0, TITLE_FONT = 1;
// The screen: the display's top corners, the pad's bottom ones, the pause
// panel rising from the middle of the bottom edge.
constexpr jint SCREEN_WIDTH = InGameScene::Screen::SCREEN_WIDTH, SCREEN_HEIGHT = InGameScene::Screen::SCREEN_HEIGHT;
constexpr jint MIDDLE_X = SCREEN_WIDTH / 2;

// The head-up display's layers: its frame, the pause button (shown), the
// disguise-time bar's frame, the outfit icons and the pad's two halves; its
// rectangles, of which the bar's is the last.
constexpr jint HUD_LAYERS = 6, HUD_RECTS = 3;
constexpr jint HUD_FRAME = 0, PAUSE_BUTTON_SHOWN = 2, HUD_BAR_FRAME = 3;
constexpr jint PAD_LEFT = 0, PAD_RIGHT = 1;

// The pause panel's boxes in its frame (layer 0): 1 the menu's place, 2 and
// 3 the question's two lines.
constexpr jint PAUSE_MENU_BOX = 1, QUESTION_FIRST_BOX = 2, QUESTION_SECOND_BOX = 3;
// Texts: the labels' placeholder, the question's second line and the story
// board's first text (each level shows its own).
constexpr jint PLACEHOLDER_TEXT = 0, SURE_TEXT = 7, BOARD_FIRST_TEXT = 38;

// Location codes with a background catalogue of their own; 0 and 3 share
// the small one.
constexpr jint AIRPORT = 1, MANSION = 2, PARK = 4, BASE = 5, HOTEL = 6;

// The background decorations, by location code (0 to 6): the first image
// and animation-set resource of the location's decoration packs, and per
// item the pack (added to both) and the frame of its animation set.
constexpr jint kDecorationImages[LevelLoader::LOCATIONS] = {0x2417, 0x1011, 0x1412, 0x2417, 0x1C16, 0x200F, 0x2417};
constexpr jint kDecorationSets[LevelLoader::LOCATIONS] = {0x2406, 0x1005, 0x1405, 0x2406, 0x1C05, 0x2005, 0x2406};
constexpr jint kCatalogue[LevelLoader::LOCATIONS] = {7, 33, 87, 7, 47, 45, 83};
constexpr jint kSmallPacks[7] = {0, 0, 0, 0, 1, 2, 3};
constexpr jint kAirportPacks[33] = {0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 5, 5, 5,
                                    5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 5, 5, 5, 5};
constexpr jint kAirportFrames[33] = {0, 1, 2, 0, 1, 2, 3, 4, 0, 1, 2, 0, 1, 0, 0, 1, 2,
                                     3, 4, 5, 6, 0, 1, 2, 3, 4, 5, 6, 7, 7, 8, 9, 10};
// The other catalogues list their items pack after pack: a run of items per
// pack, whose frames count up from 0 within the run.
constexpr jint kMansionRuns[] = {3, 15, 15, 14, 11, 15, 14};
constexpr jint kParkRuns[] = {3, 8, 8, 6, 6, 5, 11};
constexpr jint kBaseRuns[] = {3, 10, 10, 11, 11};
constexpr jint kHotelRuns[] = {7, 13, 13, 14, 13, 11, 12};

template <size_t N>
constexpr jint runTotal(const jint (&runs)[N]) {
    jint total = 0;
    for (jint n : runs) total += n;
    return total;
}
static_assert(runTotal(kMansionRuns) == 87 && runTotal(kParkRuns) == 47 && runTotal(kBaseRuns) == 45 &&
              runTotal(kHotelRuns) == 83);

// Pack and frame of item `item` of a catalogue given by its runs.
template <size_t N>
void inRuns(const jint (&runs)[N], jint item, jint& pack, jint& frame) {
    pack = 0;
    while (pack < jint(N) - 1 && item >= runs[pack]) item -= runs[pack++];
    frame = item;
}

// Pack offset and frame of item `item` of location c; false for an item
// outside the catalogue.
bool decoration(jint c, jint item, jint& pack, jint& frame) {
    if (c < 0 || c >= LevelLoader::LOCATIONS || item < 0 || item >= kCatalogue[c]) return false;
    switch (c) {
        case AIRPORT:
            pack = kAirportPacks[item];
            frame = kAirportFrames[item];
            return true;
        case MANSION: inRuns(kMansionRuns, item, pack, frame); return true;
        case PARK: inRuns(kParkRuns, item, pack, frame); return true;
        case BASE: inRuns(kBaseRuns, item, pack, frame); return true;
        case HOTEL: inRuns(kHotelRuns, item, pack, frame); return true;
        default:
            pack = kSmallPacks[item];
            frame = kSmallPacks[item];
            return true;
    }
}

}  // namespace

// --- construction ---------------------------------------------------------------------

VMPtr<InGameScene> InGameScene::construct() {
    Super::construct();
    begin(LEVEL_STEPS);
    VMPtr<MyFont> font = MyFont::getInstance();
    font->unloadFont(BODY_FONT);
    font->unloadFont(TITLE_FONT);
    quietOnResume = false;
    return this;
}

VMPtr<InGameScene> InGameScene::construct(jint) {
    Super::construct();
    begin(TUTORIAL_STEPS);
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    sam::SamGameSave::currentLevel = LevelLoader::TUTORIAL_LEVEL;
    VMPtr<MyFont> font = MyFont::getInstance();
    font->unloadFont(BODY_FONT);
    font->unloadFont(TITLE_FONT);
    return this;
}

void InGameScene::begin(jint steps) {
    pointer = nullptr;
    key = nullptr;
    VMPtr<LoadingPage> page = loadingPage;
    page->begin(steps);
    if (pointer == nullptr) pointer = MyPointer::getInstance();
    if (key == nullptr) key = MyKey::getInstance();
    _VM_ensureInitialized(Main::_VM_classRecord);
    VMPtr<com::ventrix::common::Game> save = Main::game;
    gameSave = save != nullptr ? VMPtr<sam::SamGameSave>(dynamic_cast<sam::SamGameSave*>(save.get())) : nullptr;
}

void InGameScene::markReferences(uint32_t bits) {
    Super::markReferences(bits);
    _VM_markRef(interactionItems, bits);
    _VM_markRef(overlayScreenA, bits);
    _VM_markRef(player, bits);
    _VM_markRef(gameSave, bits);
    _VM_markRef(pausePanel, bits);
    _VM_markRef(targetIndicator, bits);
    _VM_markRef(key, bits);
    _VM_markRef(gamePad, bits);
    _VM_markRef(storyBoard, bits);
    _VM_markRef(traps, bits);
    _VM_markRef(spareScreen, bits);
    _VM_markRef(generalPeople, bits);
    _VM_markRef(pointer, bits);
    _VM_markRef(targetItems, bits);
    _VM_markRef(transportItems, bits);
    _VM_markRef(keyItems, bits);
    _VM_markRef(cameraTarget, bits);
    _VM_markRef(overlayScreenB, bits);
    _VM_markRef(disguisedPeople, bits);
    _VM_markRef(camera, bits);
    _VM_markRef(confirmDialog, bits);
    _VM_markRef(levelLoader, bits);
    _VM_markRef(cellLayer, bits);
    _VM_markRef(caughtWord, bits);
}

// --- the stages -------------------------------------------------------------------------

template <typename Step>
void InGameScene::guarded(jint& busy, Step work) {
    if (failed) {
        busy = 0;
        return;
    }
    try {
        work();
    } catch (java::lang::Exception* thrown) {
        VMPtr<java::lang::Exception> keep(thrown);
        VMPtr<String> why = keep->getMessage();
        if (why == nullptr) why = keep->getClass()->getName();
        busy = 0;
        fail(why, false);
    }
}

void InGameScene::loadStage0() {
    guarded(stage0Busy, [this] { loadLevelView(); });
}

void InGameScene::loadStage1() {
    guarded(stage1Busy, [this] { buildLevel(); });
}

void InGameScene::loadStage2() {
    guarded(stage2Busy, [this] { createOverlays(); });
}

void InGameScene::progress() {
    VMPtr<LoadingPage> page = loadingPage;
    page->step();
}

VMPtr<String> InGameScene::text(jint id) {
    VMPtr<ts::util::text::Translation> table = translation;
    if (table == nullptr) {
        VMPtr<MyFont> font = MyFont::getInstance();
        table = font->texts;
    }
    if (table == nullptr) _VM_throwNullPointer();
    return table->getString(id);
}

void InGameScene::fail(VMPtr<String> reason, jboolean printed) {
    failed = true;
    _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
    const jint level = sam::SamGameSave::currentLevel;
    if (!printed) {
        _VM_ensureInitialized(java::lang::System::_VM_classRecord);
        VMPtr<java::lang::StringBuffer> line = java::lang::StringBuffer::create()->construct(VM_STR("Level "));
        line->append(level)->append(VM_STR(" not loaded: "))->append(reason);
        VMPtr<java::io::PrintStream> out = java::lang::System::out;
        out->println(line->toString());
    }
    VMPtr<com::ventrix::utility::SceneManager> manager = sceneManager;
    if (manager != nullptr)
        manager->changeScene(level == LevelLoader::TUTORIAL_LEVEL ? GameScene::MAIN_MENU : GameScene::BROWSE_LEVELS);
}

void InGameScene::loadLevelView() {
    switch (stage0Busy) {
        case STEP_LOADER: {
            VMPtr<LevelLoader> loader = LevelLoader::getInstance();
            if (loader == nullptr)
                _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("no level loader")));
            levelLoader = loader;
            _VM_ensureInitialized(InGameObject::_VM_classRecord);
            InGameObject::levelLoader = loader;
            InGameObject::frozen = false;
            progress();
            stage0Busy = VIEW_STEPS;
            return;
        }
        case STEP_HUD: createHud(); break;
        case STEP_COMPLETE_PANEL: {
            VMPtr<Screen> panel = Screen::create()->construct();
            overlayScreenB = panel;
            panel->setSlotCapacity(OVERLAY_LAYERS);
            panel->setLayer(HUD_LAYER);
            panel->setVisible(false);
            addObject(panel);
            break;
        }
        case STEP_CAUGHT_PANEL: {
            VMPtr<Screen> panel = Screen::create()->construct();
            overlayScreenA = panel;
            panel->setSlotCapacity(OVERLAY_LAYERS);
            panel->setBackgroundColor(0x000000);
            panel->setBackgroundVisible(true);
            panel->setVisible(false);
            panel->setLayer(HUD_LAYER);
            addObject(panel);
            break;
        }
        case STEP_LEVEL_DATA: {
            _VM_ensureInitialized(sam::SamGameSave::_VM_classRecord);
            VMPtr<LevelLoader> loader = levelLoader;
            if (!loader->selectLevel(sam::SamGameSave::currentLevel)) {
                // The loader has printed the level and the reason.
                stage0Busy = 0;
                fail(nullptr, true);
                return;
            }
            break;
        }
        case STEP_TILE_LAYER: createTileLayer(); break;
        case STEP_DECORATIONS: placeDecorations(); break;
        default: break;
    }
    progress();
    stage0Busy -= 1;
}

void InGameScene::createHud() {
    VMPtr<Screen> hud = Screen::create()->construct();
    screen = hud;
    hud->setSlotCapacity(HUD_LAYERS);
    // Room for the fill rectangles the display shows while playing.
    hud->setRectCapacity(HUD_RECTS);
    hud->addFrame(HUD_IMAGE, HUD_SET, HUD_FRAME, 0, 0);
    hud->addAnimation(HUD_IMAGE, HUD_SET, PAUSE_BUTTON_SHOWN, SCREEN_WIDTH, 0);
    hud->addFrame(HUD_IMAGE, HUD_SET, HUD_BAR_FRAME, 0, 0);
    hud->addResource(ICONS);
    hud->addFrame(PAD_IMAGE, PAD_SET, PAD_LEFT, 0, SCREEN_HEIGHT);
    hud->addFrame(PAD_IMAGE, PAD_SET, PAD_RIGHT, SCREEN_WIDTH, SCREEN_HEIGHT);
    // A fresh pad for this scene, and the one the player reads.
    _VM_ensureInitialized(GamePad::_VM_classRecord);
    VMPtr<GamePad> pad = GamePad::create()->construct();
    GamePad::instance = pad;
    gamePad = pad;
    hud->setLayer(HUD_LAYER);
    hud->setVisible(false);
    addObject(hud);
}

void InGameScene::createTileLayer() {
    VMPtr<LevelLoader> loader = levelLoader;
    if (cellLayer == nullptr) {
        viewWidth = SCREEN_WIDTH;
        viewHeight = SCREEN_HEIGHT;
        worldWidth = loader->tileWidth * loader->mapWidth;
        worldHeight = loader->tileHeight * loader->mapHeight;
        if (worldWidth < SCREEN_WIDTH) viewWidth = worldWidth;
        if (worldHeight < SCREEN_HEIGHT) viewHeight = worldHeight;
        VMPtr<ts::CellLayer> layer = ts::CellLayer::createBuffered(viewWidth, viewHeight);
        VMPtr<javax::microedition::lcdui::Image> tiles = ts::Resources::getImage(loader->tileSetImage);
        layer->setMap(tiles, loader->mapWidth, loader->mapHeight, loader->tileWidth, loader->tileHeight);
        VMPtr<VMInts> map = loader->map;
        const jint columns = loader->mapWidth, rows = loader->mapHeight;
        for (jint row = 0; row < rows; ++row)
            for (jint column = 0; column < columns; ++column)
                layer->setCell(column, row, map->get(row * columns + column));
        cellLayer = layer;
    }
    // A new level, or the same one again, starts at the world's corner.
    VMPtr<ts::CellLayer>(cellLayer)->setViewPosition(0, 0);
    InGameObject::setViewSize(3 * viewWidth, 3 * viewHeight);
    InGameObject::setDepthStep(4 * loader->tileHeight);
}

bool InGameScene::backgroundItem(jint location, jint item, jint& image, jint& set, jint& frame) {
    jint pack = 0;
    if (!decoration(location, item, pack, frame)) return false;
    image = kDecorationImages[location] + pack;
    set = kDecorationSets[location] + pack;
    return true;
}

void InGameScene::placeDecorations() {
    VMPtr<LevelLoader> loader = levelLoader;
    VMPtr<ts::CellLayer> layer = cellLayer;
    VMPtr<VMInts> counts = loader->bgItemCount;
    VMPtr<LevelLoader::Groups> items = loader->bgItems;
    jint n = 0;
    for (jint c = 0; counts != nullptr && c < counts->length; ++c) n += (*counts)[c];
    layer->initFixedItems(n, worldWidth < worldHeight);
    for (jint c = 0; items != nullptr && c < items->length && c < LevelLoader::LOCATIONS; ++c) {
        VMPtr<VMIntRows> records = items->get(c);
        if (records == nullptr) continue;
        for (jint k = 0; k < records->length; ++k) {
            VMPtr<VMInts> record = records->get(k);
            if (record == nullptr) continue;
            jint image = 0, sets = 0, frame = 0;
            if (!backgroundItem(c, (*record)[0], image, sets, frame))
                _VM_throw(java::lang::IllegalArgumentException::create()->construct(
                    VM_STR("background item outside its catalogue")));
            ResManager::load(image, sets);
            VMPtr<ts::AnimSet> set = ResManager::animCache->get(ResManager::getSecondIndex());
            if (set == nullptr) _VM_throwNullPointer();
            layer->addFixedItem(set->getFrame(frame), (*record)[1], (*record)[2], 0);
        }
    }
}

void InGameScene::createOverlays() {
    VMPtr<VMInts> work = rect;
    // The pause panel: its frame, the question frame and the two button faces.
    VMPtr<Screen> panel = Screen::create()->construct();
    pausePanel = panel;
    panel->setSlotCapacity(PAUSE_LAYERS);
    panel->addAnimation(PANEL_IMAGE, PANEL_SET, PANEL_OPEN, MIDDLE_X, SCREEN_HEIGHT);
    panel->setVisible(false);
    panel->setLayer(PANEL_LAYER);
    addObject(panel);
    panel->getCollisionRects(PAUSE_FRAME, work, PAUSE_MENU_BOX);
    const jint panelHeight = panel->getSlotHeight(PAUSE_FRAME);
    panel->addFrame(PANEL_IMAGE, PANEL_SET, FACE_PLAIN, MIDDLE_X, (*work)[1] + (*work)[3] / 2 - panelHeight);
    panel->addFrame(PANEL_IMAGE, PANEL_SET, FACE_PLAIN, MIDDLE_X, panel->getSlotY(PAUSE_QUESTION));
    panel->addFrame(PANEL_IMAGE, PANEL_SET, FACE_PLAIN, MIDDLE_X, panel->getSlotY(PAUSE_QUESTION));
    (*work)[1] -= panelHeight;

    // The pause menu.
    VMPtr<MyListMenu> menu = MyListMenu::create()->construct();
    this->panel = menu;
    menu->setListResources(PANEL_IMAGE, PANEL_SET);
    menu->initLabels(1);
    menu->addLabel(text(PLACEHOLDER_TEXT), 0, 0, 10, 10);
    menu->setLabelFont(0, BODY_FONT);
    menu->setBounds((*work)[0], (*work)[1], (*work)[2], (*work)[3]);
    const jint entryIds[] = {MENU_RESUME, MENU_RESTART, MENU_QUIT};
    const jint entryCount = jint(std::size(entryIds));
    menu->setItemCount(entryCount);
    VMPtr<VMInts> entries = VMInts::create(entryCount);
    for (jint i = 0; i < entryCount; ++i) (*entries)[i] = entryIds[i];
    menu->setItems(entries);
    menu->open();
    menu->setActive(true);
    menu->setVisible(false);
    menu->setLayer(MENU_LAYER);
    addObject(menu);

    // The confirmation question: two lines in boxes 2 and 3 of the panel.
    VMPtr<Addon> question = Addon::create()->construct();
    confirmDialog = question;
    question->initLabels(2);
    panel->getCollisionRects(PAUSE_FRAME, work, QUESTION_FIRST_BOX);
    (*work)[1] -= panelHeight;
    question->addLabel(text(PLACEHOLDER_TEXT), (*work)[0], (*work)[1], (*work)[2], (*work)[3]);
    question->setLabelFont(0, BODY_FONT);
    panel->getCollisionRects(PAUSE_FRAME, work, QUESTION_SECOND_BOX);
    (*work)[1] -= panelHeight;
    question->addLabel(text(SURE_TEXT), (*work)[0], (*work)[1], (*work)[2], (*work)[3]);
    question->setLabelFont(1, BODY_FONT);
    question->setLayer(QUESTION_LAYER);
    question->setActive(false);
    question->setVisible(false);
    addObject(question);

    panel->setSlotIndex(PAUSE_FRAME, PANEL_CLOSED);
    confirmOpen = false;

    VMPtr<Addon> word = Addon::create()->construct();
    caughtWord = word;
    word->initLabels(1);
    word->addLabel(text(CAUGHT_TEXT), 0, CAUGHT_WORD_Y, Screen::SCREEN_WIDTH, CAUGHT_WORD_HEIGHT);
    word->setLabelFont(0, TITLE_FONT);
    word->setLayer(CAUGHT_WORD_LAYER);
    word->setActive(false);
    word->setVisible(false);
    addObject(word);

    VMPtr<InGameStoryBoard> board = InGameStoryBoard::create()->construct();
    storyBoard = board;
    board->setText(text(BOARD_FIRST_TEXT));
    board->setScrollable(true);
    // Hidden until a story is shown: the level's own story comes two frames
    // after the level appears, and the box would show this first text until
    // then.
    board->setVisible(false);
    board->setActive(false);
    addObject(board);

    VMPtr<LoadingPage> page = loadingPage;
    page->finish();
}

void InGameScene::paintScene(VMPtr<Graphics> g) {
    VMPtr<ts::CellLayer> layer = cellLayer;
    if (layer == nullptr) return;
    // A level narrower or lower than the screen leaves a strip that nothing
    // of the level draws: it is painted black, so that no picture of an
    // earlier scene stays there.
    const jint screenWidth = LoadingPage::PAGE_WIDTH;
    const jint screenHeight = LoadingPage::PAGE_HEIGHT;
    if (viewWidth < screenWidth || viewHeight < screenHeight) {
        g->setColor(0x000000);
        if (viewWidth < screenWidth) g->fillRect(viewWidth, 0, screenWidth - viewWidth, screenHeight);
        if (viewHeight < screenHeight) g->fillRect(0, viewHeight, viewWidth, screenHeight - viewHeight);
    }
    layer->paint(g);
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::InGameScene, .name = "scene.ingame.InGameScene",
                  .newInstance = _VM_newInstanceOf<scene::ingame::InGameScene>)

// scene.ingame.GamePad: the on-screen pad and the device keys turned into one direction code per frame.
#include "scene_ingame_GamePad.h"

namespace scene::ingame {

using com::ventrix::ui::Screen;
using com::ventrix::utility::MyKey;
using com::ventrix::utility::MyPointer;

namespace {

// The logical key actions of up, down, left, right and action, in the order
// that decides ties.
constexpr jint kActions[5] = {14, 17, 15, 16, 18};
// The pressed code of each of them.
constexpr jint kCodes[5] = {GamePad::UP_PRESSED, GamePad::DOWN_PRESSED, GamePad::LEFT_PRESSED, GamePad::RIGHT_PRESSED,
                            GamePad::ACTION_PRESSED};

}  // namespace

VMStatic<GamePad> GamePad::instance;

VMPtr<GamePad> GamePad::construct() {
    Super::construct();
    myPointer = nullptr;
    myKey = nullptr;
    init();
    return this;
}

VMPtr<GamePad> GamePad::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

void GamePad::init() {
    VMPtr<Screen> images = Screen::create()->construct();
    pad = images;
    images->setSlotCapacity(2);
    images->addFrame(PAD_IMAGE, PAD_SET, 0, 0, Screen::SCREEN_HEIGHT);
    images->addFrame(PAD_IMAGE, PAD_SET, 1, Screen::SCREEN_WIDTH, Screen::SCREEN_HEIGHT);
    if (myPointer == nullptr) myPointer = MyPointer::getInstance();
    VMPtr<VMInts> area = VMInts::create(5);
    (*area)[2] = 1;
    (*area)[3] = 1;
    touchArea = area;
    if (myKey == nullptr) myKey = MyKey::getInstance();
}

jint GamePad::buttonAt(jint x, jint y) {
    VMPtr<VMInts> area = touchArea;
    (*area)[0] = x;
    (*area)[1] = y;
    (*area)[2] = 1;
    (*area)[3] = 1;
    VMPtr<Screen> images = pad;
    const jint left = images->getBoxIdAt(0, area);
    return left != NONE ? left : images->getBoxIdAt(1, area);
}

void GamePad::update() {
    VMPtr<MyPointer> pointer = myPointer;
    if ((*pointer->justReleased)[0]) {
        direction = buttonAt(pointer->getX(0), pointer->getY(0));
        return;
    }
    if ((*pointer->justPressed)[0]) {
        const jint button = buttonAt(pointer->getPressX(0), pointer->getPressY(0));
        direction = button == NONE ? NONE : button + HELD_OFFSET;
        return;
    }
    // A finger kept down holds the button under it, frame after frame; one
    // slid off both pads leaves the keys to decide.
    if ((*pointer->isDown)[0]) {
        const jint button = buttonAt(pointer->getX(0), pointer->getY(0));
        if (button != NONE) {
            direction = button + HELD_OFFSET;
            return;
        }
    }
    VMPtr<MyKey> keys = myKey;
    for (jint i = 0; i < 5; ++i) {
        if (keys->isPressed(kActions[i])) {
            direction = kCodes[i];
            return;
        }
    }
    for (jint i = 0; i < 5; ++i) {
        if (keys->isHeld(kActions[i])) {
            direction = kCodes[i] + HELD_OFFSET;
            return;
        }
    }
    direction = NONE;
}

jint GamePad::getDirection() { return direction; }

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::GamePad, .name = "scene.ingame.GamePad",
                  .newInstance = _VM_newInstanceOf<scene::ingame::GamePad>)

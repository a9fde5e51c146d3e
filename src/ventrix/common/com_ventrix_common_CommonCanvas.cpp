// com.ventrix.common.CommonCanvas: the application's only canvas.
#include "com_ventrix_common_CommonCanvas.h"

#include "com_ventrix_common_Main.h"
#include "com_ventrix_utility_AudioAndVibration.h"

namespace com::ventrix::common {

namespace {

constexpr jint kFrameTime = 40;  // ms

VMPtr<Main> mainInstance() { return Main::getInstance(); }

VMPtr<LevelReceiver> levelLoader() {
    _VM_ensureInitialized(Main::_VM_classRecord);
    return Main::levelLoader;
}

}  // namespace

VMPtr<CommonCanvas> CommonCanvas::construct(VMPtr<javax::microedition::midlet::MIDlet> midlet) {
    Super::construct(midlet);
    return this;
}

void CommonCanvas::tick() {
    if (exiting) return;
    latchInput();
    mainInstance()->tick();
}

void CommonCanvas::paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) {
    if (exiting) return;
    mainInstance()->paint(g);
}

void CommonCanvas::onEvent(jint event) {
    switch (event) {
        case EVENT_START:
            setFrameTime(kFrameTime);
            exiting = false;
            keys = utility::MyKey::getInstance();
            break;
        case EVENT_PAUSE: mainInstance()->pause(); break;
        case EVENT_RESUME: {
            _VM_ensureInitialized(Main::_VM_classRecord);
            Main::offsetDirty = true;
            mainInstance()->resume();
            break;
        }
        case EVENT_EXIT:
            exiting = true;
            utility::AudioAndVibration::getInstance()->close();
            Main::releaseAll();
            break;
        case EVENT_AFTER_RESUME: mainInstance()->afterResume(); break;
        default: break;
    }
    Super::onEvent(event);
}

void CommonCanvas::levelHeader(jint value) { levelLoader()->readFirstLevelField(value); }

void CommonCanvas::levelTileSet(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                                jint tileCount) {
    levelLoader()->setTileSetInfo(value, columns, imageId, tileWidth, tileHeight, option, tileCount);
}

void CommonCanvas::levelTile(jint option, jint tile) { levelLoader()->defineTile(option, tile); }

void CommonCanvas::levelMapSize(jint width, jint height) { levelLoader()->setMapSize(width, height); }

void CommonCanvas::levelMapCell(jint x, jint y, jint tile) { levelLoader()->setMapCell(x, y, tile); }

void CommonCanvas::levelObjectGroup(jint type, jint count) { levelLoader()->beginObjectGroup(type, count); }

void CommonCanvas::levelObject(jint type, jint x, jint y) { levelLoader()->addObject(type, x, y); }

}  // namespace com::ventrix::common

VM_REGISTER_CLASS(com::ventrix::common::CommonCanvas, .name = "com.ventrix.common.CommonCanvas")

// javax.microedition.lcdui.Displayable
#include "javax_microedition_lcdui_Displayable.h"

#include "hal_system.h"
#include "javax_microedition_lcdui_Display.h"

namespace javax::microedition::lcdui {

VMPtr<Displayable> Displayable::construct(HAL_WindowObject* nativePeer) {
    Super::construct();
    _VM_ensureInitialized(Display::_VM_classRecord);
    VMSynchronized lock(Display::displayLock);
    peer = nativePeer;
    return this;
}

VMPtr<java::lang::String> Displayable::getTitle() {
    VMSynchronized lock(Display::displayLock);
    return title;
}

void Displayable::setTitle(VMPtr<java::lang::String> s) {
    VMSynchronized lock(Display::displayLock);
    if (s.target == title.target) return;
    if (title != nullptr && title->equals(s)) return;
    title = s;
    if (s != nullptr) HAL_setTitle(peer, s->_VM_chars(), s->length());
}

jboolean Displayable::isShown() {
    VMSynchronized lock(Display::displayLock);
    VMPtr<Display> display = Display::display;
    return display != nullptr && display->isShown(this);
}

jint Displayable::getWidth() {
    VMSynchronized lock(Display::displayLock);
    int32_t width = 0;
    if (HAL_getDisplayableSize(peer, &width, nullptr) != HAL_OK) HAL_fatalError("HAL_getDisplayableSize() failed.");
    return width;
}

jint Displayable::getHeight() {
    VMSynchronized lock(Display::displayLock);
    int32_t height = 0;
    if (HAL_getDisplayableSize(peer, nullptr, &height) != HAL_OK) HAL_fatalError("HAL_getDisplayableSize() failed.");
    return height;
}

void Displayable::callSizeChanged(jint width, jint height) {
    VMSynchronized lock(Display::eventLock);
    sizeChanged(width, height);
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Displayable, .name = "javax.microedition.lcdui.Displayable",
                  .sourceName = "target/winmo/pb_src/j2me/javax_microedition_lcdui_Displayable", .isAbstract = true)

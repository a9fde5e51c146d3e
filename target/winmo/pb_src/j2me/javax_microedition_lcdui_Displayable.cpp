// javax.microedition.lcdui.Displayable: the abstract base of everything that can be shown.
#include "javax_microedition_lcdui_Displayable.h"

#include "VMThrow.h"
#include "hal_system.h"
#include "hal_window.h"
#include "java_lang_System.h"
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

VMPtr<Ticker> Displayable::getTicker() {
    VMSynchronized lock(Display::displayLock);
    return ticker;
}

void Displayable::setTicker(VMPtr<Ticker> t) {
    VMSynchronized lock(Display::displayLock);
    if (t.target == ticker.target) return;
    ticker = t;
    if (t != nullptr) {
        VMPtr<java::lang::String> text = t->getString();
        HAL_setTicker(peer, text->_VM_chars(), text->length());
    } else {
        HAL_setTicker(peer, nullptr, 0);
    }
}

void Displayable::addCommand(VMPtr<Command> c) {
    if (c == nullptr) _VM_throwNullPointer();
    VMSynchronized lock(Display::displayLock);
    addToCommandList(c);
    HAL_addCommand(peer, c->peer);
}

void Displayable::removeCommand(VMPtr<Command> c) {
    VMSynchronized lock(Display::displayLock);
    if (removeFromCommandList(c) != -1) HAL_removeCommand(peer, c->peer);
}

void Displayable::setCommandListener(VMPtr<CommandListener> l) {
    VMSynchronized lock(Display::displayLock);
    commandListener = l;
}

jint Displayable::addToCommandList(VMPtr<Command> c) {
    VMPtr<VMArray<Command, 1>> list = commands;
    for (jint i = 0; i < commandCount; ++i)
        if (list->get(i) == c.target) return -1;
    if (list == nullptr || commandCount == list->length) {
        VMPtr<VMArray<Command, 1>> grown = VMArray<Command, 1>::create(commandCount + 4);
        if (list != nullptr) java::lang::System::arraycopy(list, 0, grown, 0, commandCount);
        commands = grown;
        list = grown;
    }
    list->set(commandCount, c);
    commandCount += 1;
    return commandCount - 1;
}

jint Displayable::removeFromCommandList(VMPtr<Command> c) {
    VMPtr<VMArray<Command, 1>> list = commands;
    for (jint i = 0; i < commandCount; ++i) {
        if (list->get(i) != c.target) continue;
        commandCount -= 1;
        list->set(i, list->get(commandCount));
        list->set(commandCount, static_cast<Command*>(nullptr));
        return i;
    }
    return -1;
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
                  .isAbstract = true)

// javax.microedition.lcdui.Command: a command and its native soft-key peer.
#include "javax_microedition_lcdui_Command.h"

#include "hal_command.h"
#include "hal_system.h"

namespace javax::microedition::lcdui {

Command::~Command() {
    if (peer != nullptr) {
        HAL_deleteCommand(peer);
        peer = nullptr;
    }
}

VMPtr<Command> Command::construct(VMPtr<java::lang::String> text, jint type, jint order) {
    return construct(text, nullptr, type, order);
}

VMPtr<Command> Command::construct(VMPtr<java::lang::String> text, VMPtr<java::lang::String> longText, jint type,
                                  jint order) {
    Super::construct();
    if (type < SCREEN || type > ITEM) _VM_throwIllegalArgumentException();
    priority = order;
    commandType = type;
    if (text == nullptr) _VM_throwNullPointer();
    label = text;
    longLabel = longText;
    if (HAL_createCommand(&peer, text->_VM_chars(), text->length(), type, order) != HAL_OK)
        HAL_fatalError("HAL_createCommand() failed.");
    return this;
}

VMPtr<java::lang::String> Command::getLabel() { return label; }

VMPtr<java::lang::String> Command::getLongLabel() { return longLabel; }

jint Command::getCommandType() { return commandType; }

jint Command::getPriority() { return priority; }

intptr_t Command::_VM_platformId() const { return HAL_getCommandId(peer); }

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Command, .name = "javax.microedition.lcdui.Command")

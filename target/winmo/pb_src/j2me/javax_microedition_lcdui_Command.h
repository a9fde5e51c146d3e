// javax.microedition.lcdui.Command: a command's label, long label, type and
// priority, with the native soft-key peer a displayable shows for it. The
// peer's address is the command's platform id in command events.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"

struct HAL_Command;

namespace javax::microedition::lcdui {

class Command : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Command, java::lang::Object)

public:
    static constexpr jint SCREEN = 1;
    static constexpr jint BACK = 2;
    static constexpr jint CANCEL = 3;
    static constexpr jint OK = 4;
    static constexpr jint HELP = 5;
    static constexpr jint STOP = 6;
    static constexpr jint EXIT = 7;
    static constexpr jint ITEM = 8;

    VMField<java::lang::String> label;      // never null
    VMField<java::lang::String> longLabel;  // may be null
    jint commandType = 0;                   // 1 to 8
    jint priority = 0;
    HAL_Command* peer = nullptr;

    ~Command() override;

    // IllegalArgumentException for a type outside 1 to 8,
    // NullPointerException for a null label, both before any peer is made;
    // a peer that cannot be made is a fatal stop.
    VMPtr<Command> construct(VMPtr<java::lang::String> label, jint commandType, jint priority);
    VMPtr<Command> construct(VMPtr<java::lang::String> label, VMPtr<java::lang::String> longLabel, jint commandType,
                             jint priority);

    virtual VMPtr<java::lang::String> getLabel();
    virtual VMPtr<java::lang::String> getLongLabel();
    virtual jint getCommandType();
    virtual jint getPriority();

    // The platform id of command events for this command.
    intptr_t _VM_platformId() const;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(label, bits);
        _VM_markRef(longLabel, bits);
    }
};

}  // namespace javax::microedition::lcdui

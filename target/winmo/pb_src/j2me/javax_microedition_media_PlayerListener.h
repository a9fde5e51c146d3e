// javax.microedition.media.PlayerListener: told of a player's events.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"

namespace javax::microedition::media {

class Player;

class PlayerListener : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(PlayerListener)

public:
    virtual void playerUpdate(VMPtr<Player> player, VMPtr<java::lang::String> event,
                              VMPtr<java::lang::Object> eventData) = 0;
};

}  // namespace javax::microedition::media

// global.GameScene: the game's scene ids. Constants only, used as literal numbers.
#pragma once

#include "VM.h"

namespace global {

class GameScene : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(GameScene)
};

}  // namespace global

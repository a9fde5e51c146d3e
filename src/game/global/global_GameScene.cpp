// global.GameScene: the game's scene ids.
#include "global_GameScene.h"

VM_REGISTER_CLASS(global::GameScene, .name = "global.GameScene", .isInterface = true, .isAbstract = true)

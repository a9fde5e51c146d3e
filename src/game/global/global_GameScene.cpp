// global.GameScene
#include "global_GameScene.h"

VM_REGISTER_CLASS(global::GameScene, .name = "global.GameScene", .sourceName = "src/game/global/global_GameScene", .isInterface = true,
                  .isAbstract = true)

// scene.ingame.LevelLoader
#include "scene_ingame_LevelLoader.h"

#include "com_ventrix_common_Main.h"

namespace scene::ingame {

VMPtr<LevelLoader> LevelLoader::construct() {
    Super::construct();
    _VM_ensureInitialized(com::ventrix::common::Main::_VM_classRecord);
    canvas = com::ventrix::common::Main::canvas;
    return this;
}

}  // namespace scene::ingame

VM_REGISTER_CLASS(scene::ingame::LevelLoader, .name = "scene.ingame.LevelLoader",
                  .newInstance = _VM_newInstanceOf<scene::ingame::LevelLoader>)

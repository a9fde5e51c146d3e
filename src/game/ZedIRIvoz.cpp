// ZedIRIvoz: the game's application class, named in the application's properties.
#include "ZedIRIvoz.h"

#include "global_GameScene.h"
#include "sam_SamSceneManager.h"

VMPtr<ZedIRIvoz> ZedIRIvoz::construct() {
    Super::construct();
    return this;
}

void ZedIRIvoz::createSceneManager() {
    VMPtr<sam::SamSceneManager> manager = sam::SamSceneManager::create()->construct();
    VMPtr<com::ventrix::common::Main> controller = main;
    controller->setSceneManager(manager);
    manager->changeScene(global::GameScene::LOGO);
}

VM_REGISTER_CLASS(ZedIRIvoz, .name = "ZedIRIvoz", .newInstance = _VM_newInstanceOf<ZedIRIvoz>)

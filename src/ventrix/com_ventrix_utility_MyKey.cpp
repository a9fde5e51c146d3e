// com.ventrix.utility.MyKey
#include "com_ventrix_utility_MyKey.h"

#include "com_ventrix_common_Main.h"

namespace com::ventrix::utility {

VMStatic<MyKey> MyKey::instance;

void MyKey::_VM_clinit() { instance = nullptr; }

VMPtr<MyKey> MyKey::construct() {
    Super::construct();
    _VM_ensureInitialized(common::Main::_VM_classRecord);
    canvas = common::Main::canvas;
    return this;
}

VMPtr<MyKey> MyKey::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::MyKey, .name = "com.ventrix.utility.MyKey",
                  .staticInit = com::ventrix::utility::MyKey::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::MyKey>)

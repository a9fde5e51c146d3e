// com.ventrix.utility.MyObject
#include "com_ventrix_utility_MyObject.h"

#include "com_ventrix_common_Main.h"

namespace com::ventrix::utility {

jint MyObject::frameTime = 0;
VMStatic<ts::TsCanvas> MyObject::canvas;

VMPtr<MyObject> MyObject::construct() {
    Super::construct();
    layer = 0;
    if (canvas == nullptr) {
        _VM_ensureInitialized(common::Main::_VM_classRecord);
        canvas = common::Main::canvas;
    }
    suspended = false;
    shown = false;
    enabled = true;
    return this;
}

void MyObject::updateIfActive(jint a, jint b) {
    if (!suspended) update(a, b);
}

void MyObject::handleInput(jint, jint) {}
void MyObject::setEnabled(jboolean value) { enabled = value; }
void MyObject::setId(jint value) { id = value; }
jboolean MyObject::isShown() { return shown; }
jint MyObject::getLayer() { return layer; }
void MyObject::setSuspended(jboolean value) { suspended = value; }
jboolean MyObject::isEnabled() { return enabled; }
jboolean MyObject::isSuspended() { return suspended; }
void MyObject::setLayer(jint value) { layer = value; }
void MyObject::setShown(jboolean value) { shown = value; }
jint MyObject::getId() { return id; }

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::MyObject, .name = "com.ventrix.utility.MyObject", .isAbstract = true)

// com.ventrix.utility.MyObject: the base of everything a scene holds in its object table.
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
    active = false;
    visible = true;
    return this;
}

void MyObject::updateIfActive(jint a, jint b) {
    if (!suspended) update(a, b);
}

void MyObject::handleInput(jint, jint) {}
void MyObject::setVisible(jboolean value) { visible = value; }
void MyObject::setId(jint value) { id = value; }
jboolean MyObject::isActive() { return active; }
jint MyObject::getLayer() { return layer; }
void MyObject::setSuspended(jboolean value) { suspended = value; }
jboolean MyObject::isVisible() { return visible; }
jboolean MyObject::isSuspended() { return suspended; }
void MyObject::setLayer(jint value) { layer = value; }
void MyObject::setActive(jboolean value) { active = value; }
jint MyObject::getId() { return id; }

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::MyObject, .name = "com.ventrix.utility.MyObject", .isAbstract = true)

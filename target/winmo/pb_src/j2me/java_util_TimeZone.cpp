// java.util.TimeZone: an offset from UTC.
#include "java_util_TimeZone.h"

#include "com_tarsel_sorrel_cldc_util_TimeZonePimpl.h"

namespace java::util {

using com::tarsel::sorrel::cldc::util::TimeZonePimpl;

VMPtr<TimeZone> TimeZone::construct() {
    Super::construct();
    return this;
}

VMPtr<java::lang::String> TimeZone::getID() { return nullptr; }

VMPtr<TimeZone> TimeZone::getDefault() {
    _VM_ensureInitialized(_VM_classRecord);
    VMSynchronized lock(static_cast<java::lang::Object*>(_VM_classRecord));
    return TimeZonePimpl::lookup(nullptr);
}

VMPtr<TimeZone> TimeZone::getTimeZone(VMPtr<java::lang::String> ID) {
    _VM_ensureInitialized(_VM_classRecord);
    if (ID == nullptr) _VM_throwNullPointer();
    VMSynchronized lock(static_cast<java::lang::Object*>(_VM_classRecord));
    VMPtr<TimeZone> zone = TimeZonePimpl::lookup(ID);
    if (zone == nullptr) zone = TimeZonePimpl::parseCustom(ID);
    if (zone == nullptr) zone = TimeZonePimpl::lookup(VM_STR("GMT"));
    return zone;
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::TimeZone, .name = "java.util.TimeZone", .isAbstract = true)

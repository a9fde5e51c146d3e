// com.tarsel.sorrel.cldc.util.TimeZoneUTC: a zone at a fixed offset from UTC, without daylight-saving time.
#include "com_tarsel_sorrel_cldc_util_TimeZoneUTC.h"

namespace com::tarsel::sorrel::cldc::util {

VMPtr<TimeZoneUTC> TimeZoneUTC::construct(jint offset, VMPtr<java::lang::String> id) {
    Super::construct();
    rawOffset = offset;
    ID = id;
    return this;
}

jint TimeZoneUTC::getOffset(jint, jint, jint, jint, jint, jint) { return rawOffset; }

jint TimeZoneUTC::getRawOffset() { return rawOffset; }

jboolean TimeZoneUTC::useDaylightTime() { return false; }

VMPtr<java::lang::String> TimeZoneUTC::getID() { return ID; }

}  // namespace com::tarsel::sorrel::cldc::util

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::util::TimeZoneUTC, .name = "com.tarsel.sorrel.cldc.util.TimeZoneUTC")

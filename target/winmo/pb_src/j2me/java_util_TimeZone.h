// java.util.TimeZone: an offset from UTC. The zones themselves, and the
// list of known ones, are com.tarsel.sorrel.cldc.util.TimeZoneUTC and
// TimeZonePimpl.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"

namespace java::util {

class TimeZone : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(TimeZone, java::lang::Object)

public:
    VMPtr<TimeZone> construct();

    // The offset from UTC in milliseconds (east positive) at that local date
    // and time of day.
    virtual jint getOffset(jint era, jint year, jint month, jint day, jint dayOfWeek, jint millis) = 0;
    virtual jint getRawOffset() = 0;
    virtual jboolean useDaylightTime() = 0;
    // Null in this base class.
    virtual VMPtr<java::lang::String> getID();

    // The phone's zone (ID "GMT+hh:mm").
    static VMPtr<TimeZone> getDefault();
    // The known zone of that ID ("UTC", "GMT", the default's), else a zone
    // parsed from a custom ID ("GMT+5:30", "UTC-08"), else "GMT".
    // NullPointerException for null.
    static VMPtr<TimeZone> getTimeZone(VMPtr<java::lang::String> ID);
};

}  // namespace java::util

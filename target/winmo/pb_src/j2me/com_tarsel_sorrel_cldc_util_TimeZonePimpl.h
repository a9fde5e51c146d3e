// com.tarsel.sorrel.cldc.util.TimeZonePimpl: the list of known zones (the
// phone's, "UTC", "GMT") and the parser of custom zone IDs.
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "java_util_TimeZone.h"

namespace com::tarsel::sorrel::cldc::util {

class TimeZonePimpl : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(TimeZonePimpl, java::lang::Object)

public:
    // Runtime event that makes the phone's zone be read again.
    static const jint ZONE_CHANGED_EVENT;

    static VMStatic<java::lang::String> defaultID;
    static VMStatic<VMArray<java::util::TimeZone, 1>> zones;  // [0] the phone's, [1] "UTC", [2] "GMT"

    static void _VM_clinit();

    // The known zone of that ID (null: the default ID), or null.
    static VMPtr<java::util::TimeZone> lookup(VMPtr<java::lang::String> ID);
    // "GMT+hh:mm" or "GMT-hh:mm" ("UTC..." when utc) for an offset in ms.
    static VMPtr<java::lang::String> makeID(jboolean utc, jint offset);
    // A new zone for a custom ID such as "GMT+5:30", or null when the ID is
    // not one.
    static VMPtr<java::util::TimeZone> parseCustom(VMPtr<java::lang::String> ID);
    // The offset of a custom ID in milliseconds; false when it is not one.
    static bool _VM_parseCustomOffset(const jchar* chars, jint length, jint* offset);
    // The phone's offset from UTC now, in milliseconds (0 when unknown).
    static jint _VM_phoneOffset();
    // Builds the default ID and the phone's zone from the phone's offset.
    static void _VM_readPhoneZone();
};

}  // namespace com::tarsel::sorrel::cldc::util

// com.tarsel.sorrel.cldc.util.TimeZoneUTC: a zone at a fixed offset from
// UTC, without daylight-saving time.
#pragma once

#include "java_util_TimeZone.h"

namespace com::tarsel::sorrel::cldc::util {

class TimeZoneUTC : public java::util::TimeZone {
    VM_DECLARE_CLASS(TimeZoneUTC, java::util::TimeZone)

public:
    VMField<java::lang::String> ID;
    jint rawOffset = 0;  // milliseconds east of UTC

    VMPtr<TimeZoneUTC> construct(jint offset, VMPtr<java::lang::String> id);

    // The raw offset, whatever the date.
    jint getOffset(jint era, jint year, jint month, jint day, jint dayOfWeek, jint millis) override;
    jint getRawOffset() override;
    jboolean useDaylightTime() override;
    VMPtr<java::lang::String> getID() override;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(ID, bits);
    }
};

}  // namespace com::tarsel::sorrel::cldc::util

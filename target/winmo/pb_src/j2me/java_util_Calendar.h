// java.util.Calendar: an instant and its calendar fields in a time zone,
// kept consistent lazily: set() invalidates the instant, which the next
// read of the instant or of a field recomputes from the fields, and then the
// fields from it; setting the instant or the zone recomputes the fields.
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "java_util_Date.h"
#include "java_util_TimeZone.h"

namespace java::util {

class Calendar : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(Calendar, java::lang::Object)

public:
    static constexpr jint ERA = 0;
    static constexpr jint YEAR = 1;
    static constexpr jint MONTH = 2;
    static constexpr jint DATE = 5;
    static constexpr jint DAY_OF_MONTH = 5;
    static constexpr jint DAY_OF_WEEK = 7;
    static constexpr jint AM_PM = 9;
    static constexpr jint HOUR = 10;
    static constexpr jint HOUR_OF_DAY = 11;
    static constexpr jint MINUTE = 12;
    static constexpr jint SECOND = 13;
    static constexpr jint MILLISECOND = 14;
    static constexpr jint FIELD_COUNT = 15;

    static constexpr jint SUNDAY = 1, MONDAY = 2, TUESDAY = 3, WEDNESDAY = 4, THURSDAY = 5, FRIDAY = 6, SATURDAY = 7;
    static constexpr jint JANUARY = 0, FEBRUARY = 1, MARCH = 2, APRIL = 3, MAY = 4, JUNE = 5, JULY = 6, AUGUST = 7,
                          SEPTEMBER = 8, OCTOBER = 9, NOVEMBER = 10, DECEMBER = 11;
    static constexpr jint AM = 0, PM = 1;

    VMField<VMArray<jint, 1>> fields;
    VMField<VMArray<jboolean, 1>> isSet;
    jlong time = 0;  // milliseconds since 1970-01-01 00:00 UTC
    jboolean timeValid = false;
    VMField<TimeZone> zone;
    VMField<Date> date;  // the Date getTime() hands out, made on first use

    // The fields and the default zone ("Could not find default timezone."
    // as a RuntimeException when there is none), set to the current time.
    VMPtr<Calendar> construct();
    // A new calendar of the Gregorian kind in the default zone.
    static VMPtr<Calendar> getInstance();

    virtual jlong getTimeInMillis();
    virtual void setTimeInMillis(jlong millis);
    virtual void computeFields() = 0;
    virtual void computeTime() = 0;

    // The field's value, normalised: when a field has been set since the
    // instant was last computed, the instant and then every field are
    // computed first. ArrayIndexOutOfBoundsException for a
    // field number outside 0 to 14 (also for set).
    jint get(jint field);
    void set(jint field, jint value);
    // The one Date of this calendar, set to the calendar's instant.
    VMPtr<Date> getTime();
    VMPtr<TimeZone> getTimeZone();
    void setTimeZone(VMPtr<TimeZone> value);
    jboolean equals(VMPtr<java::lang::Object> obj) override;

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(fields, bits);
        _VM_markRef(isSet, bits);
        _VM_markRef(zone, bits);
        _VM_markRef(date, bits);
    }
};

}  // namespace java::util

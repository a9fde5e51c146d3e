// java.util.Date: an instant, kept by a calendar of its own.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"

namespace java::util {

class Calendar;

class Date : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Date, java::lang::Object)

public:
    VMField<Calendar> calendar;

    // The current time.
    VMPtr<Date> construct();
    // Milliseconds since 1970-01-01 00:00 UTC.
    VMPtr<Date> construct(jlong date);

    virtual jlong getTime();
    virtual void setTime(jlong time);
    jboolean equals(VMPtr<java::lang::Object> obj) override;
    jint hashCode() override;
    // "Thu Jan 01 00:00:00 GMT+00:00 1970" in the default zone.
    VMPtr<java::lang::String> toString() override;

    void markReferences(uint32_t bits) override;
};

}  // namespace java::util

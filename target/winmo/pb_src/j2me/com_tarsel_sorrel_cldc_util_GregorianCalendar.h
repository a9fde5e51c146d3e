// com.tarsel.sorrel.cldc.util.GregorianCalendar: the calendar of
// java.util.Calendar.getInstance. Julian before the Gregorian cutover of
// 1582-10-15, Gregorian from it on; years before 1 are ERA 0 (BC).
#pragma once

#include "java_util_Calendar.h"

namespace com::tarsel::sorrel::cldc::util {

class GregorianCalendar : public java::util::Calendar {
    VM_DECLARE_CLASS(GregorianCalendar, java::util::Calendar)

public:
    // The first instant of the Gregorian calendar, 1582-10-15 00:00.
    static constexpr jlong CUTOVER = -12219292800000LL;

    VMPtr<GregorianCalendar> construct();

    void computeFields() override;
    void computeTime() override;

    // The date fields (ERA, YEAR, MONTH, DAY_OF_MONTH, DAY_OF_WEEK) of a
    // local millisecond count.
    void _VM_computeDateFields(jlong local);
};

}  // namespace com::tarsel::sorrel::cldc::util

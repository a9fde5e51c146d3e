// com.tarsel.sorrel.cldc.util.GregorianCalendar: the calendar of java.util.Calendar.getInstance.
#include "com_tarsel_sorrel_cldc_util_GregorianCalendar.h"

#include <cstdint>
#include <limits>

#include "java_util_TimeZone.h"

namespace com::tarsel::sorrel::cldc::util {

namespace {

using java::util::Calendar;

constexpr jlong kDayMillis = 86400000;

constexpr jint kMonthStart[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

jlong floorDiv(jlong a, jlong b) {
    jlong q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

jlong floorMod(jlong a, jlong b) { return a - floorDiv(a, b) * b; }

// Sums that stop at the ends of the 64-bit range instead of wrapping.
jlong saturatingAdd(jlong a, jlong b) {
    jlong sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<jlong>::max() : std::numeric_limits<jlong>::min();
    return sum;
}

// Java's wrapping arithmetic on 64-bit values.
jlong wrapAdd(jlong a, jlong b) { return jlong(uint64_t(a) + uint64_t(b)); }
jlong wrapMul(jlong a, jlong b) { return jlong(uint64_t(a) * uint64_t(b)); }

bool isGregorianLeap(jlong year) {
    return floorMod(year, 4) == 0 && (floorMod(year, 100) != 0 || floorMod(year, 400) == 0);
}

// The Julian day number of a date (year as astronomers count it: 0 is 1 BC;
// month 0 to 11) in either calendar.
jlong julianDay(jlong year, jint month, jlong dayOfMonth, bool gregorian) {
    const bool leap = gregorian ? isGregorianLeap(year) : floorMod(year, 4) == 0;
    const jlong y = year - 1;
    jlong jd = y * 365 + floorDiv(y, 4) + 1721423 + kMonthStart[leap][month];
    if (gregorian) jd += floorDiv(y, 400) - floorDiv(y, 100) + 2;
    return wrapAdd(jd, dayOfMonth);
}

}  // namespace

VMPtr<GregorianCalendar> GregorianCalendar::construct() {
    Super::construct();
    return this;
}

void GregorianCalendar::_VM_computeDateFields(jlong local) {
    const jlong day = floorDiv(local, kDayMillis);
    jlong year;
    jlong dayOfYear;
    bool leap;
    if (local < CUTOVER) {
        year = floorDiv(4 * (day + 719530), 1461);
        dayOfYear = day + 719164 - 365 * year - floorDiv(year - 1, 4) + 365;
        leap = floorMod(year, 4) == 0;
    } else {
        const jlong d = day + 719162;
        const jlong q400 = floorDiv(d, 146097);
        const jlong d400 = floorMod(d, 146097);
        const jlong q100 = d400 / 36524;
        const jlong d100 = d400 % 36524;
        const jlong q4 = d100 / 1461;
        const jlong d4 = d100 % 1461;
        const jlong q1 = d4 / 365;
        const jlong d1 = d4 % 365;
        year = ((q400 * 4 + q100) * 25 + q4) * 4 + q1;
        if (q100 == 4 || q1 == 4) {
            dayOfYear = 365;
        } else {
            ++year;
            dayOfYear = d1;
        }
        leap = isGregorianLeap(year);
    }
    const jlong c = dayOfYear < (leap ? 60 : 59) ? 0 : (leap ? 1 : 2);
    const jint month = jint(((dayOfYear + c) * 12 + 6) / 367);
    VMArray<jint, 1>& f = *fields;
    f[DAY_OF_MONTH] = jint(dayOfYear - kMonthStart[leap][month] + 1);
    f[DAY_OF_WEEK] = jint(floorMod(day + 719163, 7) + 1);
    if (year < 1) {
        f[ERA] = 0;
        f[YEAR] = jint(1 - year);
    } else {
        f[ERA] = 1;
        f[YEAR] = jint(year);
    }
    f[MONTH] = month;
}

void GregorianCalendar::computeFields() {
    VMPtr<java::util::TimeZone> z = zone;
    const jint raw = z->getRawOffset();
    const jlong local = saturatingAdd(time, raw);
    _VM_computeDateFields(local);
    VMArray<jint, 1>& f = *fields;
    jlong ms = floorMod(local, kDayMillis);
    const jint offset = z->getOffset(f[ERA], f[YEAR], f[MONTH], f[DAY_OF_MONTH], f[DAY_OF_WEEK], jint(ms));
    const jlong shift = jlong(offset) - raw;
    ms += shift;
    if (ms >= kDayMillis || ms < 0) {
        // The zone's own offset for that day moves the time into another day.
        ms = floorMod(ms, kDayMillis);
        _VM_computeDateFields(saturatingAdd(local, shift));
    }
    f[MILLISECOND] = jint(ms % 1000);
    f[SECOND] = jint((ms / 1000) % 60);
    f[MINUTE] = jint((ms / 60000) % 60);
    f[HOUR_OF_DAY] = jint(ms / 3600000);
    f[AM_PM] = f[HOUR_OF_DAY] / 12;
    f[HOUR] = f[HOUR_OF_DAY] % 12;
}

void GregorianCalendar::computeTime() {
    VMArray<jint, 1>& f = *fields;
    VMArray<jboolean, 1>& given = *isSet;

    // The hour fields: the last one set decides.
    if (given[HOUR_OF_DAY]) {
        f[HOUR_OF_DAY] %= 24;
        f[AM_PM] = f[HOUR_OF_DAY] < 12 ? AM : PM;
    } else if (given[AM_PM] && f[AM_PM] != AM && f[AM_PM] != PM) {
        f[AM_PM] = f[HOUR_OF_DAY] < 12 ? AM : PM;
    }
    if (given[HOUR]) {
        const jint hour = f[HOUR];
        if (hour < 13) {
            f[HOUR_OF_DAY] = f[AM_PM] == PM ? hour + 12 : hour;
        } else {
            f[HOUR_OF_DAY] = hour % 12 + 12;
            f[HOUR] = hour % 12;
            f[AM_PM] = PM;
        }
    }
    given[HOUR_OF_DAY] = false;
    given[AM_PM] = false;
    given[HOUR] = false;

    // The year as astronomers count it (ERA 0 is BC: YEAR 1 there is year 0),
    // with whole years out of an out-of-range month.
    jlong year = f[ERA] == 0 ? 1 - jlong(f[YEAR]) : jlong(f[YEAR]);
    jlong month = f[MONTH];
    year += floorDiv(month, 12);
    month = floorMod(month, 12);

    const jlong timeOfDay =
        wrapAdd(wrapMul(wrapAdd(wrapMul(wrapAdd(wrapMul(f[HOUR_OF_DAY], 60), f[MINUTE]), 60), f[SECOND]), 1000),
                f[MILLISECOND]);
    auto localMillis = [&](bool gregorian) {
        return wrapAdd(wrapMul(julianDay(year, jint(month), f[DAY_OF_MONTH], gregorian) - 2440588, kDayMillis),
                       timeOfDay);
    };
    bool gregorian = year > 1581;
    jlong jd = julianDay(year, jint(month), f[DAY_OF_MONTH], gregorian);
    jlong millis = localMillis(gregorian);
    if (gregorian != (millis >= CUTOVER)) {
        gregorian = !gregorian;
        jd = julianDay(year, jint(month), f[DAY_OF_MONTH], gregorian);
        millis = localMillis(gregorian);
    }

    const jint dayOfWeek = jint(floorMod(jd + 1, 7) + 1);
    const jint offset =
        zone->getOffset(f[ERA], f[YEAR], f[MONTH], f[DAY_OF_MONTH], dayOfWeek, jint(floorMod(millis, kDayMillis)));
    time = wrapAdd(millis, -jlong(offset));
}

}  // namespace com::tarsel::sorrel::cldc::util

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::util::GregorianCalendar,
                  .name = "com.tarsel.sorrel.cldc.util.GregorianCalendar",
                  .newInstance = _VM_newInstanceOf<com::tarsel::sorrel::cldc::util::GregorianCalendar>)

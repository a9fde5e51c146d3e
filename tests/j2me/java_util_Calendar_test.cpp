// java.util.Calendar, Date and TimeZone: fields from instants against the
// C++ calendar, the Julian calendar before the cutover and the eras, the
// hour fields, the custom zone IDs, the phone's zone and Date's text.
#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "com_tarsel_sorrel_cldc_util_GregorianCalendar.h"
#include "com_tarsel_sorrel_cldc_util_TimeZonePimpl.h"
#include "host_support.h"
#include "java_util_Calendar.h"
#include "java_util_Date.h"
#include "java_lang_System.h"
#include "java_util_TimeZone.h"
#include "vm_test.h"

using java::lang::String;
using java::util::Calendar;
using java::util::Date;
using java::util::TimeZone;

namespace {

constexpr jlong kDay = 86400000;

// Points the host's zone at TZ for the test's run and tells the runtime the
// zone changed (event 4); puts the old zone back afterwards.
class HostZone {
public:
    explicit HostZone(const char* tz) : zone_(std::in_place, "TZ", tz) { changed(); }
    ~HostZone() {
        zone_.reset();
        changed();
    }
    static void changed() {
        ::tzset();
        _VM_ensureInitialized(com::tarsel::sorrel::cldc::util::TimeZonePimpl::_VM_classRecord);
        _VM_dispatchEvent(com::tarsel::sorrel::cldc::util::TimeZonePimpl::ZONE_CHANGED_EVENT, 0, nullptr);
    }

private:
    std::optional<ScopedEnv> zone_;
};

class CalendarTest : public VMTest {
protected:
    static VMPtr<TimeZone> zone(const char* id) { return TimeZone::getTimeZone(String::_VM_fromUTF8(id)); }
    static VMPtr<Calendar> at(jlong millis, const char* id = "GMT") {
        VMPtr<Calendar> c = Calendar::getInstance();
        c->setTimeZone(zone(id));
        c->setTimeInMillis(millis);
        return c;
    }
    // "ERA YEAR-MONTH-DAY HH:MM:SS.mmm wDAY_OF_WEEK", months 1-based.
    static std::string fields(const VMPtr<Calendar>& c) {
        char text[96];
        std::snprintf(text, sizeof text, "%s %04d-%02d-%02d %02d:%02d:%02d.%03d w%d",
                      c->get(Calendar::ERA) ? "AD" : "BC", c->get(Calendar::YEAR), c->get(Calendar::MONTH) + 1,
                      c->get(Calendar::DAY_OF_MONTH), c->get(Calendar::HOUR_OF_DAY), c->get(Calendar::MINUTE),
                      c->get(Calendar::SECOND), c->get(Calendar::MILLISECOND), c->get(Calendar::DAY_OF_WEEK));
        return text;
    }
};

TEST_F(CalendarTest, FieldsAgreeWithTheGregorianCalendarAfterTheCutover) {
    using namespace std::chrono;
    // A spread of instants from 1582 to far ahead, both signs of the epoch.
    uint64_t x = 12345;
    for (int i = 0; i < 400; ++i) {
        x = x * 6364136223846793005ULL + 1442695040888963407ULL;
        const jlong span = 400LL * 365 * kDay * 10;
        const jlong millis = com::tarsel::sorrel::cldc::util::GregorianCalendar::CUTOVER + jlong(x % uint64_t(span));
        VMPtr<Calendar> c = at(millis);
        const sys_days day{days{millis >= 0 ? millis / kDay : -((-millis + kDay - 1) / kDay)}};
        const year_month_day ymd{day};
        const jlong ms = millis - day.time_since_epoch().count() * kDay;
        SCOPED_TRACE(millis);
        EXPECT_EQ(c->get(Calendar::YEAR), int(ymd.year()));
        EXPECT_EQ(c->get(Calendar::MONTH) + 1, int(unsigned(ymd.month())));
        EXPECT_EQ(c->get(Calendar::DAY_OF_MONTH), int(unsigned(ymd.day())));
        EXPECT_EQ(c->get(Calendar::DAY_OF_WEEK), int(weekday{day}.c_encoding()) + 1);
        EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), ms / 3600000);
        EXPECT_EQ(c->get(Calendar::MINUTE), ms / 60000 % 60);
        EXPECT_EQ(c->get(Calendar::SECOND), ms / 1000 % 60);
        EXPECT_EQ(c->get(Calendar::MILLISECOND), ms % 1000);
        EXPECT_EQ(c->get(Calendar::ERA), 1);
        // And back: the same fields give the same instant.
        VMPtr<Calendar> back = at(0);
        for (jint f : {Calendar::YEAR, Calendar::MONTH, Calendar::DAY_OF_MONTH, Calendar::HOUR_OF_DAY, Calendar::MINUTE,
                       Calendar::SECOND, Calendar::MILLISECOND})
            back->set(f, c->get(f));
        EXPECT_EQ(back->getTimeInMillis(), millis);
    }
}

TEST_F(CalendarTest, CutoverErasAndTheJulianCalendar) {
    const jlong cutover = com::tarsel::sorrel::cldc::util::GregorianCalendar::CUTOVER;
    struct Case {
        jlong millis;
        const char* fields;
    };
    const Case cases[] = {
        {0, "AD 1970-01-01 00:00:00.000 w5"},
        {cutover, "AD 1582-10-15 00:00:00.000 w6"},
        {cutover - 1, "AD 1582-10-04 23:59:59.999 w5"},        // Julian, the day before
        {-62135769600001LL, "BC 0001-12-31 23:59:59.999 w6"},  // the last millisecond of 1 BC
        {-62135769600000LL, "AD 0001-01-01 00:00:00.000 w7"},
        {-62167392000000LL, "BC 0001-01-01 00:00:00.000 w5"},  // 1 BC was a Julian leap year
        {-62193830400000LL, "BC 0002-03-01 00:00:00.000 w7"},
        {951782400000LL, "AD 2000-02-29 00:00:00.000 w3"},
        {-12243225600000LL, "AD 1582-01-01 00:00:00.000 w2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.millis);
        VMPtr<Calendar> cal = at(c.millis);
        EXPECT_EQ(fields(cal), c.fields);
        // Every one of them round-trips through a set of each field, ERA
        // included: a date before year 1 stays where it is.
        VMPtr<Calendar> again = at(c.millis);
        again->set(Calendar::MINUTE, again->get(Calendar::MINUTE));
        EXPECT_EQ(again->getTimeInMillis(), c.millis);
        EXPECT_EQ(fields(again), c.fields);
    }
    VMPtr<Calendar> bc = at(0);
    bc->set(Calendar::ERA, 0);
    bc->set(Calendar::YEAR, 44);
    bc->set(Calendar::MONTH, Calendar::MARCH);
    bc->set(Calendar::DATE, 15);
    EXPECT_EQ(fields(bc), "BC 0044-03-15 00:00:00.000 w4");
    EXPECT_EQ(bc->getTimeInMillis(), -63517996800000LL);
}

TEST_F(CalendarTest, ExtremeInstantsSaturateInsteadOfOverflowing) {
    VMPtr<Calendar> c = at(INT64_MAX, "GMT+14");
    EXPECT_EQ(c->get(Calendar::ERA), 1);
    EXPECT_GT(c->get(Calendar::YEAR), 292000000);
    c = at(INT64_MIN, "GMT-14");
    EXPECT_EQ(c->get(Calendar::ERA), 0);
    EXPECT_GT(c->get(Calendar::YEAR), 292000000);
    c->set(Calendar::YEAR, INT32_MAX);
    c->set(Calendar::MONTH, INT32_MAX);
    c->set(Calendar::DAY_OF_MONTH, INT32_MIN);
    c->getTimeInMillis();  // wraps like Java arithmetic, without failing
}

TEST_F(CalendarTest, SetFieldsAreReadBackNormalised) {
    VMPtr<Calendar> c = at(1199145600000LL);  // 2008-01-01
    c->set(Calendar::MONTH, 13);
    // Read without asking for the time first: the change is taken into account.
    EXPECT_EQ(c->get(Calendar::YEAR), 2009);
    EXPECT_EQ(c->get(Calendar::MONTH), Calendar::FEBRUARY);

    c->set(Calendar::DAY_OF_MONTH, 31);
    EXPECT_EQ(fields(c), "AD 2009-03-03 00:00:00.000 w3");

    c->set(Calendar::HOUR, 15);
    EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), 15);
    EXPECT_EQ(c->get(Calendar::HOUR), 3);
    EXPECT_EQ(c->get(Calendar::AM_PM), Calendar::PM);

    c->set(Calendar::HOUR_OF_DAY, 26);  // the hour is taken modulo 24
    EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), 2);
    EXPECT_EQ(c->get(Calendar::DAY_OF_MONTH), 3);

    c->set(Calendar::AM_PM, Calendar::PM);
    c->set(Calendar::HOUR, 4);
    EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), 16);

    c->set(Calendar::MINUTE, -1);  // rolls back into the hour before
    EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), 15);
    EXPECT_EQ(c->get(Calendar::MINUTE), 59);

    for (jint bad : {-1, 15, 100, INT32_MIN}) {
        EXPECT_EQ(VM_THROWN_CLASS(c->get(bad)), "java.lang.ArrayIndexOutOfBoundsException");
        EXPECT_EQ(VM_THROWN_CLASS(c->set(bad, 1)), "java.lang.ArrayIndexOutOfBoundsException");
    }
}

// Fields set, then the instant computed by one of the ways a caller reaches
// it, then every field read back: the fields read as the instant they gave,
// however it was reached. Expected values worked out by hand from the start
// instant 2008-01-01 00:00 (a Tuesday).
TEST_F(CalendarTest, FieldsReadNormalisedAfterTheInstantWasComputed) {
    struct Case {
        const char* zone;
        std::vector<std::pair<jint, jint>> sets;
        jlong millis;
        const char* fields;  // as fields(), then HOUR and AM_PM
    };
    const jlong start = 1199145600000LL;
    const Case cases[] = {
        {"GMT", {{Calendar::DAY_OF_MONTH, 16}}, 1200441600000LL, "AD 2008-01-16 00:00:00.000 w4 h0 AM"},
        {"GMT", {{Calendar::HOUR_OF_DAY, 16}}, 1199203200000LL, "AD 2008-01-01 16:00:00.000 w3 h4 PM"},
        {"GMT", {{Calendar::MONTH, 13}}, 1233446400000LL, "AD 2009-02-01 00:00:00.000 w1 h0 AM"},
        {"GMT", {{Calendar::MONTH, -1}}, 1196467200000LL, "AD 2007-12-01 00:00:00.000 w7 h0 AM"},
        {"GMT", {{Calendar::DAY_OF_MONTH, 0}}, 1199059200000LL, "AD 2007-12-31 00:00:00.000 w2 h0 AM"},
        {"GMT", {{Calendar::DAY_OF_MONTH, 60}}, 1204243200000LL, "AD 2008-02-29 00:00:00.000 w6 h0 AM"},
        {"GMT", {{Calendar::HOUR_OF_DAY, 25}}, 1199149200000LL, "AD 2008-01-01 01:00:00.000 w3 h1 AM"},
        {"GMT", {{Calendar::HOUR_OF_DAY, -1}}, 1199142000000LL, "AD 2007-12-31 23:00:00.000 w2 h11 PM"},
        {"GMT", {{Calendar::MINUTE, 90}}, 1199151000000LL, "AD 2008-01-01 01:30:00.000 w3 h1 AM"},
        {"GMT", {{Calendar::SECOND, -1}}, 1199145599000LL, "AD 2007-12-31 23:59:59.000 w2 h11 PM"},
        {"GMT", {{Calendar::MILLISECOND, 1500}}, 1199145601500LL, "AD 2008-01-01 00:00:01.500 w3 h0 AM"},
        {"GMT", {{Calendar::HOUR, 15}}, 1199199600000LL, "AD 2008-01-01 15:00:00.000 w3 h3 PM"},
        {"GMT",
         {{Calendar::AM_PM, Calendar::PM}, {Calendar::HOUR, 4}},
         1199203200000LL,
         "AD 2008-01-01 16:00:00.000 w3 h4 PM"},
        {"GMT",
         {{Calendar::YEAR, 2009}, {Calendar::MONTH, 1}, {Calendar::DAY_OF_MONTH, 29}},
         1235865600000LL,
         "AD 2009-03-01 00:00:00.000 w1 h0 AM"},
        {"GMT",
         {{Calendar::MONTH, 12}, {Calendar::DAY_OF_MONTH, 32}},
         1233446400000LL,
         "AD 2009-02-01 00:00:00.000 w1 h0 AM"},
        {"GMT",
         {{Calendar::YEAR, 1999},
          {Calendar::MONTH, 11},
          {Calendar::DAY_OF_MONTH, 31},
          {Calendar::HOUR_OF_DAY, 23},
          {Calendar::MINUTE, 59},
          {Calendar::SECOND, 59}},
         946684799000LL,
         "AD 1999-12-31 23:59:59.000 w6 h11 PM"},
        // A day of the week set by hand is not an input: it reads as the date's.
        {"GMT", {{Calendar::DAY_OF_WEEK, 1}}, start, "AD 2008-01-01 00:00:00.000 w3 h0 AM"},
        // Local fields in a zone east of GMT (05:30 there at the start).
        {"GMT+05:30", {{Calendar::HOUR_OF_DAY, 20}}, 1199199600000LL, "AD 2008-01-01 20:30:00.000 w3 h8 PM"},
    };
    enum Way { kMillis, kDate, kEquals, kFieldFirst };
    for (const Case& test : cases) {
        for (Way way : {kMillis, kDate, kEquals, kFieldFirst}) {
            SCOPED_TRACE(std::string(test.fields) + " way " + std::to_string(way));
            VMPtr<Calendar> c = at(start, test.zone);
            for (const auto& [field, value] : test.sets) c->set(field, value);
            jlong millis = 0;
            switch (way) {
                case kMillis: millis = c->getTimeInMillis(); break;
                case kDate: millis = c->getTime()->getTime(); break;
                case kEquals: {
                    VMPtr<Calendar> same = Calendar::getInstance();
                    same->setTimeZone(c->getTimeZone());
                    same->setTimeInMillis(test.millis);
                    EXPECT_TRUE(c->equals(same));
                    millis = c->getTimeInMillis();
                    break;
                }
                case kFieldFirst:
                    c->get(Calendar::MONTH);
                    millis = c->getTimeInMillis();
                    break;
            }
            EXPECT_EQ(millis, test.millis);
            std::string read = fields(c) + " h" + std::to_string(c->get(Calendar::HOUR)) +
                               (c->get(Calendar::AM_PM) == Calendar::PM ? " PM" : " AM");
            EXPECT_EQ(read, test.fields);
        }
    }
}

TEST_F(CalendarTest, GetTimeHandsOutOneDateAndEqualsComparesInstantAndZone) {
    VMPtr<Calendar> c = at(1000);
    VMPtr<Date> first = c->getTime();
    EXPECT_EQ(first->getTime(), 1000);
    c->setTimeInMillis(5000);
    VMPtr<Date> second = c->getTime();
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(second->getTime(), 5000);

    VMPtr<Calendar> same = at(5000);
    EXPECT_TRUE(c->equals(same));
    EXPECT_FALSE(c->equals(at(5001)));
    EXPECT_FALSE(c->equals(at(5000, "UTC")));
    EXPECT_FALSE(c->equals(nullptr));
    EXPECT_FALSE(c->equals(VM_STR("calendar")));
    EXPECT_TRUE(c->equals(c));

    // Switching the zone keeps the instant and moves the fields.
    c->setTimeZone(zone("GMT+05:30"));
    EXPECT_EQ(c->getTimeInMillis(), 5000);
    EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), 5);
    EXPECT_EQ(c->get(Calendar::MINUTE), 30);
}

TEST_F(CalendarTest, CustomZoneIds) {
    struct Case {
        const char* id;
        const char* expected;  // the zone's ID; "GMT" when the ID means nothing
        jint offset;
    };
    const Case cases[] = {
        {"GMT+1", "GMT+01:00", 3600000},
        {"GMT-05", "GMT-05:00", -18000000},
        {"UTC+530", "UTC+05:30", 19800000},
        {"GMT+1230", "GMT+12:30", 45000000},
        {"GMT+5:30", "GMT+05:30", 19800000},
        {"GMT-08:00", "GMT-08:00", -28800000},
        {"UTC-1", "UTC-01:00", -3600000},
        {"GMT+123", "GMT+01:23", 4980000},
        {"GMT+200", "GMT+02:00", 7200000},
        {"GMT+245", "GMT+02:45", 9900000},
        {"GMT+2359", "GMT+23:59", 86340000},
        {"GMT+0", "GMT+00:00", 0},
        {"GMT-106", "GMT-01:06", -3960000},
        {"GMT+9:59", "GMT+09:59", 35940000},
        {"UTC", "UTC", 0},
        {"GMT", "GMT", 0},
        // Not custom IDs: the zone "GMT".
        {"GMT+24", "GMT", 0},
        {"Europe/Rome", "GMT", 0},
        {"GMT+", "GMT", 0},
        {"GMT+2360", "GMT", 0},
        {"GMT+5:3", "GMT", 0},
        {"GMT+160", "GMT", 0},
        {"GMT+12345", "GMT", 0},
        {"GMT++1", "GMT", 0},
        {"GMT+1:", "GMT", 0},
        {"GMT+:30", "GMT", 0},
        {"gmt+1", "GMT", 0},
        {"GMT+1a", "GMT", 0},
        {"GMT+35", "GMT", 0},
        {"GMT+5:60", "GMT", 0},
        {"GMT+1:30:00", "GMT", 0},
        {"XYZ+1", "GMT", 0},
        {"GMT 1", "GMT", 0},
        {"", "GMT", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        VMPtr<TimeZone> z = zone(c.id);
        ASSERT_NE(z, nullptr);
        EXPECT_EQ(text(z->getID()), c.expected);
        EXPECT_EQ(z->getRawOffset(), c.offset);
        EXPECT_EQ(z->getOffset(1, 2000, 0, 1, 7, 0), c.offset);
        EXPECT_FALSE(z->useDaylightTime());
    }
    EXPECT_EQ(zone("GMT").get(), zone("Europe/Rome").get());
    EXPECT_EQ(VM_THROWN_CLASS(TimeZone::getTimeZone(nullptr)), "java.lang.NullPointerException");
}

TEST_F(CalendarTest, TheDefaultZoneIsTheHostsZone) {
    {
        HostZone host("UTC0");
        VMPtr<TimeZone> z = TimeZone::getDefault();
        EXPECT_EQ(text(z->getID()), "GMT+00:00");
        EXPECT_EQ(z->getRawOffset(), 0);
        EXPECT_EQ(text(Date::create()->construct(0)->toString()), "Thu Jan 01 00:00:00 GMT+00:00 1970");
        EXPECT_EQ(zone("GMT+00:00").get(), z.get());
    }
    {
        HostZone host("<+0530>-5:30");
        VMPtr<TimeZone> z = TimeZone::getDefault();
        EXPECT_EQ(text(z->getID()), "GMT+05:30");
        EXPECT_EQ(z->getRawOffset(), 19800000);
        EXPECT_EQ(text(Date::create()->construct(0)->toString()), "Thu Jan 01 05:30:00 GMT+05:30 1970");
        EXPECT_EQ(Calendar::getInstance()->getTimeZone().get(), z.get());
    }
    {
        // A zone with daylight-saving time: the offset in force now.
        HostZone host("EST5EDT,M3.2.0,M11.1.0");
        std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        EXPECT_EQ(TimeZone::getDefault()->getRawOffset(), jint(local.tm_gmtoff * 1000));
        EXPECT_EQ(text(TimeZone::getDefault()->getID()), local.tm_isdst > 0 ? "GMT-04:00" : "GMT-05:00");
    }
}

TEST_F(CalendarTest, DateTextEqualityAndHash) {
    HostZone host("UTC0");
    struct Case {
        jlong millis;
        const char* text;
    };
    const Case cases[] = {
        {0, "Thu Jan 01 00:00:00 GMT+00:00 1970"},
        {1234567890123LL, "Fri Feb 13 23:31:30 GMT+00:00 2009"},
        {-62135769600000LL, "Sat Jan 01 00:00:00 GMT+00:00 0001"},
        {253402300799000LL, "Fri Dec 31 23:59:59 GMT+00:00 9999"},
        {253402300800000LL, "Sat Jan 01 00:00:00 GMT+00:00 10000"},
    };
    for (const Case& c : cases) EXPECT_EQ(text(Date::create()->construct(c.millis)->toString()), c.text);

    VMPtr<Date> a = Date::create()->construct(0x123456789ALL);
    VMPtr<Date> b = Date::create()->construct(0x123456789ALL);
    EXPECT_TRUE(a->equals(b));
    EXPECT_EQ(a->hashCode(), jint(0x3456789A) ^ jint(0x12));
    b->setTime(7);
    EXPECT_FALSE(a->equals(b));
    EXPECT_FALSE(a->equals(nullptr));
    EXPECT_EQ(b->getTime(), 7);

    const jlong before = java::lang::System::currentTimeMillis();
    VMPtr<Date> now = Date::create()->construct();
    EXPECT_GE(now->getTime(), before);
    EXPECT_LE(now->getTime(), java::lang::System::currentTimeMillis());
}

}  // namespace

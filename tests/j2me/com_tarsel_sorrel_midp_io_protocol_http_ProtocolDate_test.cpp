// The HTTP date parser of the http protocol class: the three HTTP layouts,
// the looser ones, zones, the century window, and what it refuses.
#include <ctime>
#include <optional>
#include <string>

#include "com_tarsel_sorrel_cldc_util_TimeZonePimpl.h"
#include "host_support.h"
#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_System.h"
#include "vm_test.h"

using com::tarsel::sorrel::midp::io::protocol::http::Protocol;
using java::lang::String;

namespace {

class HttpDateTest : public VMTest {
protected:
    // The default zone is UTC for these tests (the host's zone, read again).
    void SetUp() override {
        VMTest::SetUp();
        zone_.emplace("TZ", "UTC0");
        zoneChanged();
    }
    void TearDown() override {
        zone_.reset();
        zoneChanged();
    }
    static void zoneChanged() {
        ::tzset();
        _VM_ensureInitialized(com::tarsel::sorrel::cldc::util::TimeZonePimpl::_VM_classRecord);
        _VM_dispatchEvent(com::tarsel::sorrel::cldc::util::TimeZonePimpl::ZONE_CHANGED_EVENT, 0, nullptr);
    }
    static jlong utc(jint y, jint mo, jint d, jint h = 0, jint mi = 0, jint s = 0) {
        return java::lang::System::_VM_clockMillis(y, mo, d, h, mi, s);
    }
    // The instant, or "rejected" as -1 (no case below lies at -1 ms).
    static jlong parse(const std::string& s) {
        try {
            return Protocol::parseDate(String::_VM_fromUTF8(s.c_str()));
        } catch (java::lang::IllegalArgumentException* e) {
            VMPtr<java::lang::IllegalArgumentException> keep(e);
            EXPECT_EQ(text(keep->getMessage()), "Error parsing date");
            return -1;
        }
    }

    std::optional<ScopedEnv> zone_;
};

TEST_F(HttpDateTest, AcceptedLayouts) {
    const jlong rfc = utc(1994, 11, 6, 8, 49, 37);
    struct Case {
        const char* text;
        jlong expected;
    };
    const Case cases[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", rfc},
        {"Sunday, 06-Nov-94 08:49:37 GMT", rfc},
        {"Sun Nov  6 08:49:37 1994", rfc},
        {"sun, 06 NOV 1994 08:49:37 utc", rfc},
        {"06 Nov 1994 08:49:37 UT", rfc},
        {"Sun, 06 Nov 1994 08:49:37 -0500", utc(1994, 11, 6, 13, 49, 37)},
        {"Sun, 06 Nov 1994 08:49:37 GMT+0100", utc(1994, 11, 6, 7, 49, 37)},
        {"6 November 1994 08:49:37 +0100", utc(1994, 11, 6, 7, 49, 37)},
        {"6 November 1994 08:49:37 +1", utc(1994, 11, 6, 7, 49, 37)},
        {"6 Nov 1994 08:49:37 +0530", utc(1994, 11, 6, 3, 19, 37)},  // zones off the whole hour
        {"6 Nov 1994 08:49:37 -0930", utc(1994, 11, 6, 18, 19, 37)},
        {"11/6/94", utc(1994, 11, 6)},
        {"11/6/94 8:49 PM", utc(1994, 11, 6, 20, 49)},
        {"11/6/94 12:10 AM", utc(1994, 11, 6, 0, 10)},
        {"11/6/94 12:10 pm", utc(1994, 11, 6, 12, 10)},
        {"11/6/94 8:49 PM EST", utc(1994, 11, 7, 1, 49)},
        {"Sun, 06 Nov 1994 (a comment (nested, too)) 08:49:37 GMT", rfc},
        {"(leading) Sun, 06 Nov 1994 08:49:37 GMT (unclosed", rfc},
        {"1 Jan 2000 08:00 EST", utc(2000, 1, 1, 13)},
        {"1 Jan 2000 08:00 +0100", utc(2000, 1, 1, 7)},
        {"Jan 2 2000 10:00:00 pdt", utc(2000, 1, 2, 17)},
        {"Jan 2 2000 10:00:00 CST", utc(2000, 1, 2, 16)},
        {"1 ju 2000", utc(2000, 7, 1)},  // "ju" is "july", found before "june"
        {"1 ja 2000", utc(2000, 1, 1)},
        {"31 Feb 2001", utc(2001, 3, 3)},  // the calendar rolls it on
        {"Sun, 06 Nov 1994 08:49:37 GMT\t\r\n", rfc},
        {"2000/1/2", utc(2000, 1, 2)},  // 2000 then '/' is a year; 1/ the month, 2 the day
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parse(c.text), c.expected);
    }
}

TEST_F(HttpDateTest, TwoDigitYearsFallIntoTheCenturyWindow) {
    parse("1 Jan 2000");  // fixes the window
    const jint start = Protocol::defaultCenturyStart;
    std::time_t now = std::time(nullptr);
    std::tm today{};
    ::gmtime_r(&now, &today);
    EXPECT_EQ(start, today.tm_year + 1900 - 80);
    for (jint yy : {0, 5, 45, 46, 69, 94, 99}) {
        jint year = yy + start / 100 * 100;
        if (year < start) year += 100;
        SCOPED_TRACE(yy);
        EXPECT_EQ(parse("3/4/" + std::to_string(yy)), utc(year, 3, 4));
        EXPECT_GE(year, start);
        EXPECT_LT(year, start + 100);
    }
}

TEST_F(HttpDateTest, RejectedTexts) {
    for (const char* bad : {"",
                            "   ",
                            "08:49:37",
                            "Sun, 06 Nov",
                            "1/2/3/1994",
                            "11/6/94 13:00 PM",
                            "11/6/94 PM",
                            "11/6/94 0:10 AM",
                            "1 Jan 2000 08:00 EST +0100",
                            "Sun, 06 Nov 1994 08:49:37 GMT X",
                            "Sun, 06 Nov 1994 08:49:37 GMT Xyz",
                            "Nov Dec 6 1994",
                            "1994 1995 Nov 6",
                            "6 Nov 1994 1:2:3:4",
                            "6 Nov 1994 8.49",
                            "6 Nov 1994 08:49:37 +2500",
                            "Sun, 06 Nov 1234567890 08:49:37",       // ten digits
                            "Sun, 06 Nov 1994 0000000000008:49:37",  // also ten, even as leading zeros
                            "6 Nov 1994 \xc3\xa9t\xc3\xa9",
                            "6 Nov 1994 ?",
                            "1 2 3 4"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(parse(bad), -1);
    }
    EXPECT_EQ(VM_THROWN_TEXT(Protocol::parseDate(nullptr)), "java.lang.IllegalArgumentException: Error parsing date");
    // Nine digits are still a number.
    EXPECT_NE(parse("6 Nov 000001994"), -1);
}

}  // namespace

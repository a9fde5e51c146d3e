// java.util.Date: an instant, kept by a calendar of its own.
#include "java_util_Date.h"

#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"
#include "java_util_Calendar.h"
#include "java_util_TimeZone.h"

namespace java::util {

namespace {

const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The number with leading zeros up to the given width.
void appendPadded(const VMPtr<java::lang::StringBuffer>& text, jint value, jint width) {
    jint digits = 1;
    for (jint rest = value / 10; rest != 0; rest /= 10) ++digits;
    for (jint i = digits; i < width; ++i) text->append(u'0');
    text->append(value);
}

}  // namespace

VMPtr<Date> Date::construct() { return construct(java::lang::System::currentTimeMillis()); }

VMPtr<Date> Date::construct(jlong millis) {
    Super::construct();
    calendar = Calendar::getInstance();
    calendar->setTimeInMillis(millis);
    return this;
}

void Date::markReferences(uint32_t bits) {
    Super::markReferences(bits);
    _VM_markRef(calendar, bits);
}

jlong Date::getTime() { return calendar->getTimeInMillis(); }

void Date::setTime(jlong millis) { calendar->setTimeInMillis(millis); }

jboolean Date::equals(VMPtr<java::lang::Object> obj) {
    auto* other = dynamic_cast<Date*>(obj.get());
    if (other == nullptr) return false;
    VMPtr<Date> that(other);
    return that->getTime() == getTime();
}

jint Date::hashCode() {
    const jlong millis = getTime();
    return jint(millis) ^ jint(millis >> 32);
}

VMPtr<java::lang::String> Date::toString() {
    VMPtr<Calendar> c = calendar;
    VMPtr<java::lang::StringBuffer> text = java::lang::StringBuffer::create()->construct();
    const jint dayOfWeek = c->get(Calendar::DAY_OF_WEEK);
    const jint month = c->get(Calendar::MONTH);
    text->append(dayOfWeek >= 1 && dayOfWeek <= 7 ? kDayNames[dayOfWeek - 1] : "???");
    text->append(u' ');
    text->append(month >= 0 && month <= 11 ? kMonthNames[month] : "???");
    text->append(u' ');
    appendPadded(text, c->get(Calendar::DAY_OF_MONTH), 2);
    text->append(u' ');
    appendPadded(text, c->get(Calendar::HOUR_OF_DAY), 2);
    text->append(u':');
    appendPadded(text, c->get(Calendar::MINUTE), 2);
    text->append(u':');
    appendPadded(text, c->get(Calendar::SECOND), 2);
    text->append(u' ');
    VMPtr<TimeZone> zone = c->getTimeZone();
    VMPtr<java::lang::String> id = zone != nullptr ? zone->getID() : VMPtr<java::lang::String>();
    if (id != nullptr && id->length() > 0) {
        text->append(id);
        text->append(u' ');
    }
    appendPadded(text, c->get(Calendar::YEAR), 4);
    return text->toString();
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::Date, .name = "java.util.Date", .newInstance = _VM_newInstanceOf<java::util::Date>)

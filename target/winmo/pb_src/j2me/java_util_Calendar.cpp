// java.util.Calendar: an instant and its calendar fields in a time zone, kept consistent lazily.
#include "java_util_Calendar.h"

#include "VMThrow.h"
#include "com_tarsel_sorrel_cldc_util_GregorianCalendar.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_System.h"
#include "java_util_Date.h"
#include "java_util_TimeZone.h"

namespace java::util {

namespace {

void checkField(jint field) {
    if (field < 0 || field >= Calendar::FIELD_COUNT) _VM_throwArrayIndexOutOfBoundsException(field);
}

}  // namespace

VMPtr<Calendar> Calendar::construct() {
    Super::construct();
    fields = VMArray<jint, 1>::create(FIELD_COUNT);
    isSet = VMArray<jboolean, 1>::create(FIELD_COUNT);
    zone = TimeZone::getDefault();
    if (zone == nullptr)
        _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("Could not find default timezone.")));
    setTimeInMillis(java::lang::System::currentTimeMillis());
    return this;
}

VMPtr<Calendar> Calendar::getInstance() {
    return com::tarsel::sorrel::cldc::util::GregorianCalendar::create()->construct();
}

jlong Calendar::getTimeInMillis() {
    if (!timeValid) {
        computeTime();
        timeValid = true;
        // The fields as set may be out of range or disagree with each other
        // (a day of the week, the hour of a 12-hour clock): from now on they
        // read as the time they gave.
        computeFields();
    }
    return time;
}

void Calendar::setTimeInMillis(jlong millis) {
    timeValid = true;
    time = millis;
    computeFields();
}

jint Calendar::get(jint field) {
    checkField(field);
    if (!timeValid) getTimeInMillis();  // a field was set: brings every field in line with it
    return (*fields)[field];
}

void Calendar::set(jint field, jint value) {
    checkField(field);
    timeValid = false;
    (*isSet)[field] = true;
    (*fields)[field] = value;
}

VMPtr<Date> Calendar::getTime() {
    const jlong millis = getTimeInMillis();
    if (date == nullptr) {
        date = Date::create()->construct(millis);
    } else {
        VMPtr<Date> kept = date;
        VMSynchronized lock(kept);
        kept->setTime(millis);
    }
    return date;
}

VMPtr<TimeZone> Calendar::getTimeZone() { return zone; }

void Calendar::setTimeZone(VMPtr<TimeZone> value) {
    zone = value;
    getTimeInMillis();
    computeFields();
}

jboolean Calendar::equals(VMPtr<java::lang::Object> obj) {
    if (obj.get() == static_cast<java::lang::Object*>(this)) return true;
    auto* other = dynamic_cast<Calendar*>(obj.get());
    if (other == nullptr) return false;
    VMPtr<Calendar> that(other);
    if (getTimeInMillis() != that->getTimeInMillis()) return false;
    VMPtr<TimeZone> mine = zone;
    VMPtr<TimeZone> theirs = that->zone;
    if (mine == nullptr) return theirs == nullptr;
    return mine->equals(theirs);
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::Calendar, .name = "java.util.Calendar", .isAbstract = true)

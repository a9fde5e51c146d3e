// com.tarsel.sorrel.cldc.util.TimeZonePimpl: the known zones and the parser of custom zone IDs.
#include "com_tarsel_sorrel_cldc_util_TimeZonePimpl.h"

#include "VMRuntime.h"
#include "com_tarsel_sorrel_cldc_util_TimeZoneUTC.h"
#include "hal_events.h"
#include "hal_system.h"

namespace com::tarsel::sorrel::cldc::util {

const jint TimeZonePimpl::ZONE_CHANGED_EVENT = HAL_EVENT_TIME_ZONE_CHANGED;
VMStatic<java::lang::String> TimeZonePimpl::defaultID;
VMStatic<VMArray<java::util::TimeZone, 1>> TimeZonePimpl::zones;

namespace {

using java::lang::String;

void onZoneChanged(jint, jint, const intptr_t*) { TimeZonePimpl::_VM_readPhoneZone(); }

// Where the custom-ID reader goes from each state on each kind of
// character; 0 rejects. States: 1 start, 2 after the sign, 3 one hour digit
// 0-1, 4 one hour digit 2, 5 hours complete, 6 two hour digits (or one hour
// and a minute tens digit), 7 after ':', 8 a minute tens digit, 9 complete,
// 10 three digits h mm (or hh and a minute tens digit).
struct Step {
    int onEnd;      // 1 accepts
    int digit[10];  // by the digit's value
    int onSign;
    int onColon;
};
constexpr Step kSteps[11] = {
    {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 0},       {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 2, 0},  // 1
    {0, {3, 3, 4, 5, 5, 5, 5, 5, 5, 5}, 0, 0},                                                   // 2
    {1, {6, 6, 6, 6, 6, 6, 5, 5, 5, 5}, 0, 7},                                                   // 3
    {1, {6, 6, 6, 6, 8, 8, 0, 0, 0, 0}, 0, 7},                                                   // 4
    {1, {8, 8, 8, 8, 8, 8, 0, 0, 0, 0}, 0, 7},                                                   // 5
    {1, {10, 10, 10, 10, 10, 10, 9, 9, 9, 9}, 0, 7},                                             // 6
    {0, {8, 8, 8, 8, 8, 8, 0, 0, 0, 0}, 0, 0},                                                   // 7
    {0, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 0, 0},                                                   // 8
    {1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 0},                                                   // 9
    {1, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 0, 0},                                                   // 10
};

bool startsWith(const jchar* chars, jint length, const char* prefix) {
    for (jint i = 0; prefix[i] != 0; ++i)
        if (i >= length || chars[i] != jchar(prefix[i])) return false;
    return true;
}

}  // namespace

void TimeZonePimpl::_VM_clinit() {
    _VM_readPhoneZone();
    VMPtr<VMArray<java::util::TimeZone, 1>> list = zones;
    list->set(1, TimeZoneUTC::create()->construct(0, VM_STR("UTC")));
    list->set(2, TimeZoneUTC::create()->construct(0, VM_STR("GMT")));
    _VM_addEventListener(onZoneChanged, _VM_eventBit(ZONE_CHANGED_EVENT), 1);
}

void TimeZonePimpl::_VM_readPhoneZone() {
    const jint offset = _VM_phoneOffset();
    VMPtr<String> id = makeID(false, offset);
    VMPtr<TimeZoneUTC> zone = TimeZoneUTC::create()->construct(offset, id);
    if (zones == nullptr) zones = VMArray<java::util::TimeZone, 1>::create(3);
    defaultID = id;
    zones->set(0, zone);
}

jint TimeZonePimpl::_VM_phoneOffset() { return HAL_getTimeZoneOffset(); }

VMPtr<java::util::TimeZone> TimeZonePimpl::lookup(VMPtr<String> ID) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<String> wanted = ID != nullptr ? ID : VMPtr<String>(defaultID);
    VMPtr<VMArray<java::util::TimeZone, 1>> list = zones;
    for (jint i = 0; i < list->length; ++i) {
        VMPtr<java::util::TimeZone> zone = list->get(i);
        if (zone == nullptr) continue;
        VMPtr<String> id = zone->getID();
        if (id != nullptr && id->equals(wanted)) return zone;
    }
    return nullptr;
}

VMPtr<String> TimeZonePimpl::makeID(jboolean utc, jint offset) {
    const jlong minutes = (offset < 0 ? -jlong(offset) : jlong(offset)) / 60000;
    const jlong hours = minutes / 60;
    const jlong rest = minutes % 60;
    char text[32];
    int n = 0;
    for (const char* p = utc ? "UTC" : "GMT"; *p; ++p) text[n++] = *p;
    text[n++] = offset < 0 ? '-' : '+';
    if (hours >= 100) text[n++] = char('0' + hours / 100 % 10);  // only for offsets beyond any zone
    text[n++] = char('0' + hours / 10 % 10);
    text[n++] = char('0' + hours % 10);
    text[n++] = ':';
    text[n++] = char('0' + rest / 10);
    text[n++] = char('0' + rest % 10);
    text[n] = 0;
    return String::_VM_fromUTF8(text);
}

bool TimeZonePimpl::_VM_parseCustomOffset(const jchar* chars, jint length, jint* offset) {
    if (length <= 4 || !(startsWith(chars, length, "GMT") || startsWith(chars, length, "UTC"))) return false;
    int state = 1;
    bool negative = false;
    jint digits[4];
    jint count = 0;
    for (jint i = 3;; ++i) {
        if (i == length) {
            if (kSteps[state].onEnd != 1) return false;
            break;
        }
        const jchar c = chars[i];
        if (c >= '0' && c <= '9') {
            state = kSteps[state].digit[c - '0'];
            if (state != 0) {
                if (count == 4) return false;  // no path takes more than four
                digits[count++] = c - '0';
            }
        } else if (c == '+' || c == '-') {
            state = kSteps[state].onSign;
            negative = c == '-';
        } else if (c == ':') {
            state = kSteps[state].onColon;
        } else {
            state = 0;
        }
        if (state == 0) return false;
    }
    jint hours, minutes = 0;
    switch (count) {
        case 1: hours = digits[0]; break;
        case 2: hours = digits[0] * 10 + digits[1]; break;
        case 3:
            hours = digits[0];
            minutes = digits[1] * 10 + digits[2];
            break;
        case 4:
            hours = digits[0] * 10 + digits[1];
            minutes = digits[2] * 10 + digits[3];
            break;
        default: return false;
    }
    const jint value = (hours * 60 + minutes) * 60000;
    *offset = negative ? -value : value;
    return true;
}

VMPtr<java::util::TimeZone> TimeZonePimpl::parseCustom(VMPtr<String> ID) {
    if (ID == nullptr) return nullptr;
    jint offset = 0;
    if (!_VM_parseCustomOffset(ID->_VM_chars(), ID->length(), &offset)) return nullptr;
    VMPtr<String> id = makeID(startsWith(ID->_VM_chars(), ID->length(), "UTC"), offset);
    return TimeZoneUTC::create()->construct(offset, id);
}

}  // namespace com::tarsel::sorrel::cldc::util

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::util::TimeZonePimpl, .name = "com.tarsel.sorrel.cldc.util.TimeZonePimpl",
                  .staticInit = com::tarsel::sorrel::cldc::util::TimeZonePimpl::_VM_clinit, .isAbstract = true)

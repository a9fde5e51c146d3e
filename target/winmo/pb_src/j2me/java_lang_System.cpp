// java.lang.System: the clock, array copying, system properties, the request for a collection and the console streams.
#include "java_lang_System.h"

#include <cstdint>
#include <ctime>

#include "VMArray.h"
#include "VMRuntime.h"
#include "VMThrow.h"
#include "hal_property.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "com_tarsel_sorrel_cldc_io_ConsoleOutputStream.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_NullPointerException.h"
#include "java_lang_Runtime.h"

namespace {

bool isLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The wall clock as UTC milliseconds since 1970, counted in whole seconds:
// the fraction of the current second is left out.
jlong wallClockMillis() {
    std::timespec now{};
    if (std::timespec_get(&now, TIME_UTC) == 0) return 0;
    std::tm fields{};
    const std::time_t seconds = now.tv_sec;
    if (gmtime_r(&seconds, &fields) == nullptr) return jlong(now.tv_sec) * 1000;
    return java::lang::System::_VM_clockMillis(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour,
                                               fields.tm_min, fields.tm_sec);
}

[[noreturn]] void throwOutOfRange() { _VM_throw(java::lang::ArrayIndexOutOfBoundsException::create()->construct()); }

}  // namespace

namespace java::lang {

jlong System::clockOffset = 0;
jboolean System::clockSet = false;

jlong System::_VM_clockMillis(jint year, jint month, jint day, jint hour, jint minute, jint second) {
    static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // Leap years from 1970 to year - 1 (or, before 1970, back to year).
    int64_t days = (int64_t(year) - 1970) * 365;
    for (int64_t y = 1970; y < year; ++y)
        if (isLeapYear(y)) ++days;
    for (int64_t y = year; y < 1970; ++y)
        if (isLeapYear(y)) --days;
    for (jint m = 1; m < month && m <= 12; ++m) days += (m == 2 && isLeapYear(year)) ? 29 : kMonthDays[m - 1];
    days += int64_t(day) - 1;
    return (((days * 24 + hour) * 60 + minute) * 60 + second) * 1000;
}

jlong System::_VM_tickMillis() { return jlong(HAL_getTickCount()); }

jlong System::currentTimeMillis() {
    _VM_ensureInitialized(_VM_classRecord);
    if (!clockSet) {
        clockOffset = wallClockMillis() - jlong(HAL_getTickCount());
        clockSet = true;
    }
    return clockOffset + jlong(HAL_getTickCount());
}

void System::arraycopy(VMPtr<Object> src, jint srcPos, VMPtr<Object> dst, jint dstPos, jint length) {
    if (src == nullptr || dst == nullptr) _VM_throwNullPointer();
    auto* from = dynamic_cast<VMArray_Base*>(src.get());
    auto* to = dynamic_cast<VMArray_Base*>(dst.get());
    if (from == nullptr || to == nullptr) _VM_throwArrayStoreException();
    // Bytes may be moved only between arrays of one primitive type or
    // between reference arrays.
    const bool fromReferences = from->elementClass != nullptr;
    const bool toReferences = to->elementClass != nullptr;
    if (fromReferences != toReferences || (!fromReferences && from->elementType != to->elementType))
        _VM_throwArrayStoreException();
    if (srcPos < 0 || dstPos < 0 || length < 0 || int64_t(srcPos) + length > from->length ||
        int64_t(dstPos) + length > to->length)
        throwOutOfRange();
    if (length == 0) return;

    if (!fromReferences || from->elementClass == to->elementClass) {
        _VM_arrayCopyElements(to, from, srcPos, dstPos, length);
        return;
    }
    // Reference arrays of different element classes (never the same array):
    // element by element, in ascending order.
    VMClassRegistry* registry = _VM_classRegistry();
    if (_VM_isAssignable(registry, from->elementClass, to->elementClass)) {
        for (jint i = 0; i < length; ++i) to->setObject(dstPos + i, from->getObject(srcPos + i));
        return;
    }
    for (jint i = 0; i < length; ++i) {
        Object* element = from->getObject(srcPos + i);
        if (element != nullptr && !_VM_instanceOf(registry, element, to->elementClass)) _VM_throwArrayStoreException();
        to->setObject(dstPos + i, element);
    }
}

VMPtr<String> System::getProperty(VMPtr<String> key) {
    if (key == nullptr) _VM_throw(NullPointerException::create()->construct(VM_STR("key can't be null")));
    if (key->length() == 0) _VM_throw(IllegalArgumentException::create()->construct(VM_STR("key can't be empty")));

    VMCString name;
    key->_VM_toCString(&name);
    const char* value = _VM_getRuntimeProperty(_VM_runtimeProperties(), name.c_str());
    _VM_cstrFree(&name);
    if (value != nullptr) return String::_VM_fromUTF8(value);

    const int32_t length = HAL_getSystemPropertyLength(key->_VM_chars(), key->length());
    if (length < 0) return nullptr;
    VMPtr<VMArray<jchar, 1>> chars = VMArray<jchar, 1>::create(length);
    int32_t copied = length;
    if (HAL_getSystemProperty(key->_VM_chars(), key->length(), chars->elements(), &copied) != 0)
        HAL_fatalError("HAL_getSystemProperty() failed!");
    if (copied < 0 || copied > length) copied = length;
    return String::create()->construct(0, copied, chars);
}

void System::gc() { Runtime::getRuntime()->gc(); }

VMStatic<java::io::PrintStream> System::out;
VMStatic<java::io::PrintStream> System::err;

void System::_VM_clinit() {
    out = java::io::PrintStream::create()->construct(
        com::tarsel::sorrel::cldc::io::ConsoleOutputStream::create()->construct());
    err = out;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::System, .name = "java.lang.System", .staticInit = java::lang::System::_VM_clinit)

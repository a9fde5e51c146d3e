// java.lang.System: the clock, arraycopy with its checks, properties and gc.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "VM.h"
#include "hal.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_NullPointerException.h"
#include "java_lang_System.h"
#include "vm_test.h"

using namespace java::lang;

namespace {

using ObjectArray = VMArray<Object, 1>;
using StringArray = VMArray<String, 1>;

VMPtr<VMInts> ints(std::initializer_list<jint> values) {
    VMPtr<VMInts> a = VMInts::create(jint(values.size()));
    jint i = 0;
    for (jint v : values) a->set(i++, v);
    return a;
}

std::string contents(const VMPtr<VMInts>& a) {
    std::string s;
    for (jint i = 0; i < a->length; ++i) s += (i ? "," : "") + std::to_string(a->get(i));
    return s;
}

void copy(VMPtr<Object> src, jint srcPos, VMPtr<Object> dst, jint dstPos, jint length) {
    System::arraycopy(src, srcPos, dst, dstPos, length);
}

class SystemTest : public VMTest {};

// --- clock -----------------------------------------------------------------------

TEST_F(SystemTest, CalendarArithmeticOfTheClock) {
    EXPECT_EQ(System::_VM_clockMillis(1970, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(System::_VM_clockMillis(1972, 3, 1, 0, 0, 0), 68256000000LL);         // day 790
    EXPECT_EQ(System::_VM_clockMillis(2008, 12, 31, 23, 59, 59), 1230767999000LL);  // day 14,244
    // Leap-year rules (2000 is one, 1900 and 2100 are not), against the C
    // library's own conversion.
    const int dates[][6] = {{2000, 3, 1, 0, 0, 0},
                            {2100, 3, 1, 0, 0, 1},
                            {1900, 3, 1, 0, 0, 0},
                            {2024, 2, 29, 6, 30, 0},
                            {2038, 1, 19, 3, 14, 8}};
    for (const auto& d : dates) {
        std::tm fields{};
        fields.tm_year = d[0] - 1900;
        fields.tm_mon = d[1] - 1;
        fields.tm_mday = d[2];
        fields.tm_hour = d[3];
        fields.tm_min = d[4];
        fields.tm_sec = d[5];
        EXPECT_EQ(System::_VM_clockMillis(d[0], d[1], d[2], d[3], d[4], d[5]), jlong(timegm(&fields)) * 1000)
            << d[0] << "-" << d[1] << "-" << d[2];
    }
}

TEST_F(SystemTest, TheClockIsUtcAndFollowsTheTickCount) {
    const jlong first = System::currentTimeMillis();
    EXPECT_TRUE(System::clockSet);
    const jlong utc =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    EXPECT_LT(std::llabs(first - utc), 2000);
    EXPECT_GT(first, 1230767999000LL);

    // Once read, the clock moves with the tick count alone.
    const jlong offset = System::clockOffset;
    const jlong t1 = System::currentTimeMillis();
    const jlong k1 = jlong(HAL_getTickCount());
    VMThread::sleep(VMThread::current(), 20);
    const jlong t2 = System::currentTimeMillis();
    const jlong k2 = jlong(HAL_getTickCount());
    EXPECT_LE(std::llabs((t2 - t1) - (k2 - k1)), 1);
    EXPECT_GE(t2 - t1, 20);
    EXPECT_EQ(System::clockOffset, offset);
}

// --- arraycopy -------------------------------------------------------------------

TEST_F(SystemTest, CopiesWithinOneArrayAsIfThroughATemporaryCopy) {
    VMPtr<VMInts> a = ints({1, 2, 3, 4, 5});
    copy(a, 0, a, 1, 4);
    EXPECT_EQ(contents(a), "1,1,2,3,4");
    a = ints({1, 2, 3, 4, 5});
    copy(a, 1, a, 0, 4);
    EXPECT_EQ(contents(a), "2,3,4,5,5");

    VMPtr<ObjectArray> objects = ObjectArray::create(3);
    VMPtr<Object> x = Object::create(), y = Object::create();
    objects->set(0, x);
    objects->set(1, y);
    copy(objects, 0, objects, 1, 2);
    EXPECT_EQ(objects->get(0), x.get());
    EXPECT_EQ(objects->get(1), x.get());
    EXPECT_EQ(objects->get(2), y.get());

    // Elements are moved whole, whatever their width.
    VMPtr<VMArray<jlong, 1>> longs = VMArray<jlong, 1>::create(3);
    longs->set(0, INT64_MIN);
    longs->set(1, 0x0123456789ABCDEFLL);
    copy(longs, 0, longs, 1, 2);
    EXPECT_EQ(longs->get(1), INT64_MIN);
    EXPECT_EQ(longs->get(2), 0x0123456789ABCDEFLL);
}

TEST_F(SystemTest, ReferenceArraysOfDifferentClasses) {
    // String[] into Object[]: assignable, copied element by element.
    VMPtr<StringArray> strings = StringArray::create(2);
    strings->set(0, VM_STR("a"));
    strings->set(1, VM_STR("b"));
    VMPtr<ObjectArray> objects = ObjectArray::create(3);
    copy(strings, 0, objects, 1, 2);
    EXPECT_EQ(objects->get(0), nullptr);
    EXPECT_EQ(objects->get(1), static_cast<Object*>(VM_STR("a").get()));
    EXPECT_EQ(objects->get(2), static_cast<Object*>(VM_STR("b").get()));

    // Object[] into String[]: each element is checked before it is stored;
    // what was stored before the misfit stays, nothing after it is stored.
    VMPtr<ObjectArray> mixed = ObjectArray::create(4);
    mixed->set(0, static_cast<Object*>(VM_STR("s").get()));
    mixed->set(1, nullptr);
    mixed->set(2, Object::create());
    mixed->set(3, static_cast<Object*>(VM_STR("t").get()));
    VMPtr<StringArray> target = StringArray::create(4);
    target->set(1, VM_STR("old"));
    target->set(3, VM_STR("old"));
    EXPECT_EQ(VM_THROWN_CLASS(copy(mixed, 0, target, 0, 4)), "java.lang.ArrayStoreException");
    EXPECT_EQ(text(target->get(0)), "s");
    EXPECT_EQ(target->get(1), nullptr);
    EXPECT_EQ(target->get(2), nullptr);
    EXPECT_EQ(text(target->get(3)), "old");

    // Arrays of arrays are references too.
    VMPtr<VMArray<jint, 2>> grid = VMArray<jint, 2>::create(2, 3);
    VMPtr<ObjectArray> rows = ObjectArray::create(2);
    copy(grid, 0, rows, 0, 2);
    EXPECT_EQ(rows->get(1), static_cast<Object*>(grid->get(1)));
    VMPtr<VMArray<jint, 2>> back = VMArray<jint, 2>::create(2);
    copy(rows, 0, back, 0, 2);
    EXPECT_EQ(back->get(0), grid->get(0));
    rows->set(1, static_cast<Object*>(VM_STR("not a row").get()));
    EXPECT_EQ(VM_THROWN_CLASS(copy(rows, 0, back, 0, 2)), "java.lang.ArrayStoreException");
}

TEST_F(SystemTest, NullsNonArraysAndMismatchedKindsAreRejectedBeforeAnythingIsCopied) {
    VMPtr<VMInts> a = ints({1, 2, 3});
    VMPtr<VMInts> b = ints({0, 0, 0});
    EXPECT_EQ(VM_THROWN_CLASS(copy(nullptr, 0, b, 0, 1)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, nullptr, 0, 1)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(copy(Object::create(), 0, b, 0, 1)), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, VMPtr<Object>(VM_STR("abc")), 0, 1)), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, VMArray<jlong, 1>::create(3), 0, 1)), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, VMArray<jfloat, 1>::create(3), 0, 1)), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_CLASS(copy(VMArray<jbyte, 1>::create(3), 0, VMArray<jboolean, 1>::create(3), 0, 1)),
              "java.lang.ArrayStoreException");
    // Primitives never land in a reference array, nor the reverse.
    VMPtr<ObjectArray> objects = ObjectArray::create(3);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, objects, 0, 3)), "java.lang.ArrayStoreException");
    EXPECT_EQ(objects->get(0), nullptr);
    EXPECT_EQ(VM_THROWN_CLASS(copy(objects, 0, a, 0, 3)), "java.lang.ArrayStoreException");
    EXPECT_EQ(contents(a), "1,2,3");
    EXPECT_EQ(contents(b), "0,0,0");
}

TEST_F(SystemTest, RangesMustLieInsideBothArrays) {
    VMPtr<VMInts> a = ints({1, 2, 3});
    VMPtr<VMInts> b = ints({0, 0, 0, 0});
    const char* kOut = "java.lang.ArrayIndexOutOfBoundsException";
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, -1, b, 0, 1)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, b, -1, 1)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, b, 0, -1)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 1, b, 0, 3)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, b, 2, 3)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 4, b, 0, 0)), kOut);
    // Ends computed without overflow.
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, INT_MAX, b, 0, 1)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 1, b, 0, INT_MAX)), kOut);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, b, INT_MAX, INT_MAX)), kOut);
    EXPECT_EQ(contents(b), "0,0,0,0");

    // Ranges that end exactly at the end, and empty ones at the end.
    copy(a, 0, b, 1, 3);
    EXPECT_EQ(contents(b), "0,1,2,3");
    copy(a, 3, b, 4, 0);
    EXPECT_EQ(VM_THROWN_CLASS(copy(a, 0, b, 0, 0)), "");
}

// --- properties ------------------------------------------------------------------

class SystemPropertyTest : public SystemTest {
protected:
    void SetUp() override {
        SystemTest::SetUp();
        dir = std::filesystem::temp_directory_path() / ("vessilo_system_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "properties");
        std::ofstream(dir / "properties" / "sys.prop") << "test.colour: blue\n"
                                                       << "microedition.configuration: CLDC-9\n"
                                                       << "test.empty: \n"
                                                       << "test.\xC3\xA9t\xC3\xA9: \xE2\x82\xAC 5\n";
        HAL_setProgramDirectory((dir.string() + "/").c_str());
        HAL_loadProperties();
    }
    void TearDown() override {
        HAL_releaseProperties();
        HAL_setProgramDirectory(nullptr);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
};

TEST_F(SystemPropertyTest, TheRuntimeTableFirstThenThePlatform) {
    EXPECT_EQ(text(System::getProperty(VM_STR("microedition.configuration"))), "CLDC-1.1");
    EXPECT_EQ(text(System::getProperty(VM_STR("microedition.profiles"))), "MIDP-2.0");
    EXPECT_EQ(text(System::getProperty(VM_STR("test.colour"))), "blue");
    EXPECT_EQ(text(System::getProperty(VM_STR("test.empty"))), "");
    EXPECT_EQ(text(System::getProperty(String::_VM_fromUTF8("test.\xC3\xA9t\xC3\xA9"))), "\xE2\x82\xAC 5");
    EXPECT_EQ(System::getProperty(VM_STR("test.absent")), nullptr);
    // A key with a NUL inside is not cut short at it.
    const jchar withNul[] = {u'm', 0, u'x'};
    EXPECT_EQ(System::getProperty(String::create()->_VM_initLength(withNul, 3)), nullptr);
}

TEST_F(SystemPropertyTest, NullAndEmptyKeysAreRejectedWithTheirMessages) {
    try {
        System::getProperty(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (NullPointerException* e) {
        EXPECT_EQ(text(e->getMessage()), "key can't be null");
    }
    try {
        System::getProperty(VM_STR(""));
        ADD_FAILURE() << "no exception";
    } catch (IllegalArgumentException* e) {
        EXPECT_EQ(text(e->getMessage()), "key can't be empty");
    }
}

// --- the rest ----------------------------------------------------------------------

TEST_F(SystemTest, GcCollects) {
    VMWeak<Object> watch;
    watch = Object::create();
    System::gc();
    EXPECT_TRUE(watch.isNull());
}

}  // namespace

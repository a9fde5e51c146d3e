// Typed arrays: every element type and dimension in use, class records,
// index checks, stores of the wrong class, failed creations and copying.
#include <climits>
#include <string>

#include "VMArray.h"
#include "VMException.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_ArrayStoreException.h"
#include "java_lang_Throwable.h"
#include "vm_test.h"

namespace vmarraytest {

// A plain class and a subclass of it, to build arrays of a class.
class Gob : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Gob, java::lang::Object)

public:
    jint id = 0;
};

class SubGob : public Gob {
    VM_DECLARE_CLASS(SubGob, Gob)
};

}  // namespace vmarraytest

VM_REGISTER_CLASS(vmarraytest::Gob, .name = "vmarraytest.Gob")
VM_REGISTER_CLASS(vmarraytest::SubGob, .name = "vmarraytest.SubGob")

using namespace java::lang;
using vmarraytest::Gob;
using vmarraytest::SubGob;

namespace {

class TypedArrayTest : public VMTest {
protected:
    // Drops the in-flight throwable and collects, so the heap holds only
    // what is still referenced.
    static void settle() {
        VMThread::current()->inFlight = nullptr;
        _VM_collect(_VM_runtime);
    }
};

// The message of the ArrayIndexOutOfBoundsException a statement throws, or
// "" when it throws none.
#define INDEX_FAILURE(statement)                       \
    ([&]() -> std::string {                            \
        try {                                          \
            statement;                                 \
        } catch (ArrayIndexOutOfBoundsException * e) { \
            return text(e->getMessage());              \
        }                                              \
        return std::string();                          \
    }())

template <class E>
void checkPrimitiveArray(const char* name, jint code, jint size) {
    SCOPED_TRACE(name);
    VMArrayPtr<E> a = VMArray<E, 1>::create(5);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->length, 5);
    EXPECT_EQ(a->elementType, code);
    EXPECT_EQ(a->elementSize, size);
    EXPECT_EQ(a->elementClass, nullptr);
    EXPECT_FALSE(a->isReferenceArray());
    for (jint i = 0; i < 5; ++i) EXPECT_EQ(a->get(i), E{});
    EXPECT_EQ(_VM_blockSize(a->data), uint64_t(5 * size) + 4);

    a->set(4, E(1));
    (*a)[0] = E(1);
    EXPECT_EQ(a->get(0), E(1));
    EXPECT_EQ(a->get(4), E(1));
    EXPECT_EQ(a->get(2), E{});

    Class* record = a->getClass();
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->name.c_str(), name);
    EXPECT_EQ(a->getClass(), record);
    EXPECT_EQ((VMArray<E, 1>::defineClass()), record);
    EXPECT_EQ(_VM_findClass(name), record);
    EXPECT_EQ(record->dimensions, 1);
    EXPECT_EQ(record->elementType, code);
    EXPECT_EQ(record->elementClass, nullptr);
    EXPECT_TRUE(_VM_isInstance<Object>(a.get()));

    // The object view of a primitive array: nothing to read, stores ignored.
    VMPtr<Object> other = Object::create();
    EXPECT_EQ(a->getObject(1), nullptr);
    a->setObject(1, other.get());
    EXPECT_EQ(a->get(1), E{});

    // Every access checks its index.
    EXPECT_EQ(INDEX_FAILURE(a->get(5)), "Array index out of range: 5");
    EXPECT_EQ(INDEX_FAILURE(a->get(-1)), "Array index out of range: -1");
    EXPECT_EQ(INDEX_FAILURE(a->set(5, E(1))), "Array index out of range: 5");
    EXPECT_EQ(INDEX_FAILURE((*a)[INT_MIN] = E(1)), "Array index out of range: -2147483648");
    EXPECT_EQ(INDEX_FAILURE(a->getObject(7)), "Array index out of range: 7");
    EXPECT_EQ(INDEX_FAILURE(a->setObject(-3, nullptr)), "Array index out of range: -3");

    // An empty array is valid and rejects every index.
    VMArrayPtr<E> empty = VMArray<E, 1>::create(0);
    EXPECT_EQ(empty->length, 0);
    EXPECT_EQ(empty->elementSize, size);
    EXPECT_EQ(empty->getClass(), record);
    EXPECT_EQ(INDEX_FAILURE(empty->get(0)), "Array index out of range: 0");
}

TEST_F(TypedArrayTest, OneDimensionalPrimitiveArrays) {
    checkPrimitiveArray<jboolean>("[Z", VM_T_BOOLEAN, 1);
    checkPrimitiveArray<jbyte>("[B", VM_T_BYTE, 1);
    checkPrimitiveArray<jchar>("[C", VM_T_CHAR, 2);
    checkPrimitiveArray<jshort>("[S", VM_T_SHORT, 2);
    checkPrimitiveArray<jint>("[I", VM_T_INT, 4);
    checkPrimitiveArray<jlong>("[J", VM_T_LONG, 8);
}

TEST_F(TypedArrayTest, ElementsKeepTheirJavaWidths) {
    VMArrayPtr<jlong> longs = VMArray<jlong, 1>::create(2);
    longs->set(1, INT64_MIN);
    EXPECT_EQ(longs->get(1), INT64_MIN);
    EXPECT_EQ(longs->get(0), 0);
    VMArrayPtr<jchar> chars = VMArray<jchar, 1>::create(2);
    chars->set(0, u'\xFFFF');
    EXPECT_EQ(chars->get(0), u'\xFFFF');
    EXPECT_EQ(chars->get(1), u'\0');
    VMArrayPtr<jbyte> bytes = VMArray<jbyte, 1>::create(2);
    bytes->set(0, jbyte(-128));
    EXPECT_EQ(bytes->get(0), -128);
    EXPECT_EQ(bytes->get(1), 0);
}

TEST_F(TypedArrayTest, ElementSizesOfEveryTypeCode) {
    const jint expected[] = {0, 8, 0, 0, 1, 2, 4, 8, 1, 2, 4, 8, 0};
    for (jint code = 0; code <= 12; ++code) EXPECT_EQ(_VM_elementSizeOf(code), expected[code]) << code;
    EXPECT_EQ(_VM_elementSizeOf(-1), 0);
    EXPECT_EQ(_VM_elementSizeOf(INT32_MAX), 0);
}

template <class E>
void checkPrimitiveMatrix(const char* name, const char* rowName) {
    SCOPED_TRACE(name);
    VMPtr<VMArray<E, 2>> m = VMArray<E, 2>::create(3, 4);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->length, 3);
    EXPECT_EQ(m->elementType, VM_T_REFERENCE);
    EXPECT_EQ(m->elementSize, jint(sizeof(void*)));
    EXPECT_STREQ(m->getClass()->name.c_str(), name);
    EXPECT_EQ(m->getClass(), (VMArray<E, 2>::defineClass()));
    EXPECT_EQ(m->elementClass, (VMArray<E, 1>::defineClass()));
    EXPECT_STREQ(m->elementClass->name.c_str(), rowName);
    EXPECT_EQ(m->getClass()->dimensions, 2);
    EXPECT_EQ(m->getClass()->elementClass, m->elementClass);
    for (jint i = 0; i < 3; ++i) {
        VMArray<E, 1>* row = m->get(i);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->length, 4);
        for (jint j = 0; j < 4; ++j) EXPECT_EQ(row->get(j), E{});
        for (jint k = 0; k < i; ++k) EXPECT_NE(m->get(k), row);
        EXPECT_EQ(static_cast<Object*>(m->getObject(i)), static_cast<Object*>(row));
    }
    // Rows are independent arrays.
    m->get(1)->set(2, E(1));
    EXPECT_EQ(m->get(1)->get(2), E(1));
    EXPECT_EQ(m->get(0)->get(2), E{});
    EXPECT_EQ(m->get(2)->get(2), E{});

    VMPtr<VMArray<E, 2>> rowsMissing = VMArray<E, 2>::create(3, 0);
    EXPECT_EQ(rowsMissing->length, 3);
    for (jint i = 0; i < 3; ++i) EXPECT_EQ(rowsMissing->get(i), nullptr);
    VMPtr<VMArray<E, 2>> noRows = VMArray<E, 2>::create(0, 5);
    EXPECT_EQ(noRows->length, 0);
    EXPECT_EQ(INDEX_FAILURE(noRows->get(0)), "Array index out of range: 0");
    VMPtr<VMArray<E, 2>> outerOnly = VMArray<E, 2>::create(2);
    EXPECT_EQ(outerOnly->length, 2);
    EXPECT_EQ(outerOnly->get(1), nullptr);

    // A row of the right type can be stored, and so can null.
    VMPtr<VMArray<E, 1>> row = VMArray<E, 1>::create(7);
    rowsMissing->set(1, row);
    EXPECT_EQ(rowsMissing->get(1), row.get());
    rowsMissing->setObject(1, nullptr);
    EXPECT_EQ(rowsMissing->get(1), nullptr);
    rowsMissing->setObject(2, row.get());
    EXPECT_EQ(rowsMissing->get(2), row.get());
}

TEST_F(TypedArrayTest, TwoDimensionalPrimitiveArrays) {
    checkPrimitiveMatrix<jboolean>("[[Z", "[Z");
    checkPrimitiveMatrix<jbyte>("[[B", "[B");
    checkPrimitiveMatrix<jchar>("[[C", "[C");
    checkPrimitiveMatrix<jint>("[[I", "[I");
}

TEST_F(TypedArrayTest, ThreeDimensionalIntArrays) {
    VMPtr<VMArray<jint, 3>> cube = VMArray<jint, 3>::create(2, 3, 4);
    EXPECT_STREQ(cube->getClass()->name.c_str(), "[[[I");
    EXPECT_EQ(cube->getClass(), cube->getClass());
    EXPECT_EQ(cube->getClass()->dimensions, 3);
    EXPECT_EQ(cube->elementClass, (VMArray<jint, 2>::defineClass()));
    ASSERT_EQ(cube->length, 2);
    for (jint i = 0; i < 2; ++i) {
        VMArray<jint, 2>* plane = cube->get(i);
        ASSERT_NE(plane, nullptr);
        ASSERT_EQ(plane->length, 3);
        for (jint j = 0; j < 3; ++j) {
            ASSERT_NE(plane->get(j), nullptr);
            EXPECT_EQ(plane->get(j)->length, 4);
            for (jint k = 0; k < 4; ++k) EXPECT_EQ(plane->get(j)->get(k), 0);
        }
    }
    cube->get(1)->get(2)->set(3, 42);
    EXPECT_EQ(cube->get(1)->get(2)->get(3), 42);
    EXPECT_EQ(cube->get(0)->get(2)->get(3), 0);

    // Given dimensions stop at the first zero.
    VMPtr<VMArray<jint, 3>> planes = VMArray<jint, 3>::create(2, 3, 0);
    for (jint i = 0; i < 2; ++i) {
        ASSERT_NE(planes->get(i), nullptr);
        EXPECT_EQ(planes->get(i)->length, 3);
        for (jint j = 0; j < 3; ++j) EXPECT_EQ(planes->get(i)->get(j), nullptr);
    }
    VMPtr<VMArray<jint, 3>> outer = VMArray<jint, 3>::create(2, 0, 4);
    EXPECT_EQ(outer->get(0), nullptr);
    EXPECT_EQ(outer->get(1), nullptr);
}

TEST_F(TypedArrayTest, ReferenceArraysOfObjectAndString) {
    VMArrayPtr<String> strings = VMArray<String, 1>::create(3);
    EXPECT_STREQ(strings->getClass()->name.c_str(), "[Ljava.lang.String;");
    EXPECT_EQ(strings->getClass(), (VMArray<String, 1>::defineClass()));
    EXPECT_EQ(strings->elementType, VM_T_REFERENCE);
    EXPECT_EQ(strings->elementSize, 8);
    EXPECT_EQ(strings->elementClass, String::_VM_getClass());
    EXPECT_EQ(strings->getClass()->elementClass, String::_VM_getClass());
    EXPECT_TRUE(strings->isReferenceArray());
    for (jint i = 0; i < 3; ++i) {
        EXPECT_EQ(strings->get(i), nullptr);
        EXPECT_EQ(strings->getObject(i), nullptr);
    }
    VMPtr<String> hello = String::_VM_fromUTF8("hello");
    strings->set(0, hello);
    strings->setObject(2, hello.get());
    EXPECT_EQ(strings->get(0), hello.get());
    EXPECT_EQ(strings->getObject(2), static_cast<Object*>(hello.get()));
    EXPECT_EQ(INDEX_FAILURE(strings->set(3, hello)), "Array index out of range: 3");
    EXPECT_EQ(INDEX_FAILURE(strings->get(-1)), "Array index out of range: -1");

    VMArrayPtr<Object> objects = VMArray<Object, 1>::create(4);
    EXPECT_STREQ(objects->getClass()->name.c_str(), "[Ljava.lang.Object;");
    EXPECT_EQ(objects->elementSize, 8);
    // An Object array takes anything, arrays included.
    VMPtr<Object> plain = Object::create();
    objects->setObject(0, plain.get());
    objects->setObject(1, hello.get());
    objects->setObject(2, strings.get());
    EXPECT_EQ(objects->get(0), plain.get());
    EXPECT_EQ(objects->get(1), static_cast<Object*>(hello.get()));
    EXPECT_EQ(objects->get(2), static_cast<Object*>(strings.get()));
    EXPECT_EQ(objects->get(3), nullptr);
}

TEST_F(TypedArrayTest, ArraysOfAClassInOneAndTwoDimensions) {
    VMPtr<VMArray<Gob, 2>> grid = VMArray<Gob, 2>::create(2, 3);
    EXPECT_STREQ(grid->getClass()->name.c_str(), "[[Lvmarraytest.Gob;");
    EXPECT_STREQ(grid->elementClass->name.c_str(), "[Lvmarraytest.Gob;");
    EXPECT_EQ(grid->get(1)->getClass(), (VMArray<Gob, 1>::defineClass()));
    for (jint i = 0; i < 2; ++i)
        for (jint j = 0; j < 3; ++j) EXPECT_EQ(grid->get(i)->get(j), nullptr);

    // A subclass instance fits a slot of its super-class.
    VMPtr<SubGob> sub = SubGob::create();
    sub->id = 9;
    grid->get(0)->setObject(1, sub.get());
    EXPECT_EQ(grid->get(0)->get(1)->id, 9);
    EXPECT_EQ(grid->get(1)->get(1), nullptr);
}

TEST_F(TypedArrayTest, StoringAnObjectOfTheWrongClassThrowsArrayStoreException) {
    VMArrayPtr<String> strings = VMArray<String, 1>::create(2);
    VMPtr<String> kept = String::_VM_fromUTF8("kept");
    strings->set(0, kept);
    VMPtr<Object> plain = Object::create();
    EXPECT_EQ(VM_THROWN_CLASS(strings->setObject(0, plain.get())), "java.lang.ArrayStoreException");
    EXPECT_EQ(strings->get(0), kept.get());
    try {
        strings->setObject(1, plain.get());
    } catch (ArrayStoreException* e) {
        EXPECT_EQ(e->getMessage(), nullptr);
    }

    VMArrayPtr<Gob> gobs = VMArray<Gob, 1>::create(1);
    EXPECT_EQ(VM_THROWN_CLASS(gobs->setObject(0, kept.get())), "java.lang.ArrayStoreException");
    EXPECT_EQ(gobs->get(0), nullptr);

    // Rows must be arrays of the row type.
    VMPtr<VMArray<jint, 2>> matrix = VMArray<jint, 2>::create(2, 2);
    VMArray<jint, 1>* row = matrix->get(0);
    VMArrayPtr<jbyte> bytes = VMArray<jbyte, 1>::create(2);
    EXPECT_EQ(VM_THROWN_CLASS(matrix->setObject(0, bytes.get())), "java.lang.ArrayStoreException");
    EXPECT_EQ(VM_THROWN_CLASS(matrix->setObject(1, plain.get())), "java.lang.ArrayStoreException");
    EXPECT_EQ(matrix->get(0), row);
    VMPtr<VMArray<jint, 3>> cube = VMArray<jint, 3>::create(1, 1, 1);
    EXPECT_EQ(VM_THROWN_CLASS(cube->setObject(0, row)), "java.lang.ArrayStoreException");

    // The index is checked before the class.
    EXPECT_EQ(VM_THROWN_CLASS(strings->setObject(2, plain.get())), "java.lang.ArrayIndexOutOfBoundsException");
}

TEST_F(TypedArrayTest, ElementsAndRowsAreKeptAliveByTheirArray) {
    VMWeak<String> element;
    VMWeak<VMArray<jint, 1>> row;
    {
        VMArrayPtr<String> strings = VMArray<String, 1>::create(2);
        VMPtr<VMArray<jint, 2>> matrix = VMArray<jint, 2>::create(2, 2);
        strings->set(1, String::_VM_fromUTF8("only here"));
        element = strings->get(1);
        row = matrix->get(1);
        _VM_collect(_VM_runtime);
        ASSERT_NE(element, nullptr);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(text(strings->get(1)->toString()), "only here");
    }
    _VM_collect(_VM_runtime);
    EXPECT_EQ(element, nullptr);
    EXPECT_EQ(row, nullptr);
}

TEST_F(TypedArrayTest, NegativeLengthsThrowAndAllocateNothing) {
    // Once, so that lazily made records exist before the heap is measured.
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 1>::create(-1))), "java.lang.NegativeArraySizeException");
    settle();
    const uint64_t used = _VM_heap.used;
    const size_t objects = _VM_heapCount(_VM_runtime);

    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 1>::create(-1))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jlong, 1>::create(INT32_MIN))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<String, 1>::create(-5))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 2>::create(-1, 4))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 2>::create(3, -1))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 2>::create(0, -1))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 3>::create(2, 3, -1))), "java.lang.NegativeArraySizeException");
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<Gob, 2>::create(4, -2))), "java.lang.NegativeArraySizeException");
    // The exception carries no message.
    try {
        VMArray<jshort, 1>::create(-1);
    } catch (Throwable* e) {
        EXPECT_EQ(e->getMessage(), nullptr);
    }
    settle();
    EXPECT_EQ(_VM_heap.used, used);
    EXPECT_EQ(_VM_heapCount(_VM_runtime), objects);

    // A negative length after a zero one is not a given dimension.
    EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 3>::create(2, 0, -1))), "");
}

// Storage that cannot be had ends in OutOfMemoryError and leaves nothing
// behind; a collection that runs while an array is being built must cope
// with its storage not existing yet.
TEST_F(TypedArrayTest, ArraysTooLargeForTheHeapLeaveNothingBehind) {
    auto attempt = [] {
        EXPECT_EQ(VM_THROWN_CLASS((VMArray<jlong, 1>::create(INT32_MAX))), "java.lang.OutOfMemoryError");
        EXPECT_EQ(VM_THROWN_CLASS((VMArray<String, 1>::create(INT32_MAX))), "java.lang.OutOfMemoryError");
        EXPECT_EQ(VM_THROWN_CLASS((VMArray<jint, 2>::create(3, INT32_MAX))), "java.lang.OutOfMemoryError");
    };
    // Once, so that lazily made records exist before the heap is measured.
    attempt();
    settle();
    const uint64_t used = _VM_heap.used;
    const size_t objects = _VM_heapCount(_VM_runtime);

    attempt();
    settle();
    EXPECT_EQ(_VM_heap.used, used);
    EXPECT_EQ(_VM_heapCount(_VM_runtime), objects);
    EXPECT_FALSE(VMThread::current()->outOfMemory);

    // Ordinary allocation works again.
    VMArrayPtr<jint> small = VMArray<jint, 1>::create(16);
    EXPECT_EQ(small->length, 16);
}

TEST_F(TypedArrayTest, CopyingElementsHandlesOverlap) {
    VMArrayPtr<jint> a = VMArray<jint, 1>::create(10);
    auto fill = [&] {
        for (jint i = 0; i < 10; ++i) a->set(i, i);
    };
    auto contents = [&] {
        std::string s;
        for (jint i = 0; i < 10; ++i) s += char('0' + a->get(i));
        return s;
    };
    fill();
    _VM_arrayCopyElements(a.get(), a.get(), 0, 2, 5);
    EXPECT_EQ(contents(), "0101234789");
    fill();
    _VM_arrayCopyElements(a.get(), a.get(), 2, 0, 5);
    EXPECT_EQ(contents(), "2345656789");
    fill();
    _VM_arrayCopyElements(a.get(), a.get(), 3, 3, 4);
    _VM_arrayCopyElements(a.get(), a.get(), 0, 5, 0);
    _VM_arrayCopyElements(a.get(), a.get(), 0, 5, -3);
    EXPECT_EQ(contents(), "0123456789");

    // Reference elements move as whole pointers.
    VMArrayPtr<String> from = VMArray<String, 1>::create(3);
    VMArrayPtr<String> to = VMArray<String, 1>::create(3);
    VMPtr<String> s0 = String::_VM_fromUTF8("s0");
    VMPtr<String> s1 = String::_VM_fromUTF8("s1");
    from->set(0, s0);
    from->set(1, s1);
    _VM_arrayCopyElements(to.get(), from.get(), 0, 1, 2);
    EXPECT_EQ(to->get(0), nullptr);
    EXPECT_EQ(to->get(1), s0.get());
    EXPECT_EQ(to->get(2), s1.get());

    // Long elements keep all eight bytes.
    VMArrayPtr<jlong> longs = VMArray<jlong, 1>::create(3);
    longs->set(0, INT64_MAX);
    longs->set(1, -2);
    _VM_arrayCopyElements(longs.get(), longs.get(), 0, 1, 2);
    EXPECT_EQ(longs->get(1), INT64_MAX);
    EXPECT_EQ(longs->get(2), -2);
}

}  // namespace

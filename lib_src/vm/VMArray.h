// Typed arrays: VMArray<E, N> is the array of element type E (a primitive
// type such as jint, or a class) with N dimensions. An array of more than one
// dimension is an array of references to arrays of one dimension fewer.
// Every element access checks its index.
#pragma once

#include <cstring>
#include <initializer_list>
#include <new>
#include <type_traits>

#include "VMClass.h"
#include "VMThrow.h"

class VMArray_Base : public virtual java::lang::Object {
public:
    // The element as an Object (null for primitive arrays).
    virtual java::lang::Object* getObject(jint index);
    // Stores an object; ArrayStoreException when it is not an instance of the
    // element class. Primitive arrays ignore it.
    virtual void setObject(jint index, java::lang::Object* object);

    jint elementType = 0;
    java::lang::Class* elementClass = nullptr;
    jint length = 0;
    jint elementSize = 0;
    void* data = nullptr;

    ~VMArray_Base() override;
    void markReferences(uint32_t bits) override;
    void _VM_prefetchStorage() override {
        // The block's header lies just before the elements.
        if (data != nullptr) __builtin_prefetch(static_cast<char*>(data) - 16, 1);
    }

    void checkIndex(jint index) const {
        if (uint32_t(index) >= uint32_t(length)) _VM_throwArrayIndexOutOfBoundsException(index);
    }
    bool isReferenceArray() const { return elementClass != nullptr; }

protected:
    VMArray_Base() = default;
    // Primitive arrays (and arrays of arrays when dims > 1 turn the code into
    // a reference code).
    void _VM_constructDims(jint typeCode, jint dims, jint arrayLength);
    // Arrays of references.
    void _VM_constructRefs(java::lang::Class* element, jint arrayLength);
};

// The element size in bytes of a type code (0 for an unknown code).
jint _VM_elementSizeOf(jint typeCode);
jint _VM_elementSize(VMArray_Base* array);
// Copies count elements with the destination's element size, overlap-safe.
// The caller has checked kinds and ranges.
void _VM_arrayCopyElements(VMArray_Base* destination, VMArray_Base* source, jint sourcePosition,
                           jint destinationPosition, jint count);
void _VM_markArrayElements(VMArray_Base* array, uint32_t bits);
// Registers (once) an array class record; returns it.
java::lang::Class* _VM_defineArrayClass(java::lang::Class** cache, const char* name, jint dimensions, jint elementType,
                                        java::lang::Class* elementClass);
// The descriptor name of a one-dimensional array of the given element class.
java::lang::Class* _VM_defineReferenceArrayClass(java::lang::Class** cache, java::lang::Class* elementClass,
                                                 jint dimensions);

template <class E>
struct VMPrimitiveCode;
template <>
struct VMPrimitiveCode<jboolean> {
    static constexpr jint code = VM_T_BOOLEAN;
    static constexpr const char* name = "[Z";
};
template <>
struct VMPrimitiveCode<jchar> {
    static constexpr jint code = VM_T_CHAR;
    static constexpr const char* name = "[C";
};
template <>
struct VMPrimitiveCode<jfloat> {
    static constexpr jint code = VM_T_FLOAT;
    static constexpr const char* name = "[F";
};
template <>
struct VMPrimitiveCode<jdouble> {
    static constexpr jint code = VM_T_DOUBLE;
    static constexpr const char* name = "[D";
};
template <>
struct VMPrimitiveCode<jbyte> {
    static constexpr jint code = VM_T_BYTE;
    static constexpr const char* name = "[B";
};
template <>
struct VMPrimitiveCode<jshort> {
    static constexpr jint code = VM_T_SHORT;
    static constexpr const char* name = "[S";
};
template <>
struct VMPrimitiveCode<jint> {
    static constexpr jint code = VM_T_INT;
    static constexpr const char* name = "[I";
};
template <>
struct VMPrimitiveCode<jlong> {
    static constexpr jint code = VM_T_LONG;
    static constexpr const char* name = "[J";
};

template <class E, int N>
class VMArray;

namespace vm_detail {

// Checks every length that will be used before anything is allocated: a
// zero length in second or later place ends the list.
inline void checkLengths(std::initializer_list<jint> lengths) {
    bool first = true;
    for (jint l : lengths) {
        if (!first && l == 0) return;
        if (l < 0) _VM_throwNegativeArraySizeException();
        first = false;
    }
}

// Allocates and constructs an array object; frees the block if the
// constructor throws.
template <class A, class... Args>
A* allocateArray(Args... args) {
    void* memory = _VM_allocInline(sizeof(A));
    try {
        return new (memory) A(args...);
    } catch (...) {
        _VM_free(memory);
        throw;
    }
}

}  // namespace vm_detail

// One-dimensional arrays of a primitive type.
template <class E, int N>
requires(N == 1 && std::is_arithmetic_v<E>) class VMArray<E, N> final : public VMArray_Base {
public:
    explicit VMArray(jint arrayLength) { _VM_constructDims(VMPrimitiveCode<E>::code, 1, arrayLength); }

    static VMPtr<VMArray> create(jint arrayLength) {
        if (arrayLength < 0) _VM_throwNegativeArraySizeException();
        VMArray* array = vm_detail::allocateArray<VMArray>(arrayLength);
        VMPtr<VMArray> result(array);
        _VM_endConstruction(array);
        return result;
    }
    static java::lang::Class* defineClass() {
        if (classRecord == nullptr)
            _VM_defineArrayClass(&classRecord, VMPrimitiveCode<E>::name, 1, VMPrimitiveCode<E>::code, nullptr);
        return classRecord;
    }
    static java::lang::Class* _VM_getClass() { return defineClass(); }
    java::lang::Class* getClass() override { return defineClass(); }

    E* elements() { return static_cast<E*>(data); }
    const E* elements() const { return static_cast<const E*>(data); }
    E& operator[](jint index) {
        checkIndex(index);
        return elements()[index];
    }
    E get(jint index) const {
        checkIndex(index);
        return elements()[index];
    }
    void set(jint index, E value) {
        checkIndex(index);
        elements()[index] = value;
    }

    static inline java::lang::Class* classRecord = nullptr;
};

// The common part of every array of references: of one dimension (the
// elements are objects of class E) and of more (the elements are arrays of
// one dimension fewer, Element = VMArray<E, N - 1>).
template <class Element>
class VMReferenceArray : public VMArray_Base {
public:
    Element** elements() { return static_cast<Element**>(data); }
    Element* get(jint index) const {
        checkIndex(index);
        return static_cast<Element**>(data)[index];
    }
    void set(jint index, const VMPtr<Element>& value) {
        checkIndex(index);
        static_cast<Element**>(data)[index] = value.target;
    }
    void set(jint index, Element* value) {
        checkIndex(index);
        static_cast<Element**>(data)[index] = value;
    }

    java::lang::Object* getObject(jint index) override { return static_cast<java::lang::Object*>(get(index)); }
    void setObject(jint index, java::lang::Object* object) override {
        checkIndex(index);
        if (object == nullptr) {
            elements()[index] = nullptr;
            return;
        }
        if constexpr (std::is_same_v<Element, java::lang::Object>) {
            elements()[index] = object;
        } else {
            Element* typed = dynamic_cast<Element*>(object);
            if (typed == nullptr) _VM_throwArrayStoreException();
            elements()[index] = typed;
        }
    }
    void markReferences(uint32_t bits) override {
        Element** items = elements();
        if (items == nullptr) return;  // storage not allocated yet
        for (jint i = 0; i < length; ++i)
            if (items[i] != nullptr) _VM_mark(static_cast<java::lang::Object*>(items[i]), bits);
    }

protected:
    VMReferenceArray() = default;
};

// One-dimensional arrays of references to E.
template <class E, int N>
requires(N == 1 && !std::is_arithmetic_v<E>) class VMArray<E, N> final : public VMReferenceArray<E> {
public:
    explicit VMArray(jint arrayLength) {
        this->_VM_constructRefs(E::_VM_getClass(), arrayLength);
        defineClass();
    }

    static VMPtr<VMArray> create(jint arrayLength) {
        if (arrayLength < 0) _VM_throwNegativeArraySizeException();
        VMArray* array = vm_detail::allocateArray<VMArray>(arrayLength);
        VMPtr<VMArray> result(array);
        _VM_endConstruction(array);
        return result;
    }
    static java::lang::Class* defineClass() {
        if (classRecord == nullptr) _VM_defineReferenceArrayClass(&classRecord, E::_VM_getClass(), 1);
        return classRecord;
    }
    static java::lang::Class* _VM_getClass() { return defineClass(); }
    java::lang::Class* getClass() override { return defineClass(); }

    static inline java::lang::Class* classRecord = nullptr;
};

// Arrays of N > 1 dimensions: arrays of references to VMArray<E, N - 1>.
template <class E, int N>
requires(N > 1) class VMArray<E, N> final : public VMReferenceArray<VMArray<E, N - 1>> {
public:
    using Row = VMArray<E, N - 1>;

    // Builds the outer array; rows are built by create.
    explicit VMArray(jint arrayLength) {
        this->_VM_constructRefs(Row::defineClass(), arrayLength);
        defineClass();
    }

    // create(l1, l2, ..., lN): a zero length in second or later place means
    // that dimension is not given (rows stay null).
    template <class... Lengths>
    requires(sizeof...(Lengths) == N - 1) static VMPtr<VMArray> create(jint l1, Lengths... rest) {
        vm_detail::checkLengths({l1, jint(rest)...});
        return build(l1, jint(rest)...);
    }
    static VMPtr<VMArray> create(jint l1) { return build(l1); }

    static java::lang::Class* defineClass() {
        if (classRecord == nullptr) _VM_defineReferenceArrayClass(&classRecord, Row::defineClass(), N);
        return classRecord;
    }
    static java::lang::Class* _VM_getClass() { return defineClass(); }
    java::lang::Class* getClass() override { return defineClass(); }

    static inline java::lang::Class* classRecord = nullptr;

private:
    template <class... Rest>
    static VMPtr<VMArray> build(jint l1, Rest... rest) {
        VMArray* array = vm_detail::allocateArray<VMArray>(l1);
        VMPtr<VMArray> result(array);
        if constexpr (sizeof...(Rest) > 0) {
            if (first(rest...) != 0) {
                try {
                    for (jint i = 0; i < l1; ++i) {
                        VMPtr<Row> row = Row::create(rest...);
                        array->elements()[i] = row.target;
                    }
                } catch (...) {
                    // A row could not be made: the outer array is garbage, and
                    // must not stay marked as under construction for ever.
                    _VM_endConstruction(array);
                    throw;
                }
            }
        }
        _VM_endConstruction(array);
        return result;
    }
    template <class... R>
    static jint first(jint a, R...) {
        return a;
    }
};

template <class E, int N = 1>
using VMArrayPtr = VMPtr<VMArray<E, N>>;

// The arrays of the primitive types, one name each for every class to use.
// An array of references names its element class: VMArray<ts::Gob, 1>.
using VMBooleans = VMArray<jboolean, 1>;
using VMBytes = VMArray<jbyte, 1>;
using VMChars = VMArray<jchar, 1>;
using VMShorts = VMArray<jshort, 1>;
using VMInts = VMArray<jint, 1>;
using VMLongs = VMArray<jlong, 1>;
using VMFloats = VMArray<jfloat, 1>;
using VMDoubles = VMArray<jdouble, 1>;
// Two dimensions: an array of rows.
using VMBooleanRows = VMArray<jboolean, 2>;
using VMIntRows = VMArray<jint, 2>;

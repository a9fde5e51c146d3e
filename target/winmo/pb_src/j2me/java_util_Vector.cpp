// java.util.Vector: a growable array of object references.
#include "java_util_Vector.h"

#include <cstdint>

#include "java_lang_StringBuffer.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IndexOutOfBoundsException.h"
#include "java_util_NoSuchElementException.h"
#include "java_util_VectorEnumerator.h"

using java::lang::Object;
using java::lang::String;

namespace {

[[noreturn]] void throwArrayIndex(const char* message) {
    _VM_throw(java::lang::ArrayIndexOutOfBoundsException::create()->construct(VM_STR(message)));
}

// Index tests shared by the element accessors: at or above the count is the
// vector's own failure, below zero the array's.
void checkElementIndex(jint index, jint count) {
    if (index >= count) throwArrayIndex("index >= elementCount");
    if (index < 0) _VM_throwArrayIndexOutOfBoundsException(index);
}

}  // namespace

namespace java::util {

VMPtr<Vector> Vector::construct() { return construct(10, 0); }

VMPtr<Vector> Vector::construct(jint initialCapacity) { return construct(initialCapacity, 0); }

VMPtr<Vector> Vector::construct(jint initialCapacity, jint increment) {
    Super::construct();
    if (initialCapacity < 0)
        _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("Negative initialCapacity")));
    elementCount = 0;
    elementData = ElementArray::create(initialCapacity);
    capacityIncrement = increment;
    return this;
}

void Vector::grow(jint minCapacity) {
    const int64_t oldCapacity = elementData->length;
    int64_t newCapacity = capacityIncrement > 0 ? oldCapacity + capacityIncrement : oldCapacity * 2;
    // A step past the largest array length gives just what is needed.
    if (newCapacity < minCapacity || newCapacity > INT32_MAX) newCapacity = minCapacity;
    VMPtr<ElementArray> fresh = ElementArray::create(jint(newCapacity));
    _VM_arrayCopyElements(fresh.get(), elementData.get(), 0, 0, elementCount);
    elementData = fresh;
}

void Vector::makeRoomForOne() {
    if (elementCount < elementData->length) return;
    if (elementCount == INT32_MAX) _VM_throwOutOfMemoryError();  // no array can be longer
    grow(elementCount + 1);
}

void Vector::copyInto(VMPtr<VMArray_Base> anArray) {
    VMSynchronized lock(this);
    if (anArray == nullptr) _VM_throwNullPointer();
    if (!anArray->isReferenceArray()) _VM_throwArrayStoreException();
    if (anArray->length < elementCount) throwArrayIndex("destination array too small");
    for (jint i = elementCount - 1; i >= 0; --i) anArray->setObject(i, elementData->elements()[i]);
}

void Vector::trimToSize() {
    VMSynchronized lock(this);
    if (elementCount >= elementData->length) return;
    VMPtr<ElementArray> fresh = ElementArray::create(elementCount);
    _VM_arrayCopyElements(fresh.get(), elementData.get(), 0, 0, elementCount);
    elementData = fresh;
}

void Vector::ensureCapacity(jint minCapacity) {
    VMSynchronized lock(this);
    if (minCapacity > elementData->length) grow(minCapacity);
}

void Vector::setSize(jint newSize) {
    VMSynchronized lock(this);
    if (newSize < 0) throwArrayIndex("new size is negative");
    if (newSize > elementCount && newSize > elementData->length) {
        grow(newSize);
    } else {
        Object** slots = elementData->elements();
        for (jint i = newSize; i < elementCount; ++i) slots[i] = nullptr;
    }
    elementCount = newSize;
}

jint Vector::capacity() { return elementData->length; }

jint Vector::size() { return elementCount; }

jboolean Vector::isEmpty() { return elementCount == 0; }

VMPtr<Enumeration> Vector::elements() {
    VMSynchronized lock(this);
    return VectorEnumerator::create()->construct(this);
}

jboolean Vector::contains(VMPtr<Object> elem) { return indexOf(elem, 0) >= 0; }

jint Vector::indexOf(VMPtr<Object> elem, jint index) {
    VMSynchronized lock(this);
    if (index >= elementCount) return -1;
    if (index < 0) _VM_throwArrayIndexOutOfBoundsException(index);
    // The count and the storage are read afresh at every step: equals may
    // run code that changes this vector.
    for (jint i = index; i < elementCount; ++i) {
        Object* slot = elementData->elements()[i];
        if (elem == nullptr ? slot == nullptr : elem->equals(VMPtr<Object>(slot))) return i;
    }
    return -1;
}

jint Vector::indexOf(VMPtr<Object> elem) { return indexOf(elem, 0); }

jint Vector::lastIndexOf(VMPtr<Object> elem, jint index) {
    VMSynchronized lock(this);
    if (index >= elementCount)
        _VM_throw(java::lang::IndexOutOfBoundsException::create()->construct(VM_STR("index >= elementCount")));
    for (jint i = index; i >= 0; --i) {
        if (i >= elementCount) continue;  // shrunk by an equals below
        Object* slot = elementData->elements()[i];
        if (elem == nullptr ? slot == nullptr : elem->equals(VMPtr<Object>(slot))) return i;
    }
    return -1;
}

jint Vector::lastIndexOf(VMPtr<Object> elem) { return lastIndexOf(elem, elementCount - 1); }

VMPtr<Object> Vector::elementAt(jint index) {
    VMSynchronized lock(this);
    checkElementIndex(index, elementCount);
    return elementData->elements()[index];
}

VMPtr<Object> Vector::firstElement() {
    VMSynchronized lock(this);
    if (elementCount == 0) _VM_throw(NoSuchElementException::create()->construct());
    return elementData->elements()[0];
}

VMPtr<Object> Vector::lastElement() {
    VMSynchronized lock(this);
    if (elementCount == 0) _VM_throw(NoSuchElementException::create()->construct());
    return elementData->elements()[elementCount - 1];
}

void Vector::setElementAt(VMPtr<Object> obj, jint index) {
    VMSynchronized lock(this);
    checkElementIndex(index, elementCount);
    elementData->elements()[index] = obj.get();
}

void Vector::removeElementAt(jint index) {
    VMSynchronized lock(this);
    checkElementIndex(index, elementCount);
    const jint moved = elementCount - index - 1;
    if (moved > 0) _VM_arrayCopyElements(elementData.get(), elementData.get(), index + 1, index, moved);
    --elementCount;
    elementData->elements()[elementCount] = nullptr;
}

void Vector::insertElementAt(VMPtr<Object> obj, jint index) {
    VMSynchronized lock(this);
    if (int64_t(index) >= int64_t(elementCount) + 1) throwArrayIndex("index >= elementCount");
    if (index < 0) _VM_throwArrayIndexOutOfBoundsException(index);
    makeRoomForOne();
    _VM_arrayCopyElements(elementData.get(), elementData.get(), index, index + 1, elementCount - index);
    elementData->elements()[index] = obj.get();
    ++elementCount;
}

void Vector::addElement(VMPtr<Object> obj) {
    VMSynchronized lock(this);
    makeRoomForOne();
    elementData->elements()[elementCount] = obj.get();
    ++elementCount;
}

jboolean Vector::removeElement(VMPtr<Object> obj) {
    VMSynchronized lock(this);
    jint i = indexOf(obj);
    if (i < 0) return false;
    removeElementAt(i);
    return true;
}

void Vector::removeAllElements() {
    VMSynchronized lock(this);
    Object** slots = elementData->elements();
    for (jint i = 0; i < elementCount; ++i) slots[i] = nullptr;
    elementCount = 0;
}

VMPtr<String> Vector::toString() {
    VMSynchronized lock(this);
    VMPtr<java::lang::StringBuffer> text = java::lang::StringBuffer::create()->construct();
    text->append("[");
    // An element's toString may change this vector: read it afresh each step.
    for (jint i = 0; i < elementCount; ++i) {
        if (i > 0) text->append(", ");
        Object* element = elementData->elements()[i];
        if (element == this)
            text->append("(this Collection)");  // a vector that holds itself
        else
            text->append(VMPtr<Object>(element));
    }
    text->append("]");
    return text->toString();
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::Vector, .name = "java.util.Vector", .newInstance = _VM_newInstanceOf<java::util::Vector>)

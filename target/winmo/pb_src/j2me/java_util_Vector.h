// java.util.Vector: a growable array of object references.
#pragma once

#include "VMArray.h"
#include "java_lang_String.h"
#include "java_util_Enumeration.h"

namespace java::util {

class Vector : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Vector, java::lang::Object)

public:
    using ElementArray = VMArray<java::lang::Object, 1>;

    // The element storage; its length is the capacity. Slots at and above
    // elementCount hold null.
    VMField<ElementArray> elementData;
    jint elementCount = 0;
    // Growth step; 0 or negative doubles the capacity.
    jint capacityIncrement = 0;

    // Capacity 10, doubling.
    VMPtr<Vector> construct();
    VMPtr<Vector> construct(jint initialCapacity);
    // IllegalArgumentException "Negative initialCapacity" for a negative
    // capacity.
    VMPtr<Vector> construct(jint initialCapacity, jint capacityIncrement);

    // Copies the elements into anArray (any array of references); elements
    // the array's element class cannot hold are rejected by its store.
    virtual void copyInto(VMPtr<VMArray_Base> anArray);
    virtual void trimToSize();
    virtual void ensureCapacity(jint minCapacity);
    virtual void setSize(jint newSize);
    virtual jint capacity();
    virtual jint size();
    virtual jboolean isEmpty();
    // A live walk over the elements (no modification check).
    virtual VMPtr<Enumeration> elements();
    virtual jboolean contains(VMPtr<java::lang::Object> elem);
    virtual jint indexOf(VMPtr<java::lang::Object> elem, jint index);
    virtual jint indexOf(VMPtr<java::lang::Object> elem);
    virtual jint lastIndexOf(VMPtr<java::lang::Object> elem, jint index);
    virtual jint lastIndexOf(VMPtr<java::lang::Object> elem);
    virtual VMPtr<java::lang::Object> elementAt(jint index);
    virtual VMPtr<java::lang::Object> firstElement();
    virtual VMPtr<java::lang::Object> lastElement();
    virtual void setElementAt(VMPtr<java::lang::Object> obj, jint index);
    virtual void removeElementAt(jint index);
    virtual void insertElementAt(VMPtr<java::lang::Object> obj, jint index);
    virtual void addElement(VMPtr<java::lang::Object> obj);
    virtual jboolean removeElement(VMPtr<java::lang::Object> obj);
    virtual void removeAllElements();

    // "[e0, e1, ...]", a null element as "null".
    VMPtr<java::lang::String> toString() override;

    void markReferences(uint32_t bits) override { _VM_markRef(elementData, bits); }

private:
    // Replaces the storage by a larger array (minCapacity > capacity).
    void grow(jint minCapacity);
    // Grows when the storage is full, so that one more element fits.
    void makeRoomForOne();
};

}  // namespace java::util

// Typed arrays: the common part.
#include "VMArray.h"

#include <cstring>

#include "hal_system.h"

jint _VM_elementSizeOf(jint typeCode) {
    switch (typeCode) {
        case VM_T_REFERENCE: return jint(sizeof(void*));
        case VM_T_BOOLEAN: return 1;
        case VM_T_CHAR: return 2;
        case VM_T_FLOAT: return 4;
        case VM_T_DOUBLE: return 8;
        case VM_T_BYTE: return 1;
        case VM_T_SHORT: return 2;
        case VM_T_INT: return 4;
        case VM_T_LONG: return 8;
        default: return 0;
    }
}

jint _VM_elementSize(VMArray_Base* array) {
    array->elementSize = _VM_elementSizeOf(array->elementType);
    return array->elementSize;
}

java::lang::Object* VMArray_Base::getObject(jint index) {
    checkIndex(index);
    return nullptr;
}

void VMArray_Base::setObject(jint index, java::lang::Object*) { checkIndex(index); }

VMArray_Base::~VMArray_Base() {
    _VM_free(data);
    data = nullptr;
}

void VMArray_Base::markReferences(uint32_t bits) { _VM_markArrayElements(this, bits); }

void _VM_markArrayElements(VMArray_Base* array, uint32_t bits) {
    if (array->elementClass == nullptr) return;
    for (jint i = 0; i < array->length; ++i)
        if (java::lang::Object* element = array->getObject(i)) _VM_mark(element, bits);
}

void VMArray_Base::_VM_constructDims(jint typeCode, jint dims, jint arrayLength) {
    elementType = typeCode;
    elementClass = nullptr;
    length = arrayLength;
    data = nullptr;
    if (arrayLength < 0) _VM_throwNegativeArraySizeException();
    if (dims > 1) elementType = VM_T_REFERENCE;
    _VM_elementSize(this);
    data = _VM_allocInline(size_t(arrayLength) * size_t(elementSize));  // zero-filled
}

void VMArray_Base::_VM_constructRefs(java::lang::Class* element, jint arrayLength) {
    elementType = VM_T_REFERENCE;
    elementClass = element;
    length = arrayLength;
    data = nullptr;
    if (arrayLength < 0) _VM_throwNegativeArraySizeException();
    _VM_elementSize(this);
    data = _VM_allocInline(size_t(arrayLength) * size_t(elementSize));
}

void _VM_arrayCopyElements(VMArray_Base* destination, VMArray_Base* source, jint sourcePosition,
                           jint destinationPosition, jint count) {
    if (count <= 0) return;
    size_t size = size_t(destination->elementSize);
    std::memmove(static_cast<char*>(destination->data) + size_t(destinationPosition) * size,
                 static_cast<char*>(source->data) + size_t(sourcePosition) * size, size_t(count) * size);
}

java::lang::Class* _VM_defineArrayClass(java::lang::Class** cache, const char* name, jint dimensions, jint elementType,
                                        java::lang::Class* elementClass) {
    if (*cache != nullptr) return *cache;
    if (java::lang::Class* existing = _VM_findClass(name)) return *cache = existing;
    void* memory = _VM_alloc(sizeof(java::lang::Class), 1);
    auto* record = new (memory) java::lang::Class();
    _VM_defineClass(record, name, "java.lang.Object", "lib_src/vm/VMArray", 0, nullptr, nullptr, false, false, false,
                    dimensions, elementType, elementClass, true);
    *cache = record;
    return record;
}

java::lang::Class* _VM_defineReferenceArrayClass(java::lang::Class** cache, java::lang::Class* elementClass,
                                                 jint dimensions) {
    if (*cache != nullptr) return *cache;
    if (elementClass == nullptr) HAL_fatalError("Attempt to use invalid type with a java array!");
    VMCString name;
    _VM_cstrAppend(&name, "[");
    if (elementClass->dimensions == 0) {
        _VM_cstrAppend(&name, "L");
        _VM_cstrAppend(&name, elementClass->name.c_str());
        _VM_cstrAppend(&name, ";");
    } else {
        _VM_cstrAppend(&name, elementClass->name.c_str());
    }
    java::lang::Class* record = _VM_defineArrayClass(cache, name.c_str(), dimensions, VM_T_REFERENCE, elementClass);
    _VM_cstrFree(&name);
    return record;
}

// java.util.VectorEnumerator: the live walk that Vector.elements() hands out.
#pragma once

#include "java_util_Enumeration.h"
#include "java_util_Vector.h"

namespace java::util {

class VectorEnumerator : public virtual java::lang::Object, public virtual Enumeration {
    VM_DECLARE_CLASS(VectorEnumerator, java::lang::Object)

public:
    VMField<Vector> vector;
    // Index of the next element.
    jint count = 0;

    VMPtr<VectorEnumerator> construct(VMPtr<Vector> v);

    // Reads the vector's current count, without its monitor.
    jboolean hasMoreElements() override;
    // Under the vector's monitor; NoSuchElementException "VectorEnumerator"
    // past the end.
    VMPtr<java::lang::Object> nextElement() override;

    void markReferences(uint32_t bits) override { _VM_markRef(vector, bits); }
};

}  // namespace java::util

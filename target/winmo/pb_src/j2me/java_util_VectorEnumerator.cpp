// java.util.VectorEnumerator: the live walk that Vector.elements() hands out.
#include "java_util_VectorEnumerator.h"

#include "java_util_NoSuchElementException.h"

namespace java::util {

VMPtr<VectorEnumerator> VectorEnumerator::construct(VMPtr<Vector> v) {
    Super::construct();
    if (v == nullptr) _VM_throwNullPointer();
    vector = v;
    count = 0;
    return this;
}

jboolean VectorEnumerator::hasMoreElements() { return count < vector->elementCount; }

VMPtr<java::lang::Object> VectorEnumerator::nextElement() {
    VMSynchronized lock(vector);
    if (count < vector->elementCount) return vector->elementData->elements()[count++];
    _VM_throw(NoSuchElementException::create()->construct(VM_STR("VectorEnumerator")));
}

}  // namespace java::util

// Registered under the vector's source name: the class exists only to walk vectors.
VM_REGISTER_CLASS(java::util::VectorEnumerator, .name = "java.util.VectorEnumerator",
                  .sourceName = "target/winmo/pb_src/j2me/java_util_Vector", .interfaces = {"java.util.Enumeration"})

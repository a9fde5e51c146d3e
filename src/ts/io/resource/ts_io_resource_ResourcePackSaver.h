// ts.io.resource.ResourcePackSaver: builds the byte image of a plain
// resource pack from resources held in memory: the flags byte 0x41 (4-byte
// sizes), the 16-bit count n, n sizes, n type bytes, the total T of the
// sizes and the T bytes of data. ResourcePack::load reads it back.
#pragma once

#include "VMArray.h"

namespace ts::io::resource {

class ResourcePackSaver : public virtual java::lang::Object {
    VM_DECLARE_CLASS(ResourcePackSaver, java::lang::Object)

public:
    VMPtr<ResourcePackSaver> construct();

    // One resource per type byte (further arrays in resources are ignored).
    // IllegalArgumentException for more than 65535 resources or more data
    // than one array holds; a missing resource array throws as Java would.
    static VMPtr<VMArray<jbyte, 1>> buildPack(VMPtr<VMArray<jbyte, 2>> resources, VMPtr<VMArray<jbyte, 1>> types);
};

}  // namespace ts::io::resource

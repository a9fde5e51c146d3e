// ts.io.resource.ResourcePackSaver: builds the byte image of a plain resource pack.
#include "ts_io_resource_ResourcePackSaver.h"

#include <cstring>

#include "java_io_ByteArrayOutputStream.h"
#include "java_io_DataOutputStream.h"
#include "java_lang_IllegalArgumentException.h"

namespace ts::io::resource {

VMPtr<ResourcePackSaver> ResourcePackSaver::construct() {
    Super::construct();
    return this;
}

VMPtr<VMBytes> ResourcePackSaver::buildPack(VMPtr<VMArray<jbyte, 2>> resources, VMPtr<VMBytes> types) {
    _VM_ensureInitialized(_VM_classRecord);
    const jint n = types->length;
    if (n > 0xFFFF) {
        _VM_throw(
            java::lang::IllegalArgumentException::create()->construct(VM_STR("A pack holds at most 65535 resources")));
    }
    const jint header = 5 * n + 7;
    // The resources, checked before anything is written.
    jlong total = 0;
    for (jint i = 0; i < n; ++i) {
        VMBytes* resource = resources->get(i);
        if (resource == nullptr) _VM_throwNullPointer();
        total += resource->length;
    }
    if (header + total > INT32_MAX) {
        _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("Pack data too large")));
    }
    VMPtr<java::io::ByteArrayOutputStream> bytes = java::io::ByteArrayOutputStream::create()->construct(header);
    VMPtr<java::io::DataOutputStream> out = java::io::DataOutputStream::create()->construct(bytes);
    out->write(0x41);
    out->writeShort(n);
    for (jint i = 0; i < n; ++i) out->writeInt(resources->get(i)->length);
    out->write(types);
    out->writeInt(jint(total));
    VMPtr<VMBytes> image = VMBytes::create(header + jint(total));
    VMPtr<VMBytes> head = bytes->toByteArray();
    std::memcpy(image->elements(), head->elements(), size_t(header));
    jint p = header;
    for (jint i = 0; i < n; ++i) {
        VMBytes* resource = resources->get(i);
        if (resource->length > 0) std::memcpy(image->elements() + p, resource->elements(), size_t(resource->length));
        p += resource->length;
    }
    return image;
}

}  // namespace ts::io::resource

VM_REGISTER_CLASS(ts::io::resource::ResourcePackSaver, .name = "ts.io.resource.ResourcePackSaver",
                  .newInstance = _VM_newInstanceOf<ts::io::resource::ResourcePackSaver>)

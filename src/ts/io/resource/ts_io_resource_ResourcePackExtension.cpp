// ts.io.resource.ResourcePackExtension: a resource pack with extension data per resource.
#include "ts_io_resource_ResourcePackExtension.h"

#include <cstring>

#include "java_io_IOException.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_Throwable.h"
#include "ts_Resources.h"

namespace ts::io::resource {

using java::io::DataInputStream;

VMPtr<ResourcePackExtension> ResourcePackExtension::construct() {
    Super::construct();
    return this;
}

void ResourcePackExtension::unloadExtension() {
    extensionSizes = nullptr;
    extensionData = nullptr;
}

void ResourcePackExtension::readExtension(VMPtr<DataInputStream> in) {
    if (resourceSizes == nullptr) {
        _VM_throw(java::io::IOException::create()->construct(VM_STR("No resource table for the extension data")));
    }
    try {
        const jint n = resourceSizes->length;
        VMPtr<VMBytes> raw = readBytes(in, jlong(n) * 2);
        VMPtr<VMChars> sizes = VMChars::create(n);
        const uint8_t* p = reinterpret_cast<const uint8_t*>(raw->elements());
        jlong total = 0;
        for (jint i = 0; i < n; ++i, p += 2) {
            const jchar size = jchar(p[0] << 8 | p[1]);
            sizes->elements()[i] = size;
            total += size;
        }
        extensionSizes = sizes;
        extensionData = readBytes(in, total);
    } catch (java::lang::Throwable* failure) {
        VMPtr<java::lang::Throwable> keep(failure);
        // Never sizes without their data.
        unloadExtension();
        _VM_throw(keep);
    }
}

jint ResourcePackExtension::extensionIndex(jint id) {
    ensurePackLoaded(id);
    VMChars* sizes = extensionSizes.target;
    if (sizes == nullptr) return -1;
    const jint index = id & 0x3FF;
    if (index < sizes->length) return index;
    VMPtr<java::lang::StringBuffer> message = java::lang::StringBuffer::create()->construct();
    message->append("No extension of resource ");
    message->append(id);
    message->append(" in pack ");
    message->append(currentPack);
    _VM_throw(java::lang::RuntimeException::create()->construct(message->toString()));
}

jint ResourcePackExtension::getExtensionOffset(jint index) {
    VMPtr<VMChars> sizes = extensionSizes;
    if (index > sizes->length) _VM_throwArrayIndexOutOfBoundsException(index);
    jint offset = 0;
    for (jint i = 0; i < index; ++i) offset += sizes->elements()[i];
    return offset;
}

jint ResourcePackExtension::getExtensionSize(jint id) {
    const jint index = extensionIndex(id);
    return index < 0 ? -1 : extensionSizes->elements()[index];
}

VMPtr<VMBytes> ResourcePackExtension::getExtensionBytes(jint id) {
    const jint index = extensionIndex(id);
    if (index < 0) return nullptr;
    const jint size = extensionSizes->elements()[index];
    VMPtr<VMBytes> bytes = VMBytes::create(size);
    std::memcpy(bytes->elements(), extensionData->elements() + getExtensionOffset(index), size_t(size));
    return bytes;
}

VMPtr<DataInputStream> ResourcePackExtension::getExtensionAsStream(jint id) {
    const jint index = extensionIndex(id);
    if (index < 0) return nullptr;
    return ts::Resources::createStream(extensionData, getExtensionOffset(index), extensionSizes->elements()[index]);
}

jboolean ResourcePackExtension::hasExtension() { return extensionData != nullptr; }

}  // namespace ts::io::resource

VM_REGISTER_CLASS(ts::io::resource::ResourcePackExtension, .name = "ts.io.resource.ResourcePackExtension",
                  .newInstance = _VM_newInstanceOf<ts::io::resource::ResourcePackExtension>)

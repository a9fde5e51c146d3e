// ts.io.resource.ResourcePackExtension: a resource pack with an optional
// second block of bytes per resource, the extension data: N 16-bit sizes
// (N the count of the loaded table) followed by the extensions back to back.
// The table exists only after readExtension has read one; unloading the
// pack drops it.
#pragma once

#include "ts_io_resource_ResourcePack.h"

namespace ts::io::resource {

class ResourcePackExtension : public ResourcePack {
    VM_DECLARE_CLASS(ResourcePackExtension, ResourcePack)

public:
    VMField<VMBytes> extensionData;             // null without an extension table
    VMField<VMArray<jchar, 1>> extensionSizes;  // null without an extension table

    VMPtr<ResourcePackExtension> construct();

    void unloadExtension() override;
    // Reads the extension table for the loaded resource table. IOException
    // without a resource table; a failure leaves no extension table.
    void readExtension(VMPtr<java::io::DataInputStream> in) override;
    // The lookups load the pack the id names first; without an extension
    // table they give null (and -1 for the size).
    virtual VMPtr<VMBytes> getExtensionBytes(jint id);
    virtual VMPtr<java::io::DataInputStream> getExtensionAsStream(jint id);
    virtual jint getExtensionSize(jint id);
    virtual jboolean hasExtension();

    // The sum of the extension sizes before index.
    jint getExtensionOffset(jint index);

    void markReferences(uint32_t bits) override {
        ResourcePack::markReferences(bits);
        _VM_markRef(extensionData, bits);
        _VM_markRef(extensionSizes, bits);
    }

private:
    // The index of id's extension, or -1 without an extension table.
    jint extensionIndex(jint id);
};

}  // namespace ts::io::resource

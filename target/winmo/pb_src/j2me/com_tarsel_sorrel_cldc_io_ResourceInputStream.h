// com.tarsel.sorrel.cldc.io.ResourceInputStream: reads one resource file of
// the application, read-only, straight from the platform (no buffer of its
// own: every read goes to the file at the current position).
#pragma once

#include "java_io_InputStream.h"
#include "java_lang_String.h"

struct HAL_ResourceFile;  // the platform's (hal_resource.h), opaque here

namespace com::tarsel::sorrel::cldc::io {

class ResourceInputStream : public java::io::InputStream {
    VM_DECLARE_CLASS(ResourceInputStream, java::io::InputStream)

public:
    HAL_ResourceFile* handle = nullptr;  // null once closed
    jint position = 0;                   // offset of the next byte
    jint size = 0;                       // the file's length, taken at opening
    jint markPosition = 0;               // where reset() returns to

    // Opens the resource of that (already resolved) name; IOException
    // "Resource error: " + status when the platform refuses.
    VMPtr<ResourceInputStream> construct(VMPtr<java::lang::String> name);
    ~ResourceInputStream() override;

    using java::io::InputStream::read;
    jint read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) override;
    jint read() override;
    jlong skip(jlong n) override;
    jint available() override;
    void close() override;
    void mark(jint readlimit) override;
    void reset() override;
    jboolean markSupported() override;
};

}  // namespace com::tarsel::sorrel::cldc::io

// com.tarsel.sorrel.cldc.io.ResourceInputStream: reads one resource file of the application.
#include "com_tarsel_sorrel_cldc_io_ResourceInputStream.h"

#include <algorithm>
#include <cstdio>

#include "hal_resource.h"
#include "hal_system.h"
#include "java_io_IOException.h"

namespace {

using java::io::IOException;

[[noreturn]] void throwClosed() { _VM_throw(IOException::create()->construct()); }

[[noreturn]] void throwStatus(int status) {
    char text[40];
    std::snprintf(text, sizeof text, "Resource error: %d", status);
    _VM_throw(IOException::create()->construct(java::lang::String::_VM_fromUTF8(text)));
}

}  // namespace

namespace com::tarsel::sorrel::cldc::io {

using java::lang::String;

VMPtr<ResourceInputStream> ResourceInputStream::construct(VMPtr<String> name) {
    Super::construct();
    handle = nullptr;
    if (name == nullptr) _VM_throwNullPointer();
    HAL_ResourceFile* opened = nullptr;
    int status = HAL_openResource(&opened, name->_VM_chars(), name->length());
    if (status != HAL_OK) throwStatus(status);
    if (opened == nullptr) throwClosed();
    handle = opened;
    // The stream counts in 32 bits: a larger file is read up to that length.
    int64_t length = HAL_getResourceSize(handle);
    size = jint(std::clamp<int64_t>(length, 0, INT32_MAX));
    position = 0;
    markPosition = 0;
    return this;
}

ResourceInputStream::~ResourceInputStream() {
    if (handle != nullptr) HAL_closeResource(handle);
    handle = nullptr;
}

jint ResourceInputStream::read() {
    if (handle == nullptr) throwClosed();
    uint8_t byte = 0;
    int32_t count = 1;
    int status = HAL_readResource(handle, &byte, position, &count);
    if (status != HAL_OK && status != HAL_END_OF_DATA) throwStatus(status);
    if (count < 1) return -1;
    ++position;
    return byte;
}

jint ResourceInputStream::read(VMPtr<VMArray<jbyte, 1>> b, jint off, jint len) {
    if (handle == nullptr) throwClosed();
    if (b == nullptr) _VM_throwNullPointer();
    java::io::_VM_checkStreamRange(b->length, off, len);
    if (len == 0) return 0;
    if (position >= size) return -1;
    len = std::min(len, size - position);
    int32_t count = len;
    int status = HAL_readResource(handle, b->elements() + off, position, &count);
    if (status != HAL_OK && status != HAL_END_OF_DATA) throwStatus(status);
    // Nothing read although bytes were asked for: the file has shrunk since
    // it was opened, and its end is here. Answering 0 would make callers
    // that retry on 0 read for ever.
    if (count <= 0) return -1;
    position += count;
    return count;
}

jlong ResourceInputStream::skip(jlong n) {
    if (handle == nullptr) throwClosed();
    if (n <= 0) return 0;
    jlong left = jlong(size) - position;
    if (n > left) n = left;
    if (n < 0) n = 0;  // read() went past the length taken at opening
    position += jint(n);
    return n;
}

jint ResourceInputStream::available() { return size - position; }

void ResourceInputStream::close() {
    if (handle == nullptr) return;
    HAL_closeResource(handle);
    handle = nullptr;
}

void ResourceInputStream::mark(jint) { markPosition = position; }

void ResourceInputStream::reset() {
    if (handle == nullptr) throwClosed();
    position = markPosition;
}

jboolean ResourceInputStream::markSupported() { return true; }

}  // namespace com::tarsel::sorrel::cldc::io

VM_REGISTER_CLASS(com::tarsel::sorrel::cldc::io::ResourceInputStream,
                  .name = "com.tarsel.sorrel.cldc.io.ResourceInputStream")

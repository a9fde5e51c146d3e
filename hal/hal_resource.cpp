// Platform layer: resource files on Linux.
#include "hal_resource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <new>
#include <string>

#include "VMUtf8.h"
#include "hal_file.h"
#include "hal_system.h"

struct HAL_ResourceFile {
    int fd = -1;
};

namespace {

constexpr const char* kResourceFolder = "rsc/";

// The name as a relative path with '/' separators, each character encoded
// by the runtime's codec (so the path's bytes read back by `new
// String(bytes)` give the name); false when it must be refused: empty,
// absolute, a NUL, an unpaired surrogate or a ".." folder.
bool resourcePath(const char16_t* name, int32_t length, std::string& path) {
    if (length <= 0) return false;
    path.clear();
    for (int32_t i = 0; i < length; ++i) {
        jchar c = name[i];
        if (c == 0) return false;
        if (c == u'\\') c = u'/';
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= length || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            if (i == 0 || name[i - 1] < 0xD800 || name[i - 1] > 0xDBFF) return false;
        }
        uint8_t form[3];
        uint8_t* end = form;
        _VM_utf8EncodeChar(c, jint(sizeof form), end, false);
        path.append(reinterpret_cast<const char*>(form), size_t(end - form));
    }
    if (path[0] == '/') return false;
    // No folder may be "..": it would lead out of the resource folder.
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        size_t end = slash == std::string::npos ? path.size() : slash;
        if (path.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

// Opens the resource; the status of HAL_openResource.
int openResourceFile(const char16_t* name, int32_t length, int* fdOut) {
    *fdOut = -1;
    if (name == nullptr || length <= 0) return HAL_BAD_ARGUMENT;
    std::string relative;
    if (!resourcePath(name, length, relative)) return HAL_BAD_ARGUMENT;
    std::string path = HAL_programDirectory();
    if (!path.empty() && path.back() != '/') path += '/';
    path += kResourceFolder;
    path += relative;
    if (path.size() >= PATH_MAX) return HAL_OUT_OF_MEMORY;
    return hal_file::openRegular(path.c_str(), fdOut);
}

}  // namespace

int HAL_openResource(HAL_ResourceFile** handle, const char16_t* name, int32_t length) {
    if (handle == nullptr) return HAL_BAD_ARGUMENT;
    *handle = nullptr;
    int fd;
    int status = openResourceFile(name, length, &fd);
    if (status != HAL_OK) return status;
    auto* file = new (std::nothrow) HAL_ResourceFile;
    if (file == nullptr) {
        ::close(fd);
        return HAL_OUT_OF_MEMORY;
    }
    file->fd = fd;
    *handle = file;
    return HAL_OK;
}

int64_t HAL_getResourceSize(HAL_ResourceFile* handle) {
    if (handle == nullptr) return -1;
    struct stat info;
    if (::fstat(handle->fd, &info) != 0) return -1;
    return int64_t(info.st_size);
}

int HAL_readResource(HAL_ResourceFile* handle, void* buffer, int64_t offset, int32_t* count) {
    if (handle == nullptr || buffer == nullptr || count == nullptr) return HAL_BAD_ARGUMENT;
    if (offset < 0 || *count < 0 || offset > INT64_MAX - *count) return HAL_BAD_ARGUMENT;
    const int64_t done = hal_file::readAt(handle->fd, buffer, size_t(*count), offset);
    if (done < 0) {
        *count = 0;
        return HAL_IO_ERROR;
    }
    *count = int32_t(done);
    return HAL_OK;
}

void HAL_closeResource(HAL_ResourceFile* handle) {
    if (handle == nullptr) return;
    ::close(handle->fd);
    delete handle;
}

int HAL_loadResource(const char16_t* name, int32_t length, uint8_t** buffer, int32_t* size) {
    if (buffer == nullptr || size == nullptr) return HAL_BAD_ARGUMENT;
    *buffer = nullptr;
    *size = 0;
    int fd;
    int status = openResourceFile(name, length, &fd);
    if (status != HAL_OK) return status;
    hal_file::Descriptor file(fd);
    return hal_file::readWhole(fd, buffer, size);  // fewer bytes when the file shrank meanwhile
}

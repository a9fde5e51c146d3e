// Platform layer: shared file calls on Linux.
#include "hal_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "hal_system.h"

namespace hal_file {

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

bool Descriptor::close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
}

int open(int at, const char* path, int flags, mode_t mode) {
    int fd;
    do {
        fd = ::openat(at, path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int openDirectory(int at, const char* path) { return open(at, path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW); }

bool writeAll(int fd, const void* data, size_t size) {
    auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

bool readAll(int fd, void* data, size_t size) {
    auto* bytes = static_cast<uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::read(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

int64_t readAt(int fd, void* data, size_t size, int64_t offset) {
    auto* bytes = static_cast<uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, bytes + done, size - done, off_t(offset + int64_t(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;  // the end of the file
        done += size_t(n);
    }
    return int64_t(done);
}

bool flush(int fd, bool dataOnly) {
    int result;
    do {
        result = dataOnly ? ::fdatasync(fd) : ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

int openRegular(const char* path, int* fd) {
    *fd = -1;
    // Not blocking, so that a pipe in a file's place is refused below rather
    // than waited on; reading a regular file is not affected by it.
    int opened = open(AT_FDCWD, path, O_RDONLY | O_NONBLOCK);
    if (opened < 0) return HAL_NOT_FOUND;
    struct stat info;
    if (::fstat(opened, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(opened);
        return HAL_NOT_FOUND;
    }
    *fd = opened;
    return HAL_OK;
}

int readWhole(int fd, uint8_t** buffer, int32_t* size) {
    *buffer = nullptr;
    *size = 0;
    struct stat info;
    if (::fstat(fd, &info) != 0) return HAL_IO_ERROR;
    if (info.st_size > INT32_MAX) return HAL_OUT_OF_MEMORY;
    const size_t length = size_t(std::max<off_t>(info.st_size, 0));
    auto* block = static_cast<uint8_t*>(HAL_malloc(length));
    if (block == nullptr) return HAL_OUT_OF_MEMORY;
    const int64_t done = readAt(fd, block, length, 0);
    if (done < 0) {
        HAL_free(block);
        return HAL_IO_ERROR;
    }
    *buffer = block;
    *size = int32_t(done);
    return HAL_OK;
}

}  // namespace hal_file
